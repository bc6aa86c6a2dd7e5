// The gradient span generator of the gradient paints: the colours of
// agg::span_gradient over BoundedSpanInterpolator and a BoundedGradient,
// with the interpolator's lines held in locals and the divisions by the
// ramp length and the spread period done by multiplication. The linear and
// radial gradients' spans go through the lanes of GradientLanes.hpp where the
// processor has them, this loop taking their last pixels.
#ifndef VUDADIVE2R_PAINT_GRADIENTSPANGENERATOR_HPP
#define VUDADIVE2R_PAINT_GRADIENTSPANGENERATOR_HPP

#include <agg_basics.h>
#include <agg_color_rgba.h>
#include <agg_span_gradient.h>
#include <agg_trans_affine.h>

#include <cstdint>
#include <type_traits>

#include "paint/GradientFunctions.hpp"
#include "paint/GradientLanes.hpp"
#include "paint/GradientRamp.hpp"
#include "paint/BoundedSpanInterpolator.hpp"
#include "paint/ExactDivisor.hpp"
#include "paint/SpanLines.hpp"

namespace ORV {
namespace Vudadive2R {

// Gradient values reach the spreads as AGG's functions give them: the
// position along x for the linear gradient, whose magnitude stays within
// the interpolator's 2^30 / 16, and the radial function's, within
// GradientLimits::SpreadValue.
constexpr int32_t GradientValueLimit = GradientLimits::SpreadValue;

// Ramp index of a gradient value: the value folded by the spread, times 256,
// divided by the range `d` (sixteenths, 1 to GradientLimits::Value), clamped
// to the ramp, as agg::span_gradient computes it with d1 = 0.
class GradientSpread {
public:
    explicit GradientSpread(int range) : range(range), length(uint32_t(range)) {}

protected:
    // The numbers of the lanes: the range's, and `period`'s with `lift`.
    GradientLaneSpread LaneNumbers(const ExactDivisor& period, uint32_t lift) const {
        return GradientLaneSpread{range,          length.Multiplier(), length.Shift(), int32_t(period.Divisor()),
                                  period.Multiplier(), period.Shift(), int32_t(lift)};
    }

    // (value x 256) / d for a value of 0 to d: below 2^31, so exact.
    uint32_t Scaled(uint32_t value) const {
        const uint32_t index = length.ScaledQuotient(value, 8);
        return index > 255 ? 255 : index;
    }
    // A multiple of `period` that makes every value from -GradientValueLimit
    // a non-negative dividend below 2^31 for the period's divisor.
    static uint32_t Lift(uint32_t period) {
        return period * ((uint32_t(GradientValueLimit) + period - 1) / period);
    }

    int32_t range;
    ExactDivisor length;
};

// Pad: values outside 0 to d select the end entries, as clamping them would.
struct PadSpread : GradientSpread {
    using GradientSpread::GradientSpread;
    static constexpr unsigned LaneKernel = 0;
    GradientLaneSpread LaneNumbers() const { return GradientSpread::LaneNumbers(length, 0); }
    uint32_t Index(int32_t value) const {
        return Scaled(uint32_t(value <= 0 ? 0 : value >= range ? range : value));
    }
};

// Repeat: the value modulo d, made non-negative (agg::gradient_repeat_adaptor).
struct RepeatSpread : GradientSpread {
    explicit RepeatSpread(int range) : GradientSpread(range), lift(Lift(uint32_t(range))) {}
    static constexpr unsigned LaneKernel = 1;
    GradientLaneSpread LaneNumbers() const { return GradientSpread::LaneNumbers(length, lift); }
    uint32_t Index(int32_t value) const { return Scaled(length.Remainder(uint32_t(value) + lift)); }

private:
    uint32_t lift;
};

// Reflect: modulo 2d, the second half mirrored back into 0 to d
// (agg::gradient_reflect_adaptor).
struct ReflectSpread : GradientSpread {
    explicit ReflectSpread(int range)
        : GradientSpread(range), period(2 * uint32_t(range)), lift(Lift(2 * uint32_t(range))) {}
    static constexpr unsigned LaneKernel = 2;
    GradientLaneSpread LaneNumbers() const { return GradientSpread::LaneNumbers(period, lift); }
    uint32_t Index(int32_t value) const {
        uint32_t folded = period.Remainder(uint32_t(value) + lift);
        if (folded >= uint32_t(range))
            folded = 2 * uint32_t(range) - folded;
        return Scaled(folded);
    }

private:
    ExactDivisor period;
    uint32_t lift;
};

// The gradient value at interpolator coordinates (1/256 units), in
// sixteenths as the span generator downscales them.
struct LinearGradientValue {
    static constexpr bool UsesY = false;
    int32_t operator()(int x, int) const { return x >> 4; }
};

template <class Function>
struct FunctionGradientValue {
    static constexpr bool UsesY = true;
    const Function& function;
    int range;
    int32_t operator()(int x, int y) const { return function.calculate(x >> 4, y >> 4, range); }
};

template <class Value, class Spread>
class GradientSpanGenerator {
public:
    // `range` is the ramp's length in units; GradientLimits::UsableRange(range).
    // `level` chooses the lanes (Portable: none); the default is the widest
    // this processor runs.
    GradientSpanGenerator(const agg::trans_affine& matrix, const Value& value, const ColorRamp& ramp, int range,
                          SimdLevel level = BestSimdLevel())
        : matrix(matrix), fallback(matrix), value(value), spread(range), ramp(ramp) {
        // The linear gradient (the position alone) and the radial one go
        // through the lanes.
        const GradientKernels* kernels = GradientKernelsFor(level);
        if (!kernels)
            return;
        if constexpr (!Value::UsesY) {
            linearLoop = kernels->linear[Spread::LaneKernel];
        } else if constexpr (std::is_same<Value, FunctionGradientValue<RadialFocusFunction>>::value) {
            radialLoop = kernels->radial[Spread::LaneKernel];
            focus = value.function.LaneNumbers();
        } else {
            return;
        }
        lanes = kernels->lanes;
        laneSpread = spread.LaneNumbers();
    }

