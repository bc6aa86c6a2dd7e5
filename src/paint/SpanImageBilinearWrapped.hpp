// The bilinear image span generator of the image paint for the
// repeating and reflecting tilings: the colours of SpanImageBilinear over
// agg::image_accessor_wrap and agg::span_interpolator_linear<trans_affine, 8>,
// with the interpolator's lines in locals, the wrapped columns and rows
// stepped along the span, and the four samples weighed in vector lanes.
#ifndef VUDADIVE2R_PAINT_SPANIMAGEBILINEARWRAPPED_HPP
#define VUDADIVE2R_PAINT_SPANIMAGEBILINEARWRAPPED_HPP

#include <agg_basics.h>
#include <agg_color_rgba.h>
#include <agg_image_filters.h>
#include <agg_rendering_buffer.h>
#include <agg_trans_affine.h>

#include <cstdint>
#include <cstring>
#include <cstdlib>

#include "paint/BilinearWeighing.hpp"
#include "paint/PeriodicCoordinate.hpp"
#include "paint/SpanLines.hpp"

namespace ORV {
namespace Vudadive2R {

// `image`: 4-byte R, G, B, A pixels, 1 to 2^28 wide and high. `matrix` maps
// every position asked for to image coordinates within `limit` units either
// way, limit at most 2^22. `filter`: the bilinear lookup table (diameter 2).
template <bool Mirrored>
class SpanImageBilinearWrapped {
public:
    typedef agg::rgba8 color_type;

    SpanImageBilinearWrapped(const agg::rendering_buffer& image, const agg::trans_affine& matrix,
                             const agg::image_filter_lut& filter, double limit)
        : image(image), matrix(matrix), weights(filter.weight_array()), start(filter.start()), limit(limit) {}

    void prepare() {}

    void generate(agg::rgba8* span, int x, int y, unsigned length) {
        SpanLines lines;
        if (!lines.Begin(matrix, x + 0.5, y + 0.5, length, limit)) {
            // Not reached while the caller keeps its promise on `matrix`.
            std::memset(static_cast<void*>(span), 0, sizeof(agg::rgba8) * length);
            return;
        }
        // Scaled and shifted placements keep the row along a span: its rows
        // and their weights are then the span's, not the pixel's.
        if (lines.y1 == lines.y2)
            Generate<true>(span, lines, length);
        else
            Generate<false>(span, lines, length);
    }

private:
    template <bool RowFixed>
    void Generate(agg::rgba8* span, const SpanLines& lines, unsigned length) const {
        agg::dda2_line_interpolator alongX = lines.x, alongY = lines.y;
        PeriodicCoordinate<Mirrored> columns(int(image.width())), rows(int(image.height()));
        // The samples move by at most (|step| + 1) / 256 + 1 pixels from one
        // pixel to the next; within a period that is one addition.
        const bool steppedX = MostMove(alongX) <= columns.Period();
        const bool steppedY = MostMove(alongY) <= rows.Period();
        constexpr int half = agg::image_subpixel_scale / 2, mask = agg::image_subpixel_mask;
        columns.Start(((alongX.y() - half) >> agg::image_subpixel_shift) + start);
        rows.Start(((alongY.y() - half) >> agg::image_subpixel_shift) + start);
        int sampleY = alongY.y() - half;
        int nearY = mask - (sampleY & mask);
        int rowNear = weights[nearY], rowFar = weights[nearY + agg::image_subpixel_scale];
        const agg::int8u* upper = image.row_ptr(rows.Wrapped());
        const agg::int8u* lower = image.row_ptr(rows.WrappedNext());
        // Along a long span of one row, the four weights of every column
        // fraction are worked out once.
        uint32_t pairs[2 * agg::image_subpixel_scale];
        const bool tabled = RowFixed && length >= 2 * agg::image_subpixel_scale;
        if (tabled)
            for (int nearX = 0; nearX < agg::image_subpixel_scale; ++nearX) {
                const int columnNear = weights[nearX], columnFar = weights[nearX + agg::image_subpixel_scale];
                pairs[2 * nearX] = WeightPair(Product(rowNear, columnNear), Product(rowNear, columnFar));
                pairs[2 * nearX + 1] = WeightPair(Product(rowFar, columnNear), Product(rowFar, columnFar));
            }
        uint8_t* out = reinterpret_cast<uint8_t*>(span);
#if defined(__SSE2__)
        if (tabled && steppedX && columns.Period() <= StripPhases && unsigned(columns.Period()) <= length)
            return GenerateFromStrip(out, alongX, columns, upper, lower, pairs, length);
#endif
        do {
            const int sampleX = alongX.y() - half;
            const int column = (sampleX >> agg::image_subpixel_shift) + start;
            if (steppedX)
                columns.Step(column);
            else
                columns.Start(column);
            if (!RowFixed) {
                sampleY = alongY.y() - half;
                const int row = (sampleY >> agg::image_subpixel_shift) + start;
                if (steppedY)
                    rows.Step(row);
                else
                    rows.Start(row);
                nearY = mask - (sampleY & mask);
                rowNear = weights[nearY], rowFar = weights[nearY + agg::image_subpixel_scale];
                upper = image.row_ptr(rows.Wrapped());
                lower = image.row_ptr(rows.WrappedNext());
                ++alongY;
            }
            // The near pixel's weight is at mask - fraction, the far one's a pixel further.
            const int nearX = mask - (sampleX & mask);
            uint32_t upperPair, lowerPair;
            if (tabled) {
                upperPair = pairs[2 * nearX], lowerPair = pairs[2 * nearX + 1];
            } else {
                const int columnNear = weights[nearX], columnFar = weights[nearX + agg::image_subpixel_scale];
                upperPair = WeightPair(Product(rowNear, columnNear), Product(rowNear, columnFar));
                lowerPair = WeightPair(Product(rowFar, columnNear), Product(rowFar, columnFar));
            }
            const int left = 4 * columns.Wrapped(), right = 4 * columns.WrappedNext();
            WeighBilinear(upper + left, upper + right, lower + left, lower + right, upperPair, lowerPair, out);
            out += 4;
            ++alongX;
        } while (--length);
    }

#if defined(__SSE2__)
    // At most this many phases (columns, or twice the columns when
    // mirrored) are prepared on the stack: 32 bytes each.
    static constexpr int StripPhases = 512;

