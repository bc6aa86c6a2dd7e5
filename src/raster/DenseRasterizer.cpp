// The dense coverage's work once per pass or band: laying out the band,
// ordering and activating edges, finding rectangles, bounding the columns.
#include "raster/DenseRasterizer.hpp"

#include <algorithm>
#include <climits>
#include <cstring>

namespace ORV {
namespace Vudadive2R {

void DenseRasterizer::SurfaceBounds(int width, int height, bool spanColumns) {
    firstRow = 0;
    lastRow = height - 1;
    const int reach = spanColumns ? GeometryLimits::SpanColumns : 0;
    surfaceWidth = width;
    keepsSpanColumns = spanColumns;
    leftFold = -reach - 1;
    rightFold = int(std::min<long long>(INT_MAX - 1, (long long)width + reach));
}

void DenseRasterizer::reset() {
    edges.clear();
    active.clear();
    minX = minY = INT_MAX;
    maxX = maxY = INT_MIN;
    anyCells = false;
    prepared = false;
    crossingRows = 0;
    clipped = false;
    rectangle.present = false;
    edgeCount = 0;
    placements.clear();
    activeStamps.clear();
    nextPlacement = 0;
    stampsOnly = false;
    outline.Reset();
}

void DenseRasterizer::Trim(std::size_t bytes) {
    edges.Trim(bytes);
    orderedEdges.Trim(bytes);
    active.Trim(bytes);
    rowCrossings.Trim(bytes);
    rowStorage.Trim(bytes);
    placements.Trim(bytes);
    placementsSorted.Trim(bytes);
    placementRows.Trim(bytes);
    activeStamps.Trim(bytes);
    stampOrder.Trim(bytes);
    stampEntering.Trim(bytes);
    stampPieces.Trim(bytes);
    stampSums.Trim(bytes);
    stampTouched.Trim(bytes);
    if (stampCovers.capacity() > bytes)
        std::vector<std::uint8_t>().swap(stampCovers);
    reset();
}

long long DenseRasterizer::FloorDivide(long long a, long long b, long long& remainder) {
    long long q = a / b, r = a % b;
    if (r < 0) {
        --q;
        r += b;
    }
    remainder = r;
    return q;
}

void DenseRasterizer::Prepare() {
    if (prepared)
        return;
    prepared = true;
    LimitSpanColumns();
    if (FindRectangle())
        return;
    // A pass drawn in bands counts its rows' crossings too, to weigh them
    // (BandStarts); with no more edges than SafeEdges no row can exceed it.
    wide = !OrderEdges(edgeCount > SafeEdges || orderParts > 1);
    stampsOnly = false;
    if (!placements.empty()) {
        // The row counts above know the edges only; past SafeEdges in all, long long holds any sum.
        wide = wide || edgeCount > SafeEdges;
        SortPlacements();
        stampsOnly = edges.empty() && fillingRule == agg::fill_non_zero &&
                     std::all_of(placements.begin(), placements.end(), [](const Placement& p) { return p.stamp->swept; });
    }
    originX = KeptColumn(minX);
    width = std::size_t((long long)KeptColumn(maxX) - originX + 1);
    words = (width + 63) / 64;
    const std::size_t cellBytes = wide ? sizeof(Cell<long long>) : sizeof(Cell<int>);
    rowBytes = words * sizeof(std::uint64_t) + width * cellBytes;
    // A band of rows is accumulated edge by edge, so that each edge's
    // walk stays in registers: every row of a small shape in the inline
    // storage, or a bounded buffer for larger ones.
    const long long rows = (long long)std::min(maxY, lastRow) - std::max(minY, firstRow) + 1;
    std::size_t band = rows > 0 ? std::size_t(std::min<long long>(rows, MaxBandRows)) : 1;
    if (band * rowBytes > InlineRowBytes)
        band = std::max<std::size_t>(1, std::min(band, BandBytes / rowBytes));
    bandRows = int(band);
    // Only the bit words start cleared: a cell is written before it is
    // read, the first time its bit is set.
    rowStorage.Reserve(band * rowBytes);
    for (std::size_t i = 0; i < band; ++i) {
        std::memset(Row(int(i)), 0, words * sizeof(std::uint64_t));
        rowFirstWord[i] = SIZE_MAX;
        rowLastWord[i] = 0;
    }
    bandTop = 0;
    bandBottom = NoBand;
}

void DenseRasterizer::TakeBand(const DenseRasterizer& source, int top, int bottom) {
    reset();
    // The edges the band's sweep would activate and walk, in their order:
    // those ordered after the band's last row, and those ending above its
    // first, add nothing to its rows.
    const Edge* from = source.edges.data();
    Edge* to = edges.Reserve(source.edges.size());
    std::size_t kept = 0;
    for (std::size_t i = 0; i < source.edges.size(); ++i) {
        const Edge& e = from[i];
        if (source.rectangle.present) {
            to[kept++] = e;  // not ordered, and not walked
            continue;
        }
        if (e.top > bottom)
            break;
        const int last = WithinOneRow(e) ? e.top : std::max(e.y1, e.y2) >> agg::poly_subpixel_shift;
        if (last >= top)
            to[kept++] = e;
    }
    edges.SetSize(kept);
    firstRow = top;
    lastRow = bottom;
    leftFold = source.leftFold;
    rightFold = source.rightFold;
    surfaceWidth = source.surfaceWidth;
    keepsSpanColumns = source.keepsSpanColumns;
    minX = source.minX, minY = source.minY, maxX = source.maxX, maxY = source.maxY;
    anyCells = source.anyCells;
    clipped = source.clipped;
    edgeCount = source.edgeCount;
    const Placement* placed = source.placements.data();
    std::copy(placed, placed + source.placements.size(), placements.Reserve(source.placements.size()));
    placements.SetSize(source.placements.size());
    stampsOnly = source.stampsOnly;
    fillingRule = source.fillingRule;
    wide = source.wide;
    prepared = true;
    if (source.rectangle.present) {
        rectangle = source.rectangle;
        return;
    }
    originX = source.originX;
    width = source.width;
    words = source.words;
    rowBytes = source.rowBytes;
    bandRows = source.bandRows;
    rowStorage.Reserve(std::size_t(bandRows) * rowBytes);
    for (int i = 0; i < bandRows; ++i) {
        std::memset(Row(i), 0, words * sizeof(std::uint64_t));
        rowFirstWord[i] = SIZE_MAX;
        rowLastWord[i] = 0;
    }
    bandTop = 0;
    bandBottom = NoBand;
}

bool DenseRasterizer::FindRectangle() {
    if (edgeCount != 2 || edges.size() != 2 || takingStamp || !placements.empty())
        return false;
    const Edge& a = edges[0];
    const Edge& b = edges[1];
    if (a.x1 != a.x2 || b.x1 != b.x2 || a.y1 != b.y2 || a.y2 != b.y1 || a.x1 == b.x1)
        return false;
    const Edge& left = a.x1 < b.x1 ? a : b;
    const Edge& right = a.x1 < b.x1 ? b : a;
    rectangle.top = std::min(left.y1, left.y2);
    rectangle.bottom = std::max(left.y1, left.y2);
    rectangle.leftDown = left.y2 > left.y1;
    // Cells beyond the kept columns land in the fold columns with their
    // cover only, as HorizontalLine puts them.
    rectangle.leftColumn = left.x1 >> agg::poly_subpixel_shift;
    rectangle.leftFraction = left.x1 & agg::poly_subpixel_mask;
    if (rectangle.leftColumn <= leftFold || rectangle.leftColumn >= rightFold) {
        rectangle.leftColumn = KeptColumn(rectangle.leftColumn);
        rectangle.leftFraction = 0;
    }
    rectangle.rightColumn = right.x1 >> agg::poly_subpixel_shift;
    rectangle.rightFraction = right.x1 & agg::poly_subpixel_mask;
    if (rectangle.rightColumn <= leftFold || rectangle.rightColumn >= rightFold) {
        rectangle.rightColumn = KeptColumn(rectangle.rightColumn);
        rectangle.rightFraction = 0;
    }
    rectangle.present = true;
    return true;
}

bool DenseRasterizer::SweptRowsFitInt() {
    const long long low = std::max(minY, firstRow), high = std::min(maxY, lastRow);
    if (high < low)
        return true;
    int* changes = CrossingChanges(low, high);
    if (!changes)
        return false;
    for (const Edge& e : edges)
        CountCrossing(changes, e, low, high);
    return CrossingsFit(changes, std::size_t(high - low + 1));
}

int* DenseRasterizer::CrossingChanges(long long low, long long high) {
    if (high - low >= (1 << 20))
        return nullptr;  // rows without a surface to bound them: count nothing
    const std::size_t rows = std::size_t(high - low + 1);
    int* changes = rowCrossings.Reserve(rows + 1);
    std::fill(changes, changes + rows + 1, 0);
    crossingLow = low;
    crossingRows = rows;
    return changes;
}

void DenseRasterizer::BandStarts(int top, int bottom, int bands, int* starts) const {
    const long long rows = (long long)bottom - top + 1;
    for (int band = 0; band <= bands; ++band)
        starts[band] = int(top + rows * band / bands);
    if (!prepared || rectangle.present || crossingRows == 0 || bands < 2)
        return;
    // A row weighs the edges crossing it and a share for its covered
    // columns, which the sweep reads and the spans composite.
    const double columns = double(std::max(0, max_x() - min_x() + 1));
    const double own = columns / 32 + 1;
    const int* changes = rowCrossings.data();
    auto crossingsUpTo = [&](long long row, long long& at, long long& crossing) {
        for (; at <= row; ++at)
            if (at >= crossingLow && at < crossingLow + (long long)crossingRows)
                crossing += changes[at - crossingLow];
    };
    long long at = std::min<long long>(crossingLow, top), crossing = 0;
    double total = 0;
    for (long long row = top; row <= bottom; ++row) {
        crossingsUpTo(row, at, crossing);
        total += double(crossing) + own;
    }
    at = std::min<long long>(crossingLow, top), crossing = 0;
    double sum = 0;
    int band = 1;
    for (long long row = top; row <= bottom && band < bands; ++row) {
        crossingsUpTo(row, at, crossing);
        sum += double(crossing) + own;
        // Each band keeps a row at least.
        while (band < bands && sum >= total * band / bands) {
            starts[band] = int(std::max<long long>(row + 1, starts[band - 1] + 1));
            ++band;
        }
    }
    for (; band < bands; ++band)
        starts[band] = starts[band - 1] + 1;
    for (band = bands - 1; band > 0 && starts[band] > bottom - (bands - 1 - band); --band)
        starts[band] = bottom - (bands - 1 - band);
}

bool DenseRasterizer::CrossingsFit(const int* changes, std::size_t rows) {
    long long crossing = 0;
    for (std::size_t row = 0; row < rows; ++row)
        if ((crossing += changes[row]) > SafeEdges)
            return false;
    return true;
}

void DenseRasterizer::LimitSpanColumns() {
    if (!keepsSpanColumns)
        return;
    const auto overlap = [](long long a, long long b, long long low, long long high) {
        return std::max(0LL, std::min(b, high) - std::max(a, low));
    };
    double work = 0;
    for (const Edge& e : edges) {
        const int a = std::min(e.x1, e.x2) >> agg::poly_subpixel_shift;
        const int b = std::max(e.x1, e.x2) >> agg::poly_subpixel_shift;
        work += double(overlap(a, b, leftFold, 0) + overlap(a, b, surfaceWidth, rightFold));
    }
    if (work > GeometryLimits::SpanColumnWork)
        SurfaceBounds(surfaceWidth, lastRow + 1, false);
}

bool DenseRasterizer::OrderEdges(bool checkRows) {
    const std::size_t count = edges.size();
    const long long low = std::max(minY, firstRow), high = std::min(maxY, lastRow);
    const std::size_t rows = high >= low ? std::size_t(high - low + 1) : 0;
    // The buckets below are spread into a second store that is swapped in,
    // which needs both stores on the heap: the edges are, beyond the inline ones.
    if (count <= decltype(edges)::Inline || count > UINT32_MAX || rows == 0 || rows > count) {
        std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.top < b.top; });
        return !checkRows || SweptRowsFitInt();
    }
    auto bucket = [low, high](const Edge& e) { return RowBucket(e, low, high); };
    int* changes = checkRows ? CrossingChanges(low, high) : nullptr;
    if (orderRunner && orderParts > 1 && count >= 2 * EdgesPerOrderTask) {
        SpreadInParts(rows, low, high, changes);
        return !checkRows || (changes && CrossingsFit(changes, rows));
    }
    // Where each row's bucket of edges starts; then where its next edge goes.
    std::unique_ptr<std::uint32_t[]> next(new std::uint32_t[rows]());
    for (const Edge& e : edges)
        ++next[bucket(e)];
    std::uint32_t position = 0;
    for (std::size_t b = 0; b < rows; ++b) {
        const std::uint32_t size = next[b];
        next[b] = position;
        position += size;
    }
    // Spread into the second store in one pass, each bucket filled in
    // order, and swap the stores; the rows' crossings are counted on the way.
    Edge* ordered = orderedEdges.Reserve(count);
    for (const Edge& e : edges) {
        ordered[next[bucket(e)]++] = e;
        if (changes)
            CountCrossing(changes, e, low, high);
    }
    orderedEdges.SetSize(count);
    edges.SwapHeapItems(orderedEdges);
    orderedEdges.clear();
    if (!checkRows)
        return true;
    return changes && CrossingsFit(changes, rows);
}

