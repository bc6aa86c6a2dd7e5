// Random scenes byte for byte: the library's drawing road against the reference road of AGG's own
// objects, and scenes in gradients and images against the plain AGG composition.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "PlainTarget.hpp"
#include "RoadScenes.hpp"

using namespace DrawSupport;
using ImageSupport::Picture;

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

TEST(RoadDifferential, ClippedAndLayeredScenesDrawTheSameBytes) {
    std::mt19937 engine(20261208);
    std::vector<uint8_t> bytes(1024);
    for (int trial = 0; trial < 1500; ++trial) {
        for (uint8_t& b : bytes)
            b = uint8_t(engine());
        RoadScenes::ByteStream stream(bytes.data(), bytes.size());
        RoadScenes::Scene scene = RoadScenes::RandomScene(stream);
        RoadScenes::RandomClipAndLayer(stream, scene);
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
        Scene scene = SceneOf(40, 40, Geometry().Rectangle(x0, y0, x1, y1));
        scene.rule = n % 2 ? FillRule::EvenOdd : FillRule::NonZero;
        scene.fillSpec.color = n % 4 == 1 ? Color{0.9f, 0.5f, 0.1f, 0.6f} : kOpaque;
        scene.blend = n % 8 == 5 ? BlendMode::Source : n % 8 == 7 ? BlendMode::Multiply : BlendMode::SourceOver;
        scene.origin = n % 4 == 2 ? Origin::BottomLeft : Origin::TopLeft;
        scene.scissoring = n % 6 == 1;  // overlapping: their common pixels composited twice
        scene.scissors = {{2, 3, 28, 22}, {10, -4, 40, 36}};
        if (n % 3 == 0)
            scene.fillSpec = GradientSpec({{0, {1, 0, 0, 1}}, {1, {0, 0, 1, 0.6f}}}, SpreadMode::Pad, {-5, 0, 45, 40});
        ASSERT_EQ(DrawnPlainly(scene), "") << "rectangle " << n;
    }
}

namespace {

struct Random {
    std::mt19937 engine{20261207};
    float Uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(engine); }
    int Below(int n) { return int(engine() % unsigned(n)); }

    Matrix3 Transform(float scaleLow, float scaleHigh, float shift) {
        Matrix3 m = Matrix3::CreateTranslation(-24, -20), step;
        Matrix3::Multiply(m, Matrix3::CreateRotation(Uniform(-3.2f, 3.2f)), step);
        Matrix3::Multiply(step, Matrix3::CreateScale(Uniform(scaleLow, scaleHigh), Uniform(scaleLow, scaleHigh)), m);
        Matrix3::Multiply(m, Matrix3::CreateTranslation(24 + Uniform(-shift, shift), 20 + Uniform(-shift, shift)), step);
        return Below(4) ? step : Matrix3::Identity;
    }

    // Where the plain composition is defined: two distinct offsets after
    // clamping, a focus inside the circle, a length of a unit or more.
    PaintSpec Gradient() {
        const SpreadMode spread = SpreadMode(Below(3));
        std::vector<ColorStop> stops;
        auto clamped = [](float offset) { return std::fmin(1.0f, std::fmax(0.0f, offset)); };
        while (stops.size() < 2 || clamped(stops[0].Offset) == clamped(stops[1].Offset)) {
            stops.clear();
            for (int i = 2 + Below(4); i > 0; --i)
                stops.push_back({Below(5) ? Uniform(-0.3f, 1.3f) : float(Below(3)) / 2,
                                 {Uniform(0, 1), Uniform(0, 1), Uniform(0, 1), Below(3) ? Uniform(0, 1) : 1}});
        }
        std::vector<float> g;
        if (Below(2)) {
            const float cx = Uniform(-10, 60), cy = Uniform(-10, 50), radius = Uniform(2, 60);
            const float angle = Uniform(-3.2f, 3.2f), reach = Below(3) ? Uniform(0, 0.95f) : 0;
            g = {cx, cy, radius, cx + reach * radius * std::cos(angle), cy + reach * radius * std::sin(angle)};
        } else {
            while (g.empty() || std::hypot(g[2] - g[0], g[3] - g[1]) < 1)
                g = {Uniform(-20, 70), Uniform(-20, 70), Uniform(-20, 70), Uniform(-20, 70)};
        }
        return GradientSpec(stops, spread, g);
    }

