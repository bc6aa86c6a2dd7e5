// Client numbers the rasterizer cannot take as they are: coordinates beyond
// its fixed-point range or not finite, extreme widths and miter limits,
// singular transforms, unmapped memory. None may crash or hang, and drawings
// within the limits must be exactly what the plain AGG composition gives.
#include <gtest/gtest.h>

#include <agg_conv_curve.h>
#include <agg_conv_dash.h>
#include <agg_conv_stroke.h>
#include <agg_conv_transform.h>

#include <cmath>
#include <functional>

#include "DrawSupport.hpp"
#include "common/ColorBytes.hpp"
#include "common/Internals.hpp"
#include "path/AggPipeline.hpp"
#include "path/PathStorage.hpp"

using namespace DrawSupport;

namespace {

const Color kOpaque{0.2f, 0.4f, 0.6f, 1};
const uint32_t kOpaqueBytes = 0x336699FF;

struct Scene {
    const char* name;
    Origin origin;
    std::function<void(Transform&)> transform;
    BlendMode mode;
    unsigned operation;  // the AGG operation of `mode`
    Geometry geometry;
    bool fill;
    FillRule rule;
    Color fillColor;
    bool stroke;
    Color strokeColor;
    float width;
    CapStyle cap;
    JoinStyle join;
    float miterLimit;
    std::vector<Dash> dashes;
    float phase;
};

agg::rgba8 Bytes(const Color& c) {
    return agg::rgba8(ColorComponentToByte(c.R), ColorComponentToByte(c.G), ColorComponentToByte(c.B),
                      ColorComponentToByte(c.A));
}

template <class Stroker>
void SetUpStroker(Stroker& stroker, const Scene& s) {
    static const agg::line_cap_e caps[] = {agg::butt_cap, agg::round_cap, agg::square_cap};
    static const agg::line_join_e joins[] = {agg::miter_join, agg::round_join, agg::bevel_join};
    stroker.width(s.width);
    stroker.line_cap(caps[int(s.cap)]);
    stroker.line_join(joins[int(s.join)]);
    stroker.miter_limit(s.miterLimit);
}

// The composition written out with AGG alone: no limits, no guards.
void ComposePlainly(TestSupport::Surface& surface, PathStorage& storage, const agg::trans_affine& pathMatrix,
                    const Scene& s) {
    RenderingBuffer buffer(surface.memory.data(), unsigned(surface.width), unsigned(surface.height),
                           s.origin == Origin::TopLeft ? surface.stride : -surface.stride);
    PixelFormat pixelFormat(buffer);
    Renderer renderer(pixelFormat);
    pixelFormat.comp_op(s.operation);
    Rasterizer rasterizer;
    Scanline scanline;
    agg::path_storage copy;
    for (unsigned i = 0; i < storage.total_vertices(); ++i) {
        double x, y;
        const unsigned command = storage.vertex(i, &x, &y);
        copy.vertices().add_vertex(x, y, command);
    }
    agg::trans_affine matrix = pathMatrix;
    agg::conv_curve<agg::path_storage> curves(copy);
    agg::conv_transform<agg::conv_curve<agg::path_storage>> transformer(curves, matrix);
    if (s.fill) {
        rasterizer.filling_rule(s.rule == FillRule::EvenOdd ? agg::fill_even_odd : agg::fill_non_zero);
        rasterizer.reset();
        rasterizer.add_path(transformer);
        agg::render_scanlines_aa_solid(rasterizer, scanline, renderer, Bytes(s.fillColor));
    }
    if (s.stroke) {
        rasterizer.reset();
        if (s.dashes.empty()) {
            agg::conv_stroke<decltype(transformer)> stroker(transformer);
            SetUpStroker(stroker, s);
            rasterizer.add_path(stroker);
        } else {
            agg::conv_dash<decltype(transformer)> dasher(transformer);
            for (const Dash& d : s.dashes)
                dasher.add_dash(d.Length, d.Gap);
            dasher.dash_start(s.phase);
            agg::conv_stroke<decltype(dasher)> stroker(dasher);
            SetUpStroker(stroker, s);
            rasterizer.add_path(stroker);
        }
        agg::render_scanlines_aa_solid(rasterizer, scanline, renderer, Bytes(s.strokeColor));
    }
}

void CompareWithPlainComposition(const Scene& s) {
    const int width = 96, height = 80;
    Canvas canvas(width, height, s.origin);
    canvas.surface.Fill(200, 180, 160, 255);
    for (int row = 0; row < height; row += 3)
        for (int column = 0; column < width; column += 2)
            canvas.surface.Pixel(column, row)[3] = 0;  // both see the same odd pixels
    TestSupport::Surface plain(width, height);
    std::copy(canvas.surface.memory.begin(), canvas.surface.memory.end(), plain.memory.begin());

    s.transform(canvas.PathTransform());
    canvas.State().blendMode = s.mode;
    auto path = s.geometry.On(canvas);
    auto fill = FillIn(canvas, s.fillColor, s.rule);
    auto stroke = StrokeIn(canvas, s.strokeColor, s.width, s.cap, s.join);
    stroke->MiterLimit(s.miterLimit);
    stroke->dashPattern = s.dashes;
    stroke->DashPhase(s.phase);
    path->Draw(s.fill ? fill : nullptr, s.stroke ? stroke : nullptr);

    const Matrix3 m = canvas.PathTransform().Get();
    ComposePlainly(plain, Internals::StorageOf(*path), agg::trans_affine(m[0], m[1], m[3], m[4], m[6], m[7]), s);
    EXPECT_EQ(canvas.surface.memory, plain.memory) << s.name;
    EXPECT_NE(canvas.surface.memory, std::vector<uint8_t>(canvas.surface.memory.size(), 0)) << s.name;
}

}  // namespace

