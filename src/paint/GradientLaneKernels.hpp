// The linear gradient's lane loop, written once over a lane type L of
// L::lanes 32-bit integers. Each instruction set's file defines L (Load,
// Store, a broadcasting constructor, +, -, &, GreaterThan as all-ones lanes,
// Select, Min, Max, ShiftRight4 arithmetic, MultiplyLow for products below 2^31,
// a Divisor of a multiplier and a shift with Quotient(n, divisor) =
// (n x multiplier) >> shift for n below 2^31, and Lookup of the ramp
// entries) in an anonymous namespace and
// includes this under its own target, as the composite span loops do. No
// standard library here.
#ifndef VUDADIVE2R_PAINT_GRADIENTLANEKERNELS_HPP
#define VUDADIVE2R_PAINT_GRADIENTLANEKERNELS_HPP

#include <cstdint>

#include "paint/GradientLanes.hpp"

namespace ORV {
namespace Vudadive2R {

enum class LaneSpreadKind { Pad, Repeat, Reflect };

template <class L>
struct LinearGradientLoops {
    template <LaneSpreadKind Kind>
    static void Run(uint8_t* colors, unsigned groups, GradientLaneLine& line, const GradientLaneSpread& spread,
                    const uint8_t* ramp) {
        L position = L::Load(line.position), remainder = L::Load(line.remainder);
        const L whole(line.whole), part(line.part), count(line.count), zero(0), top(255);
        const L range(spread.range), period(spread.period), lift(spread.lift);
        const typename L::Divisor periodDivisor(spread.periodMultiplier, spread.periodShift);
        const typename L::Divisor rangeScaler(spread.rangeMultiplier, spread.rangeShift - 8);
        for (; groups > 0; --groups, colors += 4 * L::lanes) {
            // The position in sixteenths, as LinearGradientValue gives it.
            const L value = ShiftRight4(position);
            L folded;
            if constexpr (Kind == LaneSpreadKind::Pad) {
                folded = Min(Max(value, zero), range);
            } else {
                const L lifted = value + lift;
                const L quotient = Quotient(lifted, periodDivisor);
                folded = lifted - MultiplyLow(quotient, period);
                if constexpr (Kind == LaneSpreadKind::Reflect)
                    folded = Select(GreaterThan(range, folded), folded, period - folded);
            }
            // (folded x 256) / d, at most 256, clamped to the last entry.
            L index = Quotient(folded, rangeScaler);
            index = Min(index, top);
            Lookup(ramp, index, colors);

            remainder = remainder + part;
            position = position + whole;
            const L carry = GreaterThan(remainder, zero);
            remainder = remainder - (carry & count);
            position = position - carry;
        }
        position.Store(line.position);
        remainder.Store(line.remainder);
    }

    static constexpr LinearGradientKernels kernels = {L::lanes, &Run<LaneSpreadKind::Pad>,
                                                      &Run<LaneSpreadKind::Repeat>, &Run<LaneSpreadKind::Reflect>};
};

template <class L>
constexpr LinearGradientKernels LinearGradientLoops<L>::kernels;

}  // namespace Vudadive2R
}  // namespace ORV

#endif
