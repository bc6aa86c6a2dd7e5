// Benchmark scenes, each done up to four ways on the same surface size and
// geometry: through the library, through the same AGG composition written
// directly (the floor for this design), through Cairo and through Qt's
// raster painter where they are available. Besides time, every run reports
// the peak extra heap memory of one pass over the scene (see MemoryMeter below).
#include <benchmark/benchmark.h>

#include <agg_conv_curve.h>
#include <agg_conv_dash.h>
#include <agg_conv_stroke.h>
#include <agg_conv_transform.h>
#include <agg_gradient_lut.h>
#include <agg_image_accessors.h>
#include <agg_path_storage.h>
#include <agg_span_allocator.h>
#include <agg_span_gradient.h>
#include <agg_span_image_filter_rgba.h>
#include <agg_span_interpolator_linear.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <malloc.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/Internals.hpp"
#include "pipeline/PathStorage.hpp"
#include "pipeline/AggTypes.hpp"
#include "vudadive2r.hpp"

#ifdef VUDADIVE2R_BENCH_CAIRO
#include <cairo-ft.h>
#include <cairo.h>
#ifdef VUDADIVE2R_BENCH_PANGO
#include <pango/pangocairo.h>
#endif
#endif
#ifdef VUDADIVE2R_BENCH_QT
#include <QGlyphRun>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QRadialGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>
#endif

using namespace ORV::Vudadive2R;

// ---------------------------------------------------------------- memory

// Every heap allocation of the process goes through these, so the library,
// AGG, Cairo and Qt are all counted the same way: bytes as
// malloc_usable_size reports them, current and high-water mark.
namespace MemoryMeter {
std::atomic<long long> current{0}, peak{0};

void Add(void* p) {
    if (!p)
        return;
    const long long now = current += (long long)malloc_usable_size(p);
    long long seen = peak.load(std::memory_order_relaxed);
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
}
void Remove(void* p) {
    if (p)
        current -= (long long)malloc_usable_size(p);
}

// Peak bytes above what was held before `pass`, during it.
long long PeakDuring(const std::function<void()>& pass) {
    const long long before = current.load();
    peak = before;
    pass();
    return peak.load() - before;
}
}  // namespace MemoryMeter

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);

void* malloc(size_t size) {
    void* p = __libc_malloc(size);
    MemoryMeter::Add(p);
    return p;
}
void* calloc(size_t count, size_t size) {
    void* p = __libc_calloc(count, size);
    MemoryMeter::Add(p);
    return p;
}
void* realloc(void* old, size_t size) {
    MemoryMeter::Remove(old);
    void* p = __libc_realloc(old, size);
    MemoryMeter::Add(p ? p : (size ? old : nullptr));
    return p;
}
void free(void* p) {
    MemoryMeter::Remove(p);
    __libc_free(p);
}
void* memalign(size_t alignment, size_t size) {
    void* p = __libc_memalign(alignment, size);
    MemoryMeter::Add(p);
    return p;
}
void* aligned_alloc(size_t alignment, size_t size) { return memalign(alignment, size); }
int posix_memalign(void** out, size_t alignment, size_t size) {
    void* p = memalign(alignment, size);
    if (!p)
        return ENOMEM;
    *out = p;
    return 0;
}
}

namespace {

constexpr double kPi = 3.141592653589793;
const char* const kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const kTextLine = "The quick brown fox jumps over the lazy dog, 0123456789 times.";
// 62 characters as well, 26 of them outside ASCII (Latin, Greek, Cyrillic, signs).
const char* const kTextLineUtf8 = "Größe 25 °C, µm 3 € – Température ΑΒΓ δέλτα, Жёлтый дом: naïve";
constexpr int kTextLines = 200;
constexpr int kTextSize = 13;
// Shaped text: the family fontconfig resolves to kFontFile, for the ways
// that choose fonts by name.
const char* const kFontFamily = "DejaVu Sans";
// The paragraph: sentences of the two lines above, alternating, wrapped to
// 1000 pixels and justified (200 lines), its top left corner at (12, 8).
constexpr int kParagraphSentences = 444;
constexpr double kParagraphWidth = 1000, kParagraphX = 12, kParagraphY = 8;

std::string ParagraphText() {
    std::string text;
    for (int i = 0; i < kParagraphSentences; ++i) {
        if (i)
            text += ' ';
        text += i % 2 ? kTextLineUtf8 : kTextLine;
    }
    return text;
}

enum class Scene {
    Squares, Triangles, Polygon, Polyline, Dashed, Ellipses, Fill256, Fill1024, Fill4096, Gradient, Radial, Image,
    Photo, Text, TextUtf8, Chart, Grid, Map, Circles, ClippedGradient, Layer, Paragraph, ShapedRun,
};

struct SceneInfo {
    Scene scene;
    const char* name;
    int width, height;
    bool bothAlphas;  // also at half alpha
};

const SceneInfo kScenes[] = {
    {Scene::Squares, "Squares10k", 1024, 768, true},
    {Scene::Triangles, "Triangles10k", 1024, 768, true},
    {Scene::Polygon, "Polygon10kEvenOdd", 1024, 768, true},
    {Scene::Polyline, "Polyline2kRoundJoins", 1024, 768, true},
    {Scene::Dashed, "Polyline2kDashed", 1024, 768, true},
    {Scene::Ellipses, "Ellipses1k", 1024, 768, true},
    {Scene::Fill256, "Fill256", 256, 256, true},
    {Scene::Fill1024, "Fill1024", 1024, 1024, true},
    {Scene::Fill4096, "Fill4096", 4096, 4096, true},
    {Scene::Gradient, "LinearGradient1024", 1024, 1024, false},
    {Scene::Radial, "RadialGradient1024", 1024, 1024, false},
    {Scene::Image, "ImagePaint1024", 1024, 1024, false},
    {Scene::Photo, "ImageRotated1024", 1024, 1024, false},
    {Scene::Text, "Text200Lines", 1024, 768, false},
    {Scene::TextUtf8, "Text200LinesUtf8", 1024, 768, false},
    {Scene::Chart, "Chart20kDashed", 2048, 1536, false},
    {Scene::Grid, "GridDotted2048", 2048, 2048, false},
    {Scene::Map, "Map3k", 2048, 1536, false},
    {Scene::Circles, "Circles20k", 2048, 1536, false},
    {Scene::ClippedGradient, "ClippedGradient1024", 1024, 1024, false},
    {Scene::Layer, "LayerCircles1024", 1024, 1024, false},
    {Scene::Paragraph, "Paragraph200Lines", 1024, 3200, false},
    {Scene::ShapedRun, "ShapedRun200", 1024, 768, false},
};

// Drawn by the library with 1, 2 and 4 threads, timed on the wall clock.
const SceneInfo kThreadScenes[] = {
    {Scene::Chart, "Chart20kDashed", 2048, 1536, false},
    {Scene::Grid, "GridDotted2048", 2048, 2048, false},
    {Scene::Map, "Map3k", 2048, 1536, false},
    {Scene::Circles, "Circles20k", 2048, 1536, false},
    {Scene::Fill4096, "Fill4096", 4096, 4096, false},
    {Scene::Gradient, "LinearGradient4096", 4096, 4096, false},
    {Scene::Radial, "RadialGradient4096", 4096, 4096, false},
    {Scene::Image, "ImagePaint4096", 4096, 4096, false},
};
// The threads the library's context draws with.
int benchThreads = 1;

bool IsText(Scene s) { return s == Scene::Text || s == Scene::TextUtf8; }
const char* TextLineOf(Scene s) { return s == Scene::TextUtf8 ? kTextLineUtf8 : kTextLine; }

bool IsStroke(Scene s) { return s == Scene::Polyline || s == Scene::Dashed || s == Scene::Chart || s == Scene::Grid; }
// The map is filled and then outlined in a second colour.
bool IsOutlined(Scene s) { return s == Scene::Map; }
bool IsLarge(Scene s) { return s == Scene::Chart || s == Scene::Grid || s == Scene::Map || s == Scene::Circles; }
// Scenes whose geometry TraceLarge draws.
bool IsTraced(Scene s) { return IsLarge(s) || s == Scene::Photo || s == Scene::Layer; }
bool IsGradient(Scene s) { return s == Scene::Gradient || s == Scene::ClippedGradient; }
// Not done with direct AGG: its alpha mask and a second buffer would be a
// composition written for the benchmark, not AGG's plain design.
bool HasDirectAgg(Scene s) {
    return s != Scene::ClippedGradient && s != Scene::Layer && s != Scene::Paragraph && s != Scene::ShapedRun;
}
// Shaped text: the library's runs and layouts against Pango and Qt's text
// layout (a paragraph), Cairo's and Qt's glyph drawing (a run shaped before timing).
bool IsShaped(Scene s) { return s == Scene::Paragraph || s == Scene::ShapedRun; }

// The clipped gradient's clip: a rounded rectangle inset by 64 pixels, its
// corners quarter circles of radius 128.
constexpr double kClipInset = 64, kClipRadius = 128;
// The layer's drawing: three overlapping circles of radius 280.
constexpr double kLayerCircles[3][2] = {{392, 400}, {632, 400}, {512, 624}};
constexpr double kLayerRadius = 280;
constexpr double kLayerOpacity = 0.5;

// The photo: the 256 x 256 picture scaled by 3.2 and turned by 0.35 radians
// about the surface's centre, clipped to itself (transparent outside), x' =
// a x + c y + e, y' = b x + d y + f; its outline is the path.
struct Placement {
    float a, b, c, d, e, f;
};
Placement PhotoPlacement() {
    const double scale = 3.2, angle = 0.35, half = 128, centre = 512;
    const double a = scale * std::cos(angle), b = scale * std::sin(angle);
    return {float(a), float(b), float(-b), float(a), float(centre - half * (a - b)), float(centre - half * (b + a))};
}

// The stroke of each stroked scene (and of the map's outlines), in surface
// pixels: butt caps everywhere, miter joins limited to 4 half widths.
struct StrokeStyle {
    double width;
    bool roundJoins;
    std::vector<double> dashes;  // dash-gap pairs, empty for a solid line
};
constexpr double kMiterLimit = 4;

StrokeStyle StyleOf(Scene s) {
    switch (s) {
    case Scene::Polyline:
        return {3, true, {}};
    case Scene::Dashed:
        return {3, true, {12, 6}};
    case Scene::Chart:
        return {1.5, false, {6, 3}};
    case Scene::Grid:
        return {1, false, {1, 3}};
    default:
        return {1, false, {}};
    }
}

// The geometry of every scene, generated once with a fixed seed.
struct Geometry {
    std::vector<std::pair<float, float>> squares;    // 10 000 corners of 8 x 8 squares
    std::vector<std::pair<float, float>> triangles;  // 30 000 corners, each triangle within 10 x 10
    std::vector<std::pair<float, float>> polygon;    // 10 000 random vertices over the surface
    std::vector<std::pair<float, float>> polyline;   // 2 001 points
    std::vector<std::pair<float, float>> ellipses;   // 1 000 centres, 24 x 16
    std::vector<std::pair<float, float>> chart;      // 20 000 points of a random walk on 2048 x 1536
    std::vector<std::pair<float, float>> map;        // the corners of 3 000 polygons, one after another
    std::vector<int> mapCorners;                     // 6 to 12 per polygon
    std::vector<std::array<float, 3>> circles;       // 20 000 centres and radii on 2048 x 1536

