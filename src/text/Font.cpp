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
#include "common/FormatCodes.hpp"
#include "common/RowAddress.hpp"
#include "text/FreeTypeLibrary.hpp"
#include "text/GlyphBlend.hpp"
#include "text/GlyphCoverage.hpp"
#include "text/TextConversions.hpp"
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

// Loads each byte of the text under the matrix and hands the slot to
// `visit`, which returns the window of the glyph's bitmap it needs (empty for
// none); the needed part is then rendered and passed to `draw`, and `advance`
// is called for every character that loads and renders. A character that
// fails to load or render is skipped: no drawing, no advance.
template <class Visit, class Draw, class Advance>
void ForEachGlyph(FT_Face face, FT_Matrix matrix, const char* text, Visit visit, Draw draw, Advance advance) {
    std::vector<unsigned char> strip;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
        FT_Set_Transform(face, &matrix, nullptr);
        if (FT_Load_Char(face, *c, FT_LOAD_DEFAULT) != 0)
            continue;
        FT_GlyphSlot slot = face->glyph;
        // An outline glyph is placed before it is rendered; any other kind
        // only once rendered.
        const bool outline = slot->format == FT_GLYPH_FORMAT_OUTLINE;
        if (outline ? RenderRefused(slot) : FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
            continue;
        const GlyphWindow window = visit(slot);
        if (!window.Empty() && outline &&
            uint64_t(slot->bitmap.width) * slot->bitmap.rows > kWholeGlyphPixels) {
            const unsigned stripRows = unsigned(std::max<uint64_t>(
                1, kWholeGlyphPixels / (window.columnEnd - window.columnBegin)));
            for (unsigned row = window.rowBegin; row < window.rowEnd; row += stripRows) {
                GlyphWindow part = window;
                part.rowBegin = row;
                part.rowEnd = unsigned(std::min<uint64_t>(window.rowEnd, uint64_t(row) + stripRows));
                FT_Bitmap coverage;
                if (!RenderWindow(slot, part, strip, coverage))
                    break;
                draw(slot, GlyphPiece{coverage, part.rowBegin, part.columnBegin}, part);
            }
        } else if (!window.Empty()) {
            if (outline && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
                continue;
            draw(slot, GlyphPiece{slot->bitmap, 0, 0}, window);
        }
        advance(slot);
    }
}

}  // namespace

Font::Font(const std::shared_ptr<Context2D>& context, const char* filename, int size)
    : context(context), fileName(NameCopy(filename)), size(size), face(nullptr) {
    if (!context)
        throw ArgumentNullException();
    FT_Face opened = OpenFontFace(fileName.c_str());
    face = opened;
    // The 26.6 size wraps as a 32-bit integer would; FreeType raises sizes
    // under one pixel to one and refuses those it cannot scale to. Its
    // verdict is not needed: a refused size leaves glyphs that draw nothing.
    const int32_t size26Dot6 = int32_t(uint32_t(size) * 64u);
    FT_Set_Char_Size(opened, size26Dot6, 0, 72, 0);
}

Font::~Font() { CloseFontFace(FaceOf(face)); }

float Font::Ascender() { return Pixels(FaceOf(face)->size->metrics.ascender); }
float Font::Descender() { return Pixels(FaceOf(face)->size->metrics.descender); }
float Font::Height() { return Ascender() - Descender(); }

float Font::MeasureString(const char* text) {
    if (!text)
        throw ArgumentNullException();
    const bool yDown = context->renderState->origin != Origin::BottomLeft;
    Float32x2 sum{0, 0};
    const auto nothing = [](FT_GlyphSlot) { return GlyphWindow{0, 0, 0, 0}; };
    const auto noDrawing = [](FT_GlyphSlot, const GlyphPiece&, const GlyphWindow&) {};
    ForEachGlyph(FaceOf(face), GlyphMatrix(context->transforms->glyph->Get(), yDown), text, nothing, noDrawing,
                 [&](FT_GlyphSlot slot) {
        sum.X = std::fmaf(float(slot->advance.x), 0.015625f, sum.X);
        sum.Y = std::fmaf(float(slot->advance.y), 0.015625f, sum.Y);
    });
    return sum.Length();
}

