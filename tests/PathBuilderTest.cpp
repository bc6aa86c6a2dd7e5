// The path builder's recorded command streams: single commands, the shapes
// built from them, size checks before recording, and the C functions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
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
};

Stream StreamOf(const PathBuilder& builder) {
    Stream stream;
    for (PathCommands command : Internals::CommandsOf(builder))
        stream.commands.push_back(int(command));
    stream.data = Internals::DataOf(builder);
    return stream;
}

PathBuilder& ObjectOf(orv_path_builder builder) { return *Handle<PathBuilder, orv_path_builder>::Read(builder); }

// Float streams compared bit for bit, so that -0 and NaN count too.
bool SameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0);
}

}  // namespace

TEST(PathBuilder, EachCommandRecordsItsCodeAndFloatsInOrder) {
    struct Case {
        void (*record)(PathBuilder&);
        int code;
        std::vector<float> floats;
    };
    const Case cases[] = {
        {[](PathBuilder& b) { b.Close(); }, 0, {}},
        {[](PathBuilder& b) { b.MoveTo(1, 2); }, 1, {1, 2}},
        {[](PathBuilder& b) { b.MoveToRel(-1, 2); }, 2, {-1, 2}},
        {[](PathBuilder& b) { b.LineTo(3, 4); }, 3, {3, 4}},
        {[](PathBuilder& b) { b.LineToRel(3, -4); }, 4, {3, -4}},
        {[](PathBuilder& b) { b.HLineTo(5); }, 5, {5}},
        {[](PathBuilder& b) { b.HLineToRel(-5); }, 6, {-5}},
        {[](PathBuilder& b) { b.VLineTo(6); }, 7, {6}},
        {[](PathBuilder& b) { b.VLineToRel(-6); }, 8, {-6}},
        {[](PathBuilder& b) { b.QuadTo(1, 2, 3, 4); }, 9, {1, 2, 3, 4}},
        {[](PathBuilder& b) { b.QuadToRel(4, 3, 2, 1); }, 10, {4, 3, 2, 1}},
        {[](PathBuilder& b) { b.CubicTo(1, 2, 3, 4, 5, 6); }, 11, {1, 2, 3, 4, 5, 6}},
        {[](PathBuilder& b) { b.CubicToRel(6, 5, 4, 3, 2, 1); }, 12, {6, 5, 4, 3, 2, 1}},
        {[](PathBuilder& b) { b.SQuadTo(7, 8); }, 13, {7, 8}},
        {[](PathBuilder& b) { b.SQuadToRel(8, 7); }, 14, {8, 7}},
        {[](PathBuilder& b) { b.SCubicTo(1, 2, 3, 4); }, 15, {1, 2, 3, 4}},
        {[](PathBuilder& b) { b.SCubicToRel(4, 3, 2, 1); }, 16, {4, 3, 2, 1}},
        {[](PathBuilder& b) { b.SCcwArcTo(1, 2, 0.5f, 4, 5); }, 17, {1, 2, 0.5f, 4, 5}},
        {[](PathBuilder& b) { b.SCcwArcToRel(2, 1, 0.25f, 5, 4); }, 18, {2, 1, 0.25f, 5, 4}},
        {[](PathBuilder& b) { b.SCwArcTo(3, 2, 1, 6, 7); }, 19, {3, 2, 1, 6, 7}},
        {[](PathBuilder& b) { b.SCwArcToRel(2, 3, -1, 7, 6); }, 20, {2, 3, -1, 7, 6}},
        {[](PathBuilder& b) { b.LCcwArcTo(4, 5, 2, 8, 9); }, 21, {4, 5, 2, 8, 9}},
        {[](PathBuilder& b) { b.LCcwArcToRel(5, 4, -2, 9, 8); }, 22, {5, 4, -2, 9, 8}},
        {[](PathBuilder& b) { b.LCwArcTo(6, 7, 3, 1, 2); }, 23, {6, 7, 3, 1, 2}},
        {[](PathBuilder& b) { b.LCwArcToRel(7, 6, -3, 2, 1); }, 24, {7, 6, -3, 2, 1}},
    };
    PathBuilder all;
    Stream expectedAll;
    for (const Case& c : cases) {
        PathBuilder builder;
        c.record(builder);
        const Stream stream = StreamOf(builder);
        EXPECT_EQ(stream.commands, std::vector<int>{c.code}) << c.code;
        EXPECT_EQ(stream.data, c.floats) << c.code;
        c.record(all);
        expectedAll.commands.push_back(c.code);
        expectedAll.data.insert(expectedAll.data.end(), c.floats.begin(), c.floats.end());
    }
    // Recording only appends: one builder holds all of them in order.
    EXPECT_EQ(StreamOf(all).commands, expectedAll.commands);
    EXPECT_EQ(StreamOf(all).data, expectedAll.data);
}