    Geometry() {
        std::mt19937 random(12345);
        std::uniform_real_distribution<float> x(0, 1014), y(0, 758), offset(0, 10);
        for (int i = 0; i < 10000; ++i)
            squares.push_back({x(random), y(random)});
        for (int i = 0; i < 10000; ++i) {
            const float cx = x(random), cy = y(random);
            triangles.push_back({cx + offset(random), cy});
            triangles.push_back({cx + 10, cy + offset(random)});
            triangles.push_back({cx, cy + 10});
        }
        std::uniform_real_distribution<float> px(0, 1024), py(0, 768);
        for (int i = 0; i < 10000; ++i)
            polygon.push_back({px(random), py(random)});
        for (int i = 0; i <= 2000; ++i)
            polyline.push_back({float(12 + i * 0.5), float(384 + 300 * std::sin(i * 0.05) * std::cos(i * 0.0031))});
        for (int i = 0; i < 1000; ++i)
            ellipses.push_back({12 + x(random) * 0.97f, 12 + y(random) * 0.96f});

        // The large scenes draw from a generator of their own, so that the
        // scenes above keep their geometry.
        std::mt19937 large(67890);
        std::uniform_real_distribution<float> unit(0, 1);
        float level = 768;
        for (int i = 0; i < 20000; ++i) {
            chart.push_back({4 + i * (2040.f / 19999), level});
            level += 8 * unit(large) - 4;
            if (level < 16)  // reflected at the chart's edges
                level = 32 - level;
            if (level > 1520)
                level = 3040 - level;
        }
        // Polygons around their centres with jittered corner angles and radii:
        // mostly convex, up to 80 px across, some across the surface's border.
        std::uniform_int_distribution<int> corners(6, 12);
        for (int i = 0; i < 3000; ++i) {
            const float cx = -40 + 2128 * unit(large), cy = -40 + 1616 * unit(large);
            const float size = 10 + 70 * unit(large), start = float(2 * kPi) * unit(large);
            const int n = corners(large);
            mapCorners.push_back(n);
            for (int k = 0; k < n; ++k) {
                const float angle = start + (k + 0.6f * (unit(large) - 0.5f)) * float(2 * kPi) / n;
                const float radius = size / 2 * (0.75f + 0.25f * unit(large));
                map.push_back({cx + radius * std::cos(angle), cy + radius * std::sin(angle)});
            }
        }
        for (int i = 0; i < 20000; ++i)
            circles.push_back({6 + 2036 * unit(large), 6 + 1524 * unit(large), 2 + 4 * unit(large)});
    }
};

const Geometry& Shapes() {
    static const Geometry geometry;
    return geometry;
}

// Four quarter arcs, each a cubic with the usual 0.5523 handles.
template <class Sink>
void TraceCircle(Sink& sink, float x, float y, float r) {
    const float k = r * 0.5522847f;
    sink.Move(x + r, y);
    sink.Cubic(x + r, y + k, x + k, y + r, x, y + r);
    sink.Cubic(x - k, y + r, x - r, y + k, x - r, y);
    sink.Cubic(x - r, y - k, x - k, y - r, x, y - r);
    sink.Cubic(x + k, y - r, x + r, y - k, x + r, y);
    sink.Close();
}

// The large scenes, the photo's outline and the layer's circles, traced into
// any way's path by a sink with Move, Line, Cubic and Close, so that every
// way draws the same geometry.
template <class Sink>
void TraceLarge(Scene scene, Sink& sink) {
    const Geometry& g = Shapes();
    switch (scene) {
    case Scene::Chart:
        sink.Move(g.chart[0].first, g.chart[0].second);
        for (size_t i = 1; i < g.chart.size(); ++i)
            sink.Line(g.chart[i].first, g.chart[i].second);
        break;
    case Scene::Grid:
        // On pixel centres, so that a 1-pixel line covers whole pixels.
        for (int k = 0; k < 2048 / 16; ++k) {
            const float at = 16 * k + 0.5f;
            sink.Move(at, 0);
            sink.Line(at, 2048);
            sink.Move(0, at);
            sink.Line(2048, at);
        }
        break;
    case Scene::Map: {
        size_t first = 0;
        for (const int n : g.mapCorners) {
            sink.Move(g.map[first].first, g.map[first].second);
            for (int k = 1; k < n; ++k)
                sink.Line(g.map[first + k].first, g.map[first + k].second);
            sink.Close();
            first += n;
        }
        break;
    }
    case Scene::Circles:
        for (const auto& c : g.circles)
            TraceCircle(sink, c[0], c[1], c[2]);
        break;
    case Scene::Layer:
        for (const auto& c : kLayerCircles)
            TraceCircle(sink, float(c[0]), float(c[1]), float(kLayerRadius));
        break;
    case Scene::Photo: {
        const Placement p = PhotoPlacement();
        const float corners[4][2] = {{0, 0}, {256, 0}, {256, 256}, {0, 256}};
        for (int k = 0; k < 4; ++k) {
            const float x = corners[k][0], y = corners[k][1];
            (k ? sink.Line(p.a * x + p.c * y + p.e, p.b * x + p.d * y + p.f)
               : sink.Move(p.a * x + p.c * y + p.e, p.b * x + p.d * y + p.f));
        }
        sink.Close();
        break;
    }
    default:
        break;
    }
}

struct BuilderSink {
    PathBuilder& builder;
    void Move(float x, float y) { builder.MoveTo(x, y); }
    void Line(float x, float y) { builder.LineTo(x, y); }
    void Cubic(float x1, float y1, float x2, float y2, float x, float y) { builder.CubicTo(x1, y1, x2, y2, x, y); }
    void Close() { builder.Close(); }
};

// Number of separate draws in a scene: one per small shape, else one.
size_t DrawCount(Scene scene) { return scene == Scene::Squares || scene == Scene::Triangles ? 10000 : 1; }

// The builder's recording of each path scene: shared by the library and the
// direct AGG version, which copies the decoded vertices into AGG's storage.
void Record(const SceneInfo& info, PathBuilder& builder, size_t index) {
    const Geometry& g = Shapes();
    switch (info.scene) {
    case Scene::Squares:
        builder.Rectangle(g.squares[index].first, g.squares[index].second, 8, 8);
        break;
    case Scene::Triangles:
        builder.MoveTo(g.triangles[3 * index].first, g.triangles[3 * index].second);
        builder.LineTo(g.triangles[3 * index + 1].first, g.triangles[3 * index + 1].second);
        builder.LineTo(g.triangles[3 * index + 2].first, g.triangles[3 * index + 2].second);
        builder.Close();
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
    default:
        if (IsTraced(info.scene)) {
            BuilderSink sink{builder};
            TraceLarge(info.scene, sink);
        } else {  // the full-surface fills
            builder.Rectangle(0, 0, float(info.width), float(info.height));
        }
        break;
    }
}

struct Rgb {
    double r, g, b;
};
constexpr Rgb kColor{0.2, 0.4, 0.8};
constexpr Rgb kOutline{0.1, 0.1, 0.25};  // the map's borders
// The two paints' sources: a three-stop diagonal ramp and a 256 x 256
// checker image scaled by 1.7 and repeated.
struct Stop {
    double offset, r, g, b;
};
const Stop kStops[] = {{0, 0.9, 0.1, 0.1}, {0.5, 0.1, 0.8, 0.2}, {1, 0.1, 0.2, 0.9}};
// The radial gradient: the same stops from a focus off the centre to a
// circle reaching beyond the surface's corners on one side.
constexpr double kRadialCentreX = 460, kRadialCentreY = 540, kRadius = 620, kFocusX = 360, kFocusY = 420;
constexpr int kPicture = 256;
constexpr double kPictureScale = 1.7;

std::vector<uint8_t> Picture() {
    std::vector<uint8_t> bytes(size_t(kPicture) * kPicture * 4);
    for (int y = 0; y < kPicture; ++y)
        for (int x = 0; x < kPicture; ++x) {
            uint8_t* p = &bytes[(size_t(y) * kPicture + x) * 4];
            const bool dark = ((x >> 5) ^ (y >> 5)) & 1;
            p[0] = uint8_t(dark ? 40 : 230);
            p[1] = uint8_t(x);
            p[2] = uint8_t(y);
            p[3] = 255;
        }
    return bytes;
}

double AlphaOf(const benchmark::State& state) { return state.range(0) ? 0.5 : 1.0; }

// Records the peak extra memory of the first pass, which includes whatever
// pools a way fills for later passes, then times passes.
void Measure(benchmark::State& state, const std::function<void()>& pass) {
    state.counters["peak_bytes"] = double(MemoryMeter::PeakDuring(pass));
    for (auto _ : state)
        pass();
}

// The surface of one way. With VUDADIVE2R_BENCH_DUMP set to a folder, its
// last pass is written there as a PPM file, to check by eye that the ways
// draw the same picture.
struct Pixels {
    std::vector<uint8_t> memory;
    int width, height;
    const char* scene;
    explicit Pixels(const SceneInfo& info)
        : memory(size_t(info.width) * info.height * 4), width(info.width), height(info.height), scene(info.name) {}

