// Decoding of the command stream into the path's vertex storage: relative,
// horizontal, vertical, smooth and arc commands, closing and errors.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <ostream>
#include <vector>

#include "TestSupport.hpp"
#include "common/Internals.hpp"
#include "path/PathStorage.hpp"

using namespace ORV::Vudadive2R;
using TestSupport::Surface;

namespace {

enum : unsigned { Stop = 0, Move = 1, Line = 2, Quad = 3, Cubic = 4, ClosePoly = 0x4F };

struct Vertex {
    unsigned command;
    double x, y;
    bool operator==(const Vertex& other) const {
        return command == other.command && x == other.x && y == other.y;
    }
};

void PrintTo(const Vertex& v, std::ostream* out) { *out << "{" << v.command << ", " << v.x << ", " << v.y << "}"; }

std::vector<Vertex> Stored(Path& path) {
    PathStorage& storage = Internals::StorageOf(path);
    std::vector<Vertex> result;
    for (unsigned i = 0; i < storage.total_vertices(); ++i) {
        Vertex v;
        v.command = storage.vertex(i, &v.x, &v.y);
        result.push_back(v);
    }
    return result;
}

void Append(Path& path, std::initializer_list<PathCommands> commands, std::initializer_list<float> data) {
    std::vector<PathCommands> c(commands);
    std::vector<float> d(data);
    path.AppendData(c, d);
}

typedef PathCommands C;

struct Fixture {
    Surface surface{4, 4};
    std::shared_ptr<Context2D> context = std::make_shared<Context2D>(surface.surface);
    Path path{context};
};

}  // namespace

