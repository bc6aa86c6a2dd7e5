// Limits that keep client numbers from overflowing the fixed-point
// rasterizer or multiplying the work of one draw, and the helpers of the
// drawing pipeline that enforce them. Geometry within the limits goes through
// the pipeline untouched, so its pixels are exactly those of the plain AGG
// composition.
#ifndef VUDADIVE2R_GEOMETRYLIMITS_HPP
#define VUDADIVE2R_GEOMETRYLIMITS_HPP

#include <agg_basics.h>
#include <agg_clip_liang_barsky.h>
#include <agg_path_storage.h>
#include <agg_rasterizer_sl_clip.h>
#include <agg_trans_affine.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "path/AggPipeline.hpp"
#include "vudadive2r/Types.hpp"

namespace ORV {
namespace Vudadive2R {

struct GeometryLimits {
    // The rasterizer rounds coordinates to 24.8 fixed-point ints and
    // subtracts them; below this magnitude (2^22 pixels) neither overflows.
    static constexpr double RasterCoordinate = 4194304.0;
    // The scanline stores span positions and lengths in 16 bits: geometry
    // reaching beyond this many pixels from the origin is clipped to the
    // surface, whose drawable width is capped to match.
    static constexpr double SpanCoordinate = 32000.0;
    // The packaged rasterizer miscounts coverage once the geometry of one
    // pass is 2^14 pixels wide or wider (a single edge that wide is even
    // added twice). Wider geometry goes through the clipped path, which
    // also halves edges that wide itself, as the rasterizer means to.
    static constexpr double EdgeWidth = 16000.0;
    // Geometry with larger coordinates, in path units or in pixels, draws
    // nothing: flattening and stroking would overflow doubles.
    static constexpr double Coordinate = 1e100;
    // A curve wider or taller than this many path units is flattened with a
    // tolerance scaled to its size, so that one curve yields at most about
    // 10^5 points instead of up to 2^32.
    static constexpr double CurveExtent = 4294967296.0;
    // Stroke widths beyond 2^24 pixels cannot leave a vertex within the
    // raster range anyway; clamping keeps round joins at about 2 x 10^4 points.
    static constexpr double LineWidth = 16777216.0;
    // The miter limit is clamped so that a miter reaches at most this far
    // from its vertex, which is already outside the raster range.
    static constexpr double MiterLength = 8388608.0;
    // More dashes than this in one stroke pass draw the stroke undashed.
    static constexpr double DashesPerPass = 4194304.0;
    // A dash phase beyond this many pattern periods is reduced modulo the
    // period, so restarting the pattern at each sub-path stays cheap.
    static constexpr double PhasePeriods = 64.0;
};

// Copies the path's vertices for one draw, as the pipeline reads them (up to
// the first stop entry). Curves larger than GeometryLimits::CurveExtent are
// replaced by their coarser flattening. Returns false when a coordinate is
// not finite or exceeds GeometryLimits::Coordinate; `largestMagnitude`
// receives the largest coordinate magnitude copied.
bool CopyForDrawing(const agg::path_storage& source, agg::path_storage& copy, double& largestMagnitude);

// True when the matrix is finite and maps coordinates up to `magnitude` to
// coordinates within GeometryLimits::Coordinate.
bool TransformKeepsLimits(const agg::trans_affine& matrix, double magnitude);

struct StrokeGeometry {
    bool drawable;  // false for a NaN width
    double width;
    double miterLimit;
};

// Width clamped to GeometryLimits::LineWidth; a NaN miter limit becomes the
// default 4, and the limit is clamped to GeometryLimits::MiterLength.
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

// Drops the dashing when the path is so long for the period that the dasher
// would emit more than GeometryLimits::DashesPerPass dashes.
void LimitDashCount(DashPlan& plan, double pathLength);

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

namespace detail {

// Clipping in long double, whose range holds the products of any two
// doubles, then rounding to 24.8 fixed point within the clip box.
struct WideConversion {
    typedef long double coord_type;
    static coord_type mul_div(coord_type a, coord_type b, coord_type c) { return a * b / c; }
    static int xi(coord_type v) { return agg::iround(double(v) * agg::poly_subpixel_scale); }
    static int yi(coord_type v) { return agg::iround(double(v) * agg::poly_subpixel_scale); }
    static coord_type upscale(double v) { return v; }
    static coord_type downscale(int v) { return v / coord_type(agg::poly_subpixel_scale); }
};

// Halves edges too wide for the rasterizer to take in one piece, at the
// points where the rasterizer itself would split them.
struct EdgeSink {
    Rasterizer& rasterizer;
    void line(int x1, int y1, int x2, int y2) {
        constexpr long long widest = (16384LL << agg::poly_subpixel_shift) - 1;
        const long long dx = (long long)x2 - (long long)x1;
        if (dx > widest || dx < -widest) {
            const int cx = int(((long long)x1 + (long long)x2) >> 1);
            const int cy = int(((long long)y1 + (long long)y2) >> 1);
            line(x1, y1, cx, cy);
            line(cx, cy, x2, y2);
            return;
        }
        rasterizer.edge(x1, y1, x2, y2);
    }
};

// Feeds the source clipped to the surface (plus a pixel of margin), with the
// rasterizer's own sub-path rules: an open sub-path is closed by a line back
// to its start, and drawing starts from (0, 0). Edges left or right of the
// box become vertical edges on its border, which keeps the winding of every
// pixel inside. A non-finite vertex leaves the rasterizer empty.
template <class VertexSource>
void AddPathClipped(Rasterizer& rasterizer, VertexSource& source, int width, int height) {
    typedef agg::rasterizer_sl_clip<WideConversion> Clipper;
    const long double limit = GeometryLimits::RasterCoordinate - 1;
    Clipper clipper;
    const long double spanLimit = GeometryLimits::SpanCoordinate - 2;
    clipper.clip_box(-1, -1, std::min<long double>(width + 1.0L, spanLimit),
                     std::min<long double>(height + 1.0L, limit));
    EdgeSink sink{rasterizer};
    enum { Initial, Moved, Drawing, Closed } status = Initial;
    long double startX = 0, startY = 0;
    clipper.move_to(0, 0);

    rasterizer.reset();
    source.rewind(0);
    double x, y;
    unsigned command;
    while (!agg::is_stop(command = source.vertex(&x, &y))) {
        if (agg::is_vertex(command) && !(std::isfinite(x) && std::isfinite(y))) {
            rasterizer.reset();
            return;
        }
        if (agg::is_move_to(command)) {
            if (status == Drawing)
                clipper.line_to(sink, startX, startY);
            clipper.move_to(startX = x, startY = y);
            status = Moved;
        } else if (agg::is_vertex(command)) {
            clipper.line_to(sink, x, y);
            status = Drawing;
        } else if (agg::is_close(command) && status == Drawing) {
            clipper.line_to(sink, startX, startY);
            status = Closed;
        }
    }
    if (status == Drawing)
        clipper.line_to(sink, startX, startY);
}

}  // namespace detail

// Resets the rasterizer and adds the source, exactly as add_path does while
// every vertex lies within GeometryLimits::RasterCoordinate vertically and
// the horizontal extent within GeometryLimits::EdgeWidth. At the
// first vertex beyond either the pass starts over with the source clipped
// to the surface in extended precision.
template <class VertexSource>
void AddPathWithinLimits(Rasterizer& rasterizer, VertexSource& source, int width, int height) {
    rasterizer.reset();
    source.rewind(0);
    double x, y, left = HUGE_VAL, right = -HUGE_VAL;
    unsigned command;
    while (!agg::is_stop(command = source.vertex(&x, &y))) {
        if (agg::is_vertex(command)) {
            // A pass that does not begin with a move starts its first edge at the origin.
            if (left > right && !agg::is_move_to(command))
                left = right = 0;
            const double span = GeometryLimits::SpanCoordinate;
            left = std::min(left, x);
            right = std::max(right, x);
            if (!(std::fabs(x) < span && right - left < GeometryLimits::EdgeWidth &&
                  std::fabs(y) < GeometryLimits::RasterCoordinate)) {
                detail::AddPathClipped(rasterizer, source, width, height);
                return;
            }
        }
        rasterizer.add_vertex(x, y, command);
    }
}

}  // namespace Vudadive2R
}  // namespace ORV

#endif
