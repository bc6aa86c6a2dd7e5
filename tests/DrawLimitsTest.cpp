// Coordinates, widths, miter limits, dashes and transforms beyond the rasterizer's range.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "DrawSupport.hpp"

using namespace DrawSupport;
typedef std::function<void(Transform&)> Transformation;
typedef std::function<void(StrokeState&)> StrokeSettings;

TEST(DrawLimits, GeometryBeyondTheRasterRangeIsClippedExactly) {
    // Beyond 2^22 pixels, clipped in extended precision; edges off to the side keep their winding.
    struct Case { Geometry geometry; bool stroke; int left, top, right, bottom; } const cases[] = {
        {Geometry().Rectangle(10, 10, 1e30f, 20), false, 10, 10, 40, 20},
        {Geometry().Rectangle(-1e30f, 10, 20, 20), false, 0, 10, 20, 20},
        {Geometry().Move(0, 0).Line(1e30f, 0).Line(0, 1e30f), false, 0, 0, 40, 30},
        {Geometry().Rectangle(5, -3e38f, 15, 3e38f), false, 5, 0, 15, 30},
        {Geometry().Move(10, 10).Line(1e30f, 10), true, 10, 9, 40, 11},
        // Within the raster range but wider than a scanline's 16-bit spans.
        {Geometry().Rectangle(-4.1e6f, 5, 4.1e6f, 12), false, 0, 5, 40, 12},
        {Geometry().Move(40, 20).Line(4.1e6f, 20).Line(4.1e6f, 26).Line(20, 26), true, 20, 25, 40, 27},
    };
    for (const Case& c : cases) {
        Canvas canvas(40, 30);
        c.geometry.On(canvas)->Draw(c.stroke ? nullptr : FillIn(canvas, kOpaque),
                                    c.stroke ? StrokeIn(canvas, kOpaque, 2) : nullptr);
        ExpectBlock(canvas.surface, c.left, c.top, c.right, c.bottom, kOpaqueBytes);
    }

    // 2^14 pixels wide or wider: the edge crossing row 17 at y = 17.69 covers
    // 31% of the pixels under it (the packaged rasterizer gave about twice that).
    Canvas wide(40, 30);
    Geometry().Move(-20000, 3).Line(37.3f, 17.7f).Line(5, 25).Add(PathCommands::Close, {})
        .On(wide)->Draw(FillIn(wide, kOpaque), nullptr);
    EXPECT_NEAR(wide.Alpha(25, 17), 79, 3);
    EXPECT_EQ(wide.Alpha(25, 18), 255);
    EXPECT_EQ(wide.Alpha(25, 16), 0);

    // A quarter circle of radius 10^12 scaled to 100 pixels: flattened far below a pixel.
    Canvas canvas(110, 110);
    canvas.PathTransform().Scale(1e-10f, 1e-10f);
    const float r = 1e12f, k = 0.5522847498f * r;
    Geometry().Move(0, 0).Line(r, 0).Cubic(r, k, k, r, 0, r).On(canvas)->Draw(FillIn(canvas, kOpaque), nullptr);
    EXPECT_EQ(canvas.At(69, 69), kOpaqueBytes);  // radius 98.2 to 99.6
    EXPECT_EQ(canvas.At(71, 71), 0u);            // radius 100.4 to 101.8
    // Control points at 10^30 scaled beyond float range: the draw ends.
    Canvas far(40, 30);
    far.PathTransform().Scale(1e30f, 1e30f);
    Geometry().Move(1e-29f, 1e-29f).Cubic(1e30f, 0, 0, 1e30f, 2e-29f, 2e-29f).On(far)->Draw(
        FillIn(far, kOpaque), StrokeIn(far, kOpaque, 3, CapStyle::Round, JoinStyle::Round));
}

TEST(DrawLimits, UndrawableNumbersDrawNothing) {
    const float nan = NAN, inf = INFINITY;
    const Transformation none = [](Transform&) {};
    const Geometry square = Geometry().Rectangle(2, 2, 20, 20);
    Matrix3 notFinite = Matrix3::Identity;
    notFinite[6] = NAN;
    struct Case { Geometry geometry; Transformation transform; float width; } const cases[] = {
        {Geometry(square).Move(nan, 3).Line(5, 5), none, 3},
        {Geometry(square).Line(inf, 3), none, 3},
        {Geometry().Move(2, 2).Cubic(10, nan, 20, 20, 30, 2), none, 3},
        {Geometry().Move(2, 2).Add(PathCommands::QuadTo, {-inf, 5, 20, 20}), none, 3},
        {Geometry().Move(2, 2).Add(PathCommands::SCcwArcTo, {nan, 5, 0, 20, 20}), none, 3},
        {square, [](Transform& t) { t.Scale(0, 0); }, 3},
        {square, [&](Transform& t) { t.Set(notFinite); }, 3},
        {Geometry().Move(5, 20).Line(20, 20), none, nan},  // the fill of a line covers nothing
    };
    for (const Case& c : cases) {
        Canvas canvas(32, 32);
        c.transform(canvas.PathTransform());
        auto stroke = StrokeIn(canvas, kOpaque, c.width, CapStyle::Round, JoinStyle::Round);
        stroke->dashPattern = {{2, 1}};
        c.geometry.On(canvas)->Draw(FillIn(canvas, kOpaque), stroke);
        ExpectBlock(canvas.surface, 0, 0, 0, 0, 0);
    }

    // Singular paint transforms: the colour paint does not use them.
    Canvas canvas(16, 16);
    canvas.context->transforms->fillPaint->Scale(0, 0);
    canvas.context->transforms->strokePaint->Scale(0, 1);
    Geometry().Rectangle(4, 4, 12, 12).On(canvas)->Draw(FillIn(canvas, kOpaque), StrokeIn(canvas, kOpaque, 2));
    ExpectBlock(canvas.surface, 3, 3, 13, 13, kOpaqueBytes);
}

