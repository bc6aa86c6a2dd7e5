// Fill and stroke states through the C interface.
#include <gtest/gtest.h>

#include "TestSupport.hpp"
#include "capi/Handle.hpp"
#include "common/Internals.hpp"

using namespace ORV::Vudadive2R;

TEST(DrawingState, CWrappersReachTheirFieldsAndDefaultsAreRestored) {
    TestSupport::Surface surface(2, 2);
    orv_context2D context = orv_context2D_create(surface.surface);
    orv_color_paint paint = orv_color_paint_create(context, 0.25f, 2.0f, -1.0f, 0.5f);
    orv_context2D_destroy(context);
    const orv_color color = orv_color_paint_color_get(paint);  // kept as given
    EXPECT_TRUE(color.R == 0.25f && color.G == 2.0f && color.B == -1.0f && color.A == 0.5f);
    orv_fill_state fill = orv_fill_state_create();
    orv_stroke_state stroke = orv_stroke_state_create();
    FillState& f = *FillHandle::Read(fill);
    StrokeState& s = *StrokeHandle::Read(stroke);
    auto expectDefaults = [&] {
        EXPECT_EQ(orv_fill_state_fill_rule_get(fill), ORV_FILL_RULE_EVEN_ODD);
        EXPECT_EQ(orv_stroke_state_line_width_get(stroke), 1.0f);
        EXPECT_EQ(orv_stroke_state_cap_style_get(stroke), ORV_CAP_STYLE_BUTT);
        EXPECT_EQ(orv_stroke_state_join_style_get(stroke), ORV_JOIN_STYLE_MITER);
        EXPECT_EQ(orv_stroke_state_miter_limit_get(stroke), 4.0f);
        EXPECT_EQ(orv_stroke_state_dash_phase_get(stroke), 0.0f);
        EXPECT_FALSE(orv_stroke_state_dash_phase_reset_enabled_get(stroke));
        EXPECT_TRUE(s.dashPattern.empty());
        EXPECT_FALSE(Internals::PaintOf(f) || Internals::PaintOf(s));
    };
    expectDefaults();

    orv_fill_state_fill_rule_set(fill, 2);
    orv_stroke_state_line_width_set(stroke, -3);
    orv_stroke_state_cap_style_set(stroke, 3);
    orv_stroke_state_join_style_set(stroke, 9);
    orv_stroke_state_miter_limit_set(stroke, 0.5f);
    orv_stroke_state_dash_phase_set(stroke, -2.5f);
    orv_stroke_state_dash_phase_reset_enabled_set(stroke, true);
    EXPECT_EQ(orv_fill_state_fill_rule_get(fill), 2);
    EXPECT_TRUE(orv_stroke_state_line_width_get(stroke) == -3 && orv_stroke_state_cap_style_get(stroke) == 3 &&
                orv_stroke_state_join_style_get(stroke) == 9 && orv_stroke_state_miter_limit_get(stroke) == 0.5f &&
                orv_stroke_state_dash_phase_get(stroke) == -2.5f &&
                orv_stroke_state_dash_phase_reset_enabled_get(stroke));

    // Dash pairs by count; a count below one empties the pattern.
    struct Case { std::vector<float> values; int count; std::vector<float> expected; } const cases[] = {
        {{}, -2, {}}, {{4, 2, 9}, 1, {4, 2}}, {{4, 2, 1, 3}, 2, {4, 2, 1, 3}}};  // the last is kept for the reset
    for (const Case& c : cases) {
        const float previous[] = {7, 7, 7, 7, 7, 7};
        orv_stroke_state_dash_pattern_set(stroke, previous, 3);
        orv_stroke_state_dash_pattern_set(stroke, c.count < 1 ? nullptr : c.values.data(), c.count);
        std::vector<float> stored;
        for (const Dash& d : s.dashPattern)
            stored.insert(stored.end(), {d.Length, d.Gap});
        EXPECT_EQ(stored, c.expected) << c.count;
    }

    // One paint shared by both states lives until its last holder lets go.
    orv_fill_state_paint_set(fill, paint);
    orv_stroke_state_paint_set(stroke, paint);
    const std::weak_ptr<Paint> watch = Internals::PaintOf(f);
    orv_color_paint_destroy(paint);
    EXPECT_EQ(Internals::PaintOf(f), Internals::PaintOf(s));
    orv_fill_state_set_defaults(fill);
    EXPECT_FALSE(watch.expired());
    orv_stroke_state_set_defaults(stroke);
    EXPECT_TRUE(watch.expired());
    expectDefaults();
    f.FillRule(FillRule::NonZero), s.LineWidth(7), s.dashPattern = {{1, 1}};
    f.SetDefaults(), s.SetDefaults();  // as a client of the classes restores them
    expectDefaults();

    // The class has no paint getter: the C entry point only says so.
    orv_paint got = reinterpret_cast<orv_paint>(1);
    EXPECT_EQ(TestSupport::CaptureStdout([&] { got = orv_fill_state_paint_get(fill); }), "Not implemented.\n");
    EXPECT_EQ(got, nullptr);
    orv_fill_state_destroy(fill);
    orv_stroke_state_destroy(stroke);
    orv_fill_state_destroy(nullptr);
    orv_stroke_state_destroy(nullptr);
}
