/* A line chart of two series: axes, a dashed grid, tick labels, a title and
 * a legend, saved as a PNG file.
 *
 *   chart [OUTPUT.png [FONT.ttf]]     (chart.png and DejaVu Sans by default)
 *
 * Build it with
 *   cc -std=c99 chart.c $(pkg-config --cflags --libs vudadive2r) -o chart */
#include <stdio.h>

#include "vudadive2r.h"

#define WIDTH 600
#define HEIGHT 400
#define MONTHS 12
/* Without a font file, the font fontconfig finds for this name. */
#define DEFAULT_FONT "DejaVu Sans"

/* The plot area in pixels (y = 0 at the top) and the values it spans. */
static const float left = 64, right = 576, top = 56, bottom = 352;
static const float y_max = 100, y_step = 20;

static float x_of(int month) { return left + (right - left) * (month + 0.5f) / MONTHS; }
static float y_of(float value) { return bottom - (bottom - top) * value / y_max; }

typedef struct series {
    const char* name;
    float r, g, b;
    float values[MONTHS];
} series;

static const series data[2] = {
    {"Visitors", 0.13f, 0.42f, 0.80f, {22, 28, 35, 41, 52, 61, 74, 79, 68, 55, 43, 38}},
    {"Sign-ups", 0.90f, 0.38f, 0.12f, {8, 12, 11, 19, 24, 30, 33, 41, 38, 30, 26, 29}},
};

/* Everything drawn goes through one context, builder and pair of states. */
typedef struct chart {
    orv_context2D context;
    orv_path_builder builder;
    orv_fill_state fill;
    orv_stroke_state stroke;
    orv_font font, title_font;
} chart;

/* Draws what the builder holds, filled and/or stroked in one colour, and empties it. */
static void draw(chart* c, int filled, float line_width, float r, float g, float b, float a)
{
    orv_color_paint paint = orv_color_paint_create(c->context, r, g, b, a);
    orv_fill_state_paint_set(c->fill, paint);
    orv_stroke_state_paint_set(c->stroke, paint);
    orv_stroke_state_line_width_set(c->stroke, line_width);
    orv_path path = orv_path_builder_to_path(c->builder, c->context);
    orv_path_draw(path, filled ? c->fill : NULL, line_width > 0 ? c->stroke : NULL);
    orv_path_destroy(path);
    orv_color_paint_destroy(paint);
    orv_path_builder_clear(c->builder);
}

/* Text with its baseline at y; `align` 0 starts it at x, 1 centres it, 2 ends it there. */
static void text(orv_font font, float x, float y, int align, const char* string, float grey)
{
    float width = orv_font_measure_string(font, string);
    orv_font_draw_string(font, (int)(x - width * align / 2 + 0.5f), (int)(y + 0.5f), string, grey, grey, grey, 1);
}

