// Benchmark scenes, each done up to four ways on the same surface size and
// geometry: through the library, through the same AGG composition written
// directly (the floor for this design), through Cairo and through Blend2D
// where they are available. Besides time, every run reports the peak extra
// heap memory of one pass over the scene (see MemoryMeter below).
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
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
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
#endif
#ifdef VUDADIVE2R_BENCH_BLEND2D
#include <blend2d/blend2d.h>
#endif

using namespace ORV::Vudadive2R;

// ---------------------------------------------------------------- memory

// Every heap allocation of the process goes through these, so the library,
// AGG, Cairo and Blend2D are all counted the same way: bytes as
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

enum class Scene {
    Squares, Triangles, Polygon, Polyline, Dashed, Ellipses, Fill256, Fill1024, Fill4096, Gradient, Image, Text, TextUtf8,
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
    {Scene::Image, "ImagePaint1024", 1024, 1024, false},
    {Scene::Text, "Text200Lines", 1024, 768, false},
    {Scene::TextUtf8, "Text200LinesUtf8", 1024, 768, false},
};

bool IsText(Scene s) { return s == Scene::Text || s == Scene::TextUtf8; }
const char* TextLineOf(Scene s) { return s == Scene::TextUtf8 ? kTextLineUtf8 : kTextLine; }

bool IsStroke(Scene s) { return s == Scene::Polyline || s == Scene::Dashed; }

// The geometry of every scene, generated once with a fixed seed.
struct Geometry {
    std::vector<std::pair<float, float>> squares;    // 10 000 corners of 8 x 8 squares
    std::vector<std::pair<float, float>> triangles;  // 30 000 corners, each triangle within 10 x 10
    std::vector<std::pair<float, float>> polygon;    // 10 000 random vertices over the surface
    std::vector<std::pair<float, float>> polyline;   // 2 001 points
    std::vector<std::pair<float, float>> ellipses;   // 1 000 centres, 24 x 16

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
    }
};

const Geometry& Shapes() {
    static const Geometry geometry;
    return geometry;
}

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
    default:  // the full-surface fills
        builder.Rectangle(0, 0, float(info.width), float(info.height));
        break;
    }
}

struct Rgb {
    double r, g, b;
};
constexpr Rgb kColor{0.2, 0.4, 0.8};
// The two paints' sources: a three-stop diagonal ramp and a 256 x 256
// checker image scaled by 1.7 and repeated.
struct Stop {
    double offset, r, g, b;
};
const Stop kStops[] = {{0, 0.9, 0.1, 0.1}, {0.5, 0.1, 0.8, 0.2}, {1, 0.1, 0.2, 0.9}};
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

    void Dump(const benchmark::State& state, const char* way, bool blueFirst) const {
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
        const Color color{float(kColor.r), float(kColor.g), float(kColor.b), float(AlphaOf(state))};
        std::shared_ptr<Paint> paint = std::make_shared<ColorPaint>(context, color);
        std::vector<uint8_t> picture = Picture();
        if (info.scene == Scene::Gradient) {
            auto gradient = std::make_shared<LinearGradientPaint>(context, 0.f, 0.f, float(info.width),
                                                                  float(info.height));
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
        }
        auto fill = std::make_shared<FillState>();
        fill->Paint(paint);
        fill->FillRule(info.scene == Scene::Polygon ? FillRule::EvenOdd : FillRule::NonZero);
        auto stroke = std::make_shared<StrokeState>();
        stroke->Paint(paint);
        stroke->LineWidth(3);
        stroke->JoinStyle(JoinStyle::Round);
        if (info.scene == Scene::Dashed)
            stroke->dashPattern = {{12, 6}};
        const bool stroked = IsStroke(info.scene);

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
        } else {
            std::vector<std::unique_ptr<Path>> paths;
            for (size_t i = 0; i < DrawCount(info.scene); ++i) {
                PathBuilder builder;
                Record(info, builder, i);
                paths.push_back(builder.ToPath(context));
            }
            Measure(state, [&] {
                for (auto& path : paths)
                    path->Draw(stroked ? nullptr : fill, stroked ? stroke : nullptr);
            });
        }
        target.Dump(state, "Library", false);
        benchmark::DoNotOptimize(target.memory.data());
    }
    orv_surface_destroy(surface);
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

