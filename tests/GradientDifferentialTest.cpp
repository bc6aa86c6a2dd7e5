// Random gradient scenes drawn by the library and by the plain AGG
// composition written out here, byte for byte: both geometries, every
// spread, random stops, path and paint transforms, blend modes and origins.
#include <gtest/gtest.h>

#include <agg_conv_curve.h>
#include <agg_conv_stroke.h>
#include <agg_conv_transform.h>
#include <agg_gradient_lut.h>
#include <agg_span_allocator.h>
#include <agg_span_gradient.h>
#include <agg_span_interpolator_linear.h>

#include <cmath>
#include <random>

#include "DrawSupport.hpp"
#include "PlainTarget.hpp"
#include "common/Internals.hpp"
#include "path/PathStorage.hpp"
#include "raster/AggTypes.hpp"

using namespace DrawSupport;

namespace {

struct Gradient {
    bool radial;
    float g[5];  // x0, y0, x1, y1 or cx, cy, radius, fx, fy
    SpreadMode spread;
    std::vector<ColorStop> stops;
};

agg::trans_affine PaintMatrix(const Matrix3& paint, const Matrix3& path) {
    agg::trans_affine m = Affine(paint);
    m.multiply(Affine(path));
    return m.invert();
}

// The gradient pieces as the text composes them, with stop colours in 0..1
// so that AGG's own double-to-byte conversion is defined.
void RenderPlainly(PlainTarget& target, agg::trans_affine matrix, const Gradient& gradient) {
    typedef agg::gradient_lut<agg::color_interpolator<agg::rgba>, 256> Lut;
    Lut lut;
    for (const ColorStop& s : gradient.stops)
        lut.add_color(s.Offset, agg::rgba(s.Color.R, s.Color.G, s.Color.B, s.Color.A));
    lut.build_lut();
    agg::span_interpolator_linear<agg::trans_affine, 8> interpolator(matrix);
    auto spread = [&](const auto& function, double d2) {
        auto render = [&](auto function) {
            agg::span_gradient<agg::rgba8, decltype(interpolator), decltype(function), Lut> generator(
                interpolator, function, lut, 0, d2);
            agg::span_allocator<agg::rgba8> allocator;
            agg::render_scanlines_aa(target.rasterizer, target.scanline, target.renderer, allocator, generator);
        };
        typedef std::decay_t<decltype(function)> F;
        if (gradient.spread == SpreadMode::Pad)
            render(function);
        else if (gradient.spread == SpreadMode::Reflect)
            render(agg::gradient_reflect_adaptor<F>(function));
        else
            render(agg::gradient_repeat_adaptor<F>(function));
    };
    const float* g = gradient.g;
    if (gradient.radial) {
        matrix.tx -= g[0];
        matrix.ty -= g[1];
        spread(agg::gradient_radial_focus(g[2], float(g[3] - g[0]), float(g[4] - g[1])), g[2]);
    } else {
        const float dx = g[2] - g[0], dy = g[3] - g[1];
        agg::trans_affine placement =
            agg::trans_affine_rotation(std::atan2(dy, dx)) * agg::trans_affine_translation(g[0], g[1]);
        matrix.multiply(placement.invert());
        spread(agg::gradient_x(), std::sqrt(dx * dx + dy * dy));
    }
}

struct Scene {
    Origin origin;
    BlendMode mode;
    unsigned operation;
    Matrix3 path, fillPaint, strokePaint;
    Geometry geometry;
    float width;
    Gradient fill, stroke;
};

void ComposePlainly(TestSupport::Surface& surface, agg::path_storage& storage, const Scene& s) {
    PlainTarget target(surface, s.origin, s.operation);
    Rasterizer& rasterizer = target.rasterizer;
    agg::conv_curve<agg::path_storage> curves(storage);
    agg::trans_affine pathMatrix = Affine(s.path);
    agg::conv_transform<decltype(curves)> transformer(curves, pathMatrix);
    rasterizer.filling_rule(agg::fill_even_odd);  // the fill state's default, kept for the stroke
    rasterizer.add_path(transformer);
    RenderPlainly(target, PaintMatrix(s.fillPaint, s.path), s.fill);
    agg::conv_stroke<decltype(transformer)> stroker(transformer);
    stroker.width(s.width);
    rasterizer.reset();
    rasterizer.add_path(stroker);
    RenderPlainly(target, PaintMatrix(s.strokePaint, s.path), s.stroke);
}

struct Random {
    std::mt19937 engine{20261207};
    float Uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(engine); }
    int Below(int n) { return int(engine() % unsigned(n)); }

    // About the middle of the surface, so that most scenes stay on it.
    Matrix3 Transform(float scaleLow, float scaleHigh, float shift) {
        Matrix3 m = Matrix3::CreateTranslation(-24, -20), step;
        Matrix3::Multiply(m, Matrix3::CreateRotation(Uniform(-3.2f, 3.2f)), step);
        Matrix3::Multiply(step, Matrix3::CreateScale(Uniform(scaleLow, scaleHigh), Uniform(scaleLow, scaleHigh)), m);
        Matrix3::Multiply(m, Matrix3::CreateTranslation(24 + Uniform(-shift, shift), 20 + Uniform(-shift, shift)), step);
        return Below(4) ? step : Matrix3::Identity;
    }

