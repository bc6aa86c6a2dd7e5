// Random scenes in gradients and images against the plain AGG composition, byte for byte.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "PlainTarget.hpp"

using namespace DrawSupport;
using ImageSupport::Picture;

namespace {

struct Random {
    std::mt19937 engine{20261207};
    float Uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(engine); }
    int Below(int n) { return int(engine() % unsigned(n)); }

    Matrix3 Transform(float scaleLow, float scaleHigh, float shift) {
        Matrix3 m = Matrix3::CreateTranslation(-24, -20), step;
        Matrix3::Multiply(m, Matrix3::CreateRotation(Uniform(-3.2f, 3.2f)), step);
        Matrix3::Multiply(step, Matrix3::CreateScale(Uniform(scaleLow, scaleHigh), Uniform(scaleLow, scaleHigh)), m);
        Matrix3::Multiply(m, Matrix3::CreateTranslation(24 + Uniform(-shift, shift), 20 + Uniform(-shift, shift)), step);
        return Below(4) ? step : Matrix3::Identity;
    }

    // Where the plain composition is defined: two distinct offsets after
    // clamping, a focus inside the circle, a length of a unit or more.
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

    PlainScene Scene(int width, int height) {
        PlainScene scene(width, height);
        scene.mode = BlendMode(Below(10));
        scene.origin = Below(2) ? Origin::TopLeft : Origin::BottomLeft;
        for (int i = 0; i < width * height * 4; ++i)
            scene.backdrop.push_back(uint8_t(Below(256)));
        if (Below(3) == 0) {
            scene.geometry.Circle(Uniform(0, 30), Uniform(0, 25), Uniform(2, 30));
        } else {
            scene.geometry.Move(Uniform(-10, 58), Uniform(-10, 50));
            for (int i = 2 + Below(4); i > 0; --i)
                scene.geometry.Line(Uniform(-10, 58), Uniform(-10, 50));
        }
        return scene;
    }
};

}  // namespace

TEST(GradientDifferential, RandomScenesAreThePlainComposition) {
    Random random;
    int changed = 0;
    for (int n = 0; n < 300; ++n) {
        PlainScene scene = random.Scene(48, 40);
        scene.path = random.Transform(0.5f, 2, 10);
        scene.fillPaint = random.Transform(0.3f, 3, 20);
        scene.strokePaint = random.Transform(0.3f, 3, 20);
        scene.fill.gradient = random.Gradient();
        scene.stroke.gradient = random.Gradient();
        scene.outline.width = random.Uniform(1, 6);
        scene.rule = FillRule::EvenOdd;  // the fill state's default
        ASSERT_EQ(DrawnPlainly(scene, DrawRoad::Library, &changed), "") << "scene " << n;
    }
    EXPECT_GT(changed, 250);
}

TEST(ImagePaintDifferential, RandomScenesMatchThePlainComposition) {
    Random random;
    int changed = 0;
    for (int n = 0; n < 300; ++n) {
        const int width = 1 + random.Below(7), height = 1 + random.Below(7);
        Picture picture(width, height, (random.Below(2) ? 1 : -1) * 4 * (width + random.Below(3)));
        for (uint8_t& byte : picture.bytes)
            byte = uint8_t(random.Below(256));
        if (random.Below(3) == 0)  // opaque
            for (size_t alpha = 3; alpha < picture.bytes.size(); alpha += 4)
                picture.bytes[alpha] = 255;
        PlainScene scene = random.Scene(40, 32);
        if (random.Below(3) == 0)
            scene.scissors = {{random.Below(30), random.Below(20), random.Below(30), random.Below(20)},
                              {random.Below(30), random.Below(20), 12, 9}};
        scene.image = random.Transform(0.3f, 4, 20);
        scene.path = random.Transform(0.5f, 2, 10);
        scene.fillPaint = random.Transform(0.1f, 9, 20);  // not used by the image paint
        scene.fill.picture = &picture;
        scene.fill.format = int(random.Below(2) ? TestSupport::kRA24 : TestSupport::kRX24);
        scene.fill.tiling = TilingMode(random.Below(4));
        scene.fill.tile = Color{random.Uniform(0, 1), random.Uniform(0, 1), random.Uniform(0, 1), random.Uniform(0, 1)};
        scene.rule = FillRule(random.Below(2));
        scene.outline.width = random.Below(2) ? random.Uniform(0.5f, 6) : 0.0f;  // butt, miter and 4 as AGG's
        scene.stroke = scene.fill;
        ASSERT_EQ(DrawnPlainly(scene, DrawRoad::Library, &changed), "") << "scene " << n;
    }
    EXPECT_GT(changed, 200);  // most scenes change the surface
}
