// Gradient paints: the worked figures of the ramp, the spreads and the two
// geometries, computed by hand; degenerate and hostile paints; the C
// interface.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "DrawSupport.hpp"
#include "capi/Handle.hpp"

using namespace DrawSupport;

namespace {

const Color kRed{1, 0, 0, 1}, kBlue{0, 0, 1, 1}, kWhite{1, 1, 1, 1}, kBlack{0, 0, 0, 1};
const float kNaN = std::numeric_limits<float>::quiet_NaN(), kInf = std::numeric_limits<float>::infinity();

template <class Gradient>
std::shared_ptr<Gradient> Make(Canvas& canvas, std::vector<ColorStop> stops, SpreadMode spread,
                               std::initializer_list<float> geometry) {
    const float* g = geometry.begin();
    std::shared_ptr<Gradient> paint;
    if constexpr (std::is_same<Gradient, LinearGradientPaint>::value)
        paint = std::make_shared<Gradient>(canvas, g[0], g[1], g[2], g[3]);
    else
        paint = std::make_shared<Gradient>(canvas, g[0], g[1], g[2], g[3], g[4]);
    paint->ColorStops = stops;
    paint->ColorRampSpreadMode = spread;
    return paint;
}

void FillWith(Canvas& canvas, const std::shared_ptr<Paint>& paint) {
    auto fill = std::make_shared<FillState>();
    fill->Paint(paint);
    Geometry().Rectangle(-10, -10, 300, 300).On(canvas)->Draw(fill, nullptr);
}

}  // namespace

TEST(GradientPaint, LinearWorkedFigures) {
    // Red to blue from (0, 0) to (100, 0): d2 = 1600 sixteenths; column c
    // samples 16c + 8 and takes entry (16c + 8) x 256 / 1600. Entry k is
    // red 1 - k / 257, blue k / 257 (the last stop sits at index 256), each
    // x 255 + 0.5 truncated. A fill paint shift of 20 puts column 10 left
    // of the start.
    typedef SpreadMode S;
    const std::vector<ColorStop> redBlue{{0, kRed}, {1, kBlue}};
    struct Case { std::vector<ColorStop> stops; SpreadMode spread; float shift; int column; uint32_t expected; };
    const Case cases[] = {
        {redBlue, S::Pad, 0, 0, 0xFE0001FF},                        // entry 1
        {redBlue, S::Pad, 20, 10, 0xFF0000FF},                      // entry 0: pure red
        {redBlue, S::Pad, 0, 50, 0x7F0080FF},                       // entry 129: an even mix
        {redBlue, S::Pad, 0, 150, 0x0200FDFF},                      // entry 255, 255/257 of the way
        {{{0, kRed}, {0.9f, kBlue}}, S::Pad, 0, 90, 0x0000FFFF},    // index of 0.9 is 230; column 90 takes 231
        {redBlue, S::Repeat, 0, 30, 0xB2004DFF},                    // entry 78
        {redBlue, S::Repeat, 0, 130, 0xB2004DFF},                   // 2088 mod 1600 = 488, as column 30
        {redBlue, S::Reflect, 0, 69, 0x4F00B0FF},                   // entry 177
        {redBlue, S::Reflect, 0, 130, 0x4F00B0FF},                  // 3200 - 2088 = 1112, as column 69
        {{{1, kBlue}, {0, kRed}}, S::Pad, 0, 50, 0x7F0080FF},       // out of order: sorted
        {{{1.7f, kBlue}, {-0.5f, kRed}}, S::Pad, 0, 50, 0x7F0080FF},  // clamped to 1 and 0
    };
    for (const Case& c : cases) {
        Canvas canvas(160, 3);
        canvas.context->transforms->fillPaint->Translate(c.shift, 0);
        FillWith(canvas, Make<LinearGradientPaint>(canvas, c.stops, c.spread, {0, 0, 100, 0}));
        for (int row = 0; row < 3; ++row)
            EXPECT_EQ(canvas.At(c.column, row), c.expected) << c.column << " spread " << int(c.spread);
    }
}