int main(int argc, char** argv)
{
    const char* output = argc > 1 ? argv[1] : "chart.png";
    const char* font_file = argc > 2 ? argv[2] : NULL;
    /* Errors are recorded, not thrown (C cannot catch an exception), and
     * the library prints nothing: a failure is reported here, once. */
    orv_error_mode_set(ORV_ERROR_MODE_RECORD);
    orv_messages_set(ORV_MESSAGES_NONE);

    orv_surface* surface = orv_surface_create(WIDTH, HEIGHT, ZADOZI_FORMAT_AB24);
    chart c;
    c.context = orv_context2D_create(surface);
    orv_render_state_origin_set(orv_context2D_render_state_get(c.context), ORV_ORIGIN_TOP_LEFT);
    orv_context2D_clear_color_set(c.context, 1, 1, 1, 1);
    orv_context2D_clear(c.context);
    c.builder = orv_path_builder_create();
    c.fill = orv_fill_state_create();
    c.stroke = orv_stroke_state_create();
    c.font =
        font_file ? orv_font_create(c.context, font_file, 13) : orv_font_create_from_name(c.context, DEFAULT_FONT, 13);
    c.title_font =
        font_file ? orv_font_create(c.context, font_file, 17) : orv_font_create_from_name(c.context, DEFAULT_FONT, 17);
    if (!c.font || !c.title_font) {
        fprintf(stderr, "chart: the font '%s': %s\n", font_file ? font_file : DEFAULT_FONT, orv_error_message());
        return 1;
    }

    /* The dashed grid: a line per value tick. Lines on pixel centres stay sharp. */
    static const float dashes[2] = {4, 4};
    orv_stroke_state_dash_pattern_set(c.stroke, dashes, 1); /* one dash-gap pair */
    for (float value = y_step; value <= y_max; value += y_step)
        orv_path_builder_line(c.builder, left, (int)y_of(value) + 0.5f, right, (int)y_of(value) + 0.5f);
    draw(&c, 0, 1, 0.78f, 0.80f, 0.84f, 1);
    orv_stroke_state_dash_pattern_set(c.stroke, NULL, 0);

    /* Axes and ticks. */
    orv_path_builder_moveto(c.builder, left + 0.5f, top);
    orv_path_builder_lineto(c.builder, left + 0.5f, bottom + 0.5f);
    orv_path_builder_lineto(c.builder, right, bottom + 0.5f);
    for (int month = 0; month < MONTHS; ++month)
        orv_path_builder_line(c.builder, (int)x_of(month) + 0.5f, bottom, (int)x_of(month) + 0.5f, bottom + 5);
    draw(&c, 0, 1, 0.25f, 0.25f, 0.28f, 1);

    /* Tick labels. */
    static const char* months[MONTHS] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char label[16];
    for (float value = 0; value <= y_max; value += y_step) {
        snprintf(label, sizeof label, "%.0f", value);
        text(c.font, left - 8, y_of(value) + 4, 2, label, 0.3f);
    }
    for (int month = 0; month < MONTHS; ++month)
        text(c.font, x_of(month), bottom + 20, 1, months[month], 0.3f);

    /* The series: a line through the values and a dot on each. */
    orv_stroke_state_join_style_set(c.stroke, ORV_JOIN_STYLE_ROUND);
    orv_stroke_state_cap_style_set(c.stroke, ORV_CAP_STYLE_ROUND);
    for (int s = 0; s < 2; ++s) {
        const series* line = &data[s];
        orv_path_builder_moveto(c.builder, x_of(0), y_of(line->values[0]));
        for (int month = 1; month < MONTHS; ++month)
            orv_path_builder_lineto(c.builder, x_of(month), y_of(line->values[month]));
        draw(&c, 0, 2.5f, line->r, line->g, line->b, 1);
        for (int month = 0; month < MONTHS; ++month)
            orv_path_builder_ellipse(c.builder, x_of(month), y_of(line->values[month]), 7, 7);
        orv_fill_state_fill_rule_set(c.fill, ORV_FILL_RULE_NON_ZERO);
        draw(&c, 1, 0, line->r, line->g, line->b, 1);
    }

    /* The title and the legend: a framed box with a swatch per series. */
    text(c.title_font, WIDTH / 2.0f, 32, 1, "Visitors and sign-ups per month (thousands)", 0.1f);
    const float box_x = left + 16, box_y = top + 10;
    orv_path_builder_round_rectangle(c.builder, box_x + 0.5f, box_y + 0.5f, 110, 48, 6, 6);
    draw(&c, 1, 0, 1, 1, 1, 0.9f);
    orv_path_builder_round_rectangle(c.builder, box_x + 0.5f, box_y + 0.5f, 110, 48, 6, 6);
    draw(&c, 0, 1, 0.70f, 0.72f, 0.76f, 1);
    for (int s = 0; s < 2; ++s) {
        const float row = box_y + 16 + 20 * s;
        orv_path_builder_line(c.builder, box_x + 10, row, box_x + 34, row);
        draw(&c, 0, 2.5f, data[s].r, data[s].g, data[s].b, 1);
        text(c.font, box_x + 42, row + 5, 0, data[s].name, 0.15f);
    }
    orv_context2D_finish(c.context);

    /* Straight alpha, the top row first, as a PNG file wants it. */
    orv_context2D_save_png(c.context, output);
    int status = 0;
    if (orv_error_last() != ORV_ERROR_NONE) {
        fprintf(stderr, "chart: %s: %s\n", output, orv_error_message());
        status = 1;
    }

    orv_font_destroy(c.font);
    orv_font_destroy(c.title_font);
    orv_stroke_state_destroy(c.stroke);
    orv_fill_state_destroy(c.fill);
    orv_path_builder_destroy(c.builder);
    orv_context2D_destroy(c.context);
    orv_surface_destroy(surface);
    if (status == 0)
        printf("chart: wrote %s\n", output);
    return status;
}
