// Dashed strokes of whole drawings, large and long and reaching far beyond
// the surface, drawn through the public classes on both roads, against AGG's
// dasher and stroker composed directly: every dash where AGG puts it, byte
// for byte, however many of them lie off the surface.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>

#include "DrawSupport.hpp"
#include "PlainTarget.hpp"
#include "common/Internals.hpp"
#include "path/PathDraw.hpp"

using namespace DrawSupport;

namespace {

const Color kInk{0.1f, 0.3f, 0.8f, 0.9f};
const GradientScene kRamp{{{0, {0.9f, 0.1f, 0.2f, 1}}, {0.5f, {0.1f, 0.7f, 0.3f, 0.8f}}, {1, {0.2f, 0.3f, 0.9f, 1}}},
                          SpreadMode::Reflect,
                          {100, 50, 420, 300}};

// Lines every `step` pixels over a square surface, running `beyond` past it.
void Grid(PathBuilder& b, float size, float step, float beyond) {
    for (float at = 8.5f; at < size; at += step) {
        b.Line(-beyond, at, size + beyond, at);
        b.Line(at, -beyond, at, size + beyond);
    }
}

// Quarter turns of cubics about (cx, cy), the radius growing by `growth`
// each turn, out to far beyond a 2048-pixel surface.
void Spiral(PathBuilder& b, float cx, float cy, int quarters, float growth) {
    const float k = 0.5522847498f, quarter = 1.57079632679f;
    auto radius = [&](int q) { return 6 + growth * float(q) / 4; };
    b.MoveTo(cx + radius(0), cy);
    for (int q = 0; q < quarters; ++q) {
        const float a0 = float(q) * quarter, a1 = a0 + quarter, r0 = radius(q), r1 = radius(q + 1);
        b.CubicTo(cx + r0 * std::cos(a0) - k * r0 * std::sin(a0), cy + r0 * std::sin(a0) + k * r0 * std::cos(a0),
                  cx + r1 * std::cos(a1) + k * r1 * std::sin(a1), cy + r1 * std::sin(a1) - k * r1 * std::cos(a1),
                  cx + r1 * std::cos(a1), cy + r1 * std::sin(a1));
    }
}

// A chart's line of `points` random steps across the surface, wandering
// off it above and below.
void RandomWalk(PathBuilder& b, int points, float width, float height) {
    std::mt19937 engine(20261207);
    std::normal_distribution<float> step(0, 9);
    float y = height / 2;
    b.MoveTo(0, y);
    for (int i = 1; i < points; ++i)
        b.LineTo(float(i) * width / float(points), y += step(engine));
}

// Zigzags from far beyond one border to far beyond another, within reach
// of the surface's exact columns, with sharp corners off the surface.
void Crossings(PathBuilder& b, float width, float height) {
    std::mt19937 engine(7);
    std::uniform_real_distribution<float> unit(0, 1);
    auto outside = [&] {
        const float t = unit(engine), far = 100 + 5000 * unit(engine);
        switch (engine() % 4) {
        case 0: return std::make_pair(-far, t * height);
        case 1: return std::make_pair(width + far, t * height);
        case 2: return std::make_pair(t * width, -4 * far);
        default: return std::make_pair(t * width, height + 4 * far);
        }
    };
    for (int i = 0; i < 120; ++i) {
        const auto a = outside(), b2 = outside();
        b.MoveTo(a.first, a.second);
        b.LineTo(unit(engine) * width, unit(engine) * height);
        b.LineTo(b2.first, b2.second);
        b.LineTo(b2.first + 30 * unit(engine), b2.second - 40);
    }
}

struct DashedScene {
    const char* name;
    int width, height;
    std::function<void(PathBuilder&)> geometry;
    PlainStroke stroke;
    bool gradient;
};

std::string FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int width) {
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return "pixel " + std::to_string(i / 4 % size_t(width)) + ", " + std::to_string(i / 4 / size_t(width)) +
                   ": " + std::to_string(a[i]) + " against " + std::to_string(b[i]);
    return a.size() == b.size() ? "" : "sizes";
}

}  // namespace

