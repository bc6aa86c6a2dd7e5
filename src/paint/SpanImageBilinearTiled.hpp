// The bilinear image span generator of the image paint: the colours of
// AGG's RGBA bilinear image filter over agg::span_interpolator_linear
// <trans_affine, 8> and the accessor of a tiling (agg::image_accessor_wrap
// for repeat and reflect, agg::image_accessor_clip, or agg::image_accessor_
// no_clip kept inside the image by the nearest edge pixel for no-clip),
// with the weighted sums rounded to the nearest value (8192 added before
// the 14-bit shift) where the packaged filter truncates them: truncation
// drops the faint contribution of an edge pixel to its neighbours (64 x 255
// / 16384 comes out 0, not 1). The interpolator's lines are kept in locals,
// the columns and rows of the tiling followed along the span, and the four
// samples weighed in vector lanes.
#ifndef VUDADIVE2R_PAINT_SPANIMAGEBILINEARTILED_HPP
#define VUDADIVE2R_PAINT_SPANIMAGEBILINEARTILED_HPP

#include <agg_basics.h>
#include <agg_color_rgba.h>
#include <agg_image_filters.h>
#include <agg_rendering_buffer.h>
#include <agg_trans_affine.h>

#include <cstdint>
#include <cstring>
#include <cstdlib>

#include "common/ScratchArray.hpp"
#include "composite/BlendSpans.hpp"
#include "paint/BilinearWeighing.hpp"
#include "paint/SpanLines.hpp"
#include "paint/TiledCoordinates.hpp"

namespace ORV {
namespace Vudadive2R {

// Coordinate: PeriodicCoordinate or BoundedCoordinate, which give the
// tiling. `image`: 4-byte R, G, B, A pixels, 1 to 2^28 wide and high.
// `matrix` maps every position asked for to image coordinates within `limit`
// units either way, limit at most 2^22. `filter`: the bilinear lookup table
// (diameter 2). `tile`: the R, G, B, A bytes read outside the image where
// the tiling reads any. `level` chooses the weighing (Portable: pixel by
// pixel, as where neither SSE2 nor NEON is); the default is the widest this
// processor runs.
template <class Coordinate>
class SpanImageBilinearTiled {
public:
    typedef agg::rgba8 color_type;

    SpanImageBilinearTiled(const agg::rendering_buffer& image, const agg::trans_affine& matrix,
                           const agg::image_filter_lut& filter, double limit, agg::rgba8 tile = agg::rgba8(0, 0, 0, 0),
                           SimdLevel level = BestSimdLevel())
        : image(image), matrix(matrix), weights(filter.weight_array()), start(filter.start()), limit(limit),
          tile{tile.r, tile.g, tile.b, tile.a} {
#if defined(VUDADIVE2R_IMAGE_LANES)
        if (level != SimdLevel::Portable)
            weigh = WeighStrip;
#if defined(__x86_64__) || defined(__i386__)
        if (level == SimdLevel::Avx2 && BestSimdLevel() == SimdLevel::Avx2)
            weigh = WeighStripAvx2;
#endif
#else
        (void)level;
#endif
    }

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
    void Generate(agg::rgba8* span, const SpanLines& lines, unsigned length) {
        agg::dda2_line_interpolator alongX = lines.x, alongY = lines.y;
#if defined(VUDADIVE2R_IMAGE_LANES)
        if (!RowFixed && !Coordinate::Periodic && weigh && length >= 2 * TurnedLanes) {
            const unsigned done = GenerateTurned(reinterpret_cast<uint8_t*>(span), alongX, alongY, length);
            span += done;
            length -= done;
            if (length == 0)
                return;
        }
#endif
        Coordinate columns(int(image.width())), rows(int(image.height()));
        // The samples move by at most (|step| + 1) / 256 + 1 pixels from one
        // pixel to the next; within a period that is one addition.
        const bool steppedX = !Coordinate::Periodic || MostMove(alongX) <= columns.Period();
        const bool steppedY = !Coordinate::Periodic || MostMove(alongY) <= rows.Period();
        constexpr int half = agg::image_subpixel_scale / 2, mask = agg::image_subpixel_mask;
        columns.Start(((alongX.y() - half) >> agg::image_subpixel_shift) + start);
        rows.Start(((alongY.y() - half) >> agg::image_subpixel_shift) + start);
        int sampleY = alongY.y() - half;
        int nearY = mask - (sampleY & mask);
        int rowNear = weights[nearY], rowFar = weights[nearY + agg::image_subpixel_scale];
        const agg::int8u* upper = Row(rows.Wrapped());
        const agg::int8u* lower = Row(rows.WrappedNext());
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
#if defined(VUDADIVE2R_IMAGE_LANES)
        if (weigh && tabled && steppedX && columns.Period() <= StripPhases && unsigned(columns.Period()) <= length)
            return GenerateFromStrip(out, alongX, columns, rows, upper, lower, pairs, length);
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
                upper = Row(rows.Wrapped());
                lower = Row(rows.WrappedNext());
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
            const int left = columns.Wrapped(), right = columns.WrappedNext();
            WeighBilinear(At(upper, left), At(upper, right), At(lower, left), At(lower, right), upperPair, lowerPair,
                          out);
            out += 4;
            ++alongX;
        } while (--length);
    }

#if defined(VUDADIVE2R_IMAGE_LANES)
    // A turned or sheared placement of a bounded tiling: the samples'
    // columns, rows and fractions are stepped four at a time in lanes and
    // their weights multiplied there, then each pixel's four image pixels
    // (or the tile colour) weighed. Returns the pixels done, a multiple of
    // the lanes, and leaves `alongX` and `alongY` at the pixel after them.
    static constexpr unsigned TurnedLanes = 4;

