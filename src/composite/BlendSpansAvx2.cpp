// The span loops in AVX2, two pixels per register of eight 32-bit lanes
// (eight in two registers of 16-bit lanes for source-over); the last pixels
// of a span go through ever narrower lanes, down to one pixel at a time in
// the 128-bit ones.
// Only this file is compiled for AVX2; it is called only where the
// processor reports it.
#if defined(__x86_64__) || defined(__i386__)

// Standard headers come before the target switch, so that none of their
// inline functions is compiled for AVX2.
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC target("avx2")
#endif

#include <immintrin.h>

#include "composite/Sse2Lanes.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

struct Avx2Lanes {
    static constexpr unsigned pixels = 2;
    typedef Sse2Lanes Smaller;
    __m256i v;

    Avx2Lanes() = default;
    Avx2Lanes(__m256i value) : v(value) {}
    explicit Avx2Lanes(int32_t value) : v(_mm256_set1_epi32(value)) {}

    static Avx2Lanes Load(const uint8_t* bytes) {
        long long words;
        memcpy(&words, bytes, 8);
        return _mm256_cvtepu8_epi32(_mm_cvtsi64_si128(words));
    }
    static Avx2Lanes PerPixel(const uint8_t* values) {
        return _mm256_setr_epi32(values[0], values[0], values[0], values[0], values[1], values[1], values[1],
                                 values[1]);
    }
    // Keeps the low eight bits of each lane, as the byte stores do.
    void Store(uint8_t* bytes) const {
        const __m256i low = _mm256_and_si256(v, _mm256_set1_epi32(0xFF));
        const __m256i words = _mm256_packs_epi32(low, low);
        const __m256i packed = _mm256_packus_epi16(words, words);
        const int32_t first = _mm_cvtsi128_si32(_mm256_castsi256_si128(packed));
        const int32_t second = _mm_cvtsi128_si32(_mm256_extracti128_si256(packed, 1));
        memcpy(bytes, &first, 4);
        memcpy(bytes + 4, &second, 4);
    }
};

Avx2Lanes operator+(Avx2Lanes a, Avx2Lanes b) { return _mm256_add_epi32(a.v, b.v); }
Avx2Lanes operator-(Avx2Lanes a, Avx2Lanes b) { return _mm256_sub_epi32(a.v, b.v); }
Avx2Lanes Mul(Avx2Lanes a, Avx2Lanes b) { return _mm256_mullo_epi32(a.v, b.v); }
Avx2Lanes Min(Avx2Lanes a, Avx2Lanes b) { return _mm256_min_epi32(a.v, b.v); }
Avx2Lanes Max(Avx2Lanes a, Avx2Lanes b) { return _mm256_max_epi32(a.v, b.v); }
Avx2Lanes ShiftRight8(Avx2Lanes a) { return _mm256_srli_epi32(a.v, 8); }
Avx2Lanes IsZero(Avx2Lanes a) { return _mm256_cmpeq_epi32(a.v, _mm256_setzero_si256()); }
Avx2Lanes Select(Avx2Lanes mask, Avx2Lanes a, Avx2Lanes b) { return _mm256_blendv_epi8(b.v, a.v, mask.v); }
Avx2Lanes AlphaBroadcast(Avx2Lanes a) { return _mm256_shuffle_epi32(a.v, _MM_SHUFFLE(3, 3, 3, 3)); }
Avx2Lanes SelectAlpha(Avx2Lanes alpha, Avx2Lanes colors) { return _mm256_blend_epi32(colors.v, alpha.v, 0x88); }

// As in the SSE2 loops: a float estimate, corrected by the exact remainder.
Avx2Lanes RoundDivide65025(Avx2Lanes numerator) {
    const __m256i t = _mm256_add_epi32(numerator.v, _mm256_set1_epi32(32512));
    __m256i q = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(t), _mm256_set1_ps(1.0f / 65025.0f)));
    const __m256i remainder = _mm256_sub_epi32(t, _mm256_mullo_epi32(q, _mm256_set1_epi32(65025)));
    q = _mm256_add_epi32(q, _mm256_cmpgt_epi32(_mm256_setzero_si256(), remainder));
    return _mm256_sub_epi32(q, _mm256_cmpgt_epi32(remainder, _mm256_set1_epi32(65024)));
}

// Four pixels per register of sixteen 16-bit lanes, for source-over.
struct Avx2NarrowLanes {
    static constexpr unsigned pixels = 4;
    typedef Sse2NarrowLanes<2> Smaller;
    __m256i v;

    Avx2NarrowLanes() = default;
    Avx2NarrowLanes(__m256i value) : v(value) {}
    explicit Avx2NarrowLanes(int16_t value) : v(_mm256_set1_epi16(value)) {}

    static Avx2NarrowLanes Load(const uint8_t* bytes) {
        return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)));
    }
    static Avx2NarrowLanes PerPixel(const uint8_t* values) {
        const short a = values[0], b = values[1], c = values[2], d = values[3];
        return _mm256_setr_epi16(a, a, a, a, b, b, b, b, c, c, c, c, d, d, d, d);
    }
    void Store(uint8_t* bytes) const {
        const __m256i low = _mm256_and_si256(v, _mm256_set1_epi16(0xFF));
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(low, low), _MM_SHUFFLE(3, 1, 2, 0));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes), _mm256_castsi256_si128(packed));
    }
};

