// Fonts: the worked figures of text placement and colour, and hostile
// inputs. Byte-exact agreement with FreeType over random text is the
// differential test's job.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "FontLookup.hpp"
#include "TestSupport.hpp"

using namespace ORV::Vudadive2R;
using TestSupport::Surface;

namespace {

const std::string& FontPath() {
    static const std::string path = DejaVuSansPath();
    return path;
}

// A surface with its context, its glyph transform and a DejaVu Sans font.
struct TextCanvas {
    TextCanvas(int width, int height, int size, Origin origin = Origin::TopLeft, int stride = 0)
        : surface(width, height, TestSupport::kAB24, stride), context(std::make_shared<Context2D>(surface.surface)) {
        context->renderState->origin = origin;
        font.reset(new Font(context, FontPath().c_str(), size));
    }
    Transform& Glyph() { return *context->transforms->glyph; }
    // Memory rows holding any written byte, as [first, last]; {-1, -1} if none.
    std::pair<int, int> InkRows() {
        int first = -1, last = -1;
        for (int row = 0; row < surface.height; ++row)
            for (int column = 0; column < surface.width; ++column)
                if (surface.Rgba(column, row) != 0) {
                    first = first < 0 ? row : first;
                    last = row;
                }
        return {first, last};
    }

    Surface surface;
    std::shared_ptr<Context2D> context;
    std::unique_ptr<Font> font;
};

const Color kWhite{1, 1, 1, 1};

// Angle of the principal axis of the ink, weighted by alpha, in (column,
// memory row) coordinates.
double InkAngle(Surface& surface) {
    double sum = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (int row = 0; row < surface.height; ++row)
        for (int column = 0; column < surface.width; ++column) {
            const double w = surface.Pixel(column, row)[3];
            sum += w, sx += w * column, sy += w * row;
            sxx += w * column * column, syy += w * row * row, sxy += w * column * row;
        }
    const double mx = sx / sum, my = sy / sum;
    return 0.5 * std::atan2(2 * (sxy / sum - mx * my), (sxx / sum - mx * mx) - (syy / sum - my * my));
}

}  // namespace

class FontTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(FontPath().empty()) << "DejaVu Sans not found"; }
};

TEST_F(FontTest, MeasureKeepsFractionsWhileThePenMovesByWholePixels) {
    // Scaled by 1.3 the hinted advance of "i" has a fraction.
    TextCanvas both(60, 30, 20), parts(60, 30, 20);
    both.Glyph().Scale(1.3f, 1.3f);
    const float advance = both.font->MeasureString("i");
    ASSERT_NE(advance, std::floor(advance));
    EXPECT_EQ(both.font->MeasureString("ii"), 2 * advance);

    both.font->DrawString(2, 18, "ii", kWhite);
    parts.Glyph().Scale(1.3f, 1.3f);
    parts.font->DrawString(2, 18, "i", kWhite);
    parts.Glyph().Translate(std::floor(advance), 0);
    parts.font->DrawString(2, 18, "i", kWhite);
    EXPECT_EQ(both.surface.memory, parts.surface.memory);
    EXPECT_NE(both.InkRows().first, -1);
}

TEST_F(FontTest, GlyphTranslationMovesTheTextByWholePixels) {
    TextCanvas plain(80, 30, 16), moved(80, 30, 16);
    moved.Glyph().Translate(10, 0);
    plain.font->DrawString(3, 20, "Text", kWhite);
    moved.font->DrawString(3, 20, "Text", kWhite);
    for (int row = 0; row < 30; ++row)
        for (int column = 0; column < 80; ++column)
            ASSERT_EQ(moved.surface.Rgba(column, row), column < 10 ? 0 : plain.surface.Rgba(column - 10, row));
    EXPECT_NE(plain.InkRows().first, -1);
}

