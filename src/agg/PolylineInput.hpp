// How the dash and stroke generators take in a polyline: shared by both.
#ifndef VUDADIVE2R_AGG_POLYLINEINPUT_HPP
#define VUDADIVE2R_AGG_POLYLINEINPUT_HPP

#include <agg_basics.h>
#include <agg_vertex_sequence.h>

namespace ORV {
namespace Vudadive2R {

// A move-to replaces the last point (a new start cancels a lone one), a
// vertex appends, and anything else only records whether the path closes.
inline void AddPolylineVertex(agg::vertex_sequence<agg::vertex_dist, 6>& vertices, unsigned& closed,
                              double x, double y, unsigned cmd) {
  if (agg::is_move_to(cmd)) {
    vertices.modify_last(agg::vertex_dist(x, y));
  } else if (agg::is_vertex(cmd)) {
    vertices.add(agg::vertex_dist(x, y));
  } else {
    closed = agg::get_close_flag(cmd);
  }
}

}  // namespace Vudadive2R
}  // namespace ORV

#endif