    unsigned GenerateTurned(uint8_t* out, agg::dda2_line_interpolator& alongX, agg::dda2_line_interpolator& alongY,
                            unsigned length) {
        constexpr int half = agg::image_subpixel_scale / 2, mask = agg::image_subpixel_mask;
        constexpr int shift = agg::image_subpixel_shift, lanes = int(TurnedLanes);
        // Each line's state at the lanes' first pixels, and its step over
        // `lanes` pixels as a line of the same kind (see StepSamples).
        struct LaneLine {
            Lanes4::V along, remainder, whole, increment, count;
            LaneLine(agg::dda2_line_interpolator line, int divisor) {
                alignas(16) int32_t state[2][lanes];
                for (int lane = 0; lane < lanes; ++lane, ++line)
                    state[0][lane] = line.y(), state[1][lane] = line.mod();
                along = Lanes4::Load(state[0]);
                remainder = Lanes4::Load(state[1]);
                const int64_t increments = lanes * int64_t(line.rem());
                whole = Lanes4::Set(int32_t(lanes * int64_t(line.lft()) + increments / divisor));
                increment = Lanes4::Set(int32_t(increments % divisor));
                count = Lanes4::Set(divisor);
            }
            void Step() {
                const Lanes4::V remainders = Lanes4::Add(remainder, increment);
                const Lanes4::V carry = Lanes4::Greater(remainders, Lanes4::Set(0));
                remainder = Lanes4::Sub(remainders, Lanes4::And(carry, count));
                along = Lanes4::Sub(Lanes4::Add(along, whole), carry);
            }
            void Resume(agg::dda2_line_interpolator& line) const {
                agg::dda2_line_interpolator::save_data_type state[2] = {Lanes4::First(remainder),
                                                                        Lanes4::First(along)};
                line.load(state);
            }
        };
        LaneLine lineX(alongX, int(length)), lineY(alongY, int(length));
        if (!nearFarReady) {
            for (int f = 0; f < agg::image_subpixel_scale; ++f)
                nearFar[f] = WeightPair(weights[f], weights[f + agg::image_subpixel_scale]);
            nearFarReady = true;
        }
        const Lanes4::V halfPixel = Lanes4::Set(half), fractions = Lanes4::Set(mask);
        const Lanes4::V first = Lanes4::Set(start), rounding = Lanes4::Set(agg::image_filter_scale / 2);
        const Lanes4::V lowWords = Lanes4::Set(0xFFFF);
        const int width = int(image.width()), height = int(image.height());
        const unsigned groups = length / TurnedLanes;
        for (unsigned group = 0; group < groups; ++group, out += 4 * TurnedLanes) {
            const Lanes4::V sampleX = Lanes4::Sub(lineX.along, halfPixel);
            const Lanes4::V sampleY = Lanes4::Sub(lineY.along, halfPixel);
            alignas(16) int32_t column[lanes], row[lanes], nearX[lanes], nearY[lanes];
            Lanes4::Store(column, Lanes4::Add(Lanes4::ShiftRightArithmetic<shift>(sampleX), first));
            Lanes4::Store(row, Lanes4::Add(Lanes4::ShiftRightArithmetic<shift>(sampleY), first));
            Lanes4::Store(nearX, Lanes4::Xor(Lanes4::And(sampleX, fractions), fractions));
            Lanes4::Store(nearY, Lanes4::Xor(Lanes4::And(sampleY, fractions), fractions));
            lineX.Step();
            lineY.Step();
            // Each pixel's near and far weights, then their four products:
            // weights below 2^15, so one multiply-add of a word with a zero
            // word beside it is the product.
            const Lanes4::V columnWeights = Lanes4::Set(int32_t(nearFar[nearX[0]]), int32_t(nearFar[nearX[1]]),
                                                        int32_t(nearFar[nearX[2]]), int32_t(nearFar[nearX[3]]));
            const Lanes4::V rowWeights = Lanes4::Set(int32_t(nearFar[nearY[0]]), int32_t(nearFar[nearY[1]]),
                                                     int32_t(nearFar[nearY[2]]), int32_t(nearFar[nearY[3]]));
            const Lanes4::V columnNear = Lanes4::And(columnWeights, lowWords);
            const Lanes4::V columnFar = Lanes4::ShiftRightLogical<16>(columnWeights);
            const Lanes4::V rowNear = Lanes4::And(rowWeights, lowWords);
            const Lanes4::V rowFar = Lanes4::ShiftRightLogical<16>(rowWeights);
            auto product = [&](Lanes4::V a, Lanes4::V b) {
                return Lanes4::ShiftRightArithmetic<agg::image_filter_shift>(
                    Lanes4::Add(Lanes4::SmallProducts(a, b), rounding));
            };
            alignas(16) uint32_t upperPairs[lanes], lowerPairs[lanes];
            Lanes4::Store(upperPairs,
                          Lanes4::Or(product(rowNear, columnNear), Lanes4::ShiftLeft<16>(product(rowNear, columnFar))));
            Lanes4::Store(lowerPairs,
                          Lanes4::Or(product(rowFar, columnNear), Lanes4::ShiftLeft<16>(product(rowFar, columnFar))));
            for (int lane = 0; lane < lanes; lane += 2) {
                SampleSums sums[2];
                for (int i = 0; i < 2; ++i) {
                    const int c = column[lane + i], r = row[lane + i];
                    const uint8_t *p00, *p01, *p10, *p11;
                    Corners(c, r, width, height, p00, p01, p10, p11);
                    sums[i] = WeighedSums(ChannelPairs(p00, p01), ChannelPairs(p10, p11), upperPairs[lane + i],
                                          lowerPairs[lane + i]);
                }
                StoreClampedPair(sums[0], sums[1], out + 4 * lane);
            }
        }
        lineX.Resume(alongX);
        lineY.Resume(alongY);
        return groups * TurnedLanes;
    }

