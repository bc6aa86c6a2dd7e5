// Worked figures of the drawing pipeline, and its exceptions.
#include <gtest/gtest.h>

#include "DrawSupport.hpp"
#include "common/Internals.hpp"
#include "pipeline/AggTypes.hpp"
#include "pipeline/PathStorage.hpp"

using namespace DrawSupport;
typedef std::vector<std::pair<int, int>> Ranges;  // [from, to) column ranges

namespace {

struct ProbePaint : Paint {
    ProbePaint(const std::shared_ptr<Context2D>& context, bool throws) : Paint(context), throws(throws) {}
    void Rasterize(void* rasterizer, void*, void*, void*) override {
        ++calls, cells = static_cast<Rasterizer*>(rasterizer)->rewind_scanlines();
        if (throws)
            throw NotSupportedException();
    }
    bool throws, cells = false;
    int calls = 0;
};

uint32_t Covered(const Ranges& ranges, int column) {
    for (auto r : ranges)
        if (column >= r.first && column < r.second)
            return kOpaqueBytes;
    return 0;
}

}  // namespace

TEST(Draw, CurvesAreFlattenedBeforeThePathTransform) {
    // A unit circle flattened to 0.5 units: three chords a quarter, corners at
    // radius 1.026 near 23 degrees, the middle chord 0.951 from the centre.
    Canvas polygon(240, 240), smooth(240, 240);
    polygon.PathTransform().Scale(100, 100);
    polygon.PathTransform().Translate(120, 120);
    Geometry().Circle(0, 0, 1).On(polygon)->Draw(FillIn(polygon, kOpaque), nullptr);
    Geometry().Circle(120, 120, 100).On(smooth)->Draw(FillIn(smooth, kOpaque), nullptr);
    EXPECT_EQ(polygon.At(189, 189), 0u);  // 45 degrees, radius 97.6 to 99.0
    EXPECT_EQ(smooth.At(189, 189), kOpaqueBytes);
    EXPECT_EQ(polygon.At(213, 159), kOpaqueBytes);  // 23 degrees, radius 100.8 to 102.2
    EXPECT_EQ(smooth.At(213, 159), 0u);
}

TEST(Draw, BlendModesAtFullCoverage) {
    // Colours convert as c x 255 + 0.5 truncated, premultiply as (C x A + 255)
    // >> 8. The first ten rows composite S = (122, 47, 77), Sa = 153 over D =
    // (60, 120, 30), Da = 160 by each mode's formula in fractions of 255, rounded.
    typedef BlendMode B;
    const Color s{0.8f, 0.3f, 0.5f, 0.6f}, clear{0.3f, 0.7f, 0.1f, 0};
    const uint32_t d = 0x3C781EA0, opaque = 0x0CC863FF;
    struct Case { BlendMode mode; Color color; uint32_t destination, expected; } const cases[] = {
        {B::Source, s, d, 0x7A2F4D99}, {B::SourceOver, s, d, 0x925F59D9}, {B::DestinationOver, s, d, 0x698A3BD9},
        {B::SourceIn, s, d, 0x4D1D3060}, {B::DestinationIn, s, d, 0x24481260}, {B::Multiply, s, d, 0x625832D9},
        {B::Screen, s, d, 0x999162D9}, {B::Darken, s, d, 0x695F3BD9}, {B::Lighten, s, d, 0x928A59D9},
        {B::Plus, s, d, 0xB6A76BFF}, {B::Plus, {0.6f, 0.6f, 0.6f, 1}, 0x999999FF, 0xFFFFFFFF},
        {B::Source, clear, opaque, 0},
        // Half red over opaque white.
        {B::SourceOver, {1, 0, 0, 0.5f}, 0xFFFFFFFF, 0xFF7F7FFF}, {B::Source, {1, 0, 0, 0.5f}, 0xFFFFFFFF, 0x80000080},
        // Where a rounding multiply gives one less: C = 1, A = 1 gives 1;
        // 3 and 100 with A = 200 give 3 and 79.
        {B::Source, {1 / 255.f, 1, 0, 1 / 255.f}, d, 0x01010001},
        {B::Source, {3 / 255.f, 100 / 255.f, 200 / 255.f, 200 / 255.f}, d, 0x034F9DC8},
    };
    for (const Case& c : cases) {
        Canvas canvas(6, 6);
        canvas.surface.Fill(c.destination >> 24, c.destination >> 16 & 255, c.destination >> 8 & 255,
                            c.destination & 255);
        canvas.State().blendMode = c.mode;
        Geometry().Rectangle(1, 1, 4, 4).On(canvas)->Draw(FillIn(canvas, c.color), nullptr);
        SCOPED_TRACE(testing::Message() << "mode " << int(c.mode) << " expected " << std::hex << c.expected);
        ExpectBlock(canvas.surface, 1, 1, 4, 4, c.expected, c.destination);
    }
}

