// The portable span loops, and the choice of loops by operation and level.
#include "raster/BlendSpanKernels.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

// One pixel, a plain integer per channel.
struct PortableLanes {
    static constexpr unsigned pixels = 1;
    int32_t lane[4];

    PortableLanes() = default;
    explicit PortableLanes(int32_t value) : lane{value, value, value, value} {}

    static PortableLanes Load(const uint8_t* bytes) {
        PortableLanes result;
        for (int i = 0; i < 4; ++i)
            result.lane[i] = bytes[i];
        return result;
    }
    static PortableLanes PerPixel(const uint8_t* values) { return PortableLanes(values[0]); }
    void Store(uint8_t* bytes) const {
        for (int i = 0; i < 4; ++i)
            bytes[i] = uint8_t(lane[i]);
    }
};

template <class Function>
PortableLanes Each(const PortableLanes& a, const PortableLanes& b, Function function) {
    PortableLanes result;
    for (int i = 0; i < 4; ++i)
        result.lane[i] = function(a.lane[i], b.lane[i]);
    return result;
}

PortableLanes operator+(const PortableLanes& a, const PortableLanes& b) {
    return Each(a, b, [](int32_t x, int32_t y) { return x + y; });
}
PortableLanes operator-(const PortableLanes& a, const PortableLanes& b) {
    return Each(a, b, [](int32_t x, int32_t y) { return x - y; });
}
PortableLanes Mul(const PortableLanes& a, const PortableLanes& b) {
    return Each(a, b, [](int32_t x, int32_t y) { return x * y; });
}
PortableLanes Min(const PortableLanes& a, const PortableLanes& b) {
    return Each(a, b, [](int32_t x, int32_t y) { return x < y ? x : y; });
}
PortableLanes Max(const PortableLanes& a, const PortableLanes& b) {
    return Each(a, b, [](int32_t x, int32_t y) { return x > y ? x : y; });
}
PortableLanes ShiftRight8(const PortableLanes& a) {
    return Each(a, a, [](int32_t x, int32_t) { return x >> 8; });
}
PortableLanes RoundDivide65025(const PortableLanes& a) {
    return Each(a, a, [](int32_t x, int32_t) { return (x + 32512) / 65025; });
}
PortableLanes IsZero(const PortableLanes& a) {
    return Each(a, a, [](int32_t x, int32_t) { return x == 0 ? -1 : 0; });
}
PortableLanes Select(const PortableLanes& mask, const PortableLanes& a, const PortableLanes& b) {
    PortableLanes result;
    for (int i = 0; i < 4; ++i)
        result.lane[i] = mask.lane[i] ? a.lane[i] : b.lane[i];
    return result;
}
PortableLanes AlphaBroadcast(const PortableLanes& a) { return PortableLanes(a.lane[3]); }
PortableLanes SelectAlpha(const PortableLanes& alpha, const PortableLanes& colors) {
    PortableLanes result = colors;
    result.lane[3] = alpha.lane[3];
    return result;
}

}  // namespace

const SpanBlenders* PortableSpanBlenders() { return SpanLoops<PortableLanes>::table; }

SimdLevel BestSimdLevel() {
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("avx2"))
        return SimdLevel::Avx2;
    if (__builtin_cpu_supports("sse2"))
        return SimdLevel::Sse2;
#endif
    return SimdLevel::Portable;
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
#endif
    return table[unsigned(operation)];
}

}  // namespace Vudadive2R
}  // namespace ORV
