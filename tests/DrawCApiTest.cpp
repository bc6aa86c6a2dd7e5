// Drawing through the C interface as a client does: handles only, colour
// paint handles given where an orv_paint is expected, NULL states.
#include <gtest/gtest.h>

#include "TestSupport.hpp"
#include "capi/Handle.hpp"

using TestSupport::Surface;

namespace {

// The C interface gives paths geometry only through the path builder; the
// test reaches the path behind the handle to append a rectangle instead.
void AppendRectangle(orv_path path, float x0, float y0, float x1, float y1) {
    using namespace ORV::Vudadive2R;
    const std::vector<PathCommands> commands = {PathCommands::MoveTo, PathCommands::LineTo, PathCommands::LineTo,
                                                PathCommands::LineTo, PathCommands::Close};
    Handle<Path, orv_path>::Read(path)->AppendData(commands, {x0, y0, x1, y0, x1, y1, x0, y1});
}

}  // namespace

TEST(DrawCApi, FillAndStrokeThroughHandles) {
    Surface surface(12, 12);
    orv_context2D context = orv_context2D_create(surface.surface);
    orv_render_state_origin_set(orv_context2D_render_state_get(context), 1);
    orv_path path = orv_path_create(context);
    AppendRectangle(path, 2, 2, 10, 10);

    orv_fill_state fill = orv_fill_state_create();
    orv_color_paint red = orv_color_paint_create(context, 1, 0, 0, 1);
    orv_fill_state_paint_set(fill, red);
    orv_color_paint_destroy(red);  // the fill state keeps the paint

    orv_stroke_state stroke = orv_stroke_state_create();
    orv_color_paint blue = orv_color_paint_create(context, 0, 0, 1, 1);
    orv_stroke_state_paint_set(stroke, blue);
    orv_stroke_state_line_width_set(stroke, 2);

    orv_context2D_destroy(context);  // the path keeps the context

    orv_path_draw(path, NULL, NULL);
    EXPECT_EQ(surface.Rgba(5, 5), 0u);
    orv_path_draw(path, fill, NULL);
    EXPECT_EQ(surface.Rgba(5, 5), 0xFF0000FFu);
    EXPECT_EQ(surface.Rgba(2, 2), 0xFF0000FFu);
    EXPECT_EQ(surface.Rgba(1, 1), 0u);
    orv_path_draw(path, NULL, stroke);
    // The stroke covers 1 to 3 around x = 2; the inside stays red.
    EXPECT_EQ(surface.Rgba(1, 5), 0x0000FFFFu);
    EXPECT_EQ(surface.Rgba(2, 5), 0x0000FFFFu);
    EXPECT_EQ(surface.Rgba(3, 5), 0xFF0000FFu);
    EXPECT_EQ(surface.Rgba(0, 5), 0u);

    orv_stroke_state_cap_style_set(stroke, 3);
    EXPECT_THROW(orv_path_draw(path, fill, stroke), ORV::Vudadive2R::NotSupportedException);
    orv_stroke_state_paint_set(stroke, NULL);
    orv_path_draw(path, fill, stroke);  // without a paint the cap is not read

    orv_color_paint_destroy(blue);
    orv_stroke_state_destroy(stroke);
    orv_fill_state_destroy(fill);
    orv_path_destroy(path);
}

TEST(DrawCApi, PathHandleKeepsTheContextAlive) {
    Surface surface(2, 2);
    orv_context2D context = orv_context2D_create(surface.surface);
    orv_path path = orv_path_create(context);
    orv_context2D_destroy(context);
    orv_path_draw(path, NULL, NULL);  // reaches the surface through the path's context
    EXPECT_EQ(orv_surface_sync_start_count_get(surface.surface), 1);
    orv_path_destroy(path);
    orv_path_destroy(NULL);
}
