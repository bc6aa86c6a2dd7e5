// Fonts: random text against FreeType called directly and the blend table written out here, worked
// figures of colour, hostile inputs and the glyph cache's bound.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "TestSupport.hpp"
#include "common/Internals.hpp"
#include "text/GlyphCache.hpp"

using namespace ORV::Vudadive2R;
using TestSupport::FontPath;
using TestSupport::Surface;

namespace {

const Color kWhite{1, 1, 1, 1};

struct TextCanvas {
    TextCanvas(int width, int height, int size, Origin origin = Origin::TopLeft)
        : surface(width, height), context(std::make_shared<Context2D>(surface.surface)),
          font(context, FontPath().c_str(), size) {
        context->renderState->origin = origin;
    }
    Transform& Glyph() { return *context->transforms->glyph; }
    bool Blank() { return surface.memory == std::vector<uint8_t>(surface.memory.size(), 0); }

    Surface surface;
    std::shared_ptr<Context2D> context;
    Font font;
};

}  // namespace

TEST(Font, ColourBytesAtFullCoverage) {
    // Checked where opaque white over transparent gives alpha 255 (full
    // coverage) or 0 (the backdrop kept).
    TextCanvas mask(40, 44, 40);
    mask.font.DrawString(4, 36, "l", kWhite);
    struct Case { Color color; uint32_t backdrop, expected; } const cases[] = {
        {{1.5f, -0.5f, 1, 1}, 0x10203040, 0x7E00FFFF},    // 382 mod 256 = 126; negative gives 0
        {{0, 0, 0, 0.5f}, 0xFFFFFFFF, 0x808080FF},        // t = 127: 255 x 129 >> 8 = 128
        {{1, 1, 1, 0.5f}, 0x00000000, 0x7E7E7E7F},        // 255 x 127 >> 8 = 126, alpha 127
    };
    for (const Case& c : cases) {
        TextCanvas canvas(40, 44, 40);
        canvas.surface.Fill(c.backdrop >> 24, c.backdrop >> 16 & 255, c.backdrop >> 8 & 255, c.backdrop & 255);
        canvas.font.DrawString(4, 36, "l", c.color);
        int full = 0;
        for (int y = 0; y < 44; ++y)
            for (int x = 0; x < 40; ++x) {
                const uint8_t coverage = mask.surface.Pixel(x, y)[3];
                full += coverage == 255;
                if (coverage == 255 || coverage == 0) {
                    ASSERT_EQ(canvas.surface.Rgba(x, y), coverage ? c.expected : c.backdrop) << std::hex << c.expected;
                }
            }
        ASSERT_GT(full, 20);
    }
}

TEST(Font, HostileTransformsPensAndSizes) {
    // Conversions must stay in range (the sanitizer build checks); text out of reach draws nothing.
    const float nan = NAN, inf = INFINITY;
    struct Case { Matrix3 glyph; int x, y, size; bool mayInk; } const cases[] = {
        {{{1e30f, 0, 0, 0, 1e30f, 0, 0, 0, 1}}, 5, 20, 14, true},
        {{{-1e30f, 1e30f, 0, -1e30f, 1, 0, 0, 0, 1}}, 5, 20, 14, true},
        {{{nan, nan, 0, nan, nan, 0, 0, 0, 1}}, 5, 20, 14, false},
        {{{1, 0, 0, 0, 1, 0, nan, nan, 1}}, 5, 20, 14, false},
        {{{1, 0, 0, 0, 1, 0, -inf, 1e30f, 1}}, 5, 20, 14, false},
        {Matrix3::Identity, INT_MAX, 20, 14, false},
        {Matrix3::Identity, INT_MIN, INT_MIN, 14, false},
        {Matrix3::Identity, 0, 12, 1, true},
    };
    for (const Origin origin : {Origin::TopLeft, Origin::BottomLeft})
        for (const Case& c : cases) {
            TextCanvas canvas(32, 32, c.size, origin);
            canvas.Glyph().Set(c.glyph);
            canvas.font.MeasureString("Wide text");
            canvas.font.DrawString(c.x, c.y, "Wide text", kWhite);
            EXPECT_TRUE(c.mayInk || canvas.Blank()) << c.x << " " << c.glyph.M[6];
            EXPECT_EQ(canvas.font.Height(), canvas.font.Ascender() - canvas.font.Descender());
        }

    // Sizes under one pixel, sizes whose 26.6 value wraps and sizes FreeType cannot scale to are refused
    // (the sanitized run checks that the opened face is closed).
    for (const int size : {0, -5, INT_MIN, INT_MAX, 33554432, 100000})
        EXPECT_THROW(TextCanvas(32, 32, size), ArgumentOutOfRangeException) << size;

    // Stretched 4000 times, "A" fails to load while "." fits: "A" neither draws nor moves the pen.
    TextCanvas skipped(30, 30, 12), alone(30, 30, 12);
    for (TextCanvas* canvas : {&skipped, &alone}) {
        canvas->Glyph().Scale(1, 4000);
        canvas->Glyph().Translate(5, 29);
    }
    EXPECT_EQ(skipped.font.MeasureString("A.A"), alone.font.MeasureString("."));
    skipped.font.DrawString(0, 0, "A.A", kWhite);
    alone.font.DrawString(0, 0, ".", kWhite);
    EXPECT_EQ(skipped.surface.memory, alone.surface.memory);
    EXPECT_FALSE(alone.Blank());
}

