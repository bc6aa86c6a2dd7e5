#include "composite/PremultipliedOver.hpp"

#include <cstring>

#include "composite/BlendSpans.hpp"

#if defined(__SSE2__)
#include <immintrin.h>
#elif defined(__ARM_NEON)
#include <arm_neon.h>
#endif

namespace ORV {
namespace Vudadive2R {

namespace {

// AGG's rounded product of bytes: t = a b + 128, ((t >> 8) + t) >> 8.
inline unsigned Multiply(unsigned a, unsigned b) {
    const unsigned t = a * b + 128;
    return ((t >> 8) + t) >> 8;
}

inline void BlendPixel(uint8_t* p, const uint8_t* s, unsigned cover) {
    const unsigned alpha = Multiply(s[3], cover);
    for (int c = 0; c < 3; ++c)
        p[c] = uint8_t(p[c] + Multiply(s[c], cover) - Multiply(p[c], alpha));
    p[3] = uint8_t(p[3] + alpha - Multiply(p[3], alpha));
}

inline bool Transparent(const uint8_t* s) {
    uint32_t bytes;
    std::memcpy(&bytes, s, 4);
    return bytes == 0;
}

#if defined(__SSE2__)
// The rounded products of 16-bit lanes of bytes: the fold as the high half
// of t x 257, equal for every t below 2^16 (t = a b + 128 is at most 65 153).
inline __m128i Multiply16(__m128i a, __m128i b) {
    const __m128i t = _mm_add_epi16(_mm_mullo_epi16(a, b), _mm_set1_epi16(128));
    return _mm_mulhi_epu16(t, _mm_set1_epi16(257));
}

// Two pixels in 16-bit lanes, their coverages in `k` (each pixel's in its four lanes).
inline __m128i BlendTwo(__m128i d, __m128i s, __m128i k) {
    const __m128i scaled = Multiply16(s, k);
    const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(scaled, 0xFF), 0xFF);
    const __m128i result = _mm_sub_epi16(_mm_add_epi16(d, scaled), Multiply16(d, alpha));
    return _mm_and_si128(result, _mm_set1_epi16(0xFF));  // bytes wrap as AGG's do
}

inline __m128i CoverLanes(const uint8_t* covers, uint8_t cover) {
    if (!covers)
        return _mm_set1_epi16(cover);
    return _mm_set_epi16(covers[1], covers[1], covers[1], covers[1], covers[0], covers[0], covers[0], covers[0]);
}

// The same on four pixels a lane group, where the processor has AVX2.
__attribute__((target("avx2"))) inline __m256i Multiply16(__m256i a, __m256i b) {
    const __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(a, b), _mm256_set1_epi16(128));
    return _mm256_mulhi_epu16(t, _mm256_set1_epi16(257));
}

__attribute__((target("avx2"))) inline __m256i BlendFour(__m256i d, __m256i s, __m256i k) {
    const __m256i scaled = Multiply16(s, k);
    const __m256i alpha = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(scaled, 0xFF), 0xFF);
    const __m256i result = _mm256_sub_epi16(_mm256_add_epi16(d, scaled), Multiply16(d, alpha));
    return _mm256_and_si256(result, _mm256_set1_epi16(0xFF));
}

// Coverages of pixels 0, 1, 4, 5 (low) or 2, 3, 6, 7 (high) of eight, as the
// byte unpacking within 128-bit halves orders them.
__attribute__((target("avx2"))) inline __m256i CoverLanes8(const uint8_t* k, uint8_t cover, int first) {
    if (!k)
        return _mm256_set1_epi16(cover);
    const short a = k[first], b = k[first + 1], c = k[first + 4], d = k[first + 5];
    return _mm256_set_epi16(d, d, d, d, c, c, c, c, b, b, b, b, a, a, a, a);
}

