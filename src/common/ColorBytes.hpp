// Conversion of a colour component to a byte: c * 255 + 0.5 in double
// precision, truncated to an unsigned 32-bit integer (negative values and NaN
// give 0, values beyond the range the largest value), low eight bits kept.
// A plain cast is undefined for those inputs, so they are handled first.
#ifndef VUDADIVE2R_COLORBYTES_HPP
#define VUDADIVE2R_COLORBYTES_HPP

#include <cstdint>

namespace ORV {
namespace Vudadive2R {

inline uint8_t ColorComponentToByte(double component) {
    double scaled = component * 255.0 + 0.5;
    if (!(scaled >= 1.0))  // also catches NaN
        return 0;
    if (scaled >= 4294967296.0)
        return 0xFF;
    return static_cast<uint8_t>(static_cast<uint32_t>(scaled) & 0xFFu);
}

// Text's conversion: c * 255 in single precision, truncated to an unsigned
// 32-bit integer with the same out-of-range rules, low eight bits kept, so
// 1.5 gives 382 mod 256 = 126.
inline uint8_t TruncatedColorByte(float component) {
    const float scaled = component * 255.0f;
    if (!(scaled >= 1.0f))  // also catches NaN
        return 0;
    if (scaled >= 4294967296.0f)
        return 0xFF;
    return static_cast<uint8_t>(static_cast<uint32_t>(scaled) & 0xFFu);
}

// One row of premultiplied B, G, R, A pixels (or B, G, R, X with `opaque`,
// X read as 255) as straight R, G, B, A: (c x 255 + a / 2) / a, at most 255,
// and 0 where a is 0, as a saved surface is divided back.
inline void StraightRgbaFromPremultipliedBgra(const uint8_t* from, uint8_t* to, int width, bool opaque) {
    for (int x = 0; x < width; ++x, from += 4, to += 4) {
        const unsigned a = opaque ? 255 : from[3];
        const auto straight = [a](unsigned c) {
            return uint8_t(a == 255 ? c : a == 0 ? 0 : (c * 255 + a / 2) / a < 255 ? (c * 255 + a / 2) / a : 255);
        };
        to[0] = straight(from[2]);
        to[1] = straight(from[1]);
        to[2] = straight(from[0]);
        to[3] = uint8_t(a);
    }
}

}  // namespace Vudadive2R
}  // namespace ORV

#endif
