#include "pipeline/DrawScratch.hpp"
#include "vudadive2r/Context2D.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "common/ColorBytes.hpp"
#include "common/FormatCodes.hpp"
#include "pipeline/DrawTarget.hpp"
#include "vudadive2r/Exceptions.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

// Clamps a half-open range [start, start + length) to [0, limit) without
// overflowing for any int arguments. Returns false when nothing is left.
bool ClipSpan(int start, int length, int limit, int& first, int& end) {
    if (length <= 0)
        return false;
    int64_t low = std::max<int64_t>(start, 0);
    int64_t high = std::min<int64_t>(int64_t(start) + length, limit);
    if (low >= high)
        return false;
    first = int(low);
    end = int(high);
    return true;
}

}  // namespace

Context2D::Context2D(orv_surface* surface)
    : surface(surface),
      transforms(nullptr),
      renderState(nullptr),
      clearColor{0, 0, 0, 0},
      glyphOrigin{0, 0} {
    if (!surface)
        throw ArgumentNullException();
    std::unique_ptr<Transforms> ownedTransforms(new Transforms());
    std::unique_ptr<RenderState> ownedRenderState(new RenderState());
    surfaceMemory = std::make_shared<SurfaceMemory>(surface);
    transforms = ownedTransforms.release();
    renderState = ownedRenderState.release();
}

Context2D::~Context2D() {
    delete transforms;
    delete renderState;
    surfaceMemory.reset();
}

Color Context2D::ClearColor() const { return clearColor; }
void Context2D::ClearColor(const Color& color) { clearColor = color; }
Float32x2 Context2D::GlyphOrigin() const { return glyphOrigin; }
void Context2D::SetGlyphOrigin(const Float32x2& origin) { glyphOrigin = origin; }

void Context2D::SetDefaultState() {
    clearColor = Color{0, 0, 0, 0};
    transforms->path->LoadIdentity();
    transforms->image->LoadIdentity();
    transforms->fillPaint->LoadIdentity();
    transforms->strokePaint->LoadIdentity();
    transforms->glyph->LoadIdentity();
    renderState->SetDefaults();
}

void Context2D::Clear() {
    ClearRectangle(0, 0, orv_surface_width_get(surface), orv_surface_height_get(surface));
}

void Context2D::ClearRectangle(const IntRectangle& rectangle) {
    ClearRectangle(rectangle.X, rectangle.Y, rectangle.Width, rectangle.Height);
}

void Context2D::ClearRectangle(int x, int y, int width, int height) {
    const DrawTarget target(*this);
    const int32_t format = target.Format();

    int bytesPerPixel;
    unsigned char pixel[4];
    const uint8_t r = ColorComponentToByte(clearColor.R);
    const uint8_t g = ColorComponentToByte(clearColor.G);
    const uint8_t b = ColorComponentToByte(clearColor.B);
    const uint8_t a = ColorComponentToByte(clearColor.A);
    if (format == FormatCode::AB24 || format == FormatCode::RA24) {
        bytesPerPixel = 4;
        pixel[0] = r;
        pixel[1] = g;
        pixel[2] = b;
        pixel[3] = a;
    } else if (format == FormatCode::RG16) {
        bytesPerPixel = 2;
        const uint16_t packed = uint16_t(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3));
        std::memcpy(pixel, &packed, sizeof packed);
    } else {
        throw InvalidOperationException();
    }

    int firstColumn, endColumn, firstRow, endRow;
    if (!target.Pixels() || !ClipSpan(x, width, target.Width(), firstColumn, endColumn) ||
        !ClipSpan(y, height, target.Height(), firstRow, endRow))
        return;

    // The first row's span is filled by doubling the pixels already written,
    // every other row is a copy of it: the same bytes as writing each pixel.
    const size_t spanBytes = size_t(endColumn - firstColumn) * size_t(bytesPerPixel);
    unsigned char* firstSpan = nullptr;
    for (int row = firstRow; row < endRow; ++row) {
        unsigned char* span = target.SurfaceRow(row) + ptrdiff_t(firstColumn) * bytesPerPixel;
        if (firstSpan) {
            std::memcpy(span, firstSpan, spanBytes);
            continue;
        }
        std::memcpy(span, pixel, size_t(bytesPerPixel));
        for (size_t filled = size_t(bytesPerPixel); filled < spanBytes; filled *= 2)
            std::memcpy(span + filled, span, std::min(filled, spanBytes - filled));
        firstSpan = span;
    }
}

void Context2D::CopyRectangle(int, int, int, int, int, int) { throw NotImplementedException(); }

void Context2D::Finish() { surfaceMemory->Flush(); }

}  // namespace Vudadive2R
}  // namespace ORV