TEST_F(FontTest, ColourBytesAtFullCoverage) {
    // Opaque white over transparent leaves alpha 255 exactly where coverage is
    // 255 (partial coverage c gives alpha c): those pixels are checked.
    TextCanvas mask(40, 44, 40);
    mask.font->DrawString(4, 36, "l", kWhite);
    std::vector<std::pair<int, int>> full, uncovered;
    for (int row = 0; row < 44; ++row)
        for (int column = 0; column < 40; ++column) {
            const uint8_t alpha = mask.surface.Pixel(column, row)[3];
            if (alpha == 255)
                full.push_back({column, row});
            else if (alpha == 0)
                uncovered.push_back({column, row});
        }
    ASSERT_GT(full.size(), 20u);

    struct Case {
        Color color;
        uint32_t backdrop;
        uint32_t expected;
    };
    const Case cases[] = {
        {{0.2f, 0.4f, 0.6f, 1}, 0x10203040, 0x336699FF},  // written exactly
        {{1.5f, -0.5f, 1, 1}, 0x10203040, 0x7E00FFFF},    // 382 mod 256 = 126; negative gives 0
        {{1, 0, 0, 0}, 0x10203040, 0x10203040},           // alpha 0 draws nothing
        {{0, 0, 0, 0.5f}, 0xFFFFFFFF, 0x808080FF},        // t = 127: 255 x 129 >> 8 = 128
        {{1, 1, 1, 0.5f}, 0x00000000, 0x7E7E7E7F},        // 255 x 127 >> 8 = 126, alpha 127
    };
    for (const Case& c : cases) {
        TextCanvas canvas(40, 44, 40);
        canvas.surface.Fill(uint8_t(c.backdrop >> 24), uint8_t(c.backdrop >> 16), uint8_t(c.backdrop >> 8),
                            uint8_t(c.backdrop));
        canvas.font->DrawString(4, 36, "l", c.color);
        for (auto p : full)
            ASSERT_EQ(canvas.surface.Rgba(p.first, p.second), c.expected) << std::hex << c.expected;
        for (auto p : uncovered)
            ASSERT_EQ(canvas.surface.Rgba(p.first, p.second), c.backdrop);
    }
}

TEST_F(FontTest, BottomLeftTextLandsAboveMemoryRow89Upright) {
    // y = 10 on 100 rows is memory row 89; glyph rows run down in memory as
    // with the top-left origin at y = 89, so the two draw the same bytes.
    TextCanvas bottomLeft(60, 100, 20, Origin::BottomLeft), topLeft(60, 100, 20, Origin::TopLeft);
    bottomLeft.font->DrawString(2, 10, "Hp", kWhite);
    topLeft.font->DrawString(2, 89, "Hp", kWhite);
    EXPECT_EQ(bottomLeft.surface.memory, topLeft.surface.memory);
    // H stands above the baseline, the descender of p hangs below it.
    const std::pair<int, int> rows = bottomLeft.InkRows();
    EXPECT_GE(rows.first, 89 - int(bottomLeft.font->Ascender()));
    EXPECT_LT(rows.first, 89 - 10);
    EXPECT_GT(rows.second, 89);
    EXPECT_LE(rows.second, 89 - int(std::floor(bottomLeft.font->Descender())));
}

TEST_F(FontTest, RotatedGlyphsFollowTheirBaselineUnderBothOrigins) {
    // A rotation turns from +x toward +y: on the screen (memory row 0 at the
    // top) that is clockwise with y down and counter-clockwise with y up.
    for (const Origin origin : {Origin::TopLeft, Origin::BottomLeft}) {
        for (const float angle : {0.4f, -0.7f}) {
            const double expected = origin == Origin::TopLeft ? angle : -angle;
            const int y = origin == Origin::TopLeft ? 90 : 110;
            TextCanvas line(200, 200, 60, origin), glyph(200, 200, 60, origin);
            // The pen starts where the glyph transform maps (0, 0).
            for (TextCanvas* canvas : {&line, &glyph}) {
                canvas->Glyph().Rotate(angle);
                canvas->Glyph().Translate(40, float(y));
            }
            // A line of underscores shows where the pen went, one underscore
            // how the glyphs lean. The pen's whole-pixel steps bend the line
            // a little: large glyphs keep that within the tolerance.
            line.font->DrawString(0, 0, "_____", kWhite);
            glyph.font->DrawString(0, 0, "_", kWhite);
            EXPECT_NEAR(InkAngle(line.surface), expected, 0.03) << int(origin) << " " << angle;
            EXPECT_NEAR(InkAngle(glyph.surface), expected, 0.03) << int(origin) << " " << angle;
        }
    }
}

TEST_F(FontTest, SurfacesThatCannotTakeTextAreLeftAlone) {
    Surface unsupported(8, 8, TestSupport::kRA24);
    unsupported.Fill(1, 2, 3, 4);
    const std::vector<uint8_t> before = unsupported.memory;
    auto context = std::make_shared<Context2D>(unsupported.surface);
    Font font(context, FontPath().c_str(), 12);
    EXPECT_THROW(font.DrawString(0, 8, "x", kWhite), InvalidOperationException);
    EXPECT_EQ(unsupported.memory, before);
    EXPECT_EQ(orv_surface_sync_start_count_get(unsupported.surface), 0);

    // Memory that could not be mapped: nothing to write into.
    orv_surface* unmapped = orv_surface_create_for_data(8, 8, TestSupport::kAB24, 32, nullptr);
    {
        Font onUnmapped(std::make_shared<Context2D>(unmapped), FontPath().c_str(), 12);
        onUnmapped.DrawString(0, 8, "x", kWhite);
    }
    orv_surface_destroy(unmapped);
}

