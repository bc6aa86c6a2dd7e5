// Linear and radial gradient paints with random stops (NaN, infinities and
// huge offsets among them), spread modes (now and then out of range) and
// paint transforms, filling and stroking a small random path; and the
// linear and radial gradients' spans (in lanes where the processor has them)
// against agg::span_gradient's over the same interpolator, pixel for pixel.
#include <agg_span_gradient.h>

#include <cmath>
#include <cstring>

#include "FuzzSupport.hpp"
#include "paint/GradientSpanGenerator.hpp"

using namespace FuzzSupport;

namespace {

float StopOffset(FuzzInput& input) {
    const uint8_t kind = input.Byte();
    if (kind < 160)
        return input.Byte() / 255.0f;
    return input.Coordinate();
}

std::shared_ptr<Paint> RandomGradient(FuzzInput& input, const std::shared_ptr<Context2D>& context) {
    auto f = [&] { return input.Coordinate(); };
    std::shared_ptr<GradientPaint> paint;
    if (input.Byte() & 1) {
        const float x0 = f(), y0 = f(), x1 = f(), y1 = f();
        paint = std::make_shared<LinearGradientPaint>(context, x0, y0, x1, y1);
    } else {
        const float cx = f(), cy = f(), radius = f(), fx = f(), fy = f();
        paint = std::make_shared<RadialGradientPaint>(context, cx, cy, radius, fx, fy);
    }
    const uint8_t spread = input.Byte();
    paint->ColorRampSpreadMode = SpreadMode(spread < 250 ? spread % 3 : int32_t(spread));
    paint->ColorRampPremultiplierEnabled = input.Byte() & 1;
    for (unsigned i = input.Count(8); i > 0; --i) {
        const float offset = StopOffset(input);
        paint->ColorStops.push_back(ColorStop{offset, RandomColor(input)});
    }
    return paint;
}

template <class Spread, class Value, class Function>
void CompareSpans(FuzzInput& input, const agg::trans_affine& matrix, const ColorRamp& ramp, int range,
                  const Value& value, const Function& function) {
    GradientSpanGenerator<Value, Spread> ours(matrix, value, ramp, range);
    BoundedSpanInterpolator interpolator(matrix);
    BoundedGradient<Function> bounded{function};
    agg::span_gradient<agg::rgba8, BoundedSpanInterpolator, decltype(bounded), const ColorRamp> theirs(
        interpolator, bounded, ramp, 0, range / double(agg::gradient_subpixel_scale));
    agg::rgba8 a[64], b[64];
    for (unsigned n = 1 + input.Count(4); n > 0; --n) {
        const int x = int(int16_t(input.U16())), y = int(int16_t(input.U16()));
        const unsigned length = 1 + input.Byte() % 64;
        ours.generate(a, x, y, length);
        theirs.generate(b, x, y, length);
        if (std::memcmp(a, b, length * sizeof(agg::rgba8)) != 0)
            std::abort();
    }
}

template <class Value, class Function>
void CompareSpreadSpans(FuzzInput& input, const agg::trans_affine& matrix, int range, const Value& value,
                        const Function& function) {
    std::vector<ColorStop> stops;
    for (unsigned i = 1 + input.Count(4); i > 0; --i)
        stops.push_back(ColorStop{StopOffset(input), RandomColor(input)});
    const ColorRamp ramp(stops);
    switch (input.Byte() % 3) {
    case 0: return CompareSpans<PadSpread>(input, matrix, ramp, range, value, function);
    case 1:
        return CompareSpans<RepeatSpread>(input, matrix, ramp, range, value, agg::gradient_repeat_adaptor(function));
    default:
        return CompareSpans<ReflectSpread>(input, matrix, ramp, range, value, agg::gradient_reflect_adaptor(function));
    }
}

void CompareGradientSpans(FuzzInput& input) {
    // Finite, as the pass matrices the paints receive are.
    double m[6];
    for (double& element : m)
        element = std::isfinite(element = input.Coordinate()) ? element : 0;
    const agg::trans_affine matrix(m);
    if (input.Byte() & 1) {
        const int range = 1 + int(input.U32() % uint32_t(GradientLimits::Value));
        return CompareSpreadSpans(input, matrix, range, LinearGradientValue(), agg::gradient_x());
    }
    const float radius = input.Coordinate(), focusX = input.Coordinate(), focusY = input.Coordinate();
    if (!RadialFocusFunction::Accepts(radius, focusX, focusY))
        return;
    const RadialFocusFunction function(radius, focusX, focusY);
    const int range = agg::iround(radius * agg::gradient_subpixel_scale);
    CompareSpreadSpans(input, matrix, range, FunctionGradientValue<RadialFocusFunction>{function, range}, function);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    RandomScene scene(input, RandomGradient);
    const int status = Expecting([&] {
        std::unique_ptr<Path> path = RandomShapes(input, scene.target.context);
        TimedDraw(*path, scene.fill, scene.stroke);
    });
    // The same bytes read again, so that every input compares spans.
    FuzzInput again(data, size);
    CompareGradientSpans(again);
    return status;
}
