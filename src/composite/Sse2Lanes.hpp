// The 128-bit lane types of the span loops and the 16-byte store of the
// fill. The SSE2 loops use them whole; the AVX2 loops use their one-pixel
// forms for the last pixels of a span, and the 16-byte store for short fills.
// Included by each of those files under its own target, after its
// intrinsics header, so every copy is compiled for its instruction set.
#ifndef VUDADIVE2R_COMPOSITE_SSE2LANES_HPP
#define VUDADIVE2R_COMPOSITE_SSE2LANES_HPP

#include <cstdint>
#include <cstring>

#include "composite/BlendSpanKernels.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

// One pixel per register of four 32-bit lanes.
struct Sse2Lanes {
    static constexpr unsigned pixels = 1;
    typedef Sse2Lanes Smaller;
    __m128i v;

    Sse2Lanes() = default;
    Sse2Lanes(__m128i value) : v(value) {}
    explicit Sse2Lanes(int32_t value) : v(_mm_set1_epi32(value)) {}

    static Sse2Lanes Load(const uint8_t* bytes) {
        int32_t word;
        memcpy(&word, bytes, 4);
        const __m128i zero = _mm_setzero_si128();
        return _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(word), zero), zero);
    }
    static Sse2Lanes PerPixel(const uint8_t* values) { return Sse2Lanes(values[0]); }
    // Keeps the low eight bits of each lane, as the byte stores do.
    void Store(uint8_t* bytes) const {
        const __m128i low = _mm_and_si128(v, _mm_set1_epi32(0xFF));
        const __m128i words = _mm_packs_epi32(low, low);
        const int32_t word = _mm_cvtsi128_si32(_mm_packus_epi16(words, words));
        memcpy(bytes, &word, 4);
    }
};

inline Sse2Lanes operator+(Sse2Lanes a, Sse2Lanes b) { return _mm_add_epi32(a.v, b.v); }
inline Sse2Lanes operator-(Sse2Lanes a, Sse2Lanes b) { return _mm_sub_epi32(a.v, b.v); }
// Factors below 2^16: the low and high halves of 16-bit products.
inline Sse2Lanes Mul(Sse2Lanes a, Sse2Lanes b) {
    return _mm_or_si128(_mm_mullo_epi16(a.v, b.v), _mm_slli_epi32(_mm_mulhi_epu16(a.v, b.v), 16));
}
inline Sse2Lanes Select(Sse2Lanes mask, Sse2Lanes a, Sse2Lanes b) {
    return _mm_or_si128(_mm_and_si128(mask.v, a.v), _mm_andnot_si128(mask.v, b.v));
}
inline Sse2Lanes Min(Sse2Lanes a, Sse2Lanes b) { return Select(_mm_cmpgt_epi32(a.v, b.v), b, a); }
inline Sse2Lanes Max(Sse2Lanes a, Sse2Lanes b) { return Select(_mm_cmpgt_epi32(a.v, b.v), a, b); }
inline Sse2Lanes ShiftRight8(Sse2Lanes a) { return _mm_srli_epi32(a.v, 8); }
inline Sse2Lanes IsZero(Sse2Lanes a) { return _mm_cmpeq_epi32(a.v, _mm_setzero_si128()); }
inline Sse2Lanes AlphaBroadcast(Sse2Lanes a) { return _mm_shuffle_epi32(a.v, _MM_SHUFFLE(3, 3, 3, 3)); }
inline Sse2Lanes SelectAlpha(Sse2Lanes alpha, Sse2Lanes colors) {
    return Select(_mm_setr_epi32(0, 0, 0, -1), alpha, colors);
}

// Numerators below 2^26: the float estimate of the quotient is off by at
// most one, and the exact remainder (q x 65025 = (q << 16) - (q << 9) + q)
// corrects it.
inline Sse2Lanes RoundDivide65025(Sse2Lanes numerator) {
    const __m128i t = _mm_add_epi32(numerator.v, _mm_set1_epi32(32512));
    __m128i q = _mm_cvttps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(t), _mm_set1_ps(1.0f / 65025.0f)));
    const __m128i product = _mm_add_epi32(_mm_sub_epi32(_mm_slli_epi32(q, 16), _mm_slli_epi32(q, 9)), q);
    const __m128i remainder = _mm_sub_epi32(t, product);
    q = _mm_add_epi32(q, _mm_cmplt_epi32(remainder, _mm_setzero_si128()));
    return _mm_sub_epi32(q, _mm_cmpgt_epi32(remainder, _mm_set1_epi32(65024)));
}

