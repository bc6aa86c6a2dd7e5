#include "text/TextOutlines.hpp"

#include "common/Internals.hpp"

namespace ORV {
namespace Vudadive2R {

bool GlyphOutlineBox(TextFaces& faces, int font, unsigned index, FT_BBox& box) {
    const GlyphOutline& outline = faces.Outline(font, index);
    box = outline.box;
    return !outline.points.empty();
}

// Sums of 1/64 pixels, exact in double, then rounded to float.
void AppendRunOutlines(TextFaces& faces, const std::vector<Glyph>& glyphs, const std::vector<int64_t>& positions,
                       double x, double y, OutlineCommands& outlines) {
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const GlyphOutline& outline = faces.Outline(glyphs[i].Font, glyphs[i].Index);
        const int64_t gx = positions[2 * i], gy = positions[2 * i + 1];
        outlines.commands.insert(outlines.commands.end(), outline.commands.begin(), outline.commands.end());
        for (const FT_Vector& point : outline.points) {
            outlines.data.push_back(float(x + double(gx + point.x) / 64));
            outlines.data.push_back(float(y + double(gy - point.y) / 64));
        }
    }
}

void DrawOutlines(Path& path, const OutlineCommands& outlines, const std::shared_ptr<FillState>& fill) {
    path.AppendData(outlines.commands, outlines.data);
    std::shared_ptr<FillState> nonZero;
    if (fill) {
        nonZero = std::make_shared<FillState>();
        nonZero->Paint(Internals::PaintOf(*fill));
        nonZero->FillRule(FillRule::NonZero);
    }
    path.Draw(nonZero, nullptr);
}

}  // namespace Vudadive2R
}  // namespace ORV
