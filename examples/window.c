/* An animated chart drawn straight into an SDL2 window's own pixels: the
 * window surface's memory is wrapped as a surface of the matching format
 * ("XR24" for SDL's XRGB8888) and drawn into, no copy, frame after frame.
 *
 *   window                        animates until the window is closed
 *   window --frames N             shows frame N, prints "shown N" and
 *                                 keeps it up until standard input ends
 *   window --offscreen N OUT.ppm  draws frame N into memory of its own
 *                                 ("XR24") and writes it as a PPM file
 *
 * Build it with
 *   cc -std=c99 window.c $(pkg-config --cflags --libs vudadive2r sdl2) -o window */
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <SDL.h>

#include "vudadive2r.h"

#define WIDTH 480
#define HEIGHT 320
#define POINTS 24
#define TITLE "vudadive2r window"

/* The plot area in pixels (y = 0 at the top). */
static const float left = 48, right = 464, top = 40, bottom = 290;

static float x_of(int i) { return left + (right - left) * (float)i / (POINTS - 1); }
static float y_of(float value) { return bottom - (bottom - top) * value; }

/* The two series at frame `frame`: waves that travel to the left. */
static float value_of(int series, int i, int frame)
{
    const float phase = 0.21f * (float)frame + (series ? 1.7f : 0.0f);
    return 0.5f + (series ? 0.25f : 0.35f) * sinf(0.45f * (float)i + phase) * (series ? 1.0f : cosf(0.1f * (float)i));
}

/* Draws what the builder holds with `fill` and/or `stroke` and empties it. */
static void draw(orv_context2D context, orv_path_builder builder, orv_fill_state fill, orv_stroke_state stroke)
{
    orv_path path = orv_path_builder_to_path(builder, context);
    orv_path_draw(path, fill, stroke);
    orv_path_destroy(path);
    orv_path_builder_clear(builder);
}

/* One frame of the chart on the context's surface, whatever its format. */
static void draw_frame(orv_context2D context, orv_font font, int frame)
{
    orv_render_state_origin_set(orv_context2D_render_state_get(context), ORV_ORIGIN_TOP_LEFT);
    orv_context2D_clear_color_set(context, 0.97f, 0.97f, 0.95f, 1);
    orv_context2D_clear(context);
    orv_path_builder builder = orv_path_builder_create();
    orv_fill_state fill = orv_fill_state_create();
    orv_stroke_state stroke = orv_stroke_state_create();

    /* The grid, on pixel centres so that it stays sharp. */
    orv_color_paint grey = orv_color_paint_create(context, 0.8f, 0.8f, 0.82f, 1);
    orv_stroke_state_paint_set(stroke, grey);
    orv_stroke_state_line_width_set(stroke, 1);
    for (int i = 0; i <= 5; ++i)
        orv_path_builder_line(builder, left, (int)y_of(0.2f * (float)i) + 0.5f, right, (int)y_of(0.2f * (float)i) + 0.5f);
    draw(context, builder, NULL, stroke);

    /* The first series as an area in a vertical gradient, then both lines. */
    orv_linear_gradient_paint area = orv_linear_gradient_paint_create(context, 0, top, 0, bottom);
    const orv_color_stop stops[2] = {{0, 0.13f, 0.42f, 0.80f, 0.55f}, {1, 0.13f, 0.42f, 0.80f, 0.05f}};
    orv_gradient_paint_color_stops_set(area, stops, 2);
    orv_fill_state_paint_set(fill, area);
    orv_path_builder_moveto(builder, x_of(0), bottom);
    for (int i = 0; i < POINTS; ++i)
        orv_path_builder_lineto(builder, x_of(i), y_of(value_of(0, i, frame)));
    orv_path_builder_lineto(builder, x_of(POINTS - 1), bottom);
    orv_path_builder_close(builder);
    draw(context, builder, fill, NULL);

    static const float colors[2][3] = {{0.13f, 0.42f, 0.80f}, {0.90f, 0.38f, 0.12f}};
    orv_stroke_state_line_width_set(stroke, 2.5f);
    orv_stroke_state_join_style_set(stroke, ORV_JOIN_STYLE_ROUND);
    for (int s = 0; s < 2; ++s) {
        orv_color_paint line = orv_color_paint_create(context, colors[s][0], colors[s][1], colors[s][2], 1);
        orv_stroke_state_paint_set(stroke, line);
        orv_path_builder_moveto(builder, x_of(0), y_of(value_of(s, 0, frame)));
        for (int i = 1; i < POINTS; ++i)
            orv_path_builder_lineto(builder, x_of(i), y_of(value_of(s, i, frame)));
        draw(context, builder, NULL, stroke);
        orv_color_paint_destroy(line);
    }

    /* A translucent marker sweeping across, and the frame's number. */
    orv_color_paint marker = orv_color_paint_create(context, 0.2f, 0.7f, 0.3f, 0.6f);
    orv_fill_state_paint_set(fill, marker);
    const float x = left + fmodf(9.0f * (float)frame, right - left);
    orv_path_builder_ellipse(builder, x, y_of(0.9f), 9, 9);
    draw(context, builder, fill, NULL);
    if (font) {
        char label[32];
        snprintf(label, sizeof label, "frame %d", frame);
        orv_font_draw_string(font, (int)left, 26, label, 0.2f, 0.2f, 0.25f, 1);
    }

    orv_color_paint_destroy(marker);
    orv_linear_gradient_paint_destroy(area);
    orv_color_paint_destroy(grey);
    orv_stroke_state_destroy(stroke);
    orv_fill_state_destroy(fill);
    orv_path_builder_destroy(builder);
    orv_context2D_finish(context);
}

