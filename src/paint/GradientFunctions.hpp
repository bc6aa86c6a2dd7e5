// The gradient functions of a draw, kept within the int arithmetic of AGG's
// span generator.
#ifndef VUDADIVE2R_PAINT_GRADIENTFUNCTIONS_HPP
#define VUDADIVE2R_PAINT_GRADIENTFUNCTIONS_HPP

#include <agg_basics.h>
#include <agg_span_gradient.h>

#include <algorithm>
#include <cmath>

#include "paint/GradientLanes.hpp"

namespace ORV {
namespace Vudadive2R {

// The span generator multiplies a gradient value (in sixteenths of a unit)
// by 256 in int, so values, lengths and radii are kept within 2^23. Repeat
// and reflect fold a value into the range before that product, so a
// function's values may be far larger there: up to SpreadValue, which keeps
// the folds' dividends (a value lifted by a multiple of a period of up to
// 2^24) below 2^31.
struct GradientLimits {
    static constexpr int Value = (1 << 23) - 1;
    static constexpr int SpreadValue = (1 << 30) - (1 << 24);

    // Whether a length or radius rounds to 1 to Value sixteenths.
    static bool UsableRange(double units) {
        const double sixteenths = units * agg::gradient_subpixel_scale;
        return sixteenths >= 0.5 && sixteenths < Value + 0.5;
    }

    // Whether a coordinate rounds to at most Value sixteenths either way.
    static bool UsableOffset(double units) { return std::fabs(units * agg::gradient_subpixel_scale) < Value + 0.5; }

    static int Clamped(int value) { return std::min(Value, std::max(-Value, value)); }
};

// A gradient function whose values are clamped to the limit. Within the
// ramp's range nothing changes: beyond it, any value selects the end entry.
template <class Function>
struct BoundedGradient {
    const Function& function;
    int calculate(int x, int y, int d) const { return GradientLimits::Clamped(function.calculate(x, y, d)); }
};

// agg::gradient_radial_focus with its value rounded to a limit: Value for
// pad, SpreadValue for repeat and reflect, whose folds take values that far
// (AGG's own rounding to int is defined to 2^31). AGG keeps
// radius and focus in sixteenths and moves a focus that lies on the circle
// one sixteenth inwards; its value (the formula below, unchanged) can exceed
// int for a focus near or outside the circle. Where the ray from the focus
// misses the circle, AGG takes the square root of the magnitude; that stays.
class RadialFocusFunction {
public:
    // Radius 1 to Value sixteenths, each focus coordinate within Value.
    static bool Accepts(double radius, double focusX, double focusY) {
        return GradientLimits::UsableRange(radius) && GradientLimits::UsableOffset(focusX) &&
               GradientLimits::UsableOffset(focusY);
    }

    RadialFocusFunction(double radius, double focusX, double focusY, int limit = GradientLimits::Value)
        : limit(limit) {
        const agg::gradient_radial_focus invariants(radius, focusX, focusY);
        r = agg::iround(invariants.radius() * agg::gradient_subpixel_scale);
        fx = agg::iround(invariants.focus_x() * agg::gradient_subpixel_scale);
        fy = agg::iround(invariants.focus_y() * agg::gradient_subpixel_scale);
        r2 = double(r) * double(r);
        mul = r / (r2 - (double(fx) * double(fx) + double(fy) * double(fy)));
    }

    // The numbers of the lanes, which compute the same.
    GradientLaneFocus LaneNumbers() const {
        return GradientLaneFocus{r2, mul, double(fx), double(fy), double(limit)};
    }

    int calculate(int x, int y, int) const {
        const double dx = double(x) - fx;
        const double dy = double(y) - fy;
        const double d2 = dx * fy - dy * fx;
        const double d3 = r2 * (dx * dx + dy * dy) - d2 * d2;
        const double value = (dx * fx + dy * fy + std::sqrt(std::fabs(d3))) * mul;
        if (std::isnan(value))
            return limit;
        return agg::iround(std::min<double>(limit, std::max<double>(-limit, value)));
    }

private:
    int limit, r, fx, fy;
    double r2, mul;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
