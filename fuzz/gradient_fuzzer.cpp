// Linear and radial gradient paints with random stops (NaN, infinities and
// huge offsets among them), spread modes (now and then out of range) and
// paint transforms, filling and stroking a small random path.
#include "FuzzSupport.hpp"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    RandomScene scene(input, RandomGradient);
    return Expecting([&] {
        std::unique_ptr<Path> path = RandomShapes(input, scene.target.context);
        TimedDraw(*path, scene.fill, scene.stroke);
    });
}
