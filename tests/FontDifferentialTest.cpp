// Random text through Font, with and without its glyph cache, against FreeType
// called directly and the blend table written out here.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "TestSupport.hpp"
#include "common/Internals.hpp"
#include "text/GlyphCache.hpp"

using namespace ORV::Vudadive2R;

namespace {

// Glyphs rendered by FreeType under the 16.16 glyph matrix, blended byte by
// byte; a y-down origin flips the matrix and the vertical advance.
class ReferenceText {
public:
    ReferenceText(const std::string& path, int size) {
        EXPECT_EQ(FT_Init_FreeType(&library), 0);
        EXPECT_EQ(FT_New_Face(library, path.c_str(), 0, &face), 0);
        FT_Set_Char_Size(face, size * 64, 0, 72, 0);
    }
    ~ReferenceText() {
        FT_Done_Face(face);
        FT_Done_FreeType(library);
    }

    float Ascender() const { return float(face->size->metrics.ascender) * 0.015625f; }
    float Descender() const { return float(face->size->metrics.descender) * 0.015625f; }

    float Measure(const std::u32string& text, const Matrix3& m, bool yDown) {
        float x = 0, y = 0;
        for (char32_t c : text) {
            if (!Load(c, m, yDown))
                continue;
            x = std::fmaf(float(face->glyph->advance.x), 0.015625f, x);
            y = std::fmaf(float(face->glyph->advance.y), 0.015625f, y);
        }
        return std::sqrt(std::fmaf(x, x, y * y));
    }

    void Draw(TestSupport::Surface& surface, bool yDown, const Matrix3& m, int x, int y,
              const std::u32string& text, const Color& color) {
        const uint32_t r = Byte(color.R), g = Byte(color.G), b = Byte(color.B), a = Byte(color.A);
        float penX = std::fmaf(float(x), m.M[0], float(y) * m.M[3]) + m.M[6];
        float penY = std::fmaf(float(x), m.M[1], float(y) * m.M[4]) + m.M[7];
        for (char32_t c : text) {
            if (!Load(c, m, yDown))
                continue;
            const FT_GlyphSlot slot = face->glyph;
            int row = int(yDown ? penY - float(slot->bitmap_top) : penY + float(slot->bitmap_top));
            const unsigned char* source = slot->bitmap.buffer;
            for (unsigned i = 0; i < slot->bitmap.rows; ++i, source += slot->bitmap.pitch, row += yDown ? 1 : -1)
                for (unsigned j = 0; j < slot->bitmap.width; ++j) {
                    const uint32_t coverage = source[j];
                    const int column = int((float(slot->bitmap_left) + penX) + float(j));
                    if (coverage == 0 || column < 0 || column >= surface.width || row < 0 || row >= surface.height)
                        continue;
                    // Surface row to memory row: the origin and the stride's sign each flip it.
                    const bool firstRowFirst = yDown == (surface.stride > 0);
                    uint8_t* p = surface.Pixel(column, firstRowFirst ? row : surface.height - 1 - row);
                    if (a == 0)
                        continue;
                    if (coverage == 255 && a == 255) {
                        p[0] = uint8_t(r), p[1] = uint8_t(g), p[2] = uint8_t(b), p[3] = 255;
                        continue;
                    }
                    const uint32_t t = coverage == 255 ? a : (a * coverage + a) >> 8;
                    p[0] = uint8_t((p[0] * (256 - t) + r * t) >> 8);
                    p[1] = uint8_t((p[1] * (256 - t) + g * t) >> 8);
                    p[2] = uint8_t((p[2] * (256 - t) + b * t) >> 8);
                    p[3] = uint8_t(p[3] + t - ((p[3] * t + 255) >> 8));
                }
            penX += float(slot->advance.x / 64);
            penY += (yDown ? -1 : 1) * float(slot->advance.y / 64);
        }
    }

private:
    static uint32_t Byte(float component) {
        const float scaled = component * 255.0f;
        return scaled < 0 ? 0 : uint32_t(scaled) % 256;
    }

    bool Load(char32_t c, const Matrix3& m, bool flip) {
        const float sign = flip ? -1.0f : 1.0f;
        FT_Matrix matrix{FT_Fixed(m.M[0] * 65536.0f), FT_Fixed(sign * m.M[3] * 65536.0f),
                         FT_Fixed(sign * m.M[1] * 65536.0f), FT_Fixed(m.M[4] * 65536.0f)};
        FT_Set_Transform(face, &matrix, nullptr);
        return FT_Load_Char(face, c, FT_LOAD_RENDER) == 0;
    }

    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

enum class Caching { Usual, Evicting, Off };  // Evicting: a bound that drops glyphs on almost every call

}  // namespace

TEST(FontDifferential, RandomTextMatchesFreeTypeAndTheBlendTable) {
    const std::string& path = TestSupport::FontPath();
    std::mt19937 random(20261207);
    auto uniform = [&](float low, float high) { return std::uniform_real_distribution<float>(low, high)(random); };
    auto integer = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };

