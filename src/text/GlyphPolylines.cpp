#include "text/GlyphPolylines.hpp"

#include <agg_conv_curve.h>

#include <algorithm>
#include <climits>
#include <cmath>

#include "pipeline/PathStorage.hpp"
#include "text/TextFaces.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

int LowestBit(double v) {
    if (v == 0 || !std::isfinite(v))
        return INT_MAX;
    int exponent;
    const double mantissa = std::frexp(std::fabs(v), &exponent);
    const std::uint64_t bits = std::uint64_t(std::ldexp(mantissa, 53));
    return exponent - 53 + __builtin_ctzll(bits);
}

void Flatten(const GlyphOutline& outline, double fx, double fy, GlyphPolyline& out) {
    PathStorage path;
    const FT_Vector* point = outline.points.data();
    const auto x = [fx](const FT_Vector& p) { return fx + double(p.x) / 64; };
    const auto y = [fy](const FT_Vector& p) { return fy - double(p.y) / 64; };
    for (const PathCommands command : outline.commands) {
        switch (command) {
        case PathCommands::MoveTo: path.move_to(x(point[0]), y(point[0])), point += 1; break;
        case PathCommands::LineTo: path.line_to(x(point[0]), y(point[0])), point += 1; break;
        case PathCommands::QuadTo: path.curve3(x(point[0]), y(point[0]), x(point[1]), y(point[1])), point += 2; break;
        case PathCommands::CubicTo:
            path.curve4(x(point[0]), y(point[0]), x(point[1]), y(point[1]), x(point[2]), y(point[2]));
            point += 3;
            break;
        case PathCommands::Close: path.close_polygon(); break;
        default: break;
        }
    }
    const double width = double(outline.box.xMax - outline.box.xMin) / 64;
    const double height = double(outline.box.yMax - outline.box.yMin) / 64;
    out.curved = !(width <= GlyphPolylines::FlattenedExtent && height <= GlyphPolylines::FlattenedExtent);
    if (out.curved) {
        for (unsigned i = 0; i < path.total_vertices(); ++i) {
            double vx, vy;
            const unsigned command = path.vertex(i, &vx, &vy);
            out.vertices.emplace_back(vx, vy, command);
        }
    } else {
        agg::conv_curve<PathStorage> curves(path);
        curves.rewind(0);
        double vx, vy;
        unsigned command;
        while (!agg::is_stop(command = curves.vertex(&vx, &vy)))
            out.vertices.emplace_back(agg::is_vertex(command) ? vx : 0.0, agg::is_vertex(command) ? vy : 0.0, command);
    }
    bool first = true;
    out.lowestBit = INT_MAX;
    for (const agg::vertex_d& v : out.vertices) {
        if (!agg::is_vertex(v.cmd))
            continue;
        if (first)
            out.left = out.right = v.x, out.top = out.bottom = v.y, first = false;
        out.left = std::min(out.left, v.x), out.right = std::max(out.right, v.x);
        out.top = std::min(out.top, v.y), out.bottom = std::max(out.bottom, v.y);
        out.lowestBit = std::min(out.lowestBit, std::min(LowestBit(v.x), LowestBit(v.y)));
    }
}

}  // namespace

double ExactMoveLimit(const GlyphPolyline& polyline, int translationBit) {
    const int bit = std::min(std::min(polyline.lowestBit, translationBit), 0);
    const double reach = std::max(std::max(std::fabs(polyline.left), std::fabs(polyline.right)),
                                  std::max(std::fabs(polyline.top), std::fabs(polyline.bottom)));
    // Every sum is then a multiple of 2^bit below 2^(52 + bit): 53 bits hold it.
    return std::ldexp(1.0, 52 + bit) - reach - 1;
}

bool ExactlyMoved(const GlyphPolyline& polyline, double magnitude, int translationBit) {
    return magnitude < ExactMoveLimit(polyline, translationBit);
}

std::shared_ptr<GlyphPolyline> GlyphPolylines::Get(TextFaces& faces, int font, unsigned index, int quarterX,
                                                   int quarterY) {
    const Key key{std::uint64_t(unsigned(font)) << 32 | index, quarterX * 4 + quarterY};
    const auto found = entries.find(key);
    if (found != entries.end())
        return found->second;
    auto polyline = std::make_shared<GlyphPolyline>();
    const GlyphOutline& outline = faces.Outline(font, index);
    if (!outline.points.empty())
        Flatten(outline, double(quarterX) / 4, double(quarterY) / 4, *polyline);
    const std::size_t size = 128 + polyline->vertices.size() * sizeof(agg::vertex_d);
    if (bytes + size > CacheBound) {
        entries.clear();
        bytes = 0;
    }
    bytes += size;
    entries.emplace(key, polyline);
    return polyline;
}

const GlyphPolyline::Stamp* GlyphPolylines::StampOf(GlyphPolyline& polyline, int subX, int subY) {
    for (const auto& stamp : polyline.stamps)
        if (stamp->subX == subX && stamp->subY == subY)
            return stamp->usable ? stamp.get() : nullptr;
    auto stamp = std::make_unique<GlyphPolyline::Stamp>();
    stamp->subX = subX, stamp->subY = subY;
    stamp->usable = false;
    if (!polyline.curved && !polyline.vertices.empty()) {
        // A frame in which every coordinate is 2 pixels or more from the edges.
        stamp->originX = int(std::ceil(-polyline.left)) + 2;
        stamp->originY = int(std::ceil(-polyline.top)) + 2;
        const double ox = stamp->originX + double(subX) / 256, oy = stamp->originY + double(subY) / 256;
        if (ExactlyMoved(polyline, std::max(ox, oy), -8)) {
            rasterizer.SurfaceBounds(int(std::ceil(ox + polyline.right)) + 4, int(std::ceil(oy + polyline.bottom)) + 4,
                                     false);
            rasterizer.reset();
            for (const agg::vertex_d& v : polyline.vertices)
                rasterizer.add_vertex(agg::is_vertex(v.cmd) ? ox + v.x : 0.0, agg::is_vertex(v.cmd) ? oy + v.y : 0.0,
                                      v.cmd);
            stamp->usable = rasterizer.TakeStamp(stamp->cells);
        }
    }
    bytes += 64 + stamp->cells.cells.size() * sizeof(DenseRasterizer::StampCell) +
             stamp->cells.rowStart.size() * sizeof(std::uint32_t);
    polyline.stamps.push_back(std::move(stamp));
    const GlyphPolyline::Stamp* made = polyline.stamps.back().get();
    return made->usable ? made : nullptr;
}

}  // namespace Vudadive2R
}  // namespace ORV
