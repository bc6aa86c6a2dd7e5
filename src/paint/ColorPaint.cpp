#include "common/ColorBytes.hpp"
#include "paint/PaintRoad.hpp"
#include "raster/SpanRendering.hpp"
#include "vudadive2r/Paint.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

template <class Arguments>
void RenderColor(const ColorPaint& paint, const Arguments& arguments) {
    // Converted once per call; the blender premultiplies per pixel.
    const Color& color = paint.color;
    const agg::rgba8 bytes(ColorComponentToByte(color.R), ColorComponentToByte(color.G),
                           ColorComponentToByte(color.B), ColorComponentToByte(color.A));
    RenderSolid(arguments, bytes);
}

}  // namespace

ColorPaint::ColorPaint(const std::shared_ptr<Context2D>& context, const Color& color) : Paint(context), color(color) {}
ColorPaint::~ColorPaint() {}

void ColorPaint::Rasterize(void* rasterizer, void* scanline, void* renderer, void* paintMatrix) {
    RenderColor(*this, RasterizeArguments::Unpack(rasterizer, scanline, renderer, paintMatrix));
}

void RenderOnRoad(ColorPaint& paint, const RoadArguments& arguments) { RenderColor(paint, arguments); }

}  // namespace Vudadive2R
}  // namespace ORV
