// A path's draw on a chosen road. Path::Draw takes the library's road; the
// differential tests and the road fuzzer draw every scene on both.
#ifndef VUDADIVE2R_PATH_PATHDRAW_HPP
#define VUDADIVE2R_PATH_PATHDRAW_HPP

#include <memory>

#include "pipeline/DrawPasses.hpp"
#include "vudadive2r/Path.hpp"

namespace ORV {
namespace Vudadive2R {

// Returns the number of passes whose geometry went to the coverage clipped
// to the surface rather than as it is (see the road's feed): the roads draw
// the same bytes when they clipped the same passes.
unsigned DrawPath(Path& path, const std::shared_ptr<FillState>& fill, const std::shared_ptr<StrokeState>& stroke,
                  DrawRoad road);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