    // How far a way's count of lit pixels may stray: 3 %, but for the dashed
    // chart, whose sharp joins Cairo and Qt bevel past the miter limit where
    // AGG and the library cut the tip at the limit (about 22 % fewer pixels).
    // The paragraph: 8 %, each way breaking, justifying and rasterising the
    // glyphs its own way (Pango and Qt light 4 to 6 % more pixels, most of
    // them faint fringes of FreeType's rasteriser).
    double Tolerance() const {
        return std::strcmp(scene, "Chart20kDashed") == 0 ? 0.3 : std::strcmp(scene, "Paragraph200Lines") == 0 ? 0.08 : 0.03;
    }

    // Checks the way's picture against the library's (each scene's library
    // way runs first): the pixels that differ from the first one, the
    // background, are counted; a way that lights more than 3 % more or fewer
    // than the library is drawing another picture, reported as an error of
    // that benchmark. Then, with VUDADIVE2R_BENCH_DUMP set, writes the picture.
    void Dump(benchmark::State& state, const char* way, bool blueFirst) const {
        static std::map<std::string, double> libraryLit;
        double lit = 0;
        for (size_t i = 4; i < memory.size(); i += 4)
            lit += std::memcmp(&memory[i], &memory[0], 4) != 0;
        state.counters["lit"] = lit;
        const std::string key = std::string(scene) + "/" + std::to_string(state.range(0));
        if (std::strcmp(way, "Library") == 0) {
            libraryLit[key] = lit;
        } else if (libraryLit.count(key) && std::fabs(lit - libraryLit[key]) > Tolerance() * libraryLit[key] + 16) {
            state.SkipWithError(("lights " + std::to_string(long(lit)) + " pixels, the library " +
                                 std::to_string(long(libraryLit[key])))
                                    .c_str());
        }
        const char* folder = std::getenv("VUDADIVE2R_BENCH_DUMP");
        if (!folder)
            return;
        const std::string file = std::string(folder) + "/" + scene + "-" + way + "-" +
                                 std::to_string(state.range(0)) + ".ppm";
        FILE* out = std::fopen(file.c_str(), "wb");
        if (!out)
            return;
        std::fprintf(out, "P6\n%d %d\n255\n", width, height);
        for (size_t i = 0; i < memory.size(); i += 4) {
            const uint8_t rgb[3] = {memory[i + (blueFirst ? 2 : 0)], memory[i + 1], memory[i + (blueFirst ? 0 : 2)]};
            std::fwrite(rgb, 1, 3, out);
        }
        std::fclose(out);
    }
};

// ---------------------------------------------------------------- library

void Library(benchmark::State& state, const SceneInfo& info) {
    Pixels target(info);
    orv_surface* surface =
        orv_surface_create_for_data(target.width, target.height, 0x34324241, target.width * 4, target.memory.data());
    {
        auto context = std::make_shared<Context2D>(surface);
        context->renderState->origin = Origin::TopLeft;
        context->SetThreads(benchThreads);
        const Color color{float(kColor.r), float(kColor.g), float(kColor.b), float(AlphaOf(state))};
        std::shared_ptr<Paint> paint = std::make_shared<ColorPaint>(context, color);
        std::vector<uint8_t> picture = Picture();
        if (IsGradient(info.scene)) {
            auto gradient = std::make_shared<LinearGradientPaint>(context, 0.f, 0.f, float(info.width),
                                                                  float(info.height));
            for (const Stop& s : kStops)
                gradient->ColorStops.push_back({float(s.offset), {float(s.r), float(s.g), float(s.b), 1}});
            paint = gradient;
        } else if (info.scene == Scene::Radial) {
            auto gradient = std::make_shared<RadialGradientPaint>(context, float(kRadialCentreX), float(kRadialCentreY),
                                                                  float(kRadius), float(kFocusX), float(kFocusY));
            for (const Stop& s : kStops)
                gradient->ColorStops.push_back({float(s.offset), {float(s.r), float(s.g), float(s.b), 1}});
            paint = gradient;
        } else if (info.scene == Scene::Image) {
            auto image = std::make_shared<Image>(context, 0x34324152, kPicture, kPicture, kPicture * 4,
                                                 picture.data());
            auto imagePaint = std::make_shared<ImagePaint>(context, image);
            imagePaint->ImageTilingMode = TilingMode::Repeat;
            context->transforms->image->Set(Matrix3::CreateScale(float(kPictureScale), float(kPictureScale)));
            paint = imagePaint;
        } else if (info.scene == Scene::Photo) {
            auto image = std::make_shared<Image>(context, 0x34324152, kPicture, kPicture, kPicture * 4,
                                                 picture.data());
            auto imagePaint = std::make_shared<ImagePaint>(context, image);  // clipped, transparent outside
            const Placement p = PhotoPlacement();
            context->transforms->image->Set(Matrix3{{p.a, p.b, 0, p.c, p.d, 0, p.e, p.f, 1}});
            paint = imagePaint;
        }
        auto fill = std::make_shared<FillState>();
        fill->Paint(paint);
        fill->FillRule(info.scene == Scene::Polygon ? FillRule::EvenOdd : FillRule::NonZero);
        auto stroke = std::make_shared<StrokeState>();
        if (IsOutlined(info.scene))
            stroke->Paint(std::make_shared<ColorPaint>(
                context, Color{float(kOutline.r), float(kOutline.g), float(kOutline.b), 1.f}));
        else
            stroke->Paint(paint);
        const StrokeStyle style = StyleOf(info.scene);
        stroke->LineWidth(float(style.width));
        stroke->CapStyle(CapStyle::Butt);
        stroke->JoinStyle(style.roundJoins ? JoinStyle::Round : JoinStyle::Miter);
        stroke->MiterLimit(float(kMiterLimit));
        for (size_t i = 0; i + 1 < style.dashes.size(); i += 2)
            stroke->dashPattern.push_back({float(style.dashes[i]), float(style.dashes[i + 1])});
        const bool stroked = IsStroke(info.scene), filled = !stroked;
        const bool outlined = stroked || IsOutlined(info.scene);

        if (info.scene == Scene::Text) {
            Font font(context, kFontFile, kTextSize);
            Measure(state, [&] {
                for (int line = 0; line < kTextLines; ++line)
                    font.DrawString(4, 12 + (line * 13) % 750, kTextLine, color);
            });
        } else if (info.scene == Scene::TextUtf8) {
            Font font(context, kFontFile, kTextSize);
            Measure(state, [&] {
                for (int line = 0; line < kTextLines; ++line)
                    font.DrawStringUtf8(4, 12 + (line * 13) % 750, kTextLineUtf8, color);
            });
        } else if (info.scene == Scene::Paragraph) {
            auto font = std::make_shared<Font>(context, kFontFile, kTextSize);
            const std::string text = ParagraphText();
            Measure(state, [&] {
                TextLayout layout(font, text.c_str(), float(kParagraphWidth), TextAlignment::Justify);
                layout.Draw(float(kParagraphX), float(kParagraphY), fill);
            });
            state.counters["lines"] = TextLayout(font, text.c_str(), float(kParagraphWidth), TextAlignment::Justify)
                                          .LineCount();
        } else if (info.scene == Scene::ShapedRun) {
            auto font = std::make_shared<Font>(context, kFontFile, kTextSize);
            TextRun run(font, kTextLine);
            Measure(state, [&] {
                for (int line = 0; line < kTextLines; ++line)
                    run.Draw(4, float(12 + (line * 13) % 750), fill);
            });
        } else {
            std::vector<std::unique_ptr<Path>> paths;
            for (size_t i = 0; i < DrawCount(info.scene); ++i) {
                PathBuilder builder;
                Record(info, builder, i);
                paths.push_back(builder.ToPath(context));
            }
            if (info.scene == Scene::ClippedGradient) {
                // The clip stays in the context's state: set once, before timing.
                PathBuilder clip;
                clip.RoundRectangle(float(kClipInset), float(kClipInset), float(info.width - 2 * kClipInset),
                                    float(info.height - 2 * kClipInset), float(2 * kClipRadius),
                                    float(2 * kClipRadius));
                clip.ToPath(context)->Clip(FillRule::NonZero, ClipOperation::Intersect);
            }
            const bool layered = info.scene == Scene::Layer;
            Measure(state, [&] {
                if (layered)
                    context->PushLayer(float(kLayerOpacity), BlendMode::SourceOver);
                for (auto& path : paths)
                    path->Draw(filled ? fill : nullptr, outlined ? stroke : nullptr);
                if (layered)
                    context->PopLayer();
            });
        }
        target.Dump(state, "Library", false);
        benchmark::DoNotOptimize(target.memory.data());
    }
    orv_surface_destroy(surface);
}

// The library's shaping of the line: the glyph ids and positions the other
// ways draw in the pre-shaped run scene.
std::vector<Glyph> ShapedLine() {
    std::vector<uint8_t> memory(8 * 8 * 4);
    orv_surface* scratch = orv_surface_create_for_data(8, 8, 0x34324241, 8 * 4, memory.data());
    std::vector<Glyph> glyphs;
    {
        auto context = std::make_shared<Context2D>(scratch);
        glyphs = TextRun(std::make_shared<Font>(context, kFontFile, kTextSize), kTextLine).Glyphs();
    }
    orv_surface_destroy(scratch);
    return glyphs;
}

// ---------------------------------------------------------------- AGG

// FreeType-rendered glyphs blended by AGG's pixel format, with the same
// face, size and whole-pixel pen as the library's text.
struct FreeTypeText {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    FreeTypeText() {
        FT_Init_FreeType(&library);
        FT_New_Face(library, kFontFile, 0, &face);
        FT_Set_Char_Size(face, kTextSize * 64, 0, 72, 0);
    }
    ~FreeTypeText() {
        FT_Done_Face(face);
        FT_Done_FreeType(library);
    }
    // Well-formed UTF-8 only (ASCII included).
    static uint32_t NextCodePoint(const unsigned char*& c) {
        const unsigned length = *c < 0x80 ? 1 : *c < 0xE0 ? 2 : *c < 0xF0 ? 3 : 4;
        uint32_t code = length == 1 ? *c : *c & (0x7F >> length);
        for (unsigned k = 1; k < length; ++k)
            code = code << 6 | (c[k] & 0x3F);
        c += length;
        return code;
    }
    template <class Pixfmt>
    void Draw(Pixfmt& pixels, int x, int y, const char* text, const agg::rgba8& color) {
        for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c;) {
            if (FT_Load_Char(face, NextCodePoint(c), FT_LOAD_RENDER))
                continue;
            const FT_GlyphSlot slot = face->glyph;
            const FT_Bitmap& bitmap = slot->bitmap;
            const int left = x + slot->bitmap_left;
            for (unsigned row = 0; row < bitmap.rows; ++row) {
                const int py = y - slot->bitmap_top + int(row);
                if (py < 0 || py >= int(pixels.height()))
                    continue;
                const uint8_t* covers = bitmap.buffer + row * bitmap.pitch;
                int begin = std::max(0, -left), end = std::min(int(bitmap.width), int(pixels.width()) - left);
                if (begin < end)
                    pixels.blend_solid_hspan(left + begin, py, unsigned(end - begin), color, covers + begin);
            }
            x += int(slot->advance.x >> 6);
        }
    }
};

