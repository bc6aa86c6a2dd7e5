// The library's own scanline rasterizer: AGG's edge-to-cell arithmetic bit
// for bit, but the cells of each row are summed densely instead of being
// stored and sorted.
//
// Coverage of a row depends only on the integer sums of the cover and area
// that the edges crossing it leave in each cell, so the edges are kept
// (sorted by their first row) and walked with AGG's own DDA a band of rows
// at a time, adding their cells into rows of counters; the sweep then reads
// a row's counters left to right and hands a scanline exactly the spans
// AGG's sweep would. Memory is one band of counter rows (bounded by the
// width of the geometry, at most 128 KB unless a single row needs more)
// plus the edges, whatever the number of cells; there is no cell limit, and
// the sums are exact (64-bit once a pass has enough edges to leave int),
// saturating where AGG's sweep would be full (non-zero) or taking the
// parity of the winding (even-odd).
//
// Coverage is culled exactly to what can reach the surface (SurfaceBounds).
// A cell changes pixels of its own row only, and only its cover reaches the
// pixels to its right: edges are walked from their first visible row, with
// exactly the state AGG's walk reaches there; cells left of the kept columns
// add only their cover, into one column per row; cells right of them mark,
// in one column, where the last run before them ends. The kept columns are
// the surface's for one colour, and for colours that vary along a span
// (gradients, images) every column a span reaching the surface may start or
// end at, so that such spans start and end where AGG's do. An edge then
// costs its visible rows and kept columns, however far it reaches.
// min_y and max_y report AGG's values for the whole geometry; min_x and
// max_x the columns the spans lie within.
#ifndef VUDADIVE2R_RASTER_DENSERASTERIZER_HPP
#define VUDADIVE2R_RASTER_DENSERASTERIZER_HPP

#include <agg_basics.h>
#include <agg_rasterizer_scanline_aa.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "raster/GeometryLimits.hpp"
#include "raster/OutlineVertices.hpp"
#include "common/ScratchArray.hpp"

namespace ORV {
namespace Vudadive2R {

class DenseRasterizer {
public:
    // Edges crossing one row up to which no sum of the row's cells can leave
    // int: one edge adds at most 256 cover and 510 x 256 area to a cell.
    static constexpr unsigned SafeEdges = 16383;

    DenseRasterizer() { reset(); }
    DenseRasterizer(const DenseRasterizer&) = delete;
    DenseRasterizer& operator=(const DenseRasterizer&) = delete;

    // ------------------------------------------------------------ edges in

    // The surface the coverage is for: only its rows are swept, and cells
    // are kept in its columns, or with `spanColumns` also GeometryLimits::SpanColumns columns
    // beyond each side.
    void SurfaceBounds(int width, int height, bool spanColumns);

    void reset();

    void filling_rule(agg::filling_rule_e rule) { fillingRule = rule; }

    // Gives back each store's heap memory beyond `bytes`; the next pass
    // starts from reset.
    void Trim(std::size_t bytes);

    // The clipped feed declares the box its edges stay within; the dense
    // rows are bounded by the surface already, so it is only noted.
    void ConfineTo(int, int, int, int) { clipped = true; }
    bool Clipped() const { return clipped; }

    // As AGG's add_vertex without a clip box.
    inline __attribute__((always_inline)) void add_vertex(double x, double y, unsigned command) {
        outline.Add(*this, x, y, command);
    }

    // One edge in 24.8 fixed point. Edges 2^14 pixels wide or wider are
    // halved, as AGG means to (the feed never sends any).
    void edge(int x1, int y1, int x2, int y2) {
        if (HalveWideEdge(x1, y1, x2, y2, [this](int a, int b, int c, int d) { edge(a, b, c, d); }))
            return;
        const int ex1 = x1 >> agg::poly_subpixel_shift, ex2 = x2 >> agg::poly_subpixel_shift;
        const int ey1 = y1 >> agg::poly_subpixel_shift, ey2 = y2 >> agg::poly_subpixel_shift;
        minX = std::min(minX, std::min(ex1, ex2));
        maxX = std::max(maxX, std::max(ex1, ex2));
        minY = std::min(minY, std::min(ey1, ey2));
        maxY = std::max(maxY, std::max(ey1, ey2));
        if (y1 == y2)
            return;  // no cover, no area
        anyCells = true;
        ++edgeCount;
        const int top = std::min(ey1, ey2), bottom = std::max(ey1, ey2);
        if (bottom < firstRow || top > lastRow)
            return;
        edges.push_back(Edge{x1, y1, x2, y2, top});
    }

    // Ends the pass: closes an open sub-path.
    void FinishFeed() { ClosePolygon(); }

    // For a part of a pass fed on another thread: the surface, its kept
    // columns and the filling rule of `pass`, and empty.
    void StartPartOf(const DenseRasterizer& pass) {
        firstRow = pass.firstRow, lastRow = pass.lastRow;
        leftFold = pass.leftFold, rightFold = pass.rightFold;
        surfaceWidth = pass.surfaceWidth, keepsSpanColumns = pass.keepsSpanColumns;
        fillingRule = pass.fillingRule;
        reset();
    }

    // Adds the edges of `part` (fed after StartPartOf this pass, with its
    // sub-paths closed) after this pass's own, as if fed here in that
    // order.
    void AppendPart(const DenseRasterizer& part) {
        for (std::size_t i = 0; i < part.edges.size(); ++i)
            edges.push_back(part.edges[i]);
        minX = std::min(minX, part.minX), maxX = std::max(maxX, part.maxX);
        minY = std::min(minY, part.minY), maxY = std::max(maxY, part.maxY);
        anyCells = anyCells || part.anyCells;
        edgeCount += part.edgeCount;
        clipped = clipped || part.clipped;
    }

    // ------------------------------------------------------------ ready cells

