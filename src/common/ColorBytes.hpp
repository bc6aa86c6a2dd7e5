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

}  // namespace Vudadive2R
}  // namespace ORV

#endif