TEST(PathStream, EachCommandStoresAbsoluteVertices) {
    struct Case {
        const char* name;
        std::vector<PathCommands> commands;
        std::vector<float> data;
        std::vector<Vertex> expected;
    };
    const Case cases[] = {
        {"move and line", {C::MoveTo, C::LineTo}, {1, 2, 3, 4}, {{Move, 1, 2}, {Line, 3, 4}}},
        {"relative move on an empty path is absolute", {C::MoveToRel, C::LineToRel}, {5, 6, 1, -1},
         {{Move, 5, 6}, {Line, 6, 5}}},
        {"relative after a close is absolute", {C::MoveTo, C::LineToRel, C::Close, C::LineToRel},
         {10, 10, 5, 0, 1, 1}, {{Move, 10, 10}, {Line, 15, 10}, {ClosePoly, 0, 0}, {Line, 1, 1}}},
        {"horizontal and vertical", {C::MoveTo, C::HLineTo, C::VLineTo, C::HLineToRel, C::VLineToRel},
         {3, 4, 7, 9, 2, -3}, {{Move, 3, 4}, {Line, 7, 4}, {Line, 7, 9}, {Line, 9, 9}, {Line, 9, 6}}},
        {"HLineTo after a close takes y 0", {C::MoveTo, C::LineTo, C::Close, C::HLineTo}, {1, 2, 3, 4, 7},
         {{Move, 1, 2}, {Line, 3, 4}, {ClosePoly, 0, 0}, {Line, 7, 0}}},
        {"VLineTo on an empty path takes x 0", {C::VLineTo}, {5}, {{Line, 0, 5}}},
        {"HLineToRel on an empty path", {C::HLineToRel}, {5}, {{Line, 5, 0}}},
        {"quadratic and cubic", {C::MoveTo, C::QuadTo, C::CubicTo}, {0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
         {{Move, 0, 0}, {Quad, 1, 2}, {Quad, 3, 4}, {Cubic, 5, 6}, {Cubic, 7, 8}, {Cubic, 9, 10}}},
        {"relative curves add the same current point to every point",
         {C::MoveTo, C::QuadToRel, C::CubicToRel}, {10, 20, 1, 1, 2, 2, 1, 0, 2, 0, 3, 0},
         {{Move, 10, 20}, {Quad, 11, 21}, {Quad, 12, 22}, {Cubic, 13, 22}, {Cubic, 14, 22}, {Cubic, 15, 22}}},
        {"smooth quadratic reflects the quadratic control", {C::MoveTo, C::QuadTo, C::SQuadTo},
         {0, 0, 10, 0, 10, 10, 20, 30},
         {{Move, 0, 0}, {Quad, 10, 0}, {Quad, 10, 10}, {Quad, 10, 20}, {Quad, 20, 30}}},
        {"smooth quadratic after a line uses the current point", {C::MoveTo, C::LineTo, C::SQuadTo},
         {0, 0, 10, 10, 20, 30}, {{Move, 0, 0}, {Line, 10, 10}, {Quad, 10, 10}, {Quad, 20, 30}}},
        {"smooth quadratic after quad, line: the entry before is a quadratic vertex",
         {C::MoveTo, C::QuadTo, C::LineTo, C::SQuadTo}, {0, 0, 10, 0, 10, 10, 20, 10, 40, 0},
         {{Move, 0, 0}, {Quad, 10, 0}, {Quad, 10, 10}, {Line, 20, 10}, {Quad, 30, 10}, {Quad, 40, 0}}},
        {"smooth quadratic after a cubic reflects its second control", {C::MoveTo, C::CubicTo, C::SQuadTo},
         {0, 0, 0, 10, 10, 20, 20, 20, 40, 0},
         {{Move, 0, 0}, {Cubic, 0, 10}, {Cubic, 10, 20}, {Cubic, 20, 20}, {Quad, 30, 20}, {Quad, 40, 0}}},
        {"smooth cubic and its relative form", {C::MoveTo, C::CubicTo, C::SCubicTo, C::SCubicToRel},
         {0, 0, 0, 1, 2, 3, 4, 4, 6, 5, 8, 4, 1, 0, 2, 1},
         {{Move, 0, 0}, {Cubic, 0, 1}, {Cubic, 2, 3}, {Cubic, 4, 4}, {Cubic, 6, 5}, {Cubic, 6, 5},
          {Cubic, 8, 4}, {Cubic, 10, 3}, {Cubic, 9, 4}, {Cubic, 10, 5}}},
        {"smooth quadratic relative", {C::MoveTo, C::SQuadToRel}, {4, 4, 2, 3},
         {{Move, 4, 4}, {Quad, 4, 4}, {Quad, 6, 7}}},
        {"smooth curves without a current point append nothing but consume their floats",
         {C::SQuadTo, C::SCubicTo, C::SQuadToRel, C::SCubicToRel, C::MoveTo},
         {1, 2, 1, 2, 3, 4, 1, 2, 1, 2, 3, 4, 7, 8}, {{Move, 7, 8}}},
        {"smooth curve after a close appends nothing", {C::MoveTo, C::LineTo, C::Close, C::SQuadTo, C::LineTo},
         {0, 0, 1, 1, 5, 5, 9, 9}, {{Move, 0, 0}, {Line, 1, 1}, {ClosePoly, 0, 0}, {Line, 9, 9}}},
        {"close only after a vertex", {C::Close, C::MoveTo, C::Close, C::Close}, {1, 1},
         {{Move, 1, 1}, {ClosePoly, 0, 0}}},
        {"arc as the first command moves to its end", {C::SCcwArcTo}, {5, 5, 0, 3, 4}, {{Move, 3, 4}}},
        {"arc with a zero radius is a line", {C::MoveTo, C::LCwArcTo}, {1, 1, 0, 5, 0, 3, 4},
         {{Move, 1, 1}, {Line, 3, 4}}},
        {"arc to the current point appends nothing", {C::MoveTo, C::SCwArcTo}, {3, 4, 5, 5, 0, 3, 4},
         {{Move, 3, 4}}},
        {"radii far too small give a line", {C::MoveTo, C::SCcwArcTo}, {0, 0, 1.5f, 1.5f, 0, 10, 0},
         {{Move, 0, 0}, {Line, 10, 0}}},
        {"relative arc end point", {C::MoveTo, C::SCcwArcToRel}, {100, 100, 0, 5, 0, 3, 4},
         {{Move, 100, 100}, {Line, 103, 104}}},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.path.AppendData(c.commands, c.data);
        EXPECT_EQ(Stored(f.path), c.expected) << c.name;
    }
}

TEST(PathStream, FloatsPassThroughTheSinglePrecisionMapping) {
    // scale x v + offset with scale 1 and offset 0 in single precision: the
    // float's own value, widened, and -0 + 0 = +0.
    Fixture f;
    Append(f.path, {C::MoveTo, C::LineTo}, {0.1f, -0.0f, 16777217.0f, 1e30f});
    const std::vector<Vertex> stored = Stored(f.path);
    EXPECT_EQ(stored[0].x, double(0.1f));
    EXPECT_NE(stored[0].x, 0.1);
    EXPECT_FALSE(std::signbit(stored[0].y));
    EXPECT_EQ(stored[1].x, 16777216.0);
    EXPECT_EQ(stored[1].y, double(1e30f));
}

TEST(PathStream, ArcFlagsChooseSideAndSize) {
    // From (0, 0) to (10, 0) with radius 10: the two centres are
    // (5, +-8.66). "Ccw" sweeps with increasing angle, bulging towards -y on
    // the small arc; the large arcs go round the far centre.
    const double h = std::sqrt(75.0);
    struct Case {
        PathCommands command;
        double side;  // sign of y of every vertex
        bool large;
    };
    const Case cases[] = {{C::SCcwArcTo, -1, false}, {C::SCwArcTo, 1, false}, {C::LCcwArcTo, -1, true},
                          {C::LCwArcTo, 1, true}};
    for (const Case& c : cases) {
        Fixture f;
        Append(f.path, {C::MoveTo, c.command}, {0, 0, 10, 10, 0, 10, 0});
        const std::vector<Vertex> v = Stored(f.path);
        ASSERT_EQ((v.size() - 1) % 3, 0u);
        EXPECT_EQ(v.back(), (Vertex{Cubic, 10, 0}));
        const double centreY = c.large ? c.side * h : -c.side * h;
        for (size_t i = 3; i < v.size(); i += 3)  // segment ends lie on the circle
            EXPECT_NEAR(std::hypot(v[i].x - 5, v[i].y - centreY), 10.0, 1e-9);
        for (size_t i = 1; i < v.size(); ++i)
            EXPECT_GE(v[i].y * c.side, 0.0);
        if (!c.large) {
            // One 60-degree segment: controls at 10 x 4/3 x tan(15 deg) along
            // the tangents, which run at -+30 degrees to the chord.
            ASSERT_EQ(v.size(), 4u);
            const double k = 10 * 4.0 / 3.0 * std::tan(M_PI / 12);
            EXPECT_NEAR(v[1].x, k * std::cos(M_PI / 6), 1e-9);
            EXPECT_NEAR(v[1].y, c.side * k * std::sin(M_PI / 6), 1e-9);
            EXPECT_NEAR(v[2].x, 10 - k * std::cos(M_PI / 6), 1e-9);
        } else {
            EXPECT_EQ(v.size(), 13u);  // 300 degrees in four segments
        }
    }
}

TEST(PathStream, RadiiTooSmallAreScaledUpToReachTheEnd) {
    // Radius 1.6 for a chord of 10: the radii check is 25 / 2.56 < 10, so
    // the radius grows to 5 and the arc is the half circle through (5, -5).
    Fixture f;
    Append(f.path, {C::MoveTo, C::SCcwArcTo}, {0, 0, 1.6f, 1.6f, 0, 10, 0});
    const std::vector<Vertex> v = Stored(f.path);
    ASSERT_EQ(v.size(), 7u);
    EXPECT_NEAR(v[3].x, 5, 1e-9);
    EXPECT_NEAR(v[3].y, -5, 1e-9);
}

TEST(PathStream, SmoothCubicAfterAnArcReflectsItsLastControl) {
    // The half circle of radius 5 ends with the control (10, -5 x 4/3 x
    // tan(22.5 deg)) before (10, 0).
    Fixture f;
    Append(f.path, {C::MoveTo, C::SCcwArcTo, C::SCubicTo}, {0, 0, 5, 5, 0, 10, 0, 30, 0, 40, 0});
    const std::vector<Vertex> v = Stored(f.path);
    ASSERT_EQ(v.size(), 10u);
    EXPECT_NEAR(v[7].x, 10.0, 1e-12);
    EXPECT_NEAR(v[7].y, 5 * 4.0 / 3.0 * std::tan(M_PI / 8), 1e-9);
    EXPECT_EQ(v[8], (Vertex{Cubic, 30, 0}));
}

TEST(PathStream, AppendingContinuesFromWhatThePathHolds) {
    Fixture f;
    Append(f.path, {C::MoveTo, C::LineTo}, {0, 0, 100, 100});
    Append(f.path, {C::MoveToRel, C::LineToRel}, {5, 5, 1, 0});
    EXPECT_EQ(Stored(f.path)[2], (Vertex{Move, 105, 105}));
    EXPECT_EQ(Stored(f.path)[3], (Vertex{Line, 106, 105}));
}

TEST(PathStream, ArgumentErrors) {
    Fixture f;
    const unsigned char codes[] = {1, 3, 25, 3};
    const float data[] = {1, 2, 3, 4, 5, 6};
    EXPECT_THROW(f.path.AppendData(0, nullptr, data), ArgumentNullException);
    EXPECT_THROW(f.path.AppendData(-1, codes, data), ArgumentOutOfRangeException);
    EXPECT_TRUE(Stored(f.path).empty());
    f.path.AppendData(0, codes, data);
    EXPECT_TRUE(Stored(f.path).empty());

    // An unknown code stops decoding; what came before stays.
    EXPECT_THROW(f.path.AppendData(4, codes, data), NotSupportedException);
    EXPECT_EQ(Stored(f.path), (std::vector<Vertex>{{Move, 1, 2}, {Line, 3, 4}}));

    // No floats where floats are needed: refused instead of read.
    const unsigned char close[] = {0};
    f.path.AppendData(1, close, nullptr);
    EXPECT_THROW(f.path.AppendData(2, codes, nullptr), ArgumentNullException);
    EXPECT_EQ(Stored(f.path).size(), 3u);
}

TEST(PathStream, VectorFormChecksTheFloatCount) {
    Fixture f;
    // An empty stream appends nothing, with or without storage behind it.
    std::vector<PathCommands> none;
    std::vector<float> noData;
    f.path.AppendData(none, noData);
    none.reserve(4);
    f.path.AppendData(none, noData);
    EXPECT_TRUE(Stored(f.path).empty());

    // Three commands need six floats; five are given. The first two are
    // decoded, the third is refused.
    EXPECT_THROW(Append(f.path, {C::MoveTo, C::LineTo, C::LineTo}, {1, 2, 3, 4, 5}), ArgumentOutOfRangeException);
    EXPECT_EQ(Stored(f.path), (std::vector<Vertex>{{Move, 1, 2}, {Line, 3, 4}}));
}

TEST(PathStream, ClearEmptiesThePath) {
    Fixture f;
    Append(f.path, {C::MoveTo, C::LineTo}, {1, 2, 3, 4});
    f.path.Clear();
    EXPECT_TRUE(Stored(f.path).empty());
    // Nothing is left to be relative to.
    Append(f.path, {C::LineToRel}, {5, 6});
    EXPECT_EQ(Stored(f.path), (std::vector<Vertex>{{Line, 5, 6}}));
}

TEST(PathStream, GrowsPastOneBlock) {
    Fixture f;
    std::vector<PathCommands> commands(1000, C::LineToRel);
    std::vector<float> data(2000, 1.0f);
    f.path.AppendData(commands, data);
    const std::vector<Vertex> v = Stored(f.path);
    ASSERT_EQ(v.size(), 1000u);
    EXPECT_EQ(v[999], (Vertex{Line, 1000, 1000}));
}

TEST(PathStream, ConstructionAndNullArguments) {
    EXPECT_THROW(Path(std::shared_ptr<Context2D>()), ArgumentNullException);
    Fixture f;
    EXPECT_THROW(f.path.Append(nullptr), ArgumentNullException);
    EXPECT_EQ(Internals::ContextOf(f.path), f.context);
}