TEST(DrawLimits, StrokeSettingsBeyondTheLimits) {
    // Infinite or vast widths: square caps that cover everything.
    for (float width : {INFINITY, -INFINITY, 1e30f}) {
        Canvas canvas(40, 30);
        auto stroke = StrokeIn(canvas, kOpaque, width, CapStyle::Square);
        Geometry().Move(5, 20).Line(20, 20).On(canvas)->Draw(nullptr, stroke);
        ExpectBlock(canvas.surface, 0, 0, 40, 30, kOpaqueBytes);
    }

    // Each row draws as its reference does, or not; the phase-reset flag changes nothing.
    auto stroked = [](const StrokeSettings& settings, bool reset, float end) {
        Canvas canvas(64, 40);
        auto stroke = StrokeIn(canvas, kOpaque, 3);
        settings(*stroke);
        stroke->DashPhaseResetEnabled(reset);
        Geometry().Move(2, 5).Line(60, 5).Line(60, 30).Line(end, 30).Move(5, 36).Line(60, 36).On(canvas)->Draw(
            nullptr, stroke);
        return canvas.surface.memory;
    };
    auto dashes = [](std::vector<Dash> pattern, float phase) {
        return [=](StrokeState& s) { s.dashPattern = pattern, s.DashPhase(phase); };
    };
    auto miter = [](float limit, float width) {
        return [=](StrokeState& s) { s.MiterLimit(limit), s.LineWidth(width); };
    };
    std::vector<Dash> sixteen, seventeen, notNumber, two = {{6, 2}, {1, 3}};
    for (int i = 0; i < 16; ++i)
        sixteen.push_back({float(1 + i % 3), float(2 + i % 2)});
    (seventeen = sixteen).push_back({40, 40});
    (notNumber = sixteen).push_back({NAN, 1});
    const StrokeSettings solid = [](StrokeState&) {};
    struct Case { StrokeSettings settings, reference; float end; bool same; } const cases[] = {
        // A right-angle miter is 1.41 half widths long; NaN means the default 4.
        {miter(1, 3), solid, 60, false}, {miter(NAN, 3), solid, 60, true}, {miter(INFINITY, 3), solid, 60, true},
        {miter(-INFINITY, 3), miter(-1e30f, 3), 60, true},
        {miter(INFINITY, 0), miter(1, 0), 60, true},
        // Dash records beyond 16 are ignored.
        {dashes(sixteen, 0), solid, 60, false}, {dashes(seventeen, 0), dashes(sixteen, 0), 60, true},
        {dashes(notNumber, 0), dashes(sixteen, 0), 60, true},
        // Periods below 1/256 pixel, or not numbers: undashed.
        {dashes({{0, 0}}, 0), solid, 60, true}, {dashes({{-5, 2}}, 0), solid, 60, true},
        {dashes({{5, -5}}, 0), solid, 60, true}, {dashes({{NAN, 5}}, 0), solid, 60, true},
        {dashes({{5, INFINITY}}, 0), solid, 60, true}, {dashes({{1e20f, -1e20f}, {0, 0}}, 0), solid, 60, true},
        {dashes({{0.001f, 0.001f}}, 0), solid, 60, true}, {dashes({{0.002f, 0.002f}}, 0), solid, 60, false},
        // 10^8 dashes, nearly all beyond the surface: stepped over, not undashed.
        {dashes({{0.01f, 0.01f}}, 0), solid, 1e6f, false},
        // Far phases reduce modulo the period (1e30 is a multiple of 12), keeping their sign; NaN counts as 0.
        {dashes(two, 1e30f), dashes(two, float(std::fmod(double(1e30f), 12.0))), 60, true},
        {dashes(two, -1e30f), dashes(two, -12), 60, true},  // still runs on into the second sub-path
        {dashes(two, NAN), dashes(two, 0), 60, true}, {dashes(two, INFINITY), dashes(two, 0), 60, true},
        {dashes(two, 3), dashes(two, 0), 60, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(stroked(c.settings, true, c.end) == stroked(c.reference, false, c.end), c.same) << &c - cases;
}

TEST(DrawLimits, UnmappedMemoryDrawsNothingButStillValidates) {
    orv_surface* surface = orv_surface_create_for_data(8, 8, TestSupport::kAB24, 32, nullptr);
    ASSERT_NE(surface, nullptr);
    {
        auto context = std::make_shared<Context2D>(surface);
        auto path = Geometry().Move(0, 0).Line(8, 0).Line(8, 8).On(context);
        auto stroke = StrokeIn(context, kOpaque, 2);
        path->Draw(FillIn(context, kOpaque), stroke);
        stroke->JoinStyle(JoinStyle(9));
        EXPECT_THROW(path->Draw(FillIn(context, kOpaque), stroke), NotSupportedException);
        context->renderState->blendMode = BlendMode(12);
        EXPECT_THROW(path->Draw(nullptr, nullptr), NotSupportedException);
    }
    orv_surface_destroy(surface);
}
