// The surface one call writes: its mapped memory, size and format, rows
// addressed by the stride signed by the origin, the scissor boxes and the
// compositing operation. Path draws, text and clears all see the surface
// through it.
#ifndef VUDADIVE2R_PIPELINE_DRAWTARGET_HPP
#define VUDADIVE2R_PIPELINE_DRAWTARGET_HPP

#include <cstddef>
#include <cstdint>

#include "vudadive2r/RenderState.hpp"

#include "composite/ClipMask.hpp"
#include "composite/CompositingOperations.hpp"
#include "composite/PixelFormat.hpp"
#include "composite/PixelLayout.hpp"
#include "vudadive2r/Context2D.hpp"

namespace ORV {
namespace Vudadive2R {

class CompositingRenderer;
struct Layer;

class DrawTarget {
public:
    // Throws InvalidOperationException unless paths and text composite into
    // the context's surface's format ("AB24", "AR24", "XB24", "XR24",
    // "RG16"). Checked before the memory is mapped.
    static void RequireCompositable(const Context2D& context);

    // Maps the surface's memory (once per frame; Finish releases it), or
    // takes the innermost open layer, which drawing then writes instead.
    // Memory that could not be mapped makes a surface of no pixels: Pixels()
    // is null and the size 0 x 0, so that every setting is still validated
    // in order and nothing is written.
    explicit DrawTarget(Context2D& context);
    // The surface itself (a null layer) or the given layer, whatever is open.
    DrawTarget(Context2D& context, Layer* layer);

    unsigned char* Pixels() const { return pixels; }
    int Width() const { return width; }
    int Height() const { return height; }
    int32_t Format() const { return format; }
    // How drawing composes the pixels (an open layer's are "AB24").
    PixelLayout Layout() const { return LayoutOfFormat(format); }

    // Row `row` in the surface's own order (row 0 first in memory for a
    // positive stride, last for a negative one), as clears address it.
    unsigned char* SurfaceRow(int row) const;
    // Row `row` counted from the origin: from the top for TopLeft, from the
    // bottom for BottomLeft. Drawing and text address rows this way.
    unsigned char* DrawingRow(int row) const;
    // Whether rows count from the top (row y is the surface's own row y) or
    // from the bottom (its row height - 1 - y).
    bool FromTop() const { return renderState.origin != Origin::BottomLeft; }
    // The stride between rows counted from the origin.
    std::ptrdiff_t DrawingStride() const { return drawingStride; }
    // The surface as AGG's rendering buffer, rows counted from the origin.
    RenderingBuffer Buffer() const;

    // The context's clip, or null; its rows counted from the origin.
    const ClipMask* Clip() const { return clip; }
    const MaskRows& ClipRows() const { return clipRows; }

    // The context's blend mode; NotSupportedException for a value outside
    // the enumeration.
    const CompositingOperation& Operation() const;

    // Adds the scissor rectangles, when scissoring is on, as clip boxes.
    template <class AnyRenderer>
    void AddClipBoxes(AnyRenderer& renderer) const {
        if (!renderState.scissoringEnabled)
            return;
        for (const IntRectangle& r : renderState.scissorRectangles)
            renderer.add_clip_box(r.X, r.Y, ClampedCorner(r.X, r.Width), ClampedCorner(r.Y, r.Height));
    }

private:
    // A corner X + Width may not fit an int. Clamping keeps the box the
    // renderer ends up with, since it clips every box to the surface anyway.
    static int ClampedCorner(int32_t origin, int32_t extent) {
        const int64_t corner = int64_t(origin) + int64_t(extent);
        return int(corner < INT32_MIN ? INT32_MIN : corner > INT32_MAX ? INT32_MAX : corner);
    }

    const RenderState& renderState;
    unsigned char* pixels;
    int width, height;
    int32_t format;
    int stride;  // the mapping's own, signed as the surface keeps its rows
    std::ptrdiff_t drawingStride;
    const ClipMask* clip;
    MaskRows clipRows;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
