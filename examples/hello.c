/* A small C client: draws a few shapes through the C interface and saves
 * them as hello.png. Build it with
 *   cc -std=c99 hello.c $(pkg-config --cflags --libs vudadive2r) -o hello */
#include <stdio.h>

#include "vudadive2r.h"

#define WIDTH 200
#define HEIGHT 120

static int check(int ok, const char* what)
{
    if (!ok)
        fprintf(stderr, "hello: %s\n", what);
    return ok;
}

int main(void)
{
    /* Errors are recorded, not thrown: C cannot catch an exception. */
    orv_error_mode_set(ORV_ERROR_MODE_RECORD);
    orv_messages_set(ORV_MESSAGES_NONE);
    orv_surface* surface = orv_surface_create(WIDTH, HEIGHT, ZADOZI_FORMAT_AB24);
    if (!check(surface != NULL, "creating the surface"))
        return 1;

    orv_context2D context = orv_context2D_create(surface);
    /* y = 0 at the top, as in the saved file. */
    orv_render_state_origin_set(orv_context2D_render_state_get(context), ORV_ORIGIN_TOP_LEFT);
    orv_context2D_clear_color_set(context, 1.0f, 1.0f, 1.0f, 1.0f);
    orv_context2D_clear(context);

    orv_path_builder builder = orv_path_builder_create();
    orv_path_builder_rectangle(builder, 20, 20, 70, 80);
    orv_path rectangle = orv_path_builder_to_path(builder, context);
    orv_path_builder_clear(builder);
    orv_path_builder_ellipse(builder, 140, 60, 80, 80);
    orv_path ellipse = orv_path_builder_to_path(builder, context);

    /* A colour paint handle is accepted wherever a paint is expected. */
    orv_color_paint blue = orv_color_paint_create(context, 0.1f, 0.3f, 0.8f, 1.0f);
    orv_color_paint red = orv_color_paint_create(context, 0.9f, 0.1f, 0.1f, 0.5f);
    orv_fill_state fill = orv_fill_state_create();
    orv_fill_state_paint_set(fill, blue);
    orv_stroke_state stroke = orv_stroke_state_create();
    orv_stroke_state_paint_set(stroke, red);
    orv_stroke_state_line_width_set(stroke, 6.0f);
    orv_stroke_state_join_style_set(stroke, ORV_JOIN_STYLE_ROUND);

    orv_path_draw(rectangle, fill, stroke);
    orv_path_draw(ellipse, NULL, stroke);
    orv_context2D_finish(context);

    /* The surface holds premultiplied colour: orv_context2D_save_png writes
     * it as a PNG file wants it, straight alpha, the top row first. */
    orv_context2D_save_png(context, "hello.png");
    int ok = check(orv_error_last() == ORV_ERROR_NONE, orv_error_message());

    orv_mapping* mapping = orv_surface_create_mapping(surface, ZADOZI_MAPPING_READ_WRITE);
    unsigned char* pixels = (unsigned char*)orv_mapping_sync_start(mapping);
    int stride = orv_mapping_stride_get(mapping);
    ok &= check(pixels[(50 * stride) + 50 * 4 + 2] == 204, "filling the rectangle failed");
    ok &= check(pixels[(5 * stride) + 5 * 4 + 0] == 255, "leaving the background failed");
    orv_mapping_sync_end(mapping);
    orv_mapping_destroy(mapping);

    orv_fill_state_destroy(fill);
    orv_stroke_state_destroy(stroke);
    orv_color_paint_destroy(blue);
    orv_color_paint_destroy(red);
    orv_path_destroy(rectangle);
    orv_path_destroy(ellipse);
    orv_path_builder_destroy(builder);
    orv_context2D_destroy(context);
    orv_surface_destroy(surface);
    if (ok)
        printf("hello: wrote hello.png\n");
    return ok ? 0 : 1;
}