TEST(Font, NamesMatchAsFcMatchChooses) {
    Surface surface(60, 20), fromFile(60, 20);
    auto context = std::make_shared<Context2D>(surface.surface);
    context->renderState->origin = Origin::TopLeft;
    for (const char* pattern : {"DejaVu Sans", "DejaVu Sans:bold", "DejaVu Serif:italic", "monospace",
                                "sans-serif:weight=200", "A Family Nobody Installed"}) {
        std::string expected;
        if (FILE* pipe = popen(("fc-match -f '%{file}|%{index}' '" + std::string(pattern) + "' 2>/dev/null").c_str(),
                               "r")) {
            char buffer[4096];
            expected.assign(buffer, std::fread(buffer, 1, sizeof buffer, pipe));
            pclose(pipe);
        }
        Font font(context, FontName{pattern}, 14);
        if (!expected.empty()) {
            EXPECT_EQ(font.FileName() + "|" + std::to_string(font.FaceIndex()), expected) << pattern;
        }
    }
    // A font by name draws what the font of its file draws, through the C interface too.
    orv_context2D handle = orv_context2D_create(surface.surface);
    orv_render_state_origin_set(orv_context2D_render_state_get(handle), ORV_ORIGIN_TOP_LEFT);
    orv_font byName = orv_font_create_from_name(handle, "DejaVu Sans", 13);
    ASSERT_NE(byName, nullptr);
    orv_font_draw_string(byName, 2, 15, "Name", 1, 1, 1, 1);
    auto fileContext = std::make_shared<Context2D>(fromFile.surface);
    fileContext->renderState->origin = Origin::TopLeft;
    Font(fileContext, orv_font_file_name_get(byName), 13).DrawString(2, 15, "Name", kWhite);
    EXPECT_EQ(surface.memory, fromFile.memory);
    EXPECT_NE(surface.memory, std::vector<uint8_t>(surface.memory.size(), 0));
    EXPECT_THROW(orv_font_create_from_name(handle, nullptr, 13), ArgumentNullException);
    EXPECT_THROW(orv_font_create_from_name(handle, "DejaVu Sans", 0), ArgumentOutOfRangeException);
    orv_font_destroy(byName);
    orv_context2D_destroy(handle);
}