// Each task takes a slice of the edges in their order. A bucket holds the
// first task's edges of its row, then the second's, and so on, so that
// every edge lands where one task would put it.
void DenseRasterizer::SpreadInParts(std::size_t rows, long long low, long long high, int* changes) {
    const std::size_t count = edges.size();
    const std::size_t tasks = std::min<std::size_t>(std::size_t(orderParts), count / EdgesPerOrderTask);
    auto bucket = [low, high](const Edge& e) { return RowBucket(e, low, high); };
    auto slice = [count, tasks](std::size_t task) { return count * task / tasks; };
    // Each task's count per row, then where its next edge of the row goes;
    // and each task's row crossings but the first's, added up after.
    std::unique_ptr<std::uint32_t[]> next(new std::uint32_t[rows * tasks]());
    std::vector<std::vector<int>> taskChanges(changes ? tasks - 1 : 0, std::vector<int>(rows + 1, 0));
    (*orderRunner)(int(tasks), [&](int task) {
        std::uint32_t* own = next.get() + std::size_t(task) * rows;
        int* crossings = !changes ? nullptr : task == 0 ? changes : taskChanges[std::size_t(task) - 1].data();
        for (std::size_t i = slice(std::size_t(task)), end = slice(std::size_t(task) + 1); i < end; ++i) {
            ++own[bucket(edges[i])];
            if (crossings)
                CountCrossing(crossings, edges[i], low, high);
        }
    });
    std::uint32_t position = 0;
    for (std::size_t b = 0; b < rows; ++b)
        for (std::size_t task = 0; task < tasks; ++task) {
            std::uint32_t& at = next[task * rows + b];
            const std::uint32_t size = at;
            at = position;
            position += size;
        }
    Edge* ordered = orderedEdges.Reserve(count);
    (*orderRunner)(int(tasks), [&](int task) {
        std::uint32_t* own = next.get() + std::size_t(task) * rows;
        for (std::size_t i = slice(std::size_t(task)), end = slice(std::size_t(task) + 1); i < end; ++i)
            ordered[own[bucket(edges[i])]++] = edges[i];
    });
    for (const std::vector<int>& more : taskChanges)
        for (std::size_t row = 0; row <= rows; ++row)
            changes[row] += more[row];
    orderedEdges.SetSize(count);
    edges.SwapHeapItems(orderedEdges);
    orderedEdges.clear();
}

