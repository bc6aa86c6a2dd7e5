/** @file
 * The C interface of the library.
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
 * Errors are C++ exceptions of the library's family; by default they pass
 * through these functions unchanged, which ends a C program. A C program
 * calls orv_error_mode_set(ORV_ERROR_MODE_RECORD) first: then no function
 * lets an exception out, each error is recorded for the calling thread
 * (orv_error_last, orv_error_message) and the function returns a neutral
 * value. */
#ifndef VUDADIVE2R_H
#define VUDADIVE2R_H

#include <stdbool.h>
#include <stdint.h>

#include "vudadive2r_version.h"
#include "zadozi.h"

#if defined(__GNUC__)
#define ORV_C_API __attribute__((visibility("default")))
#else
#define ORV_C_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Named values of the enumerations that the functions take and return as
 * int; they equal the class interface's enumeration values. Setters store
 * any value; drawing rejects one outside its list. */

/** Where y = 0 lies (orv_render_state_origin_*). */
enum {
    ORV_ORIGIN_BOTTOM_LEFT = 0, /**< y = 0 is the bottom row, y grows upwards (the default) */
    ORV_ORIGIN_TOP_LEFT = 1     /**< y = 0 is the top row, y grows downwards */
};

/** How a paint is composited over the surface (orv_render_state_blend_mode_*). */
enum {
    ORV_BLEND_MODE_SOURCE = 0,
    ORV_BLEND_MODE_SOURCE_OVER = 1, /**< the default */
    ORV_BLEND_MODE_DESTINATION_OVER = 2,
    ORV_BLEND_MODE_SOURCE_IN = 3,
    ORV_BLEND_MODE_DESTINATION_IN = 4,
    ORV_BLEND_MODE_MULTIPLY = 5,
    ORV_BLEND_MODE_SCREEN = 6,
    ORV_BLEND_MODE_DARKEN = 7,
    ORV_BLEND_MODE_LIGHTEN = 8,
    ORV_BLEND_MODE_PLUS = 9
};

/** Which points a fill covers (orv_fill_state_fill_rule_*). */
enum {
    ORV_FILL_RULE_EVEN_ODD = 0, /**< the default */
    ORV_FILL_RULE_NON_ZERO = 1
};

/** How open ends of a stroke look (orv_stroke_state_cap_style_*). */
enum {
    ORV_CAP_STYLE_BUTT = 0, /**< the default */
    ORV_CAP_STYLE_ROUND = 1,
    ORV_CAP_STYLE_SQUARE = 2
};

/** How a stroke turns a corner (orv_stroke_state_join_style_*). */
enum {
    ORV_JOIN_STYLE_MITER = 0, /**< the default */
    ORV_JOIN_STYLE_ROUND = 1,
    ORV_JOIN_STYLE_BEVEL = 2
};

/** How orv_path_builder_arc ends the arc; any other value acts as OPEN. */
enum {
    ORV_ARC_TYPE_OPEN = 0,  /**< the arc stays an open sub-path */
    ORV_ARC_TYPE_CHORD = 1, /**< closed straight back to its start */
    ORV_ARC_TYPE_PIE = 2    /**< a line to the centre, then closed */
};

/** How orv_path_clip combines a path with the clip. */
enum {
    ORV_CLIP_INTERSECT = 0, /**< drawable where the clip and the path both are */
    ORV_CLIP_DIFFERENCE = 1 /**< drawable where the clip is and the path is not */
};

/** What a gradient paints beyond its ends. */
enum {
    ORV_SPREAD_MODE_PAD = 0,     /**< the end colours continue (the default) */
    ORV_SPREAD_MODE_REFLECT = 1, /**< the ramp runs forward, then backward */
    ORV_SPREAD_MODE_REPEAT = 2   /**< the ramp starts again */
};

/** What an image paint paints beyond the image's edges. */
enum {
    ORV_TILING_MODE_CLIP = 0,    /**< the tile colour (the default) */
    ORV_TILING_MODE_NO_CLIP = 1, /**< nothing checked: the image must cover what is sampled */
    ORV_TILING_MODE_REPEAT = 2,  /**< the image repeats */
    ORV_TILING_MODE_REFLECT = 3  /**< the image repeats, every other copy mirrored */
};

/** The image quality that averages the pixels each surface pixel covers when an image paint shrinks
 * an image (other values sample bilinearly). */
enum { ORV_IMAGE_QUALITY_HIGH = 2 };

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

/* Errors */

/** How the functions of this header report errors (orv_error_mode_set). */
enum {
    ORV_ERROR_MODE_THROW = 0, /**< the default: every exception leaves the function unchanged */
    ORV_ERROR_MODE_RECORD = 1 /**< no exception leaves any function: see orv_error_last */
};

/** What orv_error_last reports: none, or the kind of the last error on this thread. The first
 * ten name the library's exception classes, the others the C++ standard library's. */
enum {
    ORV_ERROR_NONE = 0,
    ORV_ERROR_EXCEPTION = 1,                 /**< Exception: PNG and font files that cannot be read */
    ORV_ERROR_ARGUMENT = 2,                  /**< ArgumentException: SVG path data that cannot be read */
    ORV_ERROR_ARGUMENT_NULL = 3,             /**< ArgumentNullException: a NULL handle, view or pointer */
    ORV_ERROR_ARGUMENT_OUT_OF_RANGE = 4,     /**< ArgumentOutOfRangeException: a size or count */
    ORV_ERROR_NOT_SUPPORTED = 5,             /**< NotSupportedException: a value, format or layout */
    ORV_ERROR_NOT_IMPLEMENTED = 6,           /**< NotImplementedException, and orv_fill_state_paint_get */
    ORV_ERROR_INVALID_OPERATION = 7,         /**< InvalidOperationException: a surface or file refused */
    ORV_ERROR_INVALID_CAST = 8,              /**< InvalidCastException */
    ORV_ERROR_FILE_NOT_FOUND = 9,            /**< FileNotFoundException */
    ORV_ERROR_INDEX_OUT_OF_RANGE = 10,       /**< IndexOutOfRangeException */
    ORV_ERROR_OUT_OF_MEMORY = 11,            /**< std::bad_alloc */
    ORV_ERROR_LENGTH = 12,                   /**< std::length_error: a list beyond its largest size */
    ORV_ERROR_OUT_OF_RANGE = 13,             /**< std::out_of_range: an empty list read */
    ORV_ERROR_LOGIC = 14,                    /**< std::logic_error: a NULL font file name */
    ORV_ERROR_UNKNOWN = 15                   /**< any other exception */
};

