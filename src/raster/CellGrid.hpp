// Coverage cells of a pass confined to a small box, summed in place: one
// 64-bit cell per pixel of the box instead of one record per visit.
//
// AGG's cell store appends a record every time an edge enters a cell, then
// sorts each row's records and sums those of a pixel in the sweep. A path
// wound thousands of times across a small surface makes millions of records
// for a few hundred pixels, and the sort alone took seconds. The sums here
// are those of the records, added in another order: exact in 64 bits, so
// the sweep gives the same bytes, and there is no cell limit to drop
// coverage at.
#ifndef VUDADIVE2R_RASTER_CELLGRID_HPP
#define VUDADIVE2R_RASTER_CELLGRID_HPP

#include <agg_basics.h>

#include <vector>

#include "raster/OutlineVertices.hpp"

namespace ORV {
namespace Vudadive2R {

class CellGrid {
public:
    struct Cell {
        long long cover;
        long long area;
    };

    // Boxes of more cells than this keep AGG's store: 16 MB of cells.
    static constexpr long long LargestCellCount = 1 << 20;

    // Clears the grid for cells left..right, top..bottom (inclusive, in
    // pixels). False, and nothing allocated, for a box larger than
    // LargestCellCount.
    bool Reset(int left, int top, int right, int bottom) {
        const long long columns = (long long)right - left + 1, rows = (long long)bottom - top + 1;
        if (columns <= 0 || rows <= 0 || columns * rows > LargestCellCount)
            return false;
        boxLeft = left;
        boxTop = top;
        width = int(columns);
        height = int(rows);
        cells.assign(size_t(columns * rows), Cell{0, 0});
        return true;
    }

    int Left() const { return boxLeft; }
    int Top() const { return boxTop; }
    int Right() const { return boxLeft + width - 1; }
    int Bottom() const { return boxTop + height - 1; }
    const Cell* Row(int y) const { return &cells[size_t(y - boxTop) * size_t(width)]; }

    // One edge in 24.8 fixed point, walked through the cells exactly as
    // agg::rasterizer_cells_aa::line walks it.
    void line(int x1, int y1, int x2, int y2) {
        if (HalveWideEdge(x1, y1, x2, y2, [this](int a, int b, int c, int d) { line(a, b, c, d); }))
            return;
        const long long dx = (long long)x2 - (long long)x1;
        long long dy = (long long)y2 - (long long)y1;
        const int ex1 = x1 >> agg::poly_subpixel_shift;
        int ey1 = y1 >> agg::poly_subpixel_shift;
        const int ey2 = y2 >> agg::poly_subpixel_shift;
        const int fy1 = y1 & agg::poly_subpixel_mask;
        const int fy2 = y2 & agg::poly_subpixel_mask;

        if (ey1 == ey2) {
            HorizontalLine(ey1, x1, fy1, x2, fy2);
            return;
        }

        int incr = 1, first = agg::poly_subpixel_scale;
        if (dx == 0) {
            const long long twoFx = (long long)(x1 - (ex1 << agg::poly_subpixel_shift)) << 1;
            if (dy < 0) {
                first = 0;
                incr = -1;
            }
            Add(ex1, ey1, first - fy1, twoFx * (first - fy1));
            ey1 += incr;
            const int delta = first + first - agg::poly_subpixel_scale;
            while (ey1 != ey2) {
                Add(ex1, ey1, delta, twoFx * delta);
                ey1 += incr;
            }
            const int last = fy2 - agg::poly_subpixel_scale + first;
            Add(ex1, ey1, last, twoFx * last);
            return;
        }

        long long p = (agg::poly_subpixel_scale - fy1) * dx;
        if (dy < 0) {
            p = fy1 * dx;
            first = 0;
            incr = -1;
            dy = -dy;
        }
        int delta = int(p / dy);
        int mod = int(p % dy);
        if (mod < 0) {
            delta--;
            mod += int(dy);
        }
        int xFrom = x1 + delta;
        HorizontalLine(ey1, x1, fy1, xFrom, first);
        ey1 += incr;
        if (ey1 != ey2) {
            p = agg::poly_subpixel_scale * dx;
            int lift = int(p / dy);
            int rem = int(p % dy);
            if (rem < 0) {
                lift--;
                rem += int(dy);
            }
            mod -= int(dy);
            while (ey1 != ey2) {
                delta = lift;
                mod += rem;
                if (mod >= 0) {
                    mod -= int(dy);
                    delta++;
                }
                const int xTo = xFrom + delta;
                HorizontalLine(ey1, xFrom, agg::poly_subpixel_scale - first, xTo, first);
                xFrom = xTo;
                ey1 += incr;
            }
        }
        HorizontalLine(ey1, xFrom, agg::poly_subpixel_scale - first, x2, fy2);
    }

private:
    // The box holds every cell of a confined pass; a cell outside it is
    // not drawn.
    void Add(int x, int y, long long cover, long long area) {
        const long long column = (long long)x - boxLeft, row = (long long)y - boxTop;
        if (column < 0 || column >= width || row < 0 || row >= height)
            return;
        Cell& cell = cells[size_t(row) * size_t(width) + size_t(column)];
        cell.cover += cover;
        cell.area += area;
    }

    // agg::rasterizer_cells_aa::render_hline, adding into the grid.
    void HorizontalLine(int ey, int x1, int y1, int x2, int y2) {
        int ex1 = x1 >> agg::poly_subpixel_shift;
        const int ex2 = x2 >> agg::poly_subpixel_shift;
        const int fx1 = x1 & agg::poly_subpixel_mask;
        const int fx2 = x2 & agg::poly_subpixel_mask;
        if (y1 == y2)
            return;
        if (ex1 == ex2) {
            const int delta = y2 - y1;
            Add(ex1, ey, delta, (long long)(fx1 + fx2) * delta);
            return;
        }
        int p = (agg::poly_subpixel_scale - fx1) * (y2 - y1);
        int first = agg::poly_subpixel_scale;
        int incr = 1;
        long long dx = (long long)x2 - (long long)x1;
        if (dx < 0) {
            p = fx1 * (y2 - y1);
            first = 0;
            incr = -1;
            dx = -dx;
        }
        int delta = int(p / dx);
        int mod = int(p % dx);
        if (mod < 0) {
            delta--;
            mod += int(dx);
        }
        Add(ex1, ey, delta, (long long)(fx1 + first) * delta);
        ex1 += incr;
        y1 += delta;
        if (ex1 != ex2) {
            p = agg::poly_subpixel_scale * (y2 - y1 + delta);
            int lift = int(p / dx);
            int rem = int(p % dx);
            if (rem < 0) {
                lift--;
                rem += int(dx);
            }
            mod -= int(dx);
            while (ex1 != ex2) {
                delta = lift;
                mod += rem;
                if (mod >= 0) {
                    mod -= int(dx);
                    delta++;
                }
                Add(ex1, ey, delta, (long long)agg::poly_subpixel_scale * delta);
                y1 += delta;
                ex1 += incr;
            }
        }
        delta = y2 - y1;
        Add(ex1, ey, delta, (long long)(fx2 + agg::poly_subpixel_scale - first) * delta);
    }

    std::vector<Cell> cells;
    int boxLeft = 0, boxTop = 0, width = 0, height = 0;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