void DenseRasterizer::Restart(int y) {
    ClearBand();
    scanY = y;
    active.clear();
    nextEdge = 0;
    activeStamps.clear();
    nextPlacement = 0;
}

void DenseRasterizer::ClearBand() {
    if (bandBottom != NoBand) {
        for (int y = std::max(scanY, bandTop); y <= bandBottom; ++y) {
            const std::size_t i = std::size_t(y - bandTop);
            if (rowFirstWord[i] <= rowLastWord[i])
                std::memset(Row(int(i)) + rowFirstWord[i] * sizeof(std::uint64_t), 0,
                            (rowLastWord[i] - rowFirstWord[i] + 1) * sizeof(std::uint64_t));
            rowFirstWord[i] = SIZE_MAX;
            rowLastWord[i] = 0;
        }
    }
    bandTop = 0;
    bandBottom = NoBand;
}

void DenseRasterizer::Activate() {
    for (; nextPlacement < placements.size() && placements[nextPlacement].top <= bandBottom; ++nextPlacement)
        if (placements[nextPlacement].bottom >= bandTop)
            activeStamps.push_back(placements[nextPlacement]);
    firstNewEdge = nextEdge;
    for (; nextEdge < edges.size() && edges[nextEdge].top <= bandBottom; ++nextEdge) {
        const Edge& e = edges[nextEdge];
        const int y = std::max(e.top, bandTop);
        const int ey1 = e.y1 >> agg::poly_subpixel_shift, ey2 = e.y2 >> agg::poly_subpixel_shift;
        if (WithinOneRow(e))
            continue;  // AccumulateBand adds it directly
        ActiveEdge a;
        a.x1 = e.x1, a.y1 = e.y1, a.x2 = e.x2, a.y2 = e.y2;
        a.top = e.top;
        a.bottom = std::max(ey1, ey2);
        if (a.bottom < y)
            continue;
        a.down = ey2 >= ey1;
        a.folds = (std::min(e.x1, e.x2) >> agg::poly_subpixel_shift) <= leftFold ||
                  (std::max(e.x1, e.x2) >> agg::poly_subpixel_shift) >= rightFold;
        const long long dx = (long long)e.x2 - e.x1;
        const int fy1 = e.y1 & agg::poly_subpixel_mask;
        long long first, boundaryIndex;  // sum at boundary 1, and index of the boundary above row y
        if (a.down) {
            a.divisor = (long long)e.y2 - e.y1;
            first = (agg::poly_subpixel_scale - fy1) * dx;
            boundaryIndex = (long long)y - ey1;
        } else {
            a.divisor = (long long)e.y1 - e.y2;
            first = fy1 * dx;
            boundaryIndex = (long long)ey1 - y + 1;
        }
        if (dx == 0 || a.top == a.bottom) {
            // No crossing of a row boundary moves along x (a vertical
            // edge), or none is stepped to (an edge within one row).
            a.lift = a.rem = a.quotient = a.modulo = 0;
        } else {
            const long long step = agg::poly_subpixel_scale * dx;
            a.lift = FloorDivide(step, a.divisor, a.rem);
            a.quotient = FloorDivide(first + (boundaryIndex - 1) * step, a.divisor, a.modulo);
        }
        active.push_back(a);
    }
}

