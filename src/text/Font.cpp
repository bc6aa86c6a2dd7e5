#include "vudadive2r/Font.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>
#include <stdexcept>

#include <ft2build.h>
#include FT_BITMAP_H
#include FT_OUTLINE_H

#include "common/ColorBytes.hpp"
#include "text/FontMatch.hpp"
#include "pipeline/DrawTarget.hpp"
#include "text/FreeTypeLibrary.hpp"
#include "text/GlyphBlend.hpp"
#include "text/GlyphCache.hpp"
#include "text/GlyphCoverage.hpp"
#include "text/TextConversions.hpp"
#include "text/Utf8.hpp"
#include "vudadive2r/Exceptions.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

// FreeType's 16.16 elements are longs: 64 bits where longs are (x86-64,
// arm64), so the converted value passes unchanged; 32 bits on armhf, where
// an element of 32768 or more saturates instead of wrapping round to a
// small or negative scale.
FT_Fixed MatrixElement(float value) {
    return FT_Fixed(std::clamp<int64_t>(FixedFromFloat(value), std::numeric_limits<FT_Fixed>::min(),
                                        std::numeric_limits<FT_Fixed>::max()));
}

FT_Face FaceOf(void* face) { return static_cast<FT_Face>(face); }

std::string NameCopy(const char* fileName) {
    if (!fileName)
        throw std::logic_error("Font: null file name");
    return fileName;
}

// 26.6 fixed point to pixels.
float Pixels(FT_Pos value) { return float(value) * 0.015625f; }

// FreeType's glyph space has y running up. Where the surface's y runs down
// (Origin::TopLeft) the matrix is conjugated by that flip, so that rotated
// and sheared glyphs turn the same way as their baseline; diagonal matrices
// are unchanged by it.
FT_Matrix GlyphMatrix(const Matrix3& m, bool yDown) {
    FT_Matrix matrix;
    matrix.xx = MatrixElement(m.M[0]);
    matrix.xy = MatrixElement(yDown ? -m.M[3] : m.M[3]);
    matrix.yx = MatrixElement(yDown ? -m.M[1] : m.M[1]);
    matrix.yy = MatrixElement(m.M[4]);
    return matrix;
}

// FreeType places an outline glyph's bitmap while loading it; rendering
// fails when that box leaves -32768 .. 32767 pixels around the pen, and the
// character is then skipped, advance and all.
bool RenderRefused(const FT_GlyphSlot slot) {
    const int64_t left = slot->bitmap_left, top = slot->bitmap_top;
    return left < -0x8000 || left + int64_t(slot->bitmap.width) > 0x7FFF ||
           top - int64_t(slot->bitmap.rows) < -0x8000 || top > 0x7FFF;
}

// A bitmap of at most this many pixels is rendered whole by FreeType (a
// 2048 x 2048 glyph). A larger one is rendered only where it meets the
// surface, in strips of at most this many bytes: a glyph stretched to
// 60 000 pixels square would otherwise take gigabytes and seconds, however
// little of it shows. FreeType's rasterizer is not exactly translation- and
// clip-invariant (a line wholly outside its clip leaves the next line's
// first piece in the previous cell), so a clipped strip may differ from the
// whole rendering by a few coverage levels; at this size that is within
// FreeType's own variation between its internal bands.
constexpr uint64_t kWholeGlyphPixels = uint64_t(1) << 22;

// FreeType renders a bitmap in bands of a few rows and walks each straight
// edge that crosses a band from end to end, so its time grows with the
// square of the height: 90 ms for a sliver 2 pixels wide and 36 000 rows
// tall. A bitmap taller than this (twice the tallest surface drawn on) is
// rendered only where it meets the surface too, at a cost that grows with
// the rows rendered; text that tall and that thin takes a transform far
// from a font's proportions.
constexpr uint64_t kWholeGlyphRows = 8192;

// Whether an outline glyph's bitmap of this size is rendered whole (and may
// be kept) rather than where it meets the surface.
bool RendersWhole(uint64_t width, uint64_t rows) {
    return width * rows <= kWholeGlyphPixels && rows <= kWholeGlyphRows;
}

// Rows `firstRow` .. and columns `firstColumn` .. of the bitmap FreeType
// places at the slot's bitmap_left and bitmap_top, covering `coverage`.
struct GlyphPiece {
    const FT_Bitmap& coverage;
    unsigned firstRow, firstColumn;
};

