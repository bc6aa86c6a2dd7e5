// The gradients' lanes in AVX2: eight pixels per register (the radial
// function in two registers of four doubles), the ramp read by a gather.
// Only this file is compiled for AVX2; it is called only where the
// processor reports it.
#if defined(__x86_64__) || defined(__i386__)

// Standard headers come before the target switch, so that none of their
// inline functions is compiled for AVX2.
#include <cstdint>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC target("avx2")
#endif

#include <immintrin.h>

#include "paint/GradientLaneKernels.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

struct Avx2Divisor {
    __m256i multiplier;
    __m128i shift;
    Avx2Divisor(uint32_t multiplier, unsigned shift)
        : multiplier(_mm256_set1_epi64x(multiplier)), shift(_mm_cvtsi32_si128(int(shift))) {}
};

struct Avx2Focus {
    __m256d radiusSquared, factor, focusX, focusY, limit, negativeLimit, half, negativeHalf, sign;
    // For a row of one y: dy, dy dy, dy focusX and dy focusY.
    __m256d rowY, rowYY, rowYFocusX, rowYFocusY;
    explicit Avx2Focus(const GradientLaneFocus& f)
        : radiusSquared(_mm256_set1_pd(f.radiusSquared)), factor(_mm256_set1_pd(f.factor)),
          focusX(_mm256_set1_pd(f.focusX)), focusY(_mm256_set1_pd(f.focusY)), limit(_mm256_set1_pd(f.limit)),
          negativeLimit(_mm256_set1_pd(-f.limit)), half(_mm256_set1_pd(0.5)), negativeHalf(_mm256_set1_pd(-0.5)),
          sign(_mm256_set1_pd(-0.0)), zero(_mm256_setzero_pd()), padRange(zero) {}
    __m256d zero, padRange;
    void PadTo(int32_t range) { padRange = _mm256_set1_pd(double(range)); }
    void FixRow(int32_t y) {
        rowY = _mm256_sub_pd(_mm256_set1_pd(double(y)), focusY);
        rowYY = _mm256_mul_pd(rowY, rowY);
        rowYFocusX = _mm256_mul_pd(rowY, focusX);
        rowYFocusY = _mm256_mul_pd(rowY, focusY);
    }
};

struct Avx2StepAlong;

struct Avx2GradientLanes {
    static constexpr unsigned lanes = 8;
    typedef Avx2Divisor Divisor;
    typedef Avx2Focus Focus;
    typedef Avx2StepAlong StepAlong;
    __m256i v;

    Avx2GradientLanes() = default;
    Avx2GradientLanes(__m256i value) : v(value) {}
    explicit Avx2GradientLanes(int32_t value) : v(_mm256_set1_epi32(value)) {}

    static Avx2GradientLanes Load(const int32_t* values) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(values));
    }
    void Store(int32_t* values) const { _mm256_storeu_si256(reinterpret_cast<__m256i*>(values), v); }
};

typedef Avx2GradientLanes L8;

L8 operator+(L8 a, L8 b) { return _mm256_add_epi32(a.v, b.v); }
L8 operator-(L8 a, L8 b) { return _mm256_sub_epi32(a.v, b.v); }
L8 operator&(L8 a, L8 b) { return _mm256_and_si256(a.v, b.v); }
L8 GreaterThan(L8 a, L8 b) { return _mm256_cmpgt_epi32(a.v, b.v); }
L8 Select(L8 mask, L8 a, L8 b) { return _mm256_blendv_epi8(b.v, a.v, mask.v); }
L8 Min(L8 a, L8 b) { return _mm256_min_epi32(a.v, b.v); }
L8 Max(L8 a, L8 b) { return _mm256_max_epi32(a.v, b.v); }
L8 ShiftRight4(L8 a) { return _mm256_srai_epi32(a.v, 4); }
L8 MultiplyLow(L8 a, L8 b) { return _mm256_mullo_epi32(a.v, b.v); }

L8 Quotient(L8 n, const Avx2Divisor& d) {
    const __m256i even = _mm256_srl_epi64(_mm256_mul_epu32(n.v, d.multiplier), d.shift);
    const __m256i odd = _mm256_srl_epi64(_mm256_mul_epu32(_mm256_srli_epi64(n.v, 32), d.multiplier), d.shift);
    return _mm256_blend_epi32(even, _mm256_slli_epi64(odd, 32), 0xAA);
}

// A value rounded as RadialFocusFunction rounds it: NaN to the limit, then
// clamped and rounded half away from zero. Padded: clamped to the pad's
// range (see GradientLaneKernels.hpp) and rounded, which gives its fold.
template <bool Padded>
inline __attribute__((always_inline)) __m128i Rounded(__m256d value, const Avx2Focus& f) {
    if constexpr (Padded) {
        // min returns its second operand for NaN: the range.
        value = _mm256_max_pd(_mm256_min_pd(value, f.padRange), f.zero);
        return _mm256_cvttpd_epi32(_mm256_add_pd(value, f.half));
    }
    const __m256d notANumber = _mm256_cmp_pd(value, value, _CMP_UNORD_Q);
    value = _mm256_min_pd(_mm256_max_pd(value, f.negativeLimit), f.limit);
    value = _mm256_blendv_pd(value, f.limit, notANumber);
    const __m256d negative = _mm256_cmp_pd(value, _mm256_setzero_pd(), _CMP_LT_OQ);
    return _mm256_cvttpd_epi32(_mm256_add_pd(value, _mm256_blendv_pd(f.half, f.negativeHalf, negative)));
}

