// The pipeline's rasterizer: AGG's scanline rasterizer, with a sweep whose
// winding sums cannot overflow.
//
// AGG accumulates coverage in int: a cell's area and the running cover of a
// row reach 2^31 once about 2^14 edges overlap (each edge adds at most
// 256 cover and 2 x 256 x 256 area to a cell), which is undefined behaviour
// and wrong pixels. Below 2^14 edges in a pass nothing can overflow, and
// this class is AGG's rasterizer fed edge by edge. From the 2^14th edge on
// it keeps its cells in 64 bits instead and sweeps them itself, saturating
// the coverage exactly where AGG's would be full (non-zero) or taking the
// parity of the true winding (even-odd); where AGG's sums stay within int
// both sweeps give the same bytes. A pass confined to a small box (the
// clipped feed) keeps those 64-bit cells in a CellGrid, one per pixel: a
// path wound thousands of times across the surface makes millions of cell
// records for a few hundred pixels.
//
// Paints receive the AGG base type. A paint that sweeps the base directly
// (a client's own) sees the same geometry as long as the pass stays within
// int arithmetic and is not gridded, and an empty rasterizer for a pass
// whose sums would overflow or that went to the grid. The library's paints
// sweep this class itself, on either road.
#ifndef VUDADIVE2R_RASTER_SATURATINGRASTERIZER_HPP
#define VUDADIVE2R_RASTER_SATURATINGRASTERIZER_HPP

#include <agg_array.h>
#include <agg_basics.h>
#include <agg_rasterizer_cells_aa.h>

#include <climits>

#include "raster/AggRasterizer.hpp"
#include "raster/CellGrid.hpp"
#include "raster/OutlineVertices.hpp"

namespace ORV {
namespace Vudadive2R {

class SaturatingRasterizer : public Rasterizer {
public:
    // Edges in one pass below which no sum of AGG's can leave int: the
    // largest |cover x 512 - area| is 512 x 256 per edge.
    static constexpr unsigned SafeEdges = 16383;

    SaturatingRasterizer() : wideCells(CellBlockLimit) {}

    // Empties both cell stores and forgets the recorded edges.
    void reset() {
        Rasterizer::reset();
        wideCells.reset();
        edges.remove_all();
        wide = false;
        confined = false;
        gridded = false;
        swept = Swept::Base;
        outline.Reset();
    }

    // Declares that every edge of this pass makes cells within columns
    // left..right and rows top..bottom only; a pass that goes wide then
    // sums its cells in a grid when the box is small enough. Reset undoes it.
    void ConfineTo(int left, int top, int right, int bottom) {
        confined = true;
        boxLeft = left;
        boxTop = top;
        boxRight = right;
        boxBottom = bottom;
    }

    // True when the feed clipped this pass to the surface.
    bool Clipped() const { return confined; }

    void filling_rule(agg::filling_rule_e rule) {
        Rasterizer::filling_rule(rule);
        fillingRule = rule;
    }

    // As AGG's add_vertex without a clip box.
    void add_vertex(double x, double y, unsigned command) { outline.Add(*this, x, y, command); }

    // One edge in 24.8 fixed point.
    void edge(int x1, int y1, int x2, int y2) {
        edges.add(Edge{x1, y1, x2, y2});
        if (gridded) {
            grid.line(x1, y1, x2, y2);
        } else if (wide) {
            wideCells.line(x1, y1, x2, y2);
        } else if (edges.size() > SafeEdges) {
            // From here on the base could overflow: rebuild the pass in 64-bit cells.
            Rasterizer::reset();
            wide = true;
            gridded = confined && grid.Reset(boxLeft, boxTop, boxRight, boxBottom);
            for (unsigned i = 0; i < edges.size(); ++i) {
                if (gridded)
                    grid.line(edges[i].x1, edges[i].y1, edges[i].x2, edges[i].y2);
                else
                    wideCells.line(edges[i].x1, edges[i].y1, edges[i].x2, edges[i].y2);
            }
        } else {
            Rasterizer::edge(x1, y1, x2, y2);
        }
    }

    // Ends the pass: closes an open sub-path and settles which cells the
    // sweeps read. Called by the feed before the paint sweeps.
    void FinishFeed() {
        ClosePolygon();
        if (gridded) {
            swept = Swept::Grid;
            return;
        }
        if (!wide)
            return;
        wideCells.sort_cells();
        swept = Swept::Wide;
        if (FitsInt()) {
            // AGG's own arithmetic is exact for this pass: give the base
            // the same edges for a paint that sweeps it directly.
            for (unsigned i = 0; i < edges.size(); ++i)
                Rasterizer::edge(edges[i].x1, edges[i].y1, edges[i].x2, edges[i].y2);
        }
    }

    // The sweep interface of AGG's rasterizer, as agg::render_scanlines_*
    // call it.
    bool rewind_scanlines() {
        if (swept == Swept::Base)
            return Rasterizer::rewind_scanlines();
        if (swept == Swept::Grid) {
            scanY = grid.Top();
            return true;
        }
        if (wideCells.total_cells() == 0)
            return false;
        scanY = wideCells.min_y();
        return true;
    }
    int min_x() const {
        return swept == Swept::Base ? Rasterizer::min_x() : swept == Swept::Grid ? grid.Left() : wideCells.min_x();
    }
    int max_x() const {
        return swept == Swept::Base ? Rasterizer::max_x() : swept == Swept::Grid ? grid.Right() : wideCells.max_x();
    }
    int min_y() const {
        return swept == Swept::Base ? Rasterizer::min_y() : swept == Swept::Grid ? grid.Top() : wideCells.min_y();
    }
    int max_y() const {
        return swept == Swept::Base ? Rasterizer::max_y() : swept == Swept::Grid ? grid.Bottom() : wideCells.max_y();
    }

