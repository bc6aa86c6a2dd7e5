// A path's vertex storage: AGG's path interface over one growing array of
// vertices (double coordinates and a command each). AGG's default storage
// allocates a 256-vertex block (8.4 KB) for the first vertex; this one holds
// a rectangle in a couple of hundred bytes and stores the same sequence.
#ifndef VUDADIVE2R_PATHSTORAGE_HPP
#define VUDADIVE2R_PATHSTORAGE_HPP

#include <agg_path_storage.h>

#include <vector>

namespace ORV {
namespace Vudadive2R {

class PathStorage : public agg::path_base<agg::vertex_stl_storage<std::vector<agg::vertex_d>>> {};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