void DenseRasterizer::SortPlacements() {
    // By first row, equal ones kept in their order: counted into place where
    // the rows are not many more than the placements (a text's glyphs).
    const std::size_t n = placements.size();
    int low = INT_MAX, high = INT_MIN;
    bool sorted = true;
    for (std::size_t i = 0; i < n; ++i) {
        low = std::min(low, placements[i].top), high = std::max(high, placements[i].top);
        sorted = sorted && (i == 0 || placements[i - 1].top <= placements[i].top);
    }
    if (sorted)
        return;
    const std::size_t rows = std::size_t((long long)high - low + 1);
    if (rows > 4 * n + 4096) {
        std::stable_sort(placements.begin(), placements.end(),
                         [](const Placement& a, const Placement& b) { return a.top < b.top; });
        return;
    }
    std::uint32_t* starts = placementRows.Reserve(rows + 1);
    std::memset(starts, 0, (rows + 1) * sizeof(std::uint32_t));
    for (std::size_t i = 0; i < n; ++i)
        ++starts[std::size_t(placements[i].top - low) + 1];
    for (std::size_t row = 0; row < rows; ++row)
        starts[row + 1] += starts[row];
    Placement* sortedPlacements = placementsSorted.Reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        sortedPlacements[starts[std::size_t(placements[i].top - low)]++] = placements[i];
    std::memcpy(static_cast<void*>(placements.data()), sortedPlacements, n * sizeof(Placement));
}