// The value from dx and the products that RadialFocusFunction::calculate
// makes of it and y, operation for operation in its order (no fused
// multiply-add, which would round once where it rounds twice).
template <bool Padded>
inline __attribute__((always_inline)) __m128i RadialFromProducts(__m256d dx, __m256d dyDy, __m256d d2,
                                                                 __m256d before, const Avx2Focus& f) {
    const __m256d d3 = _mm256_sub_pd(_mm256_mul_pd(f.radiusSquared, _mm256_add_pd(_mm256_mul_pd(dx, dx), dyDy)),
                                     _mm256_mul_pd(d2, d2));
    const __m256d root = _mm256_sqrt_pd(_mm256_andnot_pd(f.sign, d3));
    return Rounded<Padded>(_mm256_mul_pd(_mm256_add_pd(before, root), f.factor), f);
}

// RadialFocusFunction::calculate on four lanes. In a fixed row the products
// of dy are the row's, the same numbers.
template <bool Fixed, bool Padded>
inline __attribute__((always_inline)) __m128i RadialQuarter(__m128i x, __m128i y, const Avx2Focus& f) {
    const __m256d dx = _mm256_sub_pd(_mm256_cvtepi32_pd(x), f.focusX);
    __m256d dyFocusX = f.rowYFocusX, dyDy = f.rowYY, dyFocusY = f.rowYFocusY;
    if constexpr (!Fixed) {
        const __m256d dy = _mm256_sub_pd(_mm256_cvtepi32_pd(y), f.focusY);
        dyFocusX = _mm256_mul_pd(dy, f.focusX);
        dyDy = _mm256_mul_pd(dy, dy);
        dyFocusY = _mm256_mul_pd(dy, f.focusY);
    }
    const __m256d d2 = _mm256_sub_pd(_mm256_mul_pd(dx, f.focusY), dyFocusX);
    const __m256d before = _mm256_add_pd(_mm256_mul_pd(dx, f.focusX), dyFocusY);
    return RadialFromProducts<Padded>(dx, dyDy, d2, before, f);
}

template <class Row, bool Padded>
inline __attribute__((always_inline)) L8 RadialValue(L8 x, L8 y, const Avx2Focus& f, Row, PadClamp<Padded>) {
    const __m128i low =
        RadialQuarter<Row::fixed, Padded>(_mm256_castsi256_si128(x.v), _mm256_castsi256_si128(y.v), f);
    const __m128i high =
        RadialQuarter<Row::fixed, Padded>(_mm256_extracti128_si256(x.v, 1), _mm256_extracti128_si256(y.v, 1), f);
    return _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
}

// Eight lanes of a fixed row stepped by one whole number of sixteenths: dx,
// d2 = dx focusY - dy focusX and dx focusX + dy focusY are whole numbers
// below 2^51 (x within 2^26, the focus within 2^23), which double holds
// exactly, so adding the step's products gives each exactly as the
// multiplications do.
struct Avx2StepAlong {
    __m256d dx[2], d2[2], before[2];
    __m256d dxStep, d2Step, beforeStep;

    Avx2StepAlong(const Avx2Focus& f, L8 x, int32_t step)
        : dxStep(_mm256_set1_pd(double(step))), d2Step(_mm256_mul_pd(dxStep, f.focusY)),
          beforeStep(_mm256_mul_pd(dxStep, f.focusX)) {
        const __m128i quarters[2] = {_mm256_castsi256_si128(x.v), _mm256_extracti128_si256(x.v, 1)};
        for (int q = 0; q < 2; ++q) {
            dx[q] = _mm256_sub_pd(_mm256_cvtepi32_pd(quarters[q]), f.focusX);
            d2[q] = _mm256_sub_pd(_mm256_mul_pd(dx[q], f.focusY), f.rowYFocusX);
            before[q] = _mm256_add_pd(_mm256_mul_pd(dx[q], f.focusX), f.rowYFocusY);
        }
    }

    template <bool Padded>
    L8 Value(const Avx2Focus& f) const {
        const __m128i low = RadialFromProducts<Padded>(dx[0], f.rowYY, d2[0], before[0], f);
        const __m128i high = RadialFromProducts<Padded>(dx[1], f.rowYY, d2[1], before[1], f);
        return _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
    }

    void Step() {
        for (int q = 0; q < 2; ++q) {
            dx[q] = _mm256_add_pd(dx[q], dxStep);
            d2[q] = _mm256_add_pd(d2[q], d2Step);
            before[q] = _mm256_add_pd(before[q], beforeStep);
        }
    }
};

void Lookup(const uint8_t* ramp, L8 index, uint8_t* colors) {
    const __m256i entries = _mm256_i32gather_epi32(reinterpret_cast<const int*>(ramp), index.v, 4);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(colors), entries);
}

}  // namespace

const GradientKernels* Avx2GradientKernels() { return &GradientLoops<Avx2GradientLanes>::kernels; }

}  // namespace Vudadive2R
}  // namespace ORV

#if defined(__clang__)
#pragma clang attribute pop
#endif

#endif
