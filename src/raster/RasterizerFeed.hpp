// Feeding a vertex source to the rasterizer of a pass (AddPass): as AGG's
// add_path while the geometry is within what that rasterizer takes exactly,
// clipped to the surface in extended precision beyond. The library's dense
// coverage takes the whole raster range; AGG's own rasterizer, of the
// reference road, the limits of AddPathWithinLimits.
#ifndef VUDADIVE2R_RASTER_RASTERIZERFEED_HPP
#define VUDADIVE2R_RASTER_RASTERIZERFEED_HPP

#include <agg_basics.h>
#include <agg_clip_liang_barsky.h>
#include <agg_rasterizer_sl_clip.h>

#include <algorithm>
#include <cmath>

#include "raster/AggRasterizer.hpp"
#include "raster/DenseRasterizer.hpp"
#include "raster/GeometryLimits.hpp"
#include "raster/SaturatingRasterizer.hpp"

namespace ORV {
namespace Vudadive2R {

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
// points where the rasterizer itself would split them. Consecutive vertical
// edges on one column (clipping makes one on the border for every edge
// beside the surface) are joined into one: each row's cover is the sum of
// theirs either way, and a path wound far beside the surface makes a few
// cells instead of a column of cells per edge.
template <class RasterizerType>
struct EdgeSink {
    RasterizerType& rasterizer;
    bool pending = false;
    int pendingX = 0, pendingY1 = 0, pendingY2 = 0;

    void line(int x1, int y1, int x2, int y2) {
        if (x1 == x2) {
            if (pending && x1 == pendingX && y1 == pendingY2) {
                pendingY2 = y2;
                return;
            }
            Flush();
            pending = true;
            pendingX = x1;
            pendingY1 = y1;
            pendingY2 = y2;
            return;
        }
        Flush();
        Add(x1, y1, x2, y2);
    }

