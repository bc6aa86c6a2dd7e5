// Drawings at the sizes programs draw against the plain AGG composition; dashed ones on both roads.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "PlainTarget.hpp"

using namespace DrawSupport;

namespace {

Geometry Chart(std::mt19937& engine, int points, int width, int height) {
    Geometry g;
    std::uniform_real_distribution<float> step(-12, 12);
    float y = height / 2.0f;
    for (int i = 0; i < points; ++i) {
        const float x = -20 + float(i) * float(width + 40) / float(points - 1);
        y = std::fmin(float(height) + 40, std::fmax(-40.0f, y + step(engine)));
        i ? g.Line(x, y) : g.Move(x, y);
    }
    return g;
}

// Spikes from about the centre to far beyond every border.
Geometry Star(int vertices, int width, int height) {
    Geometry g;
    const float cx = width / 2.0f, cy = height / 2.0f;
    for (int i = 0; i < vertices; ++i) {
        const float angle = 6.2831853f * float(i) / float(vertices);
        const float radius = i % 2 ? 0.15f * float(height) : 1.4f * float(width) * (1 + 0.3f * std::sin(7.0f * angle));
        const float x = cx + radius * std::cos(angle), y = cy + radius * std::sin(angle);
        i ? g.Line(x, y) : g.Move(x, y);
    }
    return g;
}

Geometry Map(std::mt19937& engine, int polygons, int width, int height) {
    Geometry g;
    std::uniform_real_distribution<float> unit(0, 1);
    for (int p = 0; p < polygons; ++p) {
        const float cx = -60 + unit(engine) * float(width + 120), cy = -60 + unit(engine) * float(height + 120);
        const float size = 10 + 70 * unit(engine);
        const int count = 6 + int(unit(engine) * 7);
        for (int i = 0; i < count; ++i) {
            const float angle = 6.2831853f * (float(i) + 0.8f * unit(engine)) / float(count);
            const float radius = size * (0.5f + 0.5f * unit(engine));
            const float x = cx + radius * std::cos(angle), y = cy + radius * std::sin(angle);
            i ? g.Line(x, y) : g.Move(x, y);
        }
        g.Add(PathCommands::Close, {});
    }
    return g;
}

Geometry Scatter(std::mt19937& engine, int circles, int width, int height) {
    Geometry g;
    std::uniform_real_distribution<float> unit(0, 1);
    for (int i = 0; i < circles; ++i)
        g.Circle(-4 + unit(engine) * float(width + 8), -4 + unit(engine) * float(height + 8), 2 + 4 * unit(engine));
    return g;
}

Geometry Grid(float size, float step, float beyond) {
    Geometry g;
    for (float at = 8.5f; at < size; at += step)
        g.Move(-beyond, at).Line(size + beyond, at).Move(at, -beyond).Line(at, size + beyond);
    return g;
}

// Quarter-turn cubics, the radius growing by `growth` a turn.
Geometry Spiral(float cx, float cy, int quarters, float growth) {
    const float k = 0.5522847498f, quarter = 1.57079632679f;
    auto radius = [&](int q) { return 6 + growth * float(q) / 4; };
    Geometry g;
    g.Move(cx + radius(0), cy);
    for (int q = 0; q < quarters; ++q) {
        const float a0 = float(q) * quarter, a1 = a0 + quarter, r0 = radius(q), r1 = radius(q + 1);
        g.Cubic(cx + r0 * std::cos(a0) - k * r0 * std::sin(a0), cy + r0 * std::sin(a0) + k * r0 * std::cos(a0),
                cx + r1 * std::cos(a1) + k * r1 * std::sin(a1), cy + r1 * std::sin(a1) - k * r1 * std::cos(a1),
                cx + r1 * std::cos(a1), cy + r1 * std::sin(a1));
    }
    return g;
}

// Zigzags from far beyond one border to another, sharp corners off the surface.
Geometry Crossings(float width, float height) {
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
    Geometry g;
    for (int i = 0; i < 120; ++i) {
        const auto a = outside(), b = outside();
        g.Move(a.first, a.second).Line(unit(engine) * width, unit(engine) * height).Line(b.first, b.second);
        g.Line(b.first + 30 * unit(engine), b.second - 40);
    }
    return g;
}

Matrix3 RotatedAndScaled(int width, int height, float angle, float scale) {
    Matrix3 a, b;
    Matrix3::Multiply(Matrix3::CreateTranslation(-width / 2.0f, -height / 2.0f), Matrix3::CreateRotation(angle), a);
    Matrix3::Multiply(a, Matrix3::CreateScale(scale, scale), b);
    Matrix3::Multiply(b, Matrix3::CreateTranslation(width / 2.0f, height / 2.0f), a);
    return a;
}

}  // namespace

