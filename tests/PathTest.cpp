// The builder's command streams, their decoding, and the vertex storage against AGG's own.
#include <gtest/gtest.h>

#include <agg_path_storage.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <string>

#include "DrawSupport.hpp"
#include "StoredVertices.hpp"
#include "capi/Handle.hpp"
#include "common/Internals.hpp"
#include "pipeline/PathPreparation.hpp"

using namespace DrawSupport;
using namespace StoredVertices;
typedef PathCommands C;

namespace {

struct Fixture {
    Canvas canvas{4, 4};
    const std::shared_ptr<Context2D>& context = canvas.context;
    Path path{context};
    std::vector<Vertex> Stored() { return StoredVertices::Stored(path); }
};

// Every path operation the decoder uses, applied alike to either storage.
template <class Storage>
void Apply(Storage& p, int operation, const double* v) {
    switch (operation) {
    case 0: p.move_to(v[0], v[1]); break;
    case 1: p.move_rel(v[0], v[1]); break;
    case 2: p.line_to(v[0], v[1]); break;
    case 3: p.line_rel(v[0], v[1]); break;
    case 4: p.hline_to(v[0]); break;
    case 5: p.hline_rel(v[0]); break;
    case 6: p.vline_to(v[0]); break;
    case 7: p.vline_rel(v[0]); break;
    case 8: p.curve3(v[0], v[1], v[2], v[3]); break;
    case 9: p.curve3_rel(v[0], v[1], v[2], v[3]); break;
    case 10: p.curve3(v[0], v[1]); break;
    case 11: p.curve3_rel(v[0], v[1]); break;
    case 12: p.curve4(v[0], v[1], v[2], v[3], v[4], v[5]); break;
    case 13: p.curve4_rel(v[0], v[1], v[2], v[3], v[4], v[5]); break;
    case 14: p.curve4(v[0], v[1], v[2], v[3]); break;
    case 15: p.curve4_rel(v[0], v[1], v[2], v[3]); break;
    case 16: p.arc_to(v[0], v[1], v[2], v[3] > 0, v[4] > 0, v[5], v[6]); break;
    case 17: p.arc_rel(v[0], v[1], v[2], v[3] > 0, v[4] > 0, v[5], v[6]); break;
    case 18: p.close_polygon(); break;
    default: p.remove_all(); break;
    }
}

const float kPi = 3.14159265358979f;

struct Stream {
    std::vector<int> commands;
    std::vector<float> data;
    // Floats compared bit for bit, so that -0 and NaN count too.
    bool operator==(const Stream& o) const {
        return commands == o.commands && data.size() == o.data.size() &&
               (data.empty() || std::memcmp(data.data(), o.data.data(), data.size() * sizeof(float)) == 0);
    }
};

Stream StreamOf(const PathBuilder& builder) {
    Stream s{{}, Internals::DataOf(builder)};
    for (PathCommands command : Internals::CommandsOf(builder))
        s.commands.push_back(int(command));
    return s;
}

Stream Recorded(const std::function<void(PathBuilder&)>& record) {
    PathBuilder builder;
    record(builder);
    return StreamOf(builder);
}

// Corners of radii rx, ry joined by straight runs of w and h, from (startX, y).
Stream RoundRectangleStream(float startX, float y, float w, float h, float rx, float ry) {
    return {{1, 6, 18, 8, 18, 6, 18, 8, 18, 0},
            {startX, y, w, rx, ry, 0, rx, ry, h, rx, ry, 0, -rx, ry, -w, rx, ry, 0, -rx, -ry, -h, rx, ry, 0, rx, -ry}};
}

// Arcs on the ellipse centred at (10, 20) with radii 3 and 1. A point is the
// float product of radius and cosine or sine plus the centre: two roundings.
std::function<void(PathBuilder&)> Arc(float start, float extent, int type = 0) {
    return [=](PathBuilder& b) { b.Arc(10, 20, 6, 2, start, extent, ArcType(type)); };
}

Stream ArcStream(int segment, const std::vector<float>& angles, const Stream& tail = {}) {
    Stream s{{1}, {10 + 3 * std::cos(angles[0]), 20 + std::sin(angles[0])}};
    for (size_t i = 1; i < angles.size(); ++i) {
        s.commands.push_back(segment);
        s.data.insert(s.data.end(), {3, 1, 0, 10 + 3 * std::cos(angles[i]), 20 + std::sin(angles[i])});
    }
    s.commands.insert(s.commands.end(), tail.commands.begin(), tail.commands.end());
    s.data.insert(s.data.end(), tail.data.begin(), tail.data.end());
    return s;
}

}  // namespace