    Scene Drawing(int width, int height) {
        Geometry geometry;
        if (Below(3) == 0) {
            geometry.Circle(Uniform(0, 30), Uniform(0, 25), Uniform(2, 30));
        } else {
            geometry.Move(Uniform(-10, 58), Uniform(-10, 50));
            for (int i = 2 + Below(4); i > 0; --i)
                geometry.Line(Uniform(-10, 58), Uniform(-10, 50));
        }
        Scene scene = SceneOf(width, height, geometry);
        scene.blend = BlendMode(Below(10));
        scene.origin = Below(2) ? Origin::TopLeft : Origin::BottomLeft;
        for (int i = 0; i < width * height * 4; ++i)
            scene.backdrop.push_back(uint8_t(Below(256)));
        return scene;
    }
};

}  // namespace

TEST(GradientDifferential, RandomScenesAreThePlainComposition) {
    Random random;
    int changed = 0;
    for (int n = 0; n < 300; ++n) {
        Scene scene = random.Drawing(48, 40);
        scene.path = random.Transform(0.5f, 2, 10);
        scene.fillPaint = random.Transform(0.3f, 3, 20);
        scene.strokePaint = random.Transform(0.3f, 3, 20);
        scene.fillSpec = random.Gradient();
        scene.strokeSpec = random.Gradient();
        scene.stroked = true, scene.lineWidth = random.Uniform(1, 6);
        scene.rule = FillRule::EvenOdd;  // the fill state's default
        ASSERT_EQ(DrawnPlainly(scene, DrawRoad::Library, &changed), "") << "scene " << n;
    }
    EXPECT_GT(changed, 250);
}

// Surfaces of 1024 x 1024 and 4096 x 64 filled with radial gradients of
// every spread: radii of a few pixels to far beyond the surface, the focus
// from the centre to near the circle, placed unscaled (the gradient's rows
// then step by whole sixteenths), scaled by whole numbers and fractions,
// mirrored and turned, over a random backdrop.
TEST(GradientDifferential, LargeRadialGradientsAreThePlainComposition) {
    Random random;
    for (int n = 0; n < 12; ++n) {
        const bool square = n % 2 == 0;
        const int width = square ? 1024 : 4096, height = square ? 1024 : 64;
        Scene scene = SceneOf(width, height, Geometry().Rectangle(-0.5f, 0, float(width), float(height) - 0.25f));
        for (int i = 0; i < width * height * 4; ++i)
            scene.backdrop.push_back(uint8_t(random.Below(256)));
        PaintSpec gradient = random.Gradient();
        const float radius = std::exp(random.Uniform(1, 12));
        const float cx = std::floor(random.Uniform(-200, float(width) + 200)), cy = random.Uniform(-100, 1100);
        const float reach = n % 3 ? random.Uniform(0, 0.999f) : 0, angle = random.Uniform(-3.2f, 3.2f);
        gradient = GradientSpec(gradient.stops, SpreadMode(n % 3),
                            {cx, cy, radius, cx + reach * radius * std::cos(angle), cy + reach * radius * std::sin(angle)});
        scene.fillSpec = gradient;
        switch (n / 3 % 4) {
        case 0: break;
        case 1: scene.fillPaint = Matrix3::CreateScale(float(1 + n % 4), 2); break;
        case 2: scene.fillPaint = Matrix3::CreateScale(-1, 1); break;
        default: scene.fillPaint = random.Transform(0.3f, 3, 100); break;
        }
        scene.blend = n % 4 == 1 ? BlendMode::Source : BlendMode::SourceOver;
        ASSERT_EQ(DrawnPlainly(scene), "") << "gradient " << n;
    }
}