TEST(DrawLimits, DrawingsWithinTheLimitsAreThePlainComposition) {
    const Color half{0.9f, 0.2f, 0.1f, 0.6f}, green{0.1f, 0.8f, 0.3f, 0.8f};
    auto identity = [](Transform&) {};
    const Scene scenes[] = {
        {"shapes, round dashed stroke", Origin::TopLeft, identity, BlendMode::SourceOver, agg::comp_op_src_over,
         Geometry().Rectangle(5, 5, 40, 30).Circle(60, 40, 25).Move(10, 70).Cubic(30, 40, 60, 90, 90, 60),
         true, FillRule::NonZero, half, true, green, 3, CapStyle::Round, JoinStyle::Round, 4,
         {{7, 3}, {2, 2}}, 2},
        {"rotated star, even-odd, bevelled square caps, multiply", Origin::BottomLeft,
         [](Transform& t) {
             t.Rotate(0.3f);
             t.Scale(1.5f, 1.2f);
             t.Translate(30, 5);
         },
         BlendMode::Multiply, agg::comp_op_multiply,
         Geometry().Move(20, 0).Line(32, 36).Line(1, 13).Line(39, 13).Line(8, 36).Close().Move(0, 40).Line(30, 45),
         true, FillRule::EvenOdd, half, true, green, 2.5f, CapStyle::Square, JoinStyle::Bevel, 4, {}, 0},
        {"near the raster limit", Origin::TopLeft, identity, BlendMode::SourceOver, agg::comp_op_src_over,
         Geometry().Rectangle(-4.1e6f, 5, 4.1e6f, 12).Move(10, 20).Line(4.1e6f, 40).Line(4.1e6f, 70).Line(20, 70), true,
         FillRule::NonZero, half, true, green, 2, CapStyle::Butt, JoinStyle::Miter, 3, {}, 0},
        {"arcs, smooth curves, negative phase", Origin::TopLeft, identity, BlendMode::Screen, agg::comp_op_screen,
         Geometry()
             .Move(10, 40)
             .Add(PathCommands::LCcwArcTo, {20, 15, 0.4f, 50, 40})
             .Add(PathCommands::SCubicToRel, {20, 30, 40, 0})
             .Add(PathCommands::SQuadTo, {70, 10})
             .Close(),
         true, FillRule::NonZero, half, true, green, 1.5f, CapStyle::Round, JoinStyle::Miter, 10, {{5, 2}, {1, 2}},
         -3},
        {"a curve of 2 x 10^9 path units, scaled down", Origin::TopLeft,
         [](Transform& t) {
             t.Scale(3e-8f, 3e-8f);
             t.Translate(48, 40);
         },
         BlendMode::SourceOver, agg::comp_op_src_over, Geometry().Circle(0, 0, 1e9f), true, FillRule::EvenOdd, half,
         true, green, 1.5f, CapStyle::Butt, JoinStyle::Round, 4, {{4, 2}}, 30},
        {"a stream that starts with a line", Origin::BottomLeft, identity, BlendMode::Darken, agg::comp_op_darken,
         Geometry().Line(50, 10).Line(60, 70), true, FillRule::NonZero, half, false, green, 1, CapStyle::Butt,
         JoinStyle::Miter, 4, {}, 0},
    };
    for (const Scene& s : scenes)
        CompareWithPlainComposition(s);
}

