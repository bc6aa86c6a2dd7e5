// AGG's add_vertex without a clip box, for the rasterizers of our own that
// take edges in 24.8 fixed point: a move closes an open sub-path, a close
// draws the closing edge, and vertices are rounded to 1/256 pixel.
#ifndef VUDADIVE2R_RASTER_OUTLINEVERTICES_HPP
#define VUDADIVE2R_RASTER_OUTLINEVERTICES_HPP

#include <agg_basics.h>

namespace ORV {
namespace Vudadive2R {

// Edges 2^14 pixels wide or wider are halved at their midpoint, once, as
// AGG's rasterizer means to (the packaged one adds them whole as well).
// Returns false for a narrower edge, which the caller walks itself.
template <class AddEdge>
inline __attribute__((always_inline)) bool HalveWideEdge(int x1, int y1, int x2, int y2, AddEdge&& add) {
    constexpr long long widest = 16384LL << agg::poly_subpixel_shift;
    const long long dx = (long long)x2 - (long long)x1;
    if (dx < widest && dx > -widest)
        return false;
    const int cx = int(((long long)x1 + (long long)x2) >> 1);
    const int cy = int(((long long)y1 + (long long)y2) >> 1);
    add(x1, y1, cx, cy);
    add(cx, cy, x2, y2);
    return true;
}

class OutlineVertices {
public:
    // Feeds one vertex; `rasterizer.edge(x1, y1, x2, y2)` receives the edges.
    template <class RasterizerType>
    inline __attribute__((always_inline)) void Add(RasterizerType& rasterizer, double x, double y, unsigned command) {
        if (agg::is_move_to(command)) {
            Close(rasterizer);
            lastX = startX = agg::iround(x * agg::poly_subpixel_scale);
            lastY = startY = agg::iround(y * agg::poly_subpixel_scale);
            status = Status::Moved;
        } else if (agg::is_vertex(command)) {
            const int nextX = agg::iround(x * agg::poly_subpixel_scale);
            const int nextY = agg::iround(y * agg::poly_subpixel_scale);
            rasterizer.edge(lastX, lastY, nextX, nextY);
            lastX = nextX;
            lastY = nextY;
            status = Status::Drawing;
        } else if (agg::is_close(command)) {
            Close(rasterizer);
        }
    }

    // Draws the edge back to the start of an open sub-path.
    template <class RasterizerType>
    inline __attribute__((always_inline)) void Close(RasterizerType& rasterizer) {
        if (status == Status::Drawing) {
            rasterizer.edge(lastX, lastY, startX, startY);
            lastX = startX;
            lastY = startY;
        }
        if (status != Status::Initial)
            status = Status::Moved;
    }

    void Reset() {
        status = Status::Initial;
        startX = startY = lastX = lastY = 0;
    }

private:
    enum class Status { Initial, Moved, Drawing };
    Status status = Status::Initial;
    int startX = 0, startY = 0, lastX = 0, lastY = 0;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