/** Where the library's lines (exception messages, "Not implemented.") are printed. */
enum {
    ORV_MESSAGES_STDOUT = 0, /**< the default, flushed after each line */
    ORV_MESSAGES_STDERR = 1,
    ORV_MESSAGES_NONE = 2 /**< nothing is printed; orv_error_message still has the text */
};

/** Sets the error mode of every orv_* function, for the whole process (ORV_ERROR_MODE_*). In
 * ORV_ERROR_MODE_RECORD a function that fails records the error for the calling thread and
 * returns NULL, 0, 0.0f, false or a zeroed structure, with its count out-parameter 0; NULL
 * handles and views are reported as ORV_ERROR_ARGUMENT_NULL, never used. Another value is
 * refused as an error of the current mode (ORV_ERROR_ARGUMENT_OUT_OF_RANGE). */
ORV_C_API void orv_error_mode_set(int mode);
/** The error mode (ORV_ERROR_MODE_THROW at start). */
ORV_C_API int orv_error_mode_get(void);
/** ORV_ERROR_NONE, or the code of the last error recorded on this thread. The record stays
 * until the next error replaces it or orv_error_clear empties it: a successful call leaves it,
 * so a program may check once after a sequence of calls. */
ORV_C_API int orv_error_last(void);
/** The message of the last error recorded on this thread: the exception's own text, or the
 * function and exception class when it had none; "" when there is none. Valid until this
 * thread's next error or orv_error_clear. */
ORV_C_API const char* orv_error_message(void);
/** Empties this thread's error record. */
ORV_C_API void orv_error_clear(void);
/** Sends the library's lines where `where` says (ORV_MESSAGES_*), for the whole process and both
 * interfaces. Another value is refused as an error of the current mode. */
ORV_C_API void orv_messages_set(int where);
/** Where the library's lines go (ORV_MESSAGES_STDOUT at start). */
ORV_C_API int orv_messages_get(void);

/* Version */
/** The version of the library actually loaded, encoded as VUDADIVE2R_VERSION
 * is (major x 10000 + minor x 100 + patch). */
ORV_C_API int orv_version_get(void);

/* Context */
/** Creates a drawing context on `surface`, which the caller keeps and must outlive it; maps it
 * (read and write) without touching its pixels. Throws ArgumentNullException for a NULL surface. */
ORV_C_API orv_context2D orv_context2D_create(orv_surface* surface);
/** Releases the handle; the context lives on while paths, paints or images made from it exist.
 * NULL is ignored. */
ORV_C_API void orv_context2D_destroy(orv_context2D context);
/** The context's five named transforms: a view, valid while the context lives; never released. */
ORV_C_API orv_transforms* orv_context2D_transforms_get(orv_context2D context);
/** The context's render state (origin, blend mode, scissoring): a view, valid while the context
 * lives; never released. */
ORV_C_API orv_render_state* orv_context2D_render_state_get(orv_context2D context);
/** The colour that orv_context2D_clear writes, straight alpha, components 0 to 1; (0, 0, 0, 0)
 * at first. */
ORV_C_API orv_color orv_context2D_clear_color_get(orv_context2D context);
/** Sets the clear colour: straight alpha, components nominally 0 to 1, stored unchecked. */
ORV_C_API void orv_context2D_clear_color_set(orv_context2D context, float r, float g, float b, float a);
/** The number of threads the context draws with, 1 at first. */
ORV_C_API int orv_context2D_threads_get(orv_context2D context);
/** Sets the number of threads, 1 to 64, that the context draws large fills and strokes with: their
 * rows are shared out, the bytes as drawn on one. The threads are made on the first draw that needs
 * them, run only inside the context's drawing calls, and end with the context. Out of range:
 * ArgumentOutOfRangeException. */
ORV_C_API void orv_context2D_threads_set(orv_context2D context, int count);
/** Resets the clear colour, the five transforms (identity), the render state and the clip to
 * their defaults; saved states and open layers stay. */
ORV_C_API void orv_context2D_set_default_state(orv_context2D context);
/** Ends CPU access to the surface memory, so that the surface's owner sees what was drawn; the
 * next drawing call opens it again. */
ORV_C_API void orv_context2D_finish(orv_context2D context);
/** Fills the whole surface with the clear colour, ignoring blend mode, scissoring and
 * transforms. Throws InvalidOperationException unless the surface format is AB24, RA24 or RG16. */
ORV_C_API void orv_context2D_clear(orv_context2D context);
/** Fills the rectangle at (x, y) of width x height pixels, clipped to the surface, with the
 * clear colour. Rows are the surface's own (the origin setting does not apply). Throws as
 * orv_context2D_clear. */
