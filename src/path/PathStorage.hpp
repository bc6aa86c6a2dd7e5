// A path's vertex storage: AGG's path storage (double coordinates, one
// command byte per vertex, blocks of 256 vertices).
#ifndef VUDADIVE2R_PATHSTORAGE_HPP
#define VUDADIVE2R_PATHSTORAGE_HPP

#include <agg_path_storage.h>

namespace ORV {
namespace Vudadive2R {

class PathStorage : public agg::path_storage {};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