TEST(Draw, ScissorBoxesIncludeBothEdges) {
    struct Case { std::vector<IntRectangle> rectangles; int left, top, right, bottom; };
    const Case cases[] = {
        {{{0, 0, 10, 10}}, 0, 0, 11, 11},
        {{{20, 20, 5, 5}, {-9, 0, 3, 3}}, 0, 0, 16, 16},  // boxes all outside: nothing to clip to
        {{{0, 0, 4, 2}, {INT32_MIN, INT32_MIN, 2, INT32_MAX}}, 0, 0, 5, 3},
        {{{10, 12, INT32_MAX, INT32_MAX}}, 10, 12, 16, 16},  // X + Width beyond int
    };
    for (const Case& c : cases) {
        Canvas canvas(16, 16, &c == cases ? Origin(7) : Origin::TopLeft);  // 7 draws as top-left
        canvas.State().scissoringEnabled = true;
        canvas.State().scissorRectangles = c.rectangles;
        Geometry().Rectangle(-5, -5, 30, 30).On(canvas)->Draw(FillIn(canvas, kOpaque), nullptr);
        ExpectBlock(canvas.surface, c.left, c.top, c.right, c.bottom, kOpaqueBytes);
    }

    // Half-transparent blue premultiplies to (0, 0, 128, 128); composited
    // twice, 128 + 128 - 128 x 128 / 255 = 192: where boxes overlap, and
    // where the same path is drawn again.
    Canvas canvas(10, 10);
    canvas.State().scissoringEnabled = true;
    canvas.State().scissorRectangles = {{2, 2, 4, 4}, {4, 4, 4, 4}};
    auto path = Geometry().Rectangle(0, 0, 10, 10).On(canvas);
    path->Draw(FillIn(canvas, {0, 0, 1, 0.5f}), nullptr);
    const uint32_t expected[][3] = {{1, 1, 0}, {3, 3, 0x8080}, {5, 5, 0xC0C0}, {7, 7, 0x8080}, {7, 2, 0}, {9, 9, 0}};
    for (auto& e : expected)
        EXPECT_EQ(canvas.At(int(e[0]), int(e[1])), e[2]) << e[0] << ", " << e[1];
    canvas.State().scissoringEnabled = false;
    path->Draw(FillIn(canvas, {0, 0, 1, 0.5f}), nullptr);
    EXPECT_EQ(canvas.At(1, 1), 0x8080u);
    EXPECT_EQ(canvas.At(3, 3), 0xC0C0u);
    EXPECT_EQ(Internals::StorageOf(*path).total_vertices(), 5u);  // drawing leaves the path as it was
}

TEST(Draw, JoinsAndMiterLimits) {
    // A corner at (30, 30), 10 wide: the outer corner is x, y in 30..35. A
    // bevel cuts it at x + y = 65, a round join is a disc of radius 5, a miter
    // beyond its limit is cut at x + y = 60 + limit x 5 x 1.41. Alpha along
    // the diagonal, 1 for partial.
    struct Case { JoinStyle join; float limit; uint8_t at[3]; } const cases[] = {
        {JoinStyle::Miter, 4, {255, 255, 255}}, {JoinStyle::Miter, 1.5f, {255, 255, 255}},
        {JoinStyle::Miter, 1.3f, {255, 255, 1}}, {JoinStyle::Miter, 1, {255, 1, 0}},
        {JoinStyle::Bevel, 4, {1, 0, 0}},        {JoinStyle::Round, 4, {255, 1, 0}},
    };
    for (const Case& c : cases) {
        Canvas canvas(48, 48);
        auto stroke = StrokeIn(canvas, kOpaque, 10, CapStyle::Butt, c.join);
        stroke->MiterLimit(c.limit);
        Geometry().Move(10, 30).Line(30, 30).Line(30, 10).On(canvas)->Draw(nullptr, stroke);
        EXPECT_EQ(canvas.At(27, 27), kOpaqueBytes);  // the inner corner
        for (int i = 0; i < 3; ++i) {
            const uint8_t alpha = canvas.Alpha(32 + i, 32 + i);
            EXPECT_TRUE(c.at[i] == 1 ? alpha > 0 && alpha < 255 : alpha == c.at[i])
                << int(c.join) << " " << c.limit << " pixel " << i << ": " << int(alpha);
        }
    }
}

TEST(Draw, DashIntervalsAndPhases) {
    // {10, 5} on lines 40 and 12 long. A phase of 0 or more restarts at each
    // sub-path; -5 starts as 5 does and runs on: 45 in, the second starts a dash.
    struct Case { float phase; Ranges first, second; } const cases[] = {
        {0, {{0, 10}, {15, 25}, {30, 40}}, {{0, 10}}},
        {5, {{0, 5}, {10, 20}, {25, 35}}, {{0, 5}, {10, 12}}},
        {-5, {{0, 5}, {10, 20}, {25, 35}}, {{0, 10}}},
    };
    for (const Case& c : cases) {
        Canvas canvas(48, 12);
        auto stroke = StrokeIn(canvas, kOpaque, 2);
        stroke->dashPattern = {{10, 5}};
        stroke->DashPhase(c.phase);
        Geometry().Move(0, 3).Line(40, 3).Move(0, 9).Line(12, 9).On(canvas)->Draw(nullptr, stroke);
        for (int column = 0; column < 48; ++column)
            for (int row : {2, 3, 8, 9})
                EXPECT_EQ(canvas.At(column, row), Covered(row < 5 ? c.first : c.second, column))
                    << c.phase << " " << column << ", " << row;
    }
}

