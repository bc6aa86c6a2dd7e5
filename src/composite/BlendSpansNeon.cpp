// The span loops in NEON: one pixel per register of four 32-bit lanes, four
// in two registers of 16-bit lanes for source-over. Only intrinsics that
// 32-bit ARM has too, so a 32-bit build that targets NEON compiles it.
#if defined(__ARM_NEON)

#include <cstddef>
#include <cstdint>
#include <cstring>

#include <arm_neon.h>

#include "composite/BlendSpanKernels.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

// Four bytes in the low lane of a register of bytes.
inline uint8x8_t LoadWord(const uint8_t* bytes) {
    uint32_t word;
    memcpy(&word, bytes, 4);
    return vreinterpret_u8_u32(vdup_n_u32(word));
}

inline void StoreWord(uint8_t* bytes, uint8x8_t packed) {
    const uint32_t word = vget_lane_u32(vreinterpret_u32_u8(packed), 0);
    memcpy(bytes, &word, 4);
}

// One pixel per register of four 32-bit lanes.
struct NeonLanes {
    static constexpr unsigned pixels = 1;
    typedef NeonLanes Smaller;
    int32x4_t v;

    NeonLanes() = default;
    NeonLanes(int32x4_t value) : v(value) {}
    explicit NeonLanes(int32_t value) : v(vdupq_n_s32(value)) {}

    static NeonLanes Load(const uint8_t* bytes) {
        return vreinterpretq_s32_u32(vmovl_u16(vget_low_u16(vmovl_u8(LoadWord(bytes)))));
    }
    static NeonLanes PerPixel(const uint8_t* values) { return NeonLanes(values[0]); }
    // The truncating narrows keep the low eight bits of each lane, as the
    // byte stores do.
    void Store(uint8_t* bytes) const {
        const uint16x4_t words = vmovn_u32(vreinterpretq_u32_s32(v));
        StoreWord(bytes, vmovn_u16(vcombine_u16(words, words)));
    }
};

inline NeonLanes operator+(NeonLanes a, NeonLanes b) { return vaddq_s32(a.v, b.v); }
inline NeonLanes operator-(NeonLanes a, NeonLanes b) { return vsubq_s32(a.v, b.v); }
inline NeonLanes Mul(NeonLanes a, NeonLanes b) { return vmulq_s32(a.v, b.v); }
inline NeonLanes Min(NeonLanes a, NeonLanes b) { return vminq_s32(a.v, b.v); }
inline NeonLanes Max(NeonLanes a, NeonLanes b) { return vmaxq_s32(a.v, b.v); }
inline NeonLanes ShiftRight8(NeonLanes a) {
    return vreinterpretq_s32_u32(vshrq_n_u32(vreinterpretq_u32_s32(a.v), 8));
}
inline NeonLanes IsZero(NeonLanes a) { return vreinterpretq_s32_u32(vceqq_s32(a.v, vdupq_n_s32(0))); }
inline NeonLanes Select(NeonLanes mask, NeonLanes a, NeonLanes b) {
    return vbslq_s32(vreinterpretq_u32_s32(mask.v), a.v, b.v);
}
inline NeonLanes AlphaBroadcast(NeonLanes a) { return vdupq_lane_s32(vget_high_s32(a.v), 1); }
inline NeonLanes SelectAlpha(NeonLanes alpha, NeonLanes colors) {
    static const uint32_t mask[4] = {0, 0, 0, 0xFFFFFFFFu};
    return vbslq_s32(vld1q_u32(mask), alpha.v, colors.v);
}

// Numerators below 2^26: the float estimate of the quotient is off by at
// most one, and the exact remainder corrects it, as in the SSE2 loops.
inline NeonLanes RoundDivide65025(NeonLanes numerator) {
    const int32x4_t t = vaddq_s32(numerator.v, vdupq_n_s32(32512));
    int32x4_t q = vcvtq_s32_f32(vmulq_f32(vcvtq_f32_s32(t), vdupq_n_f32(1.0f / 65025.0f)));
    const int32x4_t remainder = vsubq_s32(t, vmulq_s32(q, vdupq_n_s32(65025)));
    // The comparisons' all-ones lanes are -1.
    q = vaddq_s32(q, vreinterpretq_s32_u32(vcltq_s32(remainder, vdupq_n_s32(0))));
    return vsubq_s32(q, vreinterpretq_s32_u32(vcgtq_s32(remainder, vdupq_n_s32(65024))));
}

// One or two pixels in 16-bit lanes, for source-over (products below 2^16).
template <unsigned Pixels>
struct NeonNarrowLanes {
    static_assert(Pixels == 1 || Pixels == 2, "a pixel is four of the eight lanes");
    static constexpr unsigned pixels = Pixels;
    typedef NeonNarrowLanes<1> Smaller;
    uint16x8_t v;

    NeonNarrowLanes() = default;
    NeonNarrowLanes(uint16x8_t value) : v(value) {}
    explicit NeonNarrowLanes(int16_t value) : v(vdupq_n_u16(uint16_t(value))) {}

    static NeonNarrowLanes Load(const uint8_t* bytes) { return vmovl_u8(Pixels == 2 ? vld1_u8(bytes) : LoadWord(bytes)); }
    static NeonNarrowLanes PerPixel(const uint8_t* values) {
        return vcombine_u16(vdup_n_u16(values[0]), vdup_n_u16(values[Pixels == 2 ? 1 : 0]));
    }
    void Store(uint8_t* bytes) const {
        const uint8x8_t packed = vmovn_u16(v);
        if (Pixels == 2)
            vst1_u8(bytes, packed);
        else
            StoreWord(bytes, packed);
    }
};