template <class Source>
void AddStroke(Rasterizer& rasterizer, Source& source, const StrokeStyle& style) {
    agg::conv_stroke<Source> stroke(source);
    stroke.width(style.width);
    stroke.line_cap(agg::butt_cap);
    stroke.line_join(style.roundJoins ? agg::round_join : agg::miter_join);
    stroke.miter_limit(kMiterLimit);
    rasterizer.add_path(stroke);
}

void DirectAgg(benchmark::State& state, const SceneInfo& info) {
    Pixels target(info);
    const double alpha = AlphaOf(state);
    const agg::rgba8 color(agg::rgba(kColor.r, kColor.g, kColor.b, alpha));
    const agg::rgba8 outline(agg::rgba(kOutline.r, kOutline.g, kOutline.b));
    const StrokeStyle style = StyleOf(info.scene);
    RenderingBuffer buffer(target.memory.data(), unsigned(target.width), unsigned(target.height), target.width * 4);
    PixelFormat pixels(buffer, agg::comp_op_src_over);
    Renderer renderer(pixels);
    agg::trans_affine identity;

    if (IsText(info.scene)) {
        FreeTypeText text;
        Measure(state, [&] {
            for (int line = 0; line < kTextLines; ++line)
                text.Draw(pixels, 4, 12 + (line * 13) % 750, TextLineOf(info.scene), color);
        });
        target.Dump(state, "AGG", false);
        return;
    }

    std::vector<std::unique_ptr<agg::path_storage>> storages;
    {
        // Decode the recorded stream through a library path once, then keep
        // the vertices in AGG's own storage.
        orv_surface* surface = orv_surface_create_for_data(target.width, target.height, 0x34324241,
                                                           target.width * 4, target.memory.data());
        auto context = std::make_shared<Context2D>(surface);
        for (size_t i = 0; i < DrawCount(info.scene); ++i) {
            PathBuilder builder;
            Record(info, builder, i);
            auto path = builder.ToPath(context);
            const PathStorage& decoded = Internals::StorageOf(*path);
            auto storage = std::make_unique<agg::path_storage>();
            double x, y;
            for (unsigned v = 0; v < decoded.total_vertices(); ++v) {
                const unsigned command = decoded.vertex(v, &x, &y);
                storage->vertices().add_vertex(x, y, command);
            }
            storages.push_back(std::move(storage));
        }
        context.reset();
        orv_surface_destroy(surface);
    }

    agg::span_allocator<agg::rgba8> allocator;
    agg::gradient_lut<agg::color_interpolator<agg::rgba8>, 256> ramp;
    for (const Stop& s : kStops)
        ramp.add_color(s.offset, agg::rgba8(agg::rgba(s.r, s.g, s.b)));
    ramp.build_lut();
    const agg::trans_affine gradientPlacement =
        agg::trans_affine_rotation(std::atan2(double(info.height), double(info.width)));
    agg::trans_affine gradientMatrix = gradientPlacement;
    gradientMatrix.invert();
    agg::span_interpolator_linear<> gradientInterpolator(gradientMatrix);
    agg::gradient_x along;
    const double length = std::hypot(double(info.width), double(info.height));
    agg::span_gradient<agg::rgba8, agg::span_interpolator_linear<>, agg::gradient_x, decltype(ramp)> gradient(
        gradientInterpolator, along, ramp, 0, length);
    agg::trans_affine radialMatrix = agg::trans_affine_translation(-kRadialCentreX, -kRadialCentreY);
    agg::span_interpolator_linear<> radialInterpolator(radialMatrix);
    agg::gradient_radial_focus focus(kRadius, kFocusX - kRadialCentreX, kFocusY - kRadialCentreY);
    agg::span_gradient<agg::rgba8, agg::span_interpolator_linear<>, agg::gradient_radial_focus, decltype(ramp)> radial(
        radialInterpolator, focus, ramp, 0, kRadius);

    std::vector<uint8_t> picture = Picture();
    agg::rendering_buffer pictureBuffer(picture.data(), kPicture, kPicture, kPicture * 4);
    agg::pixfmt_rgba32 picturePixels(pictureBuffer);
    typedef agg::image_accessor_wrap<agg::pixfmt_rgba32, agg::wrap_mode_repeat, agg::wrap_mode_repeat> Accessor;
    Accessor accessor(picturePixels);
    agg::trans_affine imageMatrix = agg::trans_affine_scaling(kPictureScale);
    imageMatrix.invert();
    agg::span_interpolator_linear<> imageInterpolator(imageMatrix);
    agg::span_image_filter_rgba_bilinear<Accessor, agg::span_interpolator_linear<>> image(accessor,
                                                                                          imageInterpolator);
    const Placement placement = PhotoPlacement();
    agg::trans_affine photoMatrix(placement.a, placement.b, placement.c, placement.d, placement.e, placement.f);
    photoMatrix.invert();
    agg::span_interpolator_linear<> photoInterpolator(photoMatrix);
    typedef agg::image_accessor_clip<agg::pixfmt_rgba32> ClipAccessor;
    ClipAccessor clipAccessor(picturePixels, agg::rgba8(0, 0, 0, 0));
    agg::span_image_filter_rgba_bilinear<ClipAccessor, agg::span_interpolator_linear<>> photo(clipAccessor,
                                                                                              photoInterpolator);

    Measure(state, [&] {
        // Kept between the shapes of a pass, but made anew for every pass:
        // a rasterizer that once hit AGG's cell limit stores no cell again.
        Rasterizer rasterizer;
        Scanline scanline;
        for (auto& storage : storages) {
            agg::conv_curve<agg::path_storage> curves(*storage);
            agg::conv_transform<agg::conv_curve<agg::path_storage>> transformed(curves, identity);
            if (!IsStroke(info.scene)) {
                rasterizer.reset();
                rasterizer.filling_rule(info.scene == Scene::Polygon ? agg::fill_even_odd : agg::fill_non_zero);
                rasterizer.add_path(transformed);
                if (info.scene == Scene::Gradient)
                    agg::render_scanlines_aa(rasterizer, scanline, renderer, allocator, gradient);
                else if (info.scene == Scene::Radial)
                    agg::render_scanlines_aa(rasterizer, scanline, renderer, allocator, radial);
                else if (info.scene == Scene::Image)
                    agg::render_scanlines_aa(rasterizer, scanline, renderer, allocator, image);
                else if (info.scene == Scene::Photo)
                    agg::render_scanlines_aa(rasterizer, scanline, renderer, allocator, photo);
                else
                    agg::render_scanlines_aa_solid(rasterizer, scanline, renderer, color);
            }
            if (IsStroke(info.scene) || IsOutlined(info.scene)) {
                rasterizer.reset();
                rasterizer.filling_rule(agg::fill_non_zero);
                if (style.dashes.empty()) {
                    AddStroke(rasterizer, transformed, style);
                } else {
                    agg::conv_dash<decltype(transformed)> dashes(transformed);
                    for (size_t i = 0; i + 1 < style.dashes.size(); i += 2)
                        dashes.add_dash(style.dashes[i], style.dashes[i + 1]);
                    AddStroke(rasterizer, dashes, style);
                }
                agg::render_scanlines_aa_solid(rasterizer, scanline, renderer,
                                               IsOutlined(info.scene) ? outline : color);
            }
        }
    });
    target.Dump(state, "AGG", false);
    benchmark::DoNotOptimize(target.memory.data());
}