// The part [rowBegin, rowEnd) x [columnBegin, columnEnd) of a glyph's bitmap
// that can reach the surface.
struct GlyphWindow {
    unsigned rowBegin, rowEnd, columnBegin, columnEnd;
    bool Empty() const { return rowBegin >= rowEnd || columnBegin >= columnEnd; }
    uint64_t Pixels() const { return uint64_t(rowEnd - rowBegin) * (columnEnd - columnBegin); }
};

// Renders rows [rowBegin, rowEnd) and columns [columnBegin, columnEnd) of the
// slot's outline glyph into `buffer`, translated by whole pixels so that the
// window's corner is FreeType's bitmap origin.
bool RenderWindow(FT_GlyphSlot slot, const GlyphWindow& window, std::vector<unsigned char>& buffer,
                  FT_Bitmap& target) {
    const unsigned width = window.columnEnd - window.columnBegin, rows = window.rowEnd - window.rowBegin;
    buffer.assign(size_t(width) * rows, 0);
    FT_Bitmap_Init(&target);
    target.width = width;
    target.rows = rows;
    target.pitch = int(width);
    target.buffer = buffer.data();
    target.pixel_mode = FT_PIXEL_MODE_GRAY;
    target.num_grays = 256;
    const FT_Pos dx = -64 * (FT_Pos(slot->bitmap_left) + window.columnBegin);
    const FT_Pos dy = -64 * (FT_Pos(slot->bitmap_top) - window.rowEnd);
    FT_Outline_Translate(&slot->outline, dx, dy);
    const FT_Error error = FT_Outline_Get_Bitmap(slot->library, &slot->outline, &target);
    FT_Outline_Translate(&slot->outline, -dx, -dy);
    return error == 0;
}

// ---------------------------------------------------------------- glyph loops, anew and cached

// Sets the matrix and loads the character; an outline glyph must also fit
// FreeType's box and any other kind render. False: the character is skipped.
bool LoadGlyph(FT_Face face, FT_Matrix matrix, char32_t code) {
    FT_Set_Transform(face, &matrix, nullptr);
    if (FT_Load_Char(face, code, FT_LOAD_DEFAULT) != 0)
        return false;
    const FT_GlyphSlot slot = face->glyph;
    // An outline glyph is placed before it is rendered; any other kind
    // only once rendered.
    return slot->format == FT_GLYPH_FORMAT_OUTLINE ? !RenderRefused(slot)
                                                   : FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0;
}

// The loaded glyph's advance and bitmap box. A rendered bitmap in a pixel
// mode that has no coverage here has no rows either.
CachedGlyph PlacementOf(const FT_GlyphSlot slot) {
    CachedGlyph glyph;
    glyph.loads = true;
    glyph.outline = slot->format == FT_GLYPH_FORMAT_OUTLINE;
    glyph.advanceX = slot->advance.x;
    glyph.advanceY = slot->advance.y;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = slot->bitmap.width;
    glyph.rows = glyph.outline || GlyphCoverage(slot->bitmap).Rows() ? slot->bitmap.rows : 0;
    return glyph;
}

// The rendered bitmap as one byte per pixel, rows packed.
std::unique_ptr<uint8_t[]> CoverageCopy(const FT_Bitmap& bitmap) {
    const GlyphCoverage coverage(bitmap);
    std::unique_ptr<uint8_t[]> copy(new uint8_t[size_t(coverage.Width()) * coverage.Rows()]);
    uint8_t* target = copy.get();
    for (unsigned i = 0; i < coverage.Rows(); ++i) {
        const unsigned char* row = coverage.Row(i);
        for (unsigned j = 0; j < coverage.Width(); ++j)
            *target++ = coverage.At(row, j);
    }
    return copy;
}

FT_Bitmap BitmapOf(const CachedGlyph& glyph) {
    FT_Bitmap bitmap;
    FT_Bitmap_Init(&bitmap);
    bitmap.rows = glyph.rows;
    bitmap.width = glyph.width;
    bitmap.pitch = int(glyph.width);
    bitmap.buffer = glyph.coverage.get();
    bitmap.pixel_mode = FT_PIXEL_MODE_GRAY;
    bitmap.num_grays = 256;
    return bitmap;
}