TEST(DrawLimits, GeometryBeyondTheRasterRangeIsClippedExactly) {
    // Beyond 2^22 pixels the path is clipped to the surface in extended
    // precision; edges off to the side keep their winding, so the pixels
    // inside are those of the shape.
    struct Case {
        const char* name;
        Geometry geometry;
        int left, top, right, bottom;
    };
    const Case cases[] = {
        {"far right edge", Geometry().Rectangle(10, 10, 1e30f, 20), 10, 10, 40, 20},
        {"just past the range", Geometry().Rectangle(10, 10, 1e7f, 20), 10, 10, 40, 20},
        {"far left edge", Geometry().Rectangle(-1e30f, 10, 20, 20), 0, 10, 20, 20},
        {"everything", Geometry().Rectangle(-1e7f, -1e30f, 1e7f, 1e30f), 0, 0, 40, 30},
        {"huge triangle", Geometry().Move(0, 0).Line(1e30f, 0).Line(0, 1e30f), 0, 0, 40, 30},
        {"far rows", Geometry().Rectangle(5, -3e38f, 15, 3e38f), 5, 0, 15, 30},
    };
    for (const Case& c : cases) {
        Canvas canvas(40, 30);
        c.geometry.On(canvas)->Draw(FillIn(canvas, kOpaque), nullptr);
        for (int row = 0; row < 30; ++row)
            for (int column = 0; column < 40; ++column) {
                const bool in = column >= c.left && column < c.right && row >= c.top && row < c.bottom;
                ASSERT_EQ(canvas.At(column, row), in ? kOpaqueBytes : 0u) << c.name << " " << column << ", " << row;
            }
    }
    // A stroke running off to 10^30: rows 9 and 10 from column 10 on.
    Canvas canvas(40, 30);
    Geometry().Move(10, 10).Line(1e30f, 10).On(canvas)->Draw(nullptr, StrokeIn(canvas, kOpaque, 2));
    EXPECT_EQ(canvas.At(10, 9), kOpaqueBytes);
    EXPECT_EQ(canvas.At(39, 10), kOpaqueBytes);
    EXPECT_EQ(canvas.At(9, 9), 0u);
    EXPECT_EQ(canvas.At(20, 11), 0u);
}

