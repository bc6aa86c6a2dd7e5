// The high image quality: placements that shrink an image draw AGG's
// resampling composed directly, the others keep the bilinear bytes, and a
// fine grid shrunk keeps no beat.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "PlainTarget.hpp"
#include "common/PortableCosSin.hpp"
#include "RoadScenes.hpp"

using namespace DrawSupport;
using ImageSupport::Picture;

namespace {

// A rotation whose bits are the same on every processor (the C library's
// sine and cosine are not), so that the scenes hashed below are too.
Matrix3 Turn(float angle) {
    double cosine, sine;
    PortableCosSin(angle, cosine, sine);
    const float c = float(cosine), s = float(sine);
    return Matrix3{{c, s, 0, -s, c, 0, 0, 0, 1}};
}

struct Random {
    std::mt19937 engine{20261208};
    float Uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(engine); }
    int Below(int n) { return int(engine() % unsigned(n)); }

    // Image pixels to the surface: shrunk by `least` to `most` on each axis
    // (more often by little than by much), turned, and moved about the surface.
    Matrix3 Placement(float most, float least = 1) {
        auto factor = [&] {
            const float u = Uniform(0, 1);
            return least + (most - least) * u * u;
        };
        const float sx = factor(), sy = Below(3) ? sx : factor();
        Matrix3 m = Matrix3::CreateScale(1 / sx, 1 / sy), step;
        const float angles[] = {0, 0.5f * 3.14159265f, Uniform(-3.2f, 3.2f)};
        Matrix3::Multiply(m, Turn(angles[Below(3)]), step);
        const float dx = Uniform(-30, 60), dy = Uniform(-30, 50);
        Matrix3::Multiply(step, Matrix3::CreateTranslation(dx, dy), m);
        return m;
    }

    Picture SomePicture(int most) {
        const int width = 1 + Below(most), height = 1 + Below(most);
        const int sign = Below(2) ? 1 : -1;
        Picture picture(width, height, sign * 4 * (width + Below(3)));
        for (uint8_t& byte : picture.bytes)
            byte = uint8_t(Below(256));
        if (Below(3) == 0)
            for (size_t alpha = 3; alpha < picture.bytes.size(); alpha += 4)
                picture.bytes[alpha] = 255;
        return picture;
    }

    // Blend mode n mod 10, tiling n / 10 mod 4: every pair in 40 scenes.
    Scene ImageScene(int n, const Matrix3& placement) {
        Geometry geometry;
        if (Below(3) == 0) {
            geometry.Rectangle(-2, -2, 50, 42);
        } else {
            // One draw per statement: the order in which a call's
            // arguments are evaluated differs between processors.
            float x = Uniform(-10, 58), y = Uniform(-10, 50);
            geometry.Move(x, y);
            for (int i = 2 + Below(4); i > 0; --i) {
                x = Uniform(-10, 58), y = Uniform(-10, 50);
                geometry.Line(x, y);
            }
        }
        Scene scene = SceneOf(48, 40, geometry);
        scene.blend = BlendMode(n % 10);
        scene.origin = Below(2) ? Origin::TopLeft : Origin::BottomLeft;
        for (int i = 0; i < 48 * 40 * 4; ++i)
            scene.backdrop.push_back(uint8_t(Below(256)));
        scene.scissoring = Below(4) == 0;
        scene.scissors = {{Below(30), Below(20), 4 + Below(30), 4 + Below(20)}, {Below(30), Below(20), 12, 9}};
        scene.image = placement;
        if (Below(3) == 0)
            scene.path = Turn(Uniform(-0.3f, 0.3f));
        const Color tile{Uniform(0, 1), Uniform(0, 1), Uniform(0, 1), Below(2) ? 1 : Uniform(0, 1)};
        const int format = int(Below(2) ? TestSupport::kRA24 : TestSupport::kRX24);
        scene.fillSpec = scene.strokeSpec = ImageSpec(SomePicture(80), TilingMode(n / 10 % 4), tile, format);
        scene.rule = FillRule(Below(2));
        scene.lineWidth = Below(3) == 0 ? Uniform(0.5f, 6) : 0.0f;
        scene.stroked = scene.lineWidth != 0;
        scene.imageQuality = ImageQualityHigh;
        return scene;
    }
};

Scene WithQuality(Scene scene, ImageQuality quality) {
    scene.imageQuality = quality;
    return scene;
}

}  // namespace

