// The gradients' lanes in NEON on 64-bit ARM: four pixels per register (the
// radial function in two registers of two doubles, which 32-bit ARM's NEON
// lacks), the ramp read entry by entry from the lanes' indices.
#if defined(__aarch64__) && defined(__ARM_NEON)

#include <cstdint>
#include <cstring>

#include <arm_neon.h>

#include "paint/GradientLaneKernels.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

struct NeonDivisor {
    uint32x2_t multiplier;
    int64x2_t shift;  // negative: a right shift
    NeonDivisor(uint32_t multiplier, unsigned shift)
        : multiplier(vdup_n_u32(multiplier)), shift(vdupq_n_s64(-int64_t(shift))) {}
};

struct NeonFocus {
    float64x2_t radiusSquared, factor, focusX, focusY, limit, negativeLimit, half, negativeHalf, zero, padRange;
    // For a row of one y: dy, dy dy, dy focusX and dy focusY.
    float64x2_t rowY, rowYY, rowYFocusX, rowYFocusY;
    explicit NeonFocus(const GradientLaneFocus& f)
        : radiusSquared(vdupq_n_f64(f.radiusSquared)), factor(vdupq_n_f64(f.factor)), focusX(vdupq_n_f64(f.focusX)),
          focusY(vdupq_n_f64(f.focusY)), limit(vdupq_n_f64(f.limit)), negativeLimit(vdupq_n_f64(-f.limit)),
          half(vdupq_n_f64(0.5)), negativeHalf(vdupq_n_f64(-0.5)), zero(vdupq_n_f64(0.0)), padRange(zero) {}
    void PadTo(int32_t range) { padRange = vdupq_n_f64(double(range)); }
    void FixRow(int32_t y) {
        rowY = vsubq_f64(vdupq_n_f64(double(y)), focusY);
        rowYY = vmulq_f64(rowY, rowY);
        rowYFocusX = vmulq_f64(rowY, focusX);
        rowYFocusY = vmulq_f64(rowY, focusY);
    }
};

struct NeonStepAlong;

struct NeonGradientLanes {
    static constexpr unsigned lanes = 4;
    typedef NeonDivisor Divisor;
    typedef NeonFocus Focus;
    typedef NeonStepAlong StepAlong;
    int32x4_t v;

    NeonGradientLanes() = default;
    NeonGradientLanes(int32x4_t value) : v(value) {}
    explicit NeonGradientLanes(int32_t value) : v(vdupq_n_s32(value)) {}

    static NeonGradientLanes Load(const int32_t* values) { return vld1q_s32(values); }
    void Store(int32_t* values) const { vst1q_s32(values, v); }
};

typedef NeonGradientLanes L4;

L4 operator+(L4 a, L4 b) { return vaddq_s32(a.v, b.v); }
L4 operator-(L4 a, L4 b) { return vsubq_s32(a.v, b.v); }
L4 operator&(L4 a, L4 b) { return vandq_s32(a.v, b.v); }
L4 GreaterThan(L4 a, L4 b) { return vreinterpretq_s32_u32(vcgtq_s32(a.v, b.v)); }
L4 Select(L4 mask, L4 a, L4 b) { return vbslq_s32(vreinterpretq_u32_s32(mask.v), a.v, b.v); }
L4 Min(L4 a, L4 b) { return vminq_s32(a.v, b.v); }
L4 Max(L4 a, L4 b) { return vmaxq_s32(a.v, b.v); }
L4 ShiftRight4(L4 a) { return vshrq_n_s32(a.v, 4); }
// Products below 2^31, so the low half is the product.
L4 MultiplyLow(L4 a, L4 b) { return vmulq_s32(a.v, b.v); }

L4 Quotient(L4 n, const NeonDivisor& d) {
    const uint32x4_t u = vreinterpretq_u32_s32(n.v);
    const uint64x2_t low = vshlq_u64(vmull_u32(vget_low_u32(u), d.multiplier), d.shift);
    const uint64x2_t high = vshlq_u64(vmull_u32(vget_high_u32(u), d.multiplier), d.shift);
    return vreinterpretq_s32_u32(vcombine_u32(vmovn_u64(low), vmovn_u64(high)));
}

// A value rounded as RadialFocusFunction rounds it: NaN to the limit, then
// clamped and rounded half away from zero. Padded: NaN to the pad's range,
// clamped to it (see GradientLaneKernels.hpp) and rounded. NEON's min and max
// give NaN for NaN, so NaN is replaced first.
template <bool Padded>
inline __attribute__((always_inline)) int32x2_t Rounded(float64x2_t value, const NeonFocus& f) {
    const uint64x2_t number = vceqq_f64(value, value);
    if constexpr (Padded) {
        value = vmaxq_f64(vminq_f64(vbslq_f64(number, value, f.padRange), f.padRange), f.zero);
        return vmovn_s64(vcvtq_s64_f64(vaddq_f64(value, f.half)));
    }
    value = vminq_f64(vmaxq_f64(vbslq_f64(number, value, f.limit), f.negativeLimit), f.limit);
    const uint64x2_t negative = vcltq_f64(value, f.zero);
    return vmovn_s64(vcvtq_s64_f64(vaddq_f64(value, vbslq_f64(negative, f.negativeHalf, f.half))));
}

