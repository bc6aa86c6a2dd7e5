// Gradient paints: a 256-entry colour ramp built from colour stops at every
// draw, laid along a line or around a focus inside a circle.
#ifndef VUDADIVE2R_GRADIENTPAINT_HPP
#define VUDADIVE2R_GRADIENTPAINT_HPP

#include <cstdint>
#include <memory>
#include <vector>

#include "Paint.hpp"
#include "Types.hpp"

namespace ORV {
namespace Vudadive2R {

// What the ramp does beyond the ends of the gradient.
enum class SpreadMode : int32_t { Pad = 0, Reflect = 1, Repeat = 2 };

// A ramp position (0 start, 1 end; clamped to 0..1 when drawn) and its
// straight-alpha colour.
struct ColorStop {
    float Offset;
    Vudadive2R::Color Color;
};

// The stops, spread mode and premultiplier flag that both gradients share.
// Fields are read and written directly; drawing validates them. Pixels that
// map 2^22 units or more from the gradient's origin take the colour of the
// nearest position within that range.
class ORV_API GradientPaint : public Paint {
public:
    ~GradientPaint() override;

    // Any value is stored; drawing with one outside Pad..Repeat throws
    // NotSupportedException before a pixel is written.
    SpreadMode ColorRampSpreadMode;
    // Stored and reported only: the ramp is always built from the stop
    // colours as given.
    bool ColorRampPremultiplierEnabled;
    // In the order given; any order and repeated offsets are allowed. No
    // stop draws transparent black; one offset (after clamping) draws its
    // first stop's colour everywhere.
    std::vector<ColorStop> ColorStops;

protected:
    explicit GradientPaint(const std::shared_ptr<Context2D>& context);
};

// Colour varies along the line from (x0, y0) to (x1, y1), in paint space.
// Coinciding points (a length under 1/32 unit), a length of 2^19 units or
// more, non-finite points or a singular paint transform draw transparent
// black.
class ORV_API LinearGradientPaint : public GradientPaint {
public:
    // Keeps a reference to the context; any values are accepted. Stops
    // empty, spread Pad.
    LinearGradientPaint(const std::shared_ptr<Context2D>& context, float x0, float y0, float x1, float y1);
    // Throws NotSupportedException for a spread mode outside Pad..Repeat.
    void Rasterize(void* rasterizer, void* scanline, void* renderer, void* paintMatrix) override;
    ~LinearGradientPaint() override;

    const float x0, y0, x1, y1;
};

// Ramp position 0 at the focus (fx, fy), 1 on the circle of `radius` around
// (cx, cy), in paint space. A radius under 1/32 unit or of 2^19 units or
// more, a focus 2^19 units or more off the centre along either axis, non-finite values or a
// singular paint transform draw transparent black; a focus outside the
// circle is used as it is.
class ORV_API RadialGradientPaint : public GradientPaint {
public:
    // Keeps a reference to the context; any values are accepted. Stops
    // empty, spread Pad.
    RadialGradientPaint(const std::shared_ptr<Context2D>& context, float cx, float cy, float radius, float fx,
                        float fy);
    // Throws NotSupportedException for a spread mode outside Pad..Repeat.
    void Rasterize(void* rasterizer, void* scanline, void* renderer, void* paintMatrix) override;
    ~RadialGradientPaint() override;

    const float cx, cy, radius, fx, fy;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