TEST(ImageQuality, ShrunkPlacementsAreAggsResampling) {
    Random random;
    int changed = 0, resampled = 0;
    for (int n = 0; n < 320; ++n) {
        const Scene scene = random.ImageScene(n, random.Placement(16));
        ASSERT_EQ(DrawnPlainly(scene, n % 5 ? DrawRoad::Library : DrawRoad::Reference, &changed), "")
            << "scene " << n;
        resampled += RoadScenes::Draw(scene, false) != RoadScenes::Draw(WithQuality(scene, 1), false);
    }
    EXPECT_GT(changed, 250);
    EXPECT_GT(resampled, 200);  // not the bilinear bytes
}

// The resampled bytes on x86-64, arm64 and armhf alike: the scales are
// doubles from correctly rounded operations, the weights the library's own
// table. A hash that changes is a bug or a deliberate change of pixels.
TEST(ImageQuality, ResampledScenesAreTheSameOnEveryProcessor) {
    Random random;
    uint64_t hash = 0xCBF29CE484222325ull;
    for (int n = 0; n < 200; ++n) {
        const std::vector<uint8_t> pixels = RoadScenes::Draw(random.ImageScene(n, random.Placement(16)), false);
        for (uint8_t byte : pixels)
            hash = (hash ^ byte) * 0x100000001B3ull;
    }
    EXPECT_EQ(hash, 0xec0884241b7456c3ull);
}

// Enlarged, turned or moved only: quality 2 is the bilinear road. Shrunk:
// every quality but 2 is.
TEST(ImageQuality, OtherPlacementsAndQualitiesKeepTheBilinearBytes) {
    Random random;
    const struct {
        const char* name;
        float least, most;
        ImageQuality quality;
    } cases[] = {
        {"enlarged, quality 2", 0.25f, 1, ImageQualityHigh},
        {"turned and moved, quality 2", 1, 1, ImageQualityHigh},
        {"shrunk by less than 1/512, quality 2", 1, 1.0019f, ImageQualityHigh},
        {"shrunk, quality 0", 1.5f, 16, 0},
        {"shrunk, quality 3", 1.5f, 16, 3},
        {"shrunk, quality -1", 1.5f, 16, -1},
    };
    for (const auto& c : cases)
        for (int n = 0; n < 80; ++n) {
            const Scene scene = WithQuality(random.ImageScene(n, random.Placement(c.most, c.least)), c.quality);
            ASSERT_EQ(RoadScenes::Draw(scene, false), RoadScenes::Draw(WithQuality(scene, 1), false))
                << c.name << ", scene " << n;
        }
}

// A uniform image stays uniform, whatever the shrink: the weights are
// divided by their own sum.
TEST(ImageQuality, UniformImageShrunkStaysUniform) {
    for (const float shrink : {1.7f, 3.0f, 9.5f, 14.0f}) {
        Canvas canvas(40, 30);
        canvas.State().imageQuality = ImageQualityHigh;
        canvas.State().blendMode = BlendMode::Source;
        Matrix3 m;
        Matrix3::Multiply(Matrix3::CreateScale(1 / shrink, 1 / shrink), Matrix3::CreateRotation(0.4f), m);
        canvas.context->transforms->image->Set(m);
        Picture picture = Picture::Of(37, 23, [](int, int) { return ImageSupport::Rgba{200, 100, 50, 255}; });
        auto paint = std::make_shared<ImagePaint>(canvas.context, picture.Make(canvas.context));
        paint->ImageTilingMode = TilingMode::Reflect;
        auto fill = std::make_shared<FillState>();
        fill->Paint(paint);
        Geometry().Rectangle(0, 0, 40, 30).On(canvas)->Draw(fill, nullptr);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(canvas.At(x, y), 0xC86432FFu) << "shrunk by " << shrink << " at " << x << ", " << y;
    }
}

