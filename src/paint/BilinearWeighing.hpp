// One bilinear sample: four R, G, B, A pixels weighed with 14-bit weights,
// rounded, and clamped as AGG's RGBA image filters clamp (each channel at
// least 0, alpha at most 255, colour at most alpha).
#ifndef VUDADIVE2R_PAINT_BILINEARWEIGHING_HPP
#define VUDADIVE2R_PAINT_BILINEARWEIGHING_HPP

#include <cstdint>
#include <cstring>

#include "paint/ImageLanes.hpp"

namespace ORV {
namespace Vudadive2R {

// Weights 0 to 32767 (the bilinear ones reach 16320). Writes four bytes.
inline void WeighBilinearPortable(const uint8_t* p00, const uint8_t* p01, const uint8_t* p10, const uint8_t* p11,
                                  int w00, int w01, int w10, int w11, uint8_t* out) {
    int sums[4];
    for (int channel = 0; channel < 4; ++channel) {
        const int sum =
            (8192 + w00 * p00[channel] + w01 * p01[channel] + w10 * p10[channel] + w11 * p11[channel]) >> 14;
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

#if defined(VUDADIVE2R_IMAGE_LANES)
#if defined(__SSE2__)
// The channels of two pixels side by side in 16-bit lanes (R0 R1 G0 G1 B0 B1
// A0 A1), so that one multiply-add gives w0 p0 + w1 p1 per channel in 32 bits.
typedef __m128i PixelPairs;
// The four channels' weighed sums of one sample, in 32-bit lanes.
typedef __m128i SampleSums;

inline PixelPairs ChannelPairs(const uint8_t* first, const uint8_t* second) {
    uint32_t pixels[2];
    std::memcpy(&pixels[0], first, 4);
    std::memcpy(&pixels[1], second, 4);
    return _mm_unpacklo_epi8(
        _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(pixels[0])), _mm_cvtsi32_si128(int(pixels[1]))),
        _mm_setzero_si128());
}

// (8192 + w00 p00 + w01 p01 + w10 p10 + w11 p11) >> 14 per channel, from the
// channel pairs of the upper and the lower two pixels.
inline SampleSums WeighedSums(PixelPairs upper, PixelPairs lower, uint32_t upperPair, uint32_t lowerPair) {
    const __m128i sums = _mm_add_epi32(_mm_madd_epi16(upper, _mm_set1_epi32(int(upperPair))),
                                       _mm_madd_epi16(lower, _mm_set1_epi32(int(lowerPair))));
    return _mm_srai_epi32(_mm_add_epi32(sums, _mm_set1_epi32(8192)), 14);
}

// Clamps the sums of two samples and stores them as eight bytes. The sums
// are below 2^15 (4 x 32767 x 255 / 2^14), so 16 bits hold them.
inline void StoreClampedPair(SampleSums first, SampleSums second, uint8_t* out) {
    __m128i channels = _mm_max_epi16(_mm_packs_epi32(first, second), _mm_setzero_si128());
    __m128i alpha =
        _mm_shufflehi_epi16(_mm_shufflelo_epi16(channels, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
    alpha = _mm_min_epi16(alpha, _mm_set1_epi16(255));
    channels = _mm_min_epi16(channels, alpha);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(channels, channels));
}
#else
// The same lanes in NEON: the channel pairs as 16-bit lanes, each pair's
// products summed by a pairwise addition.
typedef int16x8_t PixelPairs;
typedef int32x4_t SampleSums;

inline PixelPairs ChannelPairs(const uint8_t* first, const uint8_t* second) {
    uint32_t pixels[2];
    std::memcpy(&pixels[0], first, 4);
    std::memcpy(&pixels[1], second, 4);
    const uint8x8x2_t zipped =
        vzip_u8(vreinterpret_u8_u32(vdup_n_u32(pixels[0])), vreinterpret_u8_u32(vdup_n_u32(pixels[1])));
    return vreinterpretq_s16_u16(vmovl_u8(zipped.val[0]));
}

inline SampleSums WeighedSums(PixelPairs upper, PixelPairs lower, uint32_t upperPair, uint32_t lowerPair) {
    const int16x4_t upperWeights = vreinterpret_s16_u32(vdup_n_u32(upperPair));
    const int16x4_t lowerWeights = vreinterpret_s16_u32(vdup_n_u32(lowerPair));
    // R0 R1 G0 G1 and B0 B1 A0 A1, each weighed and its lower row's added.
    const int32x4_t redGreen = vmlal_s16(vmull_s16(vget_low_s16(upper), upperWeights), vget_low_s16(lower),
                                         lowerWeights);
    const int32x4_t blueAlpha = vmlal_s16(vmull_s16(vget_high_s16(upper), upperWeights), vget_high_s16(lower),
                                          lowerWeights);
#if defined(__aarch64__)
    const int32x4_t sums = vpaddq_s32(redGreen, blueAlpha);
#else
    const int32x4_t sums = vcombine_s32(vpadd_s32(vget_low_s32(redGreen), vget_high_s32(redGreen)),
                                        vpadd_s32(vget_low_s32(blueAlpha), vget_high_s32(blueAlpha)));
#endif
    // Adds 2^13 before the shift.
    return vrshrq_n_s32(sums, 14);
}

inline void StoreClampedPair(SampleSums first, SampleSums second, uint8_t* out) {
    int16x8_t channels = vmaxq_s16(vcombine_s16(vqmovn_s32(first), vqmovn_s32(second)), vdupq_n_s16(0));
    int16x8_t alpha = vcombine_s16(vdup_lane_s16(vget_low_s16(channels), 3), vdup_lane_s16(vget_high_s16(channels), 3));
    alpha = vminq_s16(alpha, vdupq_n_s16(255));
    channels = vminq_s16(channels, alpha);
    vst1_u8(out, vqmovun_s16(channels));
}
#endif

// Strips: a span that keeps one pair of rows reads the channel pairs of the
// two columns of each phase of its wrapped coordinate from a strip (upper
// rows at 2 phase, lower ones at 2 phase + 1) and the weight pairs of each
// column fraction f from a table (upper at 2 f, lower at 2 f + 1). A sample
// is StripSample(phase, f); the weighers write four bytes per sample.
inline uint32_t StripSample(int phase, int fraction) { return uint32_t(phase) << 8 | uint32_t(fraction); }
typedef void (*StripWeigher)(const PixelPairs* strip, const uint32_t* pairs, const uint32_t* samples, unsigned count,
                             uint8_t* out);

// Two samples per store.
inline void WeighStrip(const PixelPairs* strip, const uint32_t* pairs, const uint32_t* samples, unsigned count,
                       uint8_t* out) {
    auto weigh = [&](uint32_t sample) {
        const PixelPairs* phase = strip + 2 * (sample >> 8);
        const uint32_t* weights = pairs + 2 * (sample & 0xFF);
        return WeighedSums(phase[0], phase[1], weights[0], weights[1]);
    };
    for (; count >= 2; count -= 2, samples += 2, out += 8)
        StoreClampedPair(weigh(samples[0]), weigh(samples[1]), out);
    if (count) {
        uint8_t both[8];
        const SampleSums last = weigh(samples[0]);
        StoreClampedPair(last, last, both);
        std::memcpy(out, both, 4);
    }
}

#if defined(__x86_64__) || defined(__i386__)
// The same arithmetic, two samples per multiply-add and four per store;
// call only where the processor runs AVX2.
void WeighStripAvx2(const __m128i* strip, const uint32_t* pairs, const uint32_t* samples, unsigned count,
                    uint8_t* out);
#endif
#endif

// `upperPair` = WeightPair(w00, w01), `lowerPair` = WeightPair(w10, w11).
inline void WeighBilinear(const uint8_t* p00, const uint8_t* p01, const uint8_t* p10, const uint8_t* p11,
                          uint32_t upperPair, uint32_t lowerPair, uint8_t* out) {
#if defined(VUDADIVE2R_IMAGE_LANES)
    const SampleSums sums = WeighedSums(ChannelPairs(p00, p01), ChannelPairs(p10, p11), upperPair, lowerPair);
    uint8_t both[8];
    StoreClampedPair(sums, sums, both);
    std::memcpy(out, both, 4);
#else
    WeighBilinearPortable(p00, p01, p10, p11, int(upperPair & 0xFFFF), int(upperPair >> 16), int(lowerPair & 0xFFFF),
                          int(lowerPair >> 16), out);
#endif
}

}  // namespace Vudadive2R
}  // namespace ORV

#endif
