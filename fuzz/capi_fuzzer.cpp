// The C interface as a whole: random sequences of calls on a few handles of
// every family, made, used and released in any order the handle rules
// allow. A context handle may go before the objects made from it, which
// keep the context alive; only the surfaces, owned here, last to the end.
// Inputs of odd length run in the record error mode, where no exception may
// leave any call and calls are also made on handles that are NULL.
#include <vudadive2r.h>

#include "FuzzSupport.hpp"

using namespace FuzzSupport;

namespace {

constexpr const char* kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr int kSlots = 3;
constexpr int kMostCalls = 96;
// Each call is bounded by its own time (Timed); an input stops making calls
// after this much processor time, so that a sequence of slow but bounded
// draws stays within the fuzzer's time-out for a whole input.
constexpr double kInputSeconds = 2.5;

// Handles by family; a slot is empty (NULL) or holds one handle.
struct Handles {
    orv_context2D contexts[2] = {};
    orv_path paths[kSlots] = {};
    orv_path_builder builders[2] = {};
    orv_fill_state fills[2] = {};
    orv_stroke_state strokes[2] = {};
    orv_paint paints[kSlots] = {};
    int paintKinds[kSlots] = {};  // 0 colour, 1 and 2 gradients, 3 image
    orv_image images[2] = {};     // made from memory
    orv_png_image pngs[2] = {};
    orv_font fonts[2] = {};

