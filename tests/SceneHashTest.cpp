// The same bytes on every processor: the road comparison's random scenes and
// lines of text hash to these values on x86-64, arm64 and armhf alike. A hash
// that changes is a bug or a deliberate change of pixels, in the change log.
#include <gtest/gtest.h>

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
