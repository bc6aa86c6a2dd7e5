#include "text/TextOutlines.hpp"

#include FT_OUTLINE_H
#include FT_BBOX_H

#include "common/Internals.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

bool LoadOutline(TextFaces& faces, int font, unsigned index) {
    const FT_Face face = faces.FreeTypeFace(font);
    return face && FT_Load_Glyph(face, index, kOutlineLoadFlags) == 0 &&
           face->glyph->format == FT_GLYPH_FORMAT_OUTLINE;
}

struct Decomposition {
    OutlineCommands& outlines;
    double x, y;     // the run's origin in path space
    int64_t gx, gy;  // the glyph's position, 1/64 pixel
    bool open = false;

    // Sums of 1/64 pixels, exact in double.
    void Point(const FT_Vector* point) {
        outlines.data.push_back(float(x + double(gx + point->x) / 64));
        outlines.data.push_back(float(y + double(gy - point->y) / 64));
    }
    void Add(PathCommands command, std::initializer_list<const FT_Vector*> points) {
        outlines.commands.push_back(command);
        for (const FT_Vector* point : points)
            Point(point);
    }
    void Close() {
        if (open)
            outlines.commands.push_back(PathCommands::Close);
        open = false;
    }
};

Decomposition& Of(void* user) { return *static_cast<Decomposition*>(user); }

const FT_Outline_Funcs kDecomposer = {
    [](const FT_Vector* to, void* user) {
        Of(user).Close();
        Of(user).Add(PathCommands::MoveTo, {to});
        Of(user).open = true;
        return 0;
    },
    [](const FT_Vector* to, void* user) {
        Of(user).Add(PathCommands::LineTo, {to});
        return 0;
    },
    [](const FT_Vector* control, const FT_Vector* to, void* user) {
        Of(user).Add(PathCommands::QuadTo, {control, to});
        return 0;
    },
    [](const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user) {
        Of(user).Add(PathCommands::CubicTo, {control1, control2, to});
        return 0;
    },
    0, 0};

}  // namespace

bool GlyphOutlineBox(TextFaces& faces, int font, unsigned index, FT_BBox& box) {
    if (!LoadOutline(faces, font, index) || faces.FreeTypeFace(font)->glyph->outline.n_points == 0)
        return false;
    return FT_Outline_Get_BBox(&faces.FreeTypeFace(font)->glyph->outline, &box) == 0;
}

void AppendRunOutlines(TextFaces& faces, const std::vector<Glyph>& glyphs, const std::vector<int64_t>& positions,
                       double x, double y, OutlineCommands& outlines) {
    for (size_t i = 0; i < glyphs.size(); ++i) {
        if (!LoadOutline(faces, glyphs[i].Font, glyphs[i].Index))
            continue;
        Decomposition decomposition{outlines, x, y, positions[2 * i], positions[2 * i + 1]};
        FT_Outline_Decompose(&faces.FreeTypeFace(glyphs[i].Font)->glyph->outline, &kDecomposer, &decomposition);
        decomposition.Close();
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
