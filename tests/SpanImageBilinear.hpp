// The image paint's colours as AGG composes them, the reference of the span
// tests and the image fuzzer. A bilinear span generator: the loop of AGG's
// RGBA image filter for a filter of diameter 2, with the weighted sums
// rounded to the nearest value (8192 added before the 14-bit shift) where
// the packaged generator truncates them. Truncation drops the faint
// contribution of an edge pixel to its neighbours (64 x 255 / 16384 comes
// out 0, not 1).
#ifndef VUDADIVE2R_PAINT_SPANIMAGEBILINEAR_HPP
#define VUDADIVE2R_PAINT_SPANIMAGEBILINEAR_HPP

#include <agg_color_rgba.h>
#include <agg_image_filters.h>
#include <agg_span_image_filter.h>

namespace ORV {
namespace Vudadive2R {

// Source: an AGG image accessor over 4-byte R, G, B, A pixels; its span()
// is asked for 2 pixels and followed by next_x, next_y, next_x, and the four
// pointers are read together (AGG's accessors return pointers into the
// image or to their own background pixel, which stay valid).
// Interpolator: an AGG span interpolator with 8 subpixel bits.
template <class Source, class Interpolator>
class SpanImageBilinear : public agg::span_image_filter<Source, Interpolator> {
    typedef agg::span_image_filter<Source, Interpolator> Base;

public:
    typedef agg::rgba8 color_type;

    // `filter` must be a lookup table of diameter 2 (the bilinear filter).
    SpanImageBilinear(Source& source, Interpolator& interpolator, agg::image_filter_lut& filter)
        : Base(source, interpolator, &filter) {}

    void generate(agg::rgba8* span, int x, int y, unsigned length) {
        Base::interpolator().begin(x + Base::filter_dx_dbl(), y + Base::filter_dy_dbl(), length);
        const agg::int16* weights = Base::filter().weight_array();
        const int start = Base::filter().start();
        constexpr int mask = agg::image_subpixel_mask;
        constexpr int scale = agg::image_subpixel_scale;
        do {
            int sampleX, sampleY;
            Base::interpolator().coordinates(&sampleX, &sampleY);
            sampleX -= Base::filter_dx_int();
            sampleY -= Base::filter_dy_int();
            // The weight of the near pixel is at mask - fraction, the far one a pixel further.
            const int nearX = mask - (sampleX & mask), nearY = mask - (sampleY & mask);
            const int columnWeights[2] = {weights[nearX], weights[nearX + scale]};
            const int rowWeights[2] = {weights[nearY], weights[nearY + scale]};

            // Weights of pixels (i, j), (i + 1, j), (i, j + 1), (i + 1, j + 1).
            const int weight[4] = {
                (rowWeights[0] * columnWeights[0] + agg::image_filter_scale / 2) >> agg::image_filter_shift,
                (rowWeights[0] * columnWeights[1] + agg::image_filter_scale / 2) >> agg::image_filter_shift,
                (rowWeights[1] * columnWeights[0] + agg::image_filter_scale / 2) >> agg::image_filter_shift,
                (rowWeights[1] * columnWeights[1] + agg::image_filter_scale / 2) >> agg::image_filter_shift};
            const agg::int8u* pixels[4];
            pixels[0] = static_cast<const agg::int8u*>(Base::source().span(
                (sampleX >> agg::image_subpixel_shift) + start, (sampleY >> agg::image_subpixel_shift) + start, 2));
            pixels[1] = static_cast<const agg::int8u*>(Base::source().next_x());
            pixels[2] = static_cast<const agg::int8u*>(Base::source().next_y());
            pixels[3] = static_cast<const agg::int8u*>(Base::source().next_x());
            long sums[4];
            for (int channel = 0; channel < 4; ++channel)
                sums[channel] = agg::image_filter_scale / 2 + long(weight[0]) * pixels[0][channel] +
                                long(weight[1]) * pixels[1][channel] + long(weight[2]) * pixels[2][channel] +
                                long(weight[3]) * pixels[3][channel];

            for (long& sum : sums) {
                sum >>= agg::image_filter_shift;
                if (sum < 0)
                    sum = 0;
            }
            // R, G, B, A order; colour may not exceed alpha.
            if (sums[3] > 255)
                sums[3] = 255;
            for (int channel = 0; channel < 3; ++channel)
                if (sums[channel] > sums[3])
                    sums[channel] = sums[3];
            *span++ = agg::rgba8(agg::int8u(sums[0]), agg::int8u(sums[1]), agg::int8u(sums[2]), agg::int8u(sums[3]));
            ++Base::interpolator();
        } while (--length);
    }
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
