// Decoding of the command stream into the path's vertex storage, and paths
// made and extended from builders.
#include <gtest/gtest.h>

#include <cmath>

#include "TestSupport.hpp"
#include "common/Internals.hpp"
#include "pipeline/PathStorage.hpp"

using namespace ORV::Vudadive2R;
typedef PathCommands C;

namespace {

enum : unsigned { Move = 1, Line = 2, Quad = 3, Cubic = 4, ClosePoly = 0x4F };

struct Vertex {
    unsigned command;
    double x, y;
    bool operator==(const Vertex& o) const { return command == o.command && x == o.x && y == o.y; }
};
void PrintTo(const Vertex& v, std::ostream* out) { *out << "{" << v.command << ", " << v.x << ", " << v.y << "}"; }

std::vector<Vertex> Stored(Path& path) {
    PathStorage& storage = Internals::StorageOf(path);
    std::vector<Vertex> result(storage.total_vertices());
    for (unsigned i = 0; i < result.size(); ++i)
        result[i].command = storage.vertex(i, &result[i].x, &result[i].y);
    return result;
}

struct Fixture {
    TestSupport::Surface surface{4, 4};
    std::shared_ptr<Context2D> context = std::make_shared<Context2D>(surface.surface);
    Path path{context};
    std::vector<Vertex> Stored() { return ::Stored(path); }
};

}  // namespace

TEST(PathStream, EachCommandStoresAbsoluteVertices) {
    struct Case { const char* name; std::vector<PathCommands> commands; std::vector<float> data;
                  std::vector<Vertex> expected; };
    // Which vertex a smooth curve reflects is the vertex storage's rule,
    // compared with AGG's own storage; these rows pin the commands' mapping.
    const Case cases[] = {
        {"relative on an empty path is absolute", {C::MoveToRel, C::LineToRel}, {5, 6, 1, -1},
         {{Move, 5, 6}, {Line, 6, 5}}},
        {"VLineTo on an empty path takes x 0", {C::VLineTo}, {5}, {{Line, 0, 5}}},
        {"HLineToRel on an empty path", {C::HLineToRel}, {5}, {{Line, 5, 0}}},
        {"horizontal and vertical", {C::MoveTo, C::HLineTo, C::VLineTo, C::HLineToRel, C::VLineToRel},
         {3, 4, 7, 9, 2, -3}, {{Move, 3, 4}, {Line, 7, 4}, {Line, 7, 9}, {Line, 9, 9}, {Line, 9, 6}}},
        {"after a close, relative is absolute and HLineTo takes y 0",
         {C::MoveTo, C::LineToRel, C::Close, C::LineToRel, C::Close, C::HLineTo}, {10, 10, 5, 0, 1, 1, 7},
         {{Move, 10, 10}, {Line, 15, 10}, {ClosePoly, 0, 0}, {Line, 1, 1}, {ClosePoly, 0, 0}, {Line, 7, 0}}},
        {"relative curves add the same current point to every point", {C::MoveTo, C::QuadToRel, C::CubicToRel},
         {10, 20, 1, 1, 2, 2, 1, 0, 2, 0, 3, 0},
         {{Move, 10, 20}, {Quad, 11, 21}, {Quad, 12, 22}, {Cubic, 13, 22}, {Cubic, 14, 22}, {Cubic, 15, 22}}},
        {"smooth quadratic reflects the quadratic control", {C::MoveTo, C::QuadTo, C::SQuadTo},
         {0, 0, 10, 0, 10, 10, 20, 30}, {{Move, 0, 0}, {Quad, 10, 0}, {Quad, 10, 10}, {Quad, 10, 20}, {Quad, 20, 30}}},
        {"smooth quadratic after a line uses the current point", {C::MoveTo, C::LineTo, C::SQuadToRel},
         {0, 0, 10, 10, 10, 20}, {{Move, 0, 0}, {Line, 10, 10}, {Quad, 10, 10}, {Quad, 20, 30}}},
        {"smooth cubic and its relative form", {C::MoveTo, C::CubicTo, C::SCubicTo, C::SCubicToRel},
         {0, 0, 0, 1, 2, 3, 4, 4, 6, 5, 8, 4, 1, 0, 2, 1},
         {{Move, 0, 0}, {Cubic, 0, 1}, {Cubic, 2, 3}, {Cubic, 4, 4}, {Cubic, 6, 5}, {Cubic, 6, 5}, {Cubic, 8, 4},
          {Cubic, 10, 3}, {Cubic, 9, 4}, {Cubic, 10, 5}}},
        {"smooth curves without a current point append nothing but consume their floats",
         {C::SQuadTo, C::SCubicTo, C::SQuadToRel, C::SCubicToRel, C::MoveTo},
         {1, 2, 1, 2, 3, 4, 1, 2, 1, 2, 3, 4, 7, 8}, {{Move, 7, 8}}},
        {"close only after a vertex; a smooth curve after it appends nothing",
         {C::Close, C::MoveTo, C::LineTo, C::Close, C::Close, C::SQuadTo, C::LineTo}, {0, 0, 1, 1, 5, 5, 9, 9},
         {{Move, 0, 0}, {Line, 1, 1}, {ClosePoly, 0, 0}, {Line, 9, 9}}},
        {"a first arc moves to its end, radius 0 draws a line, an arc to the current point nothing",
         {C::SCcwArcTo, C::LCwArcTo, C::SCwArcTo}, {5, 5, 0, 3, 4, 0, 5, 0, 6, 8, 5, 5, 0, 6, 8},
         {{Move, 3, 4}, {Line, 6, 8}}},
        {"radii far too small give a line; relative arc end point", {C::MoveTo, C::SCcwArcTo, C::SCcwArcToRel},
         {0, 0, 1.5f, 1.5f, 0, 10, 0, 0, 5, 0, 3, 4}, {{Move, 0, 0}, {Line, 10, 0}, {Line, 13, 4}}},
        // scale x v + offset in single precision, widened: the float's value.
        {"floats pass through unchanged", {C::MoveTo, C::LineTo}, {0.1f, -0.0f, 16777217.0f, 1e30f},
         {{Move, double(0.1f), 0}, {Line, 16777216.0, double(1e30f)}}},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.path.AppendData(c.commands, c.data);
        EXPECT_EQ(f.Stored(), c.expected) << c.name;
    }
}

