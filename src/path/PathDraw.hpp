// A path's draw on a chosen road. Path::Draw takes the library's road; the
// differential tests and the road fuzzer draw every scene on both.
#ifndef VUDADIVE2R_PATH_PATHDRAW_HPP
#define VUDADIVE2R_PATH_PATHDRAW_HPP

#include <memory>
#include <vector>

#include "pipeline/DrawPasses.hpp"
#include "vudadive2r/Path.hpp"

namespace ORV {
namespace Vudadive2R {

// Returns the number of passes whose geometry went to the coverage clipped
// to the surface rather than as it is (see the road's feed): the roads draw
// the same bytes when they clipped the same passes.
//
// `stamps`, when given, are cells the fill pass adds beside the path's
// edges (DenseRasterizer::AddStamp), as the edges they were taken from
// would add theirs: only for the library's road and a paint of the
// library's own colours, and only where the path would draw at all.
using PlacedStamp = DenseRasterizer::PlacedStamp;
unsigned DrawPath(Path& path, const std::shared_ptr<FillState>& fill, const std::shared_ptr<StrokeState>& stroke,
                  DrawRoad road, const std::vector<PlacedStamp>* stamps = nullptr);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
