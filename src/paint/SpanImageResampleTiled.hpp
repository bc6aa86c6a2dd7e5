// The image paint's high quality when it shrinks: AGG's resampling span
// generator (agg::span_image_resample_rgba_affine, scale limit 200, no blur)
// over agg::span_interpolator_linear<trans_affine> and the bilinear lookup
// table, which it widens by the shrink factor: every output pixel averages
// the image pixels under a tent as wide as the pixels it covers, where the
// bilinear filter reads only the four nearest and skips the others. The
// tilings are AGG's own accessors, as the bilinear generator reads them:
// image_accessor_clip (the tile colour), image_accessor_clone (no clip: the
// nearest edge pixel), image_accessor_wrap with wrap_mode_repeat or
// wrap_mode_reflect. The scales are doubles (sqrt, products, quotients, no
// contraction: the same on every processor); the sums are integers.
#ifndef VUDADIVE2R_PAINT_SPANIMAGERESAMPLETILED_HPP
#define VUDADIVE2R_PAINT_SPANIMAGERESAMPLETILED_HPP

#include <agg_image_accessors.h>
#include <agg_image_filters.h>
#include <agg_pixfmt_rgba.h>
#include <agg_rendering_buffer.h>
#include <agg_span_image_filter_rgba.h>
#include <agg_span_interpolator_linear.h>
#include <agg_trans_affine.h>

#include "paint/PaintPass.hpp"
#include "vudadive2r/ImagePaint.hpp"

namespace ORV {
namespace Vudadive2R {

// The generator, with the scales its prepare() worked out in view.
template <class Accessor>
class SpanImageResampleTiled : public agg::span_image_resample_rgba_affine<Accessor> {
public:
    typedef agg::span_image_resample_rgba_affine<Accessor> Base;
    using Base::Base;

    // Whether the placement shrinks the image: the scale AGG keeps (in
    // 1/256 pixel, at least 256) exceeds one pixel on either axis.
    bool Shrinks() const { return this->m_rx > agg::image_subpixel_scale || this->m_ry > agg::image_subpixel_scale; }
};

namespace resample_detail {

template <class Accessor>
bool Resample(PaintPass& pass, Accessor& accessor, const agg::trans_affine& matrix, agg::image_filter_lut& filter,
              bool opaque) {
    agg::trans_affine placement = matrix;
    agg::span_interpolator_linear<agg::trans_affine> interpolator(placement);
    SpanImageResampleTiled<Accessor> generator(accessor, interpolator, filter);
    generator.prepare();
    if (!generator.Shrinks())
        return false;
    SpanSourceOf<decltype(generator)> source(generator, opaque);
    pass.Spans(source);
    return true;
}

}  // namespace resample_detail

// Draws the pass resampled when `matrix` (surface to image pixels, every
// covered position within 2^22 pixels of the image's origin) shrinks the
// image; false, drawing nothing, when it does not. `image`: R, G, B, A
// pixels, 1 to 2^28 wide and high; `filter`: the bilinear lookup table;
// `mode` 0 to 3; `tile`: the colour outside the image with Clip.
template <class PixelFormat = agg::pixfmt_rgba32>
bool ResampleShrunkImage(PaintPass& pass, agg::rendering_buffer& image, const agg::trans_affine& matrix,
                         agg::image_filter_lut& filter, TilingMode mode, agg::rgba8 tile, bool opaque) {
    PixelFormat pixels(image);
    switch (mode) {
    case TilingMode::Clip: {
        agg::image_accessor_clip<PixelFormat> accessor(pixels, tile);
        return resample_detail::Resample(pass, accessor, matrix, filter, opaque);
    }
    case TilingMode::NoClip: {
        agg::image_accessor_clone<PixelFormat> accessor(pixels);
        return resample_detail::Resample(pass, accessor, matrix, filter, opaque);
    }
    case TilingMode::Repeat: {
        agg::image_accessor_wrap<PixelFormat, agg::wrap_mode_repeat, agg::wrap_mode_repeat> accessor(pixels);
        return resample_detail::Resample(pass, accessor, matrix, filter, opaque);
    }
    default: {
        agg::image_accessor_wrap<PixelFormat, agg::wrap_mode_reflect, agg::wrap_mode_reflect> accessor(pixels);
        return resample_detail::Resample(pass, accessor, matrix, filter, opaque);
    }
    }
}

}  // namespace Vudadive2R
}  // namespace ORV

#endif
