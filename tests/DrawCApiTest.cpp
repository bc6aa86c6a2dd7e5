// Drawing through the C interface as a client does: handles only, colour
// paint handles given where an orv_paint is expected, NULL states.
#include <gtest/gtest.h>

#include "TestSupport.hpp"
#include "capi/Handle.hpp"

TEST(DrawCApi, FillAndStrokeThroughHandles) {
    using namespace ORV::Vudadive2R;
    TestSupport::Surface surface(12, 12);
    orv_context2D context = orv_context2D_create(surface.surface);
    orv_render_state* state = orv_context2D_render_state_get(context);
    orv_path path = orv_path_create(context);
    // Paths get geometry from the C side only through the path builder; the
    // test reaches the path behind the handle instead.
    Handle<Path, orv_path>::Read(path)->AppendData(
        {PathCommands::MoveTo, PathCommands::LineTo, PathCommands::LineTo, PathCommands::LineTo, PathCommands::Close},
        {2, 2, 10, 2, 10, 10, 2, 10});
    orv_fill_state fill = orv_fill_state_create();
    orv_color_paint red = orv_color_paint_create(context, 1, 0, 0, 1);
    orv_fill_state_paint_set(fill, red);
    orv_color_paint_destroy(red);  // the fill state keeps the paint
    orv_stroke_state stroke = orv_stroke_state_create();
    orv_color_paint blue = orv_color_paint_create(context, 0, 0, 1, 1);
    orv_stroke_state_paint_set(stroke, blue);
    orv_stroke_state_line_width_set(stroke, 2);
    orv_context2D_destroy(context);  // the path keeps the context, and so its views
    orv_render_state_origin_set(state, ORV_ORIGIN_TOP_LEFT);

    orv_path_draw(path, NULL, NULL);
    EXPECT_EQ(orv_surface_sync_start_count_get(surface.surface), 1);
    EXPECT_EQ(surface.Rgba(5, 5), 0u);
    orv_path_draw(path, fill, NULL);
    EXPECT_EQ(surface.Rgba(2, 2), 0xFF0000FFu);
    EXPECT_EQ(surface.Rgba(1, 1), 0u);
    orv_path_draw(path, NULL, stroke);
    const uint32_t row5[] = {0, 0x0000FFFF, 0x0000FFFF, 0xFF0000FF};  // the stroke covers 1 to 3 around x = 2
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(surface.Rgba(x, 5), row5[x]) << x;
    orv_stroke_state_cap_style_set(stroke, 3);
    EXPECT_THROW(orv_path_draw(path, fill, stroke), NotSupportedException);
    orv_stroke_state_paint_set(stroke, NULL);
    orv_path_draw(path, fill, stroke);  // without a paint the cap is not read

    orv_color_paint_destroy(blue);
    orv_stroke_state_destroy(stroke);
    orv_fill_state_destroy(fill);
    orv_path_destroy(path);
    orv_path_destroy(NULL);
}