    // The cells one shape's edges leave, row by row, taken once and added
    // again at whole-pixel offsets instead of walking the edges: a row's
    // sums do not depend on the order in which edges add to them, and
    // edges moved by whole pixels (256 in 24.8) leave the same cells moved.
    struct StampCell {
        int x, cover, area;
    };
    struct CellStamp {
        bool anyEdges = false;  // the bounds below hold
        bool anyCells = false;
        int minX = 0, minY = 0, maxX = 0, maxY = 0;  // as edge() leaves them
        int top = 0;                                 // the first row with cells
        std::vector<std::uint32_t> rowStart;         // into cells, a row each from top, and the end
        std::vector<StampCell> cells;                // each row's in column order, zero sums included
        std::size_t edges = 0;                       // edges with cells
        // Each row swept alone (non-zero): the alpha of every column from
        // the row's first cell to its last, 0 where the sweep leaves
        // pixels out. `swept` when every row's cover sums to zero, so that
        // nothing reaches the columns after its last cell.
        bool swept = false;
        std::vector<std::uint32_t> alphaStart;  // into alphas, a row each and the end
        std::vector<std::uint8_t> alphas;
        int Bottom() const { return top + int(rowStart.size()) - 2; }
    };

    // After one shape's edges were fed, with surface bounds holding all of
    // them and no span columns: their cells into `stamp`, the rasterizer
    // reset. False when the edges are too many to sum in int.
    bool TakeStamp(CellStamp& stamp);

    // A stamp at an offset of whole pixels.
    struct PlacedStamp {
        const CellStamp* stamp;
        int dx, dy;
    };

    // The cells of stamps at their offsets summed into one stamp, as the
    // edges of them all, moved, would leave them (the bounds too), each row
    // swept alone as TakeStamp sweeps a non-zero fill. False when a sum
    // leaves int or no stamp has cells.
    static bool MergeStamps(const std::vector<PlacedStamp>& placed, CellStamp& merged);

    // Whether the pass is stamps only, every one swept, filled non-zero:
    // then SweepStampRows may give its rows. Known once rewound.
    bool StampsOnly() const { return stampsOnly; }

    // Each row of a pass of stamps only, as runs of coverage: `composite(x,
    // y, length, covers)` with the alpha of each column from x, 0 for the
    // pixels AGG's spans leave out. Where a row's stamps lie apart, their
    // swept rows are copied; where their cells share columns, those cells
    // are summed and swept as the sweep would. For loops that leave pixels
    // as they are at coverage 0.
    template <class Composite>
    void SweepStampRows(Composite composite);

    // Adds a stamp's cells moved by (dx, dy) pixels, as its edges moved by
    // (256 dx, 256 dy) would. The stamp must outlive the pass, and its cells,
    // moved, lie within the surface's columns.
    void AddStamp(const CellStamp& stamp, int dx, int dy) {
        if (!stamp.anyEdges)
            return;
        minX = std::min(minX, stamp.minX + dx);
        maxX = std::max(maxX, stamp.maxX + dx);
        minY = std::min(minY, stamp.minY + dy);
        maxY = std::max(maxY, stamp.maxY + dy);
        if (!stamp.anyCells)
            return;
        anyCells = true;
        edgeCount += stamp.edges;
        placements.push_back(Placement{&stamp, dx, dy, stamp.top + dy, stamp.Bottom() + dy});
    }

    // Runs task(0) to task(tasks - 1) at once where it can (a crew of
    // threads), returning when all have.
    typedef std::function<void(int tasks, const std::function<void(int)>& task)> TaskRunner;

    // Orders the edges and lays out the band now, ahead of the sweep, a
    // pass of many edges ordered in `parts` tasks run by `run`: the order
    // is the one of a single task.
    void PrepareInParts(int parts, const TaskRunner& run) {
        ClosePolygon();
        orderParts = parts;
        orderRunner = &run;
        // The runner lives as long as this call, also when it throws.
        struct Restore {
            DenseRasterizer& rasterizer;
            ~Restore() {
                rasterizer.orderParts = 1;
                rasterizer.orderRunner = nullptr;
            }
        } restore{*this};
        Prepare();
    }

    // The first rows of `bands` bands of the rows from `top` to `bottom`,
    // each of one row at least, into starts[0] to starts[bands - 1], and
    // bottom + 1 into starts[bands]: of about the same work each where the
    // ordering counted the edges crossing each row (PrepareInParts does),
    // else of the same number of rows. After the edges are prepared.
    void BandStarts(int top, int bottom, int bands, int* starts) const;

    // ------------------------------------------------------------ the sweep

    int min_x() const { return KeptColumn(minX); }
    int max_x() const { return KeptColumn(maxX); }
    int min_y() const { return minY; }
    int max_y() const { return maxY; }

    bool rewind_scanlines() {
        ClosePolygon();
        if (!anyCells)
            return false;
        Prepare();
        Restart(std::max(minY, firstRow));
        return true;
    }

    bool navigate_scanline(int y) {
        ClosePolygon();
        if (!anyCells || y < minY || y > maxY)
            return false;
        Prepare();
        Restart(std::max(y, firstRow));
        return true;
    }

    // AGG's sweep_scanline over the rows of the surface. Always inlined
    // into the loop that calls it: with a solid and a span loop calling it
    // the compiler would otherwise keep it apart, and a pass of a small
    // shape is mostly this call.
    template <class Scanline>
    inline __attribute__((always_inline)) bool sweep_scanline(Scanline& scanline) {
        if (rectangle.present)
            return SweepRectangleRow(scanline);
        for (;;) {
            if (!ReachRow())
                return false;
            scanline.reset_spans();
            if (wide)
                SweepRow<long long>(scanline, scanY - bandTop);
            else
                SweepRow<int>(scanline, scanY - bandTop);
            const int y = scanY++;
            if (scanline.num_spans()) {
                scanline.finalize(y);
                return true;
            }
        }
    }