// The value from dx and the products that RadialFocusFunction::calculate
// makes of it and y, operation for operation in its order (the build fuses
// no multiply-add).
template <bool Padded>
inline __attribute__((always_inline)) int32x2_t RadialFromProducts(float64x2_t dx, float64x2_t dyDy, float64x2_t d2,
                                                                   float64x2_t before, const NeonFocus& f) {
    const float64x2_t d3 =
        vsubq_f64(vmulq_f64(f.radiusSquared, vaddq_f64(vmulq_f64(dx, dx), dyDy)), vmulq_f64(d2, d2));
    const float64x2_t root = vsqrtq_f64(vabsq_f64(d3));
    return Rounded<Padded>(vmulq_f64(vaddq_f64(before, root), f.factor), f);
}

inline float64x2_t Widened(int32x2_t x) { return vcvtq_f64_s64(vmovl_s32(x)); }

// RadialFocusFunction::calculate on two lanes. In a fixed row the products
// of dy are the row's, the same numbers.
template <bool Fixed, bool Padded>
inline __attribute__((always_inline)) int32x2_t RadialPair(int32x2_t x, int32x2_t y, const NeonFocus& f) {
    const float64x2_t dx = vsubq_f64(Widened(x), f.focusX);
    float64x2_t dyFocusX = f.rowYFocusX, dyDy = f.rowYY, dyFocusY = f.rowYFocusY;
    if constexpr (!Fixed) {
        const float64x2_t dy = vsubq_f64(Widened(y), f.focusY);
        dyFocusX = vmulq_f64(dy, f.focusX);
        dyDy = vmulq_f64(dy, dy);
        dyFocusY = vmulq_f64(dy, f.focusY);
    }
    const float64x2_t d2 = vsubq_f64(vmulq_f64(dx, f.focusY), dyFocusX);
    const float64x2_t before = vaddq_f64(vmulq_f64(dx, f.focusX), dyFocusY);
    return RadialFromProducts<Padded>(dx, dyDy, d2, before, f);
}

template <class Row, bool Padded>
inline __attribute__((always_inline)) L4 RadialValue(L4 x, L4 y, const NeonFocus& f, Row, PadClamp<Padded>) {
    const int32x2_t low = RadialPair<Row::fixed, Padded>(vget_low_s32(x.v), vget_low_s32(y.v), f);
    const int32x2_t high = RadialPair<Row::fixed, Padded>(vget_high_s32(x.v), vget_high_s32(y.v), f);
    return vcombine_s32(low, high);
}

// Four lanes of a fixed row stepped by one whole number of sixteenths: dx
// and its products are whole numbers below 2^51, held exactly, so adding
// the step's products gives each exactly as the multiplications do.
struct NeonStepAlong {
    float64x2_t dx[2], d2[2], before[2];
    float64x2_t dxStep, d2Step, beforeStep;

    NeonStepAlong(const NeonFocus& f, L4 x, int32_t step)
        : dxStep(vdupq_n_f64(double(step))), d2Step(vmulq_f64(dxStep, f.focusY)),
          beforeStep(vmulq_f64(dxStep, f.focusX)) {
        const int32x2_t halves[2] = {vget_low_s32(x.v), vget_high_s32(x.v)};
        for (int h = 0; h < 2; ++h) {
            dx[h] = vsubq_f64(Widened(halves[h]), f.focusX);
            d2[h] = vsubq_f64(vmulq_f64(dx[h], f.focusY), f.rowYFocusX);
            before[h] = vaddq_f64(vmulq_f64(dx[h], f.focusX), f.rowYFocusY);
        }
    }

    template <bool Padded>
    L4 Value(const NeonFocus& f) const {
        return vcombine_s32(RadialFromProducts<Padded>(dx[0], f.rowYY, d2[0], before[0], f),
                            RadialFromProducts<Padded>(dx[1], f.rowYY, d2[1], before[1], f));
    }

    void Step() {
        for (int h = 0; h < 2; ++h) {
            dx[h] = vaddq_f64(dx[h], dxStep);
            d2[h] = vaddq_f64(d2[h], d2Step);
            before[h] = vaddq_f64(before[h], beforeStep);
        }
    }
};

void Lookup(const uint8_t* ramp, L4 index, uint8_t* colors) {
    int32_t at[4];
    vst1q_s32(at, index.v);
    for (int i = 0; i < 4; ++i)
        memcpy(colors + 4 * i, ramp + 4 * at[i], 4);
}

}  // namespace

const GradientKernels* NeonGradientKernels() { return &GradientLoops<NeonGradientLanes>::kernels; }

}  // namespace Vudadive2R
}  // namespace ORV

#endif
