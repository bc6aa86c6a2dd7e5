// Blending of glyph coverage into R, G, B, A surface bytes in one colour.
#ifndef VUDADIVE2R_TEXT_GLYPHBLEND_HPP
#define VUDADIVE2R_TEXT_GLYPHBLEND_HPP

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#elif defined(__ARM_NEON)
#include <arm_neon.h>
#endif

namespace ORV {
namespace Vudadive2R {

struct TextColor {
    uint32_t r, g, b, a;  // bytes, straight alpha
};

// Coverage c (1 to 255) of `ink`, whose alpha is not 0, over the pixel p.
// Full coverage of an opaque colour replaces the pixel; otherwise each
// channel moves toward the colour by t / 256 and alpha gains t less its share
// of what is already there. Integer arithmetic throughout: these are the
// exact bytes.
inline void BlendGlyphPixel(uint8_t* p, const TextColor& ink, uint32_t c) {
    if (c == 255 && ink.a == 255) {
        p[0] = uint8_t(ink.r);
        p[1] = uint8_t(ink.g);
        p[2] = uint8_t(ink.b);
        p[3] = 255;
        return;
    }
    const uint32_t t = c == 255 ? ink.a : (ink.a * c + ink.a) >> 8;
    p[0] = uint8_t((p[0] * (256 - t) + ink.r * t) >> 8);
    p[1] = uint8_t((p[1] * (256 - t) + ink.g * t) >> 8);
    p[2] = uint8_t((p[2] * (256 - t) + ink.b * t) >> 8);
    p[3] = uint8_t(p[3] + t - ((p[3] * t + 255) >> 8));
}

// BlendGlyphPixel over `count` neighbouring pixels, with the same bytes.
// Zero coverage leaves a pixel as it is (t is then 0). Four pixels at a time
// where SSE2 is there: all four at zero coverage are passed over, all four at
// full coverage of an opaque colour are a copy, and any other four are
// blended in 16-bit lanes, in which every product and sum of the table fits.
// NEON does the same four at a time.
inline void BlendGlyphRow(uint8_t* pixels, const uint8_t* coverage, unsigned count, const TextColor& ink) {
    unsigned j = 0;
#if defined(__SSE2__) || defined(__ARM_NEON)
    const bool opaque = ink.a == 255;
    const uint32_t solid = ink.r | ink.g << 8 | ink.b << 16 | 0xFF000000u;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i solidPixels = _mm_set1_epi32(int(solid));
    const __m128i color = _mm_set_epi16(0, short(ink.b), short(ink.g), short(ink.r), 0, short(ink.b),
                                        short(ink.g), short(ink.r));
    const __m128i alphaLanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
    const __m128i alpha = _mm_set1_epi16(short(ink.a));
    const __m128i one = _mm_set1_epi16(1), full = _mm_set1_epi16(256), low = _mm_set1_epi16(255);
    // Colour lanes: (p (256 - t) + k t) >> 8, at most 255 x 256 in all.
    // Alpha lane: p + t - ((p t + 255) >> 8), taken modulo 256.
    const auto blend = [&](__m128i p, __m128i t) {
        const __m128i mixed = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(p, _mm_sub_epi16(full, t)),
                                                           _mm_mullo_epi16(color, t)), 8);
        const __m128i gained = _mm_and_si128(
            _mm_sub_epi16(_mm_add_epi16(p, t), _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(p, t), low), 8)), low);
        return _mm_or_si128(_mm_and_si128(alphaLanes, gained), _mm_andnot_si128(alphaLanes, mixed));
    };
    const auto fill = [&](uint8_t* p) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), solidPixels); };
    const auto blendFour = [&](uint8_t* p, uint32_t four) {
        const __m128i c16 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(four)), zero);
        const __m128i pairs = _mm_unpacklo_epi16(c16, c16);
        // t = (a c + a) >> 8 for every c, which is a itself at c = 255.
        const __m128i tLow = _mm_srli_epi16(_mm_mullo_epi16(_mm_add_epi16(_mm_unpacklo_epi32(pairs, pairs), one), alpha), 8);
        const __m128i tHigh = _mm_srli_epi16(_mm_mullo_epi16(_mm_add_epi16(_mm_unpackhi_epi32(pairs, pairs), one), alpha), 8);
        const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i after = _mm_packus_epi16(blend(_mm_unpacklo_epi8(before, zero), tLow),
                                         blend(_mm_unpackhi_epi8(before, zero), tHigh));
        if (opaque) {
            const __m128i copied = _mm_cmpeq_epi32(_mm_unpacklo_epi16(c16, zero), _mm_set1_epi32(255));
            after = _mm_or_si128(_mm_and_si128(copied, solidPixels), _mm_andnot_si128(copied, after));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), after);
    };