bool DenseRasterizer::TakeStamp(CellStamp& stamp) {
    ClosePolygon();
    stamp = CellStamp();
    stamp.anyEdges = minX <= maxX;
    stamp.anyCells = anyCells;
    stamp.minX = minX, stamp.minY = minY, stamp.maxX = maxX, stamp.maxY = maxY;
    stamp.edges = edgeCount;
    if (edgeCount > SafeEdges || !placements.empty()) {
        reset();
        return false;
    }
    if (!anyCells) {
        stamp.top = minY;
        stamp.rowStart.push_back(0);
        reset();
        return true;
    }
    takingStamp = true;
    Prepare();
    takingStamp = false;
    Restart(std::max(minY, firstRow));
    stamp.top = scanY;
    // Every row a sweep would read, its cells as they stand (bits set, sums
    // zero or not), left cleared as a sweep leaves them.
    while (ReachRow()) {
        const std::size_t index = std::size_t(scanY - bandTop);
        while (stamp.rowStart.size() < std::size_t(scanY - stamp.top))
            stamp.rowStart.push_back(std::uint32_t(stamp.cells.size()));
        stamp.rowStart.push_back(std::uint32_t(stamp.cells.size()));
        unsigned char* rowStart = Row(int(index));
        std::uint64_t* bits = reinterpret_cast<std::uint64_t*>(rowStart);
        const Cell<int>* cells = reinterpret_cast<const Cell<int>*>(rowStart + words * sizeof(std::uint64_t));
        for (std::size_t w = rowFirstWord[index]; w <= rowLastWord[index] && rowFirstWord[index] != SIZE_MAX; ++w) {
            std::uint64_t word = bits[w];
            bits[w] = 0;
            while (word) {
                const std::size_t i = w * 64 + std::size_t(__builtin_ctzll(word));
                word &= word - 1;
                stamp.cells.push_back(StampCell{originX + int(i), cells[i].cover, cells[i].area});
            }
        }
        rowFirstWord[index] = SIZE_MAX;
        rowLastWord[index] = 0;
        ++scanY;
    }
    stamp.rowStart.push_back(std::uint32_t(stamp.cells.size()));
    SweepStampAlone(stamp, fillingRule);
    reset();
    return true;
}