ORV_C_API void orv_context2D_clear_rectangle(orv_context2D context, int x, int y, int width, int height);
/** Saves the context's surface as an 8-bit RGBA PNG file with straight alpha, its rows as they
 * are displayed (the surface's first row in memory at the top, whatever the origin), replacing a
 * file at `filename` only once the new one is whole. "AB24" surfaces are premultiplied and
 * divided back (each colour byte c of alpha a, 0 < a < 255, becomes (c x 255 + a / 2) / a, at
 * most 255; a = 0 gives 0), "RA24" and "RX24" are copied ("RX24" with alpha 255), "RG16" is
 * widened by bit replication with alpha 255. Throws NotSupportedException for another format and
 * what orv_png_image_save throws. */
ORV_C_API void orv_context2D_save_png(orv_context2D context, const char* filename);

/* Saved state, clip and layers. The clip is one coverage byte per surface pixel (255, every pixel
 * drawable, after a reset): each coverage byte a of a draw becomes (255 + a x m) >> 8 under the
 * clip byte m before it is composited. Clears and orv_font_draw_string ignore it, as they ignore
 * scissoring. */
/** Saves the five transforms, the render state and the clip. Throws InvalidOperationException
 * beyond 4 096 saved states. */
ORV_C_API void orv_context2D_save(orv_context2D context);
/** Restores what the last orv_context2D_save saved. Throws InvalidOperationException without
 * one, or when the last saved state is a layer's (orv_context2D_layer_pop ends it). */
ORV_C_API void orv_context2D_restore(orv_context2D context);
/** Removes the clip: every pixel drawable again (scissor rectangles still apply). */
ORV_C_API void orv_context2D_clip_reset(orv_context2D context);
/** Clips by the path's fill coverage c under the current path transform and `fill_rule`
 * (ORV_FILL_RULE_*), as a fill computes it: each clip byte m becomes (255 + m x c) >> 8 with
 * ORV_CLIP_INTERSECT, (255 + m x (255 - c)) >> 8 with ORV_CLIP_DIFFERENCE. Costs a byte per
 * surface pixel. Throws NotSupportedException for a rule or operation outside its list. */
ORV_C_API void orv_path_clip(orv_path path, int fill_rule, int operation);
/** Saves the state as orv_context2D_save does and opens a layer: a transparent premultiplied
 * copy of the surface's size that every draw, clear and text then writes instead of the
 * surface. Throws InvalidOperationException unless the surface is "AB24" or beyond 32 open
 * layers, NotSupportedException for a blend mode outside ORV_BLEND_MODE_*. */
ORV_C_API void orv_context2D_layer_push(orv_context2D context, float opacity, int blend_mode);
/** Restores the state saved by the last push and composites its layer onto what lies below:
 * every pixel (premultiplied) with the layer's blend mode at cover o, the opacity clamped to 0
 * to 1 as a byte, met with the restored clip as (255 + o x m) >> 8, once per scissor box.
 * Throws InvalidOperationException when the last saved state is not a layer's. */
ORV_C_API void orv_context2D_layer_pop(orv_context2D context);

/* Transforms */
/** The transform from path coordinates to surface pixels (a view). */
ORV_C_API orv_transform* orv_transforms_path(orv_transforms* transforms);
/** The image transform (a view): places an image paint's image in path space. */
ORV_C_API orv_transform* orv_transforms_image(orv_transforms* transforms);
/** The transform from fill paint space to path space (a view). */
ORV_C_API orv_transform* orv_transforms_fill_paint(orv_transforms* transforms);
/** The transform from stroke paint space to path space (a view). */
ORV_C_API orv_transform* orv_transforms_stroke_paint(orv_transforms* transforms);
/** The glyph transform (a view), for text. */
ORV_C_API orv_transform* orv_transforms_glyph(orv_transforms* transforms);
/** Resets the transform to the identity. */
ORV_C_API void orv_transform_load_identity(orv_transform* transform);
/** Appends a translation by (tx, ty): applied to a point after the operations given before it. */
ORV_C_API void orv_transform_translate(orv_transform* transform, float tx, float ty);
/** Appends a scaling by (sx, sy), applied after the operations given before it. */
ORV_C_API void orv_transform_scale(orv_transform* transform, float sx, float sy);
/** Appends a rotation by `angle` radians from +x towards +y, about the origin, applied after the
 * operations given before it. */
ORV_C_API void orv_transform_rotate(orv_transform* transform, float angle);
/** The current matrix, by value (row-major, row-vector convention). */
ORV_C_API orv_matrix3 orv_transform_get(orv_transform* transform);
/** Replaces the matrix with a copy of `*matrix`. */
ORV_C_API void orv_transform_set(orv_transform* transform, const orv_matrix3* matrix);

/* Render state */
/** Where y = 0 lies: one of ORV_ORIGIN_*, or whatever value was set. */
ORV_C_API int orv_render_state_origin_get(orv_render_state* state);
/** Sets the origin (ORV_ORIGIN_*); 0 puts y = 0 at the bottom, any other value at the top. */
ORV_C_API void orv_render_state_origin_set(orv_render_state* state, int value);
/** The image quality value (1 by default). */
ORV_C_API int orv_render_state_image_quality_get(orv_render_state* state);
/** Stores the image quality; ORV_IMAGE_QUALITY_HIGH resamples images that an image paint shrinks,
 * any other value samples bilinearly. */
ORV_C_API void orv_render_state_image_quality_set(orv_render_state* state, int value);
/** The rendering quality value, stored only (2 by default). */
ORV_C_API int orv_render_state_rendering_quality_get(orv_render_state* state);
/** Stores the rendering quality; drawing does not read it (anti-aliasing is always on). */
ORV_C_API void orv_render_state_rendering_quality_set(orv_render_state* state, int value);
/** The blend mode: one of ORV_BLEND_MODE_*, or whatever value was set. */
ORV_C_API int orv_render_state_blend_mode_get(orv_render_state* state);
/** Sets the blend mode (ORV_BLEND_MODE_*), unchecked; drawing with another value throws
 * NotSupportedException. */