TEST(PathStream, ArcsFollowTheirFlags) {
    // From (0, 0) to (10, 0) with radius 10: "Ccw" sweeps with increasing
    // angle, bulging towards -y on the small arc (one segment); the large
    // arcs (300 degrees) take four. The arcs' own arithmetic is the vertex
    // storage's, which is compared with AGG's.
    struct Case { PathCommands command; double side; bool large; } const cases[] = {
        {C::SCcwArcTo, -1, false}, {C::SCwArcTo, 1, false}, {C::LCcwArcTo, -1, true}, {C::LCwArcTo, 1, true}};
    for (const Case& c : cases) {
        Fixture f;
        f.path.AppendData({C::MoveTo, c.command, C::SCubicTo}, {0, 0, 10, 10, 0, 10, 0, 30, 0, 40, 0});
        const std::vector<Vertex> v = f.Stored();
        const size_t arcEnd = c.large ? 12 : 3;
        ASSERT_EQ(v.size(), arcEnd + 4);
        EXPECT_EQ(v[arcEnd], (Vertex{Cubic, 10, 0}));
        for (size_t i = 1; i <= arcEnd; ++i)
            EXPECT_GE(v[i].y * c.side, 0.0) << i;
        // A smooth cubic after the arc reflects its last control point.
        EXPECT_EQ(v[arcEnd + 1], (Vertex{Cubic, 20 - v[arcEnd - 1].x, -v[arcEnd - 1].y}));
    }
}

