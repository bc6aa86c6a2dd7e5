#include <optional>

#include "paint/GradientSpans.hpp"
#include "paint/PaintRoad.hpp"
#include "vudadive2r/GradientPaint.hpp"

namespace ORV {
namespace Vudadive2R {

RadialGradientPaint::RadialGradientPaint(const std::shared_ptr<Context2D>& context, float cx, float cy, float radius,
                                         float fx, float fy)
    : GradientPaint(context), cx(cx), cy(cy), radius(radius), fx(fx), fy(fy) {}
RadialGradientPaint::~RadialGradientPaint() {}

namespace {

template <class Arguments>
void RenderRadial(const RadialGradientPaint& paint, const Arguments& arguments) {
    const ColorRamp ramp(paint.ColorStops);

    // Positions relative to the centre.
    agg::trans_affine matrix = arguments.paintMatrix;
    matrix.tx -= paint.cx;
    matrix.ty -= paint.cy;

    const float focusX = paint.fx - paint.cx, focusY = paint.fy - paint.cy;
    std::optional<RadialFocusFunction> function;
    if (RadialFocusFunction::Accepts(paint.radius, focusX, focusY))
        function.emplace(paint.radius, focusX, focusY);
    RenderGradient(arguments, ramp, paint.ColorRampSpreadMode, matrix, function ? &*function : nullptr,
                   paint.radius);
}

}  // namespace

void RadialGradientPaint::Rasterize(void* rasterizer, void* scanline, void* renderer, void* paintMatrix) {
    RenderRadial(*this, RasterizeArguments::Unpack(rasterizer, scanline, renderer, paintMatrix));
}

void RenderOnRoad(RadialGradientPaint& paint, const RoadArguments& arguments) { RenderRadial(paint, arguments); }

}  // namespace Vudadive2R
}  // namespace ORV