TEST(DrawLimits, HugeCurvesStayBounded) {
    // A quarter circle of radius 10^12 path units scaled to 100 pixels: its
    // flattening is coarsened to the curve's size, still far below a pixel.
    Canvas canvas(110, 110);
    canvas.PathTransform().Scale(1e-10f, 1e-10f);
    const float r = 1e12f, k = 0.5522847498f * r;
    Geometry().Move(0, 0).Line(r, 0).Cubic(r, k, k, r, 0, r).Close().On(canvas)->Draw(FillIn(canvas, kOpaque),
                                                                                      nullptr);
    EXPECT_EQ(canvas.At(69, 69), kOpaqueBytes);  // radius 98.2 to 99.6
    EXPECT_EQ(canvas.At(71, 71), 0u);            // radius 100.4 to 101.8
    EXPECT_EQ(canvas.At(98, 5), kOpaqueBytes);
    EXPECT_EQ(canvas.At(5, 100), 0u);

    // Control points at 10^30 and beyond float range after scaling: it ends.
    Canvas far(40, 30);
    far.PathTransform().Scale(1e30f, 1e30f);
    auto path = Geometry().Move(1e-29f, 1e-29f).Cubic(1e30f, 0, 0, 1e30f, 2e-29f, 2e-29f).On(far);
    path->Draw(FillIn(far, kOpaque), StrokeIn(far, kOpaque, 3, CapStyle::Round, JoinStyle::Round));
}

TEST(DrawLimits, NonFiniteCoordinatesDrawNothing) {
    const float nan = NAN, inf = INFINITY;
    const Geometry cases[] = {
        Geometry().Rectangle(2, 2, 20, 20).Move(nan, 3).Line(5, 5),
        Geometry().Rectangle(2, 2, 20, 20).Line(inf, 3),
        Geometry().Move(2, 2).Cubic(10, nan, 20, 20, 30, 2),
        Geometry().Move(2, 2).Add(PathCommands::QuadTo, {-inf, 5, 20, 20}),
        Geometry().Move(2, 2).Add(PathCommands::SCcwArcTo, {nan, 5, 0, 20, 20}),
    };
    for (const Geometry& g : cases) {
        Canvas canvas(32, 32);
        auto stroke = StrokeIn(canvas, kOpaque, 3, CapStyle::Round, JoinStyle::Round);
        stroke->dashPattern = {{2, 1}};
        g.On(canvas)->Draw(FillIn(canvas, kOpaque), stroke);
        EXPECT_EQ(canvas.surface.memory, std::vector<uint8_t>(canvas.surface.memory.size(), 0));
    }
}

TEST(DrawLimits, ExtremeLineWidthsAndMiterLimits) {
    // A straight line for the widths, a right angle for the miters.
    auto draw = [](std::function<void(StrokeState&)> configure, bool corner) {
        Canvas canvas(40, 30);
        auto stroke = StrokeIn(canvas, kOpaque, 6, CapStyle::Square);
        configure(*stroke);
        Geometry geometry = Geometry().Move(5, 20).Line(20, 20);
        if (corner)
            geometry.Line(20, 5);
        geometry.On(canvas)->Draw(corner ? nullptr : FillIn(canvas, {1, 0, 0, 0.5f}), stroke);
        return canvas.surface.memory;
    };
    const std::vector<uint8_t> empty(40 * 30 * 4, 0), everything = [] {
        std::vector<uint8_t> bytes;
        for (int i = 0; i < 40 * 30; ++i)
            bytes.insert(bytes.end(), {0x33, 0x66, 0x99, 0xFF});
        return bytes;
    }();
    // NaN: no stroke (the fill, of a line, covers nothing). Infinite or
    // vast: square caps that cover everything.
    EXPECT_EQ(draw([](StrokeState& s) { s.LineWidth(NAN); }, false), empty);
    EXPECT_NE(draw([](StrokeState& s) { s.LineWidth(1); }, false), empty);
    for (float width : {INFINITY, -INFINITY, 1e30f, -3e38f})
        EXPECT_EQ(draw([=](StrokeState& s) { s.LineWidth(width); }, false), everything) << width;

    // A right-angle miter is 1.41 half widths long: any limit above that,
    // infinity included, gives the same full miter; NaN means the default 4.
    const std::vector<uint8_t> miter = draw([](StrokeState&) {}, true);
    EXPECT_NE(miter, draw([](StrokeState& s) { s.MiterLimit(1); }, true));
    for (float limit : {NAN, INFINITY, 1e30f})
        EXPECT_EQ(draw([=](StrokeState& s) { s.MiterLimit(limit); }, true), miter) << limit;
    draw([](StrokeState& s) { s.MiterLimit(-INFINITY); }, true);
    draw([](StrokeState& s) {
        s.MiterLimit(INFINITY);
        s.LineWidth(0);
    }, true);
}