// Each row as SweepCells sweeps it alone, into a run of alphas.
void DenseRasterizer::SweepStampAlone(CellStamp& stamp, agg::filling_rule_e rule) {
    stamp.swept = rule == agg::fill_non_zero;
    stamp.alphaStart.clear();
    stamp.alphas.clear();
    for (std::size_t row = 0; row + 1 < stamp.rowStart.size(); ++row) {
        stamp.alphaStart.push_back(std::uint32_t(stamp.alphas.size()));
        const std::uint32_t begin = stamp.rowStart[row], end = stamp.rowStart[row + 1];
        if (begin == end)
            continue;
        const int first = stamp.cells[begin].x;
        const std::size_t at = stamp.alphas.size();
        stamp.alphas.resize(at + std::size_t(stamp.cells[end - 1].x - first + 1), 0);
        std::uint8_t* out = stamp.alphas.data() + at;
        long long winding = 0;
        int runStart = first;
        for (std::uint32_t k = begin; k < end; ++k) {
            const StampCell& c = stamp.cells[k];
            if (c.x > runStart)
                std::memset(out + (runStart - first), int(AlphaOf(winding * 2 * agg::poly_subpixel_scale, rule)),
                            std::size_t(c.x - runStart));
            winding += c.cover;
            runStart = c.x;
            if (c.area) {
                out[c.x - first] = std::uint8_t(AlphaOf(winding * 2 * agg::poly_subpixel_scale - c.area, rule));
                ++runStart;
            }
        }
        if (winding != 0)
            stamp.swept = false;
    }
    stamp.alphaStart.push_back(std::uint32_t(stamp.alphas.size()));
}

