#include "text/ColorGlyphs.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "common/ColorBytes.hpp"
#include "common/FormatCodes.hpp"
#include "common/Internals.hpp"
#include "vudadive2r/Image.hpp"
#include "vudadive2r/ImagePaint.hpp"
#include "vudadive2r/Path.hpp"
#include "vudadive2r/Transforms.hpp"

namespace ORV {
namespace Vudadive2R {

// ---------------------------------------------------------------- sizing and loading

FT_Error SizeColorBitmapFace(FT_Face face, int size, FT_Error charSizeError) {
    if (charSizeError == 0 || !FT_HAS_COLOR(face) || FT_IS_SCALABLE(face) || face->num_fixed_sizes <= 0)
        return charSizeError;
    const int64_t wanted = int64_t(size) * 64;
    int best = 0;
    for (int i = 1; i < face->num_fixed_sizes; ++i) {
        const int64_t ppem = face->available_sizes[i].y_ppem, bestPpem = face->available_sizes[best].y_ppem;
        const int64_t distance = std::llabs(ppem - wanted), bestDistance = std::llabs(bestPpem - wanted);
        if (distance < bestDistance || (distance == bestDistance && ppem > bestPpem))
            best = i;
    }
    return FT_Select_Size(face, best);
}

namespace {

// FreeType's BGRA is premultiplied; this is how the image paint reads such an
// "AR24" pixel (divided back as a saved surface is), done once per glyph.
void ReadPremultipliedBgra(const FT_Bitmap& bitmap, ColorGlyph& glyph) {
    glyph.pixels.resize(size_t(glyph.width) * size_t(glyph.rows) * 4);
    const int64_t pitch = bitmap.pitch;
    for (int row = 0; row < glyph.rows; ++row) {
        // A negative pitch puts the top row last in memory.
        const uint8_t* from = bitmap.buffer + (pitch < 0 ? int64_t(glyph.rows - 1 - row) * -pitch : row * pitch);
        StraightRgbaFromPremultipliedBgra(from, glyph.pixels.data() + size_t(row) * size_t(glyph.width) * 4, glyph.width,
                                          false);
    }
}

ColorGlyph LoadColorGlyph(FT_Face face, int size, unsigned index) {
    ColorGlyph glyph;
    if (FT_Load_Glyph(face, index, FT_LOAD_COLOR) != 0)
        return glyph;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Size_Metrics& metrics = face->size->metrics;
    if (slot->format != FT_GLYPH_FORMAT_BITMAP || slot->bitmap.pixel_mode != FT_PIXEL_MODE_BGRA ||
        metrics.x_ppem == 0 || metrics.y_ppem == 0)
        return glyph;
    glyph.color = true;
    glyph.width = int(std::min(slot->bitmap.width, 1u << 16));  // FreeType's own limit is far below
    glyph.rows = int(std::min(slot->bitmap.rows, 1u << 16));
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.scaleX = float(size) / float(metrics.x_ppem);
    glyph.scaleY = float(size) / float(metrics.y_ppem);
    if (glyph.width > 0 && glyph.rows > 0 && slot->bitmap.buffer)
        ReadPremultipliedBgra(slot->bitmap, glyph);
    else
        glyph.width = glyph.rows = 0;
    return glyph;
}

}  // namespace

const ColorGlyph& ColorGlyphs::Find(TextFaces& faces, int font, unsigned index) {
    static const ColorGlyph none;
    const FT_Face face = faces.FreeTypeFace(font);
    if (!face || !FT_HAS_COLOR(face))
        return none;
    const uint64_t key = uint64_t(unsigned(font)) << 32 | index;
    const auto found = glyphs.find(key);
    if (found != glyphs.end())
        return found->second;
    ColorGlyph glyph = LoadColorGlyph(face, faces.Size(), index);
    const size_t size = 64 + glyph.pixels.size();
    if (bytes + size > CacheBound) {
        glyphs.clear();
        bytes = 0;
    }
    bytes += size;
    return glyphs.emplace(key, std::move(glyph)).first->second;
}

// ---------------------------------------------------------------- questions

bool IsColorGlyph(TextFaces& faces, int font, unsigned index) {
    return faces.Colors().Find(faces, font, index).color;
}

bool ColorGlyphBox(TextFaces& faces, int font, unsigned index, FT_BBox& box) {
    const ColorGlyph& glyph = faces.Colors().Find(faces, font, index);
    if (!glyph.color || glyph.width == 0)
        return false;
    const double sx = double(glyph.scaleX) * 64, sy = double(glyph.scaleY) * 64;
    box.xMin = FT_Pos(std::floor(glyph.left * sx));
    box.xMax = FT_Pos(std::ceil((double(glyph.left) + glyph.width) * sx));
    box.yMin = FT_Pos(std::floor((double(glyph.top) - glyph.rows) * sy));
    box.yMax = FT_Pos(std::ceil(glyph.top * sy));
    return true;
}

// ---------------------------------------------------------------- drawing

namespace {

// The client's image transform, put back however the draw ends.
class ImageTransformKept {
public:
    explicit ImageTransformKept(Transform& transform) : transform(transform), kept(transform) {}
    ~ImageTransformKept() { transform = kept; }
    ImageTransformKept(const ImageTransformKept&) = delete;
    ImageTransformKept& operator=(const ImageTransformKept&) = delete;

private:
    Transform& transform;
    const Transform kept;
};

}  // namespace

void DrawColorGlyphs(const std::shared_ptr<Context2D>& context, TextFaces& faces, const std::vector<Glyph>& glyphs,
                     const std::vector<int64_t>& positions, double x, double y,
                     const std::shared_ptr<FillState>& fill) {
    // A fill that draws no outlines draws no emoji either.
    if (!fill || !Internals::PaintOf(*fill))
        return;
    std::unique_ptr<Path> box;  // made at the first colour glyph: most runs have none
    std::unique_ptr<ImageTransformKept> kept;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const ColorGlyph& glyph = faces.Colors().Find(faces, glyphs[i].Font, glyphs[i].Index);
        if (!glyph.color || glyph.width == 0)
            continue;
        if (!box) {
            box.reset(new Path(context));
            kept.reset(new ImageTransformKept(*context->transforms->image));
        }
        const double sx = glyph.scaleX, sy = glyph.scaleY;
        const float left = float(x + double(positions[2 * i]) / 64 + glyph.left * sx);
        const float top = float(y + double(positions[2 * i + 1]) / 64 - glyph.top * sy);
        PathBuilder rectangle;
        rectangle.Rectangle(left, top, float(glyph.width * sx), float(glyph.rows * sy));
        box->Clear();
        box->Append(&rectangle);
        Matrix3 placement = Matrix3::Identity;
        placement.M[0] = glyph.scaleX, placement.M[4] = glyph.scaleY, placement.M[6] = left, placement.M[7] = top;
        context->transforms->image->Set(placement);
        // The image borrows the kept pixels, which stay put until the next Find.
        const auto image = std::make_shared<Image>(context, FormatCode::RA24, glyph.width, glyph.rows,
                                                   glyph.width * 4, const_cast<uint8_t*>(glyph.pixels.data()));
        const auto state = std::make_shared<FillState>();
        state->Paint(std::make_shared<ImagePaint>(context, image));
        state->FillRule(FillRule::NonZero);
        box->Draw(state, nullptr);
    }
}

}  // namespace Vudadive2R
}  // namespace ORV