TEST(GradientPaint, RadialWorkedFigures) {
    // White to black, radius 50 (800 sixteenths) around (60.5, 40.5), so
    // that pixel centres on row 40 lie whole units from it. Entry k is grey
    // 1 - k / 257: 128 at 25 units, 2 (entry 255) from 50 on. Repeat folds
    // 60 units to 10 (entry 51), reflect to 40 (entry 204). A focus 30 to
    // the right leaves 20 units to the circle on the right, 80 on the left:
    // 10 and 40 units from it are half way. A focus on the circle moves one
    // sixteenth in; the centre is then half way along the 100-unit ray.
    typedef SpreadMode S;
    struct Case { SpreadMode spread; float focus; int offset; uint8_t grey; };
    const Case cases[] = {
        {S::Pad, 0, 0, 255},     {S::Pad, 0, 25, 128},    {S::Pad, 0, -25, 128},  {S::Pad, 0, 50, 2},
        {S::Pad, 0, 60, 2},      {S::Repeat, 0, 10, 204}, {S::Repeat, 0, 60, 204}, {S::Reflect, 0, 40, 53},
        {S::Reflect, 0, 60, 53}, {S::Pad, 30, 40, 128},   {S::Pad, 30, -10, 128}, {S::Pad, 50, 0, 128},
    };
    for (const Case& c : cases) {
        Canvas canvas(130, 80);
        FillWith(canvas, Make<RadialGradientPaint>(canvas, {{0, kWhite}, {1, kBlack}}, c.spread,
                                                   {60.5f, 40.5f, 50, 60.5f + c.focus, 40.5f}));
        const uint32_t grey = c.grey * 0x01010100u + 0xFF;
        EXPECT_EQ(canvas.At(60 + c.offset, 40), grey) << "focus " << c.focus << " offset " << c.offset;
    }
}

TEST(GradientPaint, GradientsMoveWithThePathTransformAndFollowTheOrigin) {
    // The paint matrix includes the path transform: shifting the path by 50
    // shifts the gradient with it.
    for (int radial = 0; radial < 2; ++radial) {
        Canvas moved(200, 60), still(200, 60);
        moved.PathTransform().Translate(50, 0);
        for (Canvas* canvas : {&moved, &still}) {
            std::shared_ptr<Paint> paint;
            if (radial)
                paint = Make<RadialGradientPaint>(*canvas, {{0, kRed}, {1, kBlue}}, SpreadMode::Reflect,
                                                  {30, 30, 20, 35, 25});
            else
                paint = Make<LinearGradientPaint>(*canvas, {{0, kRed}, {1, kBlue}}, SpreadMode::Repeat,
                                                  {10, 5, 40, 25});
            FillWith(*canvas, paint);
        }
        for (int column = 50; column < 200; ++column)
            for (int row = 0; row < 60; ++row)
                ASSERT_EQ(moved.At(column, row), still.At(column - 50, row)) << column << ", " << row;
    }

    // Points are buffer rows: with the origin at the bottom, the gradient
    // from y = 0 to y = 100 runs up from the last memory row.
    Canvas canvas(2, 100, Origin::BottomLeft);
    FillWith(canvas, Make<LinearGradientPaint>(canvas, {{0, kRed}, {1, kBlue}}, SpreadMode::Pad, {0, 0, 0, 100}));
    EXPECT_EQ(canvas.At(0, 99), 0xFE0001FFu);
    EXPECT_EQ(canvas.At(0, 49), 0x7F0080FFu);
}

TEST(GradientPaint, UnknownSpreadModeThrowsBeforeDrawing) {
    for (int radial = 0; radial < 2; ++radial) {
        Canvas canvas(20, 20);
        canvas.surface.Fill(10, 20, 30, 40);
        const std::vector<uint8_t> before = canvas.surface.memory;
        std::shared_ptr<GradientPaint> paint;
        if (radial)
            paint = Make<RadialGradientPaint>(canvas, {{0, kRed}, {1, kBlue}}, SpreadMode(3), {10, 10, 5, 10, 10});
        else
            paint = Make<LinearGradientPaint>(canvas, {{0, kRed}, {1, kBlue}}, SpreadMode(3), {0, 0, 10, 0});
        auto fill = std::make_shared<FillState>(), noPaint = std::make_shared<FillState>();
        fill->Paint(paint);
        auto path = Geometry().Rectangle(2, 2, 18, 18).On(canvas);
        EXPECT_THROW(path->Draw(fill, nullptr), NotSupportedException);
        EXPECT_EQ(canvas.surface.memory, before);

        // Only the stroke fails: the fill is already in the surface.
        auto stroke = std::make_shared<StrokeState>();
        stroke->Paint(paint);
        EXPECT_THROW(path->Draw(FillIn(canvas, kOpaque), stroke), NotSupportedException);
        EXPECT_EQ(canvas.At(10, 10), kOpaqueBytes);
        EXPECT_EQ(canvas.At(0, 0), 0x0A141E28u);
    }
}

