// Hostile geometry found by fuzzing: winding deeper than the rasterizer's
// int sums hold, and curves so large that flattening them all would take
// seconds. Each must draw the pixels the winding calls for, without
// undefined behaviour, in well under a second.
#include <gtest/gtest.h>

#include <agg_pixfmt_gray.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>

#include <cmath>
#include <ctime>
#include <random>

#include "DrawSupport.hpp"

using namespace DrawSupport;

namespace {

constexpr float kTurn = 6.28318530717958647692f;

double ThreadSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Draws and returns the processor seconds it took: a loaded machine
// stretches wall time, not the work a draw does.
double TimedDraw(Path& path, const std::shared_ptr<FillState>& fill, const std::shared_ptr<StrokeState>& stroke) {
    const double start = ThreadSeconds();
    path.Draw(fill, stroke);
    return ThreadSeconds() - start;
}

// The unbounded draws took seconds even in an optimised build. Instrumented
// code runs three to five times slower, so the sanitizer build allows two
// seconds, the fuzz targets' bound; an emulated processor (a cross build
// under qemu) some ten times slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr double kBoundSeconds = 2.0;
#elif defined(VUDADIVE2R_TEST_EMULATED)
constexpr double kBoundSeconds = 10.0;
#else
constexpr double kBoundSeconds = 1.0;
#endif
// For draws whose outcome is checked by their bytes: only a runaway fails it.
constexpr double kLooseBoundSeconds = 10.0;

}  // namespace

TEST(Robustness, DeepWindingSaturatesUnderNonZeroAndKeepsParityUnderEvenOdd) {
    // Coincident squares: every pixel of the square has winding `copies`.
    // Beyond 2^14 copies the rasterizer's sums would overflow.
    const struct { int copies; FillRule rule; float offset; int size; bool filled; } cases[] = {
        {16000, FillRule::NonZero, 0, 10, true},  // below the overflow
        {32768, FillRule::NonZero, 0, 10, true},
        {32768, FillRule::EvenOdd, 0, 10, false},
        {32769, FillRule::EvenOdd, 0, 10, true},
        // Half-pixel edges: even the partly covered border pixels have a
        // coverage of 16384 x 1/4 or more, so all 11 x 11 are full.
        {16384, FillRule::NonZero, 0.5f, 11, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.copies);
        Canvas canvas(16, 16);
        Geometry squares;
        for (int i = 0; i < c.copies; ++i)
            squares.Rectangle(c.offset, c.offset, 10 + c.offset, 10 + c.offset);
        squares.On(canvas)->Draw(FillIn(canvas, kOpaque, c.rule), nullptr);
        ExpectBlock(canvas, 0, 0, c.filled ? c.size : 0, c.filled ? c.size : 0, kOpaqueBytes);
    }
}

TEST(Robustness, ArcWoundBeyondTheOverflowFillsLikeItsWinding) {
    // A circle of radius 6 about (8, 8), wound `turns` times: pixels wholly
    // inside have that winding, pixels wholly outside none. Border pixels
    // are left out: a coverage of a fraction of a level in one turn
    // legitimately adds up to full coverage over thousands.
    const struct { float turns; FillRule rule; bool filled; } cases[] = {
        {20000, FillRule::NonZero, true}, {20000, FillRule::EvenOdd, false}, {20001, FillRule::EvenOdd, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.turns);
        Canvas canvas(16, 16);
        PathBuilder builder;
        builder.Arc(8, 8, 12, 12, 0, c.turns * kTurn, ArcType::Open);
        builder.ToPath(canvas)->Draw(FillIn(canvas, kOpaque, c.rule), nullptr);
        int inside = 0;
        for (int row = 0; row < 16; ++row)
            for (int column = 0; column < 16; ++column) {
                // Distances from the centre to the pixel's farthest corner and nearest point.
                const double dx = std::max(std::fabs(column - 8.0), std::fabs(column + 1 - 8.0));
                const double dy = std::max(std::fabs(row - 8.0), std::fabs(row + 1 - 8.0));
                const double nx = std::max(0.0, std::max(8.0 - (column + 1), column - 8.0));
                const double ny = std::max(0.0, std::max(8.0 - (row + 1), row - 8.0));
                if (std::hypot(dx, dy) < 5.95) {
                    ++inside;
                    ASSERT_EQ(canvas.At(column, row), c.filled ? kOpaqueBytes : 0u) << column << ", " << row;
                } else if (std::hypot(nx, ny) > 6.05) {
                    ASSERT_EQ(canvas.At(column, row), 0u) << column << ", " << row;
                }
            }
        EXPECT_EQ(inside, 88);
    }
}

