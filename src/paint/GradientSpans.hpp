// What both gradient paints do once their geometry is known: choose the
// spread, and colour the pass with the ramp through GradientSpanGenerator.
#ifndef VUDADIVE2R_PAINT_GRADIENTSPANS_HPP
#define VUDADIVE2R_PAINT_GRADIENTSPANS_HPP

#include <agg_span_gradient.h>

#include <cmath>
#include <type_traits>

#include "paint/GradientFunctions.hpp"
#include "paint/GradientRamp.hpp"
#include "paint/GradientSpanGenerator.hpp"
#include "paint/PaintPass.hpp"
#include "vudadive2r/Exceptions.hpp"
#include "vudadive2r/GradientPaint.hpp"

namespace ORV {
namespace Vudadive2R {

namespace detail {

inline bool IsFinite(const agg::trans_affine& m) {
    return std::isfinite(m.sx) && std::isfinite(m.shy) && std::isfinite(m.shx) && std::isfinite(m.sy) &&
           std::isfinite(m.tx) && std::isfinite(m.ty);
}

template <class Spread, class Value>
void GradientSpans(PaintPass& pass, const ColorRamp& ramp, const agg::trans_affine& matrix, const Value& value,
                   int range) {
    const auto make = [&] { return GradientSpanGenerator<Value, Spread>(matrix, value, ramp, range); };
    SpanSourceMade<decltype(make)> source(make, ramp.Opaque(), true);
    pass.Spans(source);
}

template <class Value>
void SpreadGradientSpans(PaintPass& pass, const ColorRamp& ramp, SpreadMode spread, const agg::trans_affine& matrix,
                         const Value& value, int range) {
    if (spread == SpreadMode::Pad)
        return GradientSpans<PadSpread>(pass, ramp, matrix, value, range);
    if (spread == SpreadMode::Reflect)
        return GradientSpans<ReflectSpread>(pass, ramp, matrix, value, range);
    return GradientSpans<RepeatSpread>(pass, ramp, matrix, value, range);
}

}  // namespace detail

// Colours the pass with the ramp spread over gradient values 0 to `range`
// units, where `function` (null for degenerate geometry) maps positions
// that `matrix` gives, in sixteenths, to gradient values: the colours of
// agg::span_gradient with AGG's spread adaptors. Geometry without a usable
// range, a non-finite matrix (a singular paint transform) and a ramp
// without stops draw transparent black.
template <class Function>
void GradientColors(PaintPass& pass, const ColorRamp& ramp, SpreadMode spread, const agg::trans_affine& matrix,
                    const Function* function, double range) {
    if (spread != SpreadMode::Pad && spread != SpreadMode::Reflect && spread != SpreadMode::Repeat)
        throw NotSupportedException();
    if (ramp.kind() == ColorRamp::Kind::Empty || !function || !GradientLimits::UsableRange(range) ||
        !detail::IsFinite(matrix))
        return pass.Solid(agg::rgba8(0, 0, 0, 0));
    if (ramp.kind() == ColorRamp::Kind::Solid)
        return pass.Solid(ramp[0]);
    const int sixteenths = agg::iround(range * agg::gradient_subpixel_scale);
    // AGG's linear function is the position itself; any other is called
    // per pixel.
    if constexpr (std::is_same<Function, agg::gradient_x>::value)
        detail::SpreadGradientSpans(pass, ramp, spread, matrix, LinearGradientValue(), sixteenths);
    else
        detail::SpreadGradientSpans(pass, ramp, spread, matrix, FunctionGradientValue<Function>{*function, sixteenths},
                                    sixteenths);
}

}  // namespace Vudadive2R
}  // namespace ORV

#endif