    // At least two distinct offsets after clamping: fewer leave AGG's table
    // unwritten. Offsets beyond 0..1 and repeated ones are welcome.
    std::vector<ColorStop> Stops() {
        std::vector<ColorStop> stops;
        do {
            stops.clear();
            for (int i = 2 + Below(4); i > 0; --i) {
                const float offset = Below(5) ? Uniform(-0.3f, 1.3f) : float(Below(3)) / 2;
                stops.push_back({offset, {Uniform(0, 1), Uniform(0, 1), Uniform(0, 1), Below(3) ? Uniform(0, 1) : 1}});
            }
        } while (std::fmin(1, std::fmax(0, stops[0].Offset)) == std::fmin(1, std::fmax(0, stops[1].Offset)));
        return stops;
    }

    // Focus inside the circle (up to 0.95 of the radius) and lengths of at
    // least a unit: there the plain composition is defined.
    Gradient Paint() {
        Gradient g{Below(2) == 1, {}, SpreadMode(Below(3)), Stops()};
        if (g.radial) {
            const float radius = Uniform(2, 60), angle = Uniform(-3.2f, 3.2f), reach = Below(3) ? Uniform(0, 0.95f) : 0;
            const float cx = Uniform(-10, 60), cy = Uniform(-10, 50);
            g.g[0] = cx, g.g[1] = cy, g.g[2] = radius;
            g.g[3] = cx + reach * radius * std::cos(angle), g.g[4] = cy + reach * radius * std::sin(angle);
        } else {
            do {
                for (int i = 0; i < 4; ++i)
                    g.g[i] = Uniform(-20, 70);
            } while (std::hypot(g.g[2] - g.g[0], g.g[3] - g.g[1]) < 1);
        }
        return g;
    }
};

std::shared_ptr<Paint> Made(const std::shared_ptr<Context2D>& context, const Gradient& g) {
    std::shared_ptr<GradientPaint> paint;
    if (g.radial)
        paint = std::make_shared<RadialGradientPaint>(context, g.g[0], g.g[1], g.g[2], g.g[3], g.g[4]);
    else
        paint = std::make_shared<LinearGradientPaint>(context, g.g[0], g.g[1], g.g[2], g.g[3]);
    paint->ColorStops = g.stops;
    paint->ColorRampSpreadMode = g.spread;
    return paint;
}

}  // namespace

TEST(GradientDifferential, RandomScenesAreThePlainComposition) {
    const std::pair<BlendMode, unsigned> modes[] = {
        {BlendMode::Source, agg::comp_op_src},         {BlendMode::SourceOver, agg::comp_op_src_over},
        {BlendMode::DestinationOver, agg::comp_op_dst_over}, {BlendMode::SourceIn, agg::comp_op_src_in},
        {BlendMode::DestinationIn, agg::comp_op_dst_in}, {BlendMode::Multiply, agg::comp_op_multiply},
        {BlendMode::Screen, agg::comp_op_screen},      {BlendMode::Darken, agg::comp_op_darken},
        {BlendMode::Lighten, agg::comp_op_lighten},    {BlendMode::Plus, agg::comp_op_plus},
    };
    Random random;
    int changed = 0;
    for (int n = 0; n < 300; ++n) {
        const auto mode = modes[random.Below(10)];
        Scene s{random.Below(2) ? Origin::TopLeft : Origin::BottomLeft, mode.first, mode.second,
                random.Transform(0.5f, 2, 10), random.Transform(0.3f, 3, 20), random.Transform(0.3f, 3, 20),
                Geometry(), random.Uniform(1, 6), random.Paint(), random.Paint()};
        s.geometry.Move(random.Uniform(-10, 58), random.Uniform(-10, 50));
        for (int i = 2 + random.Below(4); i > 0; --i)
            s.geometry.Line(random.Uniform(-10, 58), random.Uniform(-10, 50));
        s.geometry.Add(PathCommands::Close, {});

        Canvas canvas(48, 40, s.origin);
        for (uint8_t& byte : canvas.surface.memory)
            byte = uint8_t(random.Below(256));
        TestSupport::Surface plain(48, 40);
        plain.memory = canvas.surface.memory;
        canvas.State().blendMode = s.mode;
        canvas.PathTransform().Set(s.path);
        canvas.context->transforms->fillPaint->Set(s.fillPaint);
        canvas.context->transforms->strokePaint->Set(s.strokePaint);
        auto fill = std::make_shared<FillState>();
        fill->Paint(Made(canvas, s.fill));
        auto stroke = std::make_shared<StrokeState>();
        stroke->Paint(Made(canvas, s.stroke));
        stroke->LineWidth(s.width);
        auto path = s.geometry.On(canvas);
        path->Draw(fill, stroke);
        changed += canvas.surface.memory != plain.memory;
        ComposePlainly(plain, Internals::StorageOf(*path), s);
        ASSERT_EQ(canvas.surface.memory, plain.memory) << "scene " << n;
    }
    EXPECT_GT(changed, 250);
}
