// The gradients' lanes in SSE2: four pixels per register (the radial
// function in two registers of two doubles), the ramp read entry by entry
// from the lanes' indices (SSE2 has no gather).
#if defined(__x86_64__) || defined(__i386__)

#include <cstdint>
#include <cstring>

#if !defined(__clang__)
#pragma GCC target("sse2")
#endif

#include <emmintrin.h>

#include "paint/GradientLaneKernels.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

struct Sse2Divisor {
    __m128i multiplier, shift;
    Sse2Divisor(uint32_t multiplier, unsigned shift)
        : multiplier(_mm_set1_epi32(int32_t(multiplier))), shift(_mm_cvtsi32_si128(int(shift))) {}
};

struct Sse2Focus {
    __m128d radiusSquared, factor, focusX, focusY, limit, negativeLimit, half, negativeHalf, sign;
    // For a row of one y: dy, dy dy, dy focusX and dy focusY.
    __m128d rowY, rowYY, rowYFocusX, rowYFocusY;
    explicit Sse2Focus(const GradientLaneFocus& f)
        : radiusSquared(_mm_set1_pd(f.radiusSquared)), factor(_mm_set1_pd(f.factor)), focusX(_mm_set1_pd(f.focusX)),
          focusY(_mm_set1_pd(f.focusY)), limit(_mm_set1_pd(f.limit)), negativeLimit(_mm_set1_pd(-f.limit)),
          half(_mm_set1_pd(0.5)), negativeHalf(_mm_set1_pd(-0.5)), sign(_mm_set1_pd(-0.0)), zero(_mm_setzero_pd()),
          padRange(zero) {}
    __m128d zero, padRange;
    void PadTo(int32_t range) { padRange = _mm_set1_pd(double(range)); }
    void FixRow(int32_t y) {
        rowY = _mm_sub_pd(_mm_set1_pd(double(y)), focusY);
        rowYY = _mm_mul_pd(rowY, rowY);
        rowYFocusX = _mm_mul_pd(rowY, focusX);
        rowYFocusY = _mm_mul_pd(rowY, focusY);
    }
};

struct Sse2StepAlong;

struct Sse2GradientLanes {
    static constexpr unsigned lanes = 4;
    typedef Sse2Divisor Divisor;
    typedef Sse2Focus Focus;
    typedef Sse2StepAlong StepAlong;
    __m128i v;

    Sse2GradientLanes() = default;
    Sse2GradientLanes(__m128i value) : v(value) {}
    explicit Sse2GradientLanes(int32_t value) : v(_mm_set1_epi32(value)) {}

    static Sse2GradientLanes Load(const int32_t* values) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(values));
    }
    void Store(int32_t* values) const { _mm_storeu_si128(reinterpret_cast<__m128i*>(values), v); }
};

typedef Sse2GradientLanes L4;

L4 operator+(L4 a, L4 b) { return _mm_add_epi32(a.v, b.v); }
L4 operator-(L4 a, L4 b) { return _mm_sub_epi32(a.v, b.v); }
L4 operator&(L4 a, L4 b) { return _mm_and_si128(a.v, b.v); }
L4 GreaterThan(L4 a, L4 b) { return _mm_cmpgt_epi32(a.v, b.v); }
L4 Select(L4 mask, L4 a, L4 b) { return _mm_or_si128(_mm_and_si128(mask.v, a.v), _mm_andnot_si128(mask.v, b.v)); }
L4 Min(L4 a, L4 b) { return Select(GreaterThan(a, b), b, a); }
L4 Max(L4 a, L4 b) { return Select(GreaterThan(a, b), a, b); }
L4 ShiftRight4(L4 a) { return _mm_srai_epi32(a.v, 4); }

// The 64-bit products of the even lanes and of the odd ones, each shifted,
// their low halves put back in lane order.
template <class Finish>
L4 EvenOdd(__m128i a, __m128i b, Finish finish) {
    const __m128i even = finish(_mm_mul_epu32(a, b));
    const __m128i odd = finish(_mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32)));
    const __m128i low = _mm_set_epi32(0, -1, 0, -1);
    return _mm_or_si128(_mm_and_si128(even, low), _mm_slli_epi64(odd, 32));
}

// Products below 2^31, so the low half is the product.
L4 MultiplyLow(L4 a, L4 b) {
    return EvenOdd(a.v, b.v, [](__m128i product) { return product; });
}

L4 Quotient(L4 n, const Sse2Divisor& d) {
    return EvenOdd(n.v, d.multiplier, [&d](__m128i product) { return _mm_srl_epi64(product, d.shift); });
}

__m128d SelectDoubles(__m128d mask, __m128d a, __m128d b) {
    return _mm_or_pd(_mm_and_pd(mask, a), _mm_andnot_pd(mask, b));
}

