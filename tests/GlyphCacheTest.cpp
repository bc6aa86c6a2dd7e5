// The glyph cache's bound, and the row blend beside the one-pixel blend.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "FontLookup.hpp"
#include "TestSupport.hpp"
#include "common/Internals.hpp"
#include "text/GlyphBlend.hpp"
#include "text/GlyphCache.hpp"

using namespace ORV::Vudadive2R;

TEST(GlyphCache, HundredThousandDistinctGlyphsStayWithinTheBound) {
    // Code points from U+0001 up, the surrogates left out, 400 to a UTF-8
    // line: most are missing from the face and load its box, each one a
    // glyph of its own, and every one lands on the surface.
    const std::string path = DejaVuSansPath();
    ASSERT_FALSE(path.empty()) << "DejaVu Sans not found";
    TestSupport::Surface surface(4096, 12);
    auto context = std::make_shared<Context2D>(surface.surface);
    context->renderState->origin = Origin::TopLeft;
    Font font(context, path.c_str(), 9);
    const GlyphCache& cache = *Internals::GlyphCacheOf(font);
    char32_t code = 1;
    for (int drawn = 0; drawn < 100000;) {
        std::u32string line;
        for (int n = 0; n < 400; ++n, ++drawn, ++code)
            line += code == 0xD800 ? (code = 0xE000) : code;
        font.DrawStringUtf8(0, 10, TestSupport::Utf8Of(line).c_str(), Color{1, 1, 1, 1});
        ASSERT_LE(cache.Bytes(), Font::GlyphCacheBound) << "after U+" << std::hex << code;
    }
    // Full, and evicting: the last glyphs are all held, the first are gone.
    EXPECT_GT(cache.Bytes(), Font::GlyphCacheBound / 2);
    EXPECT_GT(cache.GlyphCount(), size_t(5000));
    EXPECT_LT(cache.GlyphCount(), size_t(100000));
}

TEST(GlyphCache, RowBlendGivesTheBytesOfThePixelBlend) {
    // Coverage of every value, full in every fourth place, and whole blocks
    // of nothing and of full coverage, over random pixels, for opaque and
    // translucent colours; the runs' lengths leave every tail.
    std::mt19937 random(4242);
    std::vector<uint8_t> coverage(256 * 4 + 7);
    for (size_t i = 0; i < coverage.size(); ++i)
        coverage[i] = uint8_t(i % 4 == 3 ? 255 : (i * 97 + i / 4) % 256);
    // Whole blocks of nothing and of full coverage too.
    std::fill(coverage.begin() + 16, coverage.begin() + 24, 0);
    std::fill(coverage.begin() + 32, coverage.begin() + 40, 255);
    for (const uint32_t a : {1u, 2u, 127u, 128u, 254u, 255u})
        for (unsigned length : {1u, 3u, 4u, 6u, unsigned(coverage.size())}) {
            const TextColor ink{uint32_t(random() % 256), uint32_t(random() % 256), uint32_t(random() % 256), a};
            for (unsigned start = 0; start + length <= coverage.size(); start += 37) {
                std::vector<uint8_t> row(4 * length), expected;
                for (uint8_t& byte : row)
                    byte = uint8_t(random());
                expected = row;
                for (unsigned j = 0; j < length; ++j)
                    if (coverage[start + j] != 0)
                        BlendGlyphPixel(&expected[4 * j], ink, coverage[start + j]);
                BlendGlyphRow(row.data(), coverage.data() + start, length, ink);
                ASSERT_EQ(row, expected) << "alpha " << a << " length " << length << " start " << start;
            }
        }
}
