#include <agg_span_gradient.h>
#include <agg_trans_affine.h>

#include <cmath>

#include "common/PortableAtan2.hpp"
#include "common/PortableCosSin.hpp"
#include "paint/GradientSpans.hpp"
#include "paint/PaintPasses.hpp"
#include "vudadive2r/GradientPaint.hpp"

namespace ORV {
namespace Vudadive2R {

LinearGradientPaint::LinearGradientPaint(const std::shared_ptr<Context2D>& context, float x0, float y0, float x1,
                                         float y1)
    : GradientPaint(context), x0(x0), y0(y0), x1(x1), y1(y1) {}
LinearGradientPaint::~LinearGradientPaint() {}

void LinearGradientColors(const Paint& basePaint, PaintPass& pass) {
    const LinearGradientPaint& paint = static_cast<const LinearGradientPaint&>(basePaint);
    const ColorRamp ramp(paint.ColorStops);

    // Single precision, as the gradient's own numbers are; the angle, its
    // cosine and sine from the library's own functions, the same on every
    // processor.
    const float dx = paint.x1 - paint.x0, dy = paint.y1 - paint.y0;
    const float length = std::sqrt(dx * dx + dy * dy);
    const float angle = PortableAtan2(dy, dx);
    double cosine, sine;
    PortableCosSin(angle, cosine, sine);

    // Gradient space (x along the gradient from the start point) to paint
    // space; surface positions go through the paint matrix, then back. The
    // rotation as agg::trans_affine_rotation builds it.
    const agg::trans_affine rotation(cosine, sine, -sine, cosine, 0.0, 0.0);
    agg::trans_affine placement = rotation * agg::trans_affine_translation(paint.x0, paint.y0);
    placement.invert();
    agg::trans_affine matrix = pass.matrices.Paint();
    matrix.multiply(placement);

    const agg::gradient_x along;
    GradientColors(pass, ramp, paint.ColorRampSpreadMode, matrix, &along, length);
}

void LinearGradientPaint::Rasterize(void* rasterizer, void* scanline, void* renderer, void* paintMatrix) {
    RasterizeWithColors(*this, LinearGradientColors, rasterizer, scanline, renderer, paintMatrix);
}

}  // namespace Vudadive2R
}  // namespace ORV