TEST(LargeScenes, AreThePlainCompositionByteForByte) {
    // Components that are whole bytes: 51, 102, 153, 204 and 204, 51, 0, 153.
    const Color fillColor{0.2f, 0.4f, 0.6f, 0.8f}, strokeColor{0.8f, 0.2f, 0, 0.6f}, ink{0.1f, 0.3f, 0.8f, 0.9f};
    const std::vector<ColorStop> stops = {
        {0, {0.9f, 0.2f, 0.1f, 1}}, {0.5f, {0.1f, 0.8f, 0.3f, 0.7f}}, {1, {0.2f, 0.3f, 0.9f, 1}}};
    ImageSupport::Picture picture = ImageSupport::Picture::Of(
        37, 23, [](int i, int j) { return ImageSupport::Rgba{i * 7 % 256, j * 11 % 256, (i + j) * 5 % 256, 255}; });
    std::mt19937 engine(20261207);
    std::vector<std::pair<std::string, Scene>> scenes;
    auto add = [&](const char* name, int width, int height, const Geometry& geometry, bool filled, FillRule rule,
                   float lineWidth, Matrix3 path = Matrix3::Identity) -> Scene& {
        Scene s = SceneOf(width, height, geometry);
        s.filled = filled, s.rule = rule, s.path = path;
        s.stroked = lineWidth != 0, s.lineWidth = lineWidth;
        s.fillSpec.color = fillColor, s.strokeSpec.color = strokeColor;
        scenes.emplace_back(name, std::move(s));
        return scenes.back().second;
    };
    auto gradient = [&](Scene& s, std::vector<float> numbers) {
        s.fillSpec = s.strokeSpec = GradientSpec(stops, SpreadMode::Reflect, numbers);
    };
    const FillRule nonZero = FillRule::NonZero, evenOdd = FillRule::EvenOdd;
    add("chart of 20 000 points, 1.5 px", 2048, 1536, Chart(engine, 20000, 2048, 1536), false, nonZero, 1.5f);
    add("star of 2 000 vertices, non-zero", 1024, 768, Star(2000, 1024, 768), true, nonZero, 0);
    add("star of 2 000 vertices rotated and scaled, even-odd, outlined", 1024, 768, Star(2000, 1024, 768), true,
        evenOdd, 2, RotatedAndScaled(1024, 768, 0.7f, 1.3f));
    add("map of 3 000 polygons, filled and outlined", 2048, 1536, Map(engine, 3000, 2048, 1536), true, nonZero, 1);
    add("scatter of 20 000 circles", 2048, 1536, Scatter(engine, 20000, 2048, 1536), true, nonZero, 0);
    gradient(add("star in a linear gradient", 1024, 768, Star(2000, 1024, 768), true, nonZero, 3,
                 RotatedAndScaled(1024, 768, -0.4f, 1.1f)),
             {100, 50, 900, 700});
    gradient(add("map in a radial gradient", 2048, 1536, Map(engine, 3000, 2048, 1536), true, evenOdd, 1),
             {1000, 700, 900, 1200, 800});
    // A map in metres, 1.6 x 1.2 million wide, rings of 40 km about a city out to 10^6 m and more from the
    // focus: repeat and reflect fold values far beyond what pad keeps.
    Matrix3 metres;
    Matrix3::Multiply(Matrix3::CreateScale(0.001f, 0.001f), Matrix3::CreateTranslation(0.3f, -0.2f), metres);
    for (const SpreadMode rings : {SpreadMode::Repeat, SpreadMode::Reflect}) {
        Scene& map = add(rings == SpreadMode::Repeat ? "map in metres, radial rings repeated"
                                                     : "map in metres, radial rings reflected",
                         1600, 1200, Geometry().Rectangle(-1000, -1000, 1602000, 1202000), true, nonZero, 0, metres);
        map.fillSpec = GradientSpec(stops, rings, {400000, 300000, 40000, 410000, 296000});
    }
    // Spans that start far left: gradient and image colours depend on where each span starts.
    Geometry wide;
    wide.Move(-24000, 10).Line(-12000, 30).Line(0, 5).Line(900, 20).Line(700, 300).Line(-12000, 280).Line(-24000, 290);
    gradient(add("polygon from 24 000 pixels left, linear gradient", 640, 320, wide, true, nonZero, 2,
                 RotatedAndScaled(640, 320, 0.01f, 1)),
             {-20000, 0, 600, 300});
    // Each tiling, turned (rows change along a span) or not; clipped ones large, edges inside the surface.
    const struct { size_t scene; TilingMode tiling; float angle, scale; const char* name; } imagings[] = {
        {5, TilingMode::Repeat, 0.3f, 1, ", in a repeated image"},
        {7, TilingMode::Repeat, 0.3f, 1, ", in a repeated image"},
        {5, TilingMode::Reflect, 0, 1, ", in a reflected image"},
        {5, TilingMode::Clip, 0.3f, 10, ", in a turned clipped image"},
        {7, TilingMode::Clip, 0, 10, ", in a clipped image"},
        {7, TilingMode::NoClip, -0.2f, 10, ", in a turned unclipped image"}};
    for (const auto& imaging : imagings) {
        Scene imaged = scenes[imaging.scene].second;
        imaged.fillSpec = imaged.strokeSpec = ImageSpec(picture, imaging.tiling, Color{0.6f, 0.2f, 0.4f, 0.6f});
        const float k = imaging.scale;
        Matrix3 scale;
        Matrix3::Multiply(Matrix3::CreateScale(2.3f * k, 1.7f * k), Matrix3::CreateTranslation(30 * k - 30, 20 * k - 20),
                          scale);
        Matrix3::Multiply(Matrix3::CreateRotation(imaging.angle), scale, imaged.image);
        scenes.emplace_back(scenes[imaging.scene].first + imaging.name, std::move(imaged));
    }
    // Regressions: curves wholly below the surface are drawn as chords, but
    // not where the edge into the curve starts elsewhere.
    Geometry first, afterClose;
    first.Cubic(24, 1, 27, 20, 20, 25).Line(14, 32);
    afterClose.Rectangle(1.2f, -1.5f, 1.8f, -1).Cubic(24, 1, 27, 20, 20, 25).Line(14, 32);
    Matrix3 shifted;
    Matrix3::Multiply(Matrix3::CreateScale(23.5f, 23.5f), Matrix3::CreateTranslation(-23.6f, 36.6f), shifted);
    add("a path that begins with a curve below the surface", 47, 26, first, true, nonZero, 0, shifted);
    add("a curve below the surface after a close", 47, 26, afterClose, true, nonZero, 0, shifted);
    // 2 x 10^9 path units: just within the extent flattened as it is.
    Matrix3 tiny;
    Matrix3::Multiply(Matrix3::CreateScale(3e-8f, 3e-8f), Matrix3::CreateTranslation(48, 40), tiny);
    Scene& circle = add("circle of radius 10^9 path units, dashed", 96, 80, Geometry().Circle(0, 0, 1e9f), true,
                        nonZero, 1.5f, tiny);
    circle.dashes = {{4, 2}}, circle.dashPhase = 30;

    // Fed in parts on threads: sub-paths left open and one before any move, stroked with round joins.
    Geometry open;
    open.Line(300, 40).Line(500, 900);
    for (int i = 0; i < 4000; ++i)
        open.Move(float(i % 80) * 26, float(i / 80) * 31).Line(float(i % 80) * 26 + 19, float(i / 80) * 31 + 7)
            .Add(PathCommands::QuadTo, {float(i % 80) * 26 + 30, float(i / 80) * 31 + 25, float(i % 80) * 26 + 4,
                                        float(i / 80) * 31 + 20});
    Scene& rounds = add("4 000 open sub-paths, round joins and caps", 2100, 1600, open, true, nonZero, 3.5f);
    rounds.join = JoinStyle::Round, rounds.cap = CapStyle::Round;

    const size_t firstDashed = scenes.size();
    auto dashed = [&](const char* name, int width, int height, const Geometry& geometry, float lineWidth,
                      CapStyle cap, JoinStyle join, std::vector<Dash> dashes, float phase = 0, float miterLimit = 4) {
        Scene& s = add(name, width, height, geometry, false, nonZero, lineWidth);
        s.cap = cap, s.join = join, s.dashes = dashes, s.dashPhase = phase, s.miterLimit = miterLimit;
        s.strokeSpec.color = ink;
        for (int i = 0; i < width * height; ++i)
            s.backdrop.insert(s.backdrop.end(), {250, 245, 235, 255});
        return &s;
    };
    const CapStyle butt = CapStyle::Butt;
    const JoinStyle miter = JoinStyle::Miter;
    dashed("grid dotted", 2048, 2048, Grid(2048, 16, 3000), 1, butt, miter, {{1, 3}});
    dashed("grid dotted, 4096", 4096, 4096, Grid(4096, 32, 100), 1, butt, miter, {{1, 3}});
    dashed("spiral", 2048, 2048, Spiral(1000, 1050, 600, 20), 2, CapStyle::Round, JoinStyle::Round,
           {{10, 4}, {2, 4}}, 3);
    dashed("chart", 2048, 1536, Chart(engine, 20000, 2048, 1536), 1.5f, butt, miter, {{6, 3}}, 0, 10);
    dashed("crossings, square caps", 640, 480, Crossings(640, 480), 5, CapStyle::Square, miter, {{12, 6}}, 4, 3);
    dashed("crossings, miters unbounded", 640, 480, Crossings(640, 480), 3, butt, miter, {{20, 10}, {0.5f, 3}}, -7,
           0.5f);
    dashed("crossings, gradient", 640, 480, Crossings(640, 480), 7, CapStyle::Round, JoinStyle::Bevel,
           {{3, 5}, {0, 4}}, 11)
        ->strokeSpec = GradientSpec(stops, SpreadMode::Reflect, {100, 50, 420, 300});
    for (size_t i = 0; i < scenes.size(); ++i) {
        SCOPED_TRACE(scenes[i].first);
        // With threads, a pass of many sub-paths is also fed in parts.
        EXPECT_EQ(DrawnPlainly(scenes[i].second, DrawRoad::Library, nullptr, {2 + int(i % 7)}), "");
        if (i >= firstDashed) {
            EXPECT_EQ(DrawnPlainly(scenes[i].second, DrawRoad::Reference), "");
        }
    }
    // A vertex beyond the raster range in the last polygons: the pass is clipped to the surface (not the
    // plain composition, which would overflow), and fed whole again where its parts met the vertex.
    Geometry far = Map(engine, 3000, 2048, 1536);
    far.Move(900, 700).Line(5e6f, 800).Line(950, 760).Add(PathCommands::Close, {});
    Scene beyond = SceneOf(2048, 1536, far);
    beyond.filled = beyond.stroked = true, beyond.rule = FillRule::EvenOdd, beyond.lineWidth = 2;
    beyond.fillSpec.color = fillColor, beyond.strokeSpec.color = strokeColor;
    const std::vector<uint8_t> one = RoadScenes::Draw(beyond, false);
    EXPECT_NE(one, beyond.backdrop);
    for (const int threads : {2, 5}) {
        beyond.threads = threads;
        EXPECT_TRUE(RoadScenes::Draw(beyond, false) == one) << threads << " threads";
    }
    // Dashed, a dash running through the far vertex: the dashes are read and fed in parts until it.
    beyond.dashes = {{1e7f, 2}}, beyond.filled = false, beyond.threads = 1;
    const std::vector<uint8_t> oneDashed = RoadScenes::Draw(beyond, false);
    EXPECT_NE(oneDashed, beyond.backdrop);
    beyond.threads = 3;
    EXPECT_TRUE(RoadScenes::Draw(beyond, false) == oneDashed);
}
