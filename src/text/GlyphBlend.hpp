// Blending of glyph coverage into R, G, B, A surface bytes in one colour.
#ifndef VUDADIVE2R_TEXT_GLYPHBLEND_HPP
#define VUDADIVE2R_TEXT_GLYPHBLEND_HPP

#include <cstdint>

namespace ORV {
namespace Vudadive2R {

struct TextColor {
    uint32_t r, g, b, a;  // bytes, straight alpha
};

// Coverage c (1 to 255) of `ink`, whose alpha is not 0, over the pixel p.
// Full coverage of an opaque colour replaces the pixel; otherwise each
// channel moves toward the colour by t / 256 and alpha gains t less its share
// of what is already there. Integer arithmetic throughout: these are the
// exact bytes.
inline void BlendGlyphPixel(uint8_t* p, const TextColor& ink, uint32_t c) {
    if (c == 255 && ink.a == 255) {
        p[0] = uint8_t(ink.r);
        p[1] = uint8_t(ink.g);
        p[2] = uint8_t(ink.b);
        p[3] = 255;
        return;
    }
    const uint32_t t = c == 255 ? ink.a : (ink.a * c + ink.a) >> 8;
    p[0] = uint8_t((p[0] * (256 - t) + ink.r * t) >> 8);
    p[1] = uint8_t((p[1] * (256 - t) + ink.g * t) >> 8);
    p[2] = uint8_t((p[2] * (256 - t) + ink.b * t) >> 8);
    p[3] = uint8_t(p[3] + t - ((p[3] * t + 255) >> 8));
}

}  // namespace Vudadive2R
}  // namespace ORV

#endif
