// The copy of a path's vertices that one draw works on, checked against the
// geometry limits.
#ifndef VUDADIVE2R_PATH_PATHCOPY_HPP
#define VUDADIVE2R_PATH_PATHCOPY_HPP

#include <agg_path_storage.h>
#include <agg_trans_affine.h>

#include "raster/GeometryLimits.hpp"

namespace ORV {
namespace Vudadive2R {

// Copies the path's vertices for one draw, as the pipeline reads them (up to
// the first stop entry). Curves larger than GeometryLimits::CurveExtent are
// replaced by their coarser flattening. Returns false when a coordinate is
// not finite or exceeds GeometryLimits::Coordinate; `largestMagnitude`
// receives the largest coordinate magnitude copied.
bool CopyForDrawing(const agg::path_storage& source, agg::path_storage& copy, double& largestMagnitude);

// True when the matrix is finite and maps coordinates up to `magnitude` to
// coordinates within GeometryLimits::Coordinate.
bool TransformKeepsLimits(const agg::trans_affine& matrix, double magnitude);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