TEST(Font, BadFilesNamesAndTexts) {
    const std::string notFont = TestSupport::TempPath("not-a-font.ttf");
    const std::string truncated = TestSupport::TempPath("truncated.ttf");
    std::ofstream(notFont) << "plain text, not a font\n";
    std::vector<char> head(1000);
    std::ifstream(FontPath(), std::ios::binary).read(head.data(), 1000);
    std::ofstream(truncated, std::ios::binary).write(head.data(), 1000);
    TextCanvas canvas(4, 4, 12);
    const std::shared_ptr<Context2D>& context = canvas.context;
    for (const std::string& path : {std::string(), notFont, truncated, std::string(VUDADIVE2R_TEST_TMPDIR)}) {
        const std::string printed =
            TestSupport::CaptureStdout([&] { EXPECT_THROW(Font(context, path.c_str(), 12), Exception) << path; });
        EXPECT_EQ(printed, "FT_New_Face failed.\n") << path;
    }
    EXPECT_THROW(Font(context, nullptr, 12), std::logic_error);
    EXPECT_THROW(Font(nullptr, FontPath().c_str(), 12), ArgumentNullException);
    EXPECT_THROW(canvas.font.MeasureString(nullptr), ArgumentNullException);
    EXPECT_THROW(canvas.font.DrawString(0, 0, nullptr, kWhite), ArgumentNullException);
    EXPECT_THROW(canvas.font.MeasureStringUtf8(nullptr), ArgumentNullException);
    EXPECT_THROW(canvas.font.DrawStringUtf8(0, 0, nullptr, kWhite), ArgumentNullException);

    // Surfaces that cannot take text are left alone.
    Surface unsupported(8, 8, TestSupport::kRA24);
    unsupported.Fill(1, 2, 3, 4);
    const std::vector<uint8_t> before = unsupported.memory;
    Font onUnsupported(std::make_shared<Context2D>(unsupported.surface), FontPath().c_str(), 12);
    EXPECT_THROW(onUnsupported.DrawString(0, 8, "x", kWhite), InvalidOperationException);
    EXPECT_EQ(unsupported.memory, before);
    EXPECT_EQ(orv_surface_sync_start_count_get(unsupported.surface), 0);
    orv_surface* unmapped = orv_surface_create_for_data(8, 8, TestSupport::kAB24, 32, nullptr);
    Font(std::make_shared<Context2D>(unmapped), FontPath().c_str(), 12).DrawString(0, 8, "x", kWhite);
    orv_surface_destroy(unmapped);
}

TEST(Font, OneBitBitmapFontsAreReadBitByBit) {
    // A BDF font whose glyph is an 8 x 8 frame: one byte per row, not eight.
    const std::string path = TestSupport::TempPath("frame.bdf");
    std::ofstream(path) << "STARTFONT 2.1\nFONT -test-frame-medium-r-normal--8-80-75-75-c-80-iso8859-1\n"
                           "SIZE 8 75 75\nFONTBOUNDINGBOX 8 8 0 0\nSTARTPROPERTIES 2\nFONT_ASCENT 8\n"
                           "FONT_DESCENT 0\nENDPROPERTIES\nCHARS 1\nSTARTCHAR frame\nENCODING 65\n"
                           "SWIDTH 500 0\nDWIDTH 8 0\nBBX 8 8 0 0\nBITMAP\nFF\n81\n81\n81\n81\n81\n81\nFF\n"
                           "ENDCHAR\nENDFONT\n";
    Surface surface(10, 10);
    auto context = std::make_shared<Context2D>(surface.surface);
    context->renderState->origin = Origin::TopLeft;
    Font(context, path.c_str(), 8).DrawString(1, 8, "A", Color{1, 0, 0, 1});
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool frame = y <= 7 && x >= 1 && x <= 8 && (y == 0 || y == 7 || x == 1 || x == 8);
            ASSERT_EQ(surface.Rgba(x, y), frame ? 0xFF0000FFu : 0u) << x << ", " << y;
        }
}

TEST(Font, HugeGlyphsBesideOrOverTheSurfaceDrawInBoundedTime) {
    // Found by fuzzing. Beside the surface: bitmaps of some 10^8 pixels that
    // could not meet it, 7 s instrumented for 30 glyphs. Over it: the stem of
    // an "I" 4277 x 32400 pixels was rendered whole, 140 MB; it covers the
    // surface. Slivers 2 x 36 069 pixels, 400 rows apart, each rendered whole
    // in 90 ms (FreeType's time grows with the square of the height), 2.4 s.
    struct Case { int size; Matrix3 glyph; int x, y, draws; const char* text; uint8_t expected; } const cases[] = {
        {32, {{461.8125f, 421.78125f, 0, 181.8125f, 389.703125f, 0, 217.796875f, 360.765625f, 1}}, 8248, 13623, 1,
         "8 TBOUNDINGBOX 8 8 0 -1", 0},
        {12, {{3600, 0, 0, 0, 3600, 0, -6000, 10000, 1}}, 0, 0, 8, "I", 255},
        {1, {{1.52118072e31f, 400, 0, -0.015625f, -411206.25f, 0, -1.67945032e-20f, -391.484375f, 1}}, 0, 0, 2,
         "\x17" "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", 0},
    };
    for (const Case& c : cases) {
        TextCanvas canvas(40, 45, c.size);
        canvas.Glyph().Set(c.glyph);
        const auto start = std::chrono::steady_clock::now();
        canvas.font.MeasureString(c.text);
        for (int i = 0; i < c.draws; ++i)
            canvas.font.DrawString(c.x, c.y, c.text, kWhite);
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 1.0) << c.text;
        EXPECT_EQ(canvas.surface.memory, std::vector<uint8_t>(canvas.surface.memory.size(), c.expected)) << c.text;
    }
}

