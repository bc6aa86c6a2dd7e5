// Conversions of text's float values to the integers FreeType and the
// surface use. Glyph transforms and pens come from the client unchecked, so
// every conversion is defined for every float, NaN and infinity included.
#ifndef VUDADIVE2R_TEXT_TEXTCONVERSIONS_HPP
#define VUDADIVE2R_TEXT_TEXTCONVERSIONS_HPP

#include <cstdint>

namespace ORV {
namespace Vudadive2R {

// A glyph matrix element to 16.16 fixed point: value x 65536 truncated toward
// zero. NaN gives 0; values beyond the 64-bit range take its nearest end.
inline int64_t FixedFromFloat(float value) {
    const double scaled = double(value) * 65536.0;  // exact: a power of two
    if (scaled != scaled)
        return 0;
    if (scaled >= 9223372036854775808.0)
        return INT64_MAX;
    if (scaled <= -9223372036854775808.0)
        return INT64_MIN;
    return int64_t(scaled);
}

// A pixel column or row, truncated toward zero. Beyond +-2^40 (and NaN, sent
// to the low end) the result is clamped: that far out no surface reaches, so
// the pixel is skipped like any other outside pixel, and adding bitmap
// offsets to it cannot overflow.
constexpr int64_t kFarPixel = int64_t(1) << 40;

inline int64_t PixelFromFloat(float value) {
    if (!(value > -float(kFarPixel)))
        return -kFarPixel;
    if (value >= float(kFarPixel))
        return kFarPixel;
    return int64_t(value);
}

}  // namespace Vudadive2R
}  // namespace ORV

#endif
