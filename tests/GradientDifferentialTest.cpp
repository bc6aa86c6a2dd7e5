// Random gradient scenes drawn by the library and by the plain AGG
// composition written out here, byte for byte: both geometries, every
// spread, random stops, path and paint transforms, blend modes and origins.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "DrawSupport.hpp"
#include "PlainTarget.hpp"
#include "common/Internals.hpp"

using namespace DrawSupport;

namespace {

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

    // At least two distinct offsets after clamping (fewer leave AGG's table
    // unwritten), a focus inside the circle (up to 0.95 of the radius) and a
    // length of a unit or more: there the plain composition is defined.
    GradientScene Gradient() {
        GradientScene p{{}, SpreadMode(Below(3)), {}};
        auto clamped = [](float offset) { return std::fmin(1.0f, std::fmax(0.0f, offset)); };
        while (p.stops.size() < 2 || clamped(p.stops[0].Offset) == clamped(p.stops[1].Offset)) {
            p.stops.clear();
            for (int i = 2 + Below(4); i > 0; --i)
                p.stops.push_back({Below(5) ? Uniform(-0.3f, 1.3f) : float(Below(3)) / 2,
                                   {Uniform(0, 1), Uniform(0, 1), Uniform(0, 1), Below(3) ? Uniform(0, 1) : 1}});
        }
        if (Below(2)) {
            const float cx = Uniform(-10, 60), cy = Uniform(-10, 50), radius = Uniform(2, 60);
            const float angle = Uniform(-3.2f, 3.2f), reach = Below(3) ? Uniform(0, 0.95f) : 0;
            p.g = {cx, cy, radius, cx + reach * radius * std::cos(angle), cy + reach * radius * std::sin(angle)};
        } else {
            while (p.g.empty() || std::hypot(p.g[2] - p.g[0], p.g[3] - p.g[1]) < 1)
                p.g = {Uniform(-20, 70), Uniform(-20, 70), Uniform(-20, 70), Uniform(-20, 70)};
        }
        return p;
    }
};

}  // namespace

TEST(GradientDifferential, RandomScenesAreThePlainComposition) {
    Random random;
    int changed = 0;
    for (int n = 0; n < 300; ++n) {
        const int mode = random.Below(10);
        const Origin origin = random.Below(2) ? Origin::TopLeft : Origin::BottomLeft;
        const Matrix3 path = random.Transform(0.5f, 2, 10), fillPaint = random.Transform(0.3f, 3, 20),
                      strokePaint = random.Transform(0.3f, 3, 20);
        const GradientScene fillGradient = random.Gradient(), strokeGradient = random.Gradient();
        const float width = random.Uniform(1, 6);
        Geometry geometry;
        geometry.Move(random.Uniform(-10, 58), random.Uniform(-10, 50));
        for (int i = 2 + random.Below(4); i > 0; --i)
            geometry.Line(random.Uniform(-10, 58), random.Uniform(-10, 50));

        Canvas canvas(48, 40, origin);
        for (uint8_t& byte : canvas.surface.memory)
            byte = uint8_t(random.Below(256));
        TestSupport::Surface plain(48, 40);
        plain.memory = canvas.surface.memory;
        canvas.State().blendMode = BlendMode(mode);
        canvas.PathTransform().Set(path);
        canvas.context->transforms->fillPaint->Set(fillPaint);
        canvas.context->transforms->strokePaint->Set(strokePaint);
        auto fill = TestSupport::FillWith(Gradient(canvas, fillGradient.stops, fillGradient.spread, fillGradient.g));
        auto stroke = std::make_shared<StrokeState>();
        stroke->Paint(Gradient(canvas, strokeGradient.stops, strokeGradient.spread, strokeGradient.g));
        stroke->LineWidth(width);
        auto drawn = geometry.On(canvas);
        drawn->Draw(fill, stroke);
        changed += canvas.surface.memory != plain.memory;

        PlainTarget target(plain, origin, BlendMode(mode));
        const PlainStroke plainStroke{width};
        // The fill state's default rule is even-odd.
        FillAndStrokePlainly(target, Internals::StorageOf(*drawn), path, FillRule::EvenOdd,
                             [&] { RenderGradientPlainly(target, fillPaint, path, fillGradient); }, &plainStroke,
                             [&] { RenderGradientPlainly(target, strokePaint, path, strokeGradient); });
        ASSERT_EQ(canvas.surface.memory, plain.memory) << "scene " << n;
    }
    EXPECT_GT(changed, 250);
}