TEST(Robustness, ArcFarLargerThanTheSurfaceDrawsInBoundedTime) {
    // A circle of radius 5 x 10^11 path units about the origin, wound
    // thousands of times (four cubics a turn): every pixel of the surface
    // lies inside it. Scaled by 10^-10 it is a circle of radius 50 pixels
    // whose arcs pass near the surface.
    const struct { float turns, scale; bool fill, stroke; FillRule rule; uint32_t expected; } cases[] = {
        {4000, 1, true, false, FillRule::NonZero, kOpaqueBytes},
        {4001, 1, true, false, FillRule::EvenOdd, kOpaqueBytes},
        {4000, 1, false, true, FillRule::NonZero, 0},  // the stroke is far outside
        {16000, 1, false, false, FillRule::NonZero, 0},
        {101, 1e-10f, true, true, FillRule::EvenOdd, kOpaqueBytes},
        {16000, 1e-10f, false, false, FillRule::NonZero, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.turns << " " << c.scale << " " << c.fill << c.stroke);
        Canvas canvas(24, 16);
        canvas.PathTransform().Scale(c.scale, c.scale);
        PathBuilder builder;
        builder.Arc(0, 0, 1e12f, 1e12f, 0, c.turns * kTurn, ArcType::Open);
        auto path = builder.ToPath(canvas);
        const double seconds = TimedDraw(*path, c.fill ? FillIn(canvas, kOpaque, c.rule) : nullptr,
                                         c.stroke ? StrokeIn(canvas, kOpaque, 3) : nullptr);
        EXPECT_LT(seconds, kBoundSeconds);
        ExpectBlock(canvas, 0, 0, 24, 16, c.expected);
    }
}

TEST(Robustness, TallGeometryDrawsInBoundedTime) {
    // Found by fuzzing: edges 2^23 rows tall made a cell in every row.
    Canvas canvas(48, 16);
    Geometry bar;
    bar.Move(10, -4.19e6f).Line(10, 4.19e6f).Line(30, 4.19e6f).Line(30, -4.19e6f);
    EXPECT_LT(TimedDraw(*bar.On(canvas), FillIn(canvas, kOpaque), nullptr), kBoundSeconds);
    ExpectBlock(canvas, 10, 0, 30, 16, kOpaqueBytes);
}

