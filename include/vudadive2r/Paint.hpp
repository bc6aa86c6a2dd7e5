/// @file
/// Paints: what colours the coverage of a fill or a stroke.
#ifndef VUDADIVE2R_PAINT_HPP
#define VUDADIVE2R_PAINT_HPP

#include <memory>

#include "Context2D.hpp"
#include "Types.hpp"

namespace ORV {
namespace Vudadive2R {

struct Internals;

/// What colours the coverage of a fill or a stroke; every paint keeps its context alive.
class ORV_API Paint {
public:
    /// Composites the rasterizer's coverage through the renderer. The four
    /// pointers are the drawing pipeline's rasterizer, scanline, renderer and
    /// paint matrix (surface position to paint space), valid for the call only.
    /// The rasterizer is AGG's scanline rasterizer; a pass whose winding sums
    /// would overflow its int arithmetic leaves it empty, and only the
    /// library's own paints sweep such a pass, saturated.
    virtual void Rasterize(void* rasterizer, void* scanline, void* renderer, void* paintMatrix) = 0;
    /// Releases the paint's share of its context.
    virtual ~Paint();

protected:
    /// Keeps `context` alive.
    explicit Paint(const std::shared_ptr<Context2D>& context);

    /// The context the paint was made for.
    std::shared_ptr<Context2D> context;

private:
    friend struct Internals;
};

/// Paints every covered pixel with one colour.
class ORV_API ColorPaint : public Paint {
public:
    /// A paint of `color` (straight alpha, components nominally 0 to 1).
    ColorPaint(const std::shared_ptr<Context2D>& context, const Color& color);
    /// Composites the coverage in the colour, premultiplied, with the renderer's blend mode.
    void Rasterize(void* rasterizer, void* scanline, void* renderer, void* paintMatrix) override;
    /// Nothing beyond the base.
    ~ColorPaint() override;

    Color color;  ///< straight alpha; fixed after construction
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