TEST(PathBuilder, RecordingAcceptsAnyFloat) {
    PathBuilder builder;
    builder.CubicTo(NAN, -0.0f, INFINITY, -INFINITY, 1e-45f, 3.4e38f);
    builder.SCwArcTo(-1, 0, 100, NAN, 0);
    EXPECT_TRUE(SameBits(StreamOf(builder).data, {NAN, -0.0f, INFINITY, -INFINITY, 1e-45f, 3.4e38f, -1, 0, 100, NAN, 0}));
}

TEST(PathBuilder, LineAndRectangle) {
    PathBuilder line;
    line.Line(1, 2, 3, 4);
    EXPECT_EQ(StreamOf(line).commands, (std::vector<int>{1, 3}));
    EXPECT_EQ(StreamOf(line).data, (std::vector<float>{1, 2, 3, 4}));

    struct Case {
        float x, y, width, height;
        std::vector<float> floats;
    };
    const Case cases[] = {
        {0, 0, 10, 5, {0, 0, 10, 5, -10}},
        {3, 4, -2, -1, {3, 4, -2, -1, 2}},  // negative sizes are not refused
        {1, 1, 0, 0, {1, 1, 0, 0, -0.0f}},
    };
    for (const Case& c : cases) {
        PathBuilder byFloats, byRectangle;
        byFloats.Rectangle(c.x, c.y, c.width, c.height);
        byRectangle.Rectangle(FloatRectangle{c.x, c.y, c.width, c.height});
        EXPECT_EQ(StreamOf(byFloats).commands, (std::vector<int>{1, 6, 8, 6, 0}));
        EXPECT_TRUE(SameBits(StreamOf(byFloats).data, c.floats)) << c.width;
        EXPECT_EQ(StreamOf(byRectangle).commands, StreamOf(byFloats).commands);
        EXPECT_TRUE(SameBits(StreamOf(byRectangle).data, StreamOf(byFloats).data));
    }
}

TEST(PathBuilder, RoundRectangleClampsTheCornersAndRunsCounterClockwise) {
    struct Case {
        float x, y, width, height, arcWidth, arcHeight;
        float startX, straightWidth, straightHeight, rx, ry;  // worked by hand
    };
    const Case cases[] = {
        {0, 0, 100, 50, 20, 10, 10, 80, 40, 10, 5},
        {0, 0, 100, 50, 300, -4, 50, 0, 50, 50, 0},   // arcWidth used as 100, arcHeight as 0
        {5, 6, 10, 20, -1, 30, 5, 10, 0, 0, 10},      // arcWidth used as 0, arcHeight as 20
        {-2, 1, 3, 1, 3, 1, -0.5f, 0, 0, 1.5f, 0.5f}, // a full ellipse's worth of corners
    };
    for (const Case& c : cases) {
        PathBuilder builder;
        builder.RoundRectangle(c.x, c.y, c.width, c.height, c.arcWidth, c.arcHeight);
        const Stream stream = StreamOf(builder);
        EXPECT_EQ(stream.commands, (std::vector<int>{1, 6, 18, 8, 18, 6, 18, 8, 18, 0}));
        const std::vector<float> expected = {
            c.startX, c.y,  c.straightWidth,  c.rx, c.ry, 0, c.rx,  c.ry,  c.straightHeight,
            c.rx,     c.ry, 0,                -c.rx, c.ry, -c.straightWidth,  c.rx, c.ry, 0, -c.rx, -c.ry,
            -c.straightHeight, c.rx, c.ry, 0, c.rx, -c.ry};
        EXPECT_EQ(stream.data, expected) << c.arcWidth << " " << c.arcHeight;
    }
}

