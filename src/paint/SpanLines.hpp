// The two lines along which agg::span_interpolator_linear<trans_affine, 8>
// steps a span, as plain values: a span loop that copies them into locals
// keeps them in registers, where the interpolator object goes through memory
// on every pixel.
#ifndef VUDADIVE2R_PAINT_SPANLINES_HPP
#define VUDADIVE2R_PAINT_SPANLINES_HPP

#include <agg_basics.h>
#include <agg_dda_line.h>
#include <agg_trans_affine.h>

#include <cmath>

namespace ORV {
namespace Vudadive2R {

struct SpanLines {
    enum { subpixel_shift = 8, subpixel_scale = 1 << subpixel_shift };

    agg::dda2_line_interpolator x, y;
    // The ends in 1/256 units: the first pixel's and one past the last one's.
    int x1, y1, x2, y2;

    // Maps the span of `length` pixels from (x, y) as the interpolator's
    // begin() does. False, with nothing set, when an end maps to `limit`
    // units or more (or NaN) either way, where the interpolator's rounding
    // to int overflows. `length` at least 1.
    bool Begin(const agg::trans_affine& matrix, double x, double y, unsigned length, double limit) {
        double startX = x, startY = y, endX = x + length, endY = y;
        matrix.transform(&startX, &startY);
        matrix.transform(&endX, &endY);
        if (!(std::fabs(startX) < limit && std::fabs(startY) < limit && std::fabs(endX) < limit &&
              std::fabs(endY) < limit))
            return false;
        x1 = agg::iround(startX * subpixel_scale);
        y1 = agg::iround(startY * subpixel_scale);
        x2 = agg::iround(endX * subpixel_scale);
        y2 = agg::iround(endY * subpixel_scale);
        this->x = agg::dda2_line_interpolator(x1, x2, int(length));
        this->y = agg::dda2_line_interpolator(y1, y2, int(length));
        return true;
    }
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
