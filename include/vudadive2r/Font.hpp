// Fonts: single-byte and UTF-8 text measured and drawn with a FreeType face.
#ifndef VUDADIVE2R_FONT_HPP
#define VUDADIVE2R_FONT_HPP

#include <cstddef>
#include <memory>
#include <string>

#include "Context2D.hpp"
#include "Types.hpp"

namespace ORV {
namespace Vudadive2R {

class CodePointReader;

/// A fontconfig pattern naming a font: a family ("DejaVu Sans", "monospace"), optionally with
/// properties ("Noto Sans:bold", "serif:italic:weight=200").
struct FontName {
    const char* pattern;
};
class GlyphCache;
class TextFaces;
struct Internals;

// The single-byte operations take each byte of a text as one character code
// 0 to 255 (Latin-1); the Utf8 operations decode UTF-8 into code points. A
// character that the face cannot load is skipped. Glyphs are placed and
// shaped by the context's glyph transform; text ignores the blend mode,
// scissoring and paints. Use a font from one thread at a time (its glyph
// cache takes no lock); fonts may be constructed from several threads at
// once.
class ORV_API Font {
public:
    // Each font keeps the glyphs it has rendered, with their advances and
    // placements, for as long as they fit in this many bytes (bookkeeping
    // included); the least recently used go first, and a glyph bitmap over
    // 64 KB is not kept. Drawn bytes and measured lengths are the same as
    // with every glyph rendered anew.
    static constexpr std::size_t GlyphCacheBound = std::size_t(4) << 20;

    // Opens face 0 of the font file at `size` pixels per em. Throws
    // ArgumentNullException for an empty context, std::logic_error for a
    // null file name, Exception ("FT_New_Face failed.") for a file
    // FreeType cannot open and ArgumentOutOfRangeException for a size
    // below 1 or above 33554431 pixels, or one FreeType cannot scale to
    // ("FT_Set_Char_Size failed.").
    Font(const std::shared_ptr<Context2D>& context, const char* filename, int size);
    // Opens the font that fontconfig matches best to `name`, as fc-match
    // chooses it (the pattern with the configuration's and the default
    // substitutions): its file and face, at `size` pixels per em. Throws
    // ArgumentNullException for a null pattern, Exception ("No font matches
    // the pattern.") when nothing matches (no font installed, or a pattern
    // fontconfig cannot read), and what the file constructor throws.
    Font(const std::shared_ptr<Context2D>& context, FontName name, int size);
    // The font file opened, and the index of the face in it.
    const std::string& FileName() const { return fileName; }
    int FaceIndex() const { return faceIndex; }
    virtual ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Ascender minus descender of the sized face, in pixels.
    float Height();
    // Distance from the baseline up to the face's top, in pixels.
    float Ascender();
    // Distance from the baseline to the face's bottom, in pixels (negative).
    float Descender();
    // Length in pixels of the summed advances under the glyph transform.
    // Throws ArgumentNullException for a null text.
    float MeasureString(const char* text);
    // Blends the text in `color` into the context's surface, the baseline
    // starting at (x, y) mapped by the glyph transform; the pen moves by
    // whole pixels. Throws ArgumentNullException for a null text and
    // InvalidOperationException for a surface format other than "AB24".
    void DrawString(int x, int y, const char* text, const Color& color);
    // MeasureString and DrawString of UTF-8 text: each code point is one
    // character, and every malformed sequence counts as one U+FFFD, taking
    // the bytes a web browser's decoder takes. ASCII text measures and draws
    // as with the single-byte operations.
    float MeasureStringUtf8(const char* text);
    void DrawStringUtf8(int x, int y, const char* text, const Color& color);

private:
    friend struct Internals;
    void Open();
    float MeasureCodePoints(CodePointReader text);
    void DrawCodePoints(int x, int y, CodePointReader text, const Color& color);

    std::shared_ptr<Context2D> context;
    std::string fileName;
    int32_t size;
    void* face;  // the FreeType face, owned
    int faceIndex = 0;
    std::unique_ptr<GlyphCache> glyphCache;  // null: every glyph rendered anew
    std::string pattern;                     // the fontconfig pattern of a font by name
    std::shared_ptr<TextFaces> textFaces;    // shaped text's faces, made by its first run
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
