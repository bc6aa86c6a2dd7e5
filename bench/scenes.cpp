// Benchmark scenes, each done three ways on the same surface and geometry:
// through the library, through the same AGG composition written directly
// (the floor for this design), and through Cairo where it is installed.
// Every scene runs opaque and with SourceOver at half alpha.
#include <benchmark/benchmark.h>

#include <agg_conv_curve.h>
#include <agg_conv_dash.h>
#include <agg_conv_stroke.h>
#include <agg_conv_transform.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "raster/AggTypes.hpp"
#include "common/Internals.hpp"
#include "path/PathStorage.hpp"
#include "vudadive2r.hpp"

#ifdef VUDADIVE2R_BENCH_CAIRO
#include <cairo.h>
#endif

using namespace ORV::Vudadive2R;

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr double kPi = 3.141592653589793;

// The geometry of every scene, generated once with a fixed seed.
struct Geometry {
    std::vector<std::pair<float, float>> squares;  // 10 000 corners of 8 x 8 squares
    std::vector<std::pair<float, float>> polygon;  // 10 000 vertices, self-intersecting
    std::vector<std::pair<float, float>> polyline;  // 2 001 points
    std::vector<std::pair<float, float>> ellipses;  // 1 000 centres, 24 x 16

    Geometry() {
        std::mt19937 random(12345);
        std::uniform_real_distribution<float> x(0, kWidth - 10), y(0, kHeight - 10);
        for (int i = 0; i < 10000; ++i)
            squares.push_back({x(random), y(random)});
        for (int i = 0; i < 10000; ++i) {
            const double angle = i * 2 * kPi * 37 / 10000;
            const double radius = 100 + 250 * std::abs(std::sin(i * 0.013));
            polygon.push_back({float(512 + radius * std::cos(angle)), float(384 + radius * std::sin(angle))});
        }
        for (int i = 0; i <= 2000; ++i)
            polyline.push_back({float(12 + i * 0.5), float(384 + 300 * std::sin(i * 0.05) * std::cos(i * 0.0031))});
        for (int i = 0; i < 1000; ++i)
            ellipses.push_back({12 + x(random) * 0.97f, 12 + y(random) * 0.96f});
    }
};

const Geometry& Shapes() {
    static const Geometry geometry;
    return geometry;
}

enum class Scene { SmallShapes, Polygon, Polyline, Dashed, Ellipses };

// The builder's recording of each scene: shared by the library and the
// direct AGG version, which decodes the same stream into its own storage.
void Record(Scene scene, PathBuilder& builder, size_t index = 0) {
    const Geometry& g = Shapes();
    switch (scene) {
    case Scene::SmallShapes:
        builder.Rectangle(g.squares[index].first, g.squares[index].second, 8, 8);
        break;
    case Scene::Polygon:
        builder.MoveTo(g.polygon[0].first, g.polygon[0].second);
        for (size_t i = 1; i < g.polygon.size(); ++i)
            builder.LineTo(g.polygon[i].first, g.polygon[i].second);
        builder.Close();
        break;
    case Scene::Polyline:
    case Scene::Dashed:
        builder.MoveTo(g.polyline[0].first, g.polyline[0].second);
        for (size_t i = 1; i < g.polyline.size(); ++i)
            builder.LineTo(g.polyline[i].first, g.polyline[i].second);
        break;
    case Scene::Ellipses:
        for (const auto& centre : g.ellipses)
            builder.Ellipse(centre.first, centre.second, 24, 16);
        break;
    }
}

struct Target {
    std::vector<uint8_t> memory = std::vector<uint8_t>(size_t(kWidth) * kHeight * 4);
    orv_surface* surface = orv_surface_create_for_data(kWidth, kHeight, 0x34324241, kWidth * 4, memory.data());
    ~Target() { orv_surface_destroy(surface); }
};

float AlphaOf(const benchmark::State& state) { return state.range(0) ? 0.5f : 1.0f; }

// ---------------------------------------------------------------- library