ORV_C_API void orv_render_state_blend_mode_set(orv_render_state* state, int value);
/** The image mode value, stored only (0 by default). */
ORV_C_API int orv_render_state_image_mode_get(orv_render_state* state);
/** Stores the image mode; drawing does not read it. */
ORV_C_API void orv_render_state_image_mode_set(orv_render_state* state, int value);
/** Whether drawing is limited to the scissor rectangles (false by default). */
ORV_C_API bool orv_render_state_scissoring_enabled_get(orv_render_state* state);
/** Enables or disables scissoring; when enabled, drawing touches only pixels inside the union of
 * the rectangles (none if the list is empty). */
ORV_C_API void orv_render_state_scissoring_enabled_set(orv_render_state* state, bool value);
/** The scissor rectangles, in surface pixels; writes their count to `*count`. The array belongs
 * to the state and stays valid until the list next changes. Throws std::out_of_range when the
 * list is empty (in record mode: NULL, a count of 0 and ORV_ERROR_OUT_OF_RANGE). */
ORV_C_API const orv_int_rectangle* orv_render_state_scissor_rectangles_get(orv_render_state* state,
                                                                         int* count);
/** Replaces the scissor rectangles with a copy of `count` rectangles (x, y, width, height in
 * surface pixels, y counted from the origin). */
ORV_C_API void orv_render_state_scissor_rectangles_set(orv_render_state* state,
                                                      const orv_int_rectangle* rectangles, int count);

/* Fill state */
/** Creates a fill state with no paint and ORV_FILL_RULE_EVEN_ODD; it belongs to no context. */
ORV_C_API orv_fill_state orv_fill_state_create(void);
/** Releases the handle and, with it, the fill state's hold on its paint. NULL is ignored. */
ORV_C_API void orv_fill_state_destroy(orv_fill_state state);
/** Not implemented: prints "Not implemented." and a newline (see orv_messages_set) and returns
 * NULL; in record mode it also records ORV_ERROR_NOT_IMPLEMENTED. */
ORV_C_API orv_paint orv_fill_state_paint_get(orv_fill_state state);
/** Sets the paint of the fill, adding a reference to it (the caller still releases its own
 * handle); NULL means no fill. */
ORV_C_API void orv_fill_state_paint_set(orv_fill_state state, orv_paint paint);
/** The fill rule: one of ORV_FILL_RULE_*, or whatever value was set. */
ORV_C_API int orv_fill_state_fill_rule_get(orv_fill_state state);
/** Sets the fill rule (ORV_FILL_RULE_*), unchecked; drawing with another value throws
 * NotSupportedException. */
ORV_C_API void orv_fill_state_fill_rule_set(orv_fill_state state, int rule);
/** Drops the paint and restores ORV_FILL_RULE_EVEN_ODD. */
ORV_C_API void orv_fill_state_set_defaults(orv_fill_state state);

/* Stroke state */
/** Creates a stroke state with no paint, width 1, butt caps, miter joins, miter limit 4 and no
 * dashes; it belongs to no context. */
ORV_C_API orv_stroke_state orv_stroke_state_create(void);
/** Releases the handle and, with it, the stroke state's hold on its paint. NULL is ignored. */
ORV_C_API void orv_stroke_state_destroy(orv_stroke_state state);
/** Sets the paint of the stroke, adding a reference to it; NULL means no stroke. */
ORV_C_API void orv_stroke_state_paint_set(orv_stroke_state state, orv_paint paint);
/** The line width in surface pixels (strokes are made after the path transform). */
ORV_C_API float orv_stroke_state_line_width_get(orv_stroke_state state);
/** Sets the line width in surface pixels, unchecked. */
ORV_C_API void orv_stroke_state_line_width_set(orv_stroke_state state, float width);
/** The cap style: one of ORV_CAP_STYLE_*, or whatever value was set. */
ORV_C_API int orv_stroke_state_cap_style_get(orv_stroke_state state);
/** Sets the cap style (ORV_CAP_STYLE_*), unchecked; drawing with another value throws
 * NotSupportedException. */
ORV_C_API void orv_stroke_state_cap_style_set(orv_stroke_state state, int style);
/** The join style: one of ORV_JOIN_STYLE_*, or whatever value was set. */
ORV_C_API int orv_stroke_state_join_style_get(orv_stroke_state state);
/** Sets the join style (ORV_JOIN_STYLE_*), unchecked; drawing with another value throws
 * NotSupportedException. */
ORV_C_API void orv_stroke_state_join_style_set(orv_stroke_state state, int style);
/** The miter limit: the longest miter, from the corner to its tip, as a multiple of half the
 * line width. */
ORV_C_API float orv_stroke_state_miter_limit_get(orv_stroke_state state);
/** Sets the miter limit (a multiple of half the line width), unchecked. */
ORV_C_API void orv_stroke_state_miter_limit_set(orv_stroke_state state, float limit);
/** How far into the dash pattern each sub-path starts, in surface pixels. */
ORV_C_API float orv_stroke_state_dash_phase_get(orv_stroke_state state);
/** Sets the dash phase in surface pixels, unchecked. */
ORV_C_API void orv_stroke_state_dash_phase_set(orv_stroke_state state, float phase);
/** The dash-phase-reset flag, stored only. */
ORV_C_API bool orv_stroke_state_dash_phase_reset_enabled_get(orv_stroke_state state);
/** Stores the dash-phase-reset flag; drawing does not read it. */
ORV_C_API void orv_stroke_state_dash_phase_reset_enabled_set(orv_stroke_state state, bool enabled);
/** Replaces the dash pattern with a copy of `count` dash-gap pairs (2 x count floats: dash
 * length, gap length, ... in surface pixels); a count of 0 or less means solid. */
