// Shaped text's outlines as the definition places them, read from FreeType
// by the tests themselves: a glyph at (x + gx / 64, y + gy / 64) rounded to
// the nearest quarter pixel, w + f with w whole and f the quarter, has its
// outline's points at (fx + px / 64, fy - py / 64), each contour closed,
// flattened by AGG's curve converter there, and the vertices moved by w.
#ifndef VUDADIVE2R_TESTS_PLAINGLYPHS_HPP
#define VUDADIVE2R_TESTS_PLAINGLYPHS_HPP

#include <agg_conv_curve.h>
#include <agg_path_storage.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

namespace PlainGlyphs {

// Appends the glyph whose outline is `outline` (loaded unhinted) to `out`; `curved` keeps the
// curves (a glyph larger than the library flattens), placed the same way.
inline void Append(FT_Outline* outline, double x, double y, int64_t gx, int64_t gy, std::vector<agg::vertex_d>& out,
                   bool curved = false) {
    struct Frame {
        agg::path_storage glyph;
        double fx, fy;
        void Point(const FT_Vector* p, double& px, double& py) const {
            px = fx + double(p->x) / 64, py = fy - double(p->y) / 64;
        }
    };
    const double px = x + double(gx) / 64, py = y + double(gy) / 64;
    const double qx = std::floor(px * 4 + 0.5), qy = std::floor(py * 4 + 0.5);
    const double wx = std::floor(qx / 4), wy = std::floor(qy / 4);
    Frame frame{{}, (qx - wx * 4) / 4, (qy - wy * 4) / 4};
    const FT_Outline_Funcs funcs = {
        [](const FT_Vector* to, void* f) {
            Frame& frame = *static_cast<Frame*>(f);
            double a, b;
            frame.Point(to, a, b);
            frame.glyph.close_polygon();
            frame.glyph.move_to(a, b);
            return 0;
        },
        [](const FT_Vector* to, void* f) {
            Frame& frame = *static_cast<Frame*>(f);
            double a, b;
            frame.Point(to, a, b);
            frame.glyph.line_to(a, b);
            return 0;
        },
        [](const FT_Vector* c, const FT_Vector* to, void* f) {
            Frame& frame = *static_cast<Frame*>(f);
            double a, b, d, e;
            frame.Point(c, a, b), frame.Point(to, d, e);
            frame.glyph.curve3(a, b, d, e);
            return 0;
        },
        [](const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* f) {
            Frame& frame = *static_cast<Frame*>(f);
            double a, b, c, d, e, g;
            frame.Point(c1, a, b), frame.Point(c2, c, d), frame.Point(to, e, g);
            frame.glyph.curve4(a, b, c, d, e, g);
            return 0;
        },
        0, 0};
    FT_Outline_Decompose(outline, &funcs, &frame);
    frame.glyph.close_polygon();
    if (curved) {
        for (unsigned i = 0; i < frame.glyph.total_vertices(); ++i) {
            double vx, vy;
            const unsigned command = frame.glyph.vertex(i, &vx, &vy);
            out.push_back(agg::is_vertex(command) ? agg::vertex_d(wx + vx, wy + vy, command) : agg::vertex_d(0, 0, command));
        }
        return;
    }
    agg::conv_curve<agg::path_storage> curves(frame.glyph);
    curves.rewind(0);
    double vx, vy;
    unsigned command;
    while (!agg::is_stop(command = curves.vertex(&vx, &vy)))
        out.push_back(agg::is_vertex(command) ? agg::vertex_d(wx + vx, wy + vy, command) : agg::vertex_d(0, 0, command));
}

}  // namespace PlainGlyphs

#endif