// After a MoveTo (-1, -2), so that recording is seen to append. Code -1: a
// shape, compared with its member only.
#define ROW(function, member, code, ...)                                                              \
    {#function, [](orv_path_builder b) { function(b, __VA_ARGS__); },                                \
     [](PathBuilder& b) { b.member(__VA_ARGS__); }, code, {-1, -2, __VA_ARGS__}}

TEST(PathBuilderC, EveryDrawingFunctionRecordsWhatItsMemberRecords) {
    struct Case {
        const char* name;
        void (*c)(orv_path_builder);
        void (*member)(PathBuilder&);
        int code;
        std::vector<float> floats;
    };
    const Case cases[] = {
        {"orv_path_builder_close", [](orv_path_builder b) { orv_path_builder_close(b); },
         [](PathBuilder& b) { b.Close(); }, 0, {-1, -2}},
        ROW(orv_path_builder_moveto, MoveTo, 1, 1, 2), ROW(orv_path_builder_moveto_rel, MoveToRel, 2, -1, 2),
        ROW(orv_path_builder_lineto, LineTo, 3, 3, 4), ROW(orv_path_builder_lineto_rel, LineToRel, 4, 3, -4),
        ROW(orv_path_builder_hlineto, HLineTo, 5, 5), ROW(orv_path_builder_hlineto_rel, HLineToRel, 6, -5),
        ROW(orv_path_builder_vlineto, VLineTo, 7, 6), ROW(orv_path_builder_vlineto_rel, VLineToRel, 8, -6),
        ROW(orv_path_builder_quadto, QuadTo, 9, 1, 2, 3, 4),
        ROW(orv_path_builder_quadto_rel, QuadToRel, 10, 4, 3, 2, 1),
        // Any float is recorded.
        ROW(orv_path_builder_cubicto, CubicTo, 11, NAN, -0.0f, INFINITY, -INFINITY, 1e-45f, 3.4e38f),
        ROW(orv_path_builder_cubicto_rel, CubicToRel, 12, 6, 5, 4, 3, 2, 1),
        ROW(orv_path_builder_squadto, SQuadTo, 13, 7, 8), ROW(orv_path_builder_squadto_rel, SQuadToRel, 14, 8, 7),
        ROW(orv_path_builder_scubicto, SCubicTo, 15, 1, 2, 3, 4),
        ROW(orv_path_builder_scubicto_rel, SCubicToRel, 16, 4, 3, 2, 1),
        ROW(orv_path_builder_sccwarcto, SCcwArcTo, 17, 1, 2, 0.5f, 4, 5),
        ROW(orv_path_builder_sccwarcto_rel, SCcwArcToRel, 18, 2, 1, 0.25f, 5, 4),
        ROW(orv_path_builder_scwarcto, SCwArcTo, 19, -1, -0.0f, 100, NAN, 0),
        ROW(orv_path_builder_scwarcto_rel, SCwArcToRel, 20, 2, 3, -1, 7, 6),
        ROW(orv_path_builder_lccwarcto, LCcwArcTo, 21, 4, 5, 2, 8, 9),
        ROW(orv_path_builder_lccwarcto_rel, LCcwArcToRel, 22, 5, 4, -2, 9, 8),
        ROW(orv_path_builder_lcwarcto, LCwArcTo, 23, 6, 7, 3, 1, 2),
        ROW(orv_path_builder_lcwarcto_rel, LCwArcToRel, 24, 7, 6, -3, 2, 1),
        ROW(orv_path_builder_line, Line, -1, 1, 2, 3, 4), ROW(orv_path_builder_rectangle, Rectangle, -1, 1, 2, 3, 4),
        ROW(orv_path_builder_round_rectangle, RoundRectangle, -1, 1, 2, 30, 40, 5, 6),
        ROW(orv_path_builder_ellipse, Ellipse, -1, 1, 2, 3, 4),
        {"orv_path_builder_arc",
         [](orv_path_builder b) { orv_path_builder_arc(b, 1, 2, 3, 4, 0.5f, 5, ORV_ARC_TYPE_PIE); },
         [](PathBuilder& b) { b.Arc(1, 2, 3, 4, 0.5f, 5, ArcType::Pie); }, -1, {}},
    };
    for (const Case& c : cases) {
        orv_path_builder handle = orv_path_builder_create();
        const PathBuilder& built = *BuilderHandle::Read(handle);
        orv_path_builder_moveto(handle, -1, -2);
        c.c(handle);
        const Stream member = Recorded([&](PathBuilder& b) { b.MoveTo(-1, -2); c.member(b); });
        EXPECT_EQ(StreamOf(built), member) << c.name;
        if (c.code >= 0) {
            EXPECT_EQ(member, (Stream{{1, c.code}, c.floats})) << c.name;
        }
        // Clearing keeps the capacity, so that a reused builder stops allocating.
        const size_t commands = Internals::CommandsOf(built).capacity(), floats = Internals::DataOf(built).capacity();
        orv_path_builder_clear(handle);
        EXPECT_EQ(StreamOf(built), Stream{}) << c.name;
        EXPECT_TRUE(Internals::CommandsOf(built).capacity() == commands &&
                    Internals::DataOf(built).capacity() == floats);
        EXPECT_THROW(orv_path_builder_ellipse(handle, 0, 0, 0, 5), ArgumentOutOfRangeException);
        orv_path_builder_destroy(handle);
    }
    orv_path_builder_destroy(nullptr);
}