    // The four pixels a sample at column c and row r reads, as the bounded
    // coordinates give them: outside the image the tile colour (clip), or
    // the nearest edge column and row (no clip).
    void Corners(int c, int r, int width, int height, const uint8_t*& p00, const uint8_t*& p01, const uint8_t*& p10,
                 const uint8_t*& p11) const {
        if (Coordinate::ReadsOutside) {
            const bool left = unsigned(c) < unsigned(width), right = unsigned(c + 1) < unsigned(width);
            const bool upper = unsigned(r) < unsigned(height), lower = unsigned(r + 1) < unsigned(height);
            const uint8_t* upperRow = image.row_ptr(upper ? r : 0);
            const uint8_t* lowerRow = image.row_ptr(lower ? r + 1 : 0);
            p00 = upper && left ? upperRow + 4 * c : tile;
            p01 = upper && right ? upperRow + 4 * (c + 1) : tile;
            p10 = lower && left ? lowerRow + 4 * c : tile;
            p11 = lower && right ? lowerRow + 4 * (c + 1) : tile;
            return;
        }
        const auto clamp = [](int v, int size) { return v < 0 ? 0 : v >= size ? size - 1 : v; };
        const int left = clamp(c, width), right = clamp(c + 1, width);
        const uint8_t* upperRow = image.row_ptr(clamp(r, height));
        const uint8_t* lowerRow = image.row_ptr(clamp(r + 1, height));
        p00 = upperRow + 4 * left, p01 = upperRow + 4 * right;
        p10 = lowerRow + 4 * left, p11 = lowerRow + 4 * right;
    }

    // At most this many phases (columns, or twice the columns when
    // mirrored) are prepared: 32 bytes each.
    static constexpr int StripPhases = 512;