ORV_C_API void orv_stroke_state_dash_pattern_set(orv_stroke_state state, const float* values, int count);
/** Drops the paint and restores the defaults of orv_stroke_state_create. */
ORV_C_API void orv_stroke_state_set_defaults(orv_stroke_state state);

/* Paths */
/** Creates an empty path for `context`, which it keeps alive. */
ORV_C_API orv_path orv_path_create(orv_context2D context);
/** Releases the handle; the path is destroyed with its last reference. NULL is ignored. */
ORV_C_API void orv_path_destroy(orv_path path);
/** Fills and then strokes the path into the context's surface with the context's transforms and
 * render state; NULL for either state skips that pass. Throws InvalidOperationException unless
 * the surface is AB24, NotSupportedException for a fill rule, cap, join or blend mode outside
 * its list. */
ORV_C_API void orv_path_draw(orv_path path, orv_fill_state fill, orv_stroke_state stroke);
/** Appends SVG path data (an SVG `d` attribute) as SVG draws it, each point mapped by `transform`
 * (NULL for none) as it is appended: the way to draw an icon at a size with smooth curves. For a
 * viewBox (x, y, w, h) drawn `size` pixels wide, pass a translation by (-x, -y) then a scale of
 * size / w. An error keeps the commands before it and raises ArgumentException (its message gives
 * the byte offset and what was expected); NULL data raises ArgumentNullException. */
ORV_C_API void orv_path_append_svg_path_data(orv_path path, const char* data, const orv_matrix3* transform);

/* Path builder */
/** Creates an empty path builder; it belongs to no context. */
ORV_C_API orv_path_builder orv_path_builder_create(void);
/** Releases the builder. NULL is ignored. */
ORV_C_API void orv_path_builder_destroy(orv_path_builder builder);
/** Empties the builder and keeps its memory for reuse. */
ORV_C_API void orv_path_builder_clear(orv_path_builder builder);
/** Returns a new path for `context` holding what the builder recorded (the builder is
 * unchanged); the caller owns and destroys it. */
ORV_C_API orv_path orv_path_builder_to_path(orv_path_builder builder, orv_context2D context);
/** Closes the current sub-path with a straight line to its start. */
ORV_C_API void orv_path_builder_close(orv_path_builder builder);
/** Starts a sub-path at (x, y), in path coordinates. */
ORV_C_API void orv_path_builder_moveto(orv_path_builder builder, float x, float y);
/** Starts a sub-path at the current point plus (dx, dy). */
ORV_C_API void orv_path_builder_moveto_rel(orv_path_builder builder, float dx, float dy);
/** A separate line from (x1, y1) to (x2, y2): a move followed by a line. */
ORV_C_API void orv_path_builder_line(orv_path_builder builder, float x1, float y1, float x2, float y2);
/** A straight line to (x, y). */
ORV_C_API void orv_path_builder_lineto(orv_path_builder builder, float x, float y);
/** A straight line to the current point plus (dx, dy). */
ORV_C_API void orv_path_builder_lineto_rel(orv_path_builder builder, float dx, float dy);
/** A horizontal line to x. */
ORV_C_API void orv_path_builder_hlineto(orv_path_builder builder, float x);
/** A horizontal line by dx. */
ORV_C_API void orv_path_builder_hlineto_rel(orv_path_builder builder, float dx);
/** A vertical line to y. */
ORV_C_API void orv_path_builder_vlineto(orv_path_builder builder, float y);
/** A vertical line by dy. */
ORV_C_API void orv_path_builder_vlineto_rel(orv_path_builder builder, float dy);
/** A closed rectangle with corner (x, y) and the given full width and height, drawn from the
 * corner along +x first. */
ORV_C_API void orv_path_builder_rectangle(orv_path_builder builder, float x, float y, float width,
                                          float height);
/** A closed rectangle with corner (x, y), full width and height, whose corners are quarter
 * ellipses of full width arcWidth and height arcHeight (clamped to 0 and the size). Throws
 * ArgumentOutOfRangeException unless width and height are positive; nothing is recorded then. */
ORV_C_API void orv_path_builder_round_rectangle(orv_path_builder builder, float x, float y, float width,
                                                float height, float arcWidth, float arcHeight);
/** A closed ellipse centred on (x, y) with full width and height. Throws
 * ArgumentOutOfRangeException unless both are positive; nothing is recorded then. */
ORV_C_API void orv_path_builder_ellipse(orv_path_builder builder, float x, float y, float width,
                                        float height);
/** An elliptical arc centred on (x, y) with full width and height, from angle `start` through
 * `extent` (radians from +x towards +y; negative runs the other way), ended as ORV_ARC_TYPE_*
 * says. Throws ArgumentOutOfRangeException for a non-positive size or an extent too large to
 * record; nothing is recorded then. */
ORV_C_API void orv_path_builder_arc(orv_path_builder builder, float x, float y, float width, float height,
                                    float start, float extent, int type);
/** A quadratic Bezier curve with control point (cx, cy) to (x, y). */
ORV_C_API void orv_path_builder_quadto(orv_path_builder builder, float cx, float cy, float x, float y);
/** A quadratic Bezier curve, control point and end relative to the current point. */
ORV_C_API void orv_path_builder_quadto_rel(orv_path_builder builder, float dcx, float dcy, float dx,
                                           float dy);
/** A cubic Bezier curve with control points (c1x, c1y), (c2x, c2y) to (x, y). */
ORV_C_API void orv_path_builder_cubicto(orv_path_builder builder, float c1x, float c1y, float c2x,
                                        float c2y, float x, float y);
