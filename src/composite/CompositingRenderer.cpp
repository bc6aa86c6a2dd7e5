#include "composite/CompositingRenderer.hpp"

namespace ORV {
namespace Vudadive2R {

CompositingRenderer::CompositingRenderer(RenderingBuffer& buffer, unsigned operation, SimdLevel level)
    : buffer(buffer), operation(operation), blenders(nullptr),
      baseBox(0, 0, int(buffer.width()) - 1, int(buffer.height()) - 1) {
    BlendOperation known;
    if (SpanOperationOf(operation, known)) {
        blenders = &SpanBlendersFor(known, level);
        // At full coverage source-over gives an opaque colour itself and
        // source gives any colour itself: plain fills.
        fillsOpaque = known == BlendOperation::Source || known == BlendOperation::SourceOver;
        fillsAny = known == BlendOperation::Source;
        keepsPixelsAtZero = known == BlendOperation::SourceOver;
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
