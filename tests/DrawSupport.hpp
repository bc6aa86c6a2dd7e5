// A surface with its context, geometry as command streams, states and paints.
#ifndef VUDADIVE2R_DRAW_SUPPORT_HPP
#define VUDADIVE2R_DRAW_SUPPORT_HPP

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "RoadScenes.hpp"
#include "TestSupport.hpp"

namespace DrawSupport {

using namespace ORV::Vudadive2R;

const Color kOpaque{0.2f, 0.4f, 0.6f, 1};  // bytes 51, 102, 153, 255
const uint32_t kOpaqueBytes = 0x336699FF;

struct Canvas {
    explicit Canvas(int width, int height, Origin origin = Origin::TopLeft)
        : surface(width, height), context(std::make_shared<Context2D>(surface.surface)) {
        context->renderState->origin = origin;
    }
    RenderState& State() { return *context->renderState; }
    Transform& PathTransform() { return *context->transforms->path; }
    uint32_t At(int column, int memoryRow) { return surface.Rgba(column, memoryRow); }
    uint8_t Alpha(int column, int memoryRow) { return surface.Pixel(column, memoryRow)[3]; }
    operator const std::shared_ptr<Context2D>&() const { return context; }

    TestSupport::Surface surface;
    std::shared_ptr<Context2D> context;
};

using TestSupport::ExpectBlock;

struct Geometry {
    Geometry& Move(float x, float y) { return Add(PathCommands::MoveTo, {x, y}); }
    Geometry& Line(float x, float y) { return Add(PathCommands::LineTo, {x, y}); }
    Geometry& Cubic(float c1x, float c1y, float c2x, float c2y, float x, float y) {
        return Add(PathCommands::CubicTo, {c1x, c1y, c2x, c2y, x, y});
    }
    Geometry& Rectangle(float x0, float y0, float x1, float y1) {
        return Move(x0, y0).Line(x1, y0).Line(x1, y1).Line(x0, y1).Add(PathCommands::Close, {});
    }
    Geometry& Circle(float cx, float cy, float r) {
        const float k = 0.5522847498f * r;  // four quarter cubics
        Move(cx + r, cy).Cubic(cx + r, cy + k, cx + k, cy + r, cx, cy + r);
        Cubic(cx - k, cy + r, cx - r, cy + k, cx - r, cy).Cubic(cx - r, cy - k, cx - k, cy - r, cx, cy - r);
        return Cubic(cx + k, cy - r, cx + r, cy - k, cx + r, cy).Add(PathCommands::Close, {});
    }
    Geometry& Add(PathCommands command, std::initializer_list<float> values) {
        commands.push_back(command);
        data.insert(data.end(), values);
        return *this;
    }
    std::unique_ptr<Path> On(const std::shared_ptr<Context2D>& context) const {
        std::unique_ptr<Path> path(new Path(context));
        path->AppendData(commands, data);
        return path;
    }
    std::vector<PathCommands> commands;
    std::vector<float> data;
};

inline std::shared_ptr<FillState> FillIn(const std::shared_ptr<Context2D>& context, Color color,
                                         FillRule rule = FillRule::NonZero) {
    auto fill = std::make_shared<FillState>();
    fill->Paint(std::make_shared<ColorPaint>(context, color));
    fill->FillRule(rule);
    return fill;
}

inline std::shared_ptr<StrokeState> StrokeIn(const std::shared_ptr<Context2D>& context, Color color, float width,
                                             CapStyle cap = CapStyle::Butt, JoinStyle join = JoinStyle::Miter) {
    auto stroke = std::make_shared<StrokeState>();
    stroke->Paint(std::make_shared<ColorPaint>(context, color));
    stroke->LineWidth(width);
    stroke->CapStyle(cap);
    stroke->JoinStyle(join);
    return stroke;
}

// A gradient from its numbers: five make a radial gradient (cx, cy, radius,
// fx, fy), four a linear one (x0, y0, x1, y1).
inline RoadScenes::PaintSpec GradientSpec(const std::vector<ColorStop>& stops, SpreadMode spread,
                                          const std::vector<float>& g) {
    RoadScenes::PaintSpec p;
    p.kind = g.size() == 5 ? 2 : 1;
    std::copy(g.begin(), g.end(), p.geometry);
    p.stops = stops;
    p.spread = spread;
    return p;
}

inline std::shared_ptr<GradientPaint> Gradient(const std::shared_ptr<Context2D>& context,
                                               const std::vector<ColorStop>& stops, SpreadMode spread,
                                               const std::vector<float>& g) {
    return RoadScenes::MakeGradient(GradientSpec(stops, spread, g), context);
}

}  // namespace DrawSupport

#endif