/** A cubic Bezier curve, control points and end relative to the current point. */
ORV_C_API void orv_path_builder_cubicto_rel(orv_path_builder builder, float dc1x, float dc1y, float dc2x,
                                            float dc2y, float dx, float dy);
/** A smooth quadratic curve to (x, y): its control point mirrors the previous one. */
ORV_C_API void orv_path_builder_squadto(orv_path_builder builder, float x, float y);
/** A smooth quadratic curve to the current point plus (dx, dy). */
ORV_C_API void orv_path_builder_squadto_rel(orv_path_builder builder, float dx, float dy);
/** A smooth cubic curve to (x, y): its first control point mirrors the previous one, the second
 * is (c2x, c2y). */
ORV_C_API void orv_path_builder_scubicto(orv_path_builder builder, float c2x, float c2y, float x, float y);
/** A smooth cubic curve, second control point and end relative to the current point. */
ORV_C_API void orv_path_builder_scubicto_rel(orv_path_builder builder, float dc2x, float dc2y, float dx,
                                             float dy);
/** The small counter-clockwise arc of the ellipse with radii rx, ry rotated by `angle` radians,
 * to (x, y). */
ORV_C_API void orv_path_builder_sccwarcto(orv_path_builder builder, float rx, float ry, float angle,
                                          float x, float y);
/** As orv_path_builder_sccwarcto, the end relative to the current point. */
ORV_C_API void orv_path_builder_sccwarcto_rel(orv_path_builder builder, float rx, float ry, float angle,
                                              float dx, float dy);
/** The small clockwise arc of the ellipse with radii rx, ry rotated by `angle` radians, to (x,
 * y). */
ORV_C_API void orv_path_builder_scwarcto(orv_path_builder builder, float rx, float ry, float angle,
                                         float x, float y);
/** As orv_path_builder_scwarcto, the end relative to the current point. */
ORV_C_API void orv_path_builder_scwarcto_rel(orv_path_builder builder, float rx, float ry, float angle,
                                             float dx, float dy);
/** The large counter-clockwise arc of the ellipse with radii rx, ry rotated by `angle` radians,
 * to (x, y). */
ORV_C_API void orv_path_builder_lccwarcto(orv_path_builder builder, float rx, float ry, float angle,
                                          float x, float y);
/** As orv_path_builder_lccwarcto, the end relative to the current point. */
ORV_C_API void orv_path_builder_lccwarcto_rel(orv_path_builder builder, float rx, float ry, float angle,
                                              float dx, float dy);
/** The large clockwise arc of the ellipse with radii rx, ry rotated by `angle` radians, to (x,
 * y). */
ORV_C_API void orv_path_builder_lcwarcto(orv_path_builder builder, float rx, float ry, float angle,
                                         float x, float y);
/** As orv_path_builder_lcwarcto, the end relative to the current point. */
ORV_C_API void orv_path_builder_lcwarcto_rel(orv_path_builder builder, float rx, float ry, float angle,
                                             float dx, float dy);
/** Records SVG path data as absolute commands, as orv_path_append_svg_path_data reads it; each point
 * mapped by `transform` (NULL for none). */
ORV_C_API void orv_path_builder_svg_path_data(orv_path_builder builder, const char* data,
                                              const orv_matrix3* transform);

/* Colour paint */
/** Creates a paint of one colour for `context` (straight alpha, components nominally 0 to 1);
 * usable wherever an orv_paint is expected. */
ORV_C_API orv_color_paint orv_color_paint_create(orv_context2D context, float r, float g, float b,
                                                 float a);
/** Releases the handle; fill and stroke states that hold the paint keep it. NULL is ignored. */
ORV_C_API void orv_color_paint_destroy(orv_color_paint paint);
/** The paint's colour as given to orv_color_paint_create. */
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
 * next set or the paint is destroyed; no stops raises std::out_of_range (in
 * record mode: NULL, a count of 0 and ORV_ERROR_OUT_OF_RANGE). */
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
/** Wraps client memory as an image: `data` is borrowed (it must outlive the image and is not
 * validated), `stride` in bytes, negative when row 0 is the last row in memory. */
ORV_C_API orv_image orv_image_create(orv_context2D context, int format, int width, int height, int stride,
                                     void* data);
/** Releases the handle; the client's memory is not freed. NULL is ignored. */
ORV_C_API void orv_image_destroy(orv_image image);
/** The image's four-character format code (ZADOZI_FORMAT_*). */
ORV_C_API int orv_image_format_get(orv_image image);
/** Width in pixels. */
ORV_C_API int orv_image_width_get(orv_image image);
/** Height in pixels. */
ORV_C_API int orv_image_height_get(orv_image image);
/** Bytes from one row to the next; negative when row 0 is the last row in memory. */
ORV_C_API int orv_image_stride_get(orv_image image);
/** The lowest address of the pixels; owned by the image (or its client), valid while it lives. */
ORV_C_API void* orv_image_data_get(orv_image image);

/* PNG images */
/** Loads a PNG file (8-bit RGB or RGBA, 8- or 16-bit grey) into a new image that owns its
 * pixels. Throws InvalidOperationException for a file that cannot be opened or read,
 * NotSupportedException for another layout. */
ORV_C_API orv_png_image orv_png_image_create_from_file(orv_context2D context, const char* filename);
/** Releases the handle; the pixels are freed with the image. NULL is ignored. */
ORV_C_API void orv_png_image_destroy(orv_png_image image);
/** Writes an RA24 image to `filename` as an 8-bit RGBA PNG file. Throws ArgumentNullException
 * for NULL arguments or pixels, ArgumentOutOfRangeException for an empty size,
 * NotSupportedException for another format, Exception when writing fails. */
ORV_C_API void orv_png_image_save(orv_image image, const char* filename);