// ---------------------------------------------------------------- Cairo

#ifdef VUDADIVE2R_BENCH_CAIRO
struct CairoSink {
    cairo_t* cr;
    void Move(float x, float y) { cairo_move_to(cr, x, y); }
    void Line(float x, float y) { cairo_line_to(cr, x, y); }
    void Cubic(float x1, float y1, float x2, float y2, float x, float y) { cairo_curve_to(cr, x1, y1, x2, y2, x, y); }
    void Close() { cairo_close_path(cr); }
};

void TraceCairo(cairo_t* cr, const SceneInfo& info, size_t index) {
    const Geometry& g = Shapes();
    switch (info.scene) {
    case Scene::Squares:
        cairo_rectangle(cr, g.squares[index].first, g.squares[index].second, 8, 8);
        break;
    case Scene::Triangles:
        cairo_move_to(cr, g.triangles[3 * index].first, g.triangles[3 * index].second);
        cairo_line_to(cr, g.triangles[3 * index + 1].first, g.triangles[3 * index + 1].second);
        cairo_line_to(cr, g.triangles[3 * index + 2].first, g.triangles[3 * index + 2].second);
        cairo_close_path(cr);
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
    default:
        if (IsTraced(info.scene)) {
            CairoSink sink{cr};
            TraceLarge(info.scene, sink);
        } else {
            cairo_rectangle(cr, 0, 0, info.width, info.height);
        }
        break;
    }
}

