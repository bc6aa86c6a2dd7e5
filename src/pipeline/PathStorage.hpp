// A path's vertex storage: AGG's path interface over one growing array of
// vertices (double coordinates and a command each). AGG's default storage
// allocates a 256-vertex block (8.4 KB) for the first vertex; this one holds
// a rectangle in a couple of hundred bytes and stores the same sequence.
#ifndef VUDADIVE2R_PATHSTORAGE_HPP
#define VUDADIVE2R_PATHSTORAGE_HPP

#include <agg_path_storage.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace ORV {
namespace Vudadive2R {

// The vertex array, counting its changes: AGG's path interface changes the
// vertices only through these, so an unchanged count means unchanged
// vertices (what a draw learnt of them still holds).
class CountedVertices : public agg::vertex_stl_storage<std::vector<agg::vertex_d>> {
    typedef agg::vertex_stl_storage<std::vector<agg::vertex_d>> Base;

public:
    void remove_all() { ++changes, Base::remove_all(); }
    void free_all() { ++changes, Base::free_all(); }
    void add_vertex(double x, double y, unsigned cmd) { ++changes, Base::add_vertex(x, y, cmd); }
    void modify_vertex(unsigned idx, double x, double y) { ++changes, Base::modify_vertex(idx, x, y); }
    void modify_vertex(unsigned idx, double x, double y, unsigned cmd) {
        ++changes, Base::modify_vertex(idx, x, y, cmd);
    }
    void modify_command(unsigned idx, unsigned cmd) { ++changes, Base::modify_command(idx, cmd); }
    void swap_vertices(unsigned v1, unsigned v2) { ++changes, Base::swap_vertices(v1, v2); }

    unsigned long long Changes() const { return changes; }

private:
    unsigned long long changes = 1;
};

class PathStorage : public agg::path_base<CountedVertices> {
public:
    // What the last draw's walk over the vertices found, while they have
    // not changed since (the count of their changes then; 0 for nothing
    // known): whether they are within the limits and read in place, the
    // largest magnitude, the entries read and whether curves are among
    // them. A walk over curves also depends on the draw's window, whose
    // bytes are kept with it.
    static constexpr std::size_t WindowBytes = 64;
    struct Checked {
        unsigned long long changes = 0;
        bool withinLimits = false;
        double largestMagnitude = 0;
        unsigned end = 0;
        bool curves = false;
        unsigned char window[WindowBytes] = {};
    };
    // Known for the vertices as they are (for a path with curves, the
    // window is still to be compared), or null.
    const Checked* Known() const { return checked.changes == vertices().Changes() ? &checked : nullptr; }
    // Whether the window's bytes are the ones kept.
    bool SameWindow(const unsigned char (&window)[WindowBytes]) const {
        return std::memcmp(checked.window, window, WindowBytes) == 0;
    }
    void Remember(bool withinLimits, double largestMagnitude, unsigned end, bool curves,
                  const unsigned char (&window)[WindowBytes]) const {
        checked.changes = vertices().Changes();
        checked.withinLimits = withinLimits;
        checked.largestMagnitude = largestMagnitude;
        checked.end = end;
        checked.curves = curves;
        if (curves)
            std::memcpy(checked.window, window, WindowBytes);
    }

private:
    mutable Checked checked;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