TEST(GlyphCache, HundredThousandDistinctGlyphsStayWithinTheBound) {
    // Code points from U+0001 up, 400 to a line: most load the face's box, each a glyph of its own.
    TextCanvas canvas(4096, 12, 9);
    const GlyphCache& cache = *Internals::GlyphCacheOf(canvas.font);
    char32_t code = 1;
    for (int drawn = 0; drawn < 100000;) {
        std::u32string line;
        for (int n = 0; n < 400; ++n, ++drawn, ++code)
            line += code == 0xD800 ? (code = 0xE000) : code;
        canvas.font.DrawStringUtf8(0, 10, TestSupport::Utf8Of(line).c_str(), kWhite);
        ASSERT_LE(cache.Bytes(), Font::GlyphCacheBound) << "after U+" << std::hex << code;
    }
    // Full, and evicting: the last glyphs are all held, the first are gone.
    EXPECT_GT(cache.Bytes(), Font::GlyphCacheBound / 2);
    EXPECT_GT(cache.GlyphCount(), size_t(5000));
    EXPECT_LT(cache.GlyphCount(), size_t(100000));
}

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
        const auto randomMatrix = [&] {  // moved, then mostly turned and sheared, then scaled
            Matrix3 m = Matrix3::CreateTranslation(uniform(-10, 10), uniform(-10, 10)), shear = Matrix3::Identity;
            if (integer(0, 2) != 0) {
                Matrix3::Multiply(m, Matrix3::CreateRotation(uniform(-3.2f, 3.2f)), m);
                shear.M[3] = uniform(-0.8f, 0.8f);
                Matrix3::Multiply(shear, m, m);
            }
            Matrix3::Multiply(m, Matrix3::CreateScale(uniform(0.3f, 2.5f), uniform(0.3f, 2.5f)), m);
            return m;
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
        const bool yDown = round % 2;
        TextCanvas canvas(40, 30, 12, yDown ? Origin::TopLeft : Origin::BottomLeft);
        Surface& surface = canvas.surface, expected(40, 30);
        // About 3000 pixels a side, the surface within the glyph's box.
        const float angle = uniform(-0.3f, 0.3f), scale = uniform(250, 300);
        const float c = scale * std::cos(angle), s = scale * std::sin(angle);
        const Matrix3 m{{c, s, 0, -s, c, 0, uniform(-2800, 0), yDown ? uniform(0, 2800) : uniform(-2800, 0), 1}};
        canvas.Glyph().Set(m);
        const std::u32string codes(1, char32_t("OWS&@"[round % 5]));
        const std::string text(codes.begin(), codes.end());
        ReferenceText reference(path, 12);
        canvas.font.DrawString(0, 0, text.c_str(), Color{1, 0.5f, 0.25f, 1});
        reference.Draw(expected, yDown, m, 0, 0, codes, Color{1, 0.5f, 0.25f, 1});
        for (size_t i = 0; i < surface.memory.size(); ++i)
            ASSERT_LE(std::abs(surface.memory[i] - expected.memory[i]), 2) << "round " << round << " byte " << i;
        inked += !canvas.Blank();
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
        TextCanvas canvas(420, 20, 11);
        Surface expected(420, 20);
        EXPECT_EQ(canvas.font.MeasureStringUtf8(row.text), reference.Measure(row.codes, Matrix3::Identity, true))
            << row.text;
        canvas.font.DrawStringUtf8(2, 14, row.text, Color{0.1f, 0.2f, 0.7f, 1});
        reference.Draw(expected, true, Matrix3::Identity, 2, 14, row.codes, Color{0.1f, 0.2f, 0.7f, 1});
        EXPECT_EQ(canvas.surface.memory, expected.memory) << row.text;
    }
}
