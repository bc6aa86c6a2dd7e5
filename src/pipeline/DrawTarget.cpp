#include "pipeline/DrawTarget.hpp"

#include <algorithm>
#include <climits>

#include "common/FormatCodes.hpp"
#include "common/Internals.hpp"
#include "context/DrawingStack.hpp"
#include "common/RowAddress.hpp"
#include "composite/CompositingRenderer.hpp"
#include "vudadive2r/Exceptions.hpp"

namespace ORV {
namespace Vudadive2R {


void DrawTarget::RequireCompositable(const Context2D& context) {
    if (LayoutOfFormat(int32_t(orv_surface_format_get(context.surface))) == PixelLayout::None)
        throw InvalidOperationException();
}

namespace {

Layer* InnermostLayer(const Context2D& context) {
    const DrawingStack* stack = Internals::DrawingStackOf(context);
    return stack ? stack->InnermostLayer() : nullptr;
}

const ClipMask* ClipOf(const Context2D& context) {
    const DrawingStack* stack = Internals::DrawingStackOf(context);
    return stack ? stack->clip.get() : nullptr;
}

}  // namespace

DrawTarget::DrawTarget(Context2D& context) : DrawTarget(context, InnermostLayer(context)) {}

DrawTarget::DrawTarget(Context2D& context, Layer* layer)
    : renderState(*context.renderState),
      pixels(layer ? layer->pixels.data() : context.surfaceMemory->Data()),
      width(layer ? layer->width : pixels ? orv_surface_width_get(context.surface) : 0),
      height(layer ? layer->height : pixels ? orv_surface_height_get(context.surface) : 0),
      format(layer ? FormatCode::AB24 : int32_t(orv_surface_format_get(context.surface))),
      stride(layer ? 4 * layer->width : pixels ? context.surfaceMemory->Stride() : 0),
      // The origin signs the stride, so a surface whose own stride is
      // negative is addressed within its memory too.
      drawingStride(renderState.origin != Origin::BottomLeft ? stride : -std::ptrdiff_t(stride)),
      clip(ClipOf(context)),
      clipRows{nullptr, 0} {
    if (layer && layer->pixels.empty())
        pixels = nullptr;
    // The clip's rows are the surface's own, counted from the origin as the
    // pass counts its rows; a clip of another size than the surface's
    // pixels (none mapped) is not used.
    if (clip && (clip->width != width || clip->height != height || !pixels))
        clip = nullptr;
    if (clip) {
        const bool fromTop = renderState.origin != Origin::BottomLeft;
        clipRows.first = fromTop ? clip->coverage.data() : clip->Row(height - 1);
        clipRows.stride = fromTop ? std::ptrdiff_t(width) : -std::ptrdiff_t(width);
    }
}

unsigned char* DrawTarget::SurfaceRow(int row) const { return RowAddress(pixels, stride, height, row); }

unsigned char* DrawTarget::DrawingRow(int row) const { return RowAddress(pixels, drawingStride, height, row); }

RenderingBuffer DrawTarget::Buffer() const {
    return RenderingBuffer(pixels, unsigned(width), unsigned(height), int(drawingStride));
}

const CompositingOperation& DrawTarget::Operation() const { return CompositingOperationOf(renderState.blendMode); }


}  // namespace Vudadive2R
}  // namespace ORV
