// Fill and stroke states through the C interface: defaults, dash patterns
// and shared paint ownership.
#include <gtest/gtest.h>

#include "TestSupport.hpp"
#include "common/Internals.hpp"

using namespace ORV::Vudadive2R;
using TestSupport::CaptureStdout;

namespace {

StrokeState& StrokeOf(orv_stroke_state handle) { return **reinterpret_cast<std::shared_ptr<StrokeState>*>(handle); }
FillState& FillOf(orv_fill_state handle) { return **reinterpret_cast<std::shared_ptr<FillState>*>(handle); }

void ExpectStrokeDefaults(orv_stroke_state stroke) {
    EXPECT_FALSE(Internals::PaintOf(StrokeOf(stroke)));
    EXPECT_EQ(orv_stroke_state_line_width_get(stroke), 1.0f);
    EXPECT_EQ(orv_stroke_state_cap_style_get(stroke), ORV_CAP_STYLE_BUTT);
    EXPECT_EQ(orv_stroke_state_join_style_get(stroke), ORV_JOIN_STYLE_MITER);
    EXPECT_EQ(orv_stroke_state_miter_limit_get(stroke), 4.0f);
    EXPECT_EQ(orv_stroke_state_dash_phase_get(stroke), 0.0f);
    EXPECT_FALSE(orv_stroke_state_dash_phase_reset_enabled_get(stroke));
    EXPECT_TRUE(StrokeOf(stroke).dashPattern.empty());
}

}  // namespace

TEST(DrawingState, DefaultsAreRestoredBySetDefaults) {
    TestSupport::Surface surface(2, 2);
    orv_context2D context = orv_context2D_create(surface.surface);
    orv_color_paint paint = orv_color_paint_create(context, 1, 0, 0, 1);
    orv_fill_state fill = orv_fill_state_create();
    orv_stroke_state stroke = orv_stroke_state_create();
    EXPECT_EQ(orv_fill_state_fill_rule_get(fill), ORV_FILL_RULE_EVEN_ODD);
    EXPECT_FALSE(Internals::PaintOf(FillOf(fill)));
    ExpectStrokeDefaults(stroke);

    // Out-of-range values are stored as given; drawing validates them.
    orv_fill_state_paint_set(fill, paint);
    orv_fill_state_fill_rule_set(fill, 2);
    orv_stroke_state_paint_set(stroke, paint);
    orv_stroke_state_line_width_set(stroke, -3);
    orv_stroke_state_cap_style_set(stroke, 3);
    orv_stroke_state_join_style_set(stroke, 9);
    orv_stroke_state_miter_limit_set(stroke, 0.5f);
    orv_stroke_state_dash_phase_set(stroke, -2.5f);
    orv_stroke_state_dash_phase_reset_enabled_set(stroke, true);
    const float values[] = {4, 2};
    orv_stroke_state_dash_pattern_set(stroke, values, 1);
    EXPECT_EQ(orv_fill_state_fill_rule_get(fill), 2);
    EXPECT_EQ(orv_stroke_state_cap_style_get(stroke), 3);
    EXPECT_EQ(orv_stroke_state_join_style_get(stroke), 9);
    EXPECT_TRUE(orv_stroke_state_dash_phase_reset_enabled_get(stroke));

    orv_fill_state_set_defaults(fill);
    orv_stroke_state_set_defaults(stroke);
    EXPECT_EQ(orv_fill_state_fill_rule_get(fill), ORV_FILL_RULE_EVEN_ODD);
    EXPECT_FALSE(Internals::PaintOf(FillOf(fill)));
    ExpectStrokeDefaults(stroke);

    orv_color_paint_destroy(paint);
    orv_context2D_destroy(context);
    orv_fill_state_destroy(fill);
    orv_stroke_state_destroy(stroke);
    orv_fill_state_destroy(nullptr);
    orv_stroke_state_destroy(nullptr);
}

TEST(DrawingState, DashPatternPairs) {
    struct Case {
        std::vector<float> values;
        int count;
        std::vector<Dash> expected;
    };
    const Case cases[] = {
        {{4, 2, 1, 3}, 2, {{4, 2}, {1, 3}}},
        {{4, 2, 9}, 1, {{4, 2}}},
        {{0, 0, -1, 5}, 2, {{0, 0}, {-1, 5}}},
        {{}, 0, {}},
        {{}, -2, {}},
    };
    orv_stroke_state stroke = orv_stroke_state_create();
    for (const Case& c : cases) {
        const float previous[] = {7, 7, 7, 7, 7, 7};
        orv_stroke_state_dash_pattern_set(stroke, previous, 3);
        // A count below one empties the pattern without reading the values.
        orv_stroke_state_dash_pattern_set(stroke, c.count < 1 ? nullptr : c.values.data(), c.count);
        const std::vector<Dash>& pattern = StrokeOf(stroke).dashPattern;
        ASSERT_EQ(pattern.size(), c.expected.size());
        for (size_t i = 0; i < pattern.size(); ++i) {
            EXPECT_EQ(pattern[i].Length, c.expected[i].Length);
            EXPECT_EQ(pattern[i].Gap, c.expected[i].Gap);
        }
    }
    orv_stroke_state_destroy(stroke);
}

TEST(DrawingState, PaintsAreSharedAndReleasedWithTheirLastHolder) {
    TestSupport::Surface surface(2, 2);
    orv_context2D context = orv_context2D_create(surface.surface);
    orv_color_paint paint = orv_color_paint_create(context, 0.25f, 2.0f, -1.0f, 0.5f);
    const orv_color color = orv_color_paint_color_get(paint);
    EXPECT_TRUE(color.R == 0.25f && color.G == 2.0f && color.B == -1.0f && color.A == 0.5f);

    orv_fill_state fill = orv_fill_state_create();
    orv_stroke_state stroke = orv_stroke_state_create();
    orv_fill_state_paint_set(fill, paint);
    orv_stroke_state_paint_set(stroke, paint);
    std::weak_ptr<Paint> watch = Internals::PaintOf(FillOf(fill));
    orv_color_paint_destroy(paint);
    EXPECT_FALSE(watch.expired());
    EXPECT_EQ(Internals::PaintOf(FillOf(fill)), Internals::PaintOf(StrokeOf(stroke)));
    orv_fill_state_paint_set(fill, nullptr);
    EXPECT_FALSE(watch.expired());
    orv_stroke_state_set_defaults(stroke);
    EXPECT_TRUE(watch.expired());

    orv_fill_state_destroy(fill);
    orv_stroke_state_destroy(stroke);
    orv_context2D_destroy(context);
}

TEST(DrawingState, FillPaintGetterSaysItIsNotImplemented) {
    orv_fill_state fill = orv_fill_state_create();
    orv_paint result = reinterpret_cast<orv_paint>(1);
    EXPECT_EQ(CaptureStdout([&] { result = orv_fill_state_paint_get(fill); }), "Not implemented.\n");
    EXPECT_EQ(result, nullptr);
    orv_fill_state_destroy(fill);
}