TEST_F(FontTest, HostileTransformsAndPensConvertSafely) {
    struct Case {
        const char* name;
        Matrix3 glyph;
        int x, y;
        bool mayInk;  // whether FreeType's rendering may still land pixels inside
    };
    const float nan = NAN, inf = INFINITY;
    const Case cases[] = {
        {"scale 1e30", {{1e30f, 0, 0, 0, 1e30f, 0, 0, 0, 1}}, 5, 20, true},
        {"scale -1e30 with shear", {{-1e30f, 1e30f, 0, -1e30f, 1, 0, 0, 0, 1}}, 5, 20, true},
        {"NaN matrix", {{nan, nan, 0, nan, nan, 0, 0, 0, 1}}, 5, 20, false},
        {"translation by NaN", {{1, 0, 0, 0, 1, 0, nan, nan, 1}}, 5, 20, false},
        {"translation by 1e30", {{1, 0, 0, 0, 1, 0, 1e30f, -1e30f, 1}}, 5, 20, false},
        {"translation by infinity", {{1, 0, 0, 0, 1, 0, -inf, inf, 1}}, 5, 20, false},
        {"pen far right", Matrix3::Identity, INT_MAX, 20, false},
        {"pen far left and down", Matrix3::Identity, INT_MIN, INT_MIN, false},
        {"pen far up", Matrix3::Identity, 0, INT_MAX, false},
    };
    for (const Origin origin : {Origin::TopLeft, Origin::BottomLeft}) {
        for (const Case& c : cases) {
            TextCanvas canvas(32, 32, 14, origin);
            canvas.Glyph().Set(c.glyph);
            canvas.font->MeasureString("Wide text");
            canvas.font->DrawString(c.x, c.y, "Wide text", kWhite);
            if (!c.mayInk) {
                EXPECT_EQ(canvas.InkRows().first, -1) << c.name;
            }
        }
    }
}

TEST_F(FontTest, FilesThatAreNotFontsThrow) {
    const std::string notFont = TestSupport::TempPath("not-a-font.ttf");
    const std::string truncated = TestSupport::TempPath("truncated.ttf");
    std::ofstream(notFont) << "plain text, not a font\n";
    {
        std::ifstream in(FontPath(), std::ios::binary);
        std::vector<char> head(1000);
        in.read(head.data(), std::streamsize(head.size()));
        std::ofstream(truncated, std::ios::binary).write(head.data(), std::streamsize(head.size()));
    }
    Surface surface(4, 4);
    auto context = std::make_shared<Context2D>(surface.surface);
    for (const std::string& path : {std::string(), notFont, truncated, std::string(VUDADIVE2R_TEST_TMPDIR),
                                    TestSupport::TempPath("missing.ttf")}) {
        const std::string printed = TestSupport::CaptureStdout([&] {
            EXPECT_THROW(Font(context, path.c_str(), 12), Exception) << path;
        });
        EXPECT_EQ(printed, "FT_New_Face failed.\n") << path;
    }
    EXPECT_THROW(Font(context, nullptr, 12), std::logic_error);
    EXPECT_THROW(Font(nullptr, FontPath().c_str(), 12), ArgumentNullException);

    Font font(context, FontPath().c_str(), 12);
    const std::string printed = TestSupport::CaptureStdout([&] {
        EXPECT_THROW(font.MeasureString(nullptr), ArgumentNullException);
        EXPECT_THROW(font.DrawString(0, 0, nullptr, kWhite), ArgumentNullException);
    });
    EXPECT_EQ(printed, "");
}

TEST_F(FontTest, CharactersThatCannotBeRenderedAreSkipped) {
    // Stretched 4000 times, "A" outgrows what FreeType renders and fails to
    // load; "." still fits. The pen must not move for the "A".
    TextCanvas skipped(30, 30, 12), alone(30, 30, 12);
    for (TextCanvas* canvas : {&skipped, &alone}) {
        canvas->Glyph().Scale(1, 4000);
        canvas->Glyph().Translate(5, 29);
    }
    EXPECT_EQ(skipped.font->MeasureString("A.A"), alone.font->MeasureString("."));
    skipped.font->DrawString(0, 0, "A.A", kWhite);
    alone.font->DrawString(0, 0, ".", kWhite);
    EXPECT_EQ(skipped.surface.memory, alone.surface.memory);
    EXPECT_NE(alone.InkRows().first, -1);

    // Sizes FreeType refuses or wraps, and sizes below one pixel.
    for (const int size : {100000, INT_MAX, INT_MIN, 0, -5}) {
        TextCanvas canvas(16, 16, size);
        canvas.font->MeasureString("Wg");
        canvas.font->DrawString(0, 12, "Wg", kWhite);
        EXPECT_EQ(canvas.font->Height(), canvas.font->Ascender() - canvas.font->Descender());
    }
}

