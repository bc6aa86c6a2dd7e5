#include <agg_span_gradient.h>
#include <agg_trans_affine.h>

#include <cmath>

#include "paint/GradientSpans.hpp"
#include "paint/PaintRoad.hpp"
#include "vudadive2r/GradientPaint.hpp"

namespace ORV {
namespace Vudadive2R {

LinearGradientPaint::LinearGradientPaint(const std::shared_ptr<Context2D>& context, float x0, float y0, float x1,
                                         float y1)
    : GradientPaint(context), x0(x0), y0(y0), x1(x1), y1(y1) {}
LinearGradientPaint::~LinearGradientPaint() {}

namespace {

template <class Arguments>
void RenderLinear(const LinearGradientPaint& paint, const Arguments& arguments) {
    const ColorRamp ramp(paint.ColorStops);

    // Single precision, as the gradient's own numbers are.
    const float dx = paint.x1 - paint.x0, dy = paint.y1 - paint.y0;
    const float length = std::sqrt(dx * dx + dy * dy);
    const float angle = std::atan2(dy, dx);

    // Gradient space (x along the gradient from the start point) to paint
    // space; surface positions go through the paint matrix, then back.
    agg::trans_affine placement = agg::trans_affine_rotation(angle) * agg::trans_affine_translation(paint.x0, paint.y0);
    placement.invert();
    agg::trans_affine matrix = arguments.paintMatrix;
    matrix.multiply(placement);

    const agg::gradient_x along;
    RenderGradient(arguments, ramp, paint.ColorRampSpreadMode, matrix, &along, length);
}

}  // namespace

void LinearGradientPaint::Rasterize(void* rasterizer, void* scanline, void* renderer, void* paintMatrix) {
    RenderLinear(*this, RasterizeArguments::Unpack(rasterizer, scanline, renderer, paintMatrix));
}

void RenderOnRoad(LinearGradientPaint& paint, const RoadArguments& arguments) { RenderLinear(paint, arguments); }

}  // namespace Vudadive2R
}  // namespace ORV
