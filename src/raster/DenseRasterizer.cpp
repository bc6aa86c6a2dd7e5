#include "raster/DenseRasterizer.hpp"

namespace ORV {
namespace Vudadive2R {

// Sorts the edges and lays out the band, once per pass.
void DenseRasterizer::Prepare() {
    if (prepared)
        return;
    prepared = true;
    OrderEdges();
    wide = edgeCount > SafeEdges;
    originX = minX;
    width = std::size_t((long long)maxX - (long long)minX + 1);
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

// Orders the edges by first row. Activation only needs them grouped by
// row, so many edges are counted into a bucket per row and swapped into
// place (every row's sums are the same whatever the order within it);
// few edges, or rows far outnumbering them, are sorted by comparison.
void DenseRasterizer::OrderEdges() {
    const std::size_t count = edges.size();
    const long long low = std::max(minY, firstRow), high = std::min(maxY, lastRow);
    const std::size_t rows = high >= low ? std::size_t(high - low + 1) : 0;
    if (count < 64 || count > UINT32_MAX || rows == 0 || rows > count) {
        std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.top < b.top; });
        return;
    }
    // Edges that start above the swept rows are activated with the first.
    auto bucket = [low, high](const Edge& e) {
        return std::size_t(std::min<long long>(std::max<long long>(e.top, low), high) - low);
    };
    std::unique_ptr<std::uint32_t[]> store(new std::uint32_t[2 * rows]());
    std::uint32_t* next = store.get();  // where the bucket's next edge goes
    std::uint32_t* end = next + rows;   // where the bucket ends
    for (const Edge& e : edges)
        ++next[bucket(e)];
    std::uint32_t position = 0;
    for (std::size_t b = 0; b < rows; ++b) {
        const std::uint32_t size = next[b];
        next[b] = position;
        position += size;
        end[b] = position;
    }
    for (std::size_t b = 0; b < rows; ++b) {
        while (next[b] < end[b]) {
            // Carries the edge at the bucket's next place to its own
            // bucket, and the edge it displaces on, until one belongs here.
            Edge carried = edges[next[b]];
            for (std::size_t home = bucket(carried); home != b; home = bucket(carried))
                std::swap(carried, edges[next[home]++]);
            edges[next[b]++] = carried;
        }
    }
}

void DenseRasterizer::Restart(int y) {
    ClearBand();
    scanY = y;
    active.clear();
    nextEdge = 0;
}

// Clears the bits of the rows of the band that were accumulated but not
// swept.
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

// Starts walking every edge whose first row lies above the end of the
// band, at its first row within the band.
void DenseRasterizer::Activate() {
    for (; nextEdge < edges.size() && edges[nextEdge].top <= bandBottom; ++nextEdge) {
        const Edge& e = edges[nextEdge];
        const int y = std::max(e.top, bandTop);
        const int ey1 = e.y1 >> agg::poly_subpixel_shift, ey2 = e.y2 >> agg::poly_subpixel_shift;
        ActiveEdge a;
        a.x1 = e.x1, a.y1 = e.y1, a.x2 = e.x2, a.y2 = e.y2;
        a.top = e.top;
        a.bottom = std::max(ey1, ey2);
        if (a.bottom < y)
            continue;
        a.down = ey2 >= ey1;
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
        const long long step = agg::poly_subpixel_scale * dx;
        a.lift = FloorDivide(step, a.divisor, a.rem);
        a.quotient = FloorDivide(first + (boundaryIndex - 1) * step, a.divisor, a.modulo);
        active.push_back(a);
    }
}

}  // namespace Vudadive2R
}  // namespace ORV