#else
    const uint8x16_t solidPixels = vreinterpretq_u8_u32(vdupq_n_u32(solid));
    const uint16_t colorWords[8] = {uint16_t(ink.r), uint16_t(ink.g), uint16_t(ink.b), 0,
                                    uint16_t(ink.r), uint16_t(ink.g), uint16_t(ink.b), 0};
    const uint16x8_t color = vld1q_u16(colorWords);
    const uint16_t alphaWords[8] = {0, 0, 0, 0xFFFF, 0, 0, 0, 0xFFFF};
    const uint16x8_t alphaLanes = vld1q_u16(alphaWords);
    const uint16x8_t alpha = vdupq_n_u16(uint16_t(ink.a));
    const uint16x8_t one = vdupq_n_u16(1), full = vdupq_n_u16(256), low = vdupq_n_u16(255);
    // Each coverage byte spread over its pixel's four channels.
    const uint8_t spreadLow[8] = {0, 0, 0, 0, 1, 1, 1, 1}, spreadHigh[8] = {2, 2, 2, 2, 3, 3, 3, 3};
    const uint8x8_t toLow = vld1_u8(spreadLow), toHigh = vld1_u8(spreadHigh);
    // The same lanes as SSE2's.
    const auto blend = [&](uint16x8_t p, uint16x8_t t) {
        const uint16x8_t mixed = vshrq_n_u16(vaddq_u16(vmulq_u16(p, vsubq_u16(full, t)), vmulq_u16(color, t)), 8);
        const uint16x8_t gained =
            vandq_u16(vsubq_u16(vaddq_u16(p, t), vshrq_n_u16(vaddq_u16(vmulq_u16(p, t), low), 8)), low);
        return vbslq_u16(alphaLanes, gained, mixed);
    };
    const auto fill = [&](uint8_t* p) { vst1q_u8(p, solidPixels); };
    const auto blendFour = [&](uint8_t* p, uint32_t four) {
        const uint8x8_t c8 = vreinterpret_u8_u32(vdup_n_u32(four));
        const uint16x8_t tLow = vshrq_n_u16(vmulq_u16(vaddq_u16(vmovl_u8(vtbl1_u8(c8, toLow)), one), alpha), 8);
        const uint16x8_t tHigh = vshrq_n_u16(vmulq_u16(vaddq_u16(vmovl_u8(vtbl1_u8(c8, toHigh)), one), alpha), 8);
        const uint8x16_t before = vld1q_u8(p);
        uint8x16_t after = vcombine_u8(vmovn_u16(blend(vmovl_u8(vget_low_u8(before)), tLow)),
                                       vmovn_u16(blend(vmovl_u8(vget_high_u8(before)), tHigh)));
        if (opaque) {
            const uint8x16_t copied = vreinterpretq_u8_u32(
                vceqq_u32(vmovl_u16(vget_low_u16(vmovl_u8(c8))), vdupq_n_u32(255)));
            after = vbslq_u8(copied, solidPixels, after);
        }
        vst1q_u8(p, after);
    };
#endif
    for (; j + 4 <= count; j += 4) {
        uint32_t four;
        std::memcpy(&four, coverage + j, 4);
        if (four == 0)
            continue;
        if (opaque && four == 0xFFFFFFFFu)
            fill(pixels + 4 * j);
        else
            blendFour(pixels + 4 * j, four);
    }
#endif
    for (; j < count; ++j)
        if (coverage[j] != 0)
            BlendGlyphPixel(pixels + 4 * j, ink, coverage[j]);
}

}  // namespace Vudadive2R
}  // namespace ORV

#endif