TEST(PathBuilder, EllipseRecordsTwoHalfArcsFromAngleZero) {
    PathBuilder builder;
    builder.Ellipse(50, 50, 20, 10);
    builder.Ellipse(0, 0, 3, 1);
    EXPECT_EQ(StreamOf(builder).commands, (std::vector<int>{1, 18, 18, 0, 1, 18, 18, 0}));
    EXPECT_EQ(StreamOf(builder).data, (std::vector<float>{60, 50, 10, 5, 0, -20, 0, 10, 5, 0, 20, 0,  //
                                                          1.5f, 0, 1.5f, 0.5f, 0, -3, 0, 1.5f, 0.5f, 0, 3, 0}));
}

TEST(PathBuilder, ShapeSizesAreCheckedBeforeAnythingIsRecorded) {
    const float sizes[][2] = {{0, 5}, {5, 0}, {5, -1}, {-1, 5}, {NAN, 5}, {5, NAN}, {-INFINITY, 1}};
    void (*const shapes[])(PathBuilder&, float, float) = {
        [](PathBuilder& b, float w, float h) { b.RoundRectangle(1, 1, w, h, 1, 1); },
        [](PathBuilder& b, float w, float h) { b.Ellipse(1, 1, w, h); },
        [](PathBuilder& b, float w, float h) { b.Arc(1, 1, w, h, 0, 1, ArcType::Pie); },
    };
    for (auto shape : shapes)
        for (const auto& size : sizes) {
            PathBuilder builder;
            builder.MoveTo(7, 8);
            const std::string printed = TestSupport::CaptureStdout([&] {
                EXPECT_THROW(shape(builder, size[0], size[1]), ArgumentOutOfRangeException) << size[0] << "x" << size[1];
            });
            EXPECT_EQ(printed, "");  // thrown without a message
            EXPECT_EQ(StreamOf(builder).commands, std::vector<int>{1});
            EXPECT_EQ(StreamOf(builder).data, (std::vector<float>{7, 8}));
        }
}

TEST(PathBuilder, ArcSegmentsSpanAtMostHalfATurn) {
    // Centre (10, 20), radii 2 and 1: the point at angle t is (10 + 2 cos t, 20 + sin t).
    struct Case {
        float start, extent;
        int type;
        std::vector<int> commands;
        std::vector<float> angles;  // of the move-to and every segment end
    };
    const Case cases[] = {
        {0, kPi / 2, 0, {1, 17}, {0, kPi / 2}},
        {0, 3 * kPi / 2, 0, {1, 17, 17}, {0, kPi, 3 * kPi / 2}},
        {0, -kPi / 2, 0, {1, 19}, {0, -kPi / 2}},
        {0, -3 * kPi / 2, 0, {1, 19, 19}, {0, -kPi, -3 * kPi / 2}},
        {1, 0, 0, {1, 17}, {1, 1}},
        {0, 2 * kPi + 0.5f, 0, {1, 17, 17, 17}, {0, kPi, 2 * kPi, 0.5f}},
        {kPi / 2, kPi, 1, {1, 17, 0}, {kPi / 2, 3 * kPi / 2}},
        {kPi / 2, -kPi / 4, 2, {1, 19, 3, 0}, {kPi / 2, kPi / 4}},
        {0, kPi / 2, 7, {1, 17}, {0, kPi / 2}},
        {0, kPi / 2, -1, {1, 17}, {0, kPi / 2}},
    };
    for (const Case& c : cases) {
        PathBuilder builder;
        builder.Arc(10, 20, 4, 2, c.start, c.extent, ArcType(c.type));
        const Stream stream = StreamOf(builder);
        ASSERT_EQ(stream.commands, c.commands) << c.start << " " << c.extent << " " << c.type;
        size_t at = 0;
        for (size_t i = 0; i < c.angles.size(); ++i) {
            if (i > 0) {  // segment: radii 2 and 1, rotation 0
                EXPECT_EQ(stream.data[at], 2.0f);
                EXPECT_EQ(stream.data[at + 1], 1.0f);
                EXPECT_EQ(stream.data[at + 2], 0.0f);
                at += 3;
            }
            EXPECT_NEAR(stream.data[at], 10 + 2 * std::cos(double(c.angles[i])), 4e-6) << i;
            EXPECT_NEAR(stream.data[at + 1], 20 + std::sin(double(c.angles[i])), 4e-6) << i;
            at += 2;
        }
        if (c.type == 2) {
            EXPECT_EQ(stream.data[at], 10.0f);  // the line to the centre
            EXPECT_EQ(stream.data[at + 1], 20.0f);
            at += 2;
        }
        EXPECT_EQ(at, stream.data.size());
    }
}

