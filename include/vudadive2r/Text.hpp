/// @file
/// Shaped text: runs of glyphs shaped from UTF-8 text in any script, and paragraphs laid out from them.
#ifndef VUDADIVE2R_TEXT_HPP
#define VUDADIVE2R_TEXT_HPP

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Context2D.hpp"
#include "DrawingState.hpp"
#include "Font.hpp"

namespace ORV {
namespace Vudadive2R {

class Path;
class TextFaces;
class TextLayout;
struct Internals;
struct DrawnText;

/// One shaped glyph: its index in its font, the byte offset in the UTF-8 text of the first
/// character of its cluster, its origin in pixels relative to the run's origin (y downwards, to
/// 1/64 pixel), and which font of the font's fallback list it comes from (0: the font itself).
struct Glyph {
    unsigned Index;
    unsigned Cluster;
    float X, Y;
    int Font;
};

/// A box in pixels relative to an origin, y downwards: corner (X, Y), Width and Height.
struct TextExtents {
    float X, Y, Width, Height;
};

/// A line of text shaped once, in display order, and drawn like a filled path.
///
/// Shaping: the text is decoded as UTF-8 (every malformed sequence is one U+FFFD, as the font's
/// UTF-8 operations decode it); bidirectional levels come from the Unicode bidirectional
/// algorithm with the paragraph direction of the first strong character (left to right without
/// one); the text is cut where the level, the script (characters of no script of their own take
/// their neighbour's) or the font changes, each piece is shaped by HarfBuzz with its direction,
/// script, the language and the features, with the whole text as context, and the pieces are
/// placed in display order. Positions are HarfBuzz's, with the font scaled to its size in 1/64
/// pixel (HarfBuzz's own OpenType functions, no hinting), so they equal `hb-shape
/// --font-size=64*size` exactly.
///
/// Fallback: a font made by name keeps fontconfig's sorted list for its pattern; a font made from
/// a file keeps the list for the family name of its face. A character takes the font itself when
/// it has the character, else the first font of the list that has it; a mark, a joiner or a
/// character of no script keeps the font of the character before it when that font has it. A
/// character no font has is glyph 0 of the font itself.
class ORV_API TextRun {
public:
    /// Longest text accepted, in bytes.
    static constexpr std::size_t MaximumLength = std::size_t(1) << 20;

    /// Shapes `utf8` (up to its terminating zero) with `font`. `features`: null, or HarfBuzz
    /// feature strings separated by commas ("liga=0,tnum", "kern[3:5]=0" with byte offsets);
    /// `language`: a BCP 47 tag, null for HarfBuzz's default language (from the locale). Throws
    /// ArgumentNullException for an empty font or a null text, ArgumentException for a feature
    /// HarfBuzz cannot read, ArgumentOutOfRangeException for a text longer than MaximumLength,
    /// Exception ("The font cannot be shaped.") for a font file HarfBuzz cannot read.
    TextRun(const std::shared_ptr<Font>& font, const char* utf8, const char* features = nullptr,
            const char* language = nullptr);
    virtual ~TextRun();
    TextRun(const TextRun&) = delete;
    TextRun& operator=(const TextRun&) = delete;

    /// The glyphs in display order, left to right.
    const std::vector<Glyph>& Glyphs() const { return glyphs; }
    /// The sum of the advances in pixels.
    float Advance() const;
    /// The box from the origin to the advance, from the font's ascender to its descender.
    TextExtents LogicalExtents() const;
    /// The smallest box holding every glyph outline and every colour glyph's scaled bitmap
    /// (rounded outwards to 1/64 pixel); all zero without any ink.
    TextExtents InkExtents() const;
    /// The file of font `index` of the fallback list (0: the font itself). Throws
    /// ArgumentOutOfRangeException for an index beyond the list.
    const std::string& FontFileName(int index) const;

