// What one draw reads of a path: its vertices in place, or a copy with its
// oversized curves flattened, checked against the geometry limits.
#ifndef VUDADIVE2R_PATH_PATHCOPY_HPP
#define VUDADIVE2R_PATH_PATHCOPY_HPP

#include <agg_basics.h>
#include <agg_trans_affine.h>

#include "path/PathStorage.hpp"
#include "raster/GeometryLimits.hpp"

namespace ORV {
namespace Vudadive2R {

// A vertex source over the first `end` entries of a storage, with a read
// position of its own, so drawing never moves the path's.
class StorageReader {
public:
    StorageReader() = default;
    StorageReader(const PathStorage& storage, unsigned end) : storage(&storage), end(end) {}
    void rewind(unsigned) { index = 0; }
    unsigned vertex(double* x, double* y) {
        return index < end ? storage->vertex(index++, x, y) : unsigned(agg::path_cmd_stop);
    }

private:
    const PathStorage* storage = nullptr;
    unsigned end = 0;
    unsigned index = 0;
};

// Prepares the path's vertices for one draw, as the pipeline reads them (up
// to the first stop entry). The path is read in place unless it holds a
// curve larger than GeometryLimits::CurveExtent; then `copy` receives the
// vertices with such curves replaced by their coarser flattening, and the
// reader reads the copy. Returns false, leaving the reader empty, when a
// coordinate is not finite or exceeds GeometryLimits::Coordinate;
// `largestMagnitude` receives the largest coordinate magnitude read.
bool PrepareForDrawing(const PathStorage& source, PathStorage& copy, StorageReader& reader,
                       double& largestMagnitude);

// True when the matrix is finite and maps coordinates up to `magnitude` to
// coordinates within GeometryLimits::Coordinate.
bool TransformKeepsLimits(const agg::trans_affine& matrix, double magnitude);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
