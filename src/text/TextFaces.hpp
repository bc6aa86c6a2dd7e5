// The faces shaped text draws from: the font's own, then fontconfig's
// fallback list, each opened on first use for HarfBuzz and FreeType.
#ifndef VUDADIVE2R_TEXT_TEXTFACES_HPP
#define VUDADIVE2R_TEXT_TEXTFACES_HPP

#include <hb.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "text/GlyphPolylines.hpp"
#include "vudadive2r/Font.hpp"
#include "vudadive2r/Types.hpp"

namespace ORV {
namespace Vudadive2R {

// A glyph's outline as FreeType gives it unhinted at the face's size (26.6
// pixels, y up): contours as path commands, each closed, and their points.
struct GlyphOutline {
    std::vector<PathCommands> commands;
    std::vector<FT_Vector> points;
    FT_BBox box{0, 0, 0, 0};  // exact; all zero without points
};

// No hinting keeps every position between pixels exact and the outline the
// same wherever the glyph lands; embedded bitmaps are passed over.
constexpr FT_Int32 kOutlineLoadFlags = FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;

class ColorGlyphs;

class TextFaces {
public:
    // Outlines kept for redrawing, bookkeeping included: beyond this all are
    // dropped and loaded anew. The outline is the same either way.
    static constexpr size_t OutlineCacheBound = size_t(4) << 20;

    // The font's own face (its file and index) at `size` pixels per em;
    // `pattern` chooses the fallback list (empty: the face's family name).
    TextFaces(const std::string& file, int index, int size, const std::string& pattern);
    ~TextFaces();
    TextFaces(const TextFaces&) = delete;
    TextFaces& operator=(const TextFaces&) = delete;

    // The first face, the font's own first, that has `code`, or -1.
    int FirstWith(char32_t code);
    // Whether face `index` (already chosen once) has `code`.
    bool Has(int index, char32_t code);
    // Face `index`, opened; its HarfBuzz font is scaled to the size in 1/64 pixel.
    hb_font_t* HarfBuzzFont(int index);
    FT_Face FreeTypeFace(int index);
    // The file of face `index`; ArgumentOutOfRangeException beyond the list.
    const std::string& FileName(int index);
    int Count() const { return int(faces.size()); }
    int Size() const { return size; }
    // The outline of glyph `index` of face `font`; empty for a glyph without one.
    const GlyphOutline& Outline(int font, unsigned index);
    // Flattened outlines and their cells, for drawing.
    GlyphPolylines& Polylines() { return polylines; }
    // The font's own line metrics in 1/64 pixel (the descender negative).
    FT_Pos Ascender() const;
    FT_Pos Descender() const;
    // The faces' colour glyphs (text/ColorGlyphs.hpp), made on first use.
    ColorGlyphs& Colors();

private:
    struct Face;
    bool Open(Face& face);
    void ListFallbacks();

    int size;
    std::string pattern;
    bool listed = false;
    std::vector<std::unique_ptr<Face>> faces;
    std::unordered_map<uint64_t, GlyphOutline> outlines;
    size_t outlineBytes = 0;
    GlyphPolylines polylines;
    std::unique_ptr<ColorGlyphs> colors;
};

// The font's faces, made on first use and shared by its runs.
std::shared_ptr<TextFaces> FacesOf(Font& font);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
