// The pixel layouts drawing composes into. Every layout composes as the
// four-byte premultiplied pixel of "AB24": "AR24" is the same pixel with red
// and blue swapped (AGG's order_bgra; the operations treat red, green and
// blue alike and keep alpha fourth, so only the source's red and blue
// trade places); "XB24" and "XR24" read their fourth byte as 255 and write
// 255 there; "RG16" widens each 5-6-5 pixel by bit replication into an
// opaque four-byte pixel and packs the result back by truncation, as a clear
// packs its colour.
#ifndef VUDADIVE2R_COMPOSITE_PIXELLAYOUT_HPP
#define VUDADIVE2R_COMPOSITE_PIXELLAYOUT_HPP

#include <cstdint>
#include <cstring>

#include "common/FormatCodes.hpp"

namespace ORV {
namespace Vudadive2R {

enum class PixelLayout { Rgba, Bgra, Rgbx, Bgrx, Rgb565, None };

inline PixelLayout LayoutOfFormat(int32_t format) {
    switch (format) {
    case FormatCode::AB24: return PixelLayout::Rgba;
    case FormatCode::AR24: return PixelLayout::Bgra;
    case FormatCode::XB24: return PixelLayout::Rgbx;
    case FormatCode::XR24: return PixelLayout::Bgrx;
    case FormatCode::RG16: return PixelLayout::Rgb565;
    default: return PixelLayout::None;
    }
}

inline unsigned BytesPerPixel(PixelLayout layout) { return layout == PixelLayout::Rgb565 ? 2 : 4; }

// Whether the layout keeps blue in the first byte and red in the third.
inline bool SwapsRedAndBlue(PixelLayout layout) {
    return layout == PixelLayout::Bgra || layout == PixelLayout::Bgrx;
}

// Whether pixels are composed in place as four bytes as they are: no
// staging before and after the composition.
inline bool ComposesInPlace(PixelLayout layout) {
    return layout == PixelLayout::Rgba || layout == PixelLayout::Bgra;
}

// Copies `length` four-byte pixels with the first and third bytes swapped.
inline void CopySwappingRedAndBlue(uint8_t* to, const uint8_t* from, unsigned length) {
    for (unsigned i = 0; i < length; ++i) {
        uint32_t word;
        std::memcpy(&word, from + 4 * i, 4);
        // Byte order does not matter: the first and third bytes of the word
        // are 16 bits apart either way.
        word = (word & 0xFF00FF00u) | ((word >> 16) & 0xFFu) | ((word & 0xFFu) << 16);
        std::memcpy(to + 4 * i, &word, 4);
    }
}

// 5-6-5 (red high, the machine's byte order) to R, G, B, 255 by replicating
// each component's high bits into its low ones.
inline void WidenRgb565(const uint8_t* packed, unsigned length, uint8_t* pixels) {
    for (unsigned i = 0; i < length; ++i) {
        uint16_t word;
        std::memcpy(&word, packed + 2 * i, 2);
        const unsigned r5 = word >> 11, g6 = (word >> 5) & 0x3F, b5 = word & 0x1F;
        pixels[4 * i] = uint8_t(r5 << 3 | r5 >> 2);
        pixels[4 * i + 1] = uint8_t(g6 << 2 | g6 >> 4);
        pixels[4 * i + 2] = uint8_t(b5 << 3 | b5 >> 2);
        pixels[4 * i + 3] = 255;
    }
}

// R, G, B (the fourth byte is dropped) to 5-6-5 by keeping the high bits.
inline void NarrowToRgb565(const uint8_t* pixels, unsigned length, uint8_t* packed) {
    for (unsigned i = 0; i < length; ++i) {
        const uint16_t word = uint16_t(((pixels[4 * i] & 0xF8u) << 8) | ((pixels[4 * i + 1] & 0xFCu) << 3) |
                                       (pixels[4 * i + 2] >> 3));
        std::memcpy(packed + 2 * i, &word, 2);
    }
}

// Composes `length` pixels of `layout` from `pixels` on: `compose` receives
// them as four-byte pixels, and the layout's bytes are restored after.
// Layouts composed in place are passed as they are. "RG16" is widened into
// `staging` and narrowed back. An X layout's pixels read 255 in their fourth
// byte; it is 255 after wherever the coverage (`covers`, or `cover`
// throughout) is above 0, and as it was elsewhere, where every operation
// leaves the colour as it is. `staging` holds 4 x `length` bytes.
template <class Compose>
inline void ComposeStaged(PixelLayout layout, uint8_t* pixels, unsigned length, const uint8_t* covers,
                          uint8_t cover, uint8_t* staging, Compose compose) {
    if (layout == PixelLayout::Rgb565) {
        WidenRgb565(pixels, length, staging);
        compose(staging);
        NarrowToRgb565(staging, length, pixels);
        return;
    }
    if (layout == PixelLayout::Rgbx || layout == PixelLayout::Bgrx) {
        for (unsigned i = 0; i < length; ++i) {
            staging[i] = pixels[4 * i + 3];
            pixels[4 * i + 3] = 255;
        }
        compose(pixels);
        for (unsigned i = 0; i < length; ++i)
            pixels[4 * i + 3] = (covers ? covers[i] : cover) ? 255 : staging[i];
        return;
    }
    compose(pixels);
}

}  // namespace Vudadive2R
}  // namespace ORV

#endif