    void prepare() {}

    void generate(agg::rgba8* span, int x, int y, unsigned length) {
        SpanLines lines;
        if (!lines.Begin(matrix, x + 0.5, y + 0.5, length, BoundedSpanInterpolator::PositionLimit))
            return GenerateFar(span, x, y, length);
        agg::dda2_line_interpolator alongX = lines.x, alongY = lines.y;
        if (lanes && length >= lanes) {
            const unsigned groups = length / lanes;
            InLanes(span, groups, alongX, alongY, lines, length);
            span += groups * lanes;
            length -= groups * lanes;
            if (length == 0)
                return;
        }
        const Value evaluate = value;
        const Spread fold = spread;
        const ColorRamp& colors = ramp;
        do {
            *span++ = colors[fold.Index(evaluate(alongX.y(), alongY.y()))];
            ++alongX;
            if (Value::UsesY)
                ++alongY;
        } while (--length);
    }

private:
    // The first `groups` x lanes pixels of a span of `length` from the starts
    // of `alongX` and `alongY` (whose ends `lines` holds) in lanes; the lines
    // are left at the pixel after them.
    void InLanes(agg::rgba8* span, unsigned groups, agg::dda2_line_interpolator& alongX,
                 agg::dda2_line_interpolator& alongY, const SpanLines& lines, unsigned length) const {
        static_assert(sizeof(agg::rgba8) == 4, "colours are written as R, G, B, A bytes");
        GradientLaneLine lineX, lineY;
        LaneLine(lineX, alongX, lines.x1, lines.x2, length);
        uint8_t* colors = reinterpret_cast<uint8_t*>(span);
        const uint8_t* entries = reinterpret_cast<const uint8_t*>(&ramp[0]);
        if (linearLoop) {
            linearLoop(colors, groups, lineX, laneSpread, entries);
        } else {
            LaneLine(lineY, alongY, lines.y1, lines.y2, length);
            radialLoop(colors, groups, lineX, lineY, focus, laneSpread, entries);
            Resume(alongY, lineY);
        }
        Resume(alongX, lineX);
    }

    // The line's state at each lane's pixel and its step over all lanes.
    void LaneLine(GradientLaneLine& line, const agg::dda2_line_interpolator& along, int from, int to,
                  unsigned length) const {
        agg::dda2_line_interpolator::save_data_type state[2];
        agg::dda2_line_interpolator step = along;
        for (unsigned i = 0; i < lanes; ++i, ++step) {
            step.save(state);
            line.remainder[i] = state[0];
            line.position[i] = state[1];
        }
        // lanes x d = whole x count + part, 0 <= part < count; with count at
        // least lanes, whole is within d, below 2^31.
        const int64_t advance = int64_t(lanes) * (int64_t(to) - from), count = length;
        int64_t whole = advance / count, part = advance % count;
        if (part < 0)
            part += count, --whole;
        line.whole = int32_t(whole);
        line.part = int32_t(part);
        line.count = int32_t(count);
    }

    // Continues `along` from the first lane of `line`.
    static void Resume(agg::dda2_line_interpolator& along, const GradientLaneLine& line) {
        agg::dda2_line_interpolator::save_data_type state[2] = {line.remainder[0], line.position[0]};
        along.load(state);
    }

    // Ends beyond the interpolator's reach: each pixel mapped on its own.
    void GenerateFar(agg::rgba8* span, int x, int y, unsigned length) {
        fallback.begin(x + 0.5, y + 0.5, length);
        do {
            int positionX, positionY;
            fallback.coordinates(&positionX, &positionY);
            *span++ = ramp[spread.Index(value(positionX, positionY))];
            ++fallback;
        } while (--length);
    }

    agg::trans_affine matrix;
    BoundedSpanInterpolator fallback;
    Value value;
    Spread spread;
    const ColorRamp& ramp;
    unsigned lanes = 0;  // none without lane loops
    LinearGradientLanes linearLoop = nullptr;
    RadialGradientLanes radialLoop = nullptr;
    GradientLaneFocus focus{};
    GradientLaneSpread laneSpread{};
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
