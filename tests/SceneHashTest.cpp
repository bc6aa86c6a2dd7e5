// The same bytes on every processor: the road comparison's random scenes and
// lines of text hash to these values on x86-64, arm64 and armhf alike. A hash
// that changes is a bug or a deliberate change of pixels, in the change log.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <exception>
#include <iterator>
#include <random>

#include "RoadScenes.hpp"
#include "TestSupport.hpp"

using namespace ORV::Vudadive2R;

namespace {

uint64_t Fnv1a(uint64_t hash, const uint8_t* bytes, size_t size) {
    for (size_t i = 0; i < size; ++i)
        hash = (hash ^ bytes[i]) * 0x100000001B3ull;
    return hash;
}

}  // namespace

TEST(SceneHashes, RandomScenesAreTheSameOnEveryProcessor) {
    const uint64_t expected[] = {
        0xb7503435c95f1cbdull, 0x39bf4e6b56c81722ull, 0x86af2292f2e34903ull,
        0x853e1e704effdbf9ull, 0xf062958f78e450a0ull, 0xc1fdb30eb50cf757ull,
        0x623c2b74023bd00full, 0xea337656591fb596ull, 0x4379ab04a6e20aa9ull,
        0x0769149cf459fc68ull,
    };
    std::mt19937 engine(26);
    std::vector<uint8_t> bytes(1024);
    for (size_t group = 0; group < std::size(expected); ++group) {
        uint64_t hash = 0xCBF29CE484222325ull;
        for (int i = 0; i < 300; ++i) {
            for (uint8_t& b : bytes)
                b = uint8_t(engine());
            RoadScenes::ByteStream stream(bytes.data(), bytes.size());
            uint64_t sceneHash = 0xCBF29CE484222325ull;
            try {
                const std::vector<uint8_t> pixels = RoadScenes::Draw(RoadScenes::RandomScene(stream), false);
                sceneHash = Fnv1a(sceneHash, pixels.data(), pixels.size());
            } catch (const std::exception& error) {
                sceneHash = Fnv1a(sceneHash, reinterpret_cast<const uint8_t*>(error.what()), std::strlen(error.what()));
            }
            hash = Fnv1a(hash, reinterpret_cast<const uint8_t*>(&sceneHash), sizeof sceneHash);
        }
        EXPECT_EQ(hash, expected[group]) << "scenes " << group * 300 << " to " << group * 300 + 299;
    }
}

namespace {

// Whole-number vectors whose angle glibc's atan2f gives one unit in the last
// place apart on arm64 and on x86-64 (about 1 in 1 000 of those within 1 024).
const int kHardVectors[][2] = {
    {406, -104}, {991, -272}, {636, 235}, {961, 419}, {1023, -379}, {311, -905}, {162, 402}, {93, -37},
    {272, -110}, {816, -182}, {-978, 405}, {1004, 431}, {991, 272}, {796, -246}, {-263, -115}, {-730, -244},
    {267, 1002}, {849, 263}, {300, -892}, {-987, -382}, {580, -232}, {-213, -544}, {315, 126}, {-236, -701},
    {108, 45}, {971, 414}, {711, 260}, {772, 314}, {-652, 270}, {1013, 343}, {845, -268}, {714, 229},
    {-107, -318}, {929, -644}, {-98, -265}, {-249, 690}, {421, -140}, {105, -42}, {960, 329}, {300, 125},
    {752, 307}, {-316, 847}, {611, 259}, {687, 207}, {813, 286}, {314, -115}, {410, -1024}, {-410, -1024},
};

// A linear gradient from a whole-number start along a hard vector, so that
// the vector survives the subtraction exactly.
void HardLinear(RoadScenes::PaintSpec& paint, const int* vector, float scale) {
    paint.kind = 1;
    paint.geometry[0] = std::round(paint.geometry[0]), paint.geometry[1] = std::round(paint.geometry[1]);
    paint.geometry[2] = paint.geometry[0] + float(vector[0]) * scale;
    paint.geometry[3] = paint.geometry[1] + float(vector[1]) * scale;
}

uint64_t SceneHash(const RoadScenes::Scene& scene) {
    uint64_t hash = 0xCBF29CE484222325ull;
    try {
        const std::vector<uint8_t> pixels = RoadScenes::Draw(scene, false);
        hash = Fnv1a(hash, pixels.data(), pixels.size());
    } catch (const std::exception& error) {
        hash = Fnv1a(hash, reinterpret_cast<const uint8_t*>(error.what()), std::strlen(error.what()));
    }
    return hash;
}

}  // namespace