/* The surface format of an SDL pixel format, or 0 for one the library does not draw into. */
static uint32_t format_of(Uint32 sdl)
{
    switch (sdl) {
    case SDL_PIXELFORMAT_RGB888: return ZADOZI_FORMAT_XR24;   /* XRGB8888: bytes B, G, R, X */
    case SDL_PIXELFORMAT_ARGB8888: return ZADOZI_FORMAT_AR24; /* bytes B, G, R, A */
    case SDL_PIXELFORMAT_BGR888: return ZADOZI_FORMAT_XB24;   /* XBGR8888: bytes R, G, B, X */
    case SDL_PIXELFORMAT_RGB565: return ZADOZI_FORMAT_RG16;
    default: return 0;
    }
}

static int offscreen(int frame, const char* output)
{
    orv_surface* surface = orv_surface_create(WIDTH, HEIGHT, ZADOZI_FORMAT_XR24);
    orv_context2D context = orv_context2D_create(surface);
    orv_font font = orv_font_create_from_name(context, "DejaVu Sans", 14);
    draw_frame(context, font, frame);
    orv_font_destroy(font);
    orv_context2D_destroy(context);

    /* The bytes B, G, R, X of each pixel as R, G, B. */
    orv_mapping* mapping = orv_surface_create_mapping(surface, ZADOZI_MAPPING_READ_WRITE);
    const unsigned char* pixels = orv_mapping_sync_start(mapping);
    const int stride = orv_mapping_stride_get(mapping);
    FILE* file = fopen(output, "wb");
    int status = file ? 0 : 1;
    if (file) {
        fprintf(file, "P6\n%d %d\n255\n", WIDTH, HEIGHT);
        for (int y = 0; y < HEIGHT; ++y)
            for (int x = 0; x < WIDTH; ++x) {
                const unsigned char* p = pixels + y * stride + 4 * x;
                const unsigned char rgb[3] = {p[2], p[1], p[0]};
                fwrite(rgb, 1, 3, file);
            }
        status = fclose(file) != 0;
    }
    orv_mapping_sync_end(mapping);
    orv_mapping_destroy(mapping);
    orv_surface_destroy(surface);
    if (status)
        fprintf(stderr, "window: cannot write %s\n", output);
    return status;
}

int main(int argc, char** argv)
{
    orv_error_mode_set(ORV_ERROR_MODE_RECORD);
    orv_messages_set(ORV_MESSAGES_NONE);
    if (argc == 4 && strcmp(argv[1], "--offscreen") == 0)
        return offscreen(atoi(argv[2]), argv[3]);
    const int last = argc == 3 && strcmp(argv[1], "--frames") == 0 ? atoi(argv[2]) : -1;

    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "window: %s\n", SDL_GetError());
        return 2;
    }
    SDL_Window* window = SDL_CreateWindow(TITLE, 0, 0, WIDTH, HEIGHT, 0);
    SDL_Surface* pixels = window ? SDL_GetWindowSurface(window) : NULL;
    const uint32_t format = pixels ? format_of(pixels->format->format) : 0;
    if (!format) {
        fprintf(stderr, "window: %s\n", pixels ? "the window's pixel format is not one drawn into" : SDL_GetError());
        SDL_Quit();
        return 2;
    }

    /* The window's own memory as a surface; a frame draws into it directly. */
    SDL_LockSurface(pixels);
    orv_surface* surface = orv_surface_create_for_data(pixels->w, pixels->h, format, pixels->pitch, pixels->pixels);
    orv_context2D context = orv_context2D_create(surface);
    orv_font font = orv_font_create_from_name(context, "DejaVu Sans", 14);
    SDL_UnlockSurface(pixels);

    int running = 1;
    for (int frame = 0; running && (last < 0 || frame <= last); ++frame) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            if (event.type == SDL_QUIT)
                running = 0;
        SDL_LockSurface(pixels);
        draw_frame(context, font, frame);
        SDL_UnlockSurface(pixels);
        SDL_UpdateWindowSurface(window);
        if (orv_error_last() != ORV_ERROR_NONE) {
            fprintf(stderr, "window: %s\n", orv_error_message());
            running = 0;
        }
        SDL_Delay(last < 0 ? 30 : 1);
    }
    if (last >= 0 && running) {
        /* Held until the caller, having looked, closes our input. */
        SDL_PumpEvents();
        printf("shown %d\n", last);
        fflush(stdout);
        char line[64];
        while (fgets(line, sizeof line, stdin))
            SDL_PumpEvents();
    }

    orv_font_destroy(font);
    orv_context2D_destroy(context);
    orv_surface_destroy(surface);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return running ? 0 : 1;
}
