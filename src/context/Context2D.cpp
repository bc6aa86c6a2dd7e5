#include "pipeline/DrawScratch.hpp"
#include "vudadive2r/Context2D.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "common/ColorBytes.hpp"
#include "common/FormatCodes.hpp"
#include "common/Internals.hpp"
#include "context/DrawingStack.hpp"
#include "pipeline/DrawTarget.hpp"
#include "pipeline/LayerComposition.hpp"
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

int Context2D::Threads() const { return drawScratch ? drawScratch->threads : 1; }
void Context2D::SetThreads(int count) {
    if (count < 1 || count > DrawScratch::MostThreads)
        throw ArgumentOutOfRangeException("The thread count must be from 1 to 64.");
    if (!drawScratch)
        drawScratch.reset(new DrawScratch());
    drawScratch->threads = count;
}

void Context2D::SetDefaultState() {
    clearColor = Color{0, 0, 0, 0};
    transforms->path->LoadIdentity();
    transforms->image->LoadIdentity();
    transforms->fillPaint->LoadIdentity();
    transforms->strokePaint->LoadIdentity();
    transforms->glyph->LoadIdentity();
    renderState->SetDefaults();
    ClipReset();
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
    if (format == FormatCode::AB24 || format == FormatCode::RA24 || format == FormatCode::XB24) {
        bytesPerPixel = 4;
        pixel[0] = r;
        pixel[1] = g;
        pixel[2] = b;
        pixel[3] = format == FormatCode::XB24 ? 255 : a;
    } else if (format == FormatCode::AR24 || format == FormatCode::XR24) {
        bytesPerPixel = 4;
        pixel[0] = b;
        pixel[1] = g;
        pixel[2] = r;
        pixel[3] = format == FormatCode::XR24 ? 255 : a;
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

// ---------------------------------------------------------------- saved states, clip, layers

SavedState::SavedState(const Context2D& context)
    : path(*context.transforms->path),
      image(*context.transforms->image),
      fillPaint(*context.transforms->fillPaint),
      strokePaint(*context.transforms->strokePaint),
      glyph(*context.transforms->glyph),
      renderState(*context.renderState) {
    const DrawingStack* stack = Internals::DrawingStackOf(context);
    if (stack)
        clip = stack->clip;
}

void SavedState::RestoreInto(Context2D& context) const {
    *context.transforms->path = path;
    *context.transforms->image = image;
    *context.transforms->fillPaint = fillPaint;
    *context.transforms->strokePaint = strokePaint;
    *context.transforms->glyph = glyph;
    *context.renderState = renderState;
    Internals::DrawingStackOf(context)->clip = clip;
}

namespace {

DrawingStack& StackOf(Context2D& context) {
    std::unique_ptr<DrawingStack>& stack = Internals::DrawingStackOf(context);
    if (!stack)
        stack.reset(new DrawingStack());
    return *stack;
}

}  // namespace

void Context2D::Save() {
    DrawingStack& stack = StackOf(*this);
    if (stack.saved.size() >= DrawingStack::MostSaved)
        throw InvalidOperationException("Too many saved states (4096).");
    stack.saved.push_back(std::unique_ptr<SavedState>(new SavedState(*this)));
}

void Context2D::Restore() {
    DrawingStack* stack = drawingStack.get();
    if (!stack || stack->saved.empty())
        throw InvalidOperationException("Restore without a saved state.");
    if (stack->saved.back()->layer)
        throw InvalidOperationException("The last saved state is a layer's: PopLayer ends it.");
    stack->saved.back()->RestoreInto(*this);
    stack->saved.pop_back();
}

void Context2D::ClipReset() {
    if (drawingStack)
        drawingStack->clip.reset();
}

void Context2D::PushLayer(float opacity, BlendMode blendMode) {
    const unsigned operation = CompositingOperationOf(blendMode).aggOperation;
    DrawTarget::RequireCompositable(*this);
    DrawingStack& stack = StackOf(*this);
    if (stack.saved.size() >= DrawingStack::MostSaved || stack.layers >= DrawingStack::MostLayers)
        throw InvalidOperationException("Too many open layers (32) or saved states (4096).");
    const DrawTarget target(*this);
    const float clamped = opacity >= 0 ? (opacity <= 1 ? opacity : 1.0f) : 0.0f;  // NaN gives 0
    std::unique_ptr<SavedState> state(new SavedState(*this));
    state->layer.reset(new Layer(target.Pixels() ? target.Width() : 0, target.Pixels() ? target.Height() : 0,
                                 ColorComponentToByte(clamped), operation));
    stack.saved.push_back(std::move(state));
    ++stack.layers;
}

void Context2D::PopLayer() {
    DrawingStack* stack = drawingStack.get();
    if (!stack || stack->saved.empty() || !stack->saved.back()->layer)
        throw InvalidOperationException("PopLayer without an open layer.");
    // The state saved at the push comes back first: the layer goes onto
    // what lies below through the clip and scissor boxes of its push.
    std::unique_ptr<SavedState> state = std::move(stack->saved.back());
    stack->saved.pop_back();
    --stack->layers;
    state->RestoreInto(*this);
    CompositeLayer(DrawTarget(*this), *state->layer);
}

}  // namespace Vudadive2R
}  // namespace ORV