TEST(GradientPaint, DegenerateAndHostilePaintsGiveDefinedPixels) {
    // Drawn with BlendMode::Source over (10, 20, 30, 40): transparent black
    // shows as 0, a single colour as its bytes (2.0 gives 254, -0.5 gives 0),
    // and `opaque` where only the absence of undefined arithmetic is checked
    // (the sanitizer build) and every pixel is some opaque ramp colour.
    const uint32_t opaque = 1;
    const Color hot{2, -0.5f, 0.5f, 1};
    const std::vector<ColorStop> redBlue{{0, kRed}, {1, kBlue}}, none;
    struct Case { bool radial; std::vector<ColorStop> stops; std::vector<float> geometry; float paintScale;
                  uint32_t expected; };
    const Case cases[] = {
        {false, none, {0, 0, 10, 0}, 1, 0},
        {true, none, {10, 10, 5, 10, 10}, 1, 0},
        {false, {{0.3f, hot}}, {0, 0, 10, 0}, 1, 0xFE0080FF},
        {true, {{-1, hot}, {-0.5f, kRed}, {kNaN, kBlue}}, {10, 10, 5, 10, 10}, 1, 0xFE0080FF},
        {false, {{kNaN, kRed}, {0.5f, kBlue}, {kInf, kWhite}}, {0, 0, 10, 0}, 1, opaque},
        {true, {{0, hot}, {1, hot}}, {10, 10, 5, 10, 10}, 1, 0xFE0080FF},  // every entry converted alike
        {false, {{0, hot}, {1, {-3, 1e30f, kNaN, 1}}}, {0, 0, 10, 0}, 1, opaque},
        {false, redBlue, {5, 5, 5, 5}, 1, 0},             // start = end
        {false, redBlue, {5, 5, 5.01f, 5}, 1, 0},         // 0.16 sixteenths
        {true, redBlue, {10, 10, 0.01f, 10, 10}, 1, 0},   // radius 0 sixteenths
        {true, redBlue, {10, 10, -5, 10, 10}, 1, 0},
        {false, redBlue, {kNaN, 0, 10, 0}, 1, 0},
        {false, redBlue, {0, 0, kInf, 0}, 1, 0},
        {false, redBlue, {-1e30f, 0, 1e30f, 0}, 1, 0},    // longer than 2^19 units
        {true, redBlue, {kInf, 10, 5, 10, 10}, 1, 0},
        {true, redBlue, {10, 10, 5, 1e30f, 10}, 1, 0},
        {false, redBlue, {0, 0, 10, 0}, 0, 0},            // singular paint transform
        {true, redBlue, {10, 10, 5, 10, 10}, 0, 0},
        {false, redBlue, {1e30f, 0, 1.1e30f, 0}, 1, 0},
        // Paint positions far beyond the interpolator's range, and a focus
        // far outside the circle: large values, square roots of negatives.
        {false, redBlue, {0, 0, 10, 0}, 1e-9f, opaque},
        {true, redBlue, {10, 10, 5, 10, 10}, 1e-9f, opaque},
        {true, redBlue, {10, 10, 5, 400, -300}, 1, opaque},
        {true, redBlue, {10, 10, 5, 15.001f, 10}, 1e-3f, opaque},
    };
    for (const BlendMode mode : {BlendMode::Source, BlendMode::SourceOver})
        for (const Case& c : cases) {
            Canvas canvas(20, 20);
            canvas.surface.Fill(10, 20, 30, 40);
            canvas.State().blendMode = mode;
            canvas.context->transforms->fillPaint->Scale(c.paintScale, c.paintScale);
            const float* g = c.geometry.data();
            std::shared_ptr<GradientPaint> paint;
            if (c.radial)
                paint = std::make_shared<RadialGradientPaint>(canvas, g[0], g[1], g[2], g[3], g[4]);
            else
                paint = std::make_shared<LinearGradientPaint>(canvas, g[0], g[1], g[2], g[3]);
            paint->ColorStops = c.stops;
            auto fill = std::make_shared<FillState>();
            fill->Paint(paint);
            Geometry().Rectangle(2, 2, 18, 18).On(canvas)->Draw(fill, nullptr);
            for (int i = 2; i < 18; i += 3) {
                const uint32_t pixel = canvas.At(i, 19 - i);
                if (c.expected == opaque)
                    EXPECT_EQ(pixel & 0xFF, 0xFFu) << &c - cases;
                else if (mode == BlendMode::Source)
                    EXPECT_EQ(pixel, c.expected) << &c - cases;
                else if (c.expected == 0) {
                    EXPECT_EQ(pixel, 0x0A141E28u) << &c - cases;  // transparent over: unchanged
                }
            }
            EXPECT_EQ(canvas.At(0, 0), 0x0A141E28u);
        }
}

