// Which road Path::Draw takes for the library's own paints: its own
// rasterizer, or the plain AGG composition that the library keeps as the
// reference. Internal; the differential tests and the fuzzer draw every
// scene both ways.
#ifndef VUDADIVE2R_PATH_DRAWROAD_HPP
#define VUDADIVE2R_PATH_DRAWROAD_HPP

#include "vudadive2r/Types.hpp"

namespace ORV {
namespace Vudadive2R {

struct DrawRoad {
    // Process-wide; set it only while no draw is running.
    static void ForcePlain(bool plain);
    static bool PlainForced();
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
