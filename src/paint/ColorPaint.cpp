#include "common/ColorBytes.hpp"
#include "raster/SpanRendering.hpp"
#include "vudadive2r/Paint.hpp"

namespace ORV {
namespace Vudadive2R {

ColorPaint::ColorPaint(const std::shared_ptr<Context2D>& context, const Color& color) : Paint(context), color(color) {}
ColorPaint::~ColorPaint() {}

void ColorPaint::Rasterize(void* rasterizer, void* scanline, void* renderer, void* paintMatrix) {
    // Converted once per call; the blender premultiplies per pixel.
    const agg::rgba8 bytes(ColorComponentToByte(color.R), ColorComponentToByte(color.G),
                           ColorComponentToByte(color.B), ColorComponentToByte(color.A));
    RenderSolid(RasterizeArguments::Unpack(rasterizer, scanline, renderer, paintMatrix), bytes);
}

}  // namespace Vudadive2R
}  // namespace ORV
