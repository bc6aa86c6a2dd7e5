#include "pipeline/StrokePreparation.hpp"

#include <algorithm>

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
    double largest = 0;
    for (unsigned i = 0; i < records; ++i) {
        const double length = pattern[i].Length, gap = pattern[i].Gap;
        if (!std::isfinite(length) || !std::isfinite(gap))
            return plan;
        plan.period += length + gap;
        largest = std::max(largest, std::max(std::fabs(length), std::fabs(gap)));
    }
    // With negative entries the dasher advances by the period per cycle
    // only up to rounding; a period lost in cancellation could stall it.
    if (!(plan.period > 0) || plan.period < largest * 0x1p-30)
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

void LimitDashCount(DashPlan& plan, double pathLength, double lineWidth) {
    const double dashes = pathLength / plan.period * plan.records;
    if (plan.records && !(dashes * (8 + std::fabs(lineWidth)) <= GeometryLimits::DashWorkPerPass))
        plan.records = 0;
}

}  // namespace Vudadive2R
}  // namespace ORV
