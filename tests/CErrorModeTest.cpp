// The C interface's record error mode, as a C program meets it: every error
// recorded with its code and message, a neutral value returned, the process
// going on; messages printed where the program asks, or nowhere.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>

#include "TestSupport.hpp"
#include "capi/ErrorGuard.hpp"

using namespace ORV::Vudadive2R;

namespace {

// Sets a mode for one test and restores the defaults on every exit.
struct Modes {
    Modes(int errors, int messages) {
        orv_error_mode_set(errors);
        orv_messages_set(messages);
        orv_error_clear();
    }
    ~Modes() {
        orv_error_mode_set(ORV_ERROR_MODE_THROW);
        orv_messages_set(ORV_MESSAGES_STDOUT);
        orv_error_clear();
    }
};

template <class T>
bool IsNeutral(T* value) { return value == nullptr; }
bool IsNeutral(int value) { return value == 0; }
bool IsNeutral(float value) { return value == 0.0f; }
bool IsNeutral(bool value) { return !value; }
bool IsNeutral(orv_color value) { return value.R == 0 && value.G == 0 && value.B == 0 && value.A == 0; }
bool IsNeutral(orv_text_extents value) { return !value.x && !value.y && !value.width && !value.height; }
bool IsNeutral(orv_text_line value) { return !value.start && !value.end && !value.x && !value.y && !value.width; }
bool IsNeutral(orv_matrix3 value) {
    for (float m : value.M)
        if (m != 0)
            return false;
    return true;
}

struct NullCall {
    const char* name;
    std::function<bool()> call;  // true when what came back is neutral
};
#define NULL_CALL(function, ...) NullCall{#function, [] { int count = 7; (void)count; return IsNeutral(function(__VA_ARGS__)) && (count == 0 || count == 7); }}
#define NULL_CALL_VOID(function, ...) NullCall{#function, [] { function(__VA_ARGS__); return true; }}

// Every function that takes a handle or a view, with NULL for each of them
// (orv_image_create and orv_png_image_create_from_file take a NULL context
// as none).
const NullCall kNullCalls[] = {
        NULL_CALL(orv_context2D_create, nullptr),
        NULL_CALL(orv_context2D_transforms_get, nullptr),
        NULL_CALL(orv_context2D_render_state_get, nullptr),
        NULL_CALL(orv_context2D_clear_color_get, nullptr),
        NULL_CALL_VOID(orv_context2D_clear_color_set, nullptr, 1, 1, 1, 1),
        NULL_CALL(orv_context2D_threads_get, nullptr),
        NULL_CALL_VOID(orv_context2D_threads_set, nullptr, 2),
        NULL_CALL_VOID(orv_context2D_set_default_state, nullptr),
        NULL_CALL_VOID(orv_context2D_finish, nullptr),
        NULL_CALL_VOID(orv_context2D_clear, nullptr),
        NULL_CALL_VOID(orv_context2D_clear_rectangle, nullptr, 0, 0, 0, 0),
        NULL_CALL_VOID(orv_context2D_save_png, nullptr, "x"),
        NULL_CALL(orv_font_file_name_get, nullptr),
        NULL_CALL(orv_font_create_from_name, nullptr, "x", 12),
        NULL_CALL_VOID(orv_context2D_save, nullptr),
        NULL_CALL_VOID(orv_context2D_restore, nullptr),
        NULL_CALL_VOID(orv_context2D_clip_reset, nullptr),
        NULL_CALL_VOID(orv_context2D_layer_push, nullptr, 1, 0),
        NULL_CALL_VOID(orv_context2D_layer_pop, nullptr),
        NULL_CALL_VOID(orv_path_clip, nullptr, 0, 0),
        NULL_CALL(orv_transforms_path, nullptr),
        NULL_CALL(orv_transforms_image, nullptr),
        NULL_CALL(orv_transforms_fill_paint, nullptr),
        NULL_CALL(orv_transforms_stroke_paint, nullptr),
        NULL_CALL(orv_transforms_glyph, nullptr),
        NULL_CALL_VOID(orv_transform_load_identity, nullptr),
        NULL_CALL_VOID(orv_transform_translate, nullptr, 1, 1),
        NULL_CALL_VOID(orv_transform_scale, nullptr, 1, 1),
        NULL_CALL_VOID(orv_transform_rotate, nullptr, 1),
        NULL_CALL(orv_transform_get, nullptr),
        NULL_CALL_VOID(orv_transform_set, nullptr, nullptr),
        NULL_CALL(orv_render_state_origin_get, nullptr),
        NULL_CALL_VOID(orv_render_state_origin_set, nullptr, 0),
        NULL_CALL(orv_render_state_image_quality_get, nullptr),
        NULL_CALL_VOID(orv_render_state_image_quality_set, nullptr, 0),
        NULL_CALL(orv_render_state_rendering_quality_get, nullptr),
        NULL_CALL_VOID(orv_render_state_rendering_quality_set, nullptr, 0),
        NULL_CALL(orv_render_state_blend_mode_get, nullptr),
        NULL_CALL_VOID(orv_render_state_blend_mode_set, nullptr, 0),
        NULL_CALL(orv_render_state_image_mode_get, nullptr),
        NULL_CALL_VOID(orv_render_state_image_mode_set, nullptr, 0),
        NULL_CALL(orv_render_state_scissoring_enabled_get, nullptr),
        NULL_CALL_VOID(orv_render_state_scissoring_enabled_set, nullptr, false),
        NULL_CALL(orv_render_state_scissor_rectangles_get, nullptr, &count),
        NULL_CALL_VOID(orv_render_state_scissor_rectangles_set, nullptr, nullptr, 0),
        NULL_CALL(orv_fill_state_paint_get, nullptr),
        NULL_CALL_VOID(orv_fill_state_paint_set, nullptr, nullptr),
        NULL_CALL(orv_fill_state_fill_rule_get, nullptr),
        NULL_CALL_VOID(orv_fill_state_fill_rule_set, nullptr, 0),
        NULL_CALL_VOID(orv_fill_state_set_defaults, nullptr),
        NULL_CALL_VOID(orv_stroke_state_paint_set, nullptr, nullptr),
        NULL_CALL(orv_stroke_state_line_width_get, nullptr),
        NULL_CALL_VOID(orv_stroke_state_line_width_set, nullptr, 1),
        NULL_CALL(orv_stroke_state_cap_style_get, nullptr),
        NULL_CALL_VOID(orv_stroke_state_cap_style_set, nullptr, 0),
        NULL_CALL(orv_stroke_state_join_style_get, nullptr),
        NULL_CALL_VOID(orv_stroke_state_join_style_set, nullptr, 0),
        NULL_CALL(orv_stroke_state_miter_limit_get, nullptr),
        NULL_CALL_VOID(orv_stroke_state_miter_limit_set, nullptr, 1),
        NULL_CALL(orv_stroke_state_dash_phase_get, nullptr),
        NULL_CALL_VOID(orv_stroke_state_dash_phase_set, nullptr, 1),
        NULL_CALL(orv_stroke_state_dash_phase_reset_enabled_get, nullptr),
        NULL_CALL_VOID(orv_stroke_state_dash_phase_reset_enabled_set, nullptr, false),
        NULL_CALL_VOID(orv_stroke_state_dash_pattern_set, nullptr, nullptr, 0),
        NULL_CALL_VOID(orv_stroke_state_set_defaults, nullptr),
        NULL_CALL(orv_path_create, nullptr),
        NULL_CALL_VOID(orv_path_draw, nullptr, nullptr, nullptr),
        NULL_CALL_VOID(orv_path_append_svg_path_data, nullptr, "x", nullptr),
        NULL_CALL_VOID(orv_path_builder_clear, nullptr),
        NULL_CALL(orv_path_builder_to_path, nullptr, nullptr),
        NULL_CALL_VOID(orv_path_builder_close, nullptr),
        NULL_CALL_VOID(orv_path_builder_moveto, nullptr, 1, 1),
        NULL_CALL_VOID(orv_path_builder_moveto_rel, nullptr, 1, 1),
        NULL_CALL_VOID(orv_path_builder_line, nullptr, 1, 1, 1, 1),
        NULL_CALL_VOID(orv_path_builder_lineto, nullptr, 1, 1),
        NULL_CALL_VOID(orv_path_builder_lineto_rel, nullptr, 1, 1),
        NULL_CALL_VOID(orv_path_builder_hlineto, nullptr, 1),
        NULL_CALL_VOID(orv_path_builder_hlineto_rel, nullptr, 1),
        NULL_CALL_VOID(orv_path_builder_vlineto, nullptr, 1),
        NULL_CALL_VOID(orv_path_builder_vlineto_rel, nullptr, 1),
        NULL_CALL_VOID(orv_path_builder_rectangle, nullptr, 1, 1, 1, 1),
        NULL_CALL_VOID(orv_path_builder_round_rectangle, nullptr, 1, 1, 1, 1, 1, 1),
        NULL_CALL_VOID(orv_path_builder_ellipse, nullptr, 1, 1, 1, 1),
        NULL_CALL_VOID(orv_path_builder_arc, nullptr, 1, 1, 1, 1, 1, 1, 0),
        NULL_CALL_VOID(orv_path_builder_quadto, nullptr, 1, 1, 1, 1),
        NULL_CALL_VOID(orv_path_builder_quadto_rel, nullptr, 1, 1, 1, 1),
        NULL_CALL_VOID(orv_path_builder_cubicto, nullptr, 1, 1, 1, 1, 1, 1),
        NULL_CALL_VOID(orv_path_builder_cubicto_rel, nullptr, 1, 1, 1, 1, 1, 1),
        NULL_CALL_VOID(orv_path_builder_squadto, nullptr, 1, 1),
        NULL_CALL_VOID(orv_path_builder_squadto_rel, nullptr, 1, 1),
        NULL_CALL_VOID(orv_path_builder_scubicto, nullptr, 1, 1, 1, 1),
        NULL_CALL_VOID(orv_path_builder_scubicto_rel, nullptr, 1, 1, 1, 1),
        NULL_CALL_VOID(orv_path_builder_sccwarcto, nullptr, 1, 1, 1, 1, 1),
        NULL_CALL_VOID(orv_path_builder_sccwarcto_rel, nullptr, 1, 1, 1, 1, 1),
        NULL_CALL_VOID(orv_path_builder_scwarcto, nullptr, 1, 1, 1, 1, 1),
        NULL_CALL_VOID(orv_path_builder_scwarcto_rel, nullptr, 1, 1, 1, 1, 1),
        NULL_CALL_VOID(orv_path_builder_lccwarcto, nullptr, 1, 1, 1, 1, 1),
        NULL_CALL_VOID(orv_path_builder_lccwarcto_rel, nullptr, 1, 1, 1, 1, 1),
        NULL_CALL_VOID(orv_path_builder_lcwarcto, nullptr, 1, 1, 1, 1, 1),
        NULL_CALL_VOID(orv_path_builder_lcwarcto_rel, nullptr, 1, 1, 1, 1, 1),
        NULL_CALL_VOID(orv_path_builder_svg_path_data, nullptr, "x", nullptr),
        NULL_CALL(orv_color_paint_create, nullptr, 1, 1, 1, 1),
        NULL_CALL(orv_color_paint_color_get, nullptr),
        NULL_CALL(orv_gradient_paint_color_ramp_spread_mode_get, nullptr),
        NULL_CALL_VOID(orv_gradient_paint_color_ramp_spread_mode_set, nullptr, 0),
        NULL_CALL(orv_gradient_paint_color_ramp_premulitiplier_enabled_get, nullptr),
        NULL_CALL_VOID(orv_gradient_paint_color_ramp_premulitiplier_enabled_set, nullptr, false),
        NULL_CALL(orv_gradient_paint_color_stops_get, nullptr, &count),
        NULL_CALL_VOID(orv_gradient_paint_color_stops_set, nullptr, nullptr, 0),
        NULL_CALL(orv_linear_gradient_paint_create, nullptr, 1, 1, 1, 1),
        NULL_CALL(orv_radial_gradient_paint_create, nullptr, 1, 1, 1, 1, 1),
        NULL_CALL(orv_image_format_get, nullptr),
        NULL_CALL(orv_image_width_get, nullptr),
        NULL_CALL(orv_image_height_get, nullptr),
        NULL_CALL(orv_image_stride_get, nullptr),
        NULL_CALL(orv_image_data_get, nullptr),
        NULL_CALL_VOID(orv_png_image_save, nullptr, "x"),
        NULL_CALL(orv_font_create, nullptr, "x", 0),
        NULL_CALL(orv_font_height_get, nullptr),
        NULL_CALL(orv_font_ascender_get, nullptr),
        NULL_CALL(orv_font_descender_get, nullptr),
        NULL_CALL(orv_font_measure_string, nullptr, "x"),
        NULL_CALL_VOID(orv_font_draw_string, nullptr, 0, 0, "x", 1, 1, 1, 1),
        NULL_CALL(orv_font_measure_string_utf8, nullptr, "x"),
        NULL_CALL_VOID(orv_font_draw_string_utf8, nullptr, 0, 0, "x", 1, 1, 1, 1),
        NULL_CALL(orv_text_run_create, nullptr, "x", nullptr),
        NULL_CALL(orv_text_run_create_with_language, nullptr, "x", nullptr, "en"),
        NULL_CALL(orv_text_run_glyphs_get, nullptr, &count),
        NULL_CALL(orv_text_run_advance_get, nullptr),
        NULL_CALL(orv_text_run_logical_extents_get, nullptr),
        NULL_CALL(orv_text_run_ink_extents_get, nullptr),
        NULL_CALL(orv_text_run_font_file_name_get, nullptr, 0),
        NULL_CALL_VOID(orv_text_run_draw, nullptr, 0, 0, nullptr),
        NULL_CALL(orv_text_layout_create, nullptr, "x", nullptr, 10, 0),
        NULL_CALL(orv_text_layout_line_count_get, nullptr),
        NULL_CALL(orv_text_layout_line_get, nullptr, 0),
        NULL_CALL(orv_text_layout_line_glyphs_get, nullptr, 0, &count),
        NULL_CALL(orv_text_layout_extents_get, nullptr),
        NULL_CALL_VOID(orv_text_layout_draw, nullptr, 0, 0, nullptr),
        NULL_CALL(orv_image_paint_create, nullptr, nullptr),
        NULL_CALL(orv_image_paint_tiling_mode_get, nullptr),
        NULL_CALL_VOID(orv_image_paint_tiling_mode_set, nullptr, 0),
        NULL_CALL(orv_image_paint_tile_color_get, nullptr),
        NULL_CALL_VOID(orv_image_paint_tile_color_set, nullptr, 1, 1, 1, 1),
};

struct Recorded {
    int code;
    std::string message;
};
Recorded Last() { return Recorded{orv_error_last(), orv_error_message()}; }

}  // namespace

