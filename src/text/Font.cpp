#include "vudadive2r/Font.hpp"

#include <cmath>
#include <stdexcept>

#include <ft2build.h>
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

static_assert(sizeof(FT_Fixed) == sizeof(int64_t), "16.16 glyph matrix elements are 64-bit");

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
    matrix.xx = FT_Fixed(FixedFromFloat(m.M[0]));
    matrix.xy = FT_Fixed(FixedFromFloat(yDown ? -m.M[3] : m.M[3]));
    matrix.yx = FT_Fixed(FixedFromFloat(yDown ? -m.M[1] : m.M[1]));
    matrix.yy = FT_Fixed(FixedFromFloat(m.M[4]));
    return matrix;
}

// The pixels an outline glyph's bitmap would cover, relative to the pen (y
// up), a pixel wider on every side than FreeType makes it.
struct GlyphBox {
    double left, bottom, right, top;
};

// FreeType renders an outline whose bitmap lies within -32768 .. 32767
// pixels of the pen and refuses larger ones; a box within these bounds is
// surely rendered, so skipping its rendering changes no advance.
constexpr double kSurelyRenderedLow = -32768, kSurelyRenderedHigh = 32767;

// Renders each byte of the text under the matrix and hands the glyph slot to
// `visit`. A character that fails to load or render is skipped: no drawing,
// no advance. An outline glyph whose box `needed` turns down is not rendered
// (its bitmap is left empty): a glyph scaled thousands of times renders to
// a bitmap of hundreds of megabytes, whether or not it meets the surface.
template <class Needed, class Visit>
void ForEachGlyph(FT_Face face, FT_Matrix matrix, const char* text, Needed needed, Visit visit) {
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
        FT_Set_Transform(face, &matrix, nullptr);
        if (FT_Load_Char(face, *c, FT_LOAD_DEFAULT) != 0)
            continue;
        FT_GlyphSlot slot = face->glyph;
        bool render = true;
        if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
            FT_BBox control;
            FT_Outline_Get_CBox(&slot->outline, &control);
            const GlyphBox box{std::floor(control.xMin / 64.0) - 1, std::floor(control.yMin / 64.0) - 1,
                               std::ceil(control.xMax / 64.0) + 1, std::ceil(control.yMax / 64.0) + 1};
            const bool surelyRendered = box.left >= kSurelyRenderedLow && box.bottom >= kSurelyRenderedLow &&
                                        box.right <= kSurelyRenderedHigh && box.top <= kSurelyRenderedHigh;
            render = !surelyRendered || needed(box);
        }
        if (render) {
            if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
                continue;
        } else {
            slot->bitmap.rows = 0;
            slot->bitmap.width = 0;
            slot->bitmap.buffer = nullptr;
        }
        visit(slot);
    }
}

// True when pixels `low` to `high` of one axis, placed by float additions
// to the pen coordinate, may meet 0 .. extent - 1.
bool MayMeet(double low, double high, int64_t extent) {
    const double slack = 2 + std::fabs(low) * 1e-6 + std::fabs(high) * 1e-6;
    return high + slack >= 0 && low - slack < double(extent);
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
    const auto advancesOnly = [](const GlyphBox&) { return false; };
    ForEachGlyph(FaceOf(face), GlyphMatrix(context->transforms->glyph->Get(), yDown), text, advancesOnly,
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
    const auto meetsSurface = [&](const GlyphBox& box) {
        const double columnLow = double(pen.X) + box.left, columnHigh = double(pen.X) + box.right;
        const double rowLow = yDown ? double(pen.Y) - box.top : double(pen.Y) + box.bottom;
        const double rowHigh = yDown ? double(pen.Y) - box.bottom : double(pen.Y) + box.top;
        return MayMeet(columnLow, columnHigh, width) && MayMeet(rowLow, rowHigh, height);
    };
    ForEachGlyph(FaceOf(face), GlyphMatrix(m, yDown), text, meetsSurface, [&](FT_GlyphSlot slot) {
        const GlyphCoverage coverage(slot->bitmap);
        const float left = float(slot->bitmap_left) + pen.X;
        const float top = float(slot->bitmap_top);
        int64_t row = PixelFromFloat(yDown ? pen.Y - top : pen.Y + top);
        for (unsigned i = 0; i < coverage.Rows(); ++i, row += rowStep) {
            if (row < 0 || row >= height)
                continue;
            const unsigned char* source = coverage.Row(i);
            unsigned char* pixels = nullptr;
            for (unsigned j = 0; j < coverage.Width(); ++j) {
                const uint32_t c = coverage.At(source, j);
                if (c == 0)
                    continue;
                const int64_t column = PixelFromFloat(left + float(j));
                if (column < 0 || column >= width)
                    continue;
                if (!pixels)
                    pixels = RowAddress(data, signedStride, std::ptrdiff_t(height), std::ptrdiff_t(row));
                BlendGlyphPixel(pixels + column * 4, ink, c);
            }
        }
        // Whole pixels only; the vertical advance is in y-up glyph space.
        pen.X += float(slot->advance.x / 64);
        const float rise = float(slot->advance.y / 64);
        pen.Y = yDown ? pen.Y - rise : pen.Y + rise;
    });
}

}  // namespace Vudadive2R
}  // namespace ORV