    // The next row as sweep_scanline gives it, or, when its cells lie
    // within `most` columns (and the pass is no rectangle), as one run of
    // coverage: `covers` receives the alpha of each column from `x` on for
    // `length` columns, 0 for the pixels AGG's spans leave out, which a loop
    // that leaves pixels as they are at coverage 0 may composite instead of
    // the spans. `length` is 0 when the scanline holds the row. False after
    // the last row. Not for a rectangle's pass.
    template <class Scanline>
    inline __attribute__((always_inline)) bool SweepRowOrCovers(Scanline& scanline, uint8_t* covers, int most,
                                                                int& y, int& x, int& length) {
        length = 0;
        for (;;) {
            if (!ReachRow())
                return false;
            const int index = scanY - bandTop;
            int first, last;
            if (RowExtent(index, first, last) && last - first < most) {
                y = scanY++;
                x = first;
                length = last - first + 1;
                if (wide)
                    SweepRowCovers<long long>(index, covers, first, length);
                else
                    SweepRowCovers<int>(index, covers, first, length);
                return true;
            }
            scanline.reset_spans();
            if (wide)
                SweepRow<long long>(scanline, index);
            else
                SweepRow<int>(scanline, index);
            y = scanY++;
            if (scanline.num_spans()) {
                scanline.finalize(y);
                return true;
            }
        }
    }

    // Takes the rewound coverage of `source` for rows `top` to `bottom`
    // only, so that threads of their own may sweep bands of one pass: the
    // same edges, walked from the band's first row, sum to the same cells.
    void TakeBand(const DenseRasterizer& source, int top, int bottom);

    // Whether the pass is one rectangle, swept by rows of its own; known
    // once the scanlines are rewound.
    bool Rectangle() const { return rectangle.present; }

    // Right after a row of a rectangle's full height has been swept: the
    // number of rows after it that sweep to the same spans (the following
    // rows of full height, down to the rectangle's or the surface's last),
    // which are then taken as swept. Zero for any other row or pass.
    int TakeRowsLikeTheLast() {
        if (!rectangle.present)
            return 0;
        const int y = scanY - 1;
        const long long rowTop = (long long)y << agg::poly_subpixel_shift;
        if (rowTop < rectangle.top || rowTop + agg::poly_subpixel_scale > rectangle.bottom)
            return 0;
        const int last = std::min((rectangle.bottom >> agg::poly_subpixel_shift) - 1, lastRow);
        if (last <= y)
            return 0;
        scanY = last + 1;
        return last - y;
    }

    // The columns of a rectangle's rows, its left edge's to its right's.
    int RectangleColumns() const { return rectangle.rightColumn - rectangle.leftColumn + 1; }

    // The next rows of a rectangle alike, `first` to `last`, as one run of
    // `length` covers at `run` for the columns from `x` on (0 between its
    // spans), as the sweep and TakeRowsLikeTheLast give them; false after
    // the last. `covers`, of RectangleColumns(), holds the run.
    inline __attribute__((always_inline)) bool SweepRectangleRun(agg::cover_type* covers, int& first, int& last,
                                                                 int& x, int& length, const agg::cover_type*& run) {
        RectangleRow row;
        while (NextRectangleRow(first, row)) {
            int begin = row.left, end = row.left;
            if (row.left == row.right) {
                if (!row.leftCell)
                    continue;
                covers[0] = agg::cover_type(row.leftCell);
            } else {
                const int runStart = row.runStart;
                covers[0] = agg::cover_type(row.leftCell);
                std::memset(covers + (runStart - row.left), int(row.run), std::size_t(row.right - runStart));
                covers[row.right - row.left] = agg::cover_type(row.rightCell);
                // The spans' extent: a span of alpha 0 is none.
                begin = row.leftCell ? row.left : row.run ? runStart : row.right;
                end = row.rightCell ? row.right : row.run ? row.right - 1 : row.left;
                if (!(row.leftCell || row.run || row.rightCell))
                    continue;
            }
            x = begin;
            length = end - begin + 1;
            run = covers + (begin - row.left);
            last = first + TakeRowsLikeTheLast();
            return true;
        }
        return false;
    }

private:
    // ------------------------------------------------------------ edges and the band

    struct Edge {
        int x1, y1, x2, y2;
        int top;  // first row
    };

    // A stamp added at an offset, with its first and last rows there.
    struct Placement {
        const CellStamp* stamp;
        int dx, dy;
        int top, bottom;
    };

    // An edge being walked down the rows: AGG's DDA for the x positions at
    // which it crosses row boundaries, kept as floor(sum / divisor) with the
    // remainder, so it can start at any row and run in either direction.
    struct ActiveEdge {
        int x1, y1, x2, y2;
        int top, bottom;
        bool down;
        bool folds;  // reaches beyond the kept columns
        long long divisor;   // |dy|
        long long lift;      // floor(step / divisor)
        long long rem;       // step - lift x divisor
        long long quotient;  // crossing x - x1 at the current boundary
        long long modulo;    // remainder, 0 <= modulo < divisor
    };


    void ClosePolygon() { outline.Close(*this); }

    int KeptColumn(int x) const { return std::clamp(x, leftFold, rightFold); }

    static long long FloorDivide(long long a, long long b, long long& remainder);

    // Sorts the edges and lays out the band, once per pass.
    void Prepare();

    // ------------------------------------------------------------ rectangles

    // A pass whose edges with cells are two vertical ones over the same
    // rows in opposite directions: a rectangle, whose horizontal edges make
    // no cells. Each row then holds one cell per edge, of the row's share of
    // the edge's height, and the sweep forms them directly.
    bool FindRectangle();

