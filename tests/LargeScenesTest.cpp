// Drawings at the sizes programs draw (charts of thousands of points, maps
// of thousands of polygons, scatter plots, shapes crossing every border of
// large canvases) against the plain AGG composition with its cell store
// unlimited, byte for byte, in a colour and in gradients.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include <agg_image_filters.h>
#include <agg_span_allocator.h>

#include "DrawSupport.hpp"
#include "ImageSupport.hpp"
#include "PlainTarget.hpp"
#include "common/Internals.hpp"

using namespace DrawSupport;

namespace {

struct Scene {
    Scene(const char* name, int width, int height, Geometry geometry, Matrix3 path = Matrix3::Identity,
          bool filled = true, FillRule rule = FillRule::NonZero, float strokeWidth = 0,
          JoinStyle join = JoinStyle::Miter, std::vector<float> gradient = {})
        : name(name), width(width), height(height), geometry(std::move(geometry)), path(path), filled(filled),
          rule(rule), strokeWidth(strokeWidth), join(join), gradient(std::move(gradient)) {}
    const char* name;
    int width, height;
    Geometry geometry;
    Matrix3 path;
    bool filled;
    FillRule rule;
    float strokeWidth;  // 0: no stroke
    JoinStyle join;
    std::vector<float> gradient;  // empty: a colour; else linear (4) or radial (5) numbers
    bool image = false;           // a repeated image instead
};

// The image of the image scenes, placed rotated and scaled.
ImageSupport::Picture& Picture() {
    static ImageSupport::Picture picture = ImageSupport::Picture::Of(
        37, 23, [](int i, int j) { return ImageSupport::Rgba{i * 7 % 256, j * 11 % 256, (i + j) * 5 % 256, 255}; });
    return picture;
}
Matrix3 ImagePlacement() {
    Matrix3 placement;
    Matrix3::Multiply(Matrix3::CreateRotation(0.3f), Matrix3::CreateScale(2.3f, 1.7f), placement);
    return placement;
}

const std::vector<ColorStop> kStops = {
    {0, {0.9f, 0.2f, 0.1f, 1}}, {0.5f, {0.1f, 0.8f, 0.3f, 0.7f}}, {1, {0.2f, 0.3f, 0.9f, 1}}};

std::shared_ptr<Paint> PaintOf(const Scene& scene, const std::shared_ptr<Context2D>& context, Color color) {
    if (scene.image) {
        auto paint = std::make_shared<ImagePaint>(context, Picture().Make(context));
        paint->ImageTilingMode = TilingMode::Repeat;
        return paint;
    }
    if (scene.gradient.empty())
        return std::make_shared<ColorPaint>(context, color);
    return Gradient(context, kStops, SpreadMode::Reflect, scene.gradient);
}

// Draws the scene through the class interface and plainly, and returns how
// many bytes differ.
long DifferingBytes(const Scene& scene) {
    // Components that are whole bytes: 51, 102, 153, 204 and 204, 51, 0, 153.
    const Color fillColor{0.2f, 0.4f, 0.6f, 0.8f}, strokeColor{0.8f, 0.2f, 0, 0.6f};
    Canvas canvas(scene.width, scene.height);
    TestSupport::Surface plain(scene.width, scene.height);
    canvas.PathTransform().Set(scene.path);
    canvas.context->transforms->image->Set(ImagePlacement());
    std::shared_ptr<FillState> fill;
    if (scene.filled) {
        fill = std::make_shared<FillState>();
        fill->Paint(PaintOf(scene, canvas, fillColor));
        fill->FillRule(scene.rule);
    }
    std::shared_ptr<StrokeState> stroke;
    if (scene.strokeWidth > 0) {
        stroke = std::make_shared<StrokeState>();
        stroke->Paint(PaintOf(scene, canvas, strokeColor));
        stroke->LineWidth(scene.strokeWidth);
        stroke->JoinStyle(scene.join);
    }
    auto drawn = scene.geometry.On(canvas);
    drawn->Draw(fill, stroke);

    PlainTarget target(plain, Origin::TopLeft, BlendMode::SourceOver);
    Matrix3 placement;
    Matrix3::Multiply(ImagePlacement(), scene.path, placement);
    agg::trans_affine imageMatrix = Affine(placement);
    imageMatrix.invert();
    ImageSupport::Interpolator interpolator(imageMatrix);
    agg::image_filter_lut filter(agg::image_filter_bilinear(), true);
    ImageSupport::ReferenceSampler sampler{Picture(), TilingMode::Repeat, {}, interpolator, filter.weight_array()};
    agg::span_allocator<agg::rgba8> allocator;
    auto render = [&](Color color) {
        if (scene.image)
            return agg::render_scanlines_aa(target.rasterizer, target.scanline, target.renderer, allocator, sampler);
        if (scene.gradient.empty())
            return agg::render_scanlines_aa_solid(
                target.rasterizer, target.scanline, target.renderer,
                agg::rgba8(unsigned(color.R * 255 + 0.5f), unsigned(color.G * 255 + 0.5f),
                           unsigned(color.B * 255 + 0.5f), unsigned(color.A * 255 + 0.5f)));
        RenderGradientPlainly(target, Matrix3::Identity, scene.path, GradientScene{kStops, SpreadMode::Reflect, scene.gradient});
    };
    const PlainStroke plainStroke{scene.strokeWidth, CapStyle::Butt, scene.join};
    PathStorage& storage = Internals::StorageOf(*drawn);
    if (scene.filled)
        FillAndStrokePlainly(target, storage, scene.path, scene.rule, [&] { render(fillColor); },
                             stroke ? &plainStroke : nullptr, [&] { render(strokeColor); });
    else
        FillAndStrokePlainly(target, storage, scene.path, scene.rule, [] {}, &plainStroke,
                             [&] { render(strokeColor); });
    long differing = 0;
    for (size_t i = 0; i < plain.memory.size(); ++i)
        differing += plain.memory[i] != canvas.surface.memory[i];
    return differing;
}

// A random walk across the canvas and a little beyond its sides.
Geometry Chart(std::mt19937& engine, int points, int width, int height) {
    Geometry g;
    std::uniform_real_distribution<float> step(-12, 12);
    float y = height / 2.0f;
    for (int i = 0; i < points; ++i) {
        const float x = -20 + float(i) * float(width + 40) / float(points - 1);
        y = std::fmin(float(height) + 40, std::fmax(-40.0f, y + step(engine)));
        i ? g.Line(x, y) : g.Move(x, y);
    }
    return g;
}

// Spikes from about the centre to far beyond every border.
Geometry Star(int vertices, int width, int height) {
    Geometry g;
    const float cx = width / 2.0f, cy = height / 2.0f;
    for (int i = 0; i < vertices; ++i) {
        const float angle = 6.2831853f * float(i) / float(vertices);
        const float radius = i % 2 ? 0.15f * float(height) : 1.4f * float(width) * (1 + 0.3f * std::sin(7.0f * angle));
        const float x = cx + radius * std::cos(angle), y = cy + radius * std::sin(angle);
        i ? g.Line(x, y) : g.Move(x, y);
    }
    return g;
}

// Polygons of 6 to 12 vertices, some across the borders.
Geometry Map(std::mt19937& engine, int polygons, int width, int height) {
    Geometry g;
    std::uniform_real_distribution<float> unit(0, 1);
    for (int p = 0; p < polygons; ++p) {
        const float cx = -60 + unit(engine) * float(width + 120), cy = -60 + unit(engine) * float(height + 120);
        const float size = 10 + 70 * unit(engine);
        const int count = 6 + int(unit(engine) * 7);
        for (int i = 0; i < count; ++i) {
            const float angle = 6.2831853f * (float(i) + 0.8f * unit(engine)) / float(count);
            const float radius = size * (0.5f + 0.5f * unit(engine));
            const float x = cx + radius * std::cos(angle), y = cy + radius * std::sin(angle);
            i ? g.Line(x, y) : g.Move(x, y);
        }
        g.Add(PathCommands::Close, {});
    }
    return g;
}

Geometry Scatter(std::mt19937& engine, int circles, int width, int height) {
    Geometry g;
    std::uniform_real_distribution<float> unit(0, 1);
    for (int i = 0; i < circles; ++i)
        g.Circle(-4 + unit(engine) * float(width + 8), -4 + unit(engine) * float(height + 8), 2 + 4 * unit(engine));
    return g;
}

Matrix3 RotatedAndScaled(int width, int height, float angle, float scale) {
    Matrix3 a, b;
    Matrix3::Multiply(Matrix3::CreateTranslation(-width / 2.0f, -height / 2.0f), Matrix3::CreateRotation(angle), a);
    Matrix3::Multiply(a, Matrix3::CreateScale(scale, scale), b);
    Matrix3::Multiply(b, Matrix3::CreateTranslation(width / 2.0f, height / 2.0f), a);
    return a;
}

}  // namespace

