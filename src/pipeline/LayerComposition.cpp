#include "pipeline/LayerComposition.hpp"

#include <agg_pixfmt_rgba.h>

#include <algorithm>
#include <vector>

#include "composite/PremultipliedOver.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

typedef agg::comp_op_table_rgba<agg::rgba8, agg::order_rgba> Operations;

}  // namespace

void CompositeLayer(const DrawTarget& target, const Layer& layer) {
    const int width = target.Width(), height = target.Height();
    if (!target.Pixels() || width != layer.width || height != layer.height)
        return;
    // The boxes a draw would composite through: the scissor boxes, clipped
    // to the surface, each once; the whole surface without scissoring.
    RenderingBuffer buffer = target.Buffer();
    PixelFormat format(buffer);
    Renderer boxes(format);
    target.AddClipBoxes(boxes);
    const bool fromTop = target.FromTop();
    const MaskRows* mask = target.Clip() ? &target.ClipRows() : nullptr;
    const bool sourceOver = layer.operation == agg::comp_op_src_over;
    const auto operation = Operations::g_comp_op_func[layer.operation];

    std::vector<uint8_t> covers(mask ? std::size_t(width) : 0);
    boxes.first_clip_box();
    do {
        const int x1 = boxes.xmin(), x2 = boxes.xmax(), y1 = boxes.ymin(), y2 = boxes.ymax();
        const unsigned length = unsigned(x2 - x1 + 1);
        for (int y = y1; y <= y2; ++y) {
            const int surfaceRow = fromTop ? y : height - 1 - y;
            const uint8_t* source = layer.pixels.data() + (std::size_t(surfaceRow) * std::size_t(width) + x1) * 4u;
            uint8_t* pixel = target.DrawingRow(y) + 4 * x1;
            if (mask)
                MaskCovers(*mask, x1, y, length, nullptr, layer.opacity, covers.data());
            if (sourceOver) {
                BlendPremultipliedOver(pixel, source, length, mask ? covers.data() : nullptr, layer.opacity);
                continue;
            }
            for (unsigned x = 0; x < length; ++x, source += 4, pixel += 4)
                operation(pixel, source[0], source[1], source[2], source[3], mask ? covers[x] : layer.opacity);
        }
    } while (boxes.next_clip_box());
}

}  // namespace Vudadive2R
}  // namespace ORV