    // A rectangle's row as the sweep forms it: the columns from `left` to
    // `right` and its spans' alphas (0: no span), the left edge's cell (when
    // the edge lies within a column), the run of full columns after it up
    // to the right edge, and the right edge's cell; both edges in one cell
    // when they share a column (its alpha as the left cell's).
    struct RectangleRow {
        int left, right;
        int runStart;  // the run's first column
        unsigned leftCell, run, rightCell;
    };
    // The next row of the rectangle that it reaches, or false after its
    // last (or the surface's).
    inline __attribute__((always_inline)) bool NextRectangleRow(int& y, RectangleRow& row) {
        const int last = std::min(rectangle.bottom >> agg::poly_subpixel_shift, lastRow);
        while (scanY <= last) {
            y = scanY++;
            const long long rowTop = (long long)y << agg::poly_subpixel_shift;
            const long long height = std::min<long long>(rectangle.bottom, rowTop + agg::poly_subpixel_scale) -
                                     std::max<long long>(rectangle.top, rowTop);
            if (height <= 0)
                continue;
            const long long cover = rectangle.leftDown ? height : -height;
            row.left = rectangle.leftColumn, row.right = rectangle.rightColumn;
            row.runStart = row.left + (rectangle.leftFraction ? 1 : 0);
            row.leftCell = row.run = row.rightCell = 0;
            if (row.left == row.right) {
                row.leftCell = Alpha(-2 * cover * (rectangle.leftFraction - rectangle.rightFraction));
                return true;
            }
            if (rectangle.leftFraction)
                row.leftCell = Alpha(cover * 2 * agg::poly_subpixel_scale - 2 * rectangle.leftFraction * cover);
            if (row.right > row.runStart)
                row.run = Alpha(cover * 2 * agg::poly_subpixel_scale);
            if (rectangle.rightFraction)
                row.rightCell = Alpha(2 * rectangle.rightFraction * cover);
            return true;
        }
        return false;
    }

    // SweepRow for the two cells of a rectangle's row.
    template <class Scanline>
    inline __attribute__((always_inline)) bool SweepRectangleRow(Scanline& scanline) {
        int y;
        RectangleRow row;
        while (NextRectangleRow(y, row)) {
            scanline.reset_spans();
            const int runStart = row.runStart;
            if (row.leftCell)
                scanline.add_cell(row.left, row.leftCell);
            if (row.run)
                scanline.add_span(runStart, unsigned(row.right - runStart), row.run);
            if (row.rightCell)
                scanline.add_cell(row.right, row.rightCell);
            if (scanline.num_spans()) {
                scanline.finalize(y);
                return true;
            }
        }
        return false;
    }

    // True when no swept row is crossed by more than SafeEdges edges: only
    // the edges crossing a row add to its sums, so int holds them all.
    bool SweptRowsFitInt();
    // Its steps, which OrderEdges shares: a zeroed count per swept row from
    // `low` to `high` (null where the rows are too many to count, taken as
    // not fitting), each edge's first row and the row after its last
    // counted, and the verdict.
    int* CrossingChanges(long long low, long long high);
    static void CountCrossing(int* changes, const Edge& e, long long low, long long high) {
        const int bottom = std::max(e.y1, e.y2) >> agg::poly_subpixel_shift;
        ++changes[std::size_t(std::max<long long>(e.top, low) - low)];
        --changes[std::size_t(std::min<long long>(bottom, high) - low + 1)];
    }
    static bool CrossingsFit(const int* changes, std::size_t rows);

    // Keeps the surface's columns only when the edges reach across more of
    // the columns beside it than GeometryLimits::SpanColumnWork.
    void LimitSpanColumns();

    // Orders the edges by first row. Activation only needs them grouped by
    // row, so many edges are counted into a bucket per row and spread into
    // place (every row's sums are the same whatever the order within it);
    // few edges, or rows far outnumbering them, are sorted by comparison.
    // Returns SweptRowsFitInt() where `checkRows`, else true.
    bool OrderEdges(bool checkRows);
    // The row whose bucket an edge goes to: edges that start above the
    // swept rows are activated with the first.
    static std::size_t RowBucket(const Edge& e, long long low, long long high) {
        return std::size_t(std::min<long long>(std::max<long long>(e.top, low), high) - low);
    }
    // Fewer edges than this a task are ordered by one.
    static constexpr std::size_t EdgesPerOrderTask = 16384;
    // OrderEdges' buckets, each task counting and spreading a slice of the
    // edges of its own; its row crossings into `changes` (or none).
    void SpreadInParts(std::size_t rows, long long low, long long high, int* changes);

    void Restart(int y);

    // Clears the bits of the rows of the band that were accumulated but not
    // swept.
    void ClearBand();

    unsigned char* Row(int index) { return rowStorage.data() + std::size_t(index) * rowBytes; }

    // Starts walking every edge whose first row lies above the end of the
    // band, at its first row within the band.
    void Activate();

    // True when an edge has cells in its first row only: it ends in that row
    // or on the boundary below it, where AGG's walk leaves an empty piece.
    static bool WithinOneRow(const Edge& e) {
        return (long long)std::max(e.y1, e.y2) - ((long long)e.top << agg::poly_subpixel_shift) <=
               agg::poly_subpixel_scale;
    }

    // Moves an edge's crossing to the next boundary down.
    static void StepDown(ActiveEdge& a) {
        if (a.down) {
            a.quotient += a.lift;
            a.modulo += a.rem;
            if (a.modulo >= a.divisor) {
                a.modulo -= a.divisor;
                ++a.quotient;
            }
        } else {
            a.quotient -= a.lift;
            a.modulo -= a.rem;
            if (a.modulo < 0) {
                a.modulo += a.divisor;
                --a.quotient;
            }
        }
    }

    // ------------------------------------------------------------ accumulating and sweeping rows

    template <class Int>
    struct Cell {
        Int cover, area;
    };

    template <class Int>
    struct RowCells {
        Cell<Int>* cells;
        std::uint64_t* bits;
        int origin;

        // A cell whose bit is clear holds anything: the first piece sets it.
        inline __attribute__((always_inline)) void Add(int x, int coverDelta, int areaDelta) {
            const std::size_t i = std::size_t(x - origin);
            std::uint64_t& word = bits[i >> 6];
            const std::uint64_t bit = std::uint64_t(1) << (i & 63);
            Cell<Int>& cell = cells[i];
            if (word & bit) {
                cell.cover += coverDelta;
                cell.area += areaDelta;
            } else {
                cell = Cell<Int>{coverDelta, areaDelta};
                word |= bit;
            }
        }
    };