TEST(GradientPaint, PremultiplierFlagChangesNothing) {
    Canvas plain(40, 4), flagged(40, 4);
    for (Canvas* canvas : {&plain, &flagged}) {
        canvas->surface.Fill(200, 100, 50, 255);
        auto paint = Make<LinearGradientPaint>(*canvas, {{0, {1, 0.5f, 0, 0.3f}}, {1, {0, 1, 1, 0.8f}}},
                                               SpreadMode::Pad, {0, 0, 40, 0});
        paint->ColorRampPremultiplierEnabled = canvas == &flagged;
        FillWith(*canvas, paint);
    }
    EXPECT_EQ(plain.surface.memory, flagged.surface.memory);
    EXPECT_NE(plain.At(5, 0), 0xC86432FFu);
}

TEST(GradientPaint, CInterface) {
    using namespace ORV::Vudadive2R;
    TestSupport::Surface surface(120, 16);
    orv_context2D context = orv_context2D_create(surface.surface);
    orv_render_state_origin_set(orv_context2D_render_state_get(context), 1);
    orv_linear_gradient_paint linear = orv_linear_gradient_paint_create(context, 0, 0, 100, 0);
    orv_radial_gradient_paint radial = orv_radial_gradient_paint_create(context, 60.5f, 10.5f, 50, 60.5f, 10.5f);

    int count = -1;
    EXPECT_THROW(orv_gradient_paint_color_stops_get(linear, &count), std::out_of_range);
    EXPECT_EQ(count, 0);
    const orv_color_stop stops[] = {{1, 0, 0, 1, 1}, {0, 1, 0, 0, 1}, {0.25f, 0.1f, 0.2f, 0.3f, 0.4f}};
    orv_gradient_paint_color_stops_set(linear, stops, 3);
    const orv_color_stop* read = orv_gradient_paint_color_stops_get(linear, &count);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(std::memcmp(read, stops, sizeof stops), 0);
    EXPECT_THROW(orv_gradient_paint_color_stops_set(linear, NULL, 2), ArgumentNullException);
    EXPECT_EQ(orv_gradient_paint_color_stops_get(linear, &count), read);
    orv_gradient_paint_color_stops_set(linear, NULL, 0);
    EXPECT_THROW(orv_gradient_paint_color_stops_get(linear, &count), std::out_of_range);
    orv_gradient_paint_color_stops_set(linear, stops, 2);
    orv_gradient_paint_color_stops_set(radial, stops, 2);

    // Either handle is an orv_paint and an orv_gradient_paint of one object.
    orv_gradient_paint_color_ramp_spread_mode_set(radial, 3);
    EXPECT_EQ(PaintHandle::Object<GradientPaint>(radial).ColorRampSpreadMode, SpreadMode(3));
    orv_gradient_paint_color_ramp_premulitiplier_enabled_set(linear, true);
    EXPECT_TRUE(orv_gradient_paint_color_ramp_premulitiplier_enabled_get(linear));
    orv_fill_state fill = orv_fill_state_create();
    orv_fill_state_paint_set(fill, linear);
    orv_stroke_state stroke = orv_stroke_state_create();
    orv_stroke_state_paint_set(stroke, radial);
    orv_linear_gradient_paint_destroy(linear);  // the states keep the paints
    orv_path_builder builder = orv_path_builder_create();
    orv_path_builder_rectangle(builder, -5, -5, 200, 15);
    orv_path path = orv_path_builder_to_path(builder, context);
    EXPECT_THROW(orv_path_draw(path, fill, stroke), NotSupportedException);
    EXPECT_EQ(surface.Rgba(0, 0), 0xFE0001FFu);  // the fill: blue at 1, red at 0
    orv_gradient_paint_color_ramp_spread_mode_set(radial, 0);
    orv_radial_gradient_paint_destroy(radial);
    orv_stroke_state_line_width_set(stroke, 4);
    orv_path_draw(path, NULL, stroke);
    EXPECT_EQ(surface.Rgba(60, 10), 0xFF0000FFu);  // the stroke along y = 10, at the radial centre: entry 0
    EXPECT_EQ(surface.Rgba(60, 2), 0x660099FFu);  // the fill above it: entry 154
    orv_path_builder_destroy(builder);
    orv_path_destroy(path);
    orv_stroke_state_destroy(stroke);
    orv_fill_state_destroy(fill);
    orv_context2D_destroy(context);
    orv_linear_gradient_paint_destroy(NULL);
    orv_radial_gradient_paint_destroy(NULL);
}