void DirectAgg(benchmark::State& state, const SceneInfo& info) {
    Pixels target(info);
    const double alpha = AlphaOf(state);
    const agg::rgba8 color(agg::rgba(kColor.r, kColor.g, kColor.b, alpha));
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

    Measure(state, [&] {
        // Kept between the shapes of a pass, but made anew for every pass:
        // a rasterizer that once hit AGG's cell limit stores no cell again.
        Rasterizer rasterizer;
        Scanline scanline;
        for (auto& storage : storages) {
            agg::conv_curve<agg::path_storage> curves(*storage);
            agg::conv_transform<agg::conv_curve<agg::path_storage>> transformed(curves, identity);
            rasterizer.reset();
            if (!IsStroke(info.scene)) {
                rasterizer.filling_rule(info.scene == Scene::Polygon ? agg::fill_even_odd : agg::fill_non_zero);
                rasterizer.add_path(transformed);
            } else if (info.scene == Scene::Polyline) {
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
            if (info.scene == Scene::Gradient)
                agg::render_scanlines_aa(rasterizer, scanline, renderer, allocator, gradient);
            else if (info.scene == Scene::Image)
                agg::render_scanlines_aa(rasterizer, scanline, renderer, allocator, image);
            else
                agg::render_scanlines_aa_solid(rasterizer, scanline, renderer, color);
        }
    });
    target.Dump(state, "AGG", false);
    benchmark::DoNotOptimize(target.memory.data());
}

// ---------------------------------------------------------------- Cairo

#ifdef VUDADIVE2R_BENCH_CAIRO
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
        cairo_rectangle(cr, 0, 0, info.width, info.height);
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
    if (info.scene == Scene::Gradient) {
        pattern = cairo_pattern_create_linear(0, 0, info.width, info.height);
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
    }
    if (pattern)
        cairo_set_source(cr, pattern);
    cairo_set_fill_rule(cr, info.scene == Scene::Polygon ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo_set_line_width(cr, 3);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    if (info.scene == Scene::Dashed) {
        const double dashes[] = {12, 6};
        cairo_set_dash(cr, dashes, 2, 0);
    }

    FT_Library library = nullptr;
    FT_Face face = nullptr;
    cairo_font_face_t* fontFace = nullptr;
    if (IsText(info.scene)) {
        // The same file through FreeType, hinted as the library's glyphs are.
        FT_Init_FreeType(&library);
        FT_New_Face(library, kFontFile, 0, &face);
        fontFace = cairo_ft_font_face_create_for_ft_face(face, 0);
        cairo_set_font_face(cr, fontFace);
        cairo_set_font_size(cr, kTextSize);
    }

    Measure(state, [&] {
        if (IsText(info.scene)) {
            for (int line = 0; line < kTextLines; ++line) {
                cairo_move_to(cr, 4, 12 + (line * 13) % 750);
                cairo_show_text(cr, TextLineOf(info.scene));
            }
        } else {
            for (size_t i = 0; i < DrawCount(info.scene); ++i) {
                TraceCairo(cr, info, i);
                if (IsStroke(info.scene))
                    cairo_stroke(cr);
                else
                    cairo_fill(cr);
            }
        }
        cairo_surface_flush(surface);
    });
    target.Dump(state, "Cairo", true);
    benchmark::DoNotOptimize(target.memory.data());
    cairo_destroy(cr);
    if (fontFace)
        cairo_font_face_destroy(fontFace);
    if (pattern)
        cairo_pattern_destroy(pattern);
    if (pictureSurface)
        cairo_surface_destroy(pictureSurface);
    cairo_surface_destroy(surface);
    if (face) {
        FT_Done_Face(face);
        FT_Done_FreeType(library);
    }
}
#endif

// ---------------------------------------------------------------- Blend2D

#ifdef VUDADIVE2R_BENCH_BLEND2D
// This Blend2D release stores a dash array but does not dash, so the dashed
// scene cuts the polyline into {12, 6} dashes itself, inside the timed pass.
void AddDashes(BLPath& path, const std::vector<std::pair<float, float>>& points, double on, double off) {
    bool drawing = true;
    double left = on;  // of the current dash or gap
    path.move_to(points[0].first, points[0].second);
    for (size_t i = 1; i < points.size(); ++i) {
        double x0 = points[i - 1].first, y0 = points[i - 1].second;
        const double x1 = points[i].first, y1 = points[i].second;
        double length = std::hypot(x1 - x0, y1 - y0);
        while (length > left) {
            const double t = left / length;
            x0 += (x1 - x0) * t;
            y0 += (y1 - y0) * t;
            length -= left;
            if (drawing)
                path.line_to(x0, y0);
            else
                path.move_to(x0, y0);
            drawing = !drawing;
            left = drawing ? on : off;
        }
        left -= length;
        if (drawing)
            path.line_to(x1, y1);
    }
}

void Blend2D(benchmark::State& state, const SceneInfo& info) {
    Pixels target(info);
    BLImage image;
    image.create_from_data(target.width, target.height, BL_FORMAT_PRGB32, target.memory.data(), target.width * 4);
    const Geometry& g = Shapes();
    std::vector<uint8_t> picture = Picture();
    BLImage pictureImage;
    pictureImage.create_from_data(kPicture, kPicture, BL_FORMAT_PRGB32, picture.data(), kPicture * 4);
    BLFontFace face;
    BLFont font;
    if (IsText(info.scene)) {
        face.create_from_file(kFontFile);
        font.create_from_face(face, float(kTextSize));
    }
    BLPath path;
    if (info.scene == Scene::Polygon) {
        path.move_to(g.polygon[0].first, g.polygon[0].second);
        for (size_t i = 1; i < g.polygon.size(); ++i)
            path.line_to(g.polygon[i].first, g.polygon[i].second);
        path.close();
    } else if (IsStroke(info.scene)) {
        path.move_to(g.polyline[0].first, g.polyline[0].second);
        for (size_t i = 1; i < g.polyline.size(); ++i)
            path.line_to(g.polyline[i].first, g.polyline[i].second);
    } else if (info.scene == Scene::Ellipses) {
        for (const auto& centre : g.ellipses)
            path.add_ellipse(BLEllipse(centre.first, centre.second, 12, 8));
    }

    BLContext context(image);
    const BLRgba32 color(uint32_t(kColor.r * 255 + 0.5), uint32_t(kColor.g * 255 + 0.5),
                         uint32_t(kColor.b * 255 + 0.5), uint32_t(AlphaOf(state) * 255 + 0.5));
    context.set_fill_style(color);
    context.set_stroke_style(color);
    if (info.scene == Scene::Gradient) {
        BLGradient gradient(BLLinearGradientValues(0, 0, info.width, info.height));
        for (const Stop& s : kStops)
            gradient.add_stop(s.offset, BLRgba32(uint32_t(s.r * 255 + 0.5), uint32_t(s.g * 255 + 0.5),
                                                 uint32_t(s.b * 255 + 0.5), 255));
        context.set_fill_style(gradient);
    } else if (info.scene == Scene::Image) {
        BLPattern pattern(pictureImage, BL_EXTEND_MODE_REPEAT);
        pattern.scale(kPictureScale);
        context.set_fill_style(pattern);
    }
    context.set_fill_rule(info.scene == Scene::Polygon ? BL_FILL_RULE_EVEN_ODD : BL_FILL_RULE_NON_ZERO);
    context.set_stroke_width(3);
    context.set_stroke_join(BL_STROKE_JOIN_ROUND);

    Measure(state, [&] {
        switch (info.scene) {
        case Scene::Squares:
            for (const auto& corner : g.squares)
                context.fill_rect(BLRect(corner.first, corner.second, 8, 8));
            break;
        case Scene::Triangles:
            for (size_t i = 0; i < g.triangles.size(); i += 3)
                context.fill_triangle(g.triangles[i].first, g.triangles[i].second, g.triangles[i + 1].first,
                                      g.triangles[i + 1].second, g.triangles[i + 2].first,
                                      g.triangles[i + 2].second);
            break;
        case Scene::Polygon:
        case Scene::Ellipses:
            context.fill_path(path);
            break;
        case Scene::Polyline:
            context.stroke_path(path);
            break;
        case Scene::Dashed:
            path.clear();
            AddDashes(path, g.polyline, 12, 6);
            context.stroke_path(path);
            break;
        case Scene::Text:
        case Scene::TextUtf8:
            for (int line = 0; line < kTextLines; ++line)
                context.fill_utf8_text(BLPoint(4, 12 + (line * 13) % 750), font, TextLineOf(info.scene));
            break;
        default:
            context.fill_rect(BLRect(0, 0, info.width, info.height));
            break;
        }
        context.flush(BL_CONTEXT_FLUSH_SYNC);
    });
    context.end();
    target.Dump(state, "Blend2D", true);
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
#ifdef VUDADIVE2R_BENCH_BLEND2D
        {"Blend2D", Blend2D},
#endif
    };
    for (const SceneInfo& info : kScenes) {
        for (const auto& way : ways) {
            const Way run = way.second;
            const SceneInfo* scene = &info;
            auto* b = benchmark::RegisterBenchmark((std::string(info.name) + "/" + way.first).c_str(),
                                                   [run, scene](benchmark::State& st) { run(st, *scene); });
            b->Arg(0)->Unit(benchmark::kMillisecond);
            if (info.bothAlphas)
                b->Arg(1);
        }
    }
    return 0;
}

const int registered = Register();

}  // namespace

BENCHMARK_MAIN();