    // AGG's render_hline: one edge's piece within a row, from (x1, y1) to
    // (x2, y2), y in subpixels within the row. Cells from column `right` on
    // go to that column, cells left of `left` + 1 to column `left` with their
    // cover only; the cells in between are walked, the others are summed
    // from AGG's stepping in closed form.
    // Without `Folds` every cell lies within the kept columns.
    template <class Int, bool Folds>
    static inline __attribute__((always_inline)) void HorizontalLine(RowCells<Int>& row, int x1, int y1, int x2,
                                                                     int y2, int left, int right) {
        const int ex1 = x1 >> agg::poly_subpixel_shift;
        const int ex2 = x2 >> agg::poly_subpixel_shift;
        const int fx1 = x1 & agg::poly_subpixel_mask;
        const int fx2 = x2 & agg::poly_subpixel_mask;
        if (y1 == y2)
            return;
        const auto add = [&row, left, right](int x, int cover, int area) __attribute__((always_inline)) {
            if (!Folds)
                row.Add(x, cover, area);
            else if (x <= left)
                row.Add(left, cover, 0);
            else if (x >= right)
                row.Add(right, cover, 0);
            else
                row.Add(x, cover, area);
        };
        if (ex1 == ex2) {
            const int delta = y2 - y1;
            add(ex1, delta, (fx1 + fx2) * delta);
            return;
        }
        // Edges are less than 2^14 pixels wide, so int holds every product
        // and the divisions are 32-bit.
        int p = (agg::poly_subpixel_scale - fx1) * (y2 - y1);
        int first = agg::poly_subpixel_scale;
        int incr = 1;
        int dx = x2 - x1;
        if (dx < 0) {
            p = fx1 * (y2 - y1);
            first = 0;
            incr = -1;
            dx = -dx;
        }
        int delta = p / dx;
        int mod = p % dx;
        if (mod < 0) {
            --delta;
            mod += dx;
        }
        add(ex1, delta, (fx1 + first) * delta);
        int x = ex1 + incr;
        y1 += delta;
        if (x != ex2) {
            p = agg::poly_subpixel_scale * (y2 - y1 + delta);
            int lift = p / dx;
            int rem = p % dx;
            if (rem < 0) {
                --lift;
                rem += dx;
            }
            // After k cells of the loop below, y1 has moved by
            // k lift + floor((mod + k rem) / dx): the cells beyond the kept
            // columns on the side the walk starts from are skipped at once.
            const int cells = (ex2 - x) * incr;
            const int beyond = Folds ? std::clamp(incr > 0 ? left - x + 1 : x - right + 1, 0, cells) : 0;
            if (beyond > 0) {
                const long long moved = (long long)beyond * lift + ((long long)mod + (long long)beyond * rem) / dx;
                mod = int(((long long)mod + (long long)beyond * rem) % dx);
                add(x, int(moved), 0);
                y1 += int(moved);
                x += beyond * incr;
            }
            mod -= dx;
            // The cells within the kept columns; any after them land in the
            // fold column with the last one's, below.
            int inside = cells;
            if (Folds)
                inside = incr > 0 ? std::min(ex2, right) - x : x - std::max(ex2, left);
            for (; inside > 0; --inside) {
                delta = lift;
                mod += rem;
                if (mod >= 0) {
                    mod -= dx;
                    ++delta;
                }
                row.Add(x, delta, agg::poly_subpixel_scale * delta);
                y1 += delta;
                x += incr;
            }
        }
        delta = y2 - y1;
        add(ex2, delta, (fx2 + agg::poly_subpixel_scale - first) * delta);
    }

    // Adds every active edge's pieces of the band's rows, retiring the edges
    // that end in it.
    template <class Int>
    void AccumulateBand() {
        // The edges just activated that lie within one row of the band, as
        // the walk below would add them (an upward edge from its lower end
        // is the same piece).
        for (std::size_t i = firstNewEdge; i < nextEdge; ++i) {
            const Edge& e = edges[i];
            if (!WithinOneRow(e) || e.top < bandTop)
                continue;
            const std::size_t index = std::size_t(e.top - bandTop);
            unsigned char* rowStart = Row(int(index));
            RowCells<Int> row{reinterpret_cast<Cell<Int>*>(rowStart + words * sizeof(std::uint64_t)),
                              reinterpret_cast<std::uint64_t*>(rowStart), originX};
            const int left = std::min(e.x1, e.x2) >> agg::poly_subpixel_shift;
            const int right = std::max(e.x1, e.x2) >> agg::poly_subpixel_shift;
            rowFirstWord[index] = std::min(rowFirstWord[index], std::size_t(KeptColumn(left) - originX) >> 6);
            rowLastWord[index] = std::max(rowLastWord[index], std::size_t(KeptColumn(right) - originX) >> 6);
            // The heights within the row, 256 for an end on the boundary below.
            const int rowTop = e.top << agg::poly_subpixel_shift;
            const int fy1 = e.y1 - rowTop, fy2 = e.y2 - rowTop;
            if (left > leftFold && right < rightFold)
                HorizontalLine<Int, false>(row, e.x1, fy1, e.x2, fy2, leftFold, rightFold);
            else
                HorizontalLine<Int, true>(row, e.x1, fy1, e.x2, fy2, leftFold, rightFold);
        }
        for (std::size_t i = 0; i < active.size();) {
            ActiveEdge a = active[i];
            if (a.folds)
                WalkEdge<Int, true>(a);
            else
                WalkEdge<Int, false>(a);
            if (a.bottom <= bandBottom) {
                active.SwapRemove(i);
            } else {
                active[i] = a;
                ++i;
            }
        }
        for (std::size_t i = 0; i < activeStamps.size();) {
            const Placement p = activeStamps[i];
            AddStampRows<Int>(p);
            if (p.bottom <= bandBottom)
                activeStamps.SwapRemove(i);
            else
                ++i;
        }
    }

