// AGG's linear span interpolator (subpixel shift 8), kept to the positions
// its fixed-point arithmetic can hold.
#ifndef VUDADIVE2R_PAINT_BOUNDEDSPANINTERPOLATOR_HPP
#define VUDADIVE2R_PAINT_BOUNDEDSPANINTERPOLATOR_HPP

#include <agg_basics.h>
#include <agg_span_interpolator_linear.h>
#include <agg_trans_affine.h>

#include <cmath>

namespace ORV {
namespace Vudadive2R {

// A span whose two ends map within 2^22 units interpolates exactly as
// agg::span_interpolator_linear does. Beyond that its rounding to 1/256 and
// its end-to-end difference overflow int, so each pixel of such a span is
// mapped on its own and clamped to the range instead (NaN to 0).
class BoundedSpanInterpolator {
public:
    typedef agg::span_interpolator_linear<agg::trans_affine, 8> Linear;
    enum { subpixel_shift = Linear::subpixel_shift, subpixel_scale = Linear::subpixel_scale };
    static constexpr double PositionLimit = 4194304.0;

    explicit BoundedSpanInterpolator(const agg::trans_affine& matrix) : matrix(matrix), linear(this->matrix) {}
    BoundedSpanInterpolator(const BoundedSpanInterpolator&) = delete;  // `linear` points at our own matrix
    BoundedSpanInterpolator& operator=(const BoundedSpanInterpolator&) = delete;

    void begin(double x, double y, unsigned len) {
        double x1 = x, y1 = y, x2 = x + len, y2 = y;
        matrix.transform(&x1, &y1);
        matrix.transform(&x2, &y2);
        exact = Within(x1) && Within(y1) && Within(x2) && Within(y2);
        if (exact)
            linear.begin(x, y, len);
        startX = x, startY = y, step = 0;
    }

    void operator++() {
        if (exact)
            ++linear;
        else
            ++step;
    }

    void coordinates(int* x, int* y) const {
        if (exact)
            return linear.coordinates(x, y);
        double px = startX + step, py = startY;
        matrix.transform(&px, &py);
        *x = Clamped(px), *y = Clamped(py);
    }

private:
    static bool Within(double v) { return std::fabs(v) < PositionLimit; }
    static int Clamped(double v) {
        if (!(std::fabs(v) < PositionLimit))
            v = std::isnan(v) ? 0 : std::copysign(PositionLimit, v);
        return agg::iround(v * subpixel_scale);
    }

    agg::trans_affine matrix;
    Linear linear;
    bool exact = true;
    double startX = 0, startY = 0;
    unsigned step = 0;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
