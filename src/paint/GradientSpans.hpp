// What both gradient paints do once their geometry is known: choose the
// spread, and render the ramp through AGG's gradient span generator.
#ifndef VUDADIVE2R_PAINT_GRADIENTSPANS_HPP
#define VUDADIVE2R_PAINT_GRADIENTSPANS_HPP

#include <agg_span_gradient.h>

#include <cmath>
#include <type_traits>

#include "paint/GradientFunctions.hpp"
#include "paint/GradientRamp.hpp"
#include "paint/GradientSpanGenerator.hpp"
#include "raster/BoundedSpanInterpolator.hpp"
#include "raster/OwnRoad.hpp"
#include "raster/SpanRendering.hpp"
#include "vudadive2r/Exceptions.hpp"
#include "vudadive2r/GradientPaint.hpp"

namespace ORV {
namespace Vudadive2R {

namespace detail {

inline bool IsFinite(const agg::trans_affine& m) {
    return std::isfinite(m.sx) && std::isfinite(m.shy) && std::isfinite(m.shx) && std::isfinite(m.sy) &&
           std::isfinite(m.tx) && std::isfinite(m.ty);
}

// The plain road: AGG's span generator, the reference.
template <class Arguments, class Function>
void RenderGradientSpans(const Arguments& arguments, const ColorRamp& ramp,
                         const agg::trans_affine& matrix, const Function& function, double range) {
    BoundedSpanInterpolator interpolator(matrix);
    BoundedGradient<Function> bounded{function};
    agg::span_gradient<agg::rgba8, BoundedSpanInterpolator, BoundedGradient<Function>, const ColorRamp> generator(
        interpolator, bounded, ramp, 0, range);
    RenderSpans(arguments, generator);
}

template <class Spread, class Value>
void RenderOwnGradientSpans(const RoadArguments& arguments, const ColorRamp& ramp, const agg::trans_affine& matrix,
                            const Value& value, int range) {
    GradientSpanGenerator<Value, Spread> generator(matrix, value, ramp, range);
    RenderSpans(arguments, generator);
}

// The own road: the same colours from GradientSpanGenerator. AGG's linear
// function is the position itself; any other is called per pixel.
template <class Function>
void RenderOwnGradient(const RoadArguments& arguments, const ColorRamp& ramp, SpreadMode spread,
                       const agg::trans_affine& matrix, const Function& function, double range) {
    const int sixteenths = agg::iround(range * agg::gradient_subpixel_scale);
    if constexpr (std::is_same<Function, agg::gradient_x>::value) {
        const LinearGradientValue value;
        if (spread == SpreadMode::Pad)
            return RenderOwnGradientSpans<PadSpread>(arguments, ramp, matrix, value, sixteenths);
        if (spread == SpreadMode::Reflect)
            return RenderOwnGradientSpans<ReflectSpread>(arguments, ramp, matrix, value, sixteenths);
        return RenderOwnGradientSpans<RepeatSpread>(arguments, ramp, matrix, value, sixteenths);
    } else {
        const FunctionGradientValue<Function> value{function, sixteenths};
        if (spread == SpreadMode::Pad)
            return RenderOwnGradientSpans<PadSpread>(arguments, ramp, matrix, value, sixteenths);
        if (spread == SpreadMode::Reflect)
            return RenderOwnGradientSpans<ReflectSpread>(arguments, ramp, matrix, value, sixteenths);
        return RenderOwnGradientSpans<RepeatSpread>(arguments, ramp, matrix, value, sixteenths);
    }
}

}  // namespace detail

// Renders the coverage with the ramp spread over gradient values 0 to
// `range` units, where `function` (null for degenerate geometry) maps
// positions that `matrix` gives, in sixteenths, to gradient values. Geometry
// without a usable range, a non-finite matrix (a singular paint transform)
// and a ramp without stops draw transparent black.
template <class Arguments, class Function>
void RenderGradient(const Arguments& arguments, const ColorRamp& ramp, SpreadMode spread,
                    const agg::trans_affine& matrix, const Function* function, double range) {
    if (spread != SpreadMode::Pad && spread != SpreadMode::Reflect && spread != SpreadMode::Repeat)
        throw NotSupportedException();
    if (ramp.kind() == ColorRamp::Kind::Empty || !function || !GradientLimits::UsableRange(range) ||
        !detail::IsFinite(matrix))
        return RenderSolid(arguments, agg::rgba8(0, 0, 0, 0));
    if (ramp.kind() == ColorRamp::Kind::Solid)
        return RenderSolid(arguments, ramp[0]);
    if constexpr (std::is_same<Arguments, RoadArguments>::value) {
        detail::RenderOwnGradient(arguments, ramp, spread, matrix, *function, range);
    } else {
        switch (spread) {
        case SpreadMode::Pad:
            return detail::RenderGradientSpans(arguments, ramp, matrix, *function, range);
        case SpreadMode::Reflect:
            return detail::RenderGradientSpans(arguments, ramp, matrix,
                                               agg::gradient_reflect_adaptor<Function>(*function), range);
        case SpreadMode::Repeat:
            return detail::RenderGradientSpans(arguments, ramp, matrix,
                                               agg::gradient_repeat_adaptor<Function>(*function), range);
        }
    }
}

}  // namespace Vudadive2R
}  // namespace ORV

#endif