TEST(Draw, EvenOddFillMakesTheStrokeOfAnXLeaveItsCrossingOpen) {
    // A stroke outline is rasterised with the fill pass's rule, also when a
    // client's paint takes the stroke to the reference road after the fill
    // took the library's; on the library's road alone the differential scenes check it.
    struct ClientPaint : ColorPaint {
        using ColorPaint::ColorPaint;
    };
    for (FillRule rule : {FillRule::EvenOdd, FillRule::NonZero}) {
        Canvas canvas(32, 32);
        auto stroke = StrokeIn(canvas, kOpaque, 4);
        stroke->Paint(std::make_shared<ClientPaint>(canvas, kOpaque));
        Geometry().Move(5, 5).Line(25, 25).Line(25, 5).Line(5, 25).On(canvas)->Draw(FillIn(canvas, {}, rule), stroke);
        EXPECT_EQ(canvas.At(14, 14), rule == FillRule::NonZero ? kOpaqueBytes : 0u) << int(rule);
        EXPECT_EQ(canvas.At(8, 8), kOpaqueBytes);
    }
}

TEST(Draw, ExceptionsAndWhatWasDrawnBeforeThem) {
    {
        TestSupport::Surface surface(4, 4, TestSupport::kRA24);
        EXPECT_THROW(Geometry().On(std::make_shared<Context2D>(surface.surface))->Draw(nullptr, nullptr),
                     InvalidOperationException);
        EXPECT_EQ(orv_surface_sync_start_count_get(surface.surface), 0);
    }
    // States without a paint, or none, skip their pass; settings are examined
    // only for the pass that runs; the fill is in when the stroke pass fails.
    enum { None, NoPaint, Colour, Throwing };
    struct Case { int blend, fill, rule, stroke, cap, join; bool throws, fillDrawn; } const cases[] = {
        {10, Colour, 1, Colour, 0, 0, true, false},  {10, None, 1, None, 0, 0, true, false},
        {1, Colour, 7, Colour, 0, 0, true, false},   {1, NoPaint, 7, None, 0, 0, false, false},
        {1, Colour, 1, Colour, 5, 0, true, true},    {1, Colour, 1, Colour, 0, 3, true, true},
        {1, Colour, 1, NoPaint, 3, 0, false, true},  {1, Colour, 1, Throwing, 0, 0, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        Canvas canvas(8, 8);
        canvas.State().blendMode = BlendMode(c.blend);
        auto fill = c.fill == Colour ? FillIn(canvas, kOpaque) : std::make_shared<FillState>();
        auto stroke = c.stroke == Colour ? StrokeIn(canvas, {1, 0, 0, 1}, 1) : std::make_shared<StrokeState>();
        if (c.stroke == Throwing)
            stroke->Paint(std::make_shared<ProbePaint>(canvas, true));
        fill->FillRule(FillRule(c.rule));
        stroke->CapStyle(CapStyle(c.cap));
        stroke->JoinStyle(JoinStyle(c.join));
        auto path = Geometry().Rectangle(2, 2, 6, 6).On(canvas);
        auto draw = [&] { path->Draw(c.fill ? fill : nullptr, c.stroke ? stroke : nullptr); };
        if (c.throws)
            EXPECT_THROW(draw(), NotSupportedException);
        else
            draw();
        ExpectBlock(canvas.surface, 2, 2, c.fillDrawn ? 6 : 2, 6, kOpaqueBytes);
        EXPECT_EQ(orv_surface_sync_start_count_get(canvas.surface.surface), 1);
    }
}

TEST(Draw, PaintsAreCalledEvenWithoutCoverage) {
    Canvas canvas(8, 8);
    auto fillProbe = std::make_shared<ProbePaint>(canvas.context, false);
    auto strokeProbe = std::make_shared<ProbePaint>(canvas.context, false);
    auto fill = std::make_shared<FillState>();
    auto stroke = std::make_shared<StrokeState>();
    fill->Paint(fillProbe), stroke->Paint(strokeProbe);
    Path(canvas.context).Draw(fill, stroke);
    Geometry().Move(1, 1).Move(5, 5).On(canvas)->Draw(fill, stroke);  // only move-to commands
    EXPECT_EQ(fillProbe->calls + strokeProbe->calls, 4);
    EXPECT_FALSE(fillProbe->cells || strokeProbe->cells);
    Geometry().Rectangle(1, 1, 5, 5).On(canvas)->Draw(fill, stroke);
    EXPECT_TRUE(fillProbe->cells && strokeProbe->cells);
}