    int inked = 0;
    for (int round = 0; round < 400; ++round) {
        const int size = integer(1, 48);
        const int width = integer(1, 90), height = integer(1, 70);
        const int stride = (integer(0, 1) ? 1 : -1) * 4 * (width + integer(0, 3));
        TestSupport::Surface surface(width, height, TestSupport::kAB24, stride);
        for (uint8_t& byte : surface.memory)
            byte = uint8_t(integer(0, 255));
        TestSupport::Surface expected(width, height, TestSupport::kAB24, stride);
        expected.memory = surface.memory;

        auto context = std::make_shared<Context2D>(surface.surface);
        Transform& glyph = *context->transforms->glyph;
        const auto randomMatrix = [&] {
            glyph.Set(Matrix3::Identity);
            glyph.Translate(uniform(-10, 10), uniform(-10, 10));
            if (integer(0, 2) != 0) {
                glyph.Rotate(uniform(-3.2f, 3.2f));
                Matrix3 shear = Matrix3::Identity;
                shear.M[3] = uniform(-0.8f, 0.8f);
                Matrix3 m = glyph.Get();
                Matrix3::Multiply(shear, m, m);
                glyph.Set(m);
            }
            glyph.Scale(uniform(0.3f, 2.5f), uniform(0.3f, 2.5f));
            return glyph.Get();
        };
        // The third draw repeats the first one's matrix and origin, after the
        // second has added its glyphs to the cache (or pushed the first's out).
        struct Draw { Matrix3 m; int origin, x, y; };
        std::vector<Draw> draws;
        for (int k = 0; k < 2; ++k)
            draws.push_back(Draw{randomMatrix(), std::vector<int>{0, 1, 6}[size_t(integer(0, 2))],
                                 integer(-10, width / 2), integer(0, height + 10)});
        if (integer(0, 2) == 0) {
            // Matrices that differ in one element only.
            draws[1].m = draws[0].m;
            draws[1].m.M[integer(0, 1) ? 3 : 1] += uniform(-0.5f, 0.5f);
        }
        draws.push_back(draws[0]);
        draws[2].x = integer(-10, width / 2), draws[2].y = integer(0, height + 10);

        // UTF-8 rounds reach the planes past the face's (its missing-glyph box).
        const bool utf8 = round % 2;
        std::u32string codes;
        for (int n = integer(0, 10); n > 0; --n) {
            const int kind = integer(0, 5);
            char32_t c = kind < 3 ? char32_t(integer(32, 126)) : char32_t(integer(1, 255));
            if (utf8 && kind == 4)
                c = char32_t(integer(0xA0, 0x4FF));
            else if (utf8 && kind == 5)
                c = char32_t(integer(0, 1) ? integer(0x500, 0xD7FF) : integer(0xE000, 0x10FFFF));
            codes.push_back(c);
        }
        std::string text;
        if (utf8)
            text = TestSupport::Utf8Of(codes);
        else
            text.assign(codes.begin(), codes.end());
        const Color color{uniform(-0.3f, 1.6f), uniform(-0.3f, 1.6f), uniform(-0.3f, 1.6f),
                          integer(0, 3) ? uniform(-0.2f, 1.2f) : 1.0f};

        ReferenceText reference(path, size);
        std::vector<float> lengths;
        for (const Draw& d : draws) {
            lengths.push_back(reference.Measure(codes, d.m, d.origin != 0));
            reference.Draw(expected, d.origin != 0, d.m, d.x, d.y, codes, color);
        }
        const std::vector<uint8_t> before = surface.memory;
        for (const Caching caching : {Caching::Usual, Caching::Evicting, Caching::Off}) {
            surface.memory = before;
            auto font = std::make_unique<Font>(context, path.c_str(), size);
            if (caching == Caching::Evicting)
                Internals::GlyphCacheOf(*font) = std::make_unique<GlyphCache>(2048);
            else if (caching == Caching::Off)
                Internals::GlyphCacheOf(*font).reset();
            const std::string label = "round " + std::to_string(round) + " caching " + std::to_string(int(caching));
            ASSERT_EQ(font->Ascender(), reference.Ascender()) << label;
            ASSERT_EQ(font->Descender(), reference.Descender()) << label;
            ASSERT_EQ(font->Height(), font->Ascender() - font->Descender()) << label;
            for (size_t k = 0; k < draws.size(); ++k) {
                const Draw& d = draws[k];
                glyph.Set(d.m);
                context->renderState->origin = Origin(d.origin);
                ASSERT_EQ(utf8 ? font->MeasureStringUtf8(text.c_str()) : font->MeasureString(text.c_str()),
                          lengths[k]) << label << " draw " << k;
                if (utf8)
                    font->DrawStringUtf8(d.x, d.y, text.c_str(), color);
                else
                    font->DrawString(d.x, d.y, text.c_str(), color);
            }
            ASSERT_EQ(surface.memory, expected.memory) << label;
        }
        inked += surface.memory != before;
    }
    EXPECT_GT(inked, 120);
}

