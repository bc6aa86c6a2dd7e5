#include "common/ColorBytes.hpp"
#include "path/AggPipeline.hpp"
#include "vudadive2r/Paint.hpp"

namespace ORV {
namespace Vudadive2R {

ColorPaint::ColorPaint(const std::shared_ptr<Context2D>& context, const Color& color) : Paint(context), color(color) {}
ColorPaint::~ColorPaint() {}

void ColorPaint::Rasterize(void* rasterizer, void* scanline, void* renderer, void*) {
    // Converted once per call; the blender premultiplies per pixel.
    const agg::rgba8 bytes(ColorComponentToByte(color.R), ColorComponentToByte(color.G),
                           ColorComponentToByte(color.B), ColorComponentToByte(color.A));
    agg::render_scanlines_aa_solid(*static_cast<Rasterizer*>(rasterizer), *static_cast<Scanline*>(scanline),
                                   *static_cast<Renderer*>(renderer), bytes);
}

}  // namespace Vudadive2R
}  // namespace ORV
