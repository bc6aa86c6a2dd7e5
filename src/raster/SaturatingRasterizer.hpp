// The reference road's rasterizer: AGG's scanline rasterizer, with a sweep
// whose winding sums cannot overflow.
//
// AGG accumulates coverage in int: a cell's area and the running cover of a
// row reach 2^31 once about 2^14 edges overlap (each edge adds at most
// 256 cover and 2 x 256 x 256 area to a cell), which is undefined behaviour
// and wrong pixels. Below 2^14 edges in a pass nothing can overflow, and
// this class is AGG's rasterizer fed edge by edge. From the 2^14th edge on
// the pass goes to the library's dense coverage instead, AGG's arithmetic
// with exact 64-bit sums, saturating where AGG's would be full (non-zero)
// or taking the parity of the true winding (even-odd); where AGG's sums stay
// within int both give the same bytes.
//
// Paints receive the AGG base type. A paint that sweeps the base directly
// (a client's own) sees the same geometry whenever no row is crossed by
// 2^14 edges or more, and an empty rasterizer for a pass whose sums could
// overflow. The library's paints sweep this class itself.
#ifndef VUDADIVE2R_RASTER_SATURATINGRASTERIZER_HPP
#define VUDADIVE2R_RASTER_SATURATINGRASTERIZER_HPP

#include <agg_array.h>
#include <agg_basics.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "raster/AggRasterizer.hpp"
#include "raster/DenseRasterizer.hpp"
#include "raster/OutlineVertices.hpp"

namespace ORV {
namespace Vudadive2R {

class SaturatingRasterizer : public Rasterizer {
public:
    // Edges in one pass below which no sum of AGG's can leave int: the
    // largest |cover x 512 - area| is 512 x 256 per edge.
    static constexpr unsigned SafeEdges = DenseRasterizer::SafeEdges;

    // Empties both stores and forgets the recorded edges.
    void reset() {
        Rasterizer::reset();
        dense.reset();
        edges.remove_all();
        wide = false;
        confined = false;
        outline.Reset();
    }

    // The surface the dense coverage of a deep pass is for.
    void SurfaceBounds(int width, int height) { dense.SurfaceBounds(width, height, true); }

    // The clipped feed declares the box its edges stay within; only noted.
    void ConfineTo(int, int, int, int) { confined = true; }
    // True when the feed clipped this pass to the surface.
    bool Clipped() const { return confined; }

    void filling_rule(agg::filling_rule_e rule) {
        Rasterizer::filling_rule(rule);
        dense.filling_rule(rule);
    }

    // As AGG's add_vertex without a clip box.
    void add_vertex(double x, double y, unsigned command) { outline.Add(*this, x, y, command); }

    // One edge in 24.8 fixed point.
    void edge(int x1, int y1, int x2, int y2) {
        edges.add(Edge{x1, y1, x2, y2});
        if (wide) {
            dense.edge(x1, y1, x2, y2);
        } else if (edges.size() > SafeEdges) {
            // From here on the base could overflow: the pass goes to the dense store.
            Rasterizer::reset();
            wide = true;
            for (unsigned i = 0; i < edges.size(); ++i)
                dense.edge(edges[i].x1, edges[i].y1, edges[i].x2, edges[i].y2);
        } else {
            Rasterizer::edge(x1, y1, x2, y2);
        }
    }

    // Ends the pass: closes an open sub-path and, for a deep pass whose
    // rows AGG's sums can hold, gives the base the same edges for a paint
    // that sweeps it directly. Called by the feed before the paint sweeps.
    void FinishFeed() {
        ClosePolygon();
        if (!wide)
            return;
        dense.FinishFeed();
        if (RowsFitInt())
            for (unsigned i = 0; i < edges.size(); ++i)
                Rasterizer::edge(edges[i].x1, edges[i].y1, edges[i].x2, edges[i].y2);
    }

    // The sweep interface of AGG's rasterizer, as agg::render_scanlines_*
    // call it.
    bool rewind_scanlines() { return wide ? dense.rewind_scanlines() : Rasterizer::rewind_scanlines(); }
    bool navigate_scanline(int y) { return wide ? dense.navigate_scanline(y) : Rasterizer::navigate_scanline(y); }
    int min_x() const { return wide ? dense.min_x() : Rasterizer::min_x(); }
    int max_x() const { return wide ? dense.max_x() : Rasterizer::max_x(); }
    int min_y() const { return wide ? dense.min_y() : Rasterizer::min_y(); }
    int max_y() const { return wide ? dense.max_y() : Rasterizer::max_y(); }

    template <class Scanline>
    bool sweep_scanline(Scanline& scanline) {
        return wide ? dense.sweep_scanline(scanline) : Rasterizer::sweep_scanline(scanline);
    }

private:
    struct Edge {
        int x1, y1, x2, y2;
    };

    void ClosePolygon() { outline.Close(*this); }

    // True when no row is crossed by more than SafeEdges edges, so that no
    // sum AGG's sweep forms can leave int.
    bool RowsFitInt() const {
        std::vector<std::pair<int, int>> changes;  // (row, +1 where edges start, -1 past where they end)
        changes.reserve(2 * edges.size());
        for (unsigned i = 0; i < edges.size(); ++i) {
            const Edge& e = edges[i];
            const int top = std::min(e.y1, e.y2) >> agg::poly_subpixel_shift;
            const int bottom = std::max(e.y1, e.y2) >> agg::poly_subpixel_shift;
            changes.emplace_back(top, 1);
            changes.emplace_back(bottom == INT_MAX ? bottom : bottom + 1, -1);
        }
        std::sort(changes.begin(), changes.end());
        long long crossing = 0;
        for (const auto& change : changes)
            if ((crossing += change.second) > SafeEdges)
                return false;
        return true;
    }

    DenseRasterizer dense;
    agg::pod_bvector<Edge, 12> edges;
    bool wide = false, confined = false;
    OutlineVertices outline;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