TEST(PathBuilder, ArcPointsAndStepsFollowTheirPrecision) {
    // Each coordinate is the float product of radius and float cosine, then
    // the float sum: at this angle a fused multiply-add would differ.
    const float angle = 0.141099989f;
    const float product = 3.0f * std::cos(angle);
    const float expectedX = 10.0f + product;
    ASSERT_NE(expectedX, std::fmaf(3.0f, std::cos(angle), 10.0f));
    PathBuilder point;
    point.Arc(10, 0, 6, 2, angle, 0, ArcType::Open);
    EXPECT_EQ(StreamOf(point).data[0], expectedX);

    // Half turns are added in double precision and rounded to float. From
    // this start, float start + float pi lands exactly on the end and would
    // give one segment; the double sum lies just before it, so a second,
    // tiny segment follows. Both directions alike.
    const float start = 0.500400662f;
    const float extent = float(3.141592653589793);
    ASSERT_EQ(start + extent, 3.64199352f);
    const float step = float(double(start) + 3.141592653589793);
    ASSERT_EQ(step, 3.64199328f);
    for (float sign : {1.0f, -1.0f}) {
        PathBuilder builder;
        builder.Arc(0, 0, 2, 2, sign * start, sign * extent, ArcType::Open);
        const Stream stream = StreamOf(builder);
        const int segment = sign > 0 ? 17 : 19;
        EXPECT_EQ(stream.commands, (std::vector<int>{1, segment, segment}));
        ASSERT_EQ(stream.data.size(), 12u);
        EXPECT_EQ(stream.data[5], std::cos(sign * step));
        EXPECT_EQ(stream.data[6], std::sin(sign * step));
        EXPECT_EQ(stream.data[10], std::cos(sign * (start + extent)));
    }
}

TEST(PathBuilder, ArcWindingIsBounded) {
    // Up to 65536 half-turn segments are recorded; beyond that, and for
    // angles where a half-turn step no longer changes the float angle, the
    // arc is refused before recording.
    struct Case {
        float start, extent;
        size_t segments;  // 0: refused
    };
    const Case cases[] = {
        {0, 1999.5f * kPi, 2000},
        {0, 65000 * kPi, 65019},  // the float angle drifts by 19 half turns
        {0, 66000 * kPi, 0},
        {0, -66000 * kPi, 0},
        {0, INFINITY, 0},
        {0, -INFINITY, 0},
        {0, 1e30f, 0},
        {-1e30f, 1e30f, 0},  // end 0, start beyond stepping
        {0, NAN, 1},
        {NAN, 1, 1},
        {INFINITY, 1, 1},
    };
    for (const Case& c : cases) {
        PathBuilder builder;
        builder.Close();
        if (c.segments == 0) {
            EXPECT_THROW(builder.Arc(0, 0, 2, 2, c.start, c.extent, ArcType::Chord), ArgumentOutOfRangeException)
                << c.start << " " << c.extent;
            EXPECT_EQ(StreamOf(builder).commands.size(), 1u);
            EXPECT_TRUE(StreamOf(builder).data.empty());
        } else {
            builder.Arc(0, 0, 2, 2, c.start, c.extent, ArcType::Chord);
            EXPECT_EQ(StreamOf(builder).commands.size(), c.segments + 3) << c.start << " " << c.extent;
            EXPECT_EQ(StreamOf(builder).data.size(), 2 + 5 * c.segments);
        }
    }
}

TEST(PathBuilder, ClearEmptiesTheStreamAndKeepsItsStorage) {
    PathBuilder builder;
    builder.RoundRectangle(0, 0, 10, 10, 2, 2);
    const size_t commandCapacity = Internals::CommandsOf(builder).capacity();
    const size_t floatCapacity = Internals::DataOf(builder).capacity();
    builder.Clear();
    EXPECT_TRUE(Internals::CommandsOf(builder).empty());
    EXPECT_TRUE(Internals::DataOf(builder).empty());
    EXPECT_EQ(Internals::CommandsOf(builder).capacity(), commandCapacity);
    EXPECT_EQ(Internals::DataOf(builder).capacity(), floatCapacity);
    builder.LineTo(1, 2);
    EXPECT_EQ(StreamOf(builder).commands, std::vector<int>{3});
    EXPECT_EQ(StreamOf(builder).data, (std::vector<float>{1, 2}));
}