// One or two pixels in 16-bit lanes, for source-over (products below 2^16).
template <unsigned Pixels>
struct Sse2NarrowLanes {
    static_assert(Pixels == 1 || Pixels == 2, "a pixel is four of the eight lanes");
    static constexpr unsigned pixels = Pixels;
    typedef Sse2NarrowLanes<1> Smaller;
    __m128i v;

    Sse2NarrowLanes() = default;
    Sse2NarrowLanes(__m128i value) : v(value) {}
    explicit Sse2NarrowLanes(int16_t value) : v(_mm_set1_epi16(value)) {}

    static Sse2NarrowLanes Load(const uint8_t* bytes) {
        __m128i packed;
        if (Pixels == 2) {
            packed = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes));
        } else {
            int32_t word;
            memcpy(&word, bytes, 4);
            packed = _mm_cvtsi32_si128(word);
        }
        return _mm_unpacklo_epi8(packed, _mm_setzero_si128());
    }
    static Sse2NarrowLanes PerPixel(const uint8_t* values) {
        const short first = values[0], second = Pixels == 2 ? values[1] : values[0];
        return _mm_setr_epi16(first, first, first, first, second, second, second, second);
    }
    void Store(uint8_t* bytes) const {
        const __m128i low = _mm_and_si128(v, _mm_set1_epi16(0xFF));
        const __m128i packed = _mm_packus_epi16(low, low);
        if (Pixels == 2) {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(bytes), packed);
        } else {
            const int32_t word = _mm_cvtsi128_si32(packed);
            memcpy(bytes, &word, 4);
        }
    }
};

template <unsigned P>
inline Sse2NarrowLanes<P> operator+(Sse2NarrowLanes<P> a, Sse2NarrowLanes<P> b) {
    return _mm_add_epi16(a.v, b.v);
}
template <unsigned P>
inline Sse2NarrowLanes<P> operator-(Sse2NarrowLanes<P> a, Sse2NarrowLanes<P> b) {
    return _mm_sub_epi16(a.v, b.v);
}
template <unsigned P>
inline Sse2NarrowLanes<P> Mul(Sse2NarrowLanes<P> a, Sse2NarrowLanes<P> b) {
    return _mm_mullo_epi16(a.v, b.v);
}
template <unsigned P>
inline Sse2NarrowLanes<P> ShiftRight8(Sse2NarrowLanes<P> a) {
    return _mm_srli_epi16(a.v, 8);
}
template <unsigned P>
inline Sse2NarrowLanes<P> FoldBytes(Sse2NarrowLanes<P> t) {
    return _mm_mulhi_epu16(t.v, _mm_set1_epi16(257));
}
template <unsigned P>
inline Sse2NarrowLanes<P> AlphaBroadcast(Sse2NarrowLanes<P> a) {
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(a.v, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
}
template <unsigned P>
inline Sse2NarrowLanes<P> SelectAlpha(Sse2NarrowLanes<P> alpha, Sse2NarrowLanes<P> colors) {
    const __m128i mask = _mm_setr_epi16(0, 0, 0, -1, 0, 0, 0, -1);
    return _mm_or_si128(_mm_and_si128(mask, alpha.v), _mm_andnot_si128(mask, colors.v));
}

// Sixteen bytes of a fill.
struct Sse2Block {
    static constexpr std::size_t bytes = 16;
    typedef PixelBlock Smaller;
    __m128i v;

    static Sse2Block Broadcast(const uint8_t* source) {
        int32_t word;
        memcpy(&word, source, 4);
        return Sse2Block{_mm_set1_epi32(word)};
    }
    void Store(uint8_t* at) const { _mm_storeu_si128(reinterpret_cast<__m128i*>(at), v); }
};

}  // namespace

}  // namespace Vudadive2R
}  // namespace ORV

#endif
