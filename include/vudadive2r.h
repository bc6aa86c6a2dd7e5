/* The C interface of the library.
 *
 * Handles are opaque pointers owning one reference to the object; release
 * each with its family's destroy function (NULL is ignored). A handle of a
 * derived family is a handle of its base family: a colour paint handle can
 * be passed wherever an orv_paint is expected, a PNG image handle wherever an
 * orv_image is expected, without a cast.
 *
 * orv_transforms*, orv_transform* and orv_render_state* are views into a
 * context: never released, valid while the context lives.
 *
 * Errors are C++ exceptions of the library's family; they pass through these
 * functions unchanged. */
#ifndef VUDADIVE2R_H
#define VUDADIVE2R_H

#include <stdbool.h>
#include <stdint.h>

#include "zadozi.h"

#if defined(__GNUC__)
#define ORV_C_API __attribute__((visibility("default")))
#else
#define ORV_C_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Value structures, laid out exactly as the class interface's value types. */
typedef struct orv_color {
    float R;
    float G;
    float B;
    float A;
} orv_color;

typedef struct orv_matrix3 {
    float M[9]; /* row-major; a point is mapped as (x, y, 1) x M */
} orv_matrix3;

typedef struct orv_int_rectangle {
    int32_t X;
    int32_t Y;
    int32_t Width;
    int32_t Height;
} orv_int_rectangle;

/* Handles. Derived families alias their base family's type. */
typedef struct orv_context2D_handle* orv_context2D;
typedef struct orv_path_handle* orv_path;
typedef struct orv_path_builder_handle* orv_path_builder;
typedef struct orv_fill_state_handle* orv_fill_state;
typedef struct orv_stroke_state_handle* orv_stroke_state;
typedef struct orv_paint_handle* orv_paint;
typedef orv_paint orv_color_paint;
typedef struct orv_image_handle* orv_image;
typedef orv_image orv_png_image;

/* Views. */
typedef struct orv_transforms orv_transforms;
typedef struct orv_transform orv_transform;
typedef struct orv_render_state orv_render_state;

/* Context */
ORV_C_API orv_context2D orv_context2D_create(orv_surface* surface);
ORV_C_API void orv_context2D_destroy(orv_context2D context);
ORV_C_API orv_transforms* orv_context2D_transforms_get(orv_context2D context);
ORV_C_API orv_render_state* orv_context2D_render_state_get(orv_context2D context);
ORV_C_API orv_color orv_context2D_clear_color_get(orv_context2D context);
ORV_C_API void orv_context2D_clear_color_set(orv_context2D context, float r, float g, float b, float a);
ORV_C_API void orv_context2D_set_default_state(orv_context2D context);
ORV_C_API void orv_context2D_finish(orv_context2D context);
ORV_C_API void orv_context2D_clear(orv_context2D context);
ORV_C_API void orv_context2D_clear_rectangle(orv_context2D context, int x, int y, int width, int height);

/* Transforms */
ORV_C_API orv_transform* orv_transforms_path(orv_transforms* transforms);
ORV_C_API orv_transform* orv_transforms_image(orv_transforms* transforms);
ORV_C_API orv_transform* orv_transforms_fill_paint(orv_transforms* transforms);
ORV_C_API orv_transform* orv_transforms_stroke_paint(orv_transforms* transforms);
ORV_C_API orv_transform* orv_transforms_glyph(orv_transforms* transforms);
ORV_C_API void orv_transform_load_identity(orv_transform* transform);
ORV_C_API void orv_transform_translate(orv_transform* transform, float tx, float ty);
ORV_C_API void orv_transform_scale(orv_transform* transform, float sx, float sy);
ORV_C_API void orv_transform_rotate(orv_transform* transform, float angle);
ORV_C_API orv_matrix3 orv_transform_get(orv_transform* transform);
ORV_C_API void orv_transform_set(orv_transform* transform, const orv_matrix3* matrix);

