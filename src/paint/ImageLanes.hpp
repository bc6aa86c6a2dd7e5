// Four 32-bit integer lanes in a 128-bit register of SSE2 or NEON: the
// operations the image sampler steps its coordinates and weights with,
// giving the same lanes on both. VUDADIVE2R_IMAGE_LANES is defined where
// either is there.
#ifndef VUDADIVE2R_PAINT_IMAGELANES_HPP
#define VUDADIVE2R_PAINT_IMAGELANES_HPP

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#define VUDADIVE2R_IMAGE_LANES 1
#elif defined(__ARM_NEON)
#include <arm_neon.h>
#define VUDADIVE2R_IMAGE_LANES 1
#endif

#if defined(VUDADIVE2R_IMAGE_LANES)
namespace ORV {
namespace Vudadive2R {
namespace Lanes4 {

#if defined(__SSE2__)
typedef __m128i V;

inline V Set(int32_t value) { return _mm_set1_epi32(value); }
inline V Set(int32_t a, int32_t b, int32_t c, int32_t d) { return _mm_setr_epi32(a, b, c, d); }
inline V Load(const int32_t* values) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(values)); }
inline void Store(int32_t* values, V v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(values), v); }
inline void Store(uint32_t* values, V v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(values), v); }
inline V Add(V a, V b) { return _mm_add_epi32(a, b); }
inline V Sub(V a, V b) { return _mm_sub_epi32(a, b); }
inline V And(V a, V b) { return _mm_and_si128(a, b); }
inline V Or(V a, V b) { return _mm_or_si128(a, b); }
inline V Xor(V a, V b) { return _mm_xor_si128(a, b); }
// The lanes of `b` where `mask` is clear.
inline V AndNot(V mask, V b) { return _mm_andnot_si128(mask, b); }
// All ones where a > b, signed.
inline V Greater(V a, V b) { return _mm_cmpgt_epi32(a, b); }
template <int Bits>
inline V ShiftRightArithmetic(V a) { return _mm_srai_epi32(a, Bits); }
template <int Bits>
inline V ShiftRightLogical(V a) { return _mm_srli_epi32(a, Bits); }
template <int Bits>
inline V ShiftLeft(V a) { return _mm_slli_epi32(a, Bits); }
inline int32_t First(V a) { return _mm_cvtsi128_si32(a); }
// Products of lanes 0 to 32767: the multiply-add of a word with a zero
// word beside it.
inline V SmallProducts(V a, V b) { return _mm_madd_epi16(a, b); }
#else
typedef int32x4_t V;

inline V Set(int32_t value) { return vdupq_n_s32(value); }
inline V Set(int32_t a, int32_t b, int32_t c, int32_t d) {
    const int32_t values[4] = {a, b, c, d};
    return vld1q_s32(values);
}
inline V Load(const int32_t* values) { return vld1q_s32(values); }
inline void Store(int32_t* values, V v) { vst1q_s32(values, v); }
inline void Store(uint32_t* values, V v) { vst1q_u32(values, vreinterpretq_u32_s32(v)); }
inline V Add(V a, V b) { return vaddq_s32(a, b); }
inline V Sub(V a, V b) { return vsubq_s32(a, b); }
inline V And(V a, V b) { return vandq_s32(a, b); }
inline V Or(V a, V b) { return vorrq_s32(a, b); }
inline V Xor(V a, V b) { return veorq_s32(a, b); }
inline V AndNot(V mask, V b) { return vbicq_s32(b, mask); }
inline V Greater(V a, V b) { return vreinterpretq_s32_u32(vcgtq_s32(a, b)); }
template <int Bits>
inline V ShiftRightArithmetic(V a) { return vshrq_n_s32(a, Bits); }
template <int Bits>
inline V ShiftRightLogical(V a) { return vreinterpretq_s32_u32(vshrq_n_u32(vreinterpretq_u32_s32(a), Bits)); }
template <int Bits>
inline V ShiftLeft(V a) { return vshlq_n_s32(a, Bits); }
inline int32_t First(V a) { return vgetq_lane_s32(a, 0); }
inline V SmallProducts(V a, V b) { return vmulq_s32(a, b); }
#endif

}  // namespace Lanes4
}  // namespace Vudadive2R
}  // namespace ORV
#endif

#endif