TEST(CErrorMode, NullHandlesAreRecordedInRecordModeAndThrownInThrowMode) {
    {
        Modes modes(ORV_ERROR_MODE_RECORD, ORV_MESSAGES_STDOUT);
        for (const NullCall& c : kNullCalls) {
            orv_error_clear();
            bool neutral = false;
            const std::string printed = TestSupport::CaptureStdout([&] { neutral = c.call(); });
            EXPECT_TRUE(neutral) << c.name;
            const Recorded last = Last();
            EXPECT_EQ(last.code, ORV_ERROR_ARGUMENT_NULL) << c.name;
            // The exception's own text where it has one (and it is printed), else the function and the class.
            if (last.message == "image") {
                EXPECT_EQ(printed, "image\n");
            } else {
                EXPECT_EQ(last.message, std::string(c.name) + ": ArgumentNullException") << c.name;
                EXPECT_EQ(printed, "") << c.name;
            }
        }
    }
    for (const NullCall& c : kNullCalls)
        EXPECT_THROW(c.call(), ArgumentNullException) << c.name;
    EXPECT_EQ(orv_error_last(), ORV_ERROR_NONE);  // throw mode records nothing
}

TEST(CErrorMode, EachErrorOfTheCatalogueGivesItsCodeAndMessage) {
    Modes modes(ORV_ERROR_MODE_RECORD, ORV_MESSAGES_NONE);
    TestSupport::Surface surface(8, 8), undrawable(8, 8, TestSupport::kRA24);
    orv_context2D context = orv_context2D_create(surface.surface);
    orv_context2D rgContext = orv_context2D_create(undrawable.surface);
    orv_path_builder builder = orv_path_builder_create();
    orv_path_builder_rectangle(builder, 1, 1, 4, 4);
    orv_path path = orv_path_builder_to_path(builder, context);
    orv_path rgPath = orv_path_builder_to_path(builder, rgContext);
    orv_fill_state fill = orv_fill_state_create();
    orv_paint red = orv_color_paint_create(context, 1, 0, 0, 1);
    orv_fill_state_paint_set(fill, red);
    orv_paint gradient = orv_linear_gradient_paint_create(context, 0, 0, 1, 1);
    const std::string notPng = TestSupport::TempPath("not-a.png"), grey = TestSupport::TempPath("grey8.png");
    std::ofstream(notPng) << "plain text\n";
    {
        FILE* file = std::fopen(grey.c_str(), "wb");
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_init_io(png, file);
        png_set_IHDR(png, info, 2, 2, 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_byte row[2] = {10, 200};
        png_write_row(png, row);
        png_write_row(png, row);
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
    }
    orv_png_image greyImage = orv_png_image_create_from_file(context, grey.c_str());
    ASSERT_NE(greyImage, nullptr);
    orv_image_paint greyPaint = orv_image_paint_create(context, greyImage);
    orv_fill_state greyFill = orv_fill_state_create();
    orv_fill_state_paint_set(greyFill, greyPaint);
    int count = 5;

    struct Case {
        std::function<bool()> call;  // true when the result is neutral
        int code;
        std::string message;  // a prefix where it ends in "..."
    } const cases[] = {
        {[&] { return !orv_font_create(context, notPng.c_str(), 12); }, ORV_ERROR_EXCEPTION, "FT_New_Face failed."},
        {[&] { orv_path_append_svg_path_data(path, "M 1 2 L x", nullptr); return true; }, ORV_ERROR_ARGUMENT,
         "..."},
        {[&] { return !orv_context2D_create(nullptr); }, ORV_ERROR_ARGUMENT_NULL,
         "orv_context2D_create: ArgumentNullException"},
        {[&] { orv_path_builder_ellipse(builder, 0, 0, -1, 1); return true; }, ORV_ERROR_ARGUMENT_OUT_OF_RANGE,
         "orv_path_builder_ellipse: ArgumentOutOfRangeException"},
        {[&] { return !orv_font_create(context, TestSupport::FontPath().c_str(), 0); },
         ORV_ERROR_ARGUMENT_OUT_OF_RANGE, "The font size must be from 1 to 33554431 pixels."},
        {[&] { orv_path_draw(path, greyFill, nullptr); return true; }, ORV_ERROR_NOT_SUPPORTED,
         "An image paint draws only \"RA24\", \"RX24\", \"AR24\" and \"XR24\" images..."},
        {[&] { orv_gradient_paint_color_ramp_spread_mode_set(gradient, 7); orv_fill_state_paint_set(fill, gradient);
               orv_path_draw(path, fill, nullptr); return true; }, ORV_ERROR_NOT_SUPPORTED,
         "orv_path_draw: NotSupportedException"},
        {[&] { return !orv_fill_state_paint_get(fill); }, ORV_ERROR_NOT_IMPLEMENTED, "Not implemented."},
        {[&] { orv_path_draw(rgPath, fill, nullptr); return true; }, ORV_ERROR_INVALID_OPERATION,
         "orv_path_draw: InvalidOperationException"},
        {[&] { return !orv_png_image_create_from_file(context, "/nonexistent/file.png"); },
         ORV_ERROR_INVALID_OPERATION, "File could not be opened for reading."},
        {[&] { return !orv_png_image_create_from_file(context, notPng.c_str()); }, ORV_ERROR_INVALID_OPERATION,
         "File is not recognized as a PNG file."},
        {[&] { return !orv_render_state_scissor_rectangles_get(orv_context2D_render_state_get(context), &count) &&
                      count == 0; }, ORV_ERROR_OUT_OF_RANGE, "..."},
        {[&] { count = 5; return !orv_gradient_paint_color_stops_get(gradient, &count) && count == 0; },
         ORV_ERROR_OUT_OF_RANGE, "..."},
        {[&] { count = 5; return !orv_text_run_glyphs_get(nullptr, &count) && count == 0; },
         ORV_ERROR_ARGUMENT_NULL, "..."},
        {[&] { count = 5; return !orv_text_layout_line_glyphs_get(nullptr, 0, &count) && count == 0; },
         ORV_ERROR_ARGUMENT_NULL, "..."},
        {[&] { return !orv_font_create(context, nullptr, 12); }, ORV_ERROR_LOGIC, "..."},
        {[&] { orv_error_mode_set(5); return orv_error_mode_get() == ORV_ERROR_MODE_RECORD; },
         ORV_ERROR_ARGUMENT_OUT_OF_RANGE, "orv_error_mode_set: ArgumentOutOfRangeException"},
        {[&] { orv_messages_set(-1); return orv_messages_get() == ORV_MESSAGES_NONE; },
         ORV_ERROR_ARGUMENT_OUT_OF_RANGE, "orv_messages_set: ArgumentOutOfRangeException"},
    };
    for (const Case& c : cases) {
        orv_error_clear();
        EXPECT_TRUE(c.call()) << c.message;
        const Recorded last = Last();
        EXPECT_EQ(last.code, c.code) << c.message << " / " << last.message;
        const size_t dots = c.message.rfind("...");
        if (dots != std::string::npos && dots + 3 == c.message.size()) {
            EXPECT_EQ(last.message.substr(0, dots), c.message.substr(0, dots));
            EXPECT_FALSE(last.message.empty());
        } else {
            EXPECT_EQ(last.message, c.message);
        }
    }

    // Sticky: a later successful call keeps the record, a later error replaces it, clear empties it.
    orv_path_builder_ellipse(builder, 0, 0, -1, 1);
    orv_path_draw(path, nullptr, nullptr);
    EXPECT_EQ(orv_error_last(), ORV_ERROR_ARGUMENT_OUT_OF_RANGE);
    orv_path_draw(nullptr, nullptr, nullptr);
    EXPECT_EQ(orv_error_last(), ORV_ERROR_ARGUMENT_NULL);
    orv_error_clear();
    EXPECT_EQ(Last().code, ORV_ERROR_NONE);
    EXPECT_EQ(Last().message, "");

    // Exceptions the library itself never throws, and the standard ones, recorded by the one guard.
    const struct Thrown {
        std::function<void()> raise;
        int code;
    } thrown[] = {
        {[] { throw InvalidCastException(); }, ORV_ERROR_INVALID_CAST},
        {[] { throw FileNotFoundException("gone"); }, ORV_ERROR_FILE_NOT_FOUND},
        {[] { throw IndexOutOfRangeException(); }, ORV_ERROR_INDEX_OUT_OF_RANGE},
        {[] { throw NotImplementedException(); }, ORV_ERROR_NOT_IMPLEMENTED},
        {[] { throw Exception(); }, ORV_ERROR_EXCEPTION},
        {[] { throw std::bad_alloc(); }, ORV_ERROR_OUT_OF_MEMORY},
        {[] { throw std::length_error("too long"); }, ORV_ERROR_LENGTH},
        {[] { throw 42; }, ORV_ERROR_UNKNOWN},
        {[] { throw std::runtime_error("other"); }, ORV_ERROR_UNKNOWN},
    };
    for (const Thrown& t : thrown) {
        const int result = Guarded("orv_example", [&] { t.raise(); return 1; });
        EXPECT_EQ(result, 0);
        EXPECT_EQ(orv_error_last(), t.code);
        EXPECT_NE(std::string(orv_error_message()), "");
    }
    EXPECT_EQ(std::string(orv_error_message()), "other");
    Guarded("orv_example", [] { throw FileNotFoundException("gone"); });
    EXPECT_EQ(std::string(orv_error_message()), "gone");
    Guarded("orv_example", [] { throw IndexOutOfRangeException(); });
    EXPECT_EQ(std::string(orv_error_message()), "orv_example: IndexOutOfRangeException");

    for (orv_fill_state state : {fill, greyFill})
        orv_fill_state_destroy(state);
    for (orv_paint paint : {red, gradient, greyPaint})
        orv_color_paint_destroy(paint);
    orv_png_image_destroy(greyImage);
    orv_path_destroy(path);
    orv_path_destroy(rgPath);
    orv_path_builder_destroy(builder);
    orv_context2D_destroy(context);
    orv_context2D_destroy(rgContext);
}

TEST(CErrorMode, RecordsArePerThread) {
    Modes modes(ORV_ERROR_MODE_RECORD, ORV_MESSAGES_NONE);
    Recorded seen[3];
    std::thread threads[3] = {
        std::thread([&] {
            orv_context2D_create(nullptr);
            seen[0] = Last();
        }),
        std::thread([&] {
            orv_png_image_create_from_file(nullptr, "/nonexistent/file.png");
            seen[1] = Last();
        }),
        std::thread([&] {
            orv_path_builder builder = orv_path_builder_create();
            orv_path_builder_moveto(builder, 1, 2);
            orv_path_builder_destroy(builder);
            seen[2] = Last();
        }),
    };
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(seen[0].code, ORV_ERROR_ARGUMENT_NULL);
    EXPECT_EQ(seen[0].message, "orv_context2D_create: ArgumentNullException");
    EXPECT_EQ(seen[1].code, ORV_ERROR_INVALID_OPERATION);
    EXPECT_EQ(seen[1].message, "File could not be opened for reading.");
    EXPECT_EQ(seen[2].code, ORV_ERROR_NONE);
    EXPECT_EQ(Last().code, ORV_ERROR_NONE);  // this thread made no error
}

TEST(CErrorMode, MessagesGoWhereTheProgramSays) {
    Modes modes(ORV_ERROR_MODE_RECORD, ORV_MESSAGES_STDOUT);
    const auto failedLoad = [] {
        orv_png_image_create_from_file(nullptr, "/nonexistent/file.png");
        EXPECT_EQ(std::string(orv_error_message()), "File could not be opened for reading.");
    };
    const struct Case {
        int where;
        std::string out, err;
    } cases[] = {
        {ORV_MESSAGES_STDOUT, "File could not be opened for reading.\n", ""},
        {ORV_MESSAGES_STDERR, "", "File could not be opened for reading.\n"},
        {ORV_MESSAGES_NONE, "", ""},
    };
    for (const Case& c : cases) {
        orv_messages_set(c.where);
        EXPECT_EQ(orv_messages_get(), c.where);
        std::string err;
        const std::string out = TestSupport::CaptureStdout([&] { err = TestSupport::CaptureOutput(2, failedLoad); });
        EXPECT_EQ(out, c.out);
        EXPECT_EQ(err, c.err);
        // The class interface's switch is the same one, and covers its exceptions too.
        EXPECT_EQ(int(Messages()), c.where);
        EXPECT_EQ(TestSupport::CaptureStdout([] { Exception("printed"); }),
                  c.where == ORV_MESSAGES_STDOUT ? "printed\n" : "");
    }
    EXPECT_THROW(Messages(MessageStream(3)), ArgumentOutOfRangeException);
}

TEST(CErrorMode, SavedSurfaceIsStraightAlphaInDisplayOrder) {
    // Premultiplied bytes divided back, rounded to nearest; the surface's row 0 (the last in memory with a
    // negative stride) at the top of the file.
    struct Case {
        uint32_t format;
        std::vector<uint8_t> top, bottom;  // one pixel of surface rows 0 and 1
        std::vector<uint8_t> topRgba, bottomRgba;
    } const cases[] = {
        {TestSupport::kAB24, {64, 32, 0, 128}, {10, 200, 255, 255}, {128, 64, 0, 128}, {10, 200, 255, 255}},
        {TestSupport::kAB24, {3, 2, 1, 7}, {9, 9, 9, 0}, {109, 73, 36, 7}, {0, 0, 0, 0}},
        {TestSupport::kAB24, {200, 0, 0, 100}, {0, 0, 0, 1}, {255, 0, 0, 100}, {0, 0, 0, 1}},
        {TestSupport::kRA24, {1, 2, 3, 4}, {5, 6, 7, 8}, {1, 2, 3, 4}, {5, 6, 7, 8}},
        {TestSupport::kRX24, {1, 2, 3, 4}, {5, 6, 7, 8}, {1, 2, 3, 255}, {5, 6, 7, 255}},
        // Blue first, premultiplied as "AB24"; the X formats' fourth byte saved as 255.
        {TestSupport::kAR24, {0, 32, 64, 128}, {255, 200, 10, 255}, {128, 64, 0, 128}, {10, 200, 255, 255}},
        {TestSupport::kXR24, {3, 2, 1, 7}, {7, 6, 5, 0}, {1, 2, 3, 255}, {5, 6, 7, 255}},
        {TestSupport::kXB24, {1, 2, 3, 4}, {5, 6, 7, 8}, {1, 2, 3, 255}, {5, 6, 7, 255}},
        // 5-6-5 widened by repeating each value's high bits: 0b10101 -> 0b10101101, 0b100001 -> 0b10000110.
        {TestSupport::kRG16, {0x31, 0xAC}, {0xFF, 0xFF}, {173, 134, 140, 255}, {255, 255, 255, 255}},
    };
    const std::string path = TestSupport::TempPath("saved-surface.png");
    for (const int sign : {1, -1})
        for (const Case& c : cases) {
            TestSupport::Surface surface(1, 2, c.format, sign * int(c.top.size()));
            std::memcpy(surface.Pixel(0, sign > 0 ? 0 : 1), c.top.data(), c.top.size());
            std::memcpy(surface.Pixel(0, sign > 0 ? 1 : 0), c.bottom.data(), c.bottom.size());
            const std::vector<uint8_t> before = surface.memory;
            orv_context2D context = orv_context2D_create(surface.surface);
            orv_render_state_origin_set(orv_context2D_render_state_get(context), ORV_ORIGIN_BOTTOM_LEFT);
            orv_context2D_save_png(context, path.c_str());
            EXPECT_EQ(surface.memory, before);
            // Loaded back, the image's row 0 is the file's bottom row.
            orv_png_image saved = orv_png_image_create_from_file(context, path.c_str());
            ASSERT_EQ(orv_image_format_get(saved), int(TestSupport::kRA24));
            const uint8_t* data = static_cast<const uint8_t*>(orv_image_data_get(saved));
            const int stride = orv_image_stride_get(saved);
            const uint8_t* fileBottom = stride >= 0 ? data : data + size_t(-stride);
            const uint8_t* fileTop = stride >= 0 ? data + stride : data;
            EXPECT_EQ(std::vector<uint8_t>(fileTop, fileTop + 4), c.topRgba) << sign;
            EXPECT_EQ(std::vector<uint8_t>(fileBottom, fileBottom + 4), c.bottomRgba) << sign;
            orv_png_image_destroy(saved);
            orv_context2D_destroy(context);
        }
    TestSupport::Surface r8(2, 2, TestSupport::kR8);
    orv_context2D context = orv_context2D_create(r8.surface);
    EXPECT_THROW(orv_context2D_save_png(context, path.c_str()), NotSupportedException);
    EXPECT_THROW(orv_context2D_save_png(context, nullptr), ArgumentNullException);
    orv_context2D_destroy(context);
}