// Renders the part `window` of the glyph loaded in the slot and hands it to
// `draw`: whole, or in strips when the bitmap is too large to render whole.
// False when FreeType cannot render it whole: the character is then skipped.
template <class Draw>
bool DrawLoaded(FT_GlyphSlot slot, const GlyphWindow& window, std::vector<unsigned char>& strip, Draw draw) {
    const bool outline = slot->format == FT_GLYPH_FORMAT_OUTLINE;
    if (outline && !RendersWhole(slot->bitmap.width, slot->bitmap.rows)) {
        const CachedGlyph placement = PlacementOf(slot);
        const unsigned stripRows =
            unsigned(std::max<uint64_t>(1, kWholeGlyphPixels / (window.columnEnd - window.columnBegin)));
        for (unsigned row = window.rowBegin; row < window.rowEnd; row += stripRows) {
            GlyphWindow part = window;
            part.rowBegin = row;
            part.rowEnd = unsigned(std::min<uint64_t>(window.rowEnd, uint64_t(row) + stripRows));
            FT_Bitmap coverage;
            if (!RenderWindow(slot, part, strip, coverage))
                break;
            draw(placement, GlyphPiece{coverage, part.rowBegin, part.columnBegin}, part);
        }
        return true;
    }
    if (outline && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
        return false;
    draw(PlacementOf(slot), GlyphPiece{slot->bitmap, 0, 0}, window);
    return true;
}

// Loads each character of the text under the matrix and hands its placement
// to `visit`, which returns the window of the glyph's bitmap it needs (empty
// for none); the needed part is then rendered and passed to `draw`, and
// `advance` is called for every character that loads and renders. A
// character that fails to load or render is skipped: no drawing, no advance.
template <class Visit, class Draw, class Advance>
void ForEachGlyph(FT_Face face, FT_Matrix matrix, CodePointReader& text, Visit visit, Draw draw, Advance advance) {
    std::vector<unsigned char> strip;
    for (char32_t code; text.Next(code);) {
        if (!LoadGlyph(face, matrix, code))
            continue;
        const CachedGlyph placement = PlacementOf(face->glyph);
        const GlyphWindow window = visit(placement);
        if (!window.Empty() && !DrawLoaded(face->glyph, window, strip, draw))
            continue;
        advance(placement);
    }
}

// ForEachGlyph through the font's cache: a glyph seen before under the same
// matrix is neither loaded nor rendered again. Loading and rendering are
// deterministic, so what the cache keeps (whether a character loads, its
// advance and box, its coverage) is what they would give anew. Bitmaps too
// large to keep are rendered anew each time they are drawn.
template <class Visit, class Draw, class Advance>
void ForEachCachedGlyph(FT_Face face, GlyphCache& cache, FT_Matrix matrix, CodePointReader& text, Visit visit,
                        Draw draw, Advance advance) {
    const GlyphCache::Matrix key{matrix.xx, matrix.xy, matrix.yx, matrix.yy};
    GlyphCache::Strike* strike = cache.StrikeOf(key);
    std::vector<unsigned char> strip;
    for (char32_t code; text.Next(code);) {
        CachedGlyph* glyph = cache.Find(strike, code);
        bool loaded = false;
        if (!glyph) {
            loaded = LoadGlyph(face, matrix, code);
            glyph = &cache.Add(strike, key, code, loaded ? PlacementOf(face->glyph) : CachedGlyph());
            // Any glyph but an outline is rendered by loading.
            if (loaded && !glyph->outline && cache.KeepsCoverage(glyph->CoverageBytes()))
                cache.AddCoverage(*glyph, CoverageCopy(face->glyph->bitmap));
        }
        if (!glyph->loads)
            continue;
        const GlyphWindow window = visit(*glyph);
        if (!window.Empty()) {
            if (glyph->renderFails)
                continue;
            if (!glyph->rendered && cache.KeepsCoverage(glyph->CoverageBytes()) &&
                RendersWhole(glyph->width, glyph->rows)) {
                if (!loaded)
                    loaded = LoadGlyph(face, matrix, code);
                if (!loaded || FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) {
                    glyph->renderFails = true;
                    continue;
                }
                // The box as rendered, as when drawing anew.
                const CachedGlyph rendered = PlacementOf(face->glyph);
                glyph->left = rendered.left, glyph->top = rendered.top;
                glyph->width = rendered.width, glyph->rows = rendered.rows;
                cache.AddCoverage(*glyph, CoverageCopy(face->glyph->bitmap));
            }
            if (glyph->rendered) {
                const FT_Bitmap bitmap = BitmapOf(*glyph);
                draw(*glyph, GlyphPiece{bitmap, 0, 0}, window);
            } else if (!(loaded || LoadGlyph(face, matrix, code)) || !DrawLoaded(face->glyph, window, strip, draw)) {
                continue;
            }
        }
        advance(*glyph);
    }
}

// Through the cache when the font has one, else every glyph anew.
template <class Visit, class Draw, class Advance>
void ForEachGlyphOf(FT_Face face, GlyphCache* cache, FT_Matrix matrix, CodePointReader& text, Visit visit,
                    Draw draw, Advance advance) {
    if (cache)
        ForEachCachedGlyph(face, *cache, matrix, text, visit, draw, advance);
    else
        ForEachGlyph(face, matrix, text, visit, draw, advance);
}

}  // namespace

