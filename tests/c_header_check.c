/* Compiled as C99 and C11 with -pedantic -Werror: derived handles pass as their bases without casts. */
#include <stdio.h>
#include <string.h>

#include "vudadive2r.h"

static int failures = 0;

#define CHECK(condition)                                              \
    do {                                                              \
        if (!(condition)) {                                           \
            fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #condition); \
            failures++;                                               \
        }                                                             \
    } while (0)

int main(void)
{
    char version[32];
    snprintf(version, sizeof version, "%d.%d.%d", VUDADIVE2R_VERSION_MAJOR, VUDADIVE2R_VERSION_MINOR,
             VUDADIVE2R_VERSION_PATCH);
    CHECK(strcmp(version, VUDADIVE2R_VERSION_STRING) == 0);
    CHECK(orv_version_get() == VUDADIVE2R_VERSION);
    CHECK(orv_version_get() / 10000 == VUDADIVE2R_VERSION_MAJOR && orv_version_get() % 100 == VUDADIVE2R_VERSION_PATCH);

    orv_surface* surface = orv_surface_create(8, 4, ZADOZI_FORMAT_AB24);
    CHECK(surface != NULL);
    orv_context2D context = orv_context2D_create(surface);

    /* A colour paint handle is an orv_paint. */
    orv_fill_state fill = orv_fill_state_create();
    orv_color_paint paint = orv_color_paint_create(context, 0.0f, 0.0f, 1.0f, 1.0f);
    orv_fill_state_paint_set(fill, paint);
    orv_color_paint_destroy(paint);

    /* A gradient handle is an orv_gradient_paint and an orv_paint. */
    const orv_color_stop stops[2] = {{0.0f, 1.0f, 0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f, 1.0f, 1.0f}};
    orv_linear_gradient_paint linear = orv_linear_gradient_paint_create(context, 0.0f, 0.0f, 8.0f, 0.0f);
    orv_gradient_paint_color_stops_set(linear, stops, 2);
    orv_fill_state_paint_set(fill, linear);
    orv_linear_gradient_paint_destroy(linear);
    orv_radial_gradient_paint radial = orv_radial_gradient_paint_create(context, 4.0f, 2.0f, 3.0f, 4.0f, 2.0f);
    orv_gradient_paint_color_ramp_spread_mode_set(radial, 2);
    orv_radial_gradient_paint_destroy(radial);
    orv_fill_state_destroy(fill);

    /* A layer at half opacity under a clip, inside a saved state. */
    orv_path_builder builder = orv_path_builder_create();
    orv_path_builder_rectangle(builder, 0.0f, 0.0f, 4.0f, 4.0f);
    orv_path clip = orv_path_builder_to_path(builder, context);
    orv_fill_state red = orv_fill_state_create();
    orv_color_paint red_paint = orv_color_paint_create(context, 1.0f, 0.0f, 0.0f, 1.0f);
    orv_fill_state_paint_set(red, red_paint);
    orv_context2D_save(context);
    orv_path_clip(clip, ORV_FILL_RULE_NON_ZERO, ORV_CLIP_INTERSECT);
    orv_context2D_layer_push(context, 0.5f, ORV_BLEND_MODE_SOURCE_OVER);
    orv_path_draw(clip, red, NULL);
    orv_context2D_layer_pop(context);
    orv_context2D_clip_reset(context);
    orv_context2D_restore(context);
    orv_fill_state_destroy(red);
    orv_color_paint_destroy(red_paint);
    orv_path_destroy(clip);
    orv_path_builder_destroy(builder);

    /* The record error mode: a C program goes on after every error and
     * reads what went wrong; nothing is printed. */
    orv_error_mode_set(ORV_ERROR_MODE_RECORD);
    orv_messages_set(ORV_MESSAGES_NONE);
    CHECK(orv_error_mode_get() == ORV_ERROR_MODE_RECORD && orv_messages_get() == ORV_MESSAGES_NONE);
    CHECK(orv_png_image_create_from_file(context, "/nonexistent/image.png") == NULL);
    CHECK(orv_error_last() == ORV_ERROR_INVALID_OPERATION);
    CHECK(strcmp(orv_error_message(), "File could not be opened for reading.") == 0);
    orv_path_draw(NULL, NULL, NULL);
    CHECK(orv_transform_get(orv_transforms_path(orv_context2D_transforms_get(NULL))).M[0] == 0.0f);
    CHECK(orv_error_last() == ORV_ERROR_ARGUMENT_NULL);
    CHECK(strcmp(orv_error_message(), "orv_transform_get: ArgumentNullException") == 0); /* the last of three */
    int count = 3;
    CHECK(orv_render_state_scissor_rectangles_get(orv_context2D_render_state_get(context), &count) == NULL);
    CHECK(count == 0 && orv_error_last() == ORV_ERROR_OUT_OF_RANGE);
    orv_error_clear();
    CHECK(orv_error_last() == ORV_ERROR_NONE && strcmp(orv_error_message(), "") == 0);
    orv_error_mode_set(ORV_ERROR_MODE_THROW);
    orv_messages_set(ORV_MESSAGES_STDOUT);

    orv_context2D_destroy(context);
    orv_surface_destroy(surface);
    if (failures == 0)
        printf("C header check passed\n");
    return failures == 0 ? 0 : 1;
}
