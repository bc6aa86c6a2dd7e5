// Stroke and dash settings made safe for the stroker and the dasher: what
// a stroke pass may ask of them without overflowing or running away.
#ifndef VUDADIVE2R_PIPELINE_STROKEPREPARATION_HPP
#define VUDADIVE2R_PIPELINE_STROKEPREPARATION_HPP

#include <agg_basics.h>

#include <cmath>
#include <vector>

#include "raster/GeometryLimits.hpp"
#include "vudadive2r/Types.hpp"

namespace ORV {
namespace Vudadive2R {

struct StrokeGeometry {
    bool drawable;  // false for a NaN width
    double width;
    double miterLimit;
};

// The width's magnitude, clamped to GeometryLimits::LineWidth; a NaN miter
// limit becomes the default 4, and the limit is clamped to
// GeometryLimits::MiterLength.
StrokeGeometry SafeStrokeGeometry(float width, float miterLimit);

struct DashPlan {
    unsigned records;  // dash records to add; 0 strokes undashed
    double period;     // sum of the lengths and gaps of those records
    double phase;
};

// The records the dasher uses (at most 16) must be finite and add up to a
// positive period that is not lost in cancellation; otherwise the stroke is
// drawn as if there were no pattern. A non-finite phase counts as 0.
DashPlan PlanDashes(const std::vector<Dash>& pattern, float phase);

// Drops the dashing when the path is so long for the period that the dashes
// would cost more than GeometryLimits::DashWorkPerPass.
void LimitDashCount(DashPlan& plan, double pathLength, double lineWidth);

// Length of the polyline a vertex source produces, closing segments included.
template <class VertexSource>
double PathLength(VertexSource& source) {
    double total = 0, startX = 0, startY = 0, lastX = 0, lastY = 0, x, y;
    unsigned command;
    source.rewind(0);
    while (!agg::is_stop(command = source.vertex(&x, &y))) {
        if (agg::is_move_to(command)) {
            startX = lastX = x;
            startY = lastY = y;
        } else if (agg::is_vertex(command)) {
            total += std::sqrt((x - lastX) * (x - lastX) + (y - lastY) * (y - lastY));
            lastX = x;
            lastY = y;
        } else if (agg::is_end_poly(command)) {
            total += std::sqrt((startX - lastX) * (startX - lastX) + (startY - lastY) * (startY - lastY));
            lastX = startX;
            lastY = startY;
        }
    }
    return total;
}

}  // namespace Vudadive2R
}  // namespace ORV

#endif