TEST(PathBuilderC, EveryDrawingFunctionRecordsWhatItsMemberRecords) {
    struct Case {
        const char* name;
        void (*c)(orv_path_builder);
        void (*member)(PathBuilder&);
    };
    const Case cases[] = {
        {"close", [](orv_path_builder b) { orv_path_builder_close(b); }, [](PathBuilder& b) { b.Close(); }},
        {"moveto", [](orv_path_builder b) { orv_path_builder_moveto(b, 1, 2); }, [](PathBuilder& b) { b.MoveTo(1, 2); }},
        {"moveto_rel", [](orv_path_builder b) { orv_path_builder_moveto_rel(b, 3, 4); },
         [](PathBuilder& b) { b.MoveToRel(3, 4); }},
        {"line", [](orv_path_builder b) { orv_path_builder_line(b, 1, 2, 3, 4); },
         [](PathBuilder& b) { b.Line(1, 2, 3, 4); }},
        {"lineto", [](orv_path_builder b) { orv_path_builder_lineto(b, 5, 6); }, [](PathBuilder& b) { b.LineTo(5, 6); }},
        {"lineto_rel", [](orv_path_builder b) { orv_path_builder_lineto_rel(b, 7, 8); },
         [](PathBuilder& b) { b.LineToRel(7, 8); }},
        {"hlineto", [](orv_path_builder b) { orv_path_builder_hlineto(b, 9); }, [](PathBuilder& b) { b.HLineTo(9); }},
        {"hlineto_rel", [](orv_path_builder b) { orv_path_builder_hlineto_rel(b, 10); },
         [](PathBuilder& b) { b.HLineToRel(10); }},
        {"vlineto", [](orv_path_builder b) { orv_path_builder_vlineto(b, 11); }, [](PathBuilder& b) { b.VLineTo(11); }},
        {"vlineto_rel", [](orv_path_builder b) { orv_path_builder_vlineto_rel(b, 12); },
         [](PathBuilder& b) { b.VLineToRel(12); }},
        {"rectangle", [](orv_path_builder b) { orv_path_builder_rectangle(b, 1, 2, 3, 4); },
         [](PathBuilder& b) { b.Rectangle(1, 2, 3, 4); }},
        {"round_rectangle", [](orv_path_builder b) { orv_path_builder_round_rectangle(b, 1, 2, 30, 40, 5, 6); },
         [](PathBuilder& b) { b.RoundRectangle(1, 2, 30, 40, 5, 6); }},
        {"ellipse", [](orv_path_builder b) { orv_path_builder_ellipse(b, 1, 2, 3, 4); },
         [](PathBuilder& b) { b.Ellipse(1, 2, 3, 4); }},
        {"arc", [](orv_path_builder b) { orv_path_builder_arc(b, 1, 2, 3, 4, 0.5f, 4, 2); },
         [](PathBuilder& b) { b.Arc(1, 2, 3, 4, 0.5f, 4, ArcType::Pie); }},
        {"arc type 7", [](orv_path_builder b) { orv_path_builder_arc(b, 1, 2, 3, 4, 0.5f, -4, 7); },
         [](PathBuilder& b) { b.Arc(1, 2, 3, 4, 0.5f, -4, ArcType(7)); }},
        {"quadto", [](orv_path_builder b) { orv_path_builder_quadto(b, 1, 2, 3, 4); },
         [](PathBuilder& b) { b.QuadTo(1, 2, 3, 4); }},
        {"quadto_rel", [](orv_path_builder b) { orv_path_builder_quadto_rel(b, 5, 6, 7, 8); },
         [](PathBuilder& b) { b.QuadToRel(5, 6, 7, 8); }},
        {"cubicto", [](orv_path_builder b) { orv_path_builder_cubicto(b, 1, 2, 3, 4, 5, 6); },
         [](PathBuilder& b) { b.CubicTo(1, 2, 3, 4, 5, 6); }},
        {"cubicto_rel", [](orv_path_builder b) { orv_path_builder_cubicto_rel(b, 6, 5, 4, 3, 2, 1); },
         [](PathBuilder& b) { b.CubicToRel(6, 5, 4, 3, 2, 1); }},
        {"squadto", [](orv_path_builder b) { orv_path_builder_squadto(b, 1, 2); }, [](PathBuilder& b) { b.SQuadTo(1, 2); }},
        {"squadto_rel", [](orv_path_builder b) { orv_path_builder_squadto_rel(b, 3, 4); },
         [](PathBuilder& b) { b.SQuadToRel(3, 4); }},
        {"scubicto", [](orv_path_builder b) { orv_path_builder_scubicto(b, 1, 2, 3, 4); },
         [](PathBuilder& b) { b.SCubicTo(1, 2, 3, 4); }},
        {"scubicto_rel", [](orv_path_builder b) { orv_path_builder_scubicto_rel(b, 5, 6, 7, 8); },
         [](PathBuilder& b) { b.SCubicToRel(5, 6, 7, 8); }},
        {"sccwarcto", [](orv_path_builder b) { orv_path_builder_sccwarcto(b, 1, 2, 3, 4, 5); },
         [](PathBuilder& b) { b.SCcwArcTo(1, 2, 3, 4, 5); }},
        {"sccwarcto_rel", [](orv_path_builder b) { orv_path_builder_sccwarcto_rel(b, 2, 3, 4, 5, 6); },
         [](PathBuilder& b) { b.SCcwArcToRel(2, 3, 4, 5, 6); }},
        {"scwarcto", [](orv_path_builder b) { orv_path_builder_scwarcto(b, 3, 4, 5, 6, 7); },
         [](PathBuilder& b) { b.SCwArcTo(3, 4, 5, 6, 7); }},
        {"scwarcto_rel", [](orv_path_builder b) { orv_path_builder_scwarcto_rel(b, 4, 5, 6, 7, 8); },
         [](PathBuilder& b) { b.SCwArcToRel(4, 5, 6, 7, 8); }},
        {"lccwarcto", [](orv_path_builder b) { orv_path_builder_lccwarcto(b, 5, 6, 7, 8, 9); },
         [](PathBuilder& b) { b.LCcwArcTo(5, 6, 7, 8, 9); }},
        {"lccwarcto_rel", [](orv_path_builder b) { orv_path_builder_lccwarcto_rel(b, 6, 7, 8, 9, 1); },
         [](PathBuilder& b) { b.LCcwArcToRel(6, 7, 8, 9, 1); }},
        {"lcwarcto", [](orv_path_builder b) { orv_path_builder_lcwarcto(b, 7, 8, 9, 1, 2); },
         [](PathBuilder& b) { b.LCwArcTo(7, 8, 9, 1, 2); }},
        {"lcwarcto_rel", [](orv_path_builder b) { orv_path_builder_lcwarcto_rel(b, 8, 9, 1, 2, 3); },
         [](PathBuilder& b) { b.LCwArcToRel(8, 9, 1, 2, 3); }},
    };
    for (const Case& c : cases) {
        orv_path_builder handle = orv_path_builder_create();
        orv_path_builder_moveto(handle, -1, -2);  // appended after what is there
        c.c(handle);
        PathBuilder member;
        member.MoveTo(-1, -2);
        c.member(member);
        EXPECT_GT(StreamOf(member).commands.size(), 1u) << c.name;
        EXPECT_EQ(StreamOf(ObjectOf(handle)).commands, StreamOf(member).commands) << c.name;
        EXPECT_TRUE(SameBits(StreamOf(ObjectOf(handle)).data, StreamOf(member).data)) << c.name;
        orv_path_builder_destroy(handle);
    }
}

TEST(PathBuilderC, LifecycleClearAndExceptions) {
    orv_path_builder_destroy(nullptr);
    orv_path_builder handle = orv_path_builder_create();
    EXPECT_TRUE(StreamOf(ObjectOf(handle)).commands.empty());
    orv_path_builder_rectangle(handle, 0, 0, 10, 5);
    orv_path_builder_clear(handle);
    EXPECT_TRUE(StreamOf(ObjectOf(handle)).commands.empty());
    EXPECT_TRUE(StreamOf(ObjectOf(handle)).data.empty());
    EXPECT_THROW(orv_path_builder_ellipse(handle, 0, 0, 0, 5), ArgumentOutOfRangeException);
    EXPECT_THROW(orv_path_builder_round_rectangle(handle, 0, 0, 5, -1, 1, 1), ArgumentOutOfRangeException);
    EXPECT_THROW(orv_path_builder_arc(handle, 0, 0, 5, 5, 0, INFINITY, 0), ArgumentOutOfRangeException);
    EXPECT_TRUE(StreamOf(ObjectOf(handle)).commands.empty());
    orv_path_builder_destroy(handle);
}