/* Render state */
ORV_C_API int orv_render_state_origin_get(orv_render_state* state);
ORV_C_API void orv_render_state_origin_set(orv_render_state* state, int value);
ORV_C_API int orv_render_state_image_quality_get(orv_render_state* state);
ORV_C_API void orv_render_state_image_quality_set(orv_render_state* state, int value);
ORV_C_API int orv_render_state_rendering_quality_get(orv_render_state* state);
ORV_C_API void orv_render_state_rendering_quality_set(orv_render_state* state, int value);
ORV_C_API int orv_render_state_blend_mode_get(orv_render_state* state);
ORV_C_API void orv_render_state_blend_mode_set(orv_render_state* state, int value);
ORV_C_API int orv_render_state_image_mode_get(orv_render_state* state);
ORV_C_API void orv_render_state_image_mode_set(orv_render_state* state, int value);
ORV_C_API bool orv_render_state_scissoring_enabled_get(orv_render_state* state);
ORV_C_API void orv_render_state_scissoring_enabled_set(orv_render_state* state, bool value);
/* Writes the count; an empty list raises std::out_of_range. The pointer is
 * valid until the list next changes. */
ORV_C_API const orv_int_rectangle* orv_render_state_scissor_rectangles_get(orv_render_state* state,
                                                                         int* count);
ORV_C_API void orv_render_state_scissor_rectangles_set(orv_render_state* state,
                                                      const orv_int_rectangle* rectangles, int count);

/* Fill state */
ORV_C_API orv_fill_state orv_fill_state_create(void);
ORV_C_API void orv_fill_state_destroy(orv_fill_state state);
/* Not implemented: prints a line saying so and returns NULL. */
ORV_C_API orv_paint orv_fill_state_paint_get(orv_fill_state state);
ORV_C_API void orv_fill_state_paint_set(orv_fill_state state, orv_paint paint);
ORV_C_API int orv_fill_state_fill_rule_get(orv_fill_state state);
ORV_C_API void orv_fill_state_fill_rule_set(orv_fill_state state, int rule);
ORV_C_API void orv_fill_state_set_defaults(orv_fill_state state);

/* Stroke state */
ORV_C_API orv_stroke_state orv_stroke_state_create(void);
ORV_C_API void orv_stroke_state_destroy(orv_stroke_state state);
ORV_C_API void orv_stroke_state_paint_set(orv_stroke_state state, orv_paint paint);
ORV_C_API float orv_stroke_state_line_width_get(orv_stroke_state state);
ORV_C_API void orv_stroke_state_line_width_set(orv_stroke_state state, float width);
ORV_C_API int orv_stroke_state_cap_style_get(orv_stroke_state state);
ORV_C_API void orv_stroke_state_cap_style_set(orv_stroke_state state, int style);
ORV_C_API int orv_stroke_state_join_style_get(orv_stroke_state state);
ORV_C_API void orv_stroke_state_join_style_set(orv_stroke_state state, int style);
ORV_C_API float orv_stroke_state_miter_limit_get(orv_stroke_state state);
ORV_C_API void orv_stroke_state_miter_limit_set(orv_stroke_state state, float limit);
ORV_C_API float orv_stroke_state_dash_phase_get(orv_stroke_state state);
ORV_C_API void orv_stroke_state_dash_phase_set(orv_stroke_state state, float phase);
ORV_C_API bool orv_stroke_state_dash_phase_reset_enabled_get(orv_stroke_state state);
ORV_C_API void orv_stroke_state_dash_phase_reset_enabled_set(orv_stroke_state state, bool enabled);
/* `values` holds `count` dash-gap pairs (2 x count floats). */
ORV_C_API void orv_stroke_state_dash_pattern_set(orv_stroke_state state, const float* values, int count);
ORV_C_API void orv_stroke_state_set_defaults(orv_stroke_state state);

/* Paths */
ORV_C_API orv_path orv_path_create(orv_context2D context);
ORV_C_API void orv_path_destroy(orv_path path);
ORV_C_API void orv_path_draw(orv_path path, orv_fill_state fill, orv_stroke_state stroke);