    // One pair of rows for the whole span: the channel pairs of the two
    // columns of every phase are prepared once, so that a pixel is two
    // loads and two multiply-adds.
    void GenerateFromStrip(uint8_t* out, agg::dda2_line_interpolator alongX, PeriodicCoordinate<Mirrored> columns,
                           const agg::int8u* upper, const agg::int8u* lower, const uint32_t* pairs,
                           unsigned length) const {
        __m128i strip[2 * StripPhases];
        for (int phase = 0; phase < columns.Period(); ++phase) {
            const int left = 4 * columns.Fold(phase), right = 4 * columns.Fold(columns.NextPhase(phase));
            strip[2 * phase] = ChannelPairs(upper + left, upper + right);
            strip[2 * phase + 1] = ChannelPairs(lower + left, lower + right);
        }
        constexpr int half = agg::image_subpixel_scale / 2, mask = agg::image_subpixel_mask;
        auto sample = [&]() {
            const int sampleX = alongX.y() - half;
            columns.Step((sampleX >> agg::image_subpixel_shift) + start);
            ++alongX;
            const int nearX = mask - (sampleX & mask);
            const __m128i* samples = strip + 2 * columns.Phase();
            return WeighedSums(samples[0], samples[1], pairs[2 * nearX], pairs[2 * nearX + 1]);
        };
        for (; length >= 2; length -= 2, out += 8) {
            const __m128i first = sample();
            StoreClampedPair(first, sample(), out);
        }
        if (length) {
            uint8_t both[8];
            const __m128i last = sample();
            StoreClampedPair(last, last, both);
            std::memcpy(out, both, 4);
        }
    }
#endif

    static int Product(int rowWeight, int columnWeight) {
        return (rowWeight * columnWeight + agg::image_filter_scale / 2) >> agg::image_filter_shift;
    }
    static int64_t MostMove(const agg::dda2_line_interpolator& line) {
        const int64_t step = std::abs(int64_t(line.lft())) + 1;
        return (step + 1) / agg::image_subpixel_scale + 2;
    }

    const agg::rendering_buffer& image;
    agg::trans_affine matrix;
    const agg::int16* weights;
    int start;
    double limit;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
