// The portable span loops, and the choice of loops by operation and level.
#include "composite/BlendSpanKernels.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

// One pixel, a 32-bit integer per channel, in the compilers' generic
// vectors: plain integer arithmetic on any processor.
typedef int32_t Int32x4 __attribute__((vector_size(16)));

struct PortableLanes {
    static constexpr unsigned pixels = 1;
    typedef PortableLanes Smaller;
    Int32x4 v;

    PortableLanes() = default;
    PortableLanes(Int32x4 value) : v(value) {}
    explicit PortableLanes(int32_t value) : v(Int32x4{value, value, value, value}) {}

    static PortableLanes Load(const uint8_t* bytes) { return Int32x4{bytes[0], bytes[1], bytes[2], bytes[3]}; }
    static PortableLanes PerPixel(const uint8_t* values) { return PortableLanes(values[0]); }
    void Store(uint8_t* bytes) const {
        for (int i = 0; i < 4; ++i)
            bytes[i] = uint8_t(v[i]);
    }
};

PortableLanes operator+(PortableLanes a, PortableLanes b) { return a.v + b.v; }
PortableLanes operator-(PortableLanes a, PortableLanes b) { return a.v - b.v; }
PortableLanes Mul(PortableLanes a, PortableLanes b) { return a.v * b.v; }
PortableLanes Min(PortableLanes a, PortableLanes b) { return a.v < b.v ? a.v : b.v; }
PortableLanes Max(PortableLanes a, PortableLanes b) { return a.v > b.v ? a.v : b.v; }
PortableLanes ShiftRight8(PortableLanes a) { return a.v >> 8; }
PortableLanes RoundDivide65025(PortableLanes a) { return (a.v + 32512) / 65025; }
PortableLanes IsZero(PortableLanes a) { return a.v == 0; }
PortableLanes Select(PortableLanes mask, PortableLanes a, PortableLanes b) { return mask.v != 0 ? a.v : b.v; }
PortableLanes AlphaBroadcast(PortableLanes a) { return PortableLanes(a.v[3]); }
PortableLanes SelectAlpha(PortableLanes alpha, PortableLanes colors) {
    Int32x4 result = colors.v;
    result[3] = alpha.v[3];
    return result;
}

}  // namespace

const SpanBlenders* PortableSpanBlenders() { return SpanTable<PortableLanes, PortableLanes, PixelBlock>::entries; }

SimdLevel BestSimdLevel() {
    SimdLevel level = SimdLevel::Portable;
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();  // may run before the runtime's own constructors
    if (__builtin_cpu_supports("avx2"))
        level = SimdLevel::Avx2;
    else if (__builtin_cpu_supports("sse2"))
        level = SimdLevel::Sse2;
#elif defined(__ARM_NEON)
    // Every AArch64 processor has NEON; 32-bit ARM builds have it only where
    // the compiler targets it (Debian's armhf baseline does not).
    level = SimdLevel::Neon;
#endif
#if defined(VUDADIVE2R_WIDEST_SIMD)
    // A build capped below what the processor runs.
    if (int(level) > VUDADIVE2R_WIDEST_SIMD)
        level = SimdLevel(VUDADIVE2R_WIDEST_SIMD);
#endif
    return level;
}

const char* SimdLevelName(SimdLevel level) {
    switch (level) {
    case SimdLevel::Portable:
        return "portable";
    case SimdLevel::Sse2:
#if defined(__ARM_NEON)
        return "NEON";
#else
        return "SSE2";
#endif
    case SimdLevel::Avx2:
        return "AVX2";
    }
    return "unknown";
}

const SpanBlenders& SpanBlendersFor(BlendOperation operation, SimdLevel level) {
    static const SimdLevel best = BestSimdLevel();
    if (int(level) > int(best))
        level = best;
    const SpanBlenders* table = PortableSpanBlenders();
#if defined(__x86_64__) || defined(__i386__)
    if (level == SimdLevel::Avx2)
        table = Avx2SpanBlenders();
    else if (level == SimdLevel::Sse2)
        table = Sse2SpanBlenders();
#elif defined(__ARM_NEON)
    if (level == SimdLevel::Neon)
        table = NeonSpanBlenders();
#endif
    return table[unsigned(operation)];
}

}  // namespace Vudadive2R
}  // namespace ORV