Avx2NarrowLanes operator+(Avx2NarrowLanes a, Avx2NarrowLanes b) { return _mm256_add_epi16(a.v, b.v); }
Avx2NarrowLanes operator-(Avx2NarrowLanes a, Avx2NarrowLanes b) { return _mm256_sub_epi16(a.v, b.v); }
// Products below 2^16 only.
Avx2NarrowLanes Mul(Avx2NarrowLanes a, Avx2NarrowLanes b) { return _mm256_mullo_epi16(a.v, b.v); }
Avx2NarrowLanes ShiftRight8(Avx2NarrowLanes a) { return _mm256_srli_epi16(a.v, 8); }
Avx2NarrowLanes FoldBytes(Avx2NarrowLanes t) { return _mm256_mulhi_epu16(t.v, _mm256_set1_epi16(257)); }
Avx2NarrowLanes AlphaBroadcast(Avx2NarrowLanes a) {
    return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(a.v, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
}
Avx2NarrowLanes SelectAlpha(Avx2NarrowLanes alpha, Avx2NarrowLanes colors) {
    return _mm256_blend_epi16(colors.v, alpha.v, 0x88);
}

// Eight pixels in two registers of sixteen 16-bit lanes, for source-over:
// one 32-byte load spreads pixels 0, 1, 4 and 5 over the first and 2, 3, 6
// and 7 over the second (unpacking works within each 128-bit half), and the
// packing store puts them back in order, so no lanes cross.
struct Avx2NarrowPairLanes {
    static constexpr unsigned pixels = 8;
    typedef Avx2NarrowLanes Smaller;
    __m256i first, second;

    Avx2NarrowPairLanes() = default;
    Avx2NarrowPairLanes(__m256i a, __m256i b) : first(a), second(b) {}
    explicit Avx2NarrowPairLanes(int16_t value) : first(_mm256_set1_epi16(value)), second(first) {}

    static Avx2NarrowPairLanes Load(const uint8_t* bytes) {
        const __m256i packed = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes));
        const __m256i zero = _mm256_setzero_si256();
        return {_mm256_unpacklo_epi8(packed, zero), _mm256_unpackhi_epi8(packed, zero)};
    }
    // Each coverage byte to the four 16-bit lanes of its pixel, in the
    // order Load leaves the pixels.
    static Avx2NarrowPairLanes PerPixel(const uint8_t* values) {
        long long eight;
        memcpy(&eight, values, 8);
        const __m256i all = _mm256_set1_epi64x(eight);
        const __m256i firstOrder = _mm256_setr_epi8(0, -1, 0, -1, 0, -1, 0, -1, 1, -1, 1, -1, 1, -1, 1, -1,  //
                                                    4, -1, 4, -1, 4, -1, 4, -1, 5, -1, 5, -1, 5, -1, 5, -1);
        const __m256i secondOrder = _mm256_setr_epi8(2, -1, 2, -1, 2, -1, 2, -1, 3, -1, 3, -1, 3, -1, 3, -1,  //
                                                     6, -1, 6, -1, 6, -1, 6, -1, 7, -1, 7, -1, 7, -1, 7, -1);
        return {_mm256_shuffle_epi8(all, firstOrder), _mm256_shuffle_epi8(all, secondOrder)};
    }
    void Store(uint8_t* bytes) const {
        const __m256i low = _mm256_set1_epi16(0xFF);
        const __m256i packed = _mm256_packus_epi16(_mm256_and_si256(first, low), _mm256_and_si256(second, low));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(bytes), packed);
    }
};

Avx2NarrowPairLanes operator+(Avx2NarrowPairLanes a, Avx2NarrowPairLanes b) {
    return {_mm256_add_epi16(a.first, b.first), _mm256_add_epi16(a.second, b.second)};
}
Avx2NarrowPairLanes operator-(Avx2NarrowPairLanes a, Avx2NarrowPairLanes b) {
    return {_mm256_sub_epi16(a.first, b.first), _mm256_sub_epi16(a.second, b.second)};
}
// Products below 2^16 only.
Avx2NarrowPairLanes Mul(Avx2NarrowPairLanes a, Avx2NarrowPairLanes b) {
    return {_mm256_mullo_epi16(a.first, b.first), _mm256_mullo_epi16(a.second, b.second)};
}
Avx2NarrowPairLanes ShiftRight8(Avx2NarrowPairLanes a) {
    return {_mm256_srli_epi16(a.first, 8), _mm256_srli_epi16(a.second, 8)};
}
Avx2NarrowPairLanes FoldBytes(Avx2NarrowPairLanes t) {
    const __m256i factor = _mm256_set1_epi16(257);
    return {_mm256_mulhi_epu16(t.first, factor), _mm256_mulhi_epu16(t.second, factor)};
}
Avx2NarrowPairLanes AlphaBroadcast(Avx2NarrowPairLanes a) {
    return {AlphaBroadcast(Avx2NarrowLanes(a.first)).v, AlphaBroadcast(Avx2NarrowLanes(a.second)).v};
}
Avx2NarrowPairLanes SelectAlpha(Avx2NarrowPairLanes alpha, Avx2NarrowPairLanes colors) {
    return {SelectAlpha(Avx2NarrowLanes(alpha.first), Avx2NarrowLanes(colors.first)).v,
            SelectAlpha(Avx2NarrowLanes(alpha.second), Avx2NarrowLanes(colors.second)).v};
}

// Thirty-two bytes of a fill.
struct Avx2Block {
    static constexpr std::size_t bytes = 32;
    typedef Sse2Block Smaller;
    __m256i v;

    static Avx2Block Broadcast(const uint8_t* source) {
        int32_t word;
        memcpy(&word, source, 4);
        return Avx2Block{_mm256_set1_epi32(word)};
    }
    void Store(uint8_t* at) const { _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), v); }
};

}  // namespace

const SpanBlenders* Avx2SpanBlenders() { return SpanTable<Avx2Lanes, Avx2NarrowPairLanes, Avx2Block>::entries; }

}  // namespace Vudadive2R
}  // namespace ORV

#if defined(__clang__)
#pragma clang attribute pop
#endif

#endif