    // Adds a placed stamp's cells of the band's rows.
    template <class Int>
    void AddStampRows(const Placement& p) {
        const CellStamp& s = *p.stamp;
        const int from = std::max(p.top, bandTop), to = std::min(p.bottom, bandBottom);
        for (int y = from; y <= to; ++y) {
            const std::uint32_t begin = s.rowStart[std::size_t(y - p.top)], end = s.rowStart[std::size_t(y - p.top) + 1];
            if (begin == end)
                continue;
            const std::size_t index = std::size_t(y - bandTop);
            unsigned char* rowStart = Row(int(index));
            RowCells<Int> row{reinterpret_cast<Cell<Int>*>(rowStart + words * sizeof(std::uint64_t)),
                              reinterpret_cast<std::uint64_t*>(rowStart), originX};
            rowFirstWord[index] = std::min(rowFirstWord[index], std::size_t(s.cells[begin].x + p.dx - originX) >> 6);
            rowLastWord[index] = std::max(rowLastWord[index], std::size_t(s.cells[end - 1].x + p.dx - originX) >> 6);
            for (std::uint32_t k = begin; k < end; ++k)
                row.Add(s.cells[k].x + p.dx, s.cells[k].cover, s.cells[k].area);
        }
    }

    // Adds an active edge's pieces of the band's rows.
    template <class Int, bool Folds>
    inline __attribute__((always_inline)) void WalkEdge(ActiveEdge& a) {
        constexpr int full = agg::poly_subpixel_scale;
        // The ends of the edge as they lie from top to bottom; AGG walks
        // an upward edge from its lower end.
        const int fy1 = a.y1 & agg::poly_subpixel_mask, fy2 = a.y2 & agg::poly_subpixel_mask;
        const int topX = a.down ? a.x1 : a.x2, topY = a.down ? fy1 : fy2;
        const int bottomX = a.down ? a.x2 : a.x1, bottomY = a.down ? fy2 : fy1;
        const int from = std::max(a.top, bandTop), to = std::min(a.bottom, bandBottom);
        for (int y = from; y <= to; ++y) {
            const bool first = y == a.top, last = y == a.bottom;
            const int upperX = first ? topX : int(a.x1 + a.quotient), upperY = first ? topY : 0;
            if (!last)
                StepDown(a);
            const int lowerX = last ? bottomX : int(a.x1 + a.quotient), lowerY = last ? bottomY : full;
            const std::size_t index = std::size_t(y - bandTop);
            unsigned char* rowStart = Row(int(index));
            RowCells<Int> row{reinterpret_cast<Cell<Int>*>(rowStart + words * sizeof(std::uint64_t)),
                              reinterpret_cast<std::uint64_t*>(rowStart), originX};
            int left = std::min(upperX, lowerX) >> agg::poly_subpixel_shift;
            int right = std::max(upperX, lowerX) >> agg::poly_subpixel_shift;
            if (Folds) {
                left = KeptColumn(left);
                right = KeptColumn(right);
            }
            rowFirstWord[index] = std::min(rowFirstWord[index], std::size_t(left - originX) >> 6);
            rowLastWord[index] = std::max(rowLastWord[index], std::size_t(right - originX) >> 6);
            if (a.down)
                HorizontalLine<Int, Folds>(row, upperX, upperY, lowerX, lowerY, leftFold, rightFold);
            else
                HorizontalLine<Int, Folds>(row, lowerX, lowerY, upperX, upperY, leftFold, rightFold);
        }
    }

    // Moves to the next row that may hold cells, accumulating a band of
    // rows where it starts one. False after the last row.
    inline __attribute__((always_inline)) bool ReachRow() {
        if (scanY <= bandBottom)
            return true;
        if (active.empty() && activeStamps.empty()) {
            // Nothing crosses this row: go straight to the next edge or stamp.
            const bool edgesLeft = nextEdge < edges.size(), stampsLeft = nextPlacement < placements.size();
            if (!edgesLeft && !stampsLeft)
                return false;
            const int next = !stampsLeft  ? edges[nextEdge].top
                             : !edgesLeft ? placements[nextPlacement].top
                                          : std::min(edges[nextEdge].top, placements[nextPlacement].top);
            scanY = std::max(scanY, next);
        }
        const int last = std::min(maxY, lastRow);
        if (scanY > last)
            return false;
        bandTop = scanY;
        bandBottom = std::min(last, int(std::min<long long>(INT_MAX, (long long)scanY + bandRows - 1)));
        Activate();
        if (wide)
            AccumulateBand<long long>();
        else
            AccumulateBand<int>();
        return true;
    }

    // The columns of the first and the last cell of a row; false without cells.
    bool RowExtent(int index, int& first, int& last) const {
        std::size_t firstWord = rowFirstWord[index], lastWord = rowLastWord[index];
        const std::uint64_t* bits = reinterpret_cast<const std::uint64_t*>(RowAt(index));
        while (firstWord <= lastWord && !bits[firstWord])
            ++firstWord;
        if (firstWord > lastWord)
            return false;
        while (!bits[lastWord])
            --lastWord;
        first = originX + int(firstWord * 64 + std::size_t(__builtin_ctzll(bits[firstWord])));
        last = originX + int(lastWord * 64 + 63 - std::size_t(__builtin_clzll(bits[lastWord])));
        return true;
    }

    const unsigned char* RowAt(int index) const { return rowStorage.data() + std::size_t(index) * rowBytes; }

    // SweepRow for a row whose cells lie in the `length` columns from
    // `first`: the alpha of each column into `covers`.
    template <class Int>
    void SweepRowCovers(int index, uint8_t* covers, int first, int length) {
        std::memset(covers, 0, std::size_t(length));
        SweepCells<Int>(
            index,
            [covers, first](int from, int to, unsigned alpha) {
                std::memset(covers + (from - first), int(alpha), std::size_t(to - from));
            },
            [covers, first](int x, unsigned alpha) { covers[x - first] = uint8_t(alpha); });
    }

