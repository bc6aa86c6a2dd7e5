#include "pipeline/StrokePreparation.hpp"

#include <algorithm>
#include <cmath>

namespace ORV {
namespace Vudadive2R {

StrokeGeometry SafeStrokeGeometry(float width, float miterLimit) {
    StrokeGeometry result{!std::isnan(width), 0, 4.0};
    if (!result.drawable)
        return result;
    // A negative width strokes as its magnitude. The stroker takes its
    // tolerance for nearly collinear joins with the width's sign, so with a
    // negative width every such join becomes a round arc, and where rounding
    // tips the turn the wrong way a whole circle: thousands of points at
    // large widths, and a disc of extra winding that even-odd punches out.
    result.width = std::min(std::fabs(double(width)), GeometryLimits::LineWidth);
    if (!std::isnan(miterLimit))
        result.miterLimit = miterLimit;
    const double halfWidth = result.width * 0.5;
    if (halfWidth > 0) {
        const double largest = GeometryLimits::MiterLength / halfWidth;
        result.miterLimit = std::max(-largest, std::min(result.miterLimit, largest));
    } else if (std::isinf(result.miterLimit)) {
        result.miterLimit = std::copysign(1.0, result.miterLimit);  // 0 x inf would be NaN
    }
    return result;
}

DashPlan PlanDashes(const std::vector<Dash>& pattern, float phase) {
    // The dasher keeps at most 32 lengths, that is 16 records.
    const unsigned records = unsigned(std::min<size_t>(pattern.size(), 16));
    DashPlan plan{0, 0, std::isfinite(phase) ? double(phase) : 0.0};
    for (unsigned i = 0; i < records; ++i) {
        const double length = pattern[i].Length, gap = pattern[i].Gap;
        if (!std::isfinite(length) || !std::isfinite(gap))
            return plan;
        plan.period += length + gap;
    }
    if (!(plan.period >= GeometryLimits::ShortestDashPeriod))
        return plan;
    plan.records = records;
    if (std::fabs(plan.phase) > GeometryLimits::PhasePeriods * plan.period) {
        const double reduced = std::fmod(std::fabs(plan.phase), plan.period);
        // A negative phase keeps its sign: it makes the pattern run on
        // across sub-paths.
        plan.phase = plan.phase > 0 ? reduced : -(reduced + plan.period);
    }
    return plan;
}

DashWindow DashCullingWindow(const StrokeGeometry& stroke, agg::line_cap_e cap, agg::line_join_e join, int width,
                             int height) {
    // The stroker puts every point within the half width of the dash's
    // points, except a square cap's corners (sqrt 2 half widths) and the
    // joins: a miter within the limit plus one half width when the limit is
    // 1 or more, but beyond any bound below that, where a nearly straight
    // corner's clipped miter runs far out; round and bevel joins within 1.01
    // half widths, and inner joins within the half width of their edges.
    // A pixel more covers rounding.
    const double halfWidth = stroke.width * 0.5;
    const double capFactor = cap == agg::square_cap ? 1.5 : 1.0;
    double cornerReach = HUGE_VAL;
    if (join != agg::miter_join)
        cornerReach = halfWidth * 1.5 + 1;
    else if (stroke.miterLimit >= 1)
        cornerReach = halfWidth * (std::max(stroke.miterLimit, capFactor) + 1) + 1;
    const double columns = GeometryLimits::SpanColumns;
    const double work = 8 + stroke.width, pixels = double(width) * height;
    return DashWindow{-columns,
                      width + columns,
                      0,
                      double(height),
                      halfWidth * capFactor + 1,
                      cornerReach,
                      GeometryLimits::DashStepsPerPass + GeometryLimits::DashStepsPerPixel * pixels,
                      GeometryLimits::DashWorkPerPass + GeometryLimits::DashWorkPerPixel * pixels,
                      work};
}

}  // namespace Vudadive2R
}  // namespace ORV