// Photos placed on a page: an image turned and scaled unevenly over a
// 1024 x 1024 or 4096 x 64 surface, outlined by its own placed rectangle and
// a little beyond, under each tiling, against the plain composition.
TEST(ImagePaintDifferential, TurnedPhotosAtUserSizesMatchThePlainComposition) {
    Random random;
    for (int n = 0; n < 12; ++n) {
        const bool square = n % 2 == 0;
        const int width = square ? 1024 : 4096, height = square ? 1024 : 64;
        const int side = 16 + random.Below(300);
        Picture picture(side, side / 2 + 1, (n % 3 ? 1 : -1) * 4 * side);
        for (uint8_t& byte : picture.bytes)
            byte = uint8_t(random.Below(256));
        if (n % 4 == 0)  // opaque
            for (size_t alpha = 3; alpha < picture.bytes.size(); alpha += 4)
                picture.bytes[alpha] = 255;
        Matrix3 placement = Matrix3::CreateScale(random.Uniform(0.4f, 4), random.Uniform(0.4f, 4)), step;
        Matrix3::Multiply(placement, Matrix3::CreateRotation(random.Uniform(-3.2f, 3.2f)), step);
        Matrix3::Multiply(step, Matrix3::CreateTranslation(random.Uniform(0, float(width)), random.Uniform(0, 200)),
                          placement);
        // The image's rectangle and a margin of 3 pixels, placed.
        Geometry outline;
        const float corners[4][2] = {{-3, -3}, {float(side) + 3, -3}, {float(side) + 3, float(side / 2 + 4)},
                                     {-3, float(side / 2 + 4)}};
        for (int i = 0; i < 4; ++i) {
            const float x = corners[i][0], y = corners[i][1];
            const float px = placement[0] * x + placement[3] * y + placement[6];
            const float py = placement[1] * x + placement[4] * y + placement[7];
            i ? outline.Line(px, py) : outline.Move(px, py);
        }
        Scene scene = SceneOf(width, height, outline);
        scene.image = placement;
        const TilingMode tiling = TilingMode(n % 4);
        const Color tile{random.Uniform(0, 1), random.Uniform(0, 1), random.Uniform(0, 1), random.Uniform(0, 1)};
        scene.fillSpec = ImageSpec(picture, tiling, tile);
        for (int i = 0; i < width * height * 4; ++i)
            scene.backdrop.push_back(uint8_t(random.Below(256)));
        ASSERT_EQ(DrawnPlainly(scene), "") << "photo " << n << ", tiling " << int(tiling);
    }
}

TEST(ImagePaintDifferential, RandomScenesMatchThePlainComposition) {
    Random random;
    int changed = 0;
    for (int n = 0; n < 300; ++n) {
        const int width = 1 + random.Below(7), height = 1 + random.Below(7);
        Picture picture(width, height, (random.Below(2) ? 1 : -1) * 4 * (width + random.Below(3)));
        for (uint8_t& byte : picture.bytes)
            byte = uint8_t(random.Below(256));
        if (random.Below(3) == 0)  // opaque
            for (size_t alpha = 3; alpha < picture.bytes.size(); alpha += 4)
                picture.bytes[alpha] = 255;
        Scene scene = random.Drawing(40, 32);
        scene.scissoring = random.Below(3) == 0;
        scene.scissors = {{random.Below(30), random.Below(20), random.Below(30), random.Below(20)},
                              {random.Below(30), random.Below(20), 12, 9}};
        scene.image = random.Transform(0.3f, 4, 20);
        scene.path = random.Transform(0.5f, 2, 10);
        scene.fillPaint = random.Transform(0.1f, 9, 20);  // not used by the image paint
        const int format = int(random.Below(2) ? TestSupport::kRA24 : TestSupport::kRX24);
        const TilingMode tiling = TilingMode(random.Below(4));
        const Color tile{random.Uniform(0, 1), random.Uniform(0, 1), random.Uniform(0, 1), random.Uniform(0, 1)};
        scene.fillSpec = scene.strokeSpec = ImageSpec(picture, tiling, tile, format);
        scene.rule = FillRule(random.Below(2));
        scene.lineWidth = random.Below(2) ? random.Uniform(0.5f, 6) : 0.0f;  // butt, miter and 4 as AGG's
        scene.stroked = scene.lineWidth != 0;
        ASSERT_EQ(DrawnPlainly(scene, DrawRoad::Library, &changed), "") << "scene " << n;
    }
    EXPECT_GT(changed, 200);  // most scenes change the surface
}