void Library(benchmark::State& state, Scene scene) {
    Target target;
    auto context = std::make_shared<Context2D>(target.surface);
    context->renderState->origin = Origin::TopLeft;
    auto paint = std::make_shared<ColorPaint>(context, Color{0.2f, 0.4f, 0.8f, AlphaOf(state)});
    auto fill = std::make_shared<FillState>();
    fill->Paint(paint);
    auto stroke = std::make_shared<StrokeState>();
    stroke->Paint(paint);
    stroke->LineWidth(3);
    stroke->JoinStyle(JoinStyle::Round);
    if (scene == Scene::Dashed)
        stroke->dashPattern = {{12, 6}};
    fill->FillRule(scene == Scene::Polygon ? FillRule::EvenOdd : FillRule::NonZero);
    const bool stroked = scene == Scene::Polyline || scene == Scene::Dashed;

    std::vector<std::unique_ptr<Path>> paths;
    const size_t count = scene == Scene::SmallShapes ? Shapes().squares.size() : 1;
    for (size_t i = 0; i < count; ++i) {
        PathBuilder builder;
        Record(scene, builder, i);
        paths.push_back(builder.ToPath(context));
    }
    for (auto _ : state) {
        for (auto& path : paths)
            path->Draw(stroked ? nullptr : fill, stroked ? stroke : nullptr);
        benchmark::DoNotOptimize(target.memory.data());
    }
}

// ---------------------------------------------------------------- AGG

void DirectAgg(benchmark::State& state, Scene scene) {
    Target target;
    std::vector<std::unique_ptr<PathStorage>> storages;
    const size_t count = scene == Scene::SmallShapes ? Shapes().squares.size() : 1;
    {
        // Decode the recorded stream through a library path once, then
        // keep only the AGG vertex storage.
        auto context = std::make_shared<Context2D>(target.surface);
        for (size_t i = 0; i < count; ++i) {
            PathBuilder builder;
            Record(scene, builder, i);
            auto path = builder.ToPath(context);
            auto storage = std::make_unique<PathStorage>(Internals::StorageOf(*path));
            storages.push_back(std::move(storage));
        }
    }
    const agg::rgba8 color(agg::rgba(0.2, 0.4, 0.8, AlphaOf(state)));
    const bool stroked = scene == Scene::Polyline || scene == Scene::Dashed;
    RenderingBuffer buffer(target.memory.data(), kWidth, kHeight, kWidth * 4);
    PixelFormat pixels(buffer, 3);
    Renderer renderer(pixels);
    Rasterizer rasterizer;
    Scanline scanline;
    agg::trans_affine identity;
    for (auto _ : state) {
        for (auto& storage : storages) {
            agg::conv_curve<PathStorage> curves(*storage);
            agg::conv_transform<agg::conv_curve<PathStorage>> transformed(curves, identity);
            rasterizer.reset();
            if (!stroked) {
                rasterizer.filling_rule(scene == Scene::Polygon ? agg::fill_even_odd : agg::fill_non_zero);
                rasterizer.add_path(transformed);
            } else if (scene == Scene::Polyline) {
                agg::conv_stroke<decltype(transformed)> outline(transformed);
                outline.width(3);
                outline.line_join(agg::round_join);
                rasterizer.add_path(outline);
            } else {
                agg::conv_dash<decltype(transformed)> dashes(transformed);
                dashes.add_dash(12, 6);
                agg::conv_stroke<decltype(dashes)> outline(dashes);
                outline.width(3);
                outline.line_join(agg::round_join);
                rasterizer.add_path(outline);
            }
            agg::render_scanlines_aa_solid(rasterizer, scanline, renderer, color);
        }
        benchmark::DoNotOptimize(target.memory.data());
    }
}

// ---------------------------------------------------------------- Cairo

#ifdef VUDADIVE2R_BENCH_CAIRO
void TraceCairo(cairo_t* cr, Scene scene, size_t index) {
    const Geometry& g = Shapes();
    switch (scene) {
    case Scene::SmallShapes:
        cairo_rectangle(cr, g.squares[index].first, g.squares[index].second, 8, 8);
        break;
    case Scene::Polygon:
        cairo_move_to(cr, g.polygon[0].first, g.polygon[0].second);
        for (size_t i = 1; i < g.polygon.size(); ++i)
            cairo_line_to(cr, g.polygon[i].first, g.polygon[i].second);
        cairo_close_path(cr);
        break;
    case Scene::Polyline:
    case Scene::Dashed:
        cairo_move_to(cr, g.polyline[0].first, g.polyline[0].second);
        for (size_t i = 1; i < g.polyline.size(); ++i)
            cairo_line_to(cr, g.polyline[i].first, g.polyline[i].second);
        break;
    case Scene::Ellipses:
        for (const auto& centre : g.ellipses) {
            cairo_save(cr);
            cairo_translate(cr, centre.first, centre.second);
            cairo_scale(cr, 12, 8);
            cairo_new_sub_path(cr);
            cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
            cairo_close_path(cr);
            cairo_restore(cr);
        }
        break;
    }
}

