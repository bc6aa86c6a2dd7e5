// Glyph outlines flattened where a glyph lands within its pixel, and the
// cells they leave in the coverage, kept for the draws that follow.
//
// A glyph is placed at a quarter pixel: its outline's control points at
// (fx + x / 64, fy - y / 64), (fx, fy) the quarter of its pixel, are
// flattened by AGG's curve converter in that frame, and the vertices moved
// by the whole pixels of the position. Every placement of a glyph at the
// same quarter then draws the same polyline, moved, and where the moves
// are exact in double its cells are the same cells, moved (see
// DenseRasterizer::AddStamp): those are added without walking an edge.
#ifndef VUDADIVE2R_TEXT_GLYPHPOLYLINES_HPP
#define VUDADIVE2R_TEXT_GLYPHPOLYLINES_HPP

#include <agg_basics.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "raster/DenseRasterizer.hpp"

namespace ORV {
namespace Vudadive2R {

class TextFaces;

struct GlyphPolyline {
    // Commands and points, each contour closed; curves left as they are
    // for a glyph too large to flatten here (Curved).
    std::vector<agg::vertex_d> vertices;
    bool curved = false;
    // The box of the points, and the exponent of the lowest bit set in any
    // coordinate (INT_MAX for none): what the exactness of a move needs.
    double left = 0, top = 0, right = 0, bottom = 0;
    int lowestBit = 0;
    // The cells of the polyline moved by (originX + subX / 256, originY +
    // subY / 256), made on first use; null when they cannot be taken.
    struct Stamp {
        int subX, subY;
        int originX, originY;
        bool usable;
        DenseRasterizer::CellStamp cells;
    };
    std::vector<std::unique_ptr<Stamp>> stamps;
};

class GlyphPolylines {
public:
    // Polylines and cells kept, bookkeeping included: beyond this all are
    // dropped and made anew (a draw keeps those it uses).
    static constexpr std::size_t CacheBound = std::size_t(16) << 20;
    // Glyphs wider or taller than this many pixels keep their curves, for
    // the path's own flattening and culling.
    static constexpr double FlattenedExtent = 4096;

    // Glyph `index` of face `font` at quarter (quarterX, quarterY) of a pixel (0 to 3).
    std::shared_ptr<GlyphPolyline> Get(TextFaces& faces, int font, unsigned index, int quarterX, int quarterY);

    // The polyline's cells at the subpixel offset (subX, subY) / 256, or
    // null where they cannot be taken (too many edges, or the frame could
    // not hold the polyline exactly).
    const GlyphPolyline::Stamp* StampOf(GlyphPolyline& polyline, int subX, int subY);

private:
    struct Key {
        std::uint64_t glyph;
        int quarters;
        bool operator==(const Key& other) const { return glyph == other.glyph && quarters == other.quarters; }
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const { return std::hash<std::uint64_t>()(k.glyph * 4 + unsigned(k.quarters)); }
    };
    std::unordered_map<Key, std::shared_ptr<GlyphPolyline>, KeyHash> entries;
    std::size_t bytes = 0;
    DenseRasterizer rasterizer;  // for taking stamps
};

// Whether adding whole pixels up to `magnitude` (with `translationBit`, the
// lowest bit of a further move) to a polyline's coordinates is exact in double.
bool ExactlyMoved(const GlyphPolyline& polyline, double magnitude, int translationBit);
// The magnitude below which ExactlyMoved holds.
double ExactMoveLimit(const GlyphPolyline& polyline, int translationBit);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