    // AGG's sweep of a row's cells in column order: `run(from, to, alpha)`
    // for the columns from `from` up to `to` between cells, `cell(x, alpha)`
    // for each cell with area, alpha 0 included. Leaves the bits clear.
    template <class Int, class Run, class OneCell>
    inline __attribute__((always_inline)) void SweepCells(int index, Run run, OneCell cell) {
        std::size_t& firstWord = rowFirstWord[index];
        std::size_t& lastWord = rowLastWord[index];
        unsigned char* rowStart = Row(index);
        std::uint64_t* bits = reinterpret_cast<std::uint64_t*>(rowStart);
        const Cell<Int>* cells = reinterpret_cast<const Cell<Int>*>(rowStart + words * sizeof(std::uint64_t));
        long long winding = 0;
        long long runStart = LLONG_MIN;  // where the run before the next cell starts
        for (std::size_t w = firstWord; w <= lastWord; ++w) {
            std::uint64_t word = bits[w];
            if (!word)
                continue;
            bits[w] = 0;
            do {
                const std::size_t i = w * 64 + std::size_t(__builtin_ctzll(word));
                word &= word - 1;
                const int x = originX + int(i);
                if (runStart != LLONG_MIN && x > runStart)
                    run(int(runStart), x, Alpha(winding * 2 * agg::poly_subpixel_scale));
                winding += cells[i].cover;
                runStart = x;
                const long long area = cells[i].area;
                if (area) {
                    cell(x, Alpha(winding * 2 * agg::poly_subpixel_scale - area));
                    ++runStart;
                }
            } while (word);
        }
        firstWord = SIZE_MAX;
        lastWord = 0;
    }

    // AGG's calculate_alpha on the exact sum, with the identity gamma.
    unsigned Alpha(long long area) const { return AlphaOf(area, fillingRule); }
    static unsigned AlphaOf(long long area, agg::filling_rule_e fillingRule) {
        long long cover = area >> (agg::poly_subpixel_shift * 2 + 1 - 8);
        if (cover < 0)
            cover = -cover;
        if (fillingRule == agg::fill_even_odd) {
            cover &= 511;
            if (cover > 256)
                cover = 512 - cover;
        }
        return cover > 255 ? 255u : unsigned(cover);
    }

    // Accumulates the current row and hands the scanline AGG's spans for
    // it: a cell with area as a one-pixel span, the stretch up to the next
    // cell as a solid run, alpha-0 spans left out. Leaves the bits clear.
    template <class Int, class Scanline>
    void SweepRow(Scanline& scanline, int index) {
        if (rowFirstWord[index] > rowLastWord[index])
            return;
        SweepCells<Int>(
            index,
            [&scanline](int from, int to, unsigned alpha) {
                if (alpha)
                    scanline.add_span(from, unsigned(to - from), alpha);
            },
            [&scanline](int x, unsigned alpha) {
                if (alpha)
                    scanline.add_cell(x, alpha);
            });
    }

    static constexpr std::size_t InlineRowBytes = 8192;
    static constexpr std::size_t BandBytes = 131072;
    static constexpr int MaxBandRows = 64;
    static constexpr int NoBand = INT_MIN;

    ScratchArray<Edge, 64> edges;
    ScratchArray<Edge, 64> orderedEdges;  // the edges in row order, swapped in
    ScratchArray<ActiveEdge, 32> active;
    ScratchArray<int, 16> rowCrossings;
    // The rows rowCrossings counted this pass, from crossingLow; none: 0.
    long long crossingLow = 0;
    std::size_t crossingRows = 0;
    ScratchArray<Placement, 8> placements;  // in row order once prepared
    ScratchArray<Placement, 1> placementsSorted;
    ScratchArray<std::uint32_t, 1> placementRows;
    void SortPlacements();
    ScratchArray<Placement, 8> activeStamps;
    std::size_t nextPlacement = 0;
    bool takingStamp = false;  // no rectangle is looked for
    bool stampsOnly = false;
    ScratchArray<Placement, 64> stampOrder;  // the stamps crossing a row, by column
    ScratchArray<Placement, 64> stampEntering;
    std::vector<std::uint8_t> stampCovers;
    int groupEnd = 0;
    // The row of covers, holding `length` columns and what it held.
    std::uint8_t* CoversFor(std::size_t length) {
        if (stampCovers.size() < length)
            stampCovers.resize(std::max(length, 2 * stampCovers.size()));
        return stampCovers.data();
    }
    ScratchArray<long long, 256> stampSums;  // cover and area of each column of a group
    ScratchArray<std::uint8_t, 256> stampTouched;
    struct StampPiece {
        const Placement* placement;
        int row;  // within the stamp
        int x, last;
    };
    ScratchArray<StampPiece, 64> stampPieces;