TEST(LargeScenes, AreThePlainCompositionByteForByte) {
    std::mt19937 engine(20261207);
    std::vector<Scene> scenes;
    auto add = [&](Scene scene) { scenes.push_back(std::move(scene)); };
    add({"chart of 1 000 points, 3 px", 1024, 768, Chart(engine, 1000, 1024, 768), Matrix3::Identity, false,
         FillRule::NonZero, 3, JoinStyle::Round});
    add({"chart of 20 000 points, 1.5 px", 2048, 1536, Chart(engine, 20000, 2048, 1536), Matrix3::Identity, false,
         FillRule::NonZero, 1.5f});
    add({"star of 2 000 vertices, non-zero", 1024, 768, Star(2000, 1024, 768)});
    add({"star of 2 000 vertices rotated and scaled, even-odd, outlined", 1024, 768, Star(2000, 1024, 768),
         RotatedAndScaled(1024, 768, 0.7f, 1.3f), true, FillRule::EvenOdd, 2});
    add({"map of 3 000 polygons, filled and outlined", 2048, 1536, Map(engine, 3000, 2048, 1536), Matrix3::Identity,
         true, FillRule::NonZero, 1});
    add({"scatter of 20 000 circles", 2048, 1536, Scatter(engine, 20000, 2048, 1536)});
    add({"star in a linear gradient", 1024, 768, Star(2000, 1024, 768), RotatedAndScaled(1024, 768, -0.4f, 1.1f), true,
         FillRule::NonZero, 3, JoinStyle::Miter, {100, 50, 900, 700}});
    add({"map in a radial gradient", 2048, 1536, Map(engine, 3000, 2048, 1536), Matrix3::Identity, true,
         FillRule::EvenOdd, 1, JoinStyle::Miter, {1000, 700, 900, 1200, 800}});
    // Spans that start far left of the surface: a gradient's colours depend
    // on where each span starts and how long it is.
    Geometry wide;
    wide.Move(-24000, 10).Line(-12000, 30).Line(0, 5).Line(900, 20).Line(700, 300).Line(-12000, 280).Line(-24000, 290);
    add({"polygon from 24 000 pixels left, linear gradient", 640, 320, wide, RotatedAndScaled(640, 320, 0.01f, 1),
         true, FillRule::NonZero, 2, JoinStyle::Miter, {-20000, 0, 600, 300}});
    // Regressions: curves wholly below the surface are drawn as their
    // chords, but not where the edge into the curve starts elsewhere (at the
    // surface's origin before the first vertex, at the sub-path's start
    // after a close).
    Geometry first, afterClose;
    first.Cubic(24, 1, 27, 20, 20, 25).Line(14, 32);
    afterClose.Rectangle(1.2f, -1.5f, 1.8f, -1).Cubic(24, 1, 27, 20, 20, 25).Line(14, 32);
    Matrix3 scaled = Matrix3::CreateScale(23.5f, 23.5f), shifted;
    Matrix3::Multiply(scaled, Matrix3::CreateTranslation(-23.6f, 36.6f), shifted);
    add({"a path that begins with a curve below the surface", 47, 26, first, shifted});
    add({"a curve below the surface after a close", 47, 26, afterClose, shifted});
    // The same in a repeated image, rotated and scaled: its colours, too,
    // depend on where each span starts and how long it is.
    for (size_t i : {6, 8}) {
        Scene imaged = scenes[i];
        imaged.gradient.clear();
        imaged.image = true;
        scenes.push_back(imaged);
    }
    for (const Scene& scene : scenes)
        EXPECT_EQ(DifferingBytes(scene), 0) << scene.name << (scene.image ? ", in an image" : "");
}
