#include "common/ColorBytes.hpp"
#include "paint/PaintPasses.hpp"
#include "vudadive2r/Paint.hpp"

namespace ORV {
namespace Vudadive2R {

ColorPaint::ColorPaint(const std::shared_ptr<Context2D>& context, const Color& color) : Paint(context), color(color) {}
ColorPaint::~ColorPaint() {}

void ColorPaintColors(const Paint& paint, PaintPass& pass) {
    // Converted once per pass; the compositing premultiplies per pixel.
    const Color& color = static_cast<const ColorPaint&>(paint).color;
    pass.Solid(agg::rgba8(ColorComponentToByte(color.R), ColorComponentToByte(color.G),
                          ColorComponentToByte(color.B), ColorComponentToByte(color.A)));
}

void ColorPaint::Rasterize(void* rasterizer, void* scanline, void* renderer, void* paintMatrix) {
    RasterizeWithColors(*this, ColorPaintColors, rasterizer, scanline, renderer, paintMatrix);
}

}  // namespace Vudadive2R
}  // namespace ORV