/* JPEG images */
/** Loads a baseline or progressive JPEG file into a new "RX24" image (X = 255) that owns its
 * pixels, turned upright by its Exif orientation (1 to 8), bottom row first like every loaded
 * image. Colour is libjpeg-turbo's accurate decode; grey is replicated into R, G and B; CMYK
 * (and YCCK) becomes R = C x K / 255 rounded, G and B likewise from M and Y, as libjpeg-turbo's
 * tools show Adobe's inverted CMYK. The context may be NULL. Throws ArgumentNullException for a
 * NULL file name; InvalidOperationException for a file that cannot be opened, is not a JPEG
 * file, is damaged or cut short (with the decoder's own message), has more than 2^28 pixels or
 * more than 1 000 scans, or needs more than 1 GB of decoder memory; NotSupportedException for
 * component counts other than 1, 3 and 4. */
ORV_C_API orv_image orv_jpeg_image_create_from_file(orv_context2D context, const char* filename);
/** Releases the handle; the pixels are freed with the image. NULL is ignored. */
ORV_C_API void orv_jpeg_image_destroy(orv_image image);

/* Fonts: text drawn with a FreeType face (face 0 of any file FreeType
 * reads). orv_font_measure_string and orv_font_draw_string take each byte 1
 * to 255 as one character (Latin-1); the _utf8 twins decode UTF-8. A
 * character the face cannot load is skipped. Glyphs follow the context's
 * glyph transform. */
typedef struct orv_font_handle* orv_font;
/* Opens the font file at `size` pixels per em. Raises the library's Exception
 * ("FT_New_Face failed.") for a file that is not a readable font,
 * ArgumentNullException for a NULL context, std::logic_error for a NULL
 * file name and ArgumentOutOfRangeException for a size below 1 or above
 * 33554431, or one FreeType cannot scale to ("FT_Set_Char_Size failed.").
 * Release with orv_font_destroy. */
ORV_C_API orv_font orv_font_create(orv_context2D context, const char* filename, int size);
/* Opens the font fontconfig matches best to `pattern` ("DejaVu Sans", "Noto Sans:bold",
 * "monospace"), as fc-match chooses it: its file and face, at `size` pixels per em. Raises
 * ArgumentNullException for a NULL pattern, the library's Exception ("No font matches the
 * pattern.") when nothing matches, and what orv_font_create raises. */
ORV_C_API orv_font orv_font_create_from_name(orv_context2D context, const char* pattern, int size);
/* The font file a font was opened from (for a font by name, fontconfig's match), valid while the
 * font lives. */
ORV_C_API const char* orv_font_file_name_get(orv_font font);
ORV_C_API void orv_font_destroy(orv_font font);
/* Line metrics of the sized face in pixels: height = ascender - descender,
 * the descender negative. */
ORV_C_API float orv_font_height_get(orv_font font);
ORV_C_API float orv_font_ascender_get(orv_font font);
ORV_C_API float orv_font_descender_get(orv_font font);
/* Length in pixels of the text's summed advances under the glyph transform.
 * A NULL text raises ArgumentNullException. */
ORV_C_API float orv_font_measure_string(orv_font font, const char* text);
/* Blends the text in the straight-alpha colour (r, g, b, a) into the
 * surface, its baseline starting at (x, y) under the glyph transform.
 * Ignores the blend mode and scissoring. A NULL text raises
 * ArgumentNullException; a surface format other than "AB24"
 * InvalidOperationException. */
ORV_C_API void orv_font_draw_string(orv_font font, int x, int y, const char* text, float r, float g, float b,
                                    float a);
/* orv_font_measure_string and orv_font_draw_string of UTF-8 text. Every
 * malformed sequence (overlong, surrogate, above U+10FFFF, cut short, a
 * stray continuation byte) counts as one U+FFFD, taking the bytes a web
 * browser's decoder takes. */
ORV_C_API float orv_font_measure_string_utf8(orv_font font, const char* text);
ORV_C_API void orv_font_draw_string_utf8(orv_font font, int x, int y, const char* text, float r, float g,
                                         float b, float a);

/* Shaped text. A run is a line of UTF-8 text shaped once with a font and drawn like a filled path;
 * a layout is a paragraph of runs wrapped to a width. Both keep their font alive.
 *
 * Shaping: every malformed UTF-8 sequence is one U+FFFD (as orv_font_measure_string_utf8 decodes
 * it); bidirectional levels follow the Unicode bidirectional algorithm, the paragraph's direction
 * from its first strong character; the text is cut where the level, the script or the font
 * changes and each piece is shaped by HarfBuzz (its own OpenType functions, the font scaled to
 * 64 x size, no hinting), the pieces placed in display order. A character the font lacks takes
 * the first font of fontconfig's fallback list that has it (for a font by name the list of its
 * pattern, for a font from a file that of its face's family name); marks and characters of no
 * script stay with the font before them; a character no font has is glyph 0 of the font. */
typedef struct orv_text_run_handle* orv_text_run;
typedef struct orv_text_layout_handle* orv_text_layout;
/* One glyph: its index in its font, the byte offset in the text of its cluster, its origin in
 * pixels from the run's origin (y downwards, multiples of 1/64) and its font in the fallback list
 * (0: the run's font itself). */
typedef struct orv_glyph {
    unsigned int index;
    unsigned int cluster;
    float x, y;
    int font;
} orv_glyph;
/* A box in pixels from an origin, y downwards: corner (x, y), width and height. */
typedef struct orv_text_extents {
    float x, y, width, height;
} orv_text_extents;
/* Shapes `utf8` with the font. `features`: NULL or HarfBuzz feature strings separated by commas
 * ("liga=0,tnum"; ranges in bytes of the text); empty entries are skipped. The language is
 * HarfBuzz's default (from the locale). Raises ArgumentNullException for a NULL font or text,
 * ArgumentException for a feature that cannot be read, ArgumentOutOfRangeException for a text of
 * more than 1048576 bytes. Release with orv_text_run_destroy. */