void Cairo(benchmark::State& state, Scene scene) {
    std::vector<uint8_t> memory(size_t(kWidth) * kHeight * 4);
    cairo_surface_t* surface =
        cairo_image_surface_create_for_data(memory.data(), CAIRO_FORMAT_ARGB32, kWidth, kHeight, kWidth * 4);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgba(cr, 0.2, 0.4, 0.8, AlphaOf(state));
    cairo_set_fill_rule(cr, scene == Scene::Polygon ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo_set_line_width(cr, 3);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    if (scene == Scene::Dashed) {
        const double dashes[] = {12, 6};
        cairo_set_dash(cr, dashes, 2, 0);
    }
    const bool stroked = scene == Scene::Polyline || scene == Scene::Dashed;
    const size_t count = scene == Scene::SmallShapes ? Shapes().squares.size() : 1;
    for (auto _ : state) {
        for (size_t i = 0; i < count; ++i) {
            TraceCairo(cr, scene, i);
            if (stroked)
                cairo_stroke(cr);
            else
                cairo_fill(cr);
        }
        cairo_surface_flush(surface);
        benchmark::DoNotOptimize(memory.data());
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}
#endif

// ---------------------------------------------------------------- clears

constexpr int kClearWidth = 1920;
constexpr int kClearHeight = 1080;

void LibraryClear(benchmark::State& state) {
    std::vector<uint8_t> memory(size_t(kClearWidth) * kClearHeight * 4);
    orv_surface* surface = orv_surface_create_for_data(kClearWidth, kClearHeight, 0x34324241, kClearWidth * 4,
                                                       memory.data());
    {
        Context2D context(surface);
        context.ClearColor(Color{0.2f, 0.4f, 0.8f, AlphaOf(state)});
        for (auto _ : state) {
            context.Clear();
            benchmark::DoNotOptimize(memory.data());
        }
    }
    orv_surface_destroy(surface);
}

void DirectAggClear(benchmark::State& state) {
    std::vector<uint8_t> memory(size_t(kClearWidth) * kClearHeight * 4);
    RenderingBuffer buffer(memory.data(), kClearWidth, kClearHeight, kClearWidth * 4);
    PixelFormat pixels(buffer);
    Renderer renderer(pixels);
    const agg::rgba8 color(agg::rgba(0.2, 0.4, 0.8, AlphaOf(state)));
    for (auto _ : state) {
        renderer.clear(color);
        benchmark::DoNotOptimize(memory.data());
    }
}

#ifdef VUDADIVE2R_BENCH_CAIRO
void CairoClear(benchmark::State& state) {
    std::vector<uint8_t> memory(size_t(kClearWidth) * kClearHeight * 4);
    cairo_surface_t* surface = cairo_image_surface_create_for_data(memory.data(), CAIRO_FORMAT_ARGB32, kClearWidth,
                                                                   kClearHeight, kClearWidth * 4);
    cairo_t* cr = cairo_create(surface);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr, 0.2, 0.4, 0.8, AlphaOf(state));
    for (auto _ : state) {
        cairo_paint(cr);
        cairo_surface_flush(surface);
        benchmark::DoNotOptimize(memory.data());
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}
#endif

struct SceneName {
    Scene scene;
    const char* name;
};

const SceneName kScenes[] = {
    {Scene::SmallShapes, "SmallShapes10k"}, {Scene::Polygon, "Polygon10kEvenOdd"},
    {Scene::Polyline, "Polyline2kRoundJoins"}, {Scene::Dashed, "Polyline2kDashed"},
    {Scene::Ellipses, "Ellipses1k"},
};

int Register() {
    for (const SceneName& s : kScenes) {
        const Scene scene = s.scene;
        benchmark::RegisterBenchmark((std::string(s.name) + "/Library").c_str(),
                                     [scene](benchmark::State& st) { Library(st, scene); })
            ->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string(s.name) + "/AGG").c_str(),
                                     [scene](benchmark::State& st) { DirectAgg(st, scene); })
            ->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
#ifdef VUDADIVE2R_BENCH_CAIRO
        benchmark::RegisterBenchmark((std::string(s.name) + "/Cairo").c_str(),
                                     [scene](benchmark::State& st) { Cairo(st, scene); })
            ->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
#endif
    }
    benchmark::RegisterBenchmark("Clear1920x1080/Library", LibraryClear)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Clear1920x1080/AGG", DirectAggClear)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
#ifdef VUDADIVE2R_BENCH_CAIRO
    benchmark::RegisterBenchmark("Clear1920x1080/Cairo", CairoClear)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
#endif
    return 0;
}

const int registered = Register();

}  // namespace

BENCHMARK_MAIN();