TEST(FontDifferential, GlyphsTooLargeToRenderWholeMatchFreeTypeWhereTheyMeetTheSurface) {
    // Bitmaps over four million pixels are rendered in strips where they meet
    // the surface; coverage at a strip's edge may differ by a level or two.
    const std::string& path = TestSupport::FontPath();
    std::mt19937 random(7122026);
    auto uniform = [&](float low, float high) { return std::uniform_real_distribution<float>(low, high)(random); };
    int inked = 0, exact = 0;
    const int rounds = 48;
    for (int round = 0; round < rounds; ++round) {
        TestSupport::Surface surface(40, 30), expected(40, 30);
        auto context = std::make_shared<Context2D>(surface.surface);
        const bool yDown = round % 2;
        context->renderState->origin = yDown ? Origin::TopLeft : Origin::BottomLeft;
        // About 3000 pixels a side, the surface within the glyph's box.
        const float angle = uniform(-0.3f, 0.3f), scale = uniform(250, 300);
        const float c = scale * std::cos(angle), s = scale * std::sin(angle);
        const Matrix3 m{{c, s, 0, -s, c, 0, uniform(-2800, 0), yDown ? uniform(0, 2800) : uniform(-2800, 0), 1}};
        context->transforms->glyph->Set(m);
        const std::u32string codes(1, char32_t("OWS&@"[round % 5]));
        const std::string text(codes.begin(), codes.end());
        Font font(context, path.c_str(), 12);
        ReferenceText reference(path, 12);
        font.DrawString(0, 0, text.c_str(), Color{1, 0.5f, 0.25f, 1});
        reference.Draw(expected, yDown, m, 0, 0, codes, Color{1, 0.5f, 0.25f, 1});
        for (size_t i = 0; i < surface.memory.size(); ++i)
            ASSERT_LE(std::abs(surface.memory[i] - expected.memory[i]), 2) << "round " << round << " byte " << i;
        inked += surface.memory != std::vector<uint8_t>(surface.memory.size(), 0);
        exact += surface.memory == expected.memory;
    }
    EXPECT_GE(inked, rounds / 8);
    EXPECT_GT(exact, rounds / 2);
}

TEST(FontDifferential, Utf8DecodesAsTheCodePointsDrawnOneByOne) {
    // Every malformed sequence is one U+FFFD taking the longest prefix of a
    // well-formed sequence, or one byte; the byte that breaks a sequence
    // starts the next.
    const char32_t R = 0xFFFD;
    const struct { const char* text; std::u32string codes; } rows[] = {
        {"\xF4\x8F\xBF\xBF|\xF4\x90\x80\x80", {0x10FFFF, '|', R, R, R, R}},
        {"\xED\x9F\xBF|\xED\xA0\x80|\xED\xBF\xBF|\xEE\x80\x80", {0xD7FF, '|', R, R, R, '|', R, R, R, '|', 0xE000}},
        // Overlong forms.
        {"\xC0\x80|\xC1\xBF|\xE0\x9F\xBF|\xF0\x8F\xBF\xBF", {R, R, '|', R, R, '|', R, R, R, '|', R, R, R, R}},
        // Cut short, by another character or by the end.
        {"\xE2\x82" "A\xF0\x9F\x98" "B\xC3", {R, 'A', R, 'B', R}},
        // Stray continuation bytes and bytes that begin nothing.
        {"\x80\xBF" "A\xF5\x80\xFE\xFF", {R, R, 'A', R, R, R, R}},
    };
    const std::string& path = TestSupport::FontPath();
    ReferenceText reference(path, 11);
    for (const auto& row : rows) {
        TestSupport::Surface surface(420, 20), expected(420, 20);
        auto context = std::make_shared<Context2D>(surface.surface);
        context->renderState->origin = Origin::TopLeft;
        Font font(context, path.c_str(), 11);
        EXPECT_EQ(font.MeasureStringUtf8(row.text), reference.Measure(row.codes, Matrix3::Identity, true)) << row.text;
        font.DrawStringUtf8(2, 14, row.text, Color{0.1f, 0.2f, 0.7f, 1});
        reference.Draw(expected, true, Matrix3::Identity, 2, 14, row.codes, Color{0.1f, 0.2f, 0.7f, 1});
        EXPECT_EQ(surface.memory, expected.memory) << row.text;
    }
}
