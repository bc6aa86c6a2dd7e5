// The vertices a path stores, read back through the library's internals.
#ifndef VUDADIVE2R_TEST_STOREDVERTICES_HPP
#define VUDADIVE2R_TEST_STOREDVERTICES_HPP

#include <ostream>
#include <vector>

#include "common/Internals.hpp"
#include "pipeline/PathStorage.hpp"

namespace StoredVertices {

// AGG's command values as the storage holds them.
enum : unsigned { Move = 1, Line = 2, Quad = 3, Cubic = 4, ClosePoly = 0x4F };

struct Vertex {
    unsigned command;
    double x, y;
    bool operator==(const Vertex& o) const { return command == o.command && x == o.x && y == o.y; }
};
inline void PrintTo(const Vertex& v, std::ostream* out) { *out << "{" << v.command << ", " << v.x << ", " << v.y << "}"; }

inline std::vector<Vertex> Stored(ORV::Vudadive2R::Path& path) {
    ORV::Vudadive2R::PathStorage& storage = ORV::Vudadive2R::Internals::StorageOf(path);
    std::vector<Vertex> result(storage.total_vertices());
    for (unsigned i = 0; i < result.size(); ++i)
        result[i].command = storage.vertex(i, &result[i].x, &result[i].y);
    return result;
}

}  // namespace StoredVertices

#endif
