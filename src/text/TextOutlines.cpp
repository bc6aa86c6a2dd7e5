#include "text/TextOutlines.hpp"

#include <cstring>
#include <stdexcept>

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

bool SameOrigin(float x, float y, float drawnX, float drawnY) {
    return std::memcmp(&x, &drawnX, sizeof x) == 0 && std::memcmp(&y, &drawnY, sizeof y) == 0;
}

void AddRunOutlines(PathStorage& storage, TextFaces& faces, const std::vector<Glyph>& glyphs,
                    const std::vector<int64_t>& positions, double x, double y) {
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const GlyphOutline& outline = faces.Outline(glyphs[i].Font, glyphs[i].Index);
        const int64_t gx = positions[2 * i], gy = positions[2 * i + 1];
        const FT_Vector* point = outline.points.data();
        double v[6];
        // As AppendRunOutlines rounds it to float and the decoder reads it:
        // fmaf(1, f, 0) is f + 0 exactly (the product is exact), -0 made +0.
        auto take = [&](unsigned count) {
            for (unsigned k = 0; k < count; ++k, ++point) {
                v[2 * k] = double(float(x + double(gx + point->x) / 64) + 0.0f);
                v[2 * k + 1] = double(float(y + double(gy - point->y) / 64) + 0.0f);
            }
        };
        for (const PathCommands command : outline.commands) {
            switch (command) {
            case PathCommands::MoveTo: take(1), storage.move_to(v[0], v[1]); break;
            case PathCommands::LineTo: take(1), storage.line_to(v[0], v[1]); break;
            case PathCommands::QuadTo: take(2), storage.curve3(v[0], v[1], v[2], v[3]); break;
            case PathCommands::CubicTo: take(3), storage.curve4(v[0], v[1], v[2], v[3], v[4], v[5]); break;
            case PathCommands::Close: storage.close_polygon(); break;
            default: throw std::logic_error("A glyph outline holds a command its decomposer never makes.");
            }
        }
    }
}

void DrawOutlines(Path& path, const OutlineCommands& outlines, const std::shared_ptr<FillState>& fill) {
    path.AppendData(outlines.commands, outlines.data);
    DrawNonZero(path, fill);
}

void DrawNonZero(Path& path, const std::shared_ptr<FillState>& fill) {
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