TEST(DashedScenes, EveryDashWhereAggsDasherPutsIt) {
    const DashedScene scenes[] = {
        {"grid dashed", 2048, 2048, [](PathBuilder& b) { Grid(b, 2048, 16, 3000); },
         {1, CapStyle::Butt, JoinStyle::Miter, {{4, 4}}}, false},
        {"grid dotted", 2048, 2048, [](PathBuilder& b) { Grid(b, 2048, 16, 3000); },
         {1, CapStyle::Butt, JoinStyle::Miter, {{1, 3}}}, false},
        {"grid dotted, 4096", 4096, 4096, [](PathBuilder& b) { Grid(b, 4096, 32, 100); },
         {1, CapStyle::Butt, JoinStyle::Miter, {{1, 3}}}, false},
        {"spiral", 2048, 2048, [](PathBuilder& b) { Spiral(b, 1000, 1050, 600, 20); },
         {2, CapStyle::Round, JoinStyle::Round, {{10, 4}, {2, 4}}, 3}, false},
        {"chart", 2048, 1536, [](PathBuilder& b) { RandomWalk(b, 20000, 2048, 1536); },
         {1.5f, CapStyle::Butt, JoinStyle::Miter, {{6, 3}}, 0, 10}, false},
        {"crossings, square caps", 640, 480, [](PathBuilder& b) { Crossings(b, 640, 480); },
         {5, CapStyle::Square, JoinStyle::Miter, {{12, 6}}, 4, 3}, false},
        {"crossings, miters unbounded", 640, 480, [](PathBuilder& b) { Crossings(b, 640, 480); },
         {3, CapStyle::Butt, JoinStyle::Miter, {{20, 10}, {0.5f, 3}}, -7, 0.5f}, false},
        {"crossings, gradient", 640, 480, [](PathBuilder& b) { Crossings(b, 640, 480); },
         {7, CapStyle::Round, JoinStyle::Bevel, {{3, 5}, {0, 4}}, 11}, true},
    };
    for (const DashedScene& s : scenes) {
        SCOPED_TRACE(s.name);
        PathBuilder builder;
        s.geometry(builder);
        TestSupport::Surface plain(s.width, s.height);
        plain.Fill(250, 245, 235, 255);
        const std::vector<uint8_t> backdrop = plain.memory;
        for (DrawRoad road : {DrawRoad::Library, DrawRoad::Reference}) {
            Canvas canvas(s.width, s.height);
            canvas.surface.memory = backdrop;
            auto stroke = StrokeIn(canvas, kInk, s.stroke.width, s.stroke.cap, s.stroke.join);
            if (s.gradient)
                stroke->Paint(Gradient(canvas, kRamp.stops, kRamp.spread, kRamp.g));
            stroke->MiterLimit(s.stroke.miterLimit);
            stroke->dashPattern = s.stroke.dashes;
            stroke->DashPhase(s.stroke.phase);
            auto path = builder.ToPath(canvas);
            // The reference road clips a pass beyond AGG's limits to the surface.
            if (DrawPath(*path, nullptr, stroke, road) && road == DrawRoad::Reference)
                continue;
            if (road == DrawRoad::Library) {
                PlainTarget target(plain, Origin::TopLeft, BlendMode::SourceOver);
                auto render = [&] {
                    if (s.gradient)
                        return RenderGradientPlainly(target, Matrix3::Identity, Matrix3::Identity, kRamp);
                    const agg::rgba8 ink = agg::rgba(kInk.R, kInk.G, kInk.B, kInk.A);
                    agg::render_scanlines_aa_solid(target.rasterizer, target.scanline, target.renderer, ink);
                };
                FillAndStrokePlainly(target, Internals::StorageOf(*path), Matrix3::Identity, FillRule::NonZero, [] {},
                                     &s.stroke, render);
            }
            EXPECT_EQ(FirstDifference(canvas.surface.memory, plain.memory, s.width), "") << int(road);
        }
    }
}