/* Path builder */
ORV_C_API orv_path_builder orv_path_builder_create(void);
ORV_C_API void orv_path_builder_destroy(orv_path_builder builder);
ORV_C_API void orv_path_builder_clear(orv_path_builder builder);
ORV_C_API orv_path orv_path_builder_to_path(orv_path_builder builder, orv_context2D context);
ORV_C_API void orv_path_builder_close(orv_path_builder builder);
ORV_C_API void orv_path_builder_moveto(orv_path_builder builder, float x, float y);
ORV_C_API void orv_path_builder_moveto_rel(orv_path_builder builder, float dx, float dy);
ORV_C_API void orv_path_builder_line(orv_path_builder builder, float x1, float y1, float x2, float y2);
ORV_C_API void orv_path_builder_lineto(orv_path_builder builder, float x, float y);
ORV_C_API void orv_path_builder_lineto_rel(orv_path_builder builder, float dx, float dy);
ORV_C_API void orv_path_builder_hlineto(orv_path_builder builder, float x);
ORV_C_API void orv_path_builder_hlineto_rel(orv_path_builder builder, float dx);
ORV_C_API void orv_path_builder_vlineto(orv_path_builder builder, float y);
ORV_C_API void orv_path_builder_vlineto_rel(orv_path_builder builder, float dy);
ORV_C_API void orv_path_builder_rectangle(orv_path_builder builder, float x, float y, float width,
                                          float height);
ORV_C_API void orv_path_builder_round_rectangle(orv_path_builder builder, float x, float y, float width,
                                                float height, float arcWidth, float arcHeight);
ORV_C_API void orv_path_builder_ellipse(orv_path_builder builder, float x, float y, float width,
                                        float height);
ORV_C_API void orv_path_builder_arc(orv_path_builder builder, float x, float y, float width, float height,
                                    float start, float extent, int type);
ORV_C_API void orv_path_builder_quadto(orv_path_builder builder, float cx, float cy, float x, float y);
ORV_C_API void orv_path_builder_quadto_rel(orv_path_builder builder, float dcx, float dcy, float dx,
                                           float dy);
ORV_C_API void orv_path_builder_cubicto(orv_path_builder builder, float c1x, float c1y, float c2x,
                                        float c2y, float x, float y);
ORV_C_API void orv_path_builder_cubicto_rel(orv_path_builder builder, float dc1x, float dc1y, float dc2x,
                                            float dc2y, float dx, float dy);
ORV_C_API void orv_path_builder_squadto(orv_path_builder builder, float x, float y);
ORV_C_API void orv_path_builder_squadto_rel(orv_path_builder builder, float dx, float dy);
ORV_C_API void orv_path_builder_scubicto(orv_path_builder builder, float c2x, float c2y, float x, float y);
ORV_C_API void orv_path_builder_scubicto_rel(orv_path_builder builder, float dc2x, float dc2y, float dx,
                                             float dy);
ORV_C_API void orv_path_builder_sccwarcto(orv_path_builder builder, float rx, float ry, float angle,
                                          float x, float y);
ORV_C_API void orv_path_builder_sccwarcto_rel(orv_path_builder builder, float rx, float ry, float angle,
                                              float dx, float dy);
ORV_C_API void orv_path_builder_scwarcto(orv_path_builder builder, float rx, float ry, float angle,
                                         float x, float y);
ORV_C_API void orv_path_builder_scwarcto_rel(orv_path_builder builder, float rx, float ry, float angle,
                                             float dx, float dy);
ORV_C_API void orv_path_builder_lccwarcto(orv_path_builder builder, float rx, float ry, float angle,
                                          float x, float y);
ORV_C_API void orv_path_builder_lccwarcto_rel(orv_path_builder builder, float rx, float ry, float angle,
                                              float dx, float dy);