#undef ROW

TEST(PathBuilder, ShapeStreams) {
    const float fmaAngle = 0.141099989f;  // where 10 + 3 cos differs from a fused multiply-add
    ASSERT_NE(10 + 3 * std::cos(fmaAngle), std::fmaf(3, std::cos(fmaAngle), 10));
    const struct {
        std::function<void(PathBuilder&)> record;
        Stream expected;
    } cases[] = {
        {[](PathBuilder& b) { b.Line(1, 2, 3, 4); }, {{1, 3}, {1, 2, 3, 4}}},
        {[](PathBuilder& b) { b.Rectangle(0, 0, 10, 5); }, {{1, 6, 8, 6, 0}, {0, 0, 10, 5, -10}}},
        {[](PathBuilder& b) { b.Rectangle(FloatRectangle{0, 0, 10, 5}); }, {{1, 6, 8, 6, 0}, {0, 0, 10, 5, -10}}},
        {[](PathBuilder& b) { b.Rectangle(3, 4, -2, 0); }, {{1, 6, 8, 6, 0}, {3, 4, -2, 0, 2}}},  // not refused
        {[](PathBuilder& b) { b.RoundRectangle(0, 0, 100, 50, 20, 10); }, RoundRectangleStream(10, 0, 80, 40, 10, 5)},
        // Corner extents clamped to [0, size]: 300 is used as 100, -4 as 0, -1 as 0, 30 as 20.
        {[](PathBuilder& b) { b.RoundRectangle(0, 0, 100, 50, 300, -4); }, RoundRectangleStream(50, 0, 0, 50, 50, 0)},
        {[](PathBuilder& b) { b.RoundRectangle(5, 6, 10, 20, -1, 30); }, RoundRectangleStream(5, 6, 10, 0, 0, 10)},
        {[](PathBuilder& b) { b.Ellipse(50, 50, 20, 10); }, {{1, 18, 18, 0}, {60, 50, 10, 5, 0, -20, 0, 10, 5, 0, 20, 0}}},
        // Half turns at most, counter-clockwise (17) for extents >= 0, then the type's ending.
        {Arc(0, kPi / 2), ArcStream(17, {0, kPi / 2})},
        {Arc(0, 3 * kPi / 2), ArcStream(17, {0, kPi, 3 * kPi / 2})},
        {Arc(1, 0), ArcStream(17, {1, 1})},
        {Arc(kPi / 2, kPi, 1), ArcStream(17, {kPi / 2, kPi / 2 + kPi}, {{0}, {}})},
        {Arc(kPi / 2, -kPi / 4, 2), ArcStream(19, {kPi / 2, kPi / 2 - kPi / 4}, {{3, 0}, {10, 20}})},
        {Arc(0, kPi / 2, 7), ArcStream(17, {0, kPi / 2})},
        {Arc(fmaAngle, 0), ArcStream(17, {fmaAngle, fmaAngle})},
        // Half turns added in double: start + float pi would land on the end.
        {Arc(0.500400662f, float(M_PI)), ArcStream(17, {0.500400662f, 3.64199328f, 3.64199352f})},
        {Arc(-0.500400662f, -float(M_PI)), ArcStream(19, {-0.500400662f, -3.64199328f, -3.64199352f})},
        // Angles that do not step give one segment.
        {Arc(0, NAN), ArcStream(19, {0, NAN})},
        {Arc(NAN, 1), ArcStream(17, {NAN, NAN})},
        {Arc(INFINITY, 1), ArcStream(17, {INFINITY, INFINITY})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Recorded(c.record), c.expected) << "row " << &c - cases;
}

TEST(PathBuilder, BadSizesAndEndlessArcsAreRefusedBeforeRecording) {
    // Over 65536 half turns, or angles a half turn no longer moves, would never end.
    std::vector<std::function<void(PathBuilder&)>> refused = {
        Arc(0, 66000 * kPi, 1), Arc(0, -66000 * kPi, 1), Arc(0, INFINITY, 1), Arc(-1e30f, 1e30f, 1)};
    for (const std::array<float, 2> size : {std::array<float, 2>{0, 5}, {5, -1}, {NAN, 5}, {5, NAN}}) {
        refused.push_back([=](PathBuilder& b) { b.RoundRectangle(1, 1, size[0], size[1], 1, 1); });
        refused.push_back([=](PathBuilder& b) { b.Ellipse(1, 1, size[0], size[1]); });
        refused.push_back([=](PathBuilder& b) { b.Arc(1, 1, size[0], size[1], 0, 1, ArcType::Pie); });
    }
    const std::string printed = TestSupport::CaptureStdout([&] {
        for (size_t i = 0; i < refused.size(); ++i) {
            PathBuilder builder;
            builder.MoveTo(7, 8);
            EXPECT_THROW(refused[i](builder), ArgumentOutOfRangeException) << i;
            EXPECT_EQ(StreamOf(builder), (Stream{{1}, {7, 8}})) << i;
        }
    });
    EXPECT_EQ(printed, "");  // thrown without a message
    // Within the bound; the float angle drifts by 19 half turns on the way.
    EXPECT_EQ(Recorded(Arc(0, 65000 * kPi, 1)).commands.size(), 65019u + 2);
}

TEST(PathStream, EachCommandStoresAbsoluteVertices) {
    struct Case { const char* name; std::vector<PathCommands> commands; std::vector<float> data;
                  std::vector<Vertex> expected; };
    const Case cases[] = {
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
    // Missing floats are refused after the commands that had theirs.
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

    // A relative start continues from the last point when appended again.
    PathBuilder open;
    open.MoveToRel(5, 5);
    open.LineToRel(10, 0);
    open.AppendTo(&f.path);
    open.AppendTo(&f.path);
    f.path.Append(&open);
    EXPECT_EQ(f.Stored(), (std::vector<Vertex>{{Move, 5, 5}, {Line, 15, 5}, {Move, 20, 10}, {Line, 30, 10},
                                               {Move, 35, 15}, {Line, 45, 15}}));
}

TEST(PathStorage, StoresTheVertexSequenceOfAggStorage) {
    // Often without a first move, so that smooth and relative commands meet an empty storage.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> operation(0, 19), length(0, 14);
    std::uniform_real_distribution<double> value(-50, 50);
    for (int trial = 0; trial < 2000; ++trial) {
        agg::path_storage reference;
        ORV::Vudadive2R::PathStorage compact;
        for (int n = length(random); n > 0; --n) {
            double v[7];
            for (double& x : v)
                x = value(random);
            const int op = operation(random);
            Apply(reference, op, v);
            Apply(compact, op, v);
        }
        ASSERT_EQ(compact.total_vertices(), reference.total_vertices()) << trial;
        for (unsigned i = 0; i < reference.total_vertices(); ++i) {
            double rx, ry, cx, cy;
            const unsigned rc = reference.vertex(i, &rx, &ry), cc = compact.vertex(i, &cx, &cy);
            ASSERT_EQ(cc, rc) << trial << ", " << i;
            ASSERT_EQ(cx, rx) << trial << ", " << i;
            ASSERT_EQ(cy, ry) << trial << ", " << i;
        }
    }
}

TEST(PathStorage, DrawingStopsAtTheFirstStopEntry) {
    // A stop entry ends what a draw reads, in place or copied to flatten an
    // oversized curve (which encloses nothing): a NaN after it voids nothing.
    struct Case { const char* name; bool oversizedCurve; } const cases[] = {{"in place", false}, {"copied", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(16, 16);
        Geometry first;
        if (c.oversizedCurve)
            first.Move(2, 2).Add(PathCommands::QuadTo, {2, 1e10f, 2, 2});
        auto path = first.Rectangle(3, 4, 7, 9).On(canvas);
        Internals::StorageOf(*path).start_new_path();
        const Geometry after = Geometry().Rectangle(10, 10, 14, 14).Line(std::nanf(""), 3);
        path->AppendData(after.commands, after.data);
        path->Draw(FillIn(canvas, kOpaque), nullptr);
        ExpectBlock(canvas.surface, 3, 4, 7, 9, kOpaqueBytes);
    }
}

TEST(PathStorage, APathChangedBetweenDrawsDrawsAsAPathMadeAfresh) {
    // A draw keeps what it learnt of a path of lines (its limits) until the
    // path changes. After every change, through each member, and under every
    // transform, the path must draw what a never-drawn path of the same
    // vertices draws: coordinates beyond the limits, NaN and curves come and
    // go with appends and clears.
    std::mt19937 random(11);
    std::uniform_int_distribution<int> operation(0, 9), coordinate(-4, 44);
    Canvas kept(40, 40), fresh(40, 40);
    Path path(kept.context);
    const Color half{0.8f, 0.3f, 0.1f, 0.5f};
    const auto fill = FillIn(kept, half), freshFill = FillIn(fresh, half);
    const auto stroke = StrokeIn(kept, kOpaque, 3), freshStroke = StrokeIn(fresh, kOpaque, 3);
    const float far[] = {1e30f, std::nanf(""), 40.5f};
    int drawnWithPixels = 0;
    for (int step = 0; step < 400; ++step) {
        const int op = operation(random);
        const float x = float(coordinate(random)), y = float(coordinate(random));
        if (op <= 3) {
            Geometry g = Geometry().Move(x, y).Line(float(coordinate(random)), y).Line(x, float(coordinate(random)));
            if (op == 1)
                g.Line(far[coordinate(random) & 1 ? 2 : std::uniform_int_distribution<int>(0, 1)(random)], y);
            if (op == 2)
                g.Cubic(x, 0, 40, y, x + 3, y + 3);
            path.AppendData(g.commands, g.data);
        } else if (op == 4) {
            PathBuilder builder;
            builder.Rectangle(x, y, 9, 7);
            path.Append(&builder);
        } else if (op == 5) {
            const std::string svg = "M" + std::to_string(x) + " " + std::to_string(y) + "l10 3 -4 8z";
            path.AppendSvgPathData(svg.c_str());
        } else if (op == 6) {
            path.Clear();
        } else {
            // The transform changes, the path does not: large enough to put
            // its coordinates beyond the limits, or back.
            const float scale = op == 7 ? 1e30f : op == 8 ? 0.5f : 1.0f;
            for (Canvas* canvas : {&kept, &fresh})
                canvas->PathTransform().Set(Matrix3::CreateScale(scale, scale));
        }
        Path made(fresh.context);
        ORV::Vudadive2R::PathStorage& copy = Internals::StorageOf(made);
        for (const Vertex& v : Stored(path))
            copy.vertices().add_vertex(v.x, v.y, v.command);
        kept.surface.Fill(0, 0, 0, 0);
        fresh.surface.Fill(0, 0, 0, 0);
        const bool stroked = step % 3 == 0;
        path.Draw(fill, stroked ? stroke : nullptr);
        made.Draw(freshFill, stroked ? freshStroke : nullptr);
        ASSERT_EQ(kept.surface.memory, fresh.surface.memory) << "step " << step << ", operation " << op;
        drawnWithPixels += std::any_of(kept.surface.memory.begin(), kept.surface.memory.end(), [](uint8_t b) { return b; });
    }
    EXPECT_GT(drawnWithPixels, 100);
    EXPECT_LT(drawnWithPixels, 380);
}

TEST(PathStorage, AKeptCheckOfCurvesHoldsForItsOwnWindowOnly) {
    // A curve far above the surface is read as its chord, from a copy; the
    // same path within the surface is read in place. What one draw found
    // must not answer for a draw under another matrix, stroke reach or
    // surface, and must answer again for the first one.
    ORV::Vudadive2R::PathStorage path, copy;
    path.move_to(10, 10);
    path.curve4(20, 0, 30, 20, 40, 10);
    path.line_to(10, 30);
    const agg::trans_affine inside, above = agg::trans_affine_translation(0, -1e6);
    struct Draw { const agg::trans_affine& matrix; double reach; int width; bool inPlace; } const draws[] = {
        {inside, 0, 64, true}, {above, 0, 64, false}, {inside, 0, 64, true}, {above, 0, 64, false},
        {above, 2e6, 64, true}, {above, 0, 64, false}, {inside, 0, 8, true}};
    for (const Draw& d : draws) {
        StorageReader reader;
        double largest = 0;
        bool curves = false;
        copy.remove_all();
        ASSERT_TRUE(PrepareForDrawing(path, copy, reader, largest, curves, CullingWindow{d.matrix, d.reach, d.width, 64}));
        EXPECT_EQ(reader.Storage() == &path, d.inPlace) << d.reach << ", " << d.matrix.ty;
        EXPECT_TRUE(curves);
        EXPECT_EQ(largest, 40);
    }
}
