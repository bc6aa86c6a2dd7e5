// What one draw reads of a path: its vertices in place, or a copy with far
// curves culled and costly ones flattened, checked against the geometry limits.
#ifndef VUDADIVE2R_PIPELINE_PATHPREPARATION_HPP
#define VUDADIVE2R_PIPELINE_PATHPREPARATION_HPP

#include <agg_basics.h>
#include <agg_trans_affine.h>

#include <algorithm>
#include <cstddef>
#include <vector>

#include "pipeline/PathStorage.hpp"
#include "raster/GeometryLimits.hpp"

namespace ORV {
namespace Vudadive2R {

class DrawCrew;

// What the copy needs to know to cull curves before they are flattened: the
// path matrix and how far beyond the geometry a pass may still draw (the
// stroke's reach, 0 for a path that is only filled), or a negative reach when nothing may be culled (a dashed
// stroke, whose dashes depend on the length of every curve).
struct CullingWindow {
    agg::trans_affine pathMatrix;
    double reach;
    int width;
    int height;

    // True when control points `x`, `y` (path units) of a filled path lie
    // wholly above or below the surface, or wholly beyond the columns whose
    // cells either road keeps; of a stroked one (reach above 0), when they
    // lie with the reach around them wholly beyond the coordinates at which
    // the reference road clips to the surface. Such a curve can be replaced
    // by its chord: it makes no cell in a row of the surface, or only cells
    // whose cover counts, and the cover a curve leaves in each row depends
    // only on its end points (in a clipped pass, so does its winding).
    // Returns the sides (a bit each: left, right, above, below) beyond which
    // the points lie, zero when none.
    unsigned Outside(const double* x, const double* y, unsigned count) const;
    // True when the control points lie, with the reach around them, wholly
    // left of, right of, above or below the surface. Within the surface the
    // winding of such a curve depends only on its end points whichever way
    // the feed goes, but the bytes may differ in rounding from those of the
    // route the uncut curve would have taken; used only for curves that are
    // not flattened as AGG would anyway.
    unsigned OutsideSurface(const double* x, const double* y, unsigned count) const;
    // The curve's extent in pixels.
    double PixelExtent(const double* x, const double* y, unsigned count) const;
};

// A vertex source over the first `end` entries of a storage, with a read
// position of its own, so drawing never moves the path's.
class StorageReader {
public:
    StorageReader() = default;
    StorageReader(const PathStorage& storage, unsigned end) : storage(&storage), end(end) {}
    // The vertices from `begin` to `end` alone.
    StorageReader(const PathStorage& storage, unsigned begin, unsigned end)
        : storage(&storage), begin(begin), end(end), index(begin) {}
    void rewind(unsigned) { index = begin; }
    unsigned vertex(double* x, double* y) {
        return index < end ? storage->vertex(index++, x, y) : unsigned(agg::path_cmd_stop);
    }
    const PathStorage* Storage() const { return storage; }
    unsigned Begin() const { return begin; }
    unsigned End() const { return end; }

private:
    const PathStorage* storage = nullptr;
    unsigned begin = 0;
    unsigned end = 0;
    unsigned index = 0;
};

// Prepares the path's vertices for one draw, as the pipeline reads them (up
// to the first stop entry). Curves far outside the surface become their
// chords (CullingWindow::Outside); curves larger than
// GeometryLimits::CurveExtent, and all curves of a path beyond the budget
// GeometryLimits::ConverterSegments, are flattened, coarser, and only the
// parts of them near the surface. Where none of that changes anything the
// reader reads the path in place; otherwise `copy` receives the changed
// vertices and the reader reads the copy. Returns false, leaving the reader
// empty, when a coordinate is not finite or exceeds
// GeometryLimits::Coordinate; `largestMagnitude` receives the largest
// coordinate magnitude read, `curves` whether the path read has curves.
// With `crew` and more than one of its `threads`, a long path is walked in
// parts on them, with the same outcome.
bool PrepareForDrawing(const PathStorage& source, PathStorage& copy, StorageReader& reader,
                       double& largestMagnitude, bool& curves, const CullingWindow& window,
                       DrawCrew* crew = nullptr, int threads = 1);

// Where a stretch of entries from `begin` to `end` is cut into at most
// `wanted` parts, each starting at the first entry where `isMove` from
// `startNear(part)` on: the first part's start, each next part's, and
// `end`.
template <class IsMove, class StartNear>
std::vector<std::size_t> CutsAtMoves(std::size_t begin, std::size_t end, std::size_t wanted, IsMove isMove,
                                     StartNear startNear) {
    std::vector<std::size_t> cuts{begin};
    for (std::size_t part = 1; part < wanted; ++part) {
        std::size_t at = std::max(cuts.back() + 1, startNear(part));
        while (at < end && !isMove(at))
            ++at;
        if (at >= end)
            break;
        cuts.push_back(at);
    }
    cuts.push_back(end);
    return cuts;
}

// True when the matrix is finite and maps coordinates up to `magnitude` to
// coordinates within GeometryLimits::Coordinate.
bool TransformKeepsLimits(const agg::trans_affine& matrix, double magnitude);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