void Cairo(benchmark::State& state, const SceneInfo& info) {
    Pixels target(info);
    cairo_surface_t* surface = cairo_image_surface_create_for_data(target.memory.data(), CAIRO_FORMAT_ARGB32,
                                                                   target.width, target.height, target.width * 4);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgba(cr, kColor.r, kColor.g, kColor.b, AlphaOf(state));
    cairo_pattern_t* pattern = nullptr;
    std::vector<uint8_t> picture = Picture();
    cairo_surface_t* pictureSurface = nullptr;
    if (IsGradient(info.scene)) {
        pattern = cairo_pattern_create_linear(0, 0, info.width, info.height);
        for (const Stop& s : kStops)
            cairo_pattern_add_color_stop_rgb(pattern, s.offset, s.r, s.g, s.b);
    } else if (info.scene == Scene::Radial) {
        // From a circle of radius 0 at the focus to the outer circle.
        pattern = cairo_pattern_create_radial(kFocusX, kFocusY, 0, kRadialCentreX, kRadialCentreY, kRadius);
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
        for (const Stop& s : kStops)
            cairo_pattern_add_color_stop_rgb(pattern, s.offset, s.r, s.g, s.b);
    } else if (info.scene == Scene::Image) {
        pictureSurface = cairo_image_surface_create_for_data(picture.data(), CAIRO_FORMAT_ARGB32, kPicture, kPicture,
                                                             kPicture * 4);
        pattern = cairo_pattern_create_for_surface(pictureSurface);
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
        cairo_pattern_set_filter(pattern, CAIRO_FILTER_BILINEAR);
        cairo_matrix_t matrix;
        cairo_matrix_init_scale(&matrix, 1 / kPictureScale, 1 / kPictureScale);
        cairo_pattern_set_matrix(pattern, &matrix);
    } else if (info.scene == Scene::Photo) {
        pictureSurface = cairo_image_surface_create_for_data(picture.data(), CAIRO_FORMAT_ARGB32, kPicture, kPicture,
                                                             kPicture * 4);
        pattern = cairo_pattern_create_for_surface(pictureSurface);  // transparent outside
        cairo_pattern_set_filter(pattern, CAIRO_FILTER_BILINEAR);
        const Placement p = PhotoPlacement();
        cairo_matrix_t matrix;
        cairo_matrix_init(&matrix, p.a, p.b, p.c, p.d, p.e, p.f);
        cairo_matrix_invert(&matrix);
        cairo_pattern_set_matrix(pattern, &matrix);
    }
    if (pattern)
        cairo_set_source(cr, pattern);
    cairo_set_fill_rule(cr, info.scene == Scene::Polygon ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    const StrokeStyle style = StyleOf(info.scene);
    cairo_set_line_width(cr, style.width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, style.roundJoins ? CAIRO_LINE_JOIN_ROUND : CAIRO_LINE_JOIN_MITER);
    cairo_set_miter_limit(cr, kMiterLimit);
    if (!style.dashes.empty())
        cairo_set_dash(cr, style.dashes.data(), int(style.dashes.size()), 0);
    cairo_pattern_t* fillSource = cairo_get_source(cr);
    cairo_pattern_reference(fillSource);
    cairo_pattern_t* outline = cairo_pattern_create_rgb(kOutline.r, kOutline.g, kOutline.b);

    cairo_font_face_t* fontFace = nullptr;
    if (IsText(info.scene) || info.scene == Scene::ShapedRun) {
        // The same file through FreeType, hinted as the library's glyphs are
        // (the shaped run unhinted, below).
        // Cairo keeps font faces in caches beyond their last reference, keyed
        // by the FreeType face: the face must live exactly as long as Cairo's
        // font face, so Cairo closes it (its documented way), and the
        // FreeType library it came from lives to the end of the process. A
        // face closed earlier left a stale cache entry that a later run's face,
        // at the same address, met with the wrong size.
        static FT_Library library = [] {
            FT_Library created = nullptr;
            FT_Init_FreeType(&created);
            return created;
        }();
        static const cairo_user_data_key_t faceKey{};
        FT_Face face = nullptr;
        FT_New_Face(library, kFontFile, 0, &face);
        fontFace = cairo_ft_font_face_create_for_ft_face(face, 0);
        cairo_font_face_set_user_data(fontFace, &faceKey, face,
                                      [](void* owned) { FT_Done_Face(static_cast<FT_Face>(owned)); });
        cairo_set_font_face(cr, fontFace);
        cairo_set_font_size(cr, kTextSize);
    }

    if (info.scene == Scene::ClippedGradient) {
        // The clip stays in Cairo's state as well: set once, before timing.
        const double x0 = kClipInset, y0 = kClipInset, x1 = info.width - kClipInset, y1 = info.height - kClipInset;
        const double r = kClipRadius;
        cairo_new_sub_path(cr);
        cairo_arc(cr, x1 - r, y0 + r, r, -kPi / 2, 0);
        cairo_arc(cr, x1 - r, y1 - r, r, 0, kPi / 2);
        cairo_arc(cr, x0 + r, y1 - r, r, kPi / 2, kPi);
        cairo_arc(cr, x0 + r, y0 + r, r, kPi, 3 * kPi / 2);
        cairo_close_path(cr);
        cairo_clip(cr);
    }

    // Shaped text unhinted, at fractional positions, as the library's.
    cairo_font_options_t* unhinted = cairo_font_options_create();
    cairo_font_options_set_hint_style(unhinted, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(unhinted, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(unhinted, CAIRO_ANTIALIAS_GRAY);
#ifdef VUDADIVE2R_BENCH_PANGO
    PangoContext* pango = nullptr;
    PangoFontDescription* description = nullptr;
#endif
    std::string paragraph;
    std::vector<cairo_glyph_t> runGlyphs;
#ifdef VUDADIVE2R_BENCH_PANGO
    if (info.scene == Scene::Paragraph) {
        pango = pango_cairo_create_context(cr);
        pango_cairo_context_set_font_options(pango, unhinted);
        pango_context_set_round_glyph_positions(pango, FALSE);
        description = pango_font_description_from_string(kFontFamily);
        pango_font_description_set_absolute_size(description, kTextSize * PANGO_SCALE);
        paragraph = ParagraphText();
    }
#endif
    if (info.scene == Scene::ShapedRun) {
        // The library's shaping of the line, its glyph ids and positions
        // taken before timing.
        for (const Glyph& glyph : ShapedLine())
            runGlyphs.push_back(cairo_glyph_t{glyph.Index, glyph.X, glyph.Y});
        cairo_set_font_options(cr, unhinted);
    }
    std::vector<cairo_glyph_t> placed(runGlyphs.size());

    Measure(state, [&] {
        if (info.scene == Scene::Paragraph) {
#ifdef VUDADIVE2R_BENCH_PANGO
            PangoLayout* layout = pango_layout_new(pango);
            pango_layout_set_font_description(layout, description);
            pango_layout_set_width(layout, int(kParagraphWidth * PANGO_SCALE));
            pango_layout_set_wrap(layout, PANGO_WRAP_WORD);
            pango_layout_set_justify(layout, TRUE);
            pango_layout_set_text(layout, paragraph.c_str(), int(paragraph.size()));
            cairo_move_to(cr, kParagraphX, kParagraphY);
            pango_cairo_show_layout(cr, layout);
            g_object_unref(layout);
#endif
        } else if (info.scene == Scene::ShapedRun) {
            for (int line = 0; line < kTextLines; ++line) {
                const double baseline = 12 + (line * 13) % 750;
                for (size_t i = 0; i < runGlyphs.size(); ++i)
                    placed[i] = cairo_glyph_t{runGlyphs[i].index, 4 + runGlyphs[i].x, baseline + runGlyphs[i].y};
                cairo_show_glyphs(cr, placed.data(), int(placed.size()));
            }
        } else if (IsText(info.scene)) {
            for (int line = 0; line < kTextLines; ++line) {
                cairo_move_to(cr, 4, 12 + (line * 13) % 750);
                cairo_show_text(cr, TextLineOf(info.scene));
            }
        } else if (info.scene == Scene::ClippedGradient) {
            cairo_paint(cr);
        } else if (info.scene == Scene::Layer) {
            cairo_push_group(cr);
            cairo_set_source_rgb(cr, kColor.r, kColor.g, kColor.b);
            TraceCairo(cr, info, 0);
            cairo_fill(cr);
            cairo_pop_group_to_source(cr);
            cairo_paint_with_alpha(cr, kLayerOpacity);
            cairo_set_source(cr, fillSource);  // lets the group's surface go now
        } else {
            for (size_t i = 0; i < DrawCount(info.scene); ++i) {
                TraceCairo(cr, info, i);
                if (IsStroke(info.scene)) {
                    cairo_stroke(cr);
                } else if (IsOutlined(info.scene)) {
                    cairo_fill_preserve(cr);
                    cairo_set_source(cr, outline);
                    cairo_stroke(cr);
                    cairo_set_source(cr, fillSource);
                } else {
                    cairo_fill(cr);
                }
            }
        }
        cairo_surface_flush(surface);
    });
    target.Dump(state, "Cairo", true);
    benchmark::DoNotOptimize(target.memory.data());
    cairo_destroy(cr);
    cairo_pattern_destroy(outline);
    cairo_pattern_destroy(fillSource);
    if (fontFace)
        cairo_font_face_destroy(fontFace);
#ifdef VUDADIVE2R_BENCH_PANGO
    if (pango)
        g_object_unref(pango);
    if (description)
        pango_font_description_free(description);
#endif
    cairo_font_options_destroy(unhinted);
    if (pattern)
        cairo_pattern_destroy(pattern);
    if (pictureSurface)
        cairo_surface_destroy(pictureSurface);
    cairo_surface_destroy(surface);
}
#endif

// ---------------------------------------------------------------- Qt

#ifdef VUDADIVE2R_BENCH_QT
struct QtSink {
    QPainterPath& path;
    void Move(float x, float y) { path.moveTo(x, y); }
    void Line(float x, float y) { path.lineTo(x, y); }
    void Cubic(float x1, float y1, float x2, float y2, float x, float y) { path.cubicTo(x1, y1, x2, y2, x, y); }
    void Close() { path.closeSubpath(); }
};

// The path of one draw; rectangles are drawn by fillRect instead.
QPainterPath QtPath(const SceneInfo& info, size_t index) {
    const Geometry& g = Shapes();
    QPainterPath path;
    // Qt's default is even-odd.
    path.setFillRule(info.scene == Scene::Polygon ? Qt::OddEvenFill : Qt::WindingFill);
    QtSink sink{path};
    switch (info.scene) {
    case Scene::Triangles:
        sink.Move(g.triangles[3 * index].first, g.triangles[3 * index].second);
        sink.Line(g.triangles[3 * index + 1].first, g.triangles[3 * index + 1].second);
        sink.Line(g.triangles[3 * index + 2].first, g.triangles[3 * index + 2].second);
        sink.Close();
        break;
    case Scene::Polygon:
        sink.Move(g.polygon[0].first, g.polygon[0].second);
        for (size_t i = 1; i < g.polygon.size(); ++i)
            sink.Line(g.polygon[i].first, g.polygon[i].second);
        sink.Close();
        break;
    case Scene::Polyline:
    case Scene::Dashed:
        sink.Move(g.polyline[0].first, g.polyline[0].second);
        for (size_t i = 1; i < g.polyline.size(); ++i)
            sink.Line(g.polyline[i].first, g.polyline[i].second);
        break;
    case Scene::Ellipses:
        for (const auto& centre : g.ellipses)
            path.addEllipse(QPointF(centre.first, centre.second), 12, 8);
        break;
    default:
        TraceLarge(info.scene, sink);
        break;
    }
    return path;
}

QColor QtColor(const Rgb& c, double alpha) { return QColor::fromRgbF(float(c.r), float(c.g), float(c.b), float(alpha)); }

// QPainter on a QImage over the same RGBA bytes as the library's surface.
void QtRaster(benchmark::State& state, const SceneInfo& info) {
    Pixels target(info);
    QImage surface(target.memory.data(), target.width, target.height, target.width * 4,
                   QImage::Format_RGBA8888_Premultiplied);
    // The picture in Qt's own pixel order, its fastest to sample: as with
    // Cairo, that changes the colours shown, not the work.
    std::vector<uint8_t> picture = Picture();
    const QImage pictureImage(picture.data(), kPicture, kPicture, kPicture * 4, QImage::Format_ARGB32_Premultiplied);

    QBrush brush(QtColor(kColor, AlphaOf(state)));
    if (IsGradient(info.scene)) {
        QLinearGradient gradient(0, 0, info.width, info.height);  // pad is Qt's default spread
        for (const Stop& s : kStops)
            gradient.setColorAt(s.offset, QtColor({s.r, s.g, s.b}, 1));
        brush = QBrush(gradient);
    } else if (info.scene == Scene::Radial) {
        QRadialGradient gradient(kRadialCentreX, kRadialCentreY, kRadius, kFocusX, kFocusY);
        for (const Stop& s : kStops)
            gradient.setColorAt(s.offset, QtColor({s.r, s.g, s.b}, 1));
        brush = QBrush(gradient);
    } else if (info.scene == Scene::Image) {
        brush = QBrush(pictureImage);
        brush.setTransform(QTransform::fromScale(kPictureScale, kPictureScale));
    } else if (info.scene == Scene::Photo) {
        // The brush repeats the picture, but the path is the picture's outline.
        const Placement p = PhotoPlacement();
        brush = QBrush(pictureImage);
        brush.setTransform(QTransform(p.a, p.b, p.c, p.d, p.e, p.f));
    }

    // Qt's dash pattern counts in pen widths; SvgMiterJoin bevels past the
    // limit as the other ways do (Qt's MiterJoin clips the tip instead).
    const StrokeStyle style = StyleOf(info.scene);
    QPen pen(IsOutlined(info.scene) ? QBrush(QtColor(kOutline, 1)) : brush, style.width, Qt::SolidLine, Qt::FlatCap,
             style.roundJoins ? Qt::RoundJoin : Qt::SvgMiterJoin);
    pen.setMiterLimit(kMiterLimit);
    if (!style.dashes.empty()) {
        QList<qreal> pattern;
        for (const double length : style.dashes)
            pattern.push_back(length / style.width);
        pen.setDashPattern(pattern);
    }

    const bool rectangles = info.scene == Scene::Squares || info.scene == Scene::Fill256 ||
                            info.scene == Scene::Fill1024 || info.scene == Scene::Fill4096 ||
                            IsGradient(info.scene) || info.scene == Scene::Radial ||
                            info.scene == Scene::Image;
    std::vector<QPainterPath> paths;
    if (!rectangles && !IsText(info.scene) && !IsShaped(info.scene))
        for (size_t i = 0; i < DrawCount(info.scene); ++i)
            paths.push_back(QtPath(info, i));

    // Hinted as the library's glyphs are; a glyph run maps the characters
    // and places the glyphs on whole pixels, as the library's pen does.
    QRawFont font;
    if (IsText(info.scene))
        font = QRawFont(QString::fromUtf8(kFontFile), kTextSize, QFont::PreferFullHinting);
    // Shaped text unhinted, as the library's: the paragraph by family name
    // (fontconfig's file), the run from the file with the library's glyph ids
    // and positions, taken before timing.
    QFont paragraphFont(QString::fromUtf8(kFontFamily));
    paragraphFont.setPixelSize(kTextSize);
    paragraphFont.setHintingPreference(QFont::PreferNoHinting);
    const QString paragraph = QString::fromStdString(ParagraphText());
    QTextOption paragraphOption;
    paragraphOption.setAlignment(Qt::AlignJustify);
    paragraphOption.setWrapMode(QTextOption::WordWrap);
    QList<quint32> runIndexes;
    QList<QPointF> runPositions;
    if (info.scene == Scene::ShapedRun) {
        font = QRawFont(QString::fromUtf8(kFontFile), kTextSize, QFont::PreferNoHinting);
        for (const Glyph& glyph : ShapedLine()) {
            runIndexes.push_back(glyph.Index);
            runPositions.push_back(QPointF(glyph.X, glyph.Y));
        }
    }

    QPainter painter(&surface);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setPen(IsStroke(info.scene) || IsOutlined(info.scene) ? pen : QPen(Qt::NoPen));
    painter.setBrush(IsStroke(info.scene) ? QBrush(Qt::NoBrush) : brush);
    if (IsText(info.scene) || IsShaped(info.scene))
        painter.setPen(QPen(QtColor(kColor, AlphaOf(state))));
    if (info.scene == Scene::ClippedGradient) {
        // Kept in the painter's state: set once, before timing.
        QPainterPath clip;
        clip.addRoundedRect(QRectF(kClipInset, kClipInset, info.width - 2 * kClipInset, info.height - 2 * kClipInset),
                            kClipRadius, kClipRadius);
        painter.setClipPath(clip);
    }
    const Geometry& g = Shapes();

    Measure(state, [&] {
        if (info.scene == Scene::Paragraph) {
            QTextLayout layout(paragraph, paragraphFont);
            layout.setTextOption(paragraphOption);
            layout.beginLayout();
            qreal top = 0;
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(kParagraphWidth);
                line.setPosition(QPointF(0, top));
                top += line.height();
            }
            layout.endLayout();
            layout.draw(&painter, QPointF(kParagraphX, kParagraphY));
        } else if (info.scene == Scene::ShapedRun) {
            for (int line = 0; line < kTextLines; ++line) {
                QGlyphRun run;
                run.setRawFont(font);
                run.setGlyphIndexes(runIndexes);
                run.setPositions(runPositions);
                painter.drawGlyphRun(QPointF(4, 12 + (line * 13) % 750), run);
            }
        } else if (IsText(info.scene)) {
            for (int line = 0; line < kTextLines; ++line) {
                const QList<quint32> glyphs = font.glyphIndexesForString(QString::fromUtf8(TextLineOf(info.scene)));
                const QList<QPointF> advances = font.advancesForGlyphIndexes(glyphs);
                QList<QPointF> positions;
                positions.reserve(glyphs.size());
                qreal x = 4;
                for (const QPointF& advance : advances) {
                    positions.push_back(QPointF(x, 12 + (line * 13) % 750));
                    x += std::round(advance.x());
                }
                QGlyphRun run;
                run.setRawFont(font);
                run.setGlyphIndexes(glyphs);
                run.setPositions(positions);
                painter.drawGlyphRun(QPointF(0, 0), run);
            }
        } else if (info.scene == Scene::Layer) {
            // Qt has no layers: a transparent image of the surface's size in
            // its own pixel order, painted and then drawn at the opacity.
            QImage layer(info.width, info.height, QImage::Format_ARGB32_Premultiplied);
            layer.fill(Qt::transparent);
            QPainter group(&layer);
            group.setRenderHint(QPainter::Antialiasing);
            group.setPen(Qt::NoPen);
            group.setBrush(QtColor(kColor, 1));
            group.drawPath(paths[0]);
            group.end();
            painter.setOpacity(kLayerOpacity);
            painter.drawImage(0, 0, layer);
            painter.setOpacity(1);
        } else if (info.scene == Scene::Squares) {
            for (const auto& corner : g.squares)
                painter.fillRect(QRectF(corner.first, corner.second, 8, 8), brush);
        } else if (rectangles) {
            painter.fillRect(QRectF(0, 0, info.width, info.height), brush);
        } else {
            for (const QPainterPath& path : paths)
                painter.drawPath(path);
        }
    });
    painter.end();
    target.Dump(state, "Qt", false);
    benchmark::DoNotOptimize(target.memory.data());
}
#endif

int Register() {
    typedef void (*Way)(benchmark::State&, const SceneInfo&);
    const std::pair<const char*, Way> ways[] = {
        {"Library", Library},
        {"AGG", DirectAgg},
#ifdef VUDADIVE2R_BENCH_CAIRO
        {"Cairo", Cairo},
#endif
#ifdef VUDADIVE2R_BENCH_QT
        {"Qt", QtRaster},
#endif
    };
    for (const SceneInfo& info : kScenes) {
        for (const auto& way : ways) {
            if (way.second == DirectAgg && !HasDirectAgg(info.scene))
                continue;
#if defined(VUDADIVE2R_BENCH_CAIRO) && !defined(VUDADIVE2R_BENCH_PANGO)
            if (way.second == Cairo && info.scene == Scene::Paragraph)
                continue;  // the paragraph's Cairo way is Pango's
#endif
            const Way run = way.second;
            const SceneInfo* scene = &info;
            auto* b = benchmark::RegisterBenchmark((std::string(info.name) + "/" + way.first).c_str(),
                                                   [run, scene](benchmark::State& st) { run(st, *scene); });
            // The CPU time of all the process's threads: Qt spreads large
            // fills over a pool of workers.
            b->Arg(0)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
            if (info.bothAlphas)
                b->Arg(1);
        }
    }
    for (const SceneInfo& info : kThreadScenes) {
        const SceneInfo* scene = &info;
        auto* b = benchmark::RegisterBenchmark((std::string(info.name) + "/LibraryThreads").c_str(),
                                               [scene](benchmark::State& st) {
                                                   benchThreads = int(st.range(1));
                                                   Library(st, *scene);
                                                   benchThreads = 1;
                                               });
        // Wall time: the CPU time of all threads would not show the gain.
        for (int threads : {1, 2, 4})
            b->Args({0, threads});
        b->Unit(benchmark::kMillisecond)->UseRealTime();
    }
    return 0;
}

const int registered = Register();

}  // namespace

int main(int argc, char** argv) {
#ifdef VUDADIVE2R_BENCH_QT
    // QRawFont reaches its font engine through the platform plugin, which
    // needs an application; the offscreen one needs no display. Raster
    // painting itself needs neither.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QGuiApplication application(qtArgc, qtArgv);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
