#include <optional>

#include "paint/GradientSpans.hpp"
#include "paint/PaintPasses.hpp"
#include "vudadive2r/GradientPaint.hpp"

namespace ORV {
namespace Vudadive2R {

RadialGradientPaint::RadialGradientPaint(const std::shared_ptr<Context2D>& context, float cx, float cy, float radius,
                                         float fx, float fy)
    : GradientPaint(context), cx(cx), cy(cy), radius(radius), fx(fx), fy(fy) {}
RadialGradientPaint::~RadialGradientPaint() {}

void RadialGradientColors(const Paint& basePaint, PaintPass& pass) {
    const RadialGradientPaint& paint = static_cast<const RadialGradientPaint&>(basePaint);
    const ColorRamp ramp(paint.ColorStops);

    // Positions relative to the centre.
    agg::trans_affine matrix = pass.matrices.Paint();
    matrix.tx -= paint.cx;
    matrix.ty -= paint.cy;

    const float focusX = paint.fx - paint.cx, focusY = paint.fy - paint.cy;
    std::optional<RadialFocusFunction> function;
    if (RadialFocusFunction::Accepts(paint.radius, focusX, focusY))
        function.emplace(paint.radius, focusX, focusY,
                         paint.ColorRampSpreadMode == SpreadMode::Pad ? GradientLimits::Value
                                                                     : GradientLimits::SpreadValue);
    GradientColors(pass, ramp, paint.ColorRampSpreadMode, matrix, function ? &*function : nullptr,
                   paint.radius);
}

void RadialGradientPaint::Rasterize(void* rasterizer, void* scanline, void* renderer, void* paintMatrix) {
    RasterizeWithColors(*this, RadialGradientColors, rasterizer, scanline, renderer, paintMatrix);
}

}  // namespace Vudadive2R
}  // namespace ORV