    // Each row of `stamp` swept alone into its alphas; `swept` set.
    static void SweepStampAlone(CellStamp& stamp, agg::filling_rule_e rule);
    // Sums the cells of `count` pieces of row-in-stamp over columns `from`
    // to `to` and sweeps them into `out` (the alpha of column from first).
    void SweepSummed(const StampPiece* pieces, std::size_t count, int from, int to, std::uint8_t* out);
    // A stamp's row: its alpha run and first column, moved.
    static bool PieceOf(const Placement& p, int y, StampPiece& piece) {
        const CellStamp& s = *p.stamp;
        const int row = y - p.top;
        const std::uint32_t begin = s.rowStart[std::size_t(row)], end = s.rowStart[std::size_t(row) + 1];
        if (begin == end)
            return false;
        piece = StampPiece{&p, row, s.cells[begin].x + p.dx, s.cells[end - 1].x + p.dx};
        return true;
    }
    // A band of rows of counters, each row its bit words, then the cover and
    // area of each cell.
    ScratchArray<unsigned char, InlineRowBytes> rowStorage;
    std::size_t rowBytes = 0, width = 0, words = 0;
    std::size_t rowFirstWord[MaxBandRows], rowLastWord[MaxBandRows];
    int bandRows = 1, bandTop = 0, bandBottom = NoBand;
    std::size_t nextEdge = 0, firstNewEdge = 0;
    std::size_t edgeCount = 0;
    int originX = 0;
    int firstRow = INT_MIN, lastRow = INT_MAX;
    int leftFold = INT_MIN + 1, rightFold = INT_MAX - 1;  // the columns cells beyond the kept ones go to
    int surfaceWidth = INT_MAX - 1;
    bool keepsSpanColumns = false;
    int minX, minY, maxX, maxY;
    int scanY = 0;
    bool anyCells = false, prepared = false, wide = false, clipped = false;
    // Set by PrepareInParts for the ordering only.
    int orderParts = 1;
    const TaskRunner* orderRunner = nullptr;
    struct {
        bool present = false, leftDown = false;
        int top = 0, bottom = 0;  // 24.8
        int leftColumn = 0, leftFraction = 0, rightColumn = 0, rightFraction = 0;
    } rectangle;
    agg::filling_rule_e fillingRule = agg::fill_non_zero;
    OutlineVertices outline;
};

template <class Composite>
void DenseRasterizer::SweepStampRows(Composite composite) {
    // Runs of coverage are joined across gaps up to this wide: one call
    // for a word rather than one for each glyph.
    constexpr int joinedGap = 24;
    const int firstY = std::max(minY, firstRow), lastY = std::min(maxY, lastRow);
    std::size_t next = 0;
    stampOrder.clear();
    for (int y = firstY; y <= lastY; ++y) {
        if (stampOrder.empty()) {
            if (next == placements.size())
                return;
            y = std::max(y, placements[next].top);
            if (y > lastY)
                return;
        }
        // Kept in the order of their moves, which is the order of their
        // columns unless glyphs reach over one another: those entering at
        // this row ordered among themselves, then merged in.
        stampEntering.clear();
        for (; next < placements.size() && placements[next].top <= y; ++next) {
            const Placement& p = placements[next];
            if (p.bottom < y)
                continue;
            std::size_t at = stampEntering.size();
            stampEntering.push_back(p);
            for (; at > 0 && stampEntering[at - 1].dx > p.dx; --at)
                stampEntering[at] = stampEntering[at - 1];
            stampEntering[at] = p;
        }
        if (!stampEntering.empty()) {
            const std::size_t had = stampOrder.size(), entering = stampEntering.size();
            if (had == 0 || stampOrder[had - 1].dx <= stampEntering[0].dx) {
                for (std::size_t i = 0; i < entering; ++i)
                    stampOrder.push_back(stampEntering[i]);
            } else {
                // From the back: each place takes the larger move, the
                // earlier stamp last among equal ones.
                stampOrder.Reserve(had + entering);
                stampOrder.SetSize(had + entering);
                std::size_t a = had, b = entering, to = had + entering;
                while (b > 0) {
                    if (a > 0 && stampOrder[a - 1].dx > stampEntering[b - 1].dx)
                        stampOrder[--to] = stampOrder[--a];
                    else
                        stampOrder[--to] = stampEntering[--b];
                }
            }
        }
        stampPieces.clear();
        for (std::size_t i = 0; i < stampOrder.size(); ++i) {
            StampPiece piece;
            if (PieceOf(stampOrder[i], y, piece))
                stampPieces.push_back(piece);
        }
        // Groups of pieces sharing columns, each group wholly right of the
        // one before; otherwise the row is summed as one group.
        const StampPiece* pieces = stampPieces.data();
        const std::size_t count = stampPieces.size();
        bool ordered = true;
        for (std::size_t i = 0, j = 0; i < count && ordered; i = j) {
            const int before = i ? groupEnd : INT_MIN;  // where the group before ends
            int to = pieces[i].last;
            ordered = pieces[i].x > before;
            for (j = i + 1; j < count && pieces[j].x <= to; ++j) {
                ordered = ordered && pieces[j].x > before;
                to = std::max(to, pieces[j].last);
            }
            groupEnd = to;
        }
        if (!ordered) {
            int from = INT_MAX, to = INT_MIN;
            for (std::size_t i = 0; i < count; ++i)
                from = std::min(from, pieces[i].x), to = std::max(to, pieces[i].last);
            std::uint8_t* out = CoversFor(std::size_t(to - from + 1));
            SweepSummed(pieces, count, from, to, out);
            composite(from, y, to - from + 1, out);
        } else {
            std::size_t i = 0;
            int runX = 0, runEnd = 0;  // the run being joined, up to runEnd (exclusive)
            bool running = false;
            while (i < count) {
                // The group from piece i: the pieces whose columns meet it.
                int from = pieces[i].x, to = pieces[i].last;
                std::size_t j = i + 1;
                for (; j < count && pieces[j].x <= to; ++j)
                    from = std::min(from, pieces[j].x), to = std::max(to, pieces[j].last);
                if (running && from - runEnd > joinedGap) {
                    composite(runX, y, runEnd - runX, stampCovers.data());
                    running = false;
                }
                if (!running) {
                    runX = from;
                    runEnd = from;
                    running = true;
                }
                std::uint8_t* covers = CoversFor(std::size_t(to + 1 - runX));
                std::memset(covers + (runEnd - runX), 0, std::size_t(from - runEnd));
                if (j == i + 1) {
                    const CellStamp& s = *pieces[i].placement->stamp;
                    const std::uint32_t a = s.alphaStart[std::size_t(pieces[i].row)];
                    std::memcpy(covers + (from - runX), s.alphas.data() + a, std::size_t(to - from + 1));
                } else {
                    SweepSummed(pieces + i, j - i, from, to, covers + (from - runX));
                }
                runEnd = to + 1;
                i = j;
            }
            if (running)
                composite(runX, y, runEnd - runX, stampCovers.data());
        }
        // Stamps ending on this row leave.
        std::size_t kept = 0;
        for (std::size_t i = 0; i < stampOrder.size(); ++i)
            if (stampOrder[i].bottom > y)
                stampOrder[kept++] = stampOrder[i];
        stampOrder.SetSize(kept);
    }
}

}  // namespace Vudadive2R
}  // namespace ORV

#endif