ORV_C_API orv_text_run orv_text_run_create(orv_font font, const char* utf8, const char* features);
/* As orv_text_run_create, in the language of a BCP 47 tag ("tr", "sr-Cyrl"; NULL: the default). */
ORV_C_API orv_text_run orv_text_run_create_with_language(orv_font font, const char* utf8, const char* features,
                                                         const char* language);
ORV_C_API void orv_text_run_destroy(orv_text_run run);
/* The glyphs in display order, left to right; their count in `*count` (NULL raises
 * ArgumentNullException). The array lives as long as the run. */
ORV_C_API const orv_glyph* orv_text_run_glyphs_get(orv_text_run run, int* count);
/* The sum of the advances in pixels. */
ORV_C_API float orv_text_run_advance_get(orv_text_run run);
/* Logical extents: from the origin to the advance, from the font's ascender (above, negative y)
 * to its descender. Ink extents: the smallest box of every glyph outline and colour glyph box
 * (rounded outwards to 1/64 pixel), all zero without ink. */
ORV_C_API orv_text_extents orv_text_run_logical_extents_get(orv_text_run run);
ORV_C_API orv_text_extents orv_text_run_ink_extents_get(orv_text_run run);
/* The file of font `font` of the run's fallback list, valid while the run lives. Raises
 * ArgumentOutOfRangeException for an index beyond the list. */
ORV_C_API const char* orv_text_run_font_file_name_get(orv_text_run run, int font);
/* Fills the glyph outlines (FreeType's, unhinted at the font's size, in 1/64 pixel), each at its
 * glyph's position from (x, y) in path space rounded to a quarter pixel and flattened there (the
 * README defines it), as one path with the non-zero rule in the fill
 * state's paint: exactly the bytes orv_path_draw gives that path (path transform, blend mode,
 * scissors, clip, layers). Then each colour glyph (an emoji font's bitmap) in glyph order, as a
 * rectangle filled with an image paint of its bitmap in its own colours (the README defines it).
 * A NULL fill draws nothing. */
ORV_C_API void orv_text_run_draw(orv_text_run run, float x, float y, orv_fill_state fill);

/* Alignments of a layout's lines. */
enum {
    ORV_TEXT_ALIGNMENT_LEFT = 0,
    ORV_TEXT_ALIGNMENT_RIGHT = 1,
    ORV_TEXT_ALIGNMENT_CENTER = 2,
    ORV_TEXT_ALIGNMENT_JUSTIFY = 3
};
/* A line of a layout: bytes [start, end) of the text (trailing spaces and the line break left
 * out), its origin (x from the layout's left, y its baseline below the layout's top) and advance. */
typedef struct orv_text_line {
    int start, end;
    float x, y, width;
} orv_text_line;
/* Wraps `utf8` to `width` pixels at the Unicode line-break opportunities (ICU's): greedy, a piece
 * wider than the width alone on its line, a newline always breaking. Line i's baseline lies at
 * ascender + i x height; Right puts a line at width - advance, Center at half that, Justify widens
 * every line but the last and those before a newline to the width by equal shares after each
 * space. Raises what orv_text_run_create raises, and ArgumentOutOfRangeException for a width that
 * is negative or not finite or an alignment outside the list. */
ORV_C_API orv_text_layout orv_text_layout_create(orv_font font, const char* utf8, const char* features,
                                                 float width, int alignment);
ORV_C_API void orv_text_layout_destroy(orv_text_layout layout);
ORV_C_API int orv_text_layout_line_count_get(orv_text_layout layout);
/* Line `index`; ArgumentOutOfRangeException out of range (a zeroed line in the record mode). */
ORV_C_API orv_text_line orv_text_layout_line_get(orv_text_layout layout, int index);
/* The glyphs of line `index`, positioned from the line's origin, as orv_text_run_glyphs_get. */
ORV_C_API const orv_glyph* orv_text_layout_line_glyphs_get(orv_text_layout layout, int index, int* count);
/* From (0, 0) to the width and the lines' total height. */
ORV_C_API orv_text_extents orv_text_layout_extents_get(orv_text_layout layout);
/* Draws every line at (x + line x, y + line y) as one path, as orv_text_run_draw draws a run. */
ORV_C_API void orv_text_layout_draw(orv_text_layout layout, float x, float y, orv_fill_state fill);

/* Image paint. An image paint handle is an orv_paint. The paint shares the
 * image: destroying the image handle leaves the image alive while a paint
 * holds it. Drawing throws for an image format other than "RA24" or "RX24"
 * and for a tiling mode other than the ORV_TILING_MODE_* values. */
typedef orv_paint orv_image_paint;
/* A new paint on `image` (any image handle; NULL throws), tiling mode 0,
 * tile colour (0, 0, 0, 0). */
ORV_C_API orv_image_paint orv_image_paint_create(orv_context2D context, orv_image image);
ORV_C_API void orv_image_paint_destroy(orv_image_paint paint);
/* The tiling mode as stored; the setter stores any value. */
ORV_C_API int32_t orv_image_paint_tiling_mode_get(orv_image_paint paint);
ORV_C_API void orv_image_paint_tiling_mode_set(orv_image_paint paint, int32_t mode);
/* The colour sampled beyond the image with tiling mode 0: straight alpha,
 * components nominally 0 to 1, stored unchecked. */
ORV_C_API orv_color orv_image_paint_tile_color_get(orv_image_paint paint);
ORV_C_API void orv_image_paint_tile_color_set(orv_image_paint paint, float r, float g, float b, float a);

#ifdef __cplusplus
}
#endif

#endif
