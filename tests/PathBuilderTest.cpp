// The path builder's recorded command streams and its C functions.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "TestSupport.hpp"
#include "capi/Handle.hpp"
#include "common/Internals.hpp"

using namespace ORV::Vudadive2R;

namespace {

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

void PrintTo(const Stream& s, std::ostream* out) {
    *out << testing::PrintToString(s.commands) << " " << testing::PrintToString(s.data);
}

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

// Each handle starts with a MoveTo (-1, -2), so the rows also show that
// recording appends. Code -1: a shape, compared with its member only.
#define ROW(cName, member, code, ...)                                                               \
    {#cName, [](orv_path_builder b) { orv_path_builder_##cName(b, __VA_ARGS__); },                  \
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
        {"close", [](orv_path_builder b) { orv_path_builder_close(b); }, [](PathBuilder& b) { b.Close(); }, 0, {-1, -2}},
        ROW(moveto, MoveTo, 1, 1, 2), ROW(moveto_rel, MoveToRel, 2, -1, 2), ROW(lineto, LineTo, 3, 3, 4),
        ROW(lineto_rel, LineToRel, 4, 3, -4), ROW(hlineto, HLineTo, 5, 5), ROW(hlineto_rel, HLineToRel, 6, -5),
        ROW(vlineto, VLineTo, 7, 6), ROW(vlineto_rel, VLineToRel, 8, -6), ROW(quadto, QuadTo, 9, 1, 2, 3, 4),
        ROW(quadto_rel, QuadToRel, 10, 4, 3, 2, 1),
        ROW(cubicto, CubicTo, 11, NAN, -0.0f, INFINITY, -INFINITY, 1e-45f, 3.4e38f),  // any float is recorded
        ROW(cubicto_rel, CubicToRel, 12, 6, 5, 4, 3, 2, 1), ROW(squadto, SQuadTo, 13, 7, 8),
        ROW(squadto_rel, SQuadToRel, 14, 8, 7), ROW(scubicto, SCubicTo, 15, 1, 2, 3, 4),
        ROW(scubicto_rel, SCubicToRel, 16, 4, 3, 2, 1), ROW(sccwarcto, SCcwArcTo, 17, 1, 2, 0.5f, 4, 5),
        ROW(sccwarcto_rel, SCcwArcToRel, 18, 2, 1, 0.25f, 5, 4), ROW(scwarcto, SCwArcTo, 19, -1, -0.0f, 100, NAN, 0),
        ROW(scwarcto_rel, SCwArcToRel, 20, 2, 3, -1, 7, 6), ROW(lccwarcto, LCcwArcTo, 21, 4, 5, 2, 8, 9),
        ROW(lccwarcto_rel, LCcwArcToRel, 22, 5, 4, -2, 9, 8), ROW(lcwarcto, LCwArcTo, 23, 6, 7, 3, 1, 2),
        ROW(lcwarcto_rel, LCwArcToRel, 24, 7, 6, -3, 2, 1), ROW(line, Line, -1, 1, 2, 3, 4),
        ROW(rectangle, Rectangle, -1, 1, 2, 3, 4), ROW(round_rectangle, RoundRectangle, -1, 1, 2, 30, 40, 5, 6),
        ROW(ellipse, Ellipse, -1, 1, 2, 3, 4),
        {"arc", [](orv_path_builder b) { orv_path_builder_arc(b, 1, 2, 3, 4, 0.5f, 5, ORV_ARC_TYPE_PIE); },
         [](PathBuilder& b) { b.Arc(1, 2, 3, 4, 0.5f, 5, ArcType::Pie); }, -1, {}},
    };
    for (const Case& c : cases) {
        orv_path_builder handle = orv_path_builder_create();
        orv_path_builder_moveto(handle, -1, -2);
        c.c(handle);
        const Stream member = Recorded([&](PathBuilder& b) { b.MoveTo(-1, -2); c.member(b); });
        EXPECT_EQ(StreamOf(*BuilderHandle::Read(handle)), member) << c.name;
        if (c.code >= 0) {
            EXPECT_EQ(member, (Stream{{1, c.code}, c.floats})) << c.name;
        }
        orv_path_builder_destroy(handle);
    }
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
        // Arcs: segments of at most half a turn, counter-clockwise (17) for
        // extents >= 0, clockwise (19) otherwise, then the ending of the type.
        {Arc(0, kPi / 2), ArcStream(17, {0, kPi / 2})},
        {Arc(0, 3 * kPi / 2), ArcStream(17, {0, kPi, 3 * kPi / 2})},
        {Arc(1, 0), ArcStream(17, {1, 1})},
        {Arc(kPi / 2, kPi, 1), ArcStream(17, {kPi / 2, kPi / 2 + kPi}, {{0}, {}})},
        {Arc(kPi / 2, -kPi / 4, 2), ArcStream(19, {kPi / 2, kPi / 2 - kPi / 4}, {{3, 0}, {10, 20}})},
        {Arc(0, kPi / 2, 7), ArcStream(17, {0, kPi / 2})},
        {Arc(fmaAngle, 0), ArcStream(17, {fmaAngle, fmaAngle})},
        // Half turns are added in double precision and rounded: start + float
        // pi would land exactly on the end; the double sum lies just before it.
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
    // More than 65536 half-turn segments, or an angle that a half turn no
    // longer moves, would only grow the stream or never end.
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

TEST(PathBuilderC, ClearKeepsStorage) {
    orv_path_builder handle = orv_path_builder_create();
    const PathBuilder& builder = *BuilderHandle::Read(handle);
    orv_path_builder_round_rectangle(handle, 0, 0, 10, 10, 2, 2);
    const size_t commands = Internals::CommandsOf(builder).capacity(), floats = Internals::DataOf(builder).capacity();
    orv_path_builder_clear(handle);
    EXPECT_EQ(StreamOf(builder), Stream{});
    // Capacity is kept, so that a reused builder stops allocating.
    EXPECT_TRUE(Internals::CommandsOf(builder).capacity() == commands && Internals::DataOf(builder).capacity() == floats);
    EXPECT_THROW(orv_path_builder_ellipse(handle, 0, 0, 0, 5), ArgumentOutOfRangeException);
    orv_path_builder_destroy(handle);
    orv_path_builder_destroy(nullptr);
}
