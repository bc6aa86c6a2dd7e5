// The gradients' colours several pixels at a time, in 32-bit lanes: the
// interpolator's positions, the gradient value (the position along x for the
// linear gradient, the focus function in double lanes for the radial one),
// the spread and the ramp index with exactly the arithmetic of
// GradientSpanGenerator, one lane per pixel. GradientSpanGenerator itself
// stays the portable loop and takes the pixels after the last whole group.
#ifndef VUDADIVE2R_PAINT_GRADIENTLANES_HPP
#define VUDADIVE2R_PAINT_GRADIENTLANES_HPP

#include <cstdint>

#include "composite/BlendSpans.hpp"

namespace ORV {
namespace Vudadive2R {

// agg::dda2_line_interpolator's state (y and mod) at each pixel of a group.
// Its steps keep y * count + mod growing by the line's difference d with mod
// in (-count, 0], so y is the ceiling of that sum over count; `lanes` steps
// add lanes x d = whole x count + part, 0 <= part < count, which is one add
// of `whole` and `part` and a carry when mod passes 0.
struct GradientLaneLine {
    static constexpr unsigned MostLanes = 8;
    int32_t position[MostLanes], remainder[MostLanes];
    int32_t whole, part, count;
};

// A spread's numbers, as GradientSpread and its kinds hold them: the range
// d with its divisor, and for repeat (period d) and reflect (period 2 d) the
// period's divisor and the lift that makes every value non-negative.
struct GradientLaneSpread {
    int32_t range;
    uint32_t rangeMultiplier, rangeShift;
    int32_t period;
    uint32_t periodMultiplier, periodShift;
    int32_t lift;
};

// RadialFocusFunction's numbers: the radius squared, the factor of the
// value, the focus (sixteenths) and the limit of the values.
struct GradientLaneFocus {
    double radiusSquared, factor, focusX, focusY, limit;
};

// Whether the lanes' y changes along a span (AnyRow) or stays that of the
// row fixed in the focus (FixedRow).
struct AnyRow {
    static constexpr bool fixed = false;
};
struct FixedRow {
    static constexpr bool fixed = true;
};

// Whether the radial lanes clamp a value to the pad's range before rounding
// it (a whole number, so rounding and clamping commute), instead of to the
// limit, leaving it folded.
template <bool Clamped>
struct PadClamp {};

// Writes the colours of `groups` x lanes pixels and leaves the lines at the
// pixel after them. `ramp` is the 256 entries, four bytes each.
typedef void (*LinearGradientLanes)(uint8_t* colors, unsigned groups, GradientLaneLine& line,
                                    const GradientLaneSpread& spread, const uint8_t* ramp);
typedef void (*RadialGradientLanes)(uint8_t* colors, unsigned groups, GradientLaneLine& lineX,
                                    GradientLaneLine& lineY, const GradientLaneFocus& focus,
                                    const GradientLaneSpread& spread, const uint8_t* ramp);

// Each loop by spread: pad, repeat, reflect.
struct GradientKernels {
    unsigned lanes;
    LinearGradientLanes linear[3];
    RadialGradientLanes radial[3];
};

// The widest kernels this processor runs, null where there are none.
const GradientKernels* BestGradientKernels();
// Those of `level` (at most the widest), null for Portable.
const GradientKernels* GradientKernelsFor(SimdLevel level);

const GradientKernels* Sse2GradientKernels();
const GradientKernels* Avx2GradientKernels();
const GradientKernels* NeonGradientKernels();  // 64-bit ARM

}  // namespace Vudadive2R
}  // namespace ORV

#endif