// A value rounded as RadialFocusFunction rounds it: NaN to the limit, then
// clamped and rounded half away from zero. Padded: clamped to the pad's
// range (see GradientLaneKernels.hpp) and rounded, which gives its fold.
template <bool Padded>
inline __attribute__((always_inline)) __m128i Rounded(__m128d value, const Sse2Focus& f) {
    if constexpr (Padded) {
        // min returns its second operand for NaN: the range.
        value = _mm_max_pd(_mm_min_pd(value, f.padRange), f.zero);
        return _mm_cvttpd_epi32(_mm_add_pd(value, f.half));
    }
    const __m128d notANumber = _mm_cmpunord_pd(value, value);
    value = _mm_min_pd(_mm_max_pd(value, f.negativeLimit), f.limit);
    value = SelectDoubles(notANumber, f.limit, value);
    const __m128d negative = _mm_cmplt_pd(value, _mm_setzero_pd());
    return _mm_cvttpd_epi32(_mm_add_pd(value, SelectDoubles(negative, f.negativeHalf, f.half)));
}

// The value from dx and the products that RadialFocusFunction::calculate
// makes of it and y, operation for operation in its order; the result in
// the low half.
template <bool Padded>
inline __attribute__((always_inline)) __m128i RadialFromProducts(__m128d dx, __m128d dyDy, __m128d d2, __m128d before,
                                                                 const Sse2Focus& f) {
    const __m128d d3 =
        _mm_sub_pd(_mm_mul_pd(f.radiusSquared, _mm_add_pd(_mm_mul_pd(dx, dx), dyDy)), _mm_mul_pd(d2, d2));
    const __m128d root = _mm_sqrt_pd(_mm_andnot_pd(f.sign, d3));
    return Rounded<Padded>(_mm_mul_pd(_mm_add_pd(before, root), f.factor), f);
}

// RadialFocusFunction::calculate on the two lanes of the low half of x and
// y. In a fixed row the products of dy are the row's, the same numbers.
template <bool Fixed, bool Padded>
inline __attribute__((always_inline)) __m128i RadialPair(__m128i x, __m128i y, const Sse2Focus& f) {
    const __m128d dx = _mm_sub_pd(_mm_cvtepi32_pd(x), f.focusX);
    __m128d dyFocusX = f.rowYFocusX, dyDy = f.rowYY, dyFocusY = f.rowYFocusY;
    if constexpr (!Fixed) {
        const __m128d dy = _mm_sub_pd(_mm_cvtepi32_pd(y), f.focusY);
        dyFocusX = _mm_mul_pd(dy, f.focusX);
        dyDy = _mm_mul_pd(dy, dy);
        dyFocusY = _mm_mul_pd(dy, f.focusY);
    }
    const __m128d d2 = _mm_sub_pd(_mm_mul_pd(dx, f.focusY), dyFocusX);
    const __m128d before = _mm_add_pd(_mm_mul_pd(dx, f.focusX), dyFocusY);
    return RadialFromProducts<Padded>(dx, dyDy, d2, before, f);
}

template <class Row, bool Padded>
inline __attribute__((always_inline)) L4 RadialValue(L4 x, L4 y, const Sse2Focus& f, Row, PadClamp<Padded>) {
    const __m128i low = RadialPair<Row::fixed, Padded>(x.v, y.v, f);
    const __m128i high =
        RadialPair<Row::fixed, Padded>(_mm_unpackhi_epi64(x.v, x.v), _mm_unpackhi_epi64(y.v, y.v), f);
    return _mm_unpacklo_epi64(low, high);
}

// Four lanes of a fixed row stepped by one whole number of sixteenths, as
// Avx2StepAlong: dx and its products are whole numbers below 2^51, held
// exactly, so adding the step's products gives each exactly.
struct Sse2StepAlong {
    __m128d dx[2], d2[2], before[2];
    __m128d dxStep, d2Step, beforeStep;

    Sse2StepAlong(const Sse2Focus& f, L4 x, int32_t step)
        : dxStep(_mm_set1_pd(double(step))), d2Step(_mm_mul_pd(dxStep, f.focusY)),
          beforeStep(_mm_mul_pd(dxStep, f.focusX)) {
        const __m128i halves[2] = {x.v, _mm_unpackhi_epi64(x.v, x.v)};
        for (int h = 0; h < 2; ++h) {
            dx[h] = _mm_sub_pd(_mm_cvtepi32_pd(halves[h]), f.focusX);
            d2[h] = _mm_sub_pd(_mm_mul_pd(dx[h], f.focusY), f.rowYFocusX);
            before[h] = _mm_add_pd(_mm_mul_pd(dx[h], f.focusX), f.rowYFocusY);
        }
    }

    template <bool Padded>
    L4 Value(const Sse2Focus& f) const {
        const __m128i low = RadialFromProducts<Padded>(dx[0], f.rowYY, d2[0], before[0], f);
        const __m128i high = RadialFromProducts<Padded>(dx[1], f.rowYY, d2[1], before[1], f);
        return _mm_unpacklo_epi64(low, high);
    }

    void Step() {
        for (int h = 0; h < 2; ++h) {
            dx[h] = _mm_add_pd(dx[h], dxStep);
            d2[h] = _mm_add_pd(d2[h], d2Step);
            before[h] = _mm_add_pd(before[h], beforeStep);
        }
    }
};

void Lookup(const uint8_t* ramp, L4 index, uint8_t* colors) {
    int32_t at[4];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at), index.v);
    for (int i = 0; i < 4; ++i)
        memcpy(colors + 4 * i, ramp + 4 * at[i], 4);
}

}  // namespace

const GradientKernels* Sse2GradientKernels() { return &GradientLoops<Sse2GradientLanes>::kernels; }

}  // namespace Vudadive2R
}  // namespace ORV

#endif
