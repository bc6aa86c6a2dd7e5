#include "pipeline/LayerComposition.hpp"

#include <agg_pixfmt_rgba.h>

#include <algorithm>

namespace ORV {
namespace Vudadive2R {

namespace {

typedef agg::comp_op_table_rgba<agg::rgba8, agg::order_rgba> Operations;

// Source-over is the pixel format's premultiplied blend, inlined here
// rather than called through the operation table per pixel.
typedef agg::blender_rgba_pre<agg::rgba8, agg::order_rgba> SourceOver;

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

    boxes.first_clip_box();
    do {
        const int x1 = boxes.xmin(), x2 = boxes.xmax(), y1 = boxes.ymin(), y2 = boxes.ymax();
        for (int y = y1; y <= y2; ++y) {
            const int surfaceRow = fromTop ? y : height - 1 - y;
            const uint8_t* source = layer.pixels.data() + (std::size_t(surfaceRow) * std::size_t(width) + x1) * 4u;
            uint8_t* pixel = target.DrawingRow(y) + 4 * x1;
            const uint8_t* clip = mask ? mask->Row(y) + x1 : nullptr;
            for (int x = x1; x <= x2; ++x, source += 4, pixel += 4) {
                const unsigned cover = clip ? MaskedCover(layer.opacity, *clip++) : layer.opacity;
                if (sourceOver)
                    SourceOver::blend_pix(pixel, source[0], source[1], source[2], source[3], cover);
                else
                    operation(pixel, source[0], source[1], source[2], source[3], cover);
            }
        }
    } while (boxes.next_clip_box());
}

}  // namespace Vudadive2R
}  // namespace ORV
