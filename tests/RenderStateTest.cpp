// The render state through the C interface: defaults, unvalidated storage
// and the scissor rectangle list.
#include <gtest/gtest.h>

#include <stdexcept>

#include "TestSupport.hpp"

using TestSupport::Surface;

TEST(RenderState, DefaultsAndStoredValues) {
    Surface surface(2, 2);
    orv_context2D context = orv_context2D_create(surface.surface);
    orv_render_state* state = orv_context2D_render_state_get(context);
    EXPECT_EQ(orv_render_state_origin_get(state), ORV_ORIGIN_BOTTOM_LEFT);
    EXPECT_EQ(orv_render_state_image_quality_get(state), 1);
    EXPECT_EQ(orv_render_state_rendering_quality_get(state), 2);
    EXPECT_EQ(orv_render_state_blend_mode_get(state), ORV_BLEND_MODE_SOURCE_OVER);
    EXPECT_EQ(orv_render_state_image_mode_get(state), 0);
    EXPECT_FALSE(orv_render_state_scissoring_enabled_get(state));

    // Setters store whatever they are given; drawing validates.
    orv_render_state_origin_set(state, 7);
    orv_render_state_image_quality_set(state, -3);
    orv_render_state_rendering_quality_set(state, 99);
    orv_render_state_blend_mode_set(state, 10);
    orv_render_state_image_mode_set(state, 12345);
    orv_render_state_scissoring_enabled_set(state, true);
    EXPECT_EQ(orv_render_state_origin_get(state), 7);
    EXPECT_EQ(orv_render_state_blend_mode_get(state), 10);
    EXPECT_EQ(orv_render_state_image_mode_get(state), 12345);

    orv_context2D_set_default_state(context);
    EXPECT_EQ(orv_render_state_origin_get(state), ORV_ORIGIN_BOTTOM_LEFT);
    EXPECT_EQ(orv_render_state_blend_mode_get(state), ORV_BLEND_MODE_SOURCE_OVER);
    EXPECT_FALSE(orv_render_state_scissoring_enabled_get(state));
    orv_context2D_destroy(context);
}

TEST(RenderState, ScissorRectangleList) {
    Surface surface(2, 2);
    orv_context2D context = orv_context2D_create(surface.surface);
    orv_render_state* state = orv_context2D_render_state_get(context);

    int count = -1;
    EXPECT_THROW(orv_render_state_scissor_rectangles_get(state, &count), std::out_of_range);
    EXPECT_EQ(count, 0);

    // Stored unvalidated and in order.
    const orv_int_rectangle three[3] = {{1, 2, 3, 4}, {-5, -6, 0, -7}, {100000, 0, 2147483647, 1}};
    orv_render_state_scissor_rectangles_set(state, three, 3);
    const orv_int_rectangle* read = orv_render_state_scissor_rectangles_get(state, &count);
    ASSERT_EQ(count, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(read[i].X, three[i].X);
        EXPECT_EQ(read[i].Y, three[i].Y);
        EXPECT_EQ(read[i].Width, three[i].Width);
        EXPECT_EQ(read[i].Height, three[i].Height);
    }

    // A count below one empties the list without reading the pointer.
    for (int empty : {0, -1}) {
        orv_render_state_scissor_rectangles_set(state, three, 3);
        orv_render_state_scissor_rectangles_set(state, nullptr, empty);
        EXPECT_THROW(orv_render_state_scissor_rectangles_get(state, &count), std::out_of_range);
        EXPECT_EQ(count, 0);
    }

    // The flag and the list are independent; SetDefaultState empties the list.
    orv_render_state_scissor_rectangles_set(state, three, 1);
    orv_render_state_scissoring_enabled_set(state, true);
    orv_render_state_scissoring_enabled_set(state, false);
    orv_render_state_scissor_rectangles_get(state, &count);
    EXPECT_EQ(count, 1);
    orv_context2D_set_default_state(context);
    EXPECT_THROW(orv_render_state_scissor_rectangles_get(state, &count), std::out_of_range);
    orv_context2D_destroy(context);
}
