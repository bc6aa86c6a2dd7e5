// The library's drawing road against the reference road of AGG's own objects, byte for byte.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "PlainTarget.hpp"
#include "RoadScenes.hpp"

using namespace DrawSupport;

TEST(RoadDifferential, RandomScenesDrawTheSameBytes) {
    std::mt19937 engine(20261207);
    std::vector<uint8_t> bytes(1024);
    for (int trial = 0; trial < 3000; ++trial) {
        for (uint8_t& b : bytes)
            b = uint8_t(engine());
        RoadScenes::ByteStream stream(bytes.data(), bytes.size());
        const RoadScenes::Scene scene = RoadScenes::RandomScene(stream);
        ASSERT_EQ(RoadScenes::CompareRoads(scene), "") << "trial " << trial;
    }
}

// Passes the random scenes rarely make: windings beyond int sums, and
// hundreds of edges over several bands of rows, many starting off the surface.
TEST(RoadDifferential, DeepWindingsAndEdgesBeyondTheSweptRowsAgree) {
    std::mt19937 engine(20261207);
    std::uniform_real_distribution<float> x(-10, 50), y(-40, 240);
    for (FillRule rule : {FillRule::NonZero, FillRule::EvenOdd}) {
        RoadScenes::Scene deep, edges;
        for (RoadScenes::Scene* s : {&deep, &edges}) {
            s->width = s == &deep ? 24 : 40;
            s->height = s == &deep ? 24 : 200;
            s->backdrop.assign(size_t(s->width) * size_t(s->height) * 4, 0);
            s->path = s->fillPaint = s->strokePaint = s->image = Matrix3::Identity;
            s->fillSpec.color = Color{0.2f, 0.4f, 0.6f, 0.7f};
            s->filled = true;
            s->rule = rule;
            for (int i = 0; i < (s == &deep ? 20000 : 200); ++i) {
                const float shift = float(i % 7) * 0.37f;
                s->commands.insert(s->commands.end(),
                                   {PathCommands::MoveTo, PathCommands::LineTo, PathCommands::LineTo});
                if (s == &deep)
                    s->data.insert(s->data.end(), {1 + shift, 1, 22, 3 + shift, 5, 22 - shift});
                else
                    s->data.insert(s->data.end(),
                                   {x(engine), y(engine), x(engine), y(engine), x(engine), y(engine)});
            }
        }
        EXPECT_EQ(RoadScenes::CompareRoads(deep), "") << int(rule);
        EXPECT_EQ(RoadScenes::CompareRoads(edges), "") << int(rule);
    }
}

// A client's paint receives AGG's rasterizer, scanline and renderer, also for
// more edges than AGG's sums hold if no row meets that many; a pass winding deeper is empty.
TEST(RoadDifferential, ClientSubclassGetsAggsObjects) {
    struct ClientPaint : ColorPaint {
        using ColorPaint::ColorPaint;
        void Rasterize(void* rasterizer, void* scanline, void* renderer, void*) override {
            auto& aggRasterizer = *static_cast<Rasterizer*>(rasterizer);
            sawRows = aggRasterizer.rewind_scanlines() ? aggRasterizer.max_y() - aggRasterizer.min_y() : -1;
            agg::render_scanlines_aa_solid(aggRasterizer, *static_cast<Scanline*>(scanline),
                                           *static_cast<Renderer*>(renderer), agg::rgba8(51, 102, 153, 255));
        }
        int sawRows = -2;
    };
    Geometry zigzag, wound;
    for (int i = 0; i < 20000; ++i)
        i ? zigzag.Line(float(i % 2 ? 58 : 2), 2 + float(i) * 0.0028f) : zigzag.Move(2, 2);
    for (int i = 0; i < 6000; ++i)
        wound.Move(3, 3).Line(50, 8).Line(20, 55);
    const struct { const char* name; Geometry geometry; int rows; } cases[] = {
        {"square", Geometry().Rectangle(10, 10, 20, 20), 10}, {"20 000 edges", zigzag, 55}, {"wound", wound, -1}};
    for (const auto& c : cases) {
        Canvas client(60, 60), library(60, 60);
        auto paint = std::make_shared<ClientPaint>(client, kOpaque);
        auto fill = std::make_shared<FillState>();
        fill->Paint(paint);
        c.geometry.On(client)->Draw(fill, nullptr);
        EXPECT_EQ(paint->sawRows, c.rows) << c.name;
        if (c.rows >= 0) {
            c.geometry.On(library)->Draw(FillIn(library, kOpaque, FillRule::EvenOdd), nullptr);
            EXPECT_EQ(client.surface.memory, library.surface.memory) << c.name;
        }
    }
}

// Rectangles, whose rows (and runs of alike rows) the library's road forms directly, across and beyond
// every border.
TEST(RoadDifferential, RectanglesAreThePlainComposition) {
    std::mt19937 engine(7);
    std::uniform_real_distribution<float> coordinate(-12, 52);
    for (int n = 0; n < 600; ++n) {
        float x0 = coordinate(engine), y0 = coordinate(engine), x1 = coordinate(engine), y1 = coordinate(engine);
        if (n % 5 == 0)  // whole pixels, as a fill of the surface has
            x0 = std::floor(x0), y0 = std::floor(y0), x1 = std::floor(x1), y1 = std::floor(y1);
        if (n % 7 == 0)  // narrower than a pixel
            x1 = x0 + (x1 - x0) / 64;
        PlainScene scene(40, 40);
        scene.geometry.Move(x0, y0).Line(x1, y0).Line(x1, y1).Line(x0, y1).Add(PathCommands::Close, {});
        scene.rule = n % 2 ? FillRule::EvenOdd : FillRule::NonZero;
        scene.fill.color = n % 4 == 1 ? Color{0.9f, 0.5f, 0.1f, 0.6f} : kOpaque;
        scene.mode = n % 8 == 5 ? BlendMode::Source : n % 8 == 7 ? BlendMode::Multiply : BlendMode::SourceOver;
        scene.origin = n % 4 == 2 ? Origin::BottomLeft : Origin::TopLeft;
        if (n % 6 == 1)  // overlapping: their common pixels composited twice
            scene.scissors = {{2, 3, 28, 22}, {10, -4, 40, 36}};
        if (n % 3 == 0)
            scene.fill.gradient =
                GradientScene{{{0, {1, 0, 0, 1}}, {1, {0, 0, 1, 0.6f}}}, SpreadMode::Pad, {-5, 0, 45, 40}};
        ASSERT_EQ(DrawnPlainly(scene), "") << "rectangle " << n;
    }
}
