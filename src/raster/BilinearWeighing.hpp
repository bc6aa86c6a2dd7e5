// One bilinear sample: four R, G, B, A pixels weighed with 14-bit weights,
// rounded, and clamped as AGG's RGBA image filters clamp (each channel at
// least 0, alpha at most 255, colour at most alpha).
#ifndef VUDADIVE2R_RASTER_BILINEARWEIGHING_HPP
#define VUDADIVE2R_RASTER_BILINEARWEIGHING_HPP

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ORV {
namespace Vudadive2R {

// Weights 0 to 32767 (the bilinear ones reach 16320). Writes four bytes.
inline void WeighBilinearPortable(const uint8_t* p00, const uint8_t* p01, const uint8_t* p10, const uint8_t* p11,
                                  int w00, int w01, int w10, int w11, uint8_t* out) {
    int sums[4];
    for (int channel = 0; channel < 4; ++channel) {
        const int sum = (8192 + w00 * p00[channel] + w01 * p01[channel] + w10 * p10[channel] + w11 * p11[channel]) >> 14;
        sums[channel] = sum < 0 ? 0 : sum;
    }
    if (sums[3] > 255)
        sums[3] = 255;
    for (int channel = 0; channel < 3; ++channel)
        out[channel] = uint8_t(sums[channel] > sums[3] ? sums[3] : sums[channel]);
    out[3] = uint8_t(sums[3]);
}

// Two weights of 0 to 32767 in one word, the first in the low half.
inline uint32_t WeightPair(int first, int second) { return uint32_t(first) | uint32_t(second) << 16; }

// `upperWeights` = WeightPair(w00, w01), `lowerWeights` = WeightPair(w10, w11).
inline void WeighBilinear(const uint8_t* p00, const uint8_t* p01, const uint8_t* p10, const uint8_t* p11,
                          uint32_t upperPair, uint32_t lowerPair, uint8_t* out) {
#if defined(__SSE2__)
    // Each channel pair of two pixels in adjacent 16-bit lanes, so that one
    // multiply-add gives w0 p0 + w1 p1 per channel in 32 bits.
    uint32_t pixel[4];
    std::memcpy(&pixel[0], p00, 4);
    std::memcpy(&pixel[1], p01, 4);
    std::memcpy(&pixel[2], p10, 4);
    std::memcpy(&pixel[3], p11, 4);
    const __m128i zero = _mm_setzero_si128();
    const __m128i upper = _mm_unpacklo_epi8(
        _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(pixel[0])), _mm_cvtsi32_si128(int(pixel[1]))), zero);
    const __m128i lower = _mm_unpacklo_epi8(
        _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(pixel[2])), _mm_cvtsi32_si128(int(pixel[3]))), zero);
    const __m128i upperWeights = _mm_set1_epi32(int(upperPair));
    const __m128i lowerWeights = _mm_set1_epi32(int(lowerPair));
    __m128i sums = _mm_add_epi32(_mm_madd_epi16(upper, upperWeights), _mm_madd_epi16(lower, lowerWeights));
    sums = _mm_srai_epi32(_mm_add_epi32(sums, _mm_set1_epi32(8192)), 14);
    // The sums are below 2^15 (4 x 32767 x 255 / 2^14), so 16 bits hold them.
    __m128i channels = _mm_max_epi16(_mm_packs_epi32(sums, sums), zero);
    const __m128i alpha = _mm_min_epi16(_mm_shufflelo_epi16(channels, _MM_SHUFFLE(3, 3, 3, 3)), _mm_set1_epi16(255));
    channels = _mm_min_epi16(channels, alpha);
    const uint32_t result = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(channels, channels)));
    std::memcpy(out, &result, 4);
#else
    WeighBilinearPortable(p00, p01, p10, p11, int(upperPair & 0xFFFF), int(upperPair >> 16), int(lowerPair & 0xFFFF),
                          int(lowerPair >> 16), out);
#endif
}

}  // namespace Vudadive2R
}  // namespace ORV

#endif
