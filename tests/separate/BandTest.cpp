// A context drawing with several threads: every pass split into bands of
// rows must give the bytes of one thread, whatever the number of threads.
// A program of its own so that ThreadSanitizer runs it.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <limits>
#include <random>
#include <string>

#include "RoadScenes.hpp"
#include "common/Internals.hpp"
#include "pipeline/DrawScratch.hpp"
#include "vudadive2r.h"

namespace {

using namespace ORV::Vudadive2R;

struct Drawn {
    std::vector<uint8_t> bytes;
    std::string error;
    std::size_t bands = 0;  // the band stores the context made: > 1 once a pass was split

    bool operator==(const Drawn& other) const { return bytes == other.bytes && error == other.error; }
};

// The scene drawn on the library's road with `threads`; `everyPass` splits
// passes of any size, down to bands of one row.
Drawn DrawWith(const RoadScenes::Scene& scene, int threads, bool everyPass) {
    Drawn drawn;
    drawn.bytes = scene.backdrop;
    drawn.bytes.resize(std::size_t(scene.width) * std::size_t(scene.height) * RoadScenes::BytesPerPixel(scene.format));
    try {
        RoadScenes::Drawing drawing(scene, drawn.bytes.data());
        drawing.context->SetThreads(threads);
        std::unique_ptr<DrawScratch>& scratch = Internals::DrawScratchOf(*drawing.context);
        if (everyPass)
            scratch->bandedPixels = 0;
        drawing.Draw(false);
        drawing.context->Finish();
        drawn.bands = scratch->bands.size();
    } catch (const std::exception& e) {
        drawn.error = e.what();
    }
    return drawn;
}

RoadScenes::Scene RandomScene(std::mt19937& engine, bool clipAndLayer) {
    std::vector<uint8_t> bytes(1024);
    for (uint8_t& b : bytes)
        b = uint8_t(engine());
    RoadScenes::ByteStream stream(bytes.data(), bytes.size());
    RoadScenes::Scene scene = RoadScenes::RandomScene(stream);
    if (clipAndLayer)
        RoadScenes::RandomClipAndLayer(stream, scene);
    return scene;
}

// The scene and all its geometry scaled up to about 900 pixels a side.
RoadScenes::Scene Enlarged(RoadScenes::Scene scene) {
    const int scale = std::max(1, 900 / std::max(scene.width, scene.height));
    scene.width *= scale;
    scene.height *= scale;
    for (float& value : scene.data)
        value *= float(scale);
    for (float& value : scene.clipData)
        value *= float(scale);
    uint32_t state = 12345;
    scene.backdrop.resize(std::size_t(scene.width) * scene.height * 4);
    for (uint8_t& byte : scene.backdrop) {
        state = state * 1664525u + 1013904223u;
        byte = uint8_t(state >> 24);
    }
    return scene;
}

TEST(Bands, RandomScenesSplitIntoBandsDrawTheBytesOfOneThread) {
    std::mt19937 engine(20261208);
    for (int trial = 0; trial < 400; ++trial) {
        const RoadScenes::Scene scene = RandomScene(engine, trial % 2 == 1);
        const Drawn one = DrawWith(scene, 1, true);
        for (int threads : {2, 3, 8}) {
            const Drawn many = DrawWith(scene, threads, true);
            ASSERT_TRUE(many == one) << "trial " << trial << ", " << threads << " threads";
        }
    }
}

TEST(Bands, LargeScenesDrawTheBytesOfOneThread) {
    std::mt19937 engine(20261209);
    int split = 0;
    constexpr int kScenes = 40;
    for (int trial = 0; trial < kScenes; ++trial) {
        const RoadScenes::Scene scene = Enlarged(RandomScene(engine, trial % 3 == 2));
        const Drawn one = DrawWith(scene, 1, false);
        EXPECT_EQ(one.bands, 0u);
        for (int threads : {2, 4, 7}) {
            const Drawn many = DrawWith(scene, threads, false);
            ASSERT_TRUE(many == one) << "trial " << trial << ", " << threads << " threads";
            split += many.bands > 1;
        }
    }
    // Most of them cover enough of the surface to be split at all.
    EXPECT_GT(split, kScenes);
}

// Paths of thousands of sub-paths, whose geometry a context of several threads prepares and feeds
// in parts: polygons, circles of curves and open strokes with round joins, filled and outlined, some
// reaching beyond the surface, one with a vertex past the raster range (fed whole again). Ending
// in the last part: a curve far above the surface (drawn as its chord), one larger than the
// converter takes (flattened here), and an infinite coordinate (nothing drawn).
TEST(Bands, PathsOfManySubPathsFedInPartsDrawTheBytesOfOneThread) {
    std::mt19937 engine(91210);
    std::uniform_real_distribution<float> unit(0, 1);
    for (int trial = 0; trial < 7; ++trial) {
        RoadScenes::Scene scene;
        scene.width = 900, scene.height = 700;
        scene.backdrop.assign(std::size_t(scene.width) * scene.height * 4, 0);
        for (std::size_t i = 0; i < scene.backdrop.size(); ++i)
            scene.backdrop[i] = uint8_t(engine());
        auto add = [&](PathCommands command, std::initializer_list<float> values) {
            scene.commands.push_back(command);
            scene.data.insert(scene.data.end(), values);
        };
        for (int shape = 0; shape < 3000; ++shape) {
            const float x = -40 + unit(engine) * 980, y = -40 + unit(engine) * 780, r = 2 + 20 * unit(engine);
            if (shape % 3 == 0) {  // a circle of four cubics
                const float k = 0.5522847498f * r;
                add(PathCommands::MoveTo, {x + r, y});
                add(PathCommands::CubicTo, {x + r, y + k, x + k, y + r, x, y + r});
                add(PathCommands::CubicTo, {x - k, y + r, x - r, y + k, x - r, y});
                add(PathCommands::CubicTo, {x - r, y - k, x - k, y - r, x, y - r});
                add(PathCommands::CubicTo, {x + k, y - r, x + r, y - k, x + r, y});
                add(PathCommands::Close, {});
            } else {
                add(PathCommands::MoveTo, {x, y});
                for (int corner = 1; corner < 5 + shape % 6; ++corner)
                    add(PathCommands::LineTo, {x + r * unit(engine) * 2 - r, y + r * unit(engine) * 2 - r});
                if (shape % 2)
                    add(PathCommands::Close, {});
            }
        }
        if (trial == 3) {
            add(PathCommands::MoveTo, {400, 300});
            add(PathCommands::LineTo, {6e6f, 320});
            add(PathCommands::LineTo, {420, 350});
        } else if (trial == 4) {
            add(PathCommands::MoveTo, {100, -3000});
            add(PathCommands::CubicTo, {150, -4000, 250, -4000, 300, -3000});
            add(PathCommands::LineTo, {300, 200});
            add(PathCommands::Close, {});
        } else if (trial == 5) {
            add(PathCommands::MoveTo, {200, 200});
            add(PathCommands::CubicTo, {200, 1e10f, 600, 1e10f, 600, 200});
            add(PathCommands::Close, {});
        } else if (trial == 6) {
            add(PathCommands::MoveTo, {200, 200});
            add(PathCommands::LineTo, {std::numeric_limits<float>::infinity(), 300});
        }
        scene.filled = trial != 1, scene.stroked = trial != 0;
        scene.rule = trial % 2 ? FillRule::EvenOdd : FillRule::NonZero;
        scene.fillSpec.color = Color{0.2f, 0.5f, 0.8f, 0.7f};
        scene.strokeSpec.color = Color{0.9f, 0.3f, 0.1f, 0.8f};
        scene.lineWidth = 1.5f + float(trial);
        scene.join = trial == 2 ? JoinStyle::Round : JoinStyle::Miter;
        scene.cap = trial == 2 ? CapStyle::Round : CapStyle::Butt;
        const Drawn one = DrawWith(scene, 1, false);
        ASSERT_EQ(one.error, "");
        ASSERT_EQ(one.bytes == scene.backdrop, trial == 6);
        for (int threads : {2, 3, 8}) {
            const Drawn many = DrawWith(scene, threads, false);
            ASSERT_TRUE(many == one) << "trial " << trial << ", " << threads << " threads";
        }
    }
}

// Dashed strokes of many sub-paths, dashed in parts on the threads: a pattern that starts afresh on
// each, and one that runs on (a negative phase); and hostile ones that run the dasher out of its
// budget of kept dashes after about two thirds of the lines, where each thread's share of the lines
// stays within it. Every count draws what one thread draws, stopping where it stops.
TEST(Bands, DashedPathsOfManySubPathsDrawTheBytesOfOneThread) {
    struct Case {
        int size, lines;
        float length, dash, phase;
    };
    const Case cases[] = {{800, 300, 1000, 3, 1}, {800, 300, 1000, 3, -2}, {64, 200, 300, 0.032f, 0}};
    for (const Case& c : cases) {
        RoadScenes::Scene scene;
        scene.width = scene.height = c.size;
        scene.backdrop.assign(std::size_t(c.size) * std::size_t(c.size) * 4, 0);
        for (int line = 0; line < c.lines; ++line) {
            const float y = 0.5f + float(line) * float(c.size) / float(c.lines);
            const float start = -100 + float(line % 7);
            scene.commands.push_back(PathCommands::MoveTo);
            scene.data.insert(scene.data.end(), {start, y});
            scene.commands.push_back(PathCommands::LineTo);
            scene.data.insert(scene.data.end(), {start + c.length, y + float(line % 3)});
        }
        scene.stroked = true, scene.lineWidth = 1;
        scene.strokeSpec.color = Color{0.9f, 0.3f, 0.1f, 0.8f};
        scene.dashes = {{c.dash, c.dash}}, scene.dashPhase = c.phase;
        const Drawn one = DrawWith(scene, 1, false);
        ASSERT_EQ(one.error, "");
        // The hostile pattern stops before the lines at the bottom.
        const std::size_t lastRow = std::size_t(c.size - 1) * std::size_t(c.size) * 4;
        EXPECT_EQ(std::equal(one.bytes.begin() + std::ptrdiff_t(lastRow), one.bytes.end(),
                             scene.backdrop.begin() + std::ptrdiff_t(lastRow)),
                  c.size == 64);
        for (int threads : {2, 3, 8})
            EXPECT_TRUE(DrawWith(scene, threads, false) == one) << c.size << ", " << threads << " threads";
    }
}

// A surface-sized gradient, image and colour fill and a wide stroke over
// them in one context, drawn with each thread count in turn.
std::vector<uint8_t> DrawPaints(int threads) {
    constexpr int width = 1000, height = 700;
    std::vector<uint8_t> pixels(std::size_t(width) * height * 4, 0);
    orv_surface* surface = orv_surface_create_for_data(width, height, 0x34324241, width * 4, pixels.data());
    orv_context2D context = orv_context2D_create(surface);
    orv_context2D_threads_set(context, threads);
    std::vector<uint8_t> texels(700 * 500 * 4);
    for (std::size_t i = 0; i < texels.size(); ++i)
        texels[i] = uint8_t(i * 37 + i / 7);
    orv_image image = orv_image_create(context, 0x34324152, 700, 500, 700 * 4, texels.data());
    orv_paint paints[] = {
        orv_linear_gradient_paint_create(context, 10, 20, 900, 650),
        orv_radial_gradient_paint_create(context, 500, 300, 400, 450, 350),
        orv_image_paint_create(context, image),
        orv_color_paint_create(context, 0.2f, 0.6f, 0.9f, 0.5f),
    };
    const orv_color_stop stops[] = {{0, 1, 0, 0, 1}, {0.5f, 0, 1, 0, 0.4f}, {1, 0, 0, 1, 1}};
    orv_gradient_paint_color_stops_set(paints[0], stops, 3);
    orv_gradient_paint_color_stops_set(paints[1], stops, 3);
    orv_gradient_paint_color_ramp_spread_mode_set(paints[1], 1);
    orv_path_builder builder = orv_path_builder_create();
    orv_path_builder_moveto(builder, -5, 3);
    orv_path_builder_lineto(builder, 990, 40);
    orv_path_builder_lineto(builder, 700, 699.5f);
    orv_path_builder_lineto(builder, 3, 640);
    orv_path_builder_close(builder);
    orv_path path = orv_path_builder_to_path(builder, context);
    orv_path_builder_destroy(builder);
    orv_fill_state fill = orv_fill_state_create();
    orv_stroke_state stroke = orv_stroke_state_create();
    orv_stroke_state_line_width_set(stroke, 40);
    for (orv_paint paint : paints) {
        orv_fill_state_paint_set(fill, paint);
        orv_stroke_state_paint_set(stroke, paint);
        orv_path_draw(path, fill, stroke);
    }
    orv_context2D_finish(context);
    orv_fill_state_destroy(fill);
    orv_stroke_state_destroy(stroke);
    orv_path_destroy(path);
    orv_linear_gradient_paint_destroy(paints[0]);
    orv_radial_gradient_paint_destroy(paints[1]);
    orv_image_paint_destroy(paints[2]);
    orv_color_paint_destroy(paints[3]);
    orv_image_destroy(image);
    orv_context2D_destroy(context);
    orv_surface_destroy(surface);
    return pixels;
}

TEST(Bands, GradientImageAndColourFillsDrawTheBytesOfOneThread) {
    const std::vector<uint8_t> one = DrawPaints(1);
    for (int threads = 2; threads <= 8; ++threads)
        EXPECT_TRUE(DrawPaints(threads) == one) << threads << " threads";
}

// An image paint reading the surface it draws into, shifted down and right:
// its colours are those of rows already drawn, so it stays on one thread.
std::vector<uint8_t> DrawSurfaceOntoItself(int threads) {
    constexpr int width = 600, height = 500;
    std::vector<uint8_t> pixels(std::size_t(width) * height * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint8_t(i * 13 + i / 4099);
    orv_surface* surface = orv_surface_create_for_data(width, height, 0x34324241, width * 4, pixels.data());
    orv_context2D context = orv_context2D_create(surface);
    orv_context2D_threads_set(context, threads);
    orv_image image = orv_image_create(context, 0x34324152, width, height, width * 4, pixels.data());
    orv_paint paint = orv_image_paint_create(context, image);
    const orv_matrix3 shift = {{1, 0, 0, 0, 1, 0, 7.5f, 31.25f, 1}};
    orv_transform_set(orv_transforms_image(orv_context2D_transforms_get(context)), &shift);
    orv_path_builder builder = orv_path_builder_create();
    orv_path_builder_rectangle(builder, 0, 0, float(width), float(height));
    orv_path path = orv_path_builder_to_path(builder, context);
    orv_fill_state fill = orv_fill_state_create();
    orv_fill_state_paint_set(fill, paint);
    orv_path_draw(path, fill, nullptr);
    orv_context2D_finish(context);
    orv_fill_state_destroy(fill);
    orv_path_destroy(path);
    orv_path_builder_destroy(builder);
    orv_image_paint_destroy(paint);
    orv_image_destroy(image);
    orv_context2D_destroy(context);
    orv_surface_destroy(surface);
    return pixels;
}

TEST(Bands, AnImageOfTheSurfaceItselfDrawsTheBytesOfOneThread) {
    const std::vector<uint8_t> one = DrawSurfaceOntoItself(1);
    for (int threads : {2, 4})
        EXPECT_TRUE(DrawSurfaceOntoItself(threads) == one) << threads << " threads";
}

TEST(Bands, ThreadCountsOutOfRangeAreRefused) {
    std::vector<uint8_t> pixels(16 * 16 * 4);
    orv_surface* surface = orv_surface_create_for_data(16, 16, 0x34324241, 16 * 4, pixels.data());
    {
        Context2D context(surface);
        EXPECT_EQ(context.Threads(), 1);
        for (int count : {1, 2, 64}) {
            context.SetThreads(count);
            EXPECT_EQ(context.Threads(), count);
        }
        for (int count : {0, -1, 65, INT_MIN, INT_MAX}) {
            EXPECT_THROW(context.SetThreads(count), ArgumentOutOfRangeException) << count;
            EXPECT_EQ(context.Threads(), 64);
        }
    }
    orv_context2D context = orv_context2D_create(surface);
    EXPECT_EQ(orv_context2D_threads_get(context), 1);
    orv_context2D_threads_set(context, 5);
    EXPECT_EQ(orv_context2D_threads_get(context), 5);
    EXPECT_THROW(orv_context2D_threads_set(context, 0), ArgumentOutOfRangeException);
    orv_error_mode_set(ORV_ERROR_MODE_RECORD);
    orv_messages_set(ORV_MESSAGES_NONE);
    orv_error_clear();
    orv_context2D_threads_set(context, 65);
    EXPECT_EQ(orv_error_last(), ORV_ERROR_ARGUMENT_OUT_OF_RANGE);
    EXPECT_EQ(orv_context2D_threads_get(context), 5);
    orv_error_mode_set(ORV_ERROR_MODE_THROW);
    orv_messages_set(ORV_MESSAGES_STDOUT);
    orv_context2D_destroy(context);
    orv_surface_destroy(surface);
}

}  // namespace
