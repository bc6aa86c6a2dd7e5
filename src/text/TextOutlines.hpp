// What shaped text draws: every glyph's outline, flattened where the glyph
// lands within its pixel (GlyphPolylines), moved to its position, and all
// of a draw's glyphs filled as one path, non-zero.
#ifndef VUDADIVE2R_TEXT_TEXTOUTLINES_HPP
#define VUDADIVE2R_TEXT_TEXTOUTLINES_HPP

#include <cstdint>
#include <memory>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "raster/DenseRasterizer.hpp"
#include "text/TextFaces.hpp"
#include "vudadive2r/Path.hpp"
#include "vudadive2r/Text.hpp"

namespace ORV {
namespace Vudadive2R {

// The exact box of a glyph's outline in 26.6 pixels, y up; false for a glyph
// without an outline.
bool GlyphOutlineBox(TextFaces& faces, int font, unsigned index, FT_BBox& box);

// A run's glyphs (positions in 1/64 pixel, y down) with the run's origin.
struct PlacedRun {
    TextFaces& faces;
    const std::vector<Glyph>& glyphs;
    const std::vector<int64_t>& positions;
    double x, y;
};

// What a run or a layout keeps from one draw to the next: the path's
// storage, and the cells of all its glyphs summed into one stamp, for the
// draws that place every glyph at the same quarters, moved only by whole
// pixels, all of them where their own cells would be added (the bytes are
// those of the glyphs' cells added one by one, which are those of their
// edges). The stamp is made at the second draw with the same quarters.
struct DrawnText {
    // Stamps beyond this many bytes are not kept.
    static constexpr std::size_t StampBound = std::size_t(4) << 20;

    explicit DrawnText(const std::shared_ptr<Context2D>& context) : path(context) {}
    Path path;

    // The last draw whose glyphs were all stamped: each glyph's quarters
    // and whole pixels from the first glyph's, and the transform's 1/256.
    struct Place {
        long long x, y;
        int quarters;
        bool operator==(const Place& o) const { return x == o.x && y == o.y && quarters == o.quarters; }
    };
    std::vector<Place> places;
    int subX = 0, subY = 0;
    bool refused = false;  // no stamp for these places
    // The summed cells, at the glyphs' whole pixels plus the transform's of
    // the draw that made them, (baseX, baseY) the first glyph's there.
    std::unique_ptr<DenseRasterizer::CellStamp> stamp;
    long long baseX = 0, baseY = 0;
    long long reach = 0;        // the largest whole distance from the first glyph
    double exactLimit = 0;      // moves below this magnitude are exact for every glyph
    int colorGlyphs = -1;       // whether any glyph is a colour glyph, -1 not yet known
};

// Whether any glyph of the runs is a colour glyph, kept in `drawn`.
bool AnyColorGlyphs(DrawnText& drawn, const std::vector<PlacedRun>& runs);

// The glyph at (x + gx / 64, y + gy / 64), worked out in double and
// rounded to the nearest quarter pixel (halves up), splits into whole
// pixels (wx, wy) and the quarter (fx, fy); its polyline's vertices are
// placed at (wx + vx, wy + vy), in double. A glyph without an outline adds
// nothing; one at a position that is not finite, or beyond 2^50 pixels,
// only a move to it (a path with a coordinate beyond the limits draws nothing).
// Fills them all as Path::Draw fills a path, with the fill state's paint
// and the non-zero rule; `drawn` holds the storage used, cleared first. A
// null fill state draws nothing but is checked as Path::Draw checks. The
// runs must be the same glyphs at every draw with the same `drawn`.
void DrawRuns(DrawnText& drawn, const std::vector<PlacedRun>& runs, const std::shared_ptr<FillState>& fill);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