    // One pair of rows for the whole span: the channel pairs of the two
    // columns of every phase are prepared once (and kept for the next span
    // of the same rows), so that a pixel is two loads and two multiply-adds,
    // or one with AVX2. The samples are stepped, then weighed.
    void GenerateFromStrip(uint8_t* out, agg::dda2_line_interpolator alongX, Coordinate columns,
                           const Coordinate& rows, const agg::int8u* upper, const agg::int8u* lower,
                           const uint32_t* pairs, unsigned length) {
        if (!stripReady || rows.Wrapped() != stripUpper || rows.WrappedNext() != stripLower) {
            for (int phase = 0; phase < columns.Period(); ++phase) {
                const int left = columns.Fold(phase), right = columns.FoldNext(phase);
                strip[2 * phase] = ChannelPairs(At(upper, left), At(upper, right));
                strip[2 * phase + 1] = ChannelPairs(At(lower, left), At(lower, right));
            }
            stripUpper = rows.Wrapped(), stripLower = rows.WrappedNext(), stripReady = true;
        }
        // A placement without shear maps the spans of the same columns on
        // every row to the same image columns: their samples are stepped
        // once and kept while the spans start and step alike.
        if (length <= KeptSamples) {
            const SampleKey key{alongX.y(), alongX.mod(), alongX.lft(), alongX.rem(), length};
            uint32_t* samples = keptSamples.Reserve(length + StepLanes);
            if (!(samplesKept && key == keptKey)) {
                samplesKept = false;
                StepSamples(alongX, columns, length, samples, length, [](unsigned) {});
                keptKey = key;
                samplesKept = true;
            }
            weigh(strip, pairs, samples, length, out);
            return;
        }
        uint32_t samples[StepRun];
        StepSamples(alongX, columns, length, samples, StepRun, [&](unsigned pixels) {
            weigh(strip, pairs, samples, pixels, out);
            out += 4 * pixels;
        });
    }

    // Lanes of the stepping below, and its runs for spans whose samples are
    // not kept (a multiple of the lanes).
    static constexpr unsigned StepLanes = 8, StepRun = 256;
    // Spans up to this long keep their samples: 32 KB.
    static constexpr unsigned KeptSamples = 8192;

    struct SampleKey {
        int along, remainder, whole, increment;
        unsigned length;
        bool operator==(const SampleKey& other) const {
            return along == other.along && remainder == other.remainder && whole == other.whole &&
                   increment == other.increment && length == other.length;
        }
    };

