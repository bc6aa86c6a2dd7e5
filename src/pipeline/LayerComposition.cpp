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

    // Other layouts compose the layer's rows in their pixel order, their
    // pixels staged as four bytes (PixelLayout.hpp).
    const PixelLayout layout = target.Layout();
    const bool swap = SwapsRedAndBlue(layout), inPlace = ComposesInPlace(layout);
    const int64_t pixelBytes = BytesPerPixel(layout);
    std::vector<uint8_t> swapped(swap ? 4 * std::size_t(width) : 0), staging(inPlace ? 0 : 4 * std::size_t(width));
    std::vector<uint8_t> covers(mask ? std::size_t(width) : 0);
    boxes.first_clip_box();
    do {
        const int x1 = boxes.xmin(), x2 = boxes.xmax(), y1 = boxes.ymin(), y2 = boxes.ymax();
        const unsigned length = unsigned(x2 - x1 + 1);
        for (int y = y1; y <= y2; ++y) {
            const int surfaceRow = fromTop ? y : height - 1 - y;
            const uint8_t* source = layer.pixels.data() + (std::size_t(surfaceRow) * std::size_t(width) + x1) * 4u;
            if (swap) {
                CopySwappingRedAndBlue(swapped.data(), source, length);
                source = swapped.data();
            }
            if (mask)
                MaskCovers(*mask, x1, y, length, nullptr, layer.opacity, covers.data());
            const uint8_t* rowCovers = mask ? covers.data() : nullptr;
            ComposeStaged(layout, target.DrawingRow(y) + pixelBytes * x1, length, rowCovers, layer.opacity,
                          staging.data(), [&](uint8_t* pixel) {
                              if (sourceOver)
                                  return BlendPremultipliedOver(pixel, source, length, rowCovers, layer.opacity);
                              const uint8_t* from = source;
                              for (unsigned x = 0; x < length; ++x, from += 4, pixel += 4)
                                  operation(pixel, from[0], from[1], from[2], from[3],
                                            mask ? covers[x] : layer.opacity);
                          });
        }
    } while (boxes.next_clip_box());
}

}  // namespace Vudadive2R
}  // namespace ORV
