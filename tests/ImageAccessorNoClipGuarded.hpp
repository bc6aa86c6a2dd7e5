// The image paint's no-clip tiling as AGG composes it, a reference of the
// span tests and the image fuzzer: AGG's unchecked image accessor, kept
// inside the image. A block of samples that lies wholly inside is read
// through agg::image_accessor_no_clip; one that reaches beyond an edge reads
// the nearest edge pixel instead of memory past the image
// (agg::image_accessor_clone).
#ifndef VUDADIVE2R_PAINT_IMAGEACCESSORNOCLIPGUARDED_HPP
#define VUDADIVE2R_PAINT_IMAGEACCESSORNOCLIPGUARDED_HPP

#include <agg_image_accessors.h>

namespace ORV {
namespace Vudadive2R {

template <class PixelFormat>
class ImageAccessorNoClipGuarded {
public:
    typedef typename PixelFormat::color_type color_type;
    typedef typename PixelFormat::order_type order_type;
    typedef typename PixelFormat::value_type value_type;

    explicit ImageAccessorNoClipGuarded(PixelFormat& pixels) : pixels(pixels), inside(pixels), edge(pixels) {}

    // Starts a square block of `size` x `size` pixels at (x, y); the caller
    // reads at most `size` columns and `size` rows from here.
    const agg::int8u* span(int x, int y, unsigned size) {
        const long width = long(pixels.width()), height = long(pixels.height());
        within = x >= 0 && y >= 0 && long(x) + long(size) <= width && long(y) + long(size) <= height;
        return within ? inside.span(x, y, size) : edge.span(x, y, size);
    }
    const agg::int8u* next_x() { return within ? inside.next_x() : edge.next_x(); }
    const agg::int8u* next_y() { return within ? inside.next_y() : edge.next_y(); }

private:
    PixelFormat& pixels;
    agg::image_accessor_no_clip<PixelFormat> inside;
    agg::image_accessor_clone<PixelFormat> edge;
    bool within = false;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
