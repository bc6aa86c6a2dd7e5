// Colour glyphs: the premultiplied BGRA bitmaps FreeType gives for an emoji
// font, drawn after a run's outlines, each as an image filling its box.
#ifndef VUDADIVE2R_TEXT_COLORGLYPHS_HPP
#define VUDADIVE2R_TEXT_COLORGLYPHS_HPP

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "text/TextFaces.hpp"
#include "vudadive2r/Context2D.hpp"
#include "vudadive2r/DrawingState.hpp"
#include "vudadive2r/Text.hpp"

namespace ORV {
namespace Vudadive2R {

// One glyph as FreeType loads it with FT_LOAD_COLOR. A colour glyph keeps its
// bitmap read as the image paint reads an "AR24" image: straight R, G, B, A
// rows, top row first, so that drawing it reorders nothing.
struct ColorGlyph {
    bool color = false;
    int width = 0, rows = 0;  // bitmap pixels
    int left = 0, top = 0;    // bitmap_left, bitmap_top: from the origin, y up
    float scaleX = 1, scaleY = 1;  // bitmap pixels to font pixels: size / the strike's ppem
    std::vector<uint8_t> pixels;
};

// The colour glyphs of a font's faces, each loaded once and kept.
class ColorGlyphs {
public:
    // Bitmaps kept, bookkeeping included: beyond this all are dropped and
    // loaded anew. The glyph is the same either way.
    static constexpr size_t CacheBound = size_t(32) << 20;

    // Glyph `index` of face `font`; colour only when the face has colour and
    // FreeType gives a BGRA bitmap for it. The reference lasts until the next call.
    const ColorGlyph& Find(TextFaces& faces, int font, unsigned index);

private:
    std::unordered_map<uint64_t, ColorGlyph> glyphs;
    size_t bytes = 0;
};

// A colour bitmap face (no outlines, fixed strikes) cannot take any size:
// the strike nearest `size` pixels per em is selected (the larger on a tie)
// and its bitmaps are scaled when drawn. Other faces are left as they are
// and keep FreeType's answer; returns FreeType's error.
FT_Error SizeColorBitmapFace(FT_Face face, int size, FT_Error charSizeError);

// Whether glyph `index` of face `font` is drawn as an image rather than an outline.
bool IsColorGlyph(TextFaces& faces, int font, unsigned index);

// The box of a colour glyph's scaled bitmap in 26.6 pixels, y up, rounded
// outwards; false for any other glyph and for an empty bitmap.
bool ColorGlyphBox(TextFaces& faces, int font, unsigned index, FT_BBox& box);

// Draws the run's colour glyphs in glyph order, glyph i at (x + gx / 64,
// y + gy / 64) (positions in 1/64 pixel, y down): each the bytes of a
// rectangle path filled with an image paint of its bitmap, the context's
// image transform placing the bitmap on the rectangle for that draw only.
// The fill state's paint is not used, but a null fill state or one without a
// paint draws nothing.
void DrawColorGlyphs(const std::shared_ptr<Context2D>& context, TextFaces& faces, const std::vector<Glyph>& glyphs,
                     const std::vector<int64_t>& positions, double x, double y,
                     const std::shared_ptr<FillState>& fill);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