namespace {

// A white picture with black lines one pixel wide every `period` pixels
// across and down, shrunk by `shrink` onto a surface it covers, drawn
// with `quality`; the spread (standard deviation) of the surface's column
// means of green, away from the edges.
double GridBeat(int shrink, int period, ImageQuality quality, std::vector<uint8_t>* bytes = nullptr) {
    const int side = 60 * shrink, surface = 60;
    Picture picture = Picture::Of(side, side, [&](int i, int j) {
        const int v = i % period == 0 || j % period == 0 ? 0 : 255;
        return ImageSupport::Rgba{v, v, v, 255};
    });
    Canvas canvas(surface, surface);
    canvas.State().imageQuality = quality;
    canvas.context->transforms->image->Scale(1.0f / float(shrink), 1.0f / float(shrink));
    auto paint = std::make_shared<ImagePaint>(canvas.context, picture.Make(canvas.context));
    paint->ImageTilingMode = TilingMode::Repeat;
    auto fill = std::make_shared<FillState>();
    fill->Paint(paint);
    Geometry().Rectangle(0, 0, float(surface), float(surface)).On(canvas)->Draw(fill, nullptr);
    if (bytes)
        *bytes = canvas.surface.memory;
    std::vector<double> means;
    for (int x = 2; x < surface - 2; ++x) {
        double sum = 0;
        for (int y = 2; y < surface - 2; ++y)
            sum += canvas.surface.Pixel(x, y)[1];
        means.push_back(sum / (surface - 4));
    }
    double mean = 0, spread = 0;
    for (double m : means)
        mean += m / double(means.size());
    for (double m : means)
        spread += (m - mean) * (m - mean) / double(means.size());
    return std::sqrt(spread);
}

}  // namespace

// Lines finer than the surface's pixels can show (0.7 to 2.7 periods a
// pixel, beyond the half period a pixel that a surface resolves) beat with
// them when four samples pick them up or miss them: bilinear column means
// swing by 40 levels or more. Averaged under the widened tent, the swing
// stays under 10 (the tent passes a quarter of lines just beyond the half
// period, so closer ones are not in the table).
TEST(ImageQuality, FineGridShrunkShowsNoBeat) {
    const struct {
        int shrink, period;
    } cases[] = {{3, 2}, {3, 4}, {5, 3}, {5, 4}, {5, 6}, {5, 7}, {8, 3}, {8, 5}, {8, 6}, {8, 9}, {8, 11}};
    for (const auto& c : cases) {
        const double high = GridBeat(c.shrink, c.period, ImageQualityHigh);
        const double bilinear = GridBeat(c.shrink, c.period, 1);
        EXPECT_LT(high, 10.0) << "shrunk by " << c.shrink << ", lines every " << c.period;
        EXPECT_GT(bilinear, 40.0) << "shrunk by " << c.shrink << ", lines every " << c.period;
    }
}

// The C interface's constant and setter draw what the class's do.
TEST(ImageQuality, CInterfaceSetsTheHighQuality) {
    std::vector<uint8_t> classes;
    GridBeat(5, 4, ImageQualityHigh, &classes);

    Picture picture = Picture::Of(300, 300, [](int i, int j) {
        const int v = i % 4 == 0 || j % 4 == 0 ? 0 : 255;
        return ImageSupport::Rgba{v, v, v, 255};
    });
    TestSupport::Surface surface(60, 60);
    orv_context2D c = orv_context2D_create(surface.surface);
    orv_render_state* state = orv_context2D_render_state_get(c);
    orv_render_state_origin_set(state, ORV_ORIGIN_TOP_LEFT);
    orv_render_state_image_quality_set(state, ORV_IMAGE_QUALITY_HIGH);
    EXPECT_EQ(orv_render_state_image_quality_get(state), 2);
    orv_transform_scale(orv_transforms_image(orv_context2D_transforms_get(c)), 0.2f, 0.2f);
    orv_image image = orv_image_create(c, int(TestSupport::kRA24), 300, 300, 1200, picture.bytes.data());
    orv_image_paint paint = orv_image_paint_create(c, image);
    orv_image_destroy(image);
    orv_image_paint_tiling_mode_set(paint, ORV_TILING_MODE_REPEAT);
    orv_fill_state fill = orv_fill_state_create();
    orv_fill_state_paint_set(fill, paint);
    orv_path_builder builder = orv_path_builder_create();
    orv_path_builder_svg_path_data(builder, "M0 0 H60 V60 H0 z", nullptr);
    orv_path path = orv_path_builder_to_path(builder, c);
    orv_path_draw(path, fill, nullptr);
    orv_context2D_finish(c);
    EXPECT_EQ(surface.memory, classes);
    orv_path_destroy(path);
    orv_path_builder_destroy(builder);
    orv_fill_state_destroy(fill);
    orv_image_paint_destroy(paint);
    orv_context2D_destroy(c);
}
