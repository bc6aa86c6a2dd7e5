// The strip weigher in AVX2: the channel pairs of two samples side by side
// in one register, so that each multiply-add weighs both.
// Only this file is compiled for AVX2; it is called only where the
// processor reports it.
#if defined(__x86_64__) || defined(__i386__)

// The shared headers come before the target switch, so that none of their
// inline functions is compiled for AVX2.
#include <cstdint>
#include <cstring>

#include "paint/BilinearWeighing.hpp"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC target("avx2")
#endif

#include <immintrin.h>

namespace ORV {
namespace Vudadive2R {

namespace {

// The sums of two samples, the first in the low lane.
inline __m256i WeighedSumsOfTwo(const __m128i* strip, const uint32_t* pairs, uint32_t first, uint32_t second) {
    const __m128i* firstPhase = strip + 2 * (first >> 8);
    const __m128i* secondPhase = strip + 2 * (second >> 8);
    const __m256i upper = _mm256_inserti128_si256(_mm256_castsi128_si256(firstPhase[0]), secondPhase[0], 1);
    const __m256i lower = _mm256_inserti128_si256(_mm256_castsi128_si256(firstPhase[1]), secondPhase[1], 1);
    // Upper and lower weight pairs of each sample in its lane's first two words.
    const __m256i weights = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(pairs + 2 * (first & 0xFF)))),
        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pairs + 2 * (second & 0xFF))), 1);
    const __m256i sums = _mm256_add_epi32(_mm256_madd_epi16(upper, _mm256_shuffle_epi32(weights, 0x00)),
                                          _mm256_madd_epi16(lower, _mm256_shuffle_epi32(weights, 0x55)));
    return _mm256_srai_epi32(_mm256_add_epi32(sums, _mm256_set1_epi32(8192)), 14);
}

// Clamps the sums of four samples, packed to 16 bits, as StoreClampedPair does.
inline __m256i Clamped(__m256i channels) {
    const __m256i alphaWords = _mm256_setr_epi8(6, 7, 6, 7, 6, 7, 6, 7, 14, 15, 14, 15, 14, 15, 14, 15, 6, 7, 6, 7, 6,
                                                7, 6, 7, 14, 15, 14, 15, 14, 15, 14, 15);
    channels = _mm256_max_epi16(channels, _mm256_setzero_si256());
    const __m256i alpha = _mm256_min_epi16(_mm256_shuffle_epi8(channels, alphaWords), _mm256_set1_epi16(255));
    return _mm256_min_epi16(channels, alpha);
}

}  // namespace

void WeighStripAvx2(const __m128i* strip, const uint32_t* pairs, const uint32_t* samples, unsigned count,
                    uint8_t* out) {
    for (; count >= 8; count -= 8, samples += 8, out += 32) {
        // Samples 0, 2, 4 and 6 in the low lane, the odd ones in the high one.
        const __m256i low = Clamped(_mm256_packs_epi32(WeighedSumsOfTwo(strip, pairs, samples[0], samples[1]),
                                                       WeighedSumsOfTwo(strip, pairs, samples[2], samples[3])));
        const __m256i high = Clamped(_mm256_packs_epi32(WeighedSumsOfTwo(strip, pairs, samples[4], samples[5]),
                                                        WeighedSumsOfTwo(strip, pairs, samples[6], samples[7])));
        const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(low, high),
                                                          _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), bytes);
    }
    for (; count >= 4; count -= 4, samples += 4, out += 16) {
        const __m256i channels = Clamped(_mm256_packs_epi32(WeighedSumsOfTwo(strip, pairs, samples[0], samples[1]),
                                                            WeighedSumsOfTwo(strip, pairs, samples[2], samples[3])));
        const __m256i bytes = _mm256_packus_epi16(channels, channels);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi32(_mm256_castsi256_si128(bytes),
                                                                             _mm256_extracti128_si256(bytes, 1)));
    }
    if (count) {
        uint8_t last[16];
        uint32_t rest[4] = {samples[0], samples[count > 1], samples[count > 2 ? 2 : 0], samples[0]};
        WeighStripAvx2(strip, pairs, rest, 4, last);
        std::memcpy(out, last, 4 * count);
    }
}

}  // namespace Vudadive2R
}  // namespace ORV

#if defined(__clang__)
#pragma clang attribute pop
#endif

#endif