TEST(Robustness, FineDashesOnLongPathsDrawInBoundedTime) {
    // Millions of pattern periods: the dasher steps over those that cannot
    // reach the surface, a reading of a pass stops after 2^25 entries, and the dashes
    // drawn stop once their work passes the pass's budget.
    const float far = 4194304;  // 2^22
    const struct { Geometry geometry; float width; std::vector<Dash> pattern; } cases[] = {
        {Geometry().Move(-far, 7).Line(far, 9), 1, {{0.002f, 0.002f}}},        // 2 x 10^9 entries
        {Geometry().Move(-far, -far).Line(far, -far + 5), 1, {{0.002f, 0.002f}}},  // none near
        {Geometry().Move(12, -far).Line(12, far), 304, {{0.002f, 0.002f}}},      // each dash covers all
        {Geometry().Move(12, -100).Line(12, 100), 304, {{0.0005f, 0.0005f}}},   // finer than 1/256: undashed
        // Found by fuzzing: an edge 10^31 long, in whose rounding the
        // pattern is lost; the dasher would go round for ever at its start.
        {Geometry().Move(10, 8).Line(-1e31f, -1e31f), 1, {{0, 8}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        Canvas canvas(24, 16);
        auto stroke = StrokeIn(canvas, kOpaque, c.width);
        stroke->dashPattern = c.pattern;
        EXPECT_LT(TimedDraw(*c.geometry.On(canvas), nullptr, stroke), kBoundSeconds);
    }
    // A zigzag of 2^16 edges across and beside the surface.
    Canvas canvas(24, 16);
    Geometry zigzag;
    zigzag.Move(-1000, 0);
    for (int i = 0; i < 65536; ++i)
        zigzag.Line(-1000 + float(i) * 0.05f, i % 2 ? -3000.0f : 3000.0f);
    auto stroke = StrokeIn(canvas, kOpaque, 2, CapStyle::Round, JoinStyle::Miter);
    stroke->MiterLimit(0.5f);  // corners reach arbitrarily far: no dash with one is culled
    stroke->dashPattern = {{0.003f, 0.002f}};
    EXPECT_LT(TimedDraw(*zigzag.On(canvas), nullptr, stroke), kBoundSeconds);

    // Found by fuzzing: SVG path data whose arc from (1, 2) to (3.4e38, 0.3)
    // is a half circle of radius 1.7e38, filled and dashed. The feed reads
    // the pass twice, up to its far vertex and then clipped, and each reading
    // stepped 2^26 entries off the surface.
    Canvas arcCanvas(32, 24, Origin::BottomLeft);
    PathBuilder builder;
    try {
        builder.SvgPathData("M1 2a1 1 0 00 3.4e38.301 2 0", Matrix3::Identity);
    } catch (const ArgumentException&) {
    }
    auto arcStroke = StrokeIn(arcCanvas, kOpaque, 4);
    arcStroke->MiterLimit(-512);
    arcStroke->dashPattern = {{0, 0.546875f}, {0, 0.015625f}, {4.25f, 184}};
    EXPECT_LT(TimedDraw(*builder.ToPath(arcCanvas), FillIn(arcCanvas, kOpaque), arcStroke), kBoundSeconds);

    // Dashes a fifth of a pixel apart, 304 wide: memory row 5 lies 105 to
    // 106 pixels along the line, 262.5 periods of 0.4 in: gap, dash, gap,
    // dash, gap of 0.2 each cover 0.4 of its pixels, alpha 102.
    Canvas wide(24, 16);
    auto fifths = StrokeIn(wide, kOpaque, 304);
    fifths->dashPattern = {{0.2f, 0.2f}};
    Geometry().Move(12, -100).Line(12, 100).On(wide)->Draw(nullptr, fifths);
    EXPECT_EQ(wide.Alpha(5, 5), 102);
}

TEST(Robustness, FuzzedCurvesDrawInBoundedTime) {
    // Found by fuzzing: single cubics up to 10^31 path units, filled and
    // stroked with a dash pattern, so that no part of them may be culled.
    // The second made no cells at all in a pass of the saturating sweep.
    const struct { Geometry geometry; float width; } cases[] = {
        {Geometry().Move(256, 3.16913e30f).Cubic(-512, -256, 0, -2.02428e31f, 0, 0).Line(0, 0), 0.5f},
        {Geometry().Add(PathCommands::CubicToRel, {-4.5036e15f, 2, 3, -4, -1.45384e31f, 0})
             .Add(PathCommands::Close, {}),
         24},
    };
    for (const auto& c : cases) {
        Canvas canvas(24, 16);
        auto stroke = StrokeIn(canvas, kOpaque, c.width);
        stroke->dashPattern = {{3, 2}, {1, 4}};
        EXPECT_LT(TimedDraw(*c.geometry.On(canvas), FillIn(canvas, kOpaque), stroke), kBoundSeconds);
    }
}

TEST(Robustness, WideStrokeOfAWoundArcDrawsInBoundedTime) {
    // Found by fuzzing: an ellipse 20 x 144 about (4, 4) wound 4096 times,
    // stroked 80 wide. Its half-turns reach 110 pixels beyond a 32 x 24
    // surface, and the rasterizer made cells for every row of every edge
    // of the stroke: 90 s instrumented. Every pixel of the surface lies
    // within 30 pixels of the ellipse, well inside the band.
    Canvas canvas(32, 24, Origin::BottomLeft);
    PathBuilder builder;
    builder.Arc(4, 4, 20, 144, 0.5f, -4096 * kTurn, ArcType::Chord);
    auto path = builder.ToPath(canvas);
    auto stroke = StrokeIn(canvas, kOpaque, 80.3125f);
    stroke->MiterLimit(1.5e-36f);
    EXPECT_LT(TimedDraw(*path, nullptr, stroke), kBoundSeconds);
    ExpectBlock(canvas, 0, 0, 32, 24, kOpaqueBytes);
}

TEST(Robustness, FilledWoundArcCoveringTheSurfaceDrawsInBoundedTime) {
    // Found by fuzzing: an ellipse 173 x 124 about (10, -10) wound 4096
    // times, filled and stroked with a hairline; every pixel of the 32 x 24
    // surface lies inside it. The fill made 2.5 million cells to sort.
    const struct { float turns; FillRule rule; uint32_t expected; } cases[] = {
        {4096, FillRule::NonZero, kOpaqueBytes}, {4096, FillRule::EvenOdd, 0}, {4097, FillRule::EvenOdd, kOpaqueBytes}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.turns);
        Canvas canvas(32, 24, Origin::BottomLeft);
        PathBuilder builder;
        builder.Arc(10, -10, 173.40625f, 124.015625f, -360.875f, c.turns * kTurn, ArcType::Open);
        auto path = builder.ToPath(canvas);
        auto stroke = StrokeIn(canvas, kOpaque, 0.046875f, CapStyle::Square);
        EXPECT_LT(TimedDraw(*path, FillIn(canvas, kOpaque, c.rule), stroke), kBoundSeconds);
        ExpectBlock(canvas, 0, 0, 32, 24, c.expected);
    }
}

TEST(Robustness, NegativeLineWidthStrokesAsItsMagnitude) {
    // Three collinear points whose two directions differ in the last bit:
    // the stroker's shortcut for collinear joins keeps the sign of the
    // width, so stroked -40 wide the middle join became a whole circle of
    // radius 20, a disc that even-odd left uncovered about the centreline.
    const Geometry line = Geometry().Move(2, 2).Line(18.625f, 66.125f).Line(25.1875f, 91.4375f);
    for (FillRule rule : {FillRule::EvenOdd, FillRule::NonZero}) {
        SCOPED_TRACE(int(rule));
        std::vector<uint8_t> drawn[2];
        for (int negative = 0; negative < 2; ++negative) {
            Canvas canvas(48, 100);
            // The fill of collinear points covers nothing; it sets the rule.
            line.On(canvas)->Draw(FillIn(canvas, kOpaque, rule),
                                  StrokeIn(canvas, kOpaque, negative ? -40.0f : 40.0f, CapStyle::Butt, JoinStyle::Round));
            EXPECT_EQ(canvas.At(18, 66), kOpaqueBytes);  // on the centreline, 20 pixels from either side
            drawn[negative] = canvas.surface.memory;
        }
        EXPECT_EQ(drawn[0], drawn[1]);
    }
}

TEST(Robustness, FuzzedNegativeWidthOnALongCurveDrawsInBoundedTime) {
    // Found by fuzzing: a quadratic 7.7 x 10^12 long, flattened into tens of
    // thousands of nearly collinear points (a dash pattern forbids culling
    // the path), stroked with a negative width clamped to 2^24: the first
    // dash that reaches the surface spends the pass's budget of dashes. Each collinear join of the negative width was a
    // round arc, nearly 2000 of them whole circles of 18 000 points: 1.2 s
    // in an optimised build. Every pixel lies within the half width of the
    // line from (4.125, 0) to (0, 16), whose round caps leave none out.
    Canvas canvas(32, 24);
    canvas.State().scissoringEnabled = true;  // with no rectangles: clips nothing
    Geometry path;
    path.Add(PathCommands::HLineTo, {4.125f}).Line(0, 16).Add(PathCommands::SQuadTo, {256.125f, 7.73094113e12f})
        .Add(PathCommands::HLineTo, {256}).Add(PathCommands::Close, {}).Add(PathCommands::Close, {})
        .Add(PathCommands::MoveToRel, {-7.8125f, -3.95824186e15f});
    auto stroke = StrokeIn(canvas, kOpaque, -2.02428e31f, CapStyle::Round, JoinStyle::Round);
    stroke->MiterLimit(124);
    stroke->dashPattern = {{20, 2}};
    stroke->DashPhase(20);
    const Color other{1, 1, 1, 1};
    EXPECT_LT(TimedDraw(*path.On(canvas), FillIn(canvas, other), stroke), kLooseBoundSeconds);
    ExpectBlock(canvas, 0, 0, 32, 24, kOpaqueBytes);
}

TEST(Robustness, PassBeyondAggsCellStoreDrawsCompletely) {
    // An even-odd square traversed 2 101 times leaves more cells than AGG's
    // rasterizer stores (4 194 304, after which it drops the rest, here the
    // left side of the last traversals): the square must still be drawn
    // completely, and nothing outside it.
    Canvas canvas(1030, 1030);
    Geometry square;
    for (int pass = 0; pass < 2101; ++pass)
        square.Move(10, 10).Line(10, 1010).Line(1010, 1010).Line(1010, 10);
    square.On(canvas)->Draw(FillIn(canvas, kOpaque, FillRule::EvenOdd), nullptr);
    ExpectBlock(canvas, 10, 10, 1010, 1010, kOpaqueBytes);
}