    ~Handles() {
        // Released in an order the input does not choose: paints before the
        // images they hold, states before their paints, contexts first.
        for (orv_context2D& context : contexts)
            orv_context2D_destroy(context);
        for (int i = 0; i < 2; ++i) {
            orv_fill_state_destroy(fills[i]);
            orv_stroke_state_destroy(strokes[i]);
            orv_path_builder_destroy(builders[i]);
            orv_font_destroy(fonts[i]);
        }
        for (int i = 0; i < kSlots; ++i) {
            ReleasePaint(i);
            orv_path_destroy(paths[i]);
        }
        for (int i = 0; i < 2; ++i) {
            orv_image_destroy(images[i]);
            orv_png_image_destroy(pngs[i]);
        }
    }
    void ReleasePaint(int slot) {
        switch (paintKinds[slot]) {
        case 0: orv_color_paint_destroy(orv_color_paint(paints[slot])); break;
        case 1: orv_linear_gradient_paint_destroy(orv_linear_gradient_paint(paints[slot])); break;
        case 2: orv_radial_gradient_paint_destroy(orv_radial_gradient_paint(paints[slot])); break;
        default: orv_image_paint_destroy(orv_image_paint(paints[slot])); break;
        }
        paints[slot] = nullptr;
    }
};

bool recording = false;

// Runs one call; the library's exceptions are expected outcomes, unless
// errors are recorded: then nothing may leave the call.
template <class Call>
void Try(Call call) {
    if (!recording) {
        Expecting([&] { Timed(call); });
        return;
    }
    try {
        Timed(call);
    } catch (...) {
        std::abort();
    }
    const int code = orv_error_last();
    if (code < ORV_ERROR_NONE || code > ORV_ERROR_UNKNOWN || (code != ORV_ERROR_NONE) != (*orv_error_message() != 0))
        std::abort();
    orv_error_clear();
}

// Whether to call with this handle: always when errors are recorded, since a
// NULL handle is then an error like any other.
bool Use(const void* handle) { return handle || recording; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    recording = size & 1;
    orv_error_mode_set(recording ? ORV_ERROR_MODE_RECORD : ORV_ERROR_MODE_THROW);
    orv_messages_set(recording ? ORV_MESSAGES_NONE : ORV_MESSAGES_STDOUT);
    if (orv_error_mode_get() != (recording ? ORV_ERROR_MODE_RECORD : ORV_ERROR_MODE_THROW) ||
        orv_messages_get() != (recording ? ORV_MESSAGES_NONE : ORV_MESSAGES_STDOUT))
        std::abort();
    std::vector<uint8_t> memory[2] = {std::vector<uint8_t>(24 * 20 * 4, 0x5a), std::vector<uint8_t>(9 * 7 * 4, 0)};
    orv_surface* surfaces[2] = {orv_surface_create_for_data(24, 20, ZADOZI_FORMAT_AB24, 24 * 4, memory[0].data()),
                                orv_surface_create_for_data(9, 7, ZADOZI_FORMAT_AB24, -9 * 4, memory[1].data())};
    uint8_t texels[2][4 * 4 * 4];
    for (size_t i = 0; i < sizeof texels; ++i)
        texels[i / 64][i % 64] = uint8_t(i * 37);
    MemoryFile saved{std::vector<uint8_t>()};
    {
        Handles h;
        auto f = [&] { return input.Coordinate(); };
        const double started = ThreadSeconds();
        for (int call = 0; call < kMostCalls && !input.Empty() && ThreadSeconds() - started < kInputSeconds; ++call) {
            const uint8_t op = input.Byte();
            const int s = input.Byte(), a = s % 2, k = s % kSlots;
            orv_context2D context = h.contexts[a] ? h.contexts[a] : h.contexts[1 - a];
            switch (op % 28) {
            case 0:
                orv_context2D_destroy(h.contexts[a]);
                h.contexts[a] = nullptr;
                Try([&] { h.contexts[a] = orv_context2D_create(surfaces[a]); });
                break;
            case 1: orv_context2D_destroy(h.contexts[a]); h.contexts[a] = nullptr; break;
            case 2:
                if (Use(h.builders[a]) && Use(context)) {
                    orv_path_destroy(h.paths[k]);
                    h.paths[k] = nullptr;
                    Try([&] { h.paths[k] = orv_path_builder_to_path(h.builders[a], context); });
                }
                break;
            case 3: orv_path_destroy(h.paths[k]); h.paths[k] = nullptr; break;
            case 4:
                if (h.builders[a]) {
                    orv_path_builder_destroy(h.builders[a]);
                    h.builders[a] = nullptr;
                } else {
                    h.builders[a] = orv_path_builder_create();
                }
                break;
            case 5:
                if (Use(h.builders[a]))
                    Try([&] {
                        orv_path_builder b = h.builders[a];
                        switch (input.Byte() % 8) {
                        case 0: orv_path_builder_moveto(b, f(), f()); break;
                        case 1: orv_path_builder_lineto(b, f(), f()); break;
                        case 2: orv_path_builder_cubicto(b, f(), f(), f(), f(), f(), f()); break;
                        case 3: orv_path_builder_lcwarcto(b, f(), f(), f(), f(), f()); break;
                        case 4: orv_path_builder_rectangle(b, f(), f(), f(), f()); break;
                        case 5: orv_path_builder_ellipse(b, f(), f(), f(), f()); break;
                        case 6: orv_path_builder_arc(b, f(), f(), f(), f(), f(), f(), int(input.Byte() % 4)); break;
                        default: orv_path_builder_close(b); break;
                        }
                    });
                break;
            case 6:
                orv_fill_state_destroy(h.fills[a]);
                h.fills[a] = input.Byte() & 1 ? orv_fill_state_create() : nullptr;
                break;
            case 7:
                orv_stroke_state_destroy(h.strokes[a]);
                h.strokes[a] = input.Byte() & 1 ? orv_stroke_state_create() : nullptr;
                break;
            case 8:  // a new paint of any kind
                if (context) {
                    h.ReleasePaint(k);
                    const int kind = input.Byte() % 4;
                    Try([&] {
                        if (kind == 0)
                            h.paints[k] = orv_color_paint_create(context, f(), f(), f(), f());
                        else if (kind == 1)
                            h.paints[k] = orv_linear_gradient_paint_create(context, f(), f(), f(), f());
                        else if (kind == 2)
                            h.paints[k] = orv_radial_gradient_paint_create(context, f(), f(), f(), f(), f());
                        else
                            h.paints[k] = orv_image_paint_create(context, h.pngs[a] ? orv_image(h.pngs[a]) : h.images[a]);
                    });
                    h.paintKinds[k] = kind;
                }
                break;
            case 9: h.ReleasePaint(k); break;
            case 10:
                if (Use(h.fills[a]))
                    Try([&] { orv_fill_state_paint_set(h.fills[a], h.paints[k]); });
                if (Use(h.strokes[a]))
                    Try([&] { orv_stroke_state_paint_set(h.strokes[a], h.paints[(k + 1) % kSlots]); });
                break;
            case 11:
                if (Use(h.strokes[a])) {
                    const float width = f();
                    const int cap = int(input.Byte() % 4), join = int(input.Byte() % 4);
                    float dashes[2 * 3];  // dash and gap pairs
                    const int count = int(input.Count(3));
                    for (int i = 0; i < 2 * count; ++i)
                        dashes[i] = f();
                    Try([&] {
                        orv_stroke_state_line_width_set(h.strokes[a], width);
                        orv_stroke_state_cap_style_set(h.strokes[a], cap);
                        orv_stroke_state_join_style_set(h.strokes[a], join);
                        orv_stroke_state_dash_pattern_set(h.strokes[a], dashes, count);
                    });
                }
                break;
            case 12:
                if (h.paints[k] && (h.paintKinds[k] == 1 || h.paintKinds[k] == 2)) {
                    orv_color_stop stops[3];
                    const int count = int(input.Count(3));
                    for (int i = 0; i < count; ++i)
                        stops[i] = orv_color_stop{f(), f(), f(), f(), f()};
                    Try([&] {
                        orv_gradient_paint_color_stops_set(h.paints[k], stops, count);
                        orv_gradient_paint_color_ramp_spread_mode_set(h.paints[k], int(input.Byte() % 4));
                        int got = 0;
                        orv_gradient_paint_color_stops_get(h.paints[k], &got);
                    });
                }
                break;
            case 13:
                if (h.paints[k] && h.paintKinds[k] == 3) {
                    orv_image_paint_tiling_mode_set(orv_image_paint(h.paints[k]), int32_t(input.Byte() % 5));
                    orv_image_paint_tile_color_set(orv_image_paint(h.paints[k]), f(), f(), f(), f());
                }
                break;
            case 14:
                orv_image_destroy(h.images[a]);
                h.images[a] = nullptr;
                if (context)
                    Try([&] {
                        h.images[a] = orv_image_create(context, input.Byte() & 1 ? ZADOZI_FORMAT_RA24 : ZADOZI_FORMAT_AB24,
                                                       1 + input.Count(3), 1 + input.Count(3), 16, texels[a]);
                    });
                break;
            case 15: {  // a PNG saved from an image or from the surface, and loaded again, as PNG or as JPEG
                const uint8_t how = input.Byte();
                if (how & 1) {
                    if (Use(context))
                        Try([&] { orv_context2D_save_png(context, saved.name.c_str()); });
                } else if (h.images[a] || h.pngs[a]) {
                    Try([&] { orv_png_image_save(h.pngs[a] ? orv_image(h.pngs[a]) : h.images[a], saved.name.c_str()); });
                }
                orv_png_image_destroy(h.pngs[a]);
                h.pngs[a] = nullptr;
                if (context)
                    Try([&] {
                        h.pngs[a] = how & 2 ? orv_jpeg_image_create_from_file(context, saved.name.c_str())
                                            : orv_png_image_create_from_file(context, saved.name.c_str());
                    });
                break;
            }
            case 16:
                orv_font_destroy(h.fonts[a]);
                h.fonts[a] = nullptr;
                if (context && input.Byte() < 32) {  // fonts are slow to open
                    const char* const names[] = {"DejaVu Sans", "monospace:bold", ":::", ""};
                    const uint8_t which = input.Byte() % 5;
                    Try([&] {
                        h.fonts[a] = which == 4 ? orv_font_create(context, kDejaVuSans, int(input.Count(40)))
                                                : orv_font_create_from_name(context, names[which], int(input.Count(40)));
                        if (h.fonts[a] && !orv_font_file_name_get(h.fonts[a]))
                            std::abort();
                    });
                }
                break;
            case 17:
                if (Use(h.fonts[a])) {
                    char text[8] = {};
                    for (int i = 0; i < 7; ++i)
                        text[i] = char(input.Byte());
                    Try([&] {
                        orv_font_measure_string(h.fonts[a], text);
                        orv_font_draw_string(h.fonts[a], int(int8_t(input.Byte())), int(int8_t(input.Byte())), text, f(),
                                             f(), f(), f());
                    });
                }
                break;
            case 18:
            case 19:
                if (Use(h.paths[k]))
                    Try([&] { orv_path_draw(h.paths[k], h.fills[a], h.strokes[input.Byte() % 2]); });
                break;
            case 20:
                if (context) {
                    orv_render_state* state = orv_context2D_render_state_get(context);
                    orv_render_state_origin_set(state, int(input.Byte() % 3));
                    orv_render_state_blend_mode_set(state, int(input.Byte() % 11));
                    orv_render_state_scissoring_enabled_set(state, input.Byte() & 1);
                    const orv_int_rectangle scissor{int8_t(input.Byte()), int8_t(input.Byte()), int8_t(input.Byte()),
                                                    int8_t(input.Byte())};
                    Try([&] { orv_render_state_scissor_rectangles_set(state, &scissor, int(input.Count(1))); });
                }
                break;
            case 21:
                if (context) {
                    orv_transforms* transforms = orv_context2D_transforms_get(context);
                    orv_transform* transform = input.Byte() & 1 ? orv_transforms_path(transforms)
                                                                : orv_transforms_glyph(transforms);
                    const uint8_t how = input.Byte() % 3;
                    if (how == 0)
                        orv_transform_rotate(transform, f());
                    else if (how == 1)
                        orv_transform_scale(transform, f(), f());
                    else
                        orv_transform_load_identity(orv_transforms_fill_paint(transforms));
                }
                break;
            case 22:
                if (context)
                    Try([&] {
                        orv_context2D_clear_color_set(context, f(), f(), f(), f());
                        orv_context2D_clear_rectangle(context, int8_t(input.Byte()), int8_t(input.Byte()),
                                                      int8_t(input.Byte()), int8_t(input.Byte()));
                    });
                break;
            case 23:  // saved states, clips and layers, in any order: mismatched ends are errors
                if (Use(context))
                    Try([&] {
                        switch (input.Byte() % 6) {
                        case 0: orv_context2D_save(context); break;
                        case 1: orv_context2D_restore(context); break;
                        case 2: orv_context2D_layer_push(context, f(), int(input.Byte() % 11)); break;
                        case 3: orv_context2D_layer_pop(context); break;
                        case 4: orv_context2D_clip_reset(context); break;
                        default:
                            orv_path_clip(h.paths[k], int(input.Byte() % 3), int(input.Byte() % 3));
                            break;
                        }
                    });
                break;
            case 24:  // a shaped run, read back and drawn
            case 25:  // a laid-out paragraph, read back and drawn
                if (Use(h.fonts[a])) {
                    char text[12] = {};
                    for (int i = 0; i < 11; ++i)
                        text[i] = char(input.Byte());
                    const char* features[] = {nullptr, "liga=0,kern", "-kern", "tnum[1:3]"};
                    const char* feature = features[input.Byte() % 4];
                    if (op % 28 == 24) {
                        orv_text_run run = nullptr;
                        Try([&] {
                            run = input.Byte() & 1
                                      ? orv_text_run_create(h.fonts[a], text, feature)
                                      : orv_text_run_create_with_language(h.fonts[a], text, feature, "tr");
                            int count = -1;
                            const orv_glyph* glyphs = orv_text_run_glyphs_get(run, &count);
                            if (count < 0 || (count > 0 && !glyphs))
                                std::abort();
                            orv_text_run_advance_get(run);
                            orv_text_run_logical_extents_get(run);
                            orv_text_run_ink_extents_get(run);
                            orv_text_run_font_file_name_get(run, count > 0 ? glyphs[0].font : 0);
                            orv_text_run_draw(run, f(), f(), h.fills[a]);
                        });
                        orv_text_run_destroy(run);
                    } else {
                        orv_text_layout layout = nullptr;
                        Try([&] {
                            layout = orv_text_layout_create(h.fonts[a], text, feature, f(), int(input.Byte() % 5));
                            const int lines = orv_text_layout_line_count_get(layout);
                            int count = 0;
                            for (int line = 0; line < lines; ++line) {
                                orv_text_layout_line_get(layout, line);
                                orv_text_layout_line_glyphs_get(layout, line, &count);
                            }
                            orv_text_layout_extents_get(layout);
                            orv_text_layout_draw(layout, f(), f(), h.fills[a]);
                        });
                        orv_text_layout_destroy(layout);
                    }
                }
                break;
            case 26:
                if (Use(context))
                    Try([&] {
                        orv_context2D_threads_set(context, int(input.Byte() % 5) - 1);
                        if (context && orv_context2D_threads_get(context) < 1)
                            std::abort();
                    });
                break;
            default:
                if (context)
                    orv_context2D_finish(context);
                break;
            }
        }
    }
    orv_surface_destroy(surfaces[0]);
    orv_surface_destroy(surfaces[1]);
    return 0;
}
