// Glyph outlines as path commands: what shaped text draws.
#ifndef VUDADIVE2R_TEXT_TEXTOUTLINES_HPP
#define VUDADIVE2R_TEXT_TEXTOUTLINES_HPP

#include <cstdint>
#include <memory>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "pipeline/PathStorage.hpp"
#include "text/TextFaces.hpp"
#include "vudadive2r/Path.hpp"
#include "vudadive2r/Text.hpp"

namespace ORV {
namespace Vudadive2R {

struct OutlineCommands {
    std::vector<PathCommands> commands;
    std::vector<float> data;
};

// The exact box of a glyph's outline in 26.6 pixels, y up; false for a glyph
// without an outline.
bool GlyphOutlineBox(TextFaces& faces, int font, unsigned index, FT_BBox& box);

// Every glyph's outline, each contour closed, a point (px, py) of a glyph at
// (gx, gy) (1/64 pixel, y down) at (x + (gx + px) / 64, y + (gy - py) / 64),
// worked out in double and rounded to float.
void AppendRunOutlines(TextFaces& faces, const std::vector<Glyph>& glyphs, const std::vector<int64_t>& positions,
                       double x, double y, OutlineCommands& outlines);

// The same outlines appended straight to the storage of a path made by its
// constructor (coordinate scale 1, offset 0), each point and command as
// Path::AppendData decodes them from AppendRunOutlines' stream, without the
// stream between: no float vectors to grow and no commands to decode.
void AddRunOutlines(PathStorage& storage, TextFaces& faces, const std::vector<Glyph>& glyphs,
                    const std::vector<int64_t>& positions, double x, double y);

// Whether an origin is the one the kept outlines were built at, bit for bit
// (the same bits make the same points; NaN is then NaN again).
bool SameOrigin(float x, float y, float drawnX, float drawnY);

// Fills the path as Path::Draw does, with the fill state's paint and the
// non-zero rule. A null fill state draws nothing but is checked as Path::Draw checks.
void DrawNonZero(Path& path, const std::shared_ptr<FillState>& fill);

// Fills the outlines as Path::Draw fills a path: the fill state's paint, the
// non-zero rule. A null fill state draws nothing but is checked as Path::Draw checks.
void DrawOutlines(Path& path, const OutlineCommands& outlines, const std::shared_ptr<FillState>& fill);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