TEST_F(FontTest, OneBitBitmapFontsAreReadBitByBit) {
    // A BDF font whose glyph is an 8 x 8 frame, one byte per row.
    const std::string path = TestSupport::TempPath("frame.bdf");
    std::ofstream(path) << "STARTFONT 2.1\nFONT -test-frame-medium-r-normal--8-80-75-75-c-80-iso8859-1\n"
                           "SIZE 8 75 75\nFONTBOUNDINGBOX 8 8 0 0\nSTARTPROPERTIES 2\nFONT_ASCENT 8\n"
                           "FONT_DESCENT 0\nENDPROPERTIES\nCHARS 1\nSTARTCHAR frame\nENCODING 65\n"
                           "SWIDTH 500 0\nDWIDTH 8 0\nBBX 8 8 0 0\nBITMAP\nFF\n81\n81\n81\n81\n81\n81\nFF\n"
                           "ENDCHAR\nENDFONT\n";
    Surface surface(10, 10);
    auto context = std::make_shared<Context2D>(surface.surface);
    context->renderState->origin = Origin::TopLeft;
    Font font(context, path.c_str(), 8);
    font.DrawString(1, 8, "A", Color{1, 0, 0, 1});
    for (int row = 0; row < 10; ++row)
        for (int column = 0; column < 10; ++column) {
            const bool frame = row <= 7 && column >= 1 && column <= 8 &&
                               (row == 0 || row == 7 || column == 1 || column == 8);
            ASSERT_EQ(surface.Rgba(column, row), frame ? 0xFF0000FFu : 0u) << column << ", " << row;
        }
}

TEST_F(FontTest, FontsMayBeConstructedFromSeveralThreadsAtOnce) {
    // In a fresh process this races the creation of the shared FreeType
    // handle too: a second handle would be reported as a leak.
    Surface surface(4, 4);
    auto context = std::make_shared<Context2D>(surface.surface);
    std::vector<std::thread> threads;
    std::vector<float> heights(4);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int k = 0; k < 20; ++k)
                heights[size_t(t)] = Font(context, FontPath().c_str(), 10 + t).Height();
        });
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 0; t < 4; ++t)
        EXPECT_EQ(heights[size_t(t)], Font(context, FontPath().c_str(), 10 + t).Height());
}

TEST_F(FontTest, CInterfaceReachesTheSameFont) {
    Surface viaC(40, 20), viaClass(40, 20);
    orv_context2D context = orv_context2D_create(viaC.surface);
    orv_render_state_origin_set(orv_context2D_render_state_get(context), 1);
    orv_transform_rotate(orv_transforms_glyph(orv_context2D_transforms_get(context)), 0.2f);
    orv_font font = orv_font_create(context, FontPath().c_str(), 14);
    orv_context2D_destroy(context);  // the font keeps the context alive

    auto classContext = std::make_shared<Context2D>(viaClass.surface);
    classContext->renderState->origin = Origin::TopLeft;
    classContext->transforms->glyph->Rotate(0.2f);
    Font classFont(classContext, FontPath().c_str(), 14);

    EXPECT_EQ(orv_font_height_get(font), classFont.Height());
    EXPECT_EQ(orv_font_ascender_get(font), classFont.Ascender());
    EXPECT_EQ(orv_font_descender_get(font), classFont.Descender());
    EXPECT_EQ(orv_font_measure_string(font, "C text"), classFont.MeasureString("C text"));
    orv_font_draw_string(font, 2, 14, "C text", 0.9f, 0.3f, 0.1f, 0.8f);
    classFont.DrawString(2, 14, "C text", Color{0.9f, 0.3f, 0.1f, 0.8f});
    EXPECT_EQ(viaC.memory, viaClass.memory);
    EXPECT_THROW(orv_font_measure_string(font, nullptr), ArgumentNullException);
    EXPECT_THROW(orv_font_create(nullptr, FontPath().c_str(), 12), ArgumentNullException);
    orv_font_destroy(font);
    orv_font_destroy(nullptr);
}