bool DenseRasterizer::MergeStamps(const std::vector<PlacedStamp>& placed, CellStamp& merged) {
    merged = CellStamp();
    long long top = LLONG_MAX, bottom = LLONG_MIN;
    for (const PlacedStamp& p : placed) {
        const CellStamp& s = *p.stamp;
        if (!s.anyEdges)
            continue;
        if (!merged.anyEdges) {
            merged.anyEdges = true;
            merged.minX = s.minX + p.dx, merged.maxX = s.maxX + p.dx;
            merged.minY = s.minY + p.dy, merged.maxY = s.maxY + p.dy;
        }
        merged.minX = std::min(merged.minX, s.minX + p.dx), merged.maxX = std::max(merged.maxX, s.maxX + p.dx);
        merged.minY = std::min(merged.minY, s.minY + p.dy), merged.maxY = std::max(merged.maxY, s.maxY + p.dy);
        if (!s.anyCells)
            continue;
        merged.anyCells = true;
        merged.edges += s.edges;
        top = std::min<long long>(top, (long long)s.top + p.dy);
        bottom = std::max<long long>(bottom, (long long)s.Bottom() + p.dy);
    }
    // A row count for each row between: kept for what a text spans.
    if (!merged.anyCells || bottom - top > (1 << 20))
        return false;
    // Each row's cells from every stamp, ordered by column, then those
    // sharing a column summed.
    const std::size_t rows = std::size_t(bottom - top + 1);
    std::vector<std::uint32_t> counts(rows + 1, 0);
    for (const PlacedStamp& p : placed) {
        const CellStamp& s = *p.stamp;
        if (!s.anyEdges || !s.anyCells)
            continue;
        for (std::size_t row = 0; row + 1 < s.rowStart.size(); ++row)
            counts[std::size_t(s.top + p.dy - top) + row + 1] += s.rowStart[row + 1] - s.rowStart[row];
    }
    for (std::size_t row = 0; row < rows; ++row)
        counts[row + 1] += counts[row];
    struct Summed {
        int x;
        long long cover, area;
    };
    std::vector<Summed> all(counts[rows]);
    std::vector<std::uint32_t> filled(counts.begin(), counts.end() - 1);
    for (const PlacedStamp& p : placed) {
        const CellStamp& s = *p.stamp;
        if (!s.anyEdges || !s.anyCells)
            continue;
        for (std::size_t row = 0; row + 1 < s.rowStart.size(); ++row) {
            std::uint32_t& at = filled[std::size_t(s.top + p.dy - top) + row];
            for (std::uint32_t k = s.rowStart[row]; k < s.rowStart[row + 1]; ++k)
                all[at++] = Summed{s.cells[k].x + p.dx, s.cells[k].cover, s.cells[k].area};
        }
    }
    merged.top = int(top);
    merged.cells.reserve(all.size());
    for (std::size_t row = 0; row < rows; ++row) {
        merged.rowStart.push_back(std::uint32_t(merged.cells.size()));
        Summed* from = all.data() + counts[row];
        Summed* to = all.data() + counts[row + 1];
        std::sort(from, to, [](const Summed& a, const Summed& b) { return a.x < b.x; });
        for (Summed* c = from; c != to;) {
            Summed sum = *c;
            for (++c; c != to && c->x == sum.x; ++c)
                sum.cover += c->cover, sum.area += c->area;
            if (sum.cover < INT_MIN || sum.cover > INT_MAX || sum.area < INT_MIN || sum.area > INT_MAX)
                return false;
            merged.cells.push_back(StampCell{sum.x, int(sum.cover), int(sum.area)});
        }
    }
    merged.rowStart.push_back(std::uint32_t(merged.cells.size()));
    SweepStampAlone(merged, agg::fill_non_zero);
    return true;
}

void DenseRasterizer::SweepSummed(const StampPiece* pieces, std::size_t count, int from, int to, std::uint8_t* out) {
    const std::size_t width = std::size_t(to - from + 1);
    long long* sums = stampSums.Reserve(2 * width);
    std::uint8_t* touched = stampTouched.Reserve(width);
    std::memset(sums, 0, 2 * width * sizeof(long long));
    std::memset(touched, 0, width);
    for (std::size_t i = 0; i < count; ++i) {
        const Placement& p = *pieces[i].placement;
        const CellStamp& s = *p.stamp;
        const std::uint32_t begin = s.rowStart[std::size_t(pieces[i].row)], end = s.rowStart[std::size_t(pieces[i].row) + 1];
        for (std::uint32_t k = begin; k < end; ++k) {
            const std::size_t column = std::size_t(s.cells[k].x + p.dx - from);
            sums[2 * column] += s.cells[k].cover;
            sums[2 * column + 1] += s.cells[k].area;
            touched[column] = 1;
        }
    }
    std::memset(out, 0, width);
    long long winding = 0;
    std::size_t runStart = 0;
    for (std::size_t column = 0; column < width; ++column) {
        if (!touched[column])
            continue;
        if (column > runStart)
            std::memset(out + runStart, int(Alpha(winding * 2 * agg::poly_subpixel_scale)), column - runStart);
        winding += sums[2 * column];
        runStart = column;
        if (sums[2 * column + 1]) {
            out[column] = std::uint8_t(Alpha(winding * 2 * agg::poly_subpixel_scale - sums[2 * column + 1]));
            ++runStart;
        }
    }
}

}  // namespace Vudadive2R
}  // namespace ORV
