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

// The glyph at (x + gx / 64, y + gy / 64), worked out in double and
// rounded to the nearest quarter pixel (halves up), splits into whole
// pixels (wx, wy) and the quarter (fx, fy); its polyline's vertices are
// placed at (wx + vx, wy + vy), in double. A glyph without an outline adds
// nothing; one at a position that is not finite, or beyond 2^50 pixels,
// only a move to it (a path with a coordinate beyond the limits draws nothing).
// Fills them all as Path::Draw fills a path, with the fill state's paint
// and the non-zero rule; `path` is the storage used, cleared first. A null
// fill state draws nothing but is checked as Path::Draw checks.
void DrawRuns(Path& path, const std::vector<PlacedRun>& runs, const std::shared_ptr<FillState>& fill);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