ORV_C_API void orv_path_builder_lcwarcto(orv_path_builder builder, float rx, float ry, float angle,
                                         float x, float y);
ORV_C_API void orv_path_builder_lcwarcto_rel(orv_path_builder builder, float rx, float ry, float angle,
                                             float dx, float dy);

/* Colour paint */
ORV_C_API orv_color_paint orv_color_paint_create(orv_context2D context, float r, float g, float b,
                                                 float a);
ORV_C_API void orv_color_paint_destroy(orv_color_paint paint);
ORV_C_API orv_color orv_color_paint_color_get(orv_color_paint paint);

/* Gradient paints. A linear or radial gradient handle is an orv_gradient_paint
 * and an orv_paint. Spread modes: 0 pad, 1 reflect, 2 repeat; any value is
 * stored, drawing with another one raises NotSupportedException. */
typedef struct orv_color_stop {
    float Offset; /* ramp position, clamped to 0..1 when drawn */
    float R;      /* straight-alpha colour */
    float G;
    float B;
    float A;
} orv_color_stop;

typedef orv_paint orv_gradient_paint;
typedef orv_gradient_paint orv_linear_gradient_paint;
typedef orv_gradient_paint orv_radial_gradient_paint;

ORV_C_API int orv_gradient_paint_color_ramp_spread_mode_get(orv_gradient_paint paint);
ORV_C_API void orv_gradient_paint_color_ramp_spread_mode_set(orv_gradient_paint paint, int mode);
/* Stored and reported only; drawing ignores the flag. */
ORV_C_API bool orv_gradient_paint_color_ramp_premulitiplier_enabled_get(orv_gradient_paint paint);
ORV_C_API void orv_gradient_paint_color_ramp_premulitiplier_enabled_set(orv_gradient_paint paint, bool enabled);
/* Writes the count and returns the paint's own stops, valid until they are
 * next set or the paint is destroyed; no stops raises std::out_of_range. */
ORV_C_API const orv_color_stop* orv_gradient_paint_color_stops_get(orv_gradient_paint paint, int* count);
/* Replaces the stops with `count` copied from `stops`, in order; a count of 0
 * or less empties the list. NULL with a positive count raises
 * ArgumentNullException and keeps the stops. */
ORV_C_API void orv_gradient_paint_color_stops_set(orv_gradient_paint paint, const orv_color_stop* stops,
                                                  int count);

/* From (x0, y0) to (x1, y1) in paint space. */
ORV_C_API orv_linear_gradient_paint orv_linear_gradient_paint_create(orv_context2D context, float x0, float y0,
                                                                     float x1, float y1);
ORV_C_API void orv_linear_gradient_paint_destroy(orv_linear_gradient_paint paint);
/* Circle of `radius` around (cx, cy), focus (fx, fy), in paint space. */
ORV_C_API orv_radial_gradient_paint orv_radial_gradient_paint_create(orv_context2D context, float cx, float cy,
                                                                     float radius, float fx, float fy);
ORV_C_API void orv_radial_gradient_paint_destroy(orv_radial_gradient_paint paint);

/* Images */
/* Wraps client memory, which is borrowed and not validated. */
ORV_C_API orv_image orv_image_create(orv_context2D context, int format, int width, int height, int stride,
                                     void* data);
ORV_C_API void orv_image_destroy(orv_image image);
ORV_C_API int orv_image_format_get(orv_image image);
ORV_C_API int orv_image_width_get(orv_image image);
ORV_C_API int orv_image_height_get(orv_image image);
ORV_C_API int orv_image_stride_get(orv_image image);
ORV_C_API void* orv_image_data_get(orv_image image);

/* PNG images */
ORV_C_API orv_png_image orv_png_image_create_from_file(orv_context2D context, const char* filename);
ORV_C_API void orv_png_image_destroy(orv_png_image image);
ORV_C_API void orv_png_image_save(orv_image image, const char* filename);

#ifdef __cplusplus
}
#endif

#endif