    void Flush() {
        if (pending)
            rasterizer.edge(pendingX, pendingY1, pendingX, pendingY2);
        pending = false;
    }

private:
    void Add(int x1, int y1, int x2, int y2) {
        constexpr long long widest = (16384LL << agg::poly_subpixel_shift) - 1;
        const long long dx = (long long)x2 - (long long)x1;
        if (dx > widest || dx < -widest) {
            const int cx = int(((long long)x1 + (long long)x2) >> 1);
            const int cy = int(((long long)y1 + (long long)y2) >> 1);
            Add(x1, y1, cx, cy);
            Add(cx, cy, x2, y2);
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
template <class RasterizerType, class VertexSource>
void AddPathClipped(RasterizerType& rasterizer, VertexSource& source, int width, int height) {
    typedef agg::rasterizer_sl_clip<WideConversion> Clipper;
    const long double limit = GeometryLimits::RasterCoordinate - 1;
    Clipper clipper;
    const long double spanLimit = GeometryLimits::SpanCoordinate - 2;
    const long double right = std::min<long double>(width + 1.0L, spanLimit);
    const long double bottom = std::min<long double>(height + 1.0L, limit);
    clipper.clip_box(-1, -1, right, bottom);
    EdgeSink<RasterizerType> sink{rasterizer};
    enum { Initial, Moved, Drawing, Closed } status = Initial;
    long double startX = 0, startY = 0;
    clipper.move_to(0, 0);

    rasterizer.reset();
    // Clipped edges make cells from column -1 to the right border, and so
    // for rows.
    rasterizer.ConfineTo(-1, -1, int(right), int(bottom));
    source.rewind(0);
    double x, y;
    unsigned command;
    while (!agg::is_stop(command = source.vertex(&x, &y))) {
        if (agg::is_vertex(command) && !(std::isfinite(x) && std::isfinite(y))) {
            rasterizer.reset();
            rasterizer.FinishFeed();
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
    sink.Flush();
    rasterizer.FinishFeed();
}

}  // namespace detail

// Resets the rasterizer and adds the source, exactly as add_path does while
// every vertex lies within GeometryLimits::SpanCoordinate of the origin, the
// horizontal extent within GeometryLimits::EdgeWidth, and the edges cross
// fewer than GeometryLimits::CellWorkPerPass rows and columns in all. Rows
// are bounded like columns because the rasterizer makes a cell for every
// row an edge crosses: a few edges 2^23 rows tall took most of a second to
// draw nothing, and the wide stroke of a wound arc 90 s. At the first
// vertex beyond any of these the pass starts over with the source clipped
// to the surface in extended precision.
template <class RasterizerType, class VertexSource>
void AddPathWithinLimits(RasterizerType& rasterizer, VertexSource& source, int width, int height) {
    rasterizer.reset();
    source.rewind(0);
    double x, y, left = HUGE_VAL, right = -HUGE_VAL;
    double lastX = 0, lastY = 0, cellWork = 0;
    unsigned command;
    while (!agg::is_stop(command = source.vertex(&x, &y))) {
        if (agg::is_vertex(command)) {
            // A pass that does not begin with a move starts its first edge at the origin.
            if (left > right && !agg::is_move_to(command))
                left = right = 0;
            const double span = GeometryLimits::SpanCoordinate;
            left = std::min(left, x);
            right = std::max(right, x);
            // Closing edges are not counted: each is at most as long as
            // the other edges of its sub-path together.
            cellWork += agg::is_move_to(command) ? 0 : std::fabs(x - lastX) + std::fabs(y - lastY);
            if (!(std::fabs(x) < span && right - left < GeometryLimits::EdgeWidth &&
                  std::fabs(y) < GeometryLimits::SpanCoordinate && cellWork < GeometryLimits::CellWorkPerPass)) {
                detail::AddPathClipped(rasterizer, source, width, height);
                return;
            }
            lastX = x;
            lastY = y;
        }
        rasterizer.add_vertex(x, y, command);
    }
    rasterizer.FinishFeed();
}

// Adds the source after what the rasterizer holds, while every vertex lies
// within the raster range; false at the first that does not.
template <class VertexSource>
bool FeedWithinRasterRange(DenseRasterizer& rasterizer, VertexSource& source) {
    source.rewind(0);
    double x, y;
    unsigned command;
    while (!agg::is_stop(command = source.vertex(&x, &y))) {
        if (agg::is_vertex(command) && !(std::fabs(x) < GeometryLimits::RasterCoordinate &&
                                         std::fabs(y) < GeometryLimits::RasterCoordinate))
            return false;
        rasterizer.add_vertex(x, y, command);
    }
    return true;
}

// Resets the rasterizer and adds the source while every vertex lies within
// the raster range; false at the first that does not (the pass is then to
// be fed clipped). Also a part of a pass on its own (PassGeometry's parts).
template <class VertexSource>
bool AddWithinRasterRange(DenseRasterizer& rasterizer, VertexSource& source) {
    rasterizer.reset();
    if (!FeedWithinRasterRange(rasterizer, source))
        return false;
    rasterizer.FinishFeed();
    return true;
}

// The library's coverage culls exactly to the surface, so it takes every
// vertex of the raster range as it is, whatever the number of edges and
// however far they reach; only a pass with a vertex beyond that range, or
// not finite, is clipped to the surface in extended precision.
template <class VertexSource>
void AddPass(DenseRasterizer& rasterizer, VertexSource& source, int width, int height) {
    if (!AddWithinRasterRange(rasterizer, source))
        detail::AddPathClipped(rasterizer, source, width, height);
}

// AGG's own rasterizer keeps every cell it makes and sorts them, so its
// work is bounded by the limits above.
template <class VertexSource>
void AddPass(SaturatingRasterizer& rasterizer, VertexSource& source, int width, int height) {
    AddPathWithinLimits(rasterizer, source, width, height);
}

}  // namespace Vudadive2R
}  // namespace ORV

#endif