    /// Fills the glyph outlines, as FreeType gives them unhinted at the font's size in 26.6
    /// pixels, each placed at its glyph's position from the origin (x, y) in path space, rounded
    /// to a quarter pixel and flattened there (the README gives the exact placement), as one
    /// path with the non-zero rule, with the fill state's paint: the bytes of Path::Draw of that
    /// path (path transform, blend mode, scissors, clip, layers). Colour glyphs (FreeType's BGRA
    /// bitmaps, an emoji font's) are left out of that path and drawn after it in glyph order, each
    /// a rectangle filled with an ImagePaint of its bitmap placed by the image transform for that
    /// draw only (the README gives the exact composition); they keep their own colours. An empty
    /// fill state draws nothing. Throws what Path::Draw throws.
    void Draw(float x, float y, const std::shared_ptr<FillState>& fill);

private:
    friend struct Internals;
    friend class TextLayout;
    TextRun(const std::shared_ptr<Font>& font, const std::string& text, std::size_t begin, std::size_t end,
            int direction, const char* features, const char* language, bool keepItemized = false);
    // Line [begin, end) of the text `whole` was shaped from, as TextRun(font, text, begin, end,
    // whole's direction, ...) shapes it: whole's glyphs where they are the same, shaped anew where not.
    TextRun(const TextRun& whole, const std::string& text, std::size_t begin, std::size_t end, const char* features,
            const char* language);
    void Shape(const std::string& text, std::size_t begin, std::size_t end, int direction, const char* features,
               const char* language, bool keepItemized);
    bool TakeLine(const TextRun& whole, std::size_t begin, std::size_t end);

    std::shared_ptr<Font> font;
    std::shared_ptr<TextFaces> faces;
    std::vector<Glyph> glyphs;
    std::vector<int64_t> positions;  // x, y of each glyph in 1/64 pixel
    std::vector<int64_t> advances;   // each glyph's, 1/64 pixel
    int64_t advance = 0;              // 1/64 pixel
    int direction = 1;                // the paragraph's: 1 left to right, 2 right to left
    // What draws keep: the path's storage and the glyphs' cells.
    std::unique_ptr<DrawnText> drawn;
    // A layout's whole text: its characters' pieces and where its glyphs may be cut.
    struct Itemized;
    std::unique_ptr<Itemized> itemized;
};

/// How the lines of a layout sit in its width.
enum class TextAlignment { Left = 0, Right = 1, Center = 2, Justify = 3 };

/// One line of a layout: the bytes [Start, End) of the text it shows (its trailing spaces and line
/// break left out), its origin (X from the layout's left edge, Y its baseline below the layout's
/// top) and its advance.
struct TextLine {
    int Start, End;
    float X, Y, Width;
};

/// A paragraph: a text wrapped to a width at the line-break opportunities of the Unicode line
/// breaking algorithm (ICU's), each line shaped as a TextRun with the paragraph's direction.
///
/// Lines are filled greedily: a line takes every further piece (the text up to the next
/// opportunity) whose advance in the whole text's shaping, trailing spaces left out, fits the
/// width; a piece wider than the width stands on a line of its own; a mandatory break (a newline)
/// ends a line. Line i has its baseline at ascender + i x height from the layout's top. Left
/// alignment puts a line at X = 0, Right at width - advance, Center at half that; Justify widens
/// every line but the last and those ending at a mandatory break to the width, by equal shares of
/// the remaining width after each space (U+0020) inside the line, in 1/64 pixel (the rest of the
/// division after the first spaces), and sets the others as Left.
class ORV_API TextLayout {
public:
    /// Throws what TextRun throws, and ArgumentOutOfRangeException for a width outside 0 to 16777216
    /// pixels (NaN included) or an alignment outside its enumeration. A text ending in a newline
    /// has no empty line after it; an empty text has no lines.
    TextLayout(const std::shared_ptr<Font>& font, const char* utf8, float width, TextAlignment alignment,
               const char* features = nullptr, const char* language = nullptr);
    virtual ~TextLayout();
    TextLayout(const TextLayout&) = delete;
    TextLayout& operator=(const TextLayout&) = delete;

    int LineCount() const { return int(lines.size()); }
    /// Line `index`; throws ArgumentOutOfRangeException for an index out of range.
    const TextLine& Line(int index) const;
    /// The shaped run of line `index`; throws ArgumentOutOfRangeException out of range.
    const TextRun& LineRun(int index) const;
    /// The box of the lines: from the top left (0, 0) to the width and the line count times the
    /// font's height.
    TextExtents Extents() const;
    /// Draws every line's run at (x + X, y + Y) of its line: one path of all of them, filled once.
    void Draw(float x, float y, const std::shared_ptr<FillState>& fill);

private:
    std::shared_ptr<Font> font;
    float width;
    float lineHeight = 0;
    std::vector<TextLine> lines;
    std::vector<std::unique_ptr<TextRun>> runs;
    std::unique_ptr<DrawnText> drawn;  // as a run's
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
