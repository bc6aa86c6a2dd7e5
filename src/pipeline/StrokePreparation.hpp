// Stroke and dash settings made safe for the stroker and the dasher: what
// a stroke pass may ask of them without overflowing or running away.
#ifndef VUDADIVE2R_PIPELINE_STROKEPREPARATION_HPP
#define VUDADIVE2R_PIPELINE_STROKEPREPARATION_HPP

#include <agg_basics.h>
#include <agg_math_stroke.h>

#include <vector>

#include "pipeline/CullingDashGenerator.hpp"
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
// period of at least GeometryLimits::ShortestDashPeriod; otherwise the
// stroke is drawn as if there were no pattern. A non-finite phase counts as
// 0; one beyond GeometryLimits::PhasePeriods periods is reduced.
DashPlan PlanDashes(const std::vector<Dash>& pattern, float phase);

// Where the dashes of a stroke can change pixels of a surface of `width` x
// `height`, how far their strokes reach, and the dasher's budgets.
DashWindow DashCullingWindow(const StrokeGeometry& stroke, agg::line_cap_e cap, agg::line_join_e join, int width,
                             int height);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
