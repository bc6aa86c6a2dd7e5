// Random image-paint scenes drawn by the library and by the composition
// written here with AGG alone: random images and strides, every tiling mode,
// random image and path transforms, blend modes, origins and scissor boxes,
// filled and stroked. The sampling is written from the definitions:
// the tiling rules of ImageSupport, the packaged interpolator and filter
// weights, sums rounded to the nearest.
#include <gtest/gtest.h>

#include <random>

#include "PlainTarget.hpp"

using namespace DrawSupport;
using namespace ImageSupport;

TEST(ImagePaintDifferential, RandomScenesMatchThePlainComposition) {
    std::mt19937 random(20261207);
    auto uniform = [&](float low, float high) { return std::uniform_real_distribution<float>(low, high)(random); };
    auto integer = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    // Rotated, scaled and shifted, in that order.
    auto transform = [&](float angle, float scale, float shift) {
        Matrix3 m = Matrix3::CreateRotation(uniform(-angle, angle)), step;
        const float sx = uniform(scale, 1 / scale), sy = uniform(scale, 1 / scale);
        Matrix3::Multiply(m, Matrix3::CreateScale(sx, sy), step);
        const float tx = uniform(-10, shift), ty = uniform(-10, shift);
        Matrix3::Multiply(step, Matrix3::CreateTranslation(tx, ty), m);
        return m;
    };
    int changed = 0;
    for (int index = 0; index < 300; ++index) {
        const int width = integer(1, 7), height = integer(1, 7);
        Picture picture(width, height, (integer(0, 1) ? 1 : -1) * 4 * (width + integer(0, 2)));
        for (uint8_t& byte : picture.bytes)
            byte = uint8_t(integer(0, 255));
        PlainScene scene(40, 32);
        scene.origin = Origin(integer(0, 1));
        scene.mode = BlendMode(integer(0, 9));
        for (int i = 0; i < 40 * 32 * 4; ++i)
            scene.backdrop.push_back(uint8_t(integer(0, 255)));
        if (integer(0, 2) == 0)
            scene.scissors = {{integer(0, 30), integer(0, 20), integer(0, 30), integer(0, 20)},
                              {integer(0, 30), integer(0, 20), 12, 9}};
        scene.image = transform(3.2f, 0.25f, 40);
        scene.path = transform(0.5f, 0.5f, 15);
        scene.fillPaint = transform(3, 0.1f, 9);  // not used by the image paint
        if (integer(0, 2) == 0) {
            scene.geometry.Circle(uniform(0, 30), uniform(0, 25), uniform(2, 30));
        } else {
            scene.geometry.Move(uniform(-20, 50), uniform(-20, 40));
            for (int k = integer(2, 6); k > 0; --k)
                scene.geometry.Line(uniform(-20, 50), uniform(-20, 40));
        }
        scene.fill.picture = &picture;
        scene.fill.format = integer(0, 1) ? int(TestSupport::kRA24) : int(TestSupport::kRX24);
        scene.fill.tiling = TilingMode(integer(0, 3));
        scene.fill.tile = Color{uniform(0, 1), uniform(0, 1), uniform(0, 1), uniform(0, 1)};
        scene.rule = FillRule(integer(0, 1));
        // Butt caps, miter joins and limit 4 by default, as AGG's.
        scene.outline.width = integer(0, 1) ? uniform(0.5f, 6) : 0.0f;
        scene.stroke = scene.fill;
        ASSERT_EQ(DrawnPlainly(scene, DrawRoad::Library, &changed), "") << "scene " << index;
    }
    EXPECT_GT(changed, 200);  // most scenes change the surface
}