TEST(PathStream, AppendingClearingAndErrors) {
    EXPECT_THROW(Path(std::shared_ptr<Context2D>()), ArgumentNullException);
    Fixture f;
    const unsigned char codes[] = {1, 3, 25, 3}, close[] = {0};
    const float data[] = {1, 2, 3, 4, 5, 6};
    EXPECT_THROW(f.path.AppendData(0, nullptr, data), ArgumentNullException);
    EXPECT_THROW(f.path.AppendData(-1, codes, data), ArgumentOutOfRangeException);
    f.path.AppendData(0, codes, data);
    f.path.AppendData(std::vector<PathCommands>(), {});  // empty: nothing, no error
    EXPECT_TRUE(f.Stored().empty());
    // An unknown code stops decoding; what came before stays.
    EXPECT_THROW(f.path.AppendData(4, codes, data), NotSupportedException);
    EXPECT_EQ(f.Stored(), (std::vector<Vertex>{{Move, 1, 2}, {Line, 3, 4}}));
    // No floats where floats are needed, or fewer than the vector form needs:
    // refused instead of read, after the commands that had their floats.
    f.path.AppendData(1, close, nullptr);
    EXPECT_THROW(f.path.AppendData(2, codes, nullptr), ArgumentNullException);
    EXPECT_THROW(f.path.AppendData({C::LineTo, C::LineTo, C::LineTo}, {1, 2, 3, 4, 5}), ArgumentOutOfRangeException);
    EXPECT_EQ(f.Stored().size(), 5u);
    // Relative commands continue from what the path holds.
    f.path.AppendData({C::MoveToRel}, {5, 5});
    EXPECT_EQ(f.Stored().back(), (Vertex{Move, 8, 9}));

    f.path.Clear();
    EXPECT_TRUE(f.Stored().empty());
    f.path.AppendData({C::LineToRel}, {-0.0f, 6});  // nothing is left to be relative to
    EXPECT_EQ(f.Stored(), (std::vector<Vertex>{{Line, 0, 6}}));
    EXPECT_FALSE(std::signbit(f.Stored()[0].x));  // -0 x 1 + 0 = +0
}

TEST(PathStream, BuildersMakeAndExtendPaths) {
    Fixture f;
    auto builder = std::make_unique<PathBuilder>();
    builder->Rectangle(0, 0, 10, 5);
    std::unique_ptr<Path> first = builder->ToPath(f.context), second = builder->ToPath(f.context);
    builder.reset();  // the paths keep their own copies
    // A builder that never recorded has no command storage: still an empty path.
    PathBuilder never;
    EXPECT_TRUE(Stored(*never.ToPath(f.context)).empty());
    never.AppendTo(first.get());
    first->Append(&never);
    const std::vector<Vertex> rectangle = {{Move, 0, 0}, {Line, 10, 0}, {Line, 10, 5}, {Line, 0, 5}, {ClosePoly, 0, 0}};
    EXPECT_EQ(Stored(*first), rectangle);
    EXPECT_EQ(Stored(*second), rectangle);
    const std::string printed = TestSupport::CaptureStdout([&] {
        EXPECT_THROW(never.AppendTo(nullptr), ArgumentNullException);
        EXPECT_THROW(first->Append(nullptr), ArgumentNullException);
        EXPECT_THROW(never.ToPath(nullptr), ArgumentNullException);
    });
    EXPECT_EQ(printed, "");

    // A relative start is absolute on an empty path, and continues from the
    // last point when the same builder is appended again.
    PathBuilder open;
    open.MoveToRel(5, 5);
    open.LineToRel(10, 0);
    open.AppendTo(&f.path);
    open.AppendTo(&f.path);
    f.path.Append(&open);
    EXPECT_EQ(f.Stored(), (std::vector<Vertex>{{Move, 5, 5}, {Line, 15, 5}, {Move, 20, 10}, {Line, 30, 10},
                                               {Move, 35, 15}, {Line, 45, 15}}));
}