    // AGG's sweep over the 64-bit cells.
    template <class Scanline>
    bool sweep_scanline(Scanline& scanline) {
        if (swept == Swept::Base)
            return Rasterizer::sweep_scanline(scanline);
        if (swept == Swept::Grid)
            return SweepGrid(scanline);
        for (;;) {
            if (scanY > wideCells.max_y())
                return false;
            scanline.reset_spans();
            unsigned count = wideCells.scanline_num_cells(scanY);
            const WideCell* const* cells = wideCells.scanline_cells(scanY);
            long long cover = 0;
            while (count) {
                const WideCell* cell = *cells;
                int x = cell->x;
                long long area = cell->area;
                cover += cell->cover;
                while (--count) {
                    cell = *++cells;
                    if (cell->x != x)
                        break;
                    area += cell->area;
                    cover += cell->cover;
                }
                if (area) {
                    const unsigned alpha = Alpha(cover * 2 * agg::poly_subpixel_scale - area);
                    if (alpha)
                        scanline.add_cell(x, alpha);
                    ++x;
                }
                if (count && cell->x > x) {
                    const unsigned alpha = Alpha(cover * 2 * agg::poly_subpixel_scale);
                    if (alpha)
                        scanline.add_span(x, unsigned(cell->x - x), alpha);
                }
            }
            if (scanline.num_spans())
                break;
            ++scanY;
        }
        scanline.finalize(scanY);
        ++scanY;
        return true;
    }

private:
    // The sweep above over the grid's row: a cell of no cover and no area
    // is no cell; a span runs from one cell to the next with the cover so far.
    template <class Scanline>
    bool SweepGrid(Scanline& scanline) {
        for (; scanY <= grid.Bottom(); ++scanY) {
            scanline.reset_spans();
            const CellGrid::Cell* row = grid.Row(scanY);
            long long cover = 0;
            int x = 0;
            bool started = false;
            for (int column = grid.Left(); column <= grid.Right(); ++column) {
                const CellGrid::Cell& cell = row[column - grid.Left()];
                if (!cell.cover && !cell.area)
                    continue;
                if (started && column > x) {
                    const unsigned alpha = Alpha(cover * 2 * agg::poly_subpixel_scale);
                    if (alpha)
                        scanline.add_span(x, unsigned(column - x), alpha);
                }
                started = true;
                cover += cell.cover;
                x = column;
                if (cell.area) {
                    const unsigned alpha = Alpha(cover * 2 * agg::poly_subpixel_scale - cell.area);
                    if (alpha)
                        scanline.add_cell(x, alpha);
                    ++x;
                }
            }
            if (scanline.num_spans()) {
                scanline.finalize(scanY);
                ++scanY;
                return true;
            }
        }
        return false;
    }

    // The block limit of AGG's rasterizer, so both stores drop cells alike.
    static constexpr unsigned CellBlockLimit = 1024;

    struct WideCell {
        int x;
        int y;
        long long cover;
        long long area;
        void initial() {
            x = INT_MAX;
            y = INT_MAX;
            cover = 0;
            area = 0;
        }
        void style(const WideCell&) {}
        int not_equal(int ex, int ey, const WideCell&) const {
            return int(((unsigned)ex - (unsigned)x) | ((unsigned)ey - (unsigned)y));
        }
    };

    struct Edge {
        int x1, y1, x2, y2;
    };

    enum class Swept { Base, Wide, Grid };

    void ClosePolygon() { outline.Close(*this); }

    // AGG's calculate_alpha on the true sum: past full coverage non-zero
    // saturates, even-odd keeps the parity.
    unsigned Alpha(long long area) const {
        long long cover = area >> (agg::poly_subpixel_shift * 2 + 1 - aa_shift);
        if (cover < 0)
            cover = -cover;
        if (fillingRule == agg::fill_even_odd) {
            cover &= aa_mask2;
            if (cover > aa_scale)
                cover = aa_scale2 - cover;
        }
        if (cover > aa_mask)
            cover = aa_mask;
        return apply_gamma(unsigned(cover));
    }

    // True when every sum AGG's sweep forms for these cells fits an int.
    bool FitsInt() {
        const auto fits = [](long long v) { return v >= INT_MIN && v <= INT_MAX; };
        // Edges that made no cells still widen the bounds; there is no row table then.
        if (wideCells.total_cells() == 0)
            return true;
        for (int y = wideCells.min_y(); y <= wideCells.max_y(); ++y) {
            unsigned count = wideCells.scanline_num_cells(y);
            const WideCell* const* cells = wideCells.scanline_cells(y);
            long long cover = 0;
            long long area = 0;
            int x = INT_MIN;
            for (; count; --count, ++cells) {
                const WideCell* cell = *cells;
                if (cell->x != x) {
                    x = cell->x;
                    area = 0;
                }
                area += cell->area;
                cover += cell->cover;
                const long long shifted = cover * 2 * agg::poly_subpixel_scale;
                if (!fits(cell->cover) || !fits(cell->area) || !fits(area) || !fits(shifted) ||
                    !fits(shifted - area))
                    return false;
            }
        }
        return true;
    }

    agg::rasterizer_cells_aa<WideCell> wideCells;
    CellGrid grid;
    bool confined = false, gridded = false;
    int boxLeft = 0, boxTop = 0, boxRight = 0, boxBottom = 0;
    agg::pod_bvector<Edge, 12> edges;
    bool wide = false;
    Swept swept = Swept::Base;
    agg::filling_rule_e fillingRule = agg::fill_non_zero;
    OutlineVertices outline;
    int scanY = 0;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