    // The samples of `length` pixels along `alongX` (begun for `length`
    // pixels), `run` at a time into `samples` (room for `run` rounded up to
    // StepLanes), each run handed to `ran` with its count.
    template <class Ran>
    void StepSamples(agg::dda2_line_interpolator alongX, Coordinate columns, unsigned length, uint32_t* samples,
                     unsigned run, Ran ran) {
        constexpr int half = agg::image_subpixel_scale / 2, mask = agg::image_subpixel_mask;
        constexpr int shift = agg::image_subpixel_shift;
        // The line's steps as its operator++ takes them (it was begun for
        // `length` pixels), with the carry of the remainder added rather
        // than branched on: at most scales it follows no pattern.
        int along = alongX.y(), remainder = alongX.mod();
        const int whole = alongX.lft(), increment = alongX.rem(), divisor = int(length);
        auto advance = [&]() {
            remainder += increment;
            const int carry = remainder > 0;
            remainder -= divisor & -carry;
            along += whole + carry;
        };
        // Eight lanes in two vectors, each lane stepping eight pixels at
        // once, where eight pixels' move stays within a period (or, bounded,
        // anywhere). The line's position times the count plus its remainder
        // grows by lft x count + rem a pixel; eight pixels' growth, split
        // into whole counts and a remainder below the count, makes a line of
        // the same kind.
        constexpr int groups = 2, lanes = 4 * groups;
        static_assert(lanes == StepLanes, "the lanes that StepLanes counts");
        if (length >= 2 * lanes && (!Coordinate::Periodic || lanes * MostMove(alongX) <= columns.Period())) {
            alignas(16) int32_t state[4][lanes];
            for (int lane = 0; lane < lanes; ++lane, advance()) {
                const int column = ((along - half) >> shift) + start;
                columns.Step(column);
                state[0][lane] = along, state[1][lane] = remainder, state[2][lane] = column;
                state[3][lane] = columns.Phase();
            }
            Lanes4::V laneAlong[groups], laneRemainder[groups], laneColumn[groups], lanePhase[groups];
            for (int group = 0; group < groups; ++group) {
                laneAlong[group] = Lanes4::Load(state[0] + 4 * group);
                laneRemainder[group] = Lanes4::Load(state[1] + 4 * group);
                laneColumn[group] = Lanes4::Load(state[2] + 4 * group);
                lanePhase[group] = Lanes4::Load(state[3] + 4 * group);
            }
            const int64_t laneIncrements = lanes * int64_t(increment);
            const Lanes4::V laneWhole = Lanes4::Set(int32_t(lanes * int64_t(whole) + laneIncrements / divisor));
            const Lanes4::V laneIncrement = Lanes4::Set(int32_t(laneIncrements % divisor));
            const Lanes4::V count = Lanes4::Set(divisor), period = Lanes4::Set(columns.Period());
            const Lanes4::V lastPhase = Lanes4::Set(columns.Period() - 1), zero = Lanes4::Set(0);
            const Lanes4::V halfPixel = Lanes4::Set(half), fractions = Lanes4::Set(mask);
            const Lanes4::V first = Lanes4::Set(start);
            while (length) {
                const unsigned pixels = length < run ? length : run;
                for (unsigned i = 0; i < pixels; i += lanes)
                    for (int group = 0; group < groups; ++group) {
                        const Lanes4::V sampleX = Lanes4::Sub(laneAlong[group], halfPixel);
                        Lanes4::Store(samples + i + 4 * group,
                                      Lanes4::Or(Lanes4::ShiftLeft<8>(lanePhase[group]),
                                                 Lanes4::Xor(Lanes4::And(sampleX, fractions), fractions)));
                        const Lanes4::V remainders = Lanes4::Add(laneRemainder[group], laneIncrement);
                        const Lanes4::V carry = Lanes4::Greater(remainders, zero);
                        laneRemainder[group] = Lanes4::Sub(remainders, Lanes4::And(carry, count));
                        laneAlong[group] = Lanes4::Sub(Lanes4::Add(laneAlong[group], laneWhole), carry);
                        const Lanes4::V column = Lanes4::Add(
                            Lanes4::ShiftRightArithmetic<shift>(Lanes4::Sub(laneAlong[group], halfPixel)), first);
                        if constexpr (Coordinate::Periodic) {
                            const Lanes4::V moved =
                                Lanes4::Add(lanePhase[group], Lanes4::Sub(column, laneColumn[group]));
                            laneColumn[group] = column;
                            // At most one of the two applies.
                            const Lanes4::V above = Lanes4::And(Lanes4::Greater(moved, lastPhase), period);
                            const Lanes4::V below = Lanes4::And(Lanes4::Greater(zero, moved), period);
                            lanePhase[group] = Lanes4::Sub(moved, Lanes4::Sub(above, below));
                        } else {
                            // The phase is the column moved on and clamped to the phases.
                            Lanes4::V phase = Lanes4::Add(column, Lanes4::Set(Coordinate::Before));
                            phase = Lanes4::And(phase, Lanes4::Greater(phase, zero));
                            const Lanes4::V over = Lanes4::Greater(phase, lastPhase);
                            lanePhase[group] = Lanes4::Or(Lanes4::AndNot(over, phase), Lanes4::And(over, lastPhase));
                        }
                    }
                ran(pixels);
                length -= pixels;
            }
            return;
        }
        while (length) {
            const unsigned pixels = length < run ? length : run;
            for (unsigned i = 0; i < pixels; ++i, advance()) {
                const int sampleX = along - half;
                columns.Step((sampleX >> shift) + start);
                samples[i] = StripSample(columns.Phase(), mask - (sampleX & mask));
            }
            ran(pixels);
            length -= pixels;
        }
    }
#endif

    // The first row of an image row index, or null outside the image.
    const agg::int8u* Row(int index) const { return index < 0 ? nullptr : image.row_ptr(index); }
    // The pixel of `column` in `row`, or the tile colour outside the image.
    const agg::int8u* At(const agg::int8u* row, int column) const {
        if (Coordinate::ReadsOutside && (!row || column < 0))
            return tile;
        return row + 4 * column;
    }

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
    agg::int8u tile[4];
#if defined(VUDADIVE2R_IMAGE_LANES)
    StripWeigher weigh = nullptr;
    // Each column fraction's near and far weights (WeightPair), for turned spans.
    bool nearFarReady = false;
    uint32_t nearFar[agg::image_subpixel_scale];
    // The strip of the rows last prepared (the phases are the image's).
    bool stripReady = false;
    int stripUpper = 0, stripLower = 0;
    PixelPairs strip[2 * StripPhases];
    // The samples of the last span stepped whole, and what they were stepped from.
    ScratchArray<uint32_t, 16> keptSamples;
    bool samplesKept = false;
    SampleKey keptKey{};
#endif
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