// ---------------------------------------------------------------- Font

Font::Font(const std::shared_ptr<Context2D>& context, const char* filename, int size)
    : context(context), fileName(NameCopy(filename)), size(size), face(nullptr),
      glyphCache(new GlyphCache(GlyphCacheBound)) {
    Open();
}

Font::Font(const std::shared_ptr<Context2D>& context, FontName name, int size)
    : context(context), size(size), face(nullptr), glyphCache(new GlyphCache(GlyphCacheBound)) {
    if (!context)
        throw ArgumentNullException();
    const FontMatch match = MatchFont(name.pattern);
    pattern = name.pattern;
    fileName = match.file;
    faceIndex = match.index;
    Open();
}

void Font::Open() {
    if (!context)
        throw ArgumentNullException();
    // FreeType would raise a size under one pixel to one, and a size whose
    // 26.6 value wraps would come out as some other size: a font that
    // measures and draws what nobody asked for. Both are refused, as is a
    // size FreeType cannot scale to.
    if (size < 1 || size > std::numeric_limits<int32_t>::max() / 64)
        throw ArgumentOutOfRangeException("The font size must be from 1 to 33554431 pixels.");
    FT_Face opened = OpenFontFace(fileName.c_str(), faceIndex);
    if (FT_Set_Char_Size(opened, FT_F26Dot6(size) * 64, 0, 72, 0) != 0) {
        CloseFontFace(opened);
        throw ArgumentOutOfRangeException("FT_Set_Char_Size failed.");
    }
    face = opened;
}

Font::~Font() { CloseFontFace(FaceOf(face)); }

float Font::Ascender() { return Pixels(FaceOf(face)->size->metrics.ascender); }
float Font::Descender() { return Pixels(FaceOf(face)->size->metrics.descender); }
float Font::Height() { return Ascender() - Descender(); }

float Font::MeasureString(const char* text) {
    if (!text)
        throw ArgumentNullException();
    return MeasureCodePoints(CodePointReader(text, CodePointReader::Encoding::SingleByte));
}

float Font::MeasureStringUtf8(const char* text) {
    if (!text)
        throw ArgumentNullException();
    return MeasureCodePoints(CodePointReader(text, CodePointReader::Encoding::Utf8));
}

void Font::DrawString(int x, int y, const char* text, const Color& color) {
    if (!text)
        throw ArgumentNullException();
    DrawCodePoints(x, y, CodePointReader(text, CodePointReader::Encoding::SingleByte), color);
}

void Font::DrawStringUtf8(int x, int y, const char* text, const Color& color) {
    if (!text)
        throw ArgumentNullException();
    DrawCodePoints(x, y, CodePointReader(text, CodePointReader::Encoding::Utf8), color);
}

float Font::MeasureCodePoints(CodePointReader text) {
    const bool yDown = context->renderState->origin != Origin::BottomLeft;
    Float32x2 sum{0, 0};
    const auto nothing = [](const CachedGlyph&) { return GlyphWindow{0, 0, 0, 0}; };
    const auto noDrawing = [](const CachedGlyph&, const GlyphPiece&, const GlyphWindow&) {};
    ForEachGlyphOf(FaceOf(face), glyphCache.get(), GlyphMatrix(context->transforms->glyph->Get(), yDown), text,
                   nothing, noDrawing, [&](const CachedGlyph& glyph) {
        sum.X = std::fmaf(float(glyph.advanceX), 0.015625f, sum.X);
        sum.Y = std::fmaf(float(glyph.advanceY), 0.015625f, sum.Y);
    });
    return sum.Length();
}

