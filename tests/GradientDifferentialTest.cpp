// Random gradient scenes drawn by the library and by the plain AGG
// composition written out here, byte for byte: both geometries, every
// spread, random stops, path and paint transforms, blend modes and origins.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "PlainTarget.hpp"

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
        PlainScene scene(48, 40);
        scene.mode = BlendMode(random.Below(10));
        scene.origin = random.Below(2) ? Origin::TopLeft : Origin::BottomLeft;
        scene.path = random.Transform(0.5f, 2, 10);
        scene.fillPaint = random.Transform(0.3f, 3, 20);
        scene.strokePaint = random.Transform(0.3f, 3, 20);
        scene.fill.gradient = random.Gradient();
        scene.stroke.gradient = random.Gradient();
        scene.outline.width = random.Uniform(1, 6);
        scene.geometry.Move(random.Uniform(-10, 58), random.Uniform(-10, 50));
        for (int i = 2 + random.Below(4); i > 0; --i)
            scene.geometry.Line(random.Uniform(-10, 58), random.Uniform(-10, 50));
        scene.rule = FillRule::EvenOdd;  // the fill state's default
        for (int i = 0; i < 48 * 40 * 4; ++i)
            scene.backdrop.push_back(uint8_t(random.Below(256)));
        ASSERT_EQ(DrawnPlainly(scene, DrawRoad::Library, &changed), "") << "scene " << n;
    }
    EXPECT_GT(changed, 250);
}
