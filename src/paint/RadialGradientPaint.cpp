#include <optional>

#include "paint/GradientSpans.hpp"
#include "vudadive2r/GradientPaint.hpp"

namespace ORV {
namespace Vudadive2R {

RadialGradientPaint::RadialGradientPaint(const std::shared_ptr<Context2D>& context, float cx, float cy, float radius,
                                         float fx, float fy)
    : GradientPaint(context), cx(cx), cy(cy), radius(radius), fx(fx), fy(fy) {}
RadialGradientPaint::~RadialGradientPaint() {}

void RadialGradientPaint::Rasterize(void* rasterizer, void* scanline, void* renderer, void* paintMatrix) {
    const RasterizeArguments arguments = RasterizeArguments::Unpack(rasterizer, scanline, renderer, paintMatrix);
    const ColorRamp ramp(ColorStops);

    // Positions relative to the centre.
    agg::trans_affine matrix = arguments.paintMatrix;
    matrix.tx -= cx;
    matrix.ty -= cy;

    const float focusX = fx - cx, focusY = fy - cy;
    std::optional<RadialFocusFunction> function;
    if (RadialFocusFunction::Accepts(radius, focusX, focusY))
        function.emplace(radius, focusX, focusY);
    RenderGradient(arguments, ramp, ColorRampSpreadMode, matrix, function ? &*function : nullptr, radius);
}

}  // namespace Vudadive2R
}  // namespace ORV