TEST(DrawLimits, SingularAndNonFiniteTransforms) {
    auto geometry = Geometry().Rectangle(4, 4, 12, 12);
    {
        // A path transform of scale 0 flattens everything to a point.
        Canvas canvas(16, 16);
        canvas.PathTransform().Scale(0, 0);
        geometry.On(canvas)->Draw(FillIn(canvas, kOpaque),
                                  StrokeIn(canvas, kOpaque, 3, CapStyle::Square, JoinStyle::Round));
        EXPECT_EQ(canvas.surface.memory, std::vector<uint8_t>(canvas.surface.memory.size(), 0));
    }
    {
        Canvas canvas(16, 16);
        Matrix3 m = Matrix3::Identity;
        m[6] = NAN;
        canvas.PathTransform().Set(m);
        geometry.On(canvas)->Draw(FillIn(canvas, kOpaque), StrokeIn(canvas, kOpaque, 3));
        EXPECT_EQ(canvas.surface.memory, std::vector<uint8_t>(canvas.surface.memory.size(), 0));
    }
    {
        // Singular paint transforms: the colour paint does not use them.
        Canvas canvas(16, 16);
        canvas.context->transforms->fillPaint->Scale(0, 0);
        canvas.context->transforms->strokePaint->Scale(0, 1);
        geometry.On(canvas)->Draw(FillIn(canvas, kOpaque), nullptr);
        for (int row = 0; row < 16; ++row)
            for (int column = 0; column < 16; ++column)
                ASSERT_EQ(canvas.At(column, row),
                          column >= 4 && column < 12 && row >= 4 && row < 12 ? kOpaqueBytes : 0u);
    }
}

TEST(DrawLimits, UnmappedMemoryDrawsNothingButStillValidates) {
    orv_surface* surface = orv_surface_create_for_data(8, 8, TestSupport::kAB24, 32, nullptr);
    ASSERT_NE(surface, nullptr);
    {
        auto context = std::make_shared<Context2D>(surface);
        Path path(context);
        const std::vector<PathCommands> commands = {PathCommands::MoveTo, PathCommands::LineTo, PathCommands::LineTo};
        path.AppendData(commands, {0, 0, 8, 0, 8, 8});
        auto fill = std::make_shared<FillState>();
        fill->Paint(std::make_shared<ColorPaint>(context, kOpaque));
        auto stroke = std::make_shared<StrokeState>();
        stroke->Paint(std::make_shared<ColorPaint>(context, kOpaque));
        path.Draw(fill, stroke);

        context->renderState->blendMode = BlendMode(12);
        EXPECT_THROW(path.Draw(nullptr, nullptr), NotSupportedException);
        context->renderState->blendMode = BlendMode::Source;
        fill->FillRule(FillRule(2));
        EXPECT_THROW(path.Draw(fill, stroke), NotSupportedException);
        fill->FillRule(FillRule::NonZero);
        stroke->JoinStyle(JoinStyle(9));
        EXPECT_THROW(path.Draw(fill, stroke), NotSupportedException);
    }
    orv_surface_destroy(surface);

    orv_surface* other = orv_surface_create_for_data(8, 8, TestSupport::kRX24, 32, nullptr);
    {
        Path path(std::make_shared<Context2D>(other));
        EXPECT_THROW(path.Draw(nullptr, nullptr), InvalidOperationException);
    }
    orv_surface_destroy(other);
}
