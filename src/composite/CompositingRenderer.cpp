#include "composite/CompositingRenderer.hpp"

namespace ORV {
namespace Vudadive2R {

CompositingRenderer::CompositingRenderer(RenderingBuffer& buffer, unsigned operation, SimdLevel level,
                                         PixelLayout layout)
    : buffer(buffer), operation(operation), layout(layout), pixelBytes(BytesPerPixel(layout)),
      swapsRedAndBlue(Vudadive2R::SwapsRedAndBlue(layout)), blenders(nullptr),
      baseBox(0, 0, int(buffer.width()) - 1, int(buffer.height()) - 1) {
    if (!ComposesInPlace(layout))
        stagingRow.resize(std::size_t(buffer.width()) * 4);
    BlendOperation known;
    if (SpanOperationOf(operation, known)) {
        blenders = &SpanBlendersFor(known, level);
        colorBlender = swapsRedAndBlue ? blenders->colorSwapped : blenders->color;
        // At full coverage source-over gives an opaque colour itself and
        // source gives any colour itself: plain fills.
        fillsOpaque = known == BlendOperation::Source || known == BlendOperation::SourceOver;
        fillsAny = known == BlendOperation::Source;
        // An X layout's fourth byte is kept where the coverage is 0, which
        // runs would not see.
        keepsPixelsAtZero = known == BlendOperation::SourceOver && layout != PixelLayout::Rgbx &&
                            layout != PixelLayout::Bgrx;
        skipsHidden = keepsPixelsAtZero && ComposesInPlace(layout);
    }
}

void CompositingRenderer::reset_clipping(bool visibility) {
    boxes.clear();
    baseBox = visibility ? agg::rect_i(0, 0, int(width()) - 1, int(height()) - 1) : agg::rect_i(1, 1, 0, 0);
}

void CompositingRenderer::add_clip_box(int x1, int y1, int x2, int y2) {
    agg::rect_i box(x1, y1, x2, y2);
    box.normalize();
    if (box.clip(agg::rect_i(0, 0, int(width()) - 1, int(height()) - 1)))
        boxes.push_back(box);
}

}  // namespace Vudadive2R
}  // namespace ORV