void Font::DrawString(int x, int y, const char* text, const Color& color) {
    if (!text)
        throw ArgumentNullException();
    Context2D& target = *context;
    if (orv_surface_format_get(target.surface) != uint32_t(FormatCode::AB24))
        throw InvalidOperationException();
    const TextColor ink{TruncatedColorByte(color.R), TruncatedColorByte(color.G), TruncatedColorByte(color.B),
                        TruncatedColorByte(color.A)};

    const std::shared_ptr<SurfaceMemory> memory = target.surfaceMemory;
    unsigned char* data = memory->Data();
    if (!data || ink.a == 0)
        return;
    const std::ptrdiff_t stride = memory->Stride();
    const int64_t width = orv_surface_width_get(target.surface);
    const int64_t height = orv_surface_height_get(target.surface);

    // The origin signs the stride as in the drawing pipeline, so a surface
    // whose own stride is negative is addressed within its memory too.
    const bool yDown = target.renderState->origin != Origin::BottomLeft;
    const std::ptrdiff_t signedStride = yDown ? stride : -stride;
    const int rowStep = yDown ? 1 : -1;

    const Matrix3 m = target.transforms->glyph->Get();
    Float32x2 pen = Matrix3::Transform(Float32x2{float(x), float(y)}, m);
    // Bitmap row i lands on surface row first + i x rowStep; column j on
    // trunc(left + j), computed in single precision.
    const auto firstRow = [&](FT_GlyphSlot slot) {
        const float top = float(slot->bitmap_top);
        return PixelFromFloat(yDown ? pen.Y - top : pen.Y + top);
    };
    const auto column = [&](FT_GlyphSlot slot, unsigned j) {
        return PixelFromFloat((float(slot->bitmap_left) + pen.X) + float(j));
    };

    const auto window = [&](FT_GlyphSlot slot) {
        const int64_t rows = slot->bitmap.rows, first = firstRow(slot);
        const int64_t rowLow = yDown ? -first : first - height + 1;
        const int64_t rowHigh = yDown ? height - first : first + 1;
        // Columns never fall as j grows, so the visible ones are found by
        // bisection.
        const auto firstColumnFrom = [&](int64_t bound) {
            unsigned low = 0, high = slot->bitmap.width;
            while (low < high) {
                const unsigned middle = low + (high - low) / 2;
                if (column(slot, middle) >= bound)
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

    const auto draw = [&](FT_GlyphSlot slot, const GlyphPiece& piece, const GlyphWindow& part) {
        const GlyphCoverage coverage(piece.coverage);
        const int64_t first = firstRow(slot);
        for (unsigned i = part.rowBegin; i < part.rowEnd && i - piece.firstRow < coverage.Rows(); ++i) {
            const unsigned char* source = coverage.Row(i - piece.firstRow);
            unsigned char* pixels = nullptr;
            for (unsigned j = part.columnBegin; j < part.columnEnd && j - piece.firstColumn < coverage.Width(); ++j) {
                const uint32_t c = coverage.At(source, j - piece.firstColumn);
                if (c == 0)
                    continue;
                const int64_t px = column(slot, j);
                if (px < 0 || px >= width)
                    continue;
                if (!pixels)
                    pixels = RowAddress(data, signedStride, std::ptrdiff_t(height),
                                        std::ptrdiff_t(first + int64_t(i) * rowStep));
                BlendGlyphPixel(pixels + px * 4, ink, c);
            }
        }
    };

    const auto advance = [&](FT_GlyphSlot slot) {
        // Whole pixels only; the vertical advance is in y-up glyph space.
        pen.X += float(slot->advance.x / 64);
        const float rise = float(slot->advance.y / 64);
        pen.Y = yDown ? pen.Y - rise : pen.Y + rise;
    };
    ForEachGlyph(FaceOf(face), GlyphMatrix(m, yDown), text, window, draw, advance);
}

}  // namespace Vudadive2R
}  // namespace ORV
