// The gradients' lane loops, written once over a lane type L of L::lanes
// 32-bit integers. Each instruction set's file defines L (Load, Store, a
// broadcasting constructor, +, -, &, GreaterThan as all-ones lanes, Select,
// Min, Max, ShiftRight4 arithmetic, MultiplyLow for products below 2^31, a
// Divisor of a multiplier and a shift with Quotient(n, divisor) =
// (n x multiplier) >> shift for n below 2^31, Lookup of the ramp entries,
// L::Focus with FixRow(y) and PadTo(range), RadialValue(x, y, focus, AnyRow
// or FixedRow, PadClamp), the radial function in double lanes, and
// L::StepAlong(focus, x, step) with Value<clamped>(focus) and Step(), the
// same along a fixed row whose lanes all move by `step`) in an anonymous namespace
// and includes this under its own target, as the composite span loops do.
// No standard library here.
#ifndef VUDADIVE2R_PAINT_GRADIENTLANEKERNELS_HPP
#define VUDADIVE2R_PAINT_GRADIENTLANEKERNELS_HPP

#include <cstdint>

#include "paint/GradientLanes.hpp"

namespace ORV {
namespace Vudadive2R {

enum class LaneSpreadKind { Pad, Repeat, Reflect };

template <class L>
struct GradientLoops {
    // One dda line in lanes: `lanes` steps at a time.
    struct Line {
        L position, remainder;
        const L whole, part, count;

        explicit Line(const GradientLaneLine& line)
            : position(L::Load(line.position)), remainder(L::Load(line.remainder)), whole(line.whole),
              part(line.part), count(line.count) {}

        void Step() {
            remainder = remainder + part;
            position = position + whole;
            const L carry = GreaterThan(remainder, L(0));
            remainder = remainder - (carry & count);
            position = position - carry;
        }

        void Save(GradientLaneLine& line) const {
            position.Store(line.position);
            remainder.Store(line.remainder);
        }
    };

    // A gradient value's ramp index.
    template <LaneSpreadKind Kind>
    struct Fold {
        const L zero, top, range, period, lift;
        const typename L::Divisor periodDivisor, rangeScaler;

        explicit Fold(const GradientLaneSpread& spread)
            : zero(0), top(255), range(spread.range), period(spread.period), lift(spread.lift),
              periodDivisor(spread.periodMultiplier, spread.periodShift),
              rangeScaler(spread.rangeMultiplier, spread.rangeShift - 8) {}

        // Clamped: a pad value already within 0 to the range.
        template <bool Clamped = false>
        L Index(const L& value) const {
            L folded;
            if constexpr (Clamped) {
                folded = value;
            } else if constexpr (Kind == LaneSpreadKind::Pad) {
                folded = Min(Max(value, zero), range);
            } else {
                const L lifted = value + lift;
                const L quotient = Quotient(lifted, periodDivisor);
                folded = lifted - MultiplyLow(quotient, period);
                if constexpr (Kind == LaneSpreadKind::Reflect)
                    folded = Select(GreaterThan(range, folded), folded, period - folded);
            }
            // (folded x 256) / d, at most 256, clamped to the last entry.
            return Min(Quotient(folded, rangeScaler), top);
        }
    };

    template <LaneSpreadKind Kind>
    static void Linear(uint8_t* colors, unsigned groups, GradientLaneLine& line, const GradientLaneSpread& spread,
                       const uint8_t* ramp) {
        Line along(line);
        const Fold<Kind> fold(spread);
        for (; groups > 0; --groups, colors += 4 * L::lanes) {
            // The position in sixteenths, as LinearGradientValue gives it.
            Lookup(ramp, fold.Index(ShiftRight4(along.position)), colors);
            along.Step();
        }
        along.Save(line);
    }

    template <LaneSpreadKind Kind>
    static void Radial(uint8_t* colors, unsigned groups, GradientLaneLine& lineX, GradientLaneLine& lineY,
                       const GradientLaneFocus& numbers, const GradientLaneSpread& spread, const uint8_t* ramp) {
        // Pad's clamp is made on the values before they are rounded.
        constexpr bool padded = Kind == LaneSpreadKind::Pad;
        constexpr PadClamp<padded> clamp;
        Line alongX(lineX), alongY(lineY);
        const Fold<Kind> fold(spread);
        typename L::Focus focus(numbers);
        if (padded)
            focus.PadTo(spread.range);
        if (OneRow(lineY)) {
            // A span along a row of the gradient's space (no rotation or
            // shear): the products of y are worked out once.
            focus.FixRow(lineY.position[0] >> 4);
            if (lineX.part == 0 && lineX.whole % 16 == 0) {
                // Every lane moves by the same whole number of sixteenths
                // (an unscaled or mirrored paint, among others): x's
                // products are stepped by additions.
                typename L::StepAlong along(focus, ShiftRight4(alongX.position), lineX.whole / 16);
                for (unsigned group = 0; group < groups; ++group, colors += 4 * L::lanes) {
                    Lookup(ramp, fold.template Index<padded>(along.template Value<padded>(focus)), colors);
                    along.Step();
                }
                alongX.position = alongX.position + L(int32_t(int64_t(groups) * lineX.whole));
                alongX.Save(lineX);
                return;
            }
            for (; groups > 0; --groups, colors += 4 * L::lanes) {
                Lookup(ramp,
                       fold.template Index<padded>(
                           RadialValue(ShiftRight4(alongX.position), alongY.position, focus, FixedRow(), clamp)),
                       colors);
                alongX.Step();
            }
            alongX.Save(lineX);
            return;
        }
        for (; groups > 0; --groups, colors += 4 * L::lanes) {
            // The positions in sixteenths, as FunctionGradientValue hands them on.
            Lookup(ramp,
                   fold.template Index<padded>(RadialValue(ShiftRight4(alongX.position), ShiftRight4(alongY.position),
                                                           focus, AnyRow(), clamp)),
                   colors);
            alongX.Step();
            alongY.Step();
        }
        alongX.Save(lineX);
        alongY.Save(lineY);
    }

    // True when the line's lanes stand at one position and no step moves
    // them: no whole step, no part, no remainder above zero to carry.
    static bool OneRow(const GradientLaneLine& line) {
        if (line.whole != 0 || line.part != 0)
            return false;
        for (unsigned i = 0; i < L::lanes; ++i)
            if (line.position[i] != line.position[0] || line.remainder[i] > 0)
                return false;
        return true;
    }

    static constexpr GradientKernels kernels = {
        L::lanes,
        {&Linear<LaneSpreadKind::Pad>, &Linear<LaneSpreadKind::Repeat>, &Linear<LaneSpreadKind::Reflect>},
        {&Radial<LaneSpreadKind::Pad>, &Radial<LaneSpreadKind::Repeat>, &Radial<LaneSpreadKind::Reflect>}};
};

template <class L>
constexpr GradientKernels GradientLoops<L>::kernels;

}  // namespace Vudadive2R
}  // namespace ORV

#endif
