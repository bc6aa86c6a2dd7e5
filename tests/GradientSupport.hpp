// A gradient paint from its numbers: five make a radial gradient (cx, cy,
// radius, fx, fy), four a linear one (x0, y0, x1, y1).
#ifndef VUDADIVE2R_GRADIENT_SUPPORT_HPP
#define VUDADIVE2R_GRADIENT_SUPPORT_HPP

#include <memory>
#include <vector>

#include "vudadive2r.hpp"

namespace DrawSupport {

inline std::shared_ptr<ORV::Vudadive2R::GradientPaint> Gradient(
    const std::shared_ptr<ORV::Vudadive2R::Context2D>& context, const std::vector<ORV::Vudadive2R::ColorStop>& stops,
    ORV::Vudadive2R::SpreadMode spread, const std::vector<float>& g) {
    using namespace ORV::Vudadive2R;
    std::shared_ptr<GradientPaint> paint;
    if (g.size() == 5)
        paint = std::make_shared<RadialGradientPaint>(context, g[0], g[1], g[2], g[3], g[4]);
    else
        paint = std::make_shared<LinearGradientPaint>(context, g[0], g[1], g[2], g[3]);
    paint->ColorStops = stops;
    paint->ColorRampSpreadMode = spread;
    return paint;
}

}  // namespace DrawSupport

#endif