// Eight pixels at a time; returns how many pixels it has blended.
__attribute__((target("avx2"))) unsigned BlendAvx2(uint8_t* pixels, const uint8_t* source, unsigned length,
                                                  const uint8_t* covers, uint8_t cover) {
    const __m256i zero = _mm256_setzero_si256();
    unsigned i = 0;
    for (; i + 8 <= length; i += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + 4 * i));
        if (unsigned(_mm256_movemask_epi8(_mm256_cmpeq_epi8(s, zero))) == 0xFFFFFFFFu)
            continue;
        __m256i* at = reinterpret_cast<__m256i*>(pixels + 4 * i);
        const __m256i d = _mm256_loadu_si256(at);
        const uint8_t* k = covers ? covers + i : nullptr;
        const __m256i low = BlendFour(_mm256_unpacklo_epi8(d, zero), _mm256_unpacklo_epi8(s, zero),
                                      CoverLanes8(k, cover, 0));
        const __m256i high = BlendFour(_mm256_unpackhi_epi8(d, zero), _mm256_unpackhi_epi8(s, zero),
                                       CoverLanes8(k, cover, 2));
        _mm256_storeu_si256(at, _mm256_packus_epi16(low, high));
    }
    return i;
}
#elif defined(__ARM_NEON)
// The rounded products of 16-bit lanes of bytes: (t + (t >> 8)) >> 8 with
// t = a b + 128, whose sum stays below 2^16.
inline uint16x8_t Multiply16(uint16x8_t a, uint16x8_t b) {
    const uint16x8_t t = vmlaq_u16(vdupq_n_u16(128), a, b);
    return vshrq_n_u16(vsraq_n_u16(t, t, 8), 8);
}

// Two pixels in 16-bit lanes, their coverages in `k` (each pixel's in its
// four lanes); the narrowing store keeps the low bytes, which wrap as AGG's do.
inline uint16x8_t BlendTwo(uint16x8_t d, uint16x8_t s, uint16x8_t k) {
    const uint16x8_t scaled = Multiply16(s, k);
    const uint16x8_t alpha =
        vcombine_u16(vdup_lane_u16(vget_low_u16(scaled), 3), vdup_lane_u16(vget_high_u16(scaled), 3));
    return vsubq_u16(vaddq_u16(d, scaled), Multiply16(d, alpha));
}

inline uint16x8_t CoverLanes(const uint8_t* covers, uint8_t cover) {
    if (!covers)
        return vdupq_n_u16(cover);
    return vcombine_u16(vdup_n_u16(covers[0]), vdup_n_u16(covers[1]));
}

// Four pixels at a time; returns how many pixels it has blended.
unsigned BlendNeon(uint8_t* pixels, const uint8_t* source, unsigned length, const uint8_t* covers, uint8_t cover) {
    unsigned i = 0;
    for (; i + 4 <= length; i += 4) {
        const uint8x16_t s = vld1q_u8(source + 4 * i);
        const uint64x2_t words = vreinterpretq_u64_u8(s);
        if ((vgetq_lane_u64(words, 0) | vgetq_lane_u64(words, 1)) == 0)
            continue;
        uint8_t* at = pixels + 4 * i;
        const uint8x16_t d = vld1q_u8(at);
        const uint8_t* k = covers ? covers + i : nullptr;
        const uint16x8_t low =
            BlendTwo(vmovl_u8(vget_low_u8(d)), vmovl_u8(vget_low_u8(s)), CoverLanes(k, cover));
        const uint16x8_t high = BlendTwo(vmovl_u8(vget_high_u8(d)), vmovl_u8(vget_high_u8(s)),
                                         CoverLanes(k ? k + 2 : nullptr, cover));
        vst1q_u8(at, vcombine_u8(vmovn_u16(low), vmovn_u16(high)));
    }
    return i;
}
#endif

}  // namespace

void BlendPremultipliedOver(uint8_t* pixels, const uint8_t* source, unsigned length, const uint8_t* covers,
                            uint8_t cover) {
    unsigned i = 0;
#if defined(__SSE2__)
    static const bool avx2 = BestSimdLevel() == SimdLevel::Avx2;
    if (avx2)
        i = BlendAvx2(pixels, source, length, covers, cover);
    const __m128i zero = _mm_setzero_si128();
    for (; i + 4 <= length; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 4 * i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(s, zero)) == 0xFFFF)
            continue;
        __m128i* at = reinterpret_cast<__m128i*>(pixels + 4 * i);
        const __m128i d = _mm_loadu_si128(at);
        const uint8_t* k = covers ? covers + i : nullptr;
        const __m128i low = BlendTwo(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero), CoverLanes(k, cover));
        const __m128i high =
            BlendTwo(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero), CoverLanes(k ? k + 2 : nullptr, cover));
        _mm_storeu_si128(at, _mm_packus_epi16(low, high));
    }
#elif defined(__ARM_NEON)
    static const bool neon = BestSimdLevel() == SimdLevel::Neon;
    if (neon)
        i = BlendNeon(pixels, source, length, covers, cover);
#endif
    for (; i < length; ++i)
        if (!Transparent(source + 4 * i))
            BlendPixel(pixels + 4 * i, source + 4 * i, covers ? covers[i] : cover);
}

}  // namespace Vudadive2R
}  // namespace ORV