// Every scene painted with gradients and images: linear gradients along the
// hard vectors (scaled by powers of two, which keep the angle), radial ones,
// images of every tiling.
TEST(SceneHashes, PaintScenesAreTheSameOnEveryProcessor) {
    const uint64_t expected[] = {
        0x55929f839b71907eull, 0xd85f2d369d2accd6ull, 0x0c3a983585cc7fd6ull, 0x091fefb7c60133f6ull,
        0x6ec8120830783517ull, 0xa778b2920d94af7cull, 0x9fe692aba3c90f11ull, 0xc89f1746bb87b2f0ull,
    };
    std::mt19937 engine(36);
    std::vector<uint8_t> bytes(1024);
    for (size_t group = 0; group < std::size(expected); ++group) {
        uint64_t hash = 0xCBF29CE484222325ull;
        for (int i = 0; i < 250; ++i) {
            for (uint8_t& b : bytes)
                b = uint8_t(engine());
            RoadScenes::ByteStream stream(bytes.data(), bytes.size());
            RoadScenes::Scene scene = RoadScenes::RandomScene(stream);
            scene.filled = true;
            const int* vector = kHardVectors[engine() % std::size(kHardVectors)];
            const float scale = std::ldexp(1.0f, int(engine() % 5) - 3);
            switch (i % 4) {
            case 0: HardLinear(scene.fillSpec, vector, scale); break;
            case 1: scene.fillSpec.kind = 2; break;
            case 2: scene.fillSpec.kind = 3; break;
            default: HardLinear(scene.fillSpec, vector, scale), scene.strokeSpec.kind = 1 + i / 4 % 3; break;
            }
            const uint64_t sceneHash = SceneHash(scene);
            hash = Fnv1a(hash, reinterpret_cast<const uint8_t*>(&sceneHash), sizeof sceneHash);
        }
        EXPECT_EQ(hash, expected[group]) << "scenes " << group * 250 << " to " << group * 250 + 249;
    }
}

// Linear gradients along hard vectors over canvases 8 192 pixels wide or
// tall, where one unit in the last place of the angle moves rings by pixels.
TEST(SceneHashes, HardGradientsOnLargeCanvasesAreTheSameOnEveryProcessor) {
    const struct {
        int width, height;
        SpreadMode spread;
        uint64_t expected;
    } canvases[] = {
        {8192, 256, SpreadMode::Repeat, 0x2860d733bf9ed696ull},
        {256, 8192, SpreadMode::Reflect, 0x8e8940bccd529211ull},
        {2896, 1448, SpreadMode::Repeat, 0xdf36c37a1d58b3e6ull},
    };
    const std::vector<ColorStop> stops = {{0, {0.9f, 0.1f, 0.2f, 1}}, {0.45f, {0.1f, 0.7f, 0.3f, 0.8f}},
                                          {1, {0.2f, 0.2f, 0.9f, 1}}};
    for (const auto& canvas : canvases) {
        uint64_t hash = 0xCBF29CE484222325ull;
        for (size_t v = 0; v < std::size(kHardVectors); v += 12) {
            RoadScenes::Scene scene;
            scene.width = canvas.width, scene.height = canvas.height;
            scene.filled = true;
            scene.commands = {PathCommands::MoveTo, PathCommands::LineTo, PathCommands::LineTo, PathCommands::LineTo,
                              PathCommands::Close};
            const float w = float(canvas.width), h = float(canvas.height);
            scene.data = {0, 0, w, 0, w, h, 0, h};
            scene.fillSpec.stops = stops;
            scene.fillSpec.spread = canvas.spread;
            scene.fillSpec.geometry[0] = 3, scene.fillSpec.geometry[1] = 5;
            HardLinear(scene.fillSpec, kHardVectors[v], 1.0f / 16);
            const uint64_t sceneHash = SceneHash(scene);
            hash = Fnv1a(hash, reinterpret_cast<const uint8_t*>(&sceneHash), sizeof sceneHash);
        }
        EXPECT_EQ(hash, canvas.expected) << canvas.width << " x " << canvas.height;
    }
}

// The hash holds for Debian's FreeType and DejaVu Sans, shared by every architecture.
TEST(SceneHashes, TextIsTheSameOnEveryProcessor) {
    const std::string& fontPath = TestSupport::FontPath();
    TestSupport::Surface surface(160, 120);
    surface.Fill(40, 80, 120, 200);
    auto context = std::make_shared<Context2D>(surface.surface);
    const struct {
        Origin origin;
        float angle, scale;
        int size, x, y;
        Color color;
    } lines[] = {
        {Origin::TopLeft, 0, 1, 12, 4, 16, {1, 1, 1, 1}},
        {Origin::TopLeft, 0.3f, 1.5f, 17, 10, 30, {0.9f, 0.2f, 0.1f, 0.6f}},
        {Origin::BottomLeft, -0.8f, 0.7f, 25, 20, 60, {0.1f, 0.7f, 0.3f, 0.8f}},
        {Origin::BottomLeft, 2.5f, 1.2f, 9, 120, 100, {0, 0, 0, 1}},
    };
    for (const auto& line : lines) {
        context->renderState->origin = line.origin;
        Transform& glyph = *context->transforms->glyph;
        glyph.LoadIdentity();
        glyph.Rotate(line.angle);
        glyph.Scale(line.scale, line.scale);
        Font(context, fontPath.c_str(), line.size).DrawString(line.x, line.y, "Jagged 0.5% Wq&@", line.color);
    }
    context->Finish();
    EXPECT_EQ(Fnv1a(0xCBF29CE484222325ull, surface.memory.data(), surface.memory.size()), 0xe892eb4a6f70f9acull);
}