void Font::DrawCodePoints(int x, int y, CodePointReader text, const Color& color) {
    DrawTarget::RequireCompositable(*context);
    TextColor ink{TruncatedColorByte(color.R), TruncatedColorByte(color.G), TruncatedColorByte(color.B),
                        TruncatedColorByte(color.A)};

    const DrawTarget target(*context);
    if (!target.Pixels() || ink.a == 0)
        return;
    // Other layouts: the ink in the pixels' order, the pixels staged as four
    // bytes around each blend (PixelLayout.hpp).
    const PixelLayout layout = target.Layout();
    const int64_t pixelBytes = BytesPerPixel(layout);
    const bool inPlace = ComposesInPlace(layout);
    if (SwapsRedAndBlue(layout))
        std::swap(ink.r, ink.b);
    std::vector<uint8_t> staging(inPlace ? 0 : 4 * std::size_t(target.Width()));
    const int64_t width = target.Width();
    const int64_t height = target.Height();

    const bool yDown = context->renderState->origin != Origin::BottomLeft;
    const int rowStep = yDown ? 1 : -1;

    const Matrix3 m = context->transforms->glyph->Get();
    Float32x2 pen = Matrix3::Transform(Float32x2{float(x), float(y)}, m);
    // Bitmap row i lands on surface row first + i x rowStep; column j on
    // trunc(left + j), computed in single precision.
    const auto firstRow = [&](const CachedGlyph& glyph) {
        const float top = float(glyph.top);
        return PixelFromFloat(yDown ? pen.Y - top : pen.Y + top);
    };
    const auto column = [&](const CachedGlyph& glyph, unsigned j) {
        return PixelFromFloat((float(glyph.left) + pen.X) + float(j));
    };

    const auto window = [&](const CachedGlyph& glyph) {
        const int64_t rows = glyph.rows, first = firstRow(glyph);
        const int64_t rowLow = yDown ? -first : first - height + 1;
        const int64_t rowHigh = yDown ? height - first : first + 1;
        // Columns never fall as j grows, so the visible ones are found by
        // bisection.
        const auto firstColumnFrom = [&](int64_t bound) {
            unsigned low = 0, high = glyph.width;
            while (low < high) {
                const unsigned middle = low + (high - low) / 2;
                if (column(glyph, middle) >= bound)
                    high = middle;
                else
                    low = middle + 1;
            }
            return low;
        };
        return GlyphWindow{unsigned(std::clamp<int64_t>(rowLow, 0, rows)),
                           unsigned(std::clamp<int64_t>(rowHigh, 0, rows)), firstColumnFrom(0),
                           firstColumnFrom(width)};
    };

    const auto draw = [&](const CachedGlyph& glyph, const GlyphPiece& piece, const GlyphWindow& part) {
        const GlyphCoverage coverage(piece.coverage);
        const int64_t first = firstRow(glyph);
        // Where single-precision columns step by exactly one pixel, the
        // window's columns (all on the surface) are one run per row.
        const unsigned columnEnd = std::min(part.columnEnd, piece.firstColumn + coverage.Width());
        const int64_t runStart = column(glyph, part.columnBegin);
        bool run = coverage.Bytes();
        for (unsigned j = part.columnBegin + 1; run && j < columnEnd; ++j)
            run = column(glyph, j) == runStart + (j - part.columnBegin);
        for (unsigned i = part.rowBegin; i < part.rowEnd && i - piece.firstRow < coverage.Rows(); ++i) {
            const unsigned char* source = coverage.Row(i - piece.firstRow);
            if (run) {
                if (part.columnBegin < columnEnd) {
                    uint8_t* pixels = target.DrawingRow(int(first + int64_t(i) * rowStep)) + runStart * pixelBytes;
                    const uint8_t* covers = source + (part.columnBegin - piece.firstColumn);
                    const unsigned count = columnEnd - part.columnBegin;
                    if (inPlace)
                        BlendGlyphRow(pixels, covers, count, ink);
                    else
                        ComposeStaged(layout, pixels, count, covers, 0, staging.data(),
                                      [&](uint8_t* four) { BlendGlyphRow(four, covers, count, ink); });
                }
                continue;
            }
            unsigned char* pixels = nullptr;
            for (unsigned j = part.columnBegin; j < part.columnEnd && j - piece.firstColumn < coverage.Width(); ++j) {
                const uint32_t c = coverage.At(source, j - piece.firstColumn);
                if (c == 0)
                    continue;
                const int64_t px = column(glyph, j);
                if (px < 0 || px >= width)
                    continue;
                if (!pixels)
                    pixels = target.DrawingRow(int(first + int64_t(i) * rowStep));
                if (inPlace)
                    BlendGlyphPixel(pixels + px * 4, ink, c);
                else
                    ComposeStaged(layout, pixels + px * pixelBytes, 1, nullptr, uint8_t(c), staging.data(),
                                  [&](uint8_t* four) { BlendGlyphPixel(four, ink, c); });
            }
        }
    };

    const auto advance = [&](const CachedGlyph& glyph) {
        // Whole pixels only; the vertical advance is in y-up glyph space.
        pen.X += float(glyph.advanceX / 64);
        const float rise = float(glyph.advanceY / 64);
        pen.Y = yDown ? pen.Y - rise : pen.Y + rise;
    };
    ForEachGlyphOf(FaceOf(face), glyphCache.get(), GlyphMatrix(m, yDown), text, window, draw, advance);
}

}  // namespace Vudadive2R
}  // namespace ORV