inline uint16x8_t AlphaLanes(uint16x8_t a) {
    return vcombine_u16(vdup_lane_u16(vget_low_u16(a), 3), vdup_lane_u16(vget_high_u16(a), 3));
}

inline uint16x8_t SelectAlphaLanes(uint16x8_t alpha, uint16x8_t colors) {
    static const uint16_t mask[8] = {0, 0, 0, 0xFFFF, 0, 0, 0, 0xFFFF};
    return vbslq_u16(vld1q_u16(mask), alpha, colors);
}

// (t + (t >> 8)) >> 8, the sum below 2^16 for every t of the byte multiply.
inline uint16x8_t FoldLanes(uint16x8_t t) { return vshrq_n_u16(vsraq_n_u16(t, t, 8), 8); }

template <unsigned P>
inline NeonNarrowLanes<P> operator+(NeonNarrowLanes<P> a, NeonNarrowLanes<P> b) {
    return vaddq_u16(a.v, b.v);
}
template <unsigned P>
inline NeonNarrowLanes<P> operator-(NeonNarrowLanes<P> a, NeonNarrowLanes<P> b) {
    return vsubq_u16(a.v, b.v);
}
template <unsigned P>
inline NeonNarrowLanes<P> Mul(NeonNarrowLanes<P> a, NeonNarrowLanes<P> b) {
    return vmulq_u16(a.v, b.v);
}
template <unsigned P>
inline NeonNarrowLanes<P> ShiftRight8(NeonNarrowLanes<P> a) {
    return vshrq_n_u16(a.v, 8);
}
template <unsigned P>
inline NeonNarrowLanes<P> FoldBytes(NeonNarrowLanes<P> t) {
    return FoldLanes(t.v);
}
template <unsigned P>
inline NeonNarrowLanes<P> AlphaBroadcast(NeonNarrowLanes<P> a) {
    return AlphaLanes(a.v);
}
template <unsigned P>
inline NeonNarrowLanes<P> SelectAlpha(NeonNarrowLanes<P> alpha, NeonNarrowLanes<P> colors) {
    return SelectAlphaLanes(alpha.v, colors.v);
}

// Four pixels in two registers of 16-bit lanes, from one 16-byte load.
struct NeonNarrowPairLanes {
    static constexpr unsigned pixels = 4;
    typedef NeonNarrowLanes<2> Smaller;
    uint16x8_t first, second;

    NeonNarrowPairLanes() = default;
    NeonNarrowPairLanes(uint16x8_t a, uint16x8_t b) : first(a), second(b) {}
    explicit NeonNarrowPairLanes(int16_t value) : first(vdupq_n_u16(uint16_t(value))), second(first) {}

    static NeonNarrowPairLanes Load(const uint8_t* bytes) {
        const uint8x16_t packed = vld1q_u8(bytes);
        return {vmovl_u8(vget_low_u8(packed)), vmovl_u8(vget_high_u8(packed))};
    }
    static NeonNarrowPairLanes PerPixel(const uint8_t* values) {
        return {vcombine_u16(vdup_n_u16(values[0]), vdup_n_u16(values[1])),
                vcombine_u16(vdup_n_u16(values[2]), vdup_n_u16(values[3]))};
    }
    void Store(uint8_t* bytes) const { vst1q_u8(bytes, vcombine_u8(vmovn_u16(first), vmovn_u16(second))); }
};

inline NeonNarrowPairLanes operator+(NeonNarrowPairLanes a, NeonNarrowPairLanes b) {
    return {vaddq_u16(a.first, b.first), vaddq_u16(a.second, b.second)};
}
inline NeonNarrowPairLanes operator-(NeonNarrowPairLanes a, NeonNarrowPairLanes b) {
    return {vsubq_u16(a.first, b.first), vsubq_u16(a.second, b.second)};
}
inline NeonNarrowPairLanes Mul(NeonNarrowPairLanes a, NeonNarrowPairLanes b) {
    return {vmulq_u16(a.first, b.first), vmulq_u16(a.second, b.second)};
}
inline NeonNarrowPairLanes ShiftRight8(NeonNarrowPairLanes a) {
    return {vshrq_n_u16(a.first, 8), vshrq_n_u16(a.second, 8)};
}
inline NeonNarrowPairLanes FoldBytes(NeonNarrowPairLanes t) { return {FoldLanes(t.first), FoldLanes(t.second)}; }
inline NeonNarrowPairLanes AlphaBroadcast(NeonNarrowPairLanes a) {
    return {AlphaLanes(a.first), AlphaLanes(a.second)};
}
inline NeonNarrowPairLanes SelectAlpha(NeonNarrowPairLanes alpha, NeonNarrowPairLanes colors) {
    return {SelectAlphaLanes(alpha.first, colors.first), SelectAlphaLanes(alpha.second, colors.second)};
}

// Sixteen bytes of a fill.
struct NeonBlock {
    static constexpr std::size_t bytes = 16;
    typedef PixelBlock Smaller;
    uint32x4_t v;

    static NeonBlock Broadcast(const uint8_t* source) {
        uint32_t word;
        memcpy(&word, source, 4);
        return NeonBlock{vdupq_n_u32(word)};
    }
    void Store(uint8_t* at) const { vst1q_u8(at, vreinterpretq_u8_u32(v)); }
};

}  // namespace

const SpanBlenders* NeonSpanBlenders() { return SpanTable<NeonLanes, NeonNarrowPairLanes, NeonBlock>::entries; }

}  // namespace Vudadive2R
}  // namespace ORV

#endif
