// The coverage bytes of a rendered glyph, read row by row from the top.
#ifndef VUDADIVE2R_TEXT_GLYPHCOVERAGE_HPP
#define VUDADIVE2R_TEXT_GLYPHCOVERAGE_HPP

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstddef>
#include <cstdint>

namespace ORV {
namespace Vudadive2R {

// Outline glyphs render to 8-bit coverage. Bitmap fonts may hand back 1-bit
// rows, which are read bit by bit (a set bit is full coverage) rather than
// as bytes past the row's end; glyphs in any other pixel mode have no rows
// here. A negative pitch stores the bottom row first, so the top row is found
// at the far end of the buffer.
class GlyphCoverage {
public:
    explicit GlyphCoverage(const FT_Bitmap& bitmap)
        : rows(bitmap.rows), width(bitmap.width), pitch(bitmap.pitch), top(bitmap.buffer),
          oneBit(bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
        if (!top || (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && !oneBit))
            rows = 0;
        else if (pitch < 0)
            top += (std::ptrdiff_t(rows) - 1) * -pitch;
    }

    unsigned Rows() const { return rows; }
    unsigned Width() const { return width; }
    // Whether a row holds one byte per pixel, so that runs of it can be read at once.
    bool Bytes() const { return !oneBit; }
    const unsigned char* Row(unsigned i) const { return top + std::ptrdiff_t(i) * pitch; }

    uint8_t At(const unsigned char* row, unsigned column) const {
        if (!oneBit)
            return row[column];
        return ((row[column >> 3] >> (7 - (column & 7))) & 1) ? 255 : 0;
    }

private:
    unsigned rows;
    unsigned width;
    std::ptrdiff_t pitch;
    const unsigned char* top;
    bool oneBit;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
