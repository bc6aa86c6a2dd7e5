// Colour glyphs of shaped text (an emoji font's bitmaps), drawn as images:
// against the composition of public operations built here from FreeType's
// own bitmaps, through both interfaces.
#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "DrawSupport.hpp"
#include "PlainGlyphs.hpp"
#include "RoadScenes.hpp"
#include "TestSupport.hpp"
#include "common/Internals.hpp"
#include "pipeline/PathStorage.hpp"
#include "text/ColorGlyphs.hpp"
#include "text/TextFaces.hpp"

using namespace ORV::Vudadive2R;

namespace {

// Emoji that no outline font installed here has, so fallback takes the colour font.
const char kRocket[] = "\xF0\x9F\x9A\x80";
const char kUnicorn[] = "\xF0\x9F\xA6\x84";
const char kPizza[] = "\xF0\x9F\x8D\x95";
const char kRainbow[] = "\xF0\x9F\x8C\x88";
const char kParty[] = "\xF0\x9F\x8E\x89";

std::shared_ptr<Context2D> Scratch() {
    static TestSupport::Surface surface(4, 4);
    static const std::shared_ptr<Context2D> context = std::make_shared<Context2D>(surface.surface);
    return context;
}

// FreeType's own reading of the fonts a run draws from, apart from the library's.
class PlainFaces {
public:
    PlainFaces() { FT_Init_FreeType(&library); }
    ~PlainFaces() {
        for (auto& face : faces)
            FT_Done_Face(face.second);
        FT_Done_FreeType(library);
    }
    PlainFaces(const PlainFaces&) = delete;
    PlainFaces& operator=(const PlainFaces&) = delete;

    // At `size`, or for a colour bitmap face the strike nearest it (the larger on a tie).
    FT_Face Face(const TextRun& run, int font, int size) {
        FT_Face& face = faces[run.FontFileName(font) + "@" + std::to_string(size)];
        if (!face) {
            EXPECT_EQ(FT_New_Face(library, run.FontFileName(font).c_str(), 0, &face), 0);
            if (FT_Set_Char_Size(face, size * 64, 0, 72, 0) != 0 && FT_HAS_COLOR(face)) {
                int best = 0;
                for (int i = 0; i < face->num_fixed_sizes; ++i) {
                    const long d = std::labs(face->available_sizes[i].y_ppem - size * 64);
                    const long b = std::labs(face->available_sizes[best].y_ppem - size * 64);
                    if (d < b || (d == b && face->available_sizes[i].y_ppem > face->available_sizes[best].y_ppem))
                        best = i;
                }
                EXPECT_EQ(FT_Select_Size(face, best), 0);
            }
        }
        return face;
    }
    // FT_LOAD_COLOR gives a BGRA bitmap: the glyph slot holds it until the next load.
    bool LoadColor(FT_Face face, unsigned index) {
        return FT_HAS_COLOR(face) && FT_Load_Glyph(face, index, FT_LOAD_COLOR) == 0 &&
               face->glyph->format == FT_GLYPH_FORMAT_BITMAP && face->glyph->bitmap.pixel_mode == FT_PIXEL_MODE_BGRA;
    }

private:
    FT_Library library = nullptr;
    std::map<std::string, FT_Face> faces;
};

// A run and where it is drawn: a TextRun's origin, or a layout's origin plus its line's.
struct Placed {
    const TextRun& run;
    double x, y;
};

// The documented composition: the outlines of every glyph that is not a colour glyph, of all
// the runs, one path filled non-zero with the fill state's paint; then each colour glyph, run
// by run in glyph order, a rectangle path over its scaled bitmap filled non-zero with an image
// paint of the bitmap as an "AR24" image, placed by the image transform for that draw only.
// Without `withColor` the colour glyphs are left out.
void Compose(const std::shared_ptr<Context2D>& context, PlainFaces& plain, const std::vector<Placed>& runs, int size,
             const std::shared_ptr<FillState>& fill, bool withColor = true) {
    std::vector<agg::vertex_d> outlines;
    for (const Placed& placed : runs) {
        for (const Glyph& g : placed.run.Glyphs()) {
            const FT_Face face = plain.Face(placed.run, g.Font, size);
            if (plain.LoadColor(face, g.Index) ||
                FT_Load_Glyph(face, g.Index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
                continue;
            PlainGlyphs::Append(&face->glyph->outline, placed.x, placed.y, int64_t(g.X * 64), int64_t(g.Y * 64),
                                outlines);
        }
    }
    Path path(context);
    for (const agg::vertex_d& v : outlines)
        Internals::StorageOf(path).vertices().add_vertex(v.x, v.y, v.cmd);
    path.Draw(fill, nullptr);  // the fill states here are non-zero
    if (!fill || !withColor)
        return;

    for (const Placed& placed : runs) {
        for (const Glyph& g : placed.run.Glyphs()) {
            const FT_Face face = plain.Face(placed.run, g.Font, size);
            if (!plain.LoadColor(face, g.Index))
                continue;
            const FT_Bitmap& bitmap = face->glyph->bitmap;
            if (bitmap.width == 0 || bitmap.rows == 0)
                continue;
            const float sx = float(size) / float(face->size->metrics.x_ppem);
            const float sy = float(size) / float(face->size->metrics.y_ppem);
            const float left =
                float(placed.x + double(int64_t(g.X * 64)) / 64 + face->glyph->bitmap_left * double(sx));
            const float top = float(placed.y + double(int64_t(g.Y * 64)) / 64 - face->glyph->bitmap_top * double(sy));
            PathBuilder builder;
            builder.Rectangle(left, top, float(bitmap.width * double(sx)), float(bitmap.rows * double(sy)));
            Path box(context);
            box.Append(&builder);
            const Matrix3 client = context->transforms->image->Get();
            Matrix3 placement = Matrix3::Identity;
            placement.M[0] = sx, placement.M[4] = sy, placement.M[6] = left, placement.M[7] = top;
            context->transforms->image->Set(placement);
            // FreeType's BGRA is premultiplied, top row first (last for a negative pitch): an
            // "AR24" image of that stride.
            const auto image = std::make_shared<Image>(context, int(TestSupport::kAR24), int(bitmap.width),
                                                       int(bitmap.rows), bitmap.pitch, bitmap.buffer);
            auto imageFill = std::make_shared<FillState>();
            imageFill->Paint(std::make_shared<ImagePaint>(context, image));
            imageFill->FillRule(FillRule::NonZero);
            box.Draw(imageFill, nullptr);
            context->transforms->image->Set(client);
        }
    }
}

// Whether fallback reaches a colour emoji font (fonts-noto-color-emoji).
bool EmojiFont() {
    const TextRun run(std::make_shared<Font>(Scratch(), FontName{"DejaVu Sans"}, 20), kRocket);
    PlainFaces plain;
    return run.Glyphs().size() == 1 && run.Glyphs()[0].Font > 0 &&
           plain.LoadColor(plain.Face(run, run.Glyphs()[0].Font, 20), run.Glyphs()[0].Index);
}

#define REQUIRE_EMOJI_FONT()                                                                     \
    if (!EmojiFont())                                                                            \
    GTEST_SKIP() << "No colour emoji font is installed (fonts-noto-color-emoji): nothing to draw"

bool SameMatrix(const Matrix3& a, const Matrix3& b) { return std::memcmp(a.M, b.M, sizeof a.M) == 0; }

}  // namespace

// Random runs and paragraphs of emoji alone and among text, at sizes below and above the
// strike's, anywhere between pixels, under a path transform, with every blend mode, scissors,
// clips, layers, the image quality and a fill paint that the emoji ignore: the bytes of the
// composition, and the client's image transform as it was.
TEST(TextColorGlyph, DrawsAsImagePaintedRectangles) {
    REQUIRE_EMOJI_FONT();
    const std::string texts[] = {
        kRocket,
        std::string("Launch ") + kRocket + " at 10:42",
        std::string(kParty) + kUnicorn + " AV " + kPizza + kPizza,
        std::string("\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D ") + kRainbow + " 42 office",
        std::string("To ") + kRainbow + "\xEF\xB8\x8F" + " a\xCC\x81 " + kParty,
    };
    const char* const fonts[] = {"DejaVu Sans", "Noto Sans", "Noto Serif:bold"};
    std::mt19937 random(20261209);
    int changedByEmoji = 0;
    for (int trial = 0; trial < 80; ++trial) {
        RoadScenes::Scene s;
        s.width = 30 + int(random() % 170), s.height = 20 + int(random() % 120);
        s.backdrop.resize(size_t(s.width) * size_t(s.height) * 4);
        for (uint8_t& b : s.backdrop)
            b = uint8_t(random());
        s.origin = random() % 2 ? Origin::TopLeft : Origin::BottomLeft;
        s.blend = BlendMode(random() % 10);
        s.scissoring = random() % 3 == 0;
        for (unsigned n = random() % 3; n; --n)
            s.scissors.push_back(IntRectangle{int(random() % unsigned(s.width)) - 5,
                                              int(random() % unsigned(s.height)) - 5, int(random() % 90),
                                              int(random() % 90)});
        auto unit = [&] { return float(random() % 1001) / 1000; };
        s.filled = true, s.rule = FillRule::NonZero;
        s.fillSpec.color = Color{unit(), unit(), unit(), random() % 2 ? 1.0f : unit()};
        if (random() % 3 == 0)
            s.fillSpec = DrawSupport::GradientSpec({ColorStop{0, s.fillSpec.color}, ColorStop{1, Color{0, 0, 1, 1}}},
                                                   SpreadMode::Reflect, {0, 0, float(s.width) / 3, 5});
        if (random() % 3) {
            const float angle = unit() - 0.5f, scale = 0.5f + 1.5f * unit();
            s.path.M[0] = scale * std::cos(angle), s.path.M[1] = scale * std::sin(angle);
            s.path.M[3] = -s.path.M[1], s.path.M[4] = s.path.M[0];
            // About the surface's centre, so that the text stays in sight.
            const float cx = float(s.width) / 2, cy = float(s.height) / 2;
            s.path.M[6] = cx - cx * s.path.M[0] - cy * s.path.M[3] + float(int(random() % 20) - 10);
            s.path.M[7] = cy - cx * s.path.M[1] - cy * s.path.M[4] + float(int(random() % 20) - 10);
        }
        s.image = Matrix3::CreateRotation(unit());  // the client's, not the emoji's
        std::vector<uint8_t> bytes(64);
        for (uint8_t& b : bytes)
            b = uint8_t(random());
        RoadScenes::ByteStream in(bytes.data(), bytes.size());
        if (trial % 2)
            RoadScenes::RandomClipAndLayer(in, s);

        const int size = random() % 4 ? 5 + int(random() % 60) : 65 + int(random() % 70);
        const std::string& text = texts[random() % std::size(texts)];
        const char* fontName = fonts[random() % std::size(fonts)];
        const bool paragraph = trial % 4 == 3;
        // The origin (in float, as the draw takes it) somewhere from the run's end at the left
        // edge to its start in the middle.
        const double advance =
            TextRun(std::make_shared<Font>(Scratch(), FontName{fontName}, size), text.c_str()).Advance();
        const float x = float(double(random() % 4096) / 4096 * (s.width * 0.5 + advance - size) - (advance - size));
        const float y = float(double(random() % 4096) / 4096 * s.height + size * 0.5);
        SCOPED_TRACE(std::string(fontName) + " " + text + " size " + std::to_string(size) + " trial " +
                     std::to_string(trial));

        // Both drawings meet the same clip and layer, made the same way.
        auto draw = [&](const std::function<void(RoadScenes::Drawing&)>& step) {
            std::vector<uint8_t> pixels = s.backdrop;
            RoadScenes::Drawing drawing(s, pixels.data());
            if (s.clipped) {
                drawing.context->transforms->path->Set(s.clipPath);
                Path clip(drawing.context);
                clip.AppendData(s.clipCommands, s.clipData);
                clip.Clip(s.clipRule, s.clipOperation);
                drawing.context->transforms->path->Set(s.path);
            }
            if (s.layered)
                drawing.context->PushLayer(s.layerOpacity, s.layerMode);
            step(drawing);
            if (s.layered)
                drawing.context->PopLayer();
            drawing.context->Finish();
            return pixels;
        };
        const std::vector<uint8_t> drawn = draw([&](RoadScenes::Drawing& d) {
            const auto font = std::make_shared<Font>(d.context, FontName{fontName}, size);
            if (paragraph)
                TextLayout(font, text.c_str(), float(size) * 4, TextAlignment::Justify).Draw(x, y, d.fill);
            else
                TextRun(font, text.c_str()).Draw(x, y, d.fill);
            EXPECT_TRUE(SameMatrix(d.context->transforms->image->Get(), s.image));
        });
        auto compose = [&](bool withColor) {
            return draw([&](RoadScenes::Drawing& d) {
                const auto font = std::make_shared<Font>(d.context, FontName{fontName}, size);
                PlainFaces plain;
                if (paragraph) {
                    const TextLayout layout(font, text.c_str(), float(size) * 4, TextAlignment::Justify);
                    std::vector<Placed> lines;
                    for (int i = 0; i < layout.LineCount(); ++i)
                        lines.push_back(Placed{layout.LineRun(i), double(x) + double(layout.Line(i).X),
                                               double(y) + double(layout.Line(i).Y)});
                    Compose(d.context, plain, lines, size, d.fill, withColor);
                } else {
                    const TextRun run(font, text.c_str());
                    Compose(d.context, plain, {Placed{run, double(x), double(y)}}, size, d.fill, withColor);
                }
            });
        };
        const std::vector<uint8_t> composed = compose(true);
        size_t differs = 0;
        while (differs < drawn.size() && drawn[differs] == composed[differs])
            ++differs;
        ASSERT_EQ(differs, drawn.size()) << "byte " << differs << " of " << s.width << " x " << s.height
                                         << " blend " << int(s.blend) << " clipped " << s.clipped << " layered "
                                         << s.layered << " image quality " << s.imageQuality;
        changedByEmoji += drawn != compose(false);
    }
    EXPECT_GT(changedByEmoji, 30);  // scissors, clips and layers hide some
}

// A colour glyph's ink is its bitmap's box scaled to the size, rounded outwards to 1/64 pixel;
// among text, the union with the outlines' box.
TEST(TextColorGlyph, InkExtentsHoldTheScaledBitmaps) {
    REQUIRE_EMOJI_FONT();
    PlainFaces plain;
    for (int size : {7, 20, 109, 130}) {
        SCOPED_TRACE(size);
        const auto font = std::make_shared<Font>(Scratch(), FontName{"DejaVu Sans"}, size);
        const TextRun rocket(font, kRocket);
        ASSERT_EQ(rocket.Glyphs().size(), 1u);
        const FT_Face face = plain.Face(rocket, rocket.Glyphs()[0].Font, size);
        ASSERT_TRUE(plain.LoadColor(face, rocket.Glyphs()[0].Index));
        const FT_GlyphSlot slot = face->glyph;
        const double sx = double(float(size) / float(face->size->metrics.x_ppem)) * 64;
        const double sy = double(float(size) / float(face->size->metrics.y_ppem)) * 64;
        const int64_t left = int64_t(std::floor(slot->bitmap_left * sx));
        const int64_t right = int64_t(std::ceil((slot->bitmap_left + double(slot->bitmap.width)) * sx));
        const int64_t top = -int64_t(std::ceil(slot->bitmap_top * sy));
        const int64_t bottom = -int64_t(std::floor((slot->bitmap_top - double(slot->bitmap.rows)) * sy));
        const TextExtents ink = rocket.InkExtents();
        EXPECT_EQ(ink.X, float(left) / 64);
        EXPECT_EQ(ink.Y, float(top) / 64);
        EXPECT_EQ(ink.Width, float(right - left) / 64);
        EXPECT_EQ(ink.Height, float(bottom - top) / 64);
        if (size == 20 && slot->bitmap.width == 136 && slot->bitmap.rows == 128 && slot->bitmap_left == 0 &&
            slot->bitmap_top == 101 && face->size->metrics.y_ppem == 109) {
            // Worked: 136 x 20/109 x 64 = 1597.06 -> 1598; 101 x 20/109 x 64 = 1186.05 -> 1187;
            // -27 x 20/109 x 64 = -317.06 -> -318.
            EXPECT_EQ(ink.X, 0.0f);
            EXPECT_EQ(ink.Width, 1598.0f / 64);
            EXPECT_EQ(ink.Y, -1187.0f / 64);
            EXPECT_EQ(ink.Height, (1187.0f + 318) / 64);
        }

        // "x" then the rocket: the box from the x's left to the rocket's right, over both heights.
        const TextRun letter(font, "x"), mixed(font, (std::string("x") + kRocket).c_str());
        ASSERT_EQ(mixed.Glyphs().size(), 2u);
        const TextExtents x = letter.InkExtents(), both = mixed.InkExtents();
        const float rocketX = mixed.Glyphs()[1].X;
        EXPECT_EQ(both.X, x.X);
        EXPECT_EQ(both.Y, std::min(x.Y, ink.Y));
        EXPECT_EQ(both.X + both.Width, rocketX + float(right) / 64);
        EXPECT_EQ(both.Y + both.Height, std::max(x.Y + x.Height, ink.Y + ink.Height));
    }
}

// Only a BGRA bitmap makes a colour glyph: outline fonts (even their emoji), a bitmap font
// without colour, and the emoji font's own glyphs without a bitmap are none.
TEST(TextColorGlyph, OnlyBgraBitmapsAreColourGlyphs) {
    // DejaVu has an outline smiley of its own.
    const auto dejaVu = std::make_shared<Font>(Scratch(), FontName{"DejaVu Sans"}, 20);
    const TextRun outlines(dejaVu, "Hi \xF0\x9F\x98\x80");
    for (const Glyph& g : outlines.Glyphs()) {
        EXPECT_EQ(g.Font, 0);
        EXPECT_FALSE(IsColorGlyph(*FacesOf(*dejaVu), g.Font, g.Index));
    }

    if (EmojiFont()) {
        const TextRun pair(dejaVu, (std::string(kRocket) + " " + kPizza).c_str());
        ASSERT_EQ(pair.Glyphs().size(), 3u);
        // The space stays with the emoji font, which has no bitmap for it.
        EXPECT_EQ(pair.Glyphs()[1].Font, pair.Glyphs()[0].Font);
        EXPECT_TRUE(IsColorGlyph(*FacesOf(*dejaVu), pair.Glyphs()[0].Font, pair.Glyphs()[0].Index));
        EXPECT_FALSE(IsColorGlyph(*FacesOf(*dejaVu), pair.Glyphs()[1].Font, pair.Glyphs()[1].Index));
        EXPECT_TRUE(IsColorGlyph(*FacesOf(*dejaVu), pair.Glyphs()[2].Font, pair.Glyphs()[2].Index));
    }

    // Terminus: bitmap strikes only, no colour. Its glyphs have neither outline nor colour, so a
    // run of them draws nothing and has no ink.
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("Terminus"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcChar8* file = nullptr;
    const bool terminus = match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
                          std::strstr(reinterpret_cast<const char*>(file), "terminus") &&
                          std::strstr(reinterpret_cast<const char*>(file), ".otb");
    const std::string terminusFile = terminus ? reinterpret_cast<const char*>(file) : "";
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    if (!terminus)
        GTEST_SKIP() << "Terminus (fonts-terminus-otb) is not installed: no bitmap font without colour to try";
    TestSupport::Surface surface(60, 30);
    surface.Fill(10, 20, 30, 255);
    const std::vector<uint8_t> before = surface.memory;
    const auto context = std::make_shared<Context2D>(surface.surface);
    const auto bitmapFont = std::make_shared<Font>(context, terminusFile.c_str(), 16);
    TextRun run(bitmapFont, "Ab 12");
    ASSERT_EQ(run.Glyphs().size(), 5u);
    for (const Glyph& g : run.Glyphs()) {
        EXPECT_EQ(g.Font, 0);
        EXPECT_NE(g.Index, 0u);
        EXPECT_FALSE(IsColorGlyph(*FacesOf(*bitmapFont), g.Font, g.Index));
    }
    run.Draw(2, 20, DrawSupport::FillIn(context, Color{1, 0, 0, 1}));
    context->Finish();
    EXPECT_EQ(surface.memory, before);
    const TextExtents ink = run.InkExtents();
    EXPECT_EQ(ink.Width, 0.0f);
    EXPECT_EQ(ink.Height, 0.0f);
}

// More distinct emoji than the kept bitmaps hold: a paragraph of some 850, drawn twice, is the
// composition each time.
TEST(TextColorGlyph, ManyEmojiBeyondTheKeptBitmaps) {
    REQUIRE_EMOJI_FONT();
    std::u32string codes;
    for (char32_t code = 0x1F300; code < 0x1F650; ++code)
        codes += code;
    const std::string text = TestSupport::Utf8Of(codes);
    RoadScenes::Scene s;
    s.width = 64, s.height = 220;
    s.backdrop.assign(size_t(s.width) * size_t(s.height) * 4, 0);
    s.filled = true, s.rule = FillRule::NonZero;
    s.fillSpec.color = Color{0, 0, 0, 1};
    std::vector<uint8_t> drawn = s.backdrop, composed = s.backdrop;
    {
        RoadScenes::Drawing drawing(s, drawn.data());
        const auto font = std::make_shared<Font>(drawing.context, FontName{"DejaVu Sans"}, 3);
        TextLayout layout(font, text.c_str(), 60, TextAlignment::Left);
        layout.Draw(0, 0, drawing.fill);
        layout.Draw(0.5f, 2.25f, drawing.fill);
        drawing.context->Finish();
    }
    {
        RoadScenes::Drawing drawing(s, composed.data());
        const auto font = std::make_shared<Font>(drawing.context, FontName{"DejaVu Sans"}, 3);
        const TextLayout layout(font, text.c_str(), 60, TextAlignment::Left);
        PlainFaces plain;
        for (const float origin : {0.0f, 0.5f}) {
            std::vector<Placed> lines;
            for (int i = 0; i < layout.LineCount(); ++i)
                lines.push_back(Placed{layout.LineRun(i), double(origin) + double(layout.Line(i).X),
                                       double(origin == 0 ? 0.0f : 2.25f) + double(layout.Line(i).Y)});
            Compose(drawing.context, plain, lines, 3, drawing.fill);
        }
        drawing.context->Finish();
    }
    EXPECT_EQ(drawn, composed);
    EXPECT_NE(drawn, s.backdrop);
}

// The C interface draws the composition too, with a blend mode, a scissor and a path transform
// set through it, and reports the same ink.
TEST(TextColorGlyph, CInterfaceDrawsTheComposition) {
    REQUIRE_EMOJI_FONT();
    RoadScenes::Scene s;
    s.width = 140, s.height = 70;
    s.backdrop.resize(size_t(s.width) * size_t(s.height) * 4);
    for (size_t i = 0; i < s.backdrop.size(); ++i)
        s.backdrop[i] = uint8_t(i * 7 % 251);
    s.blend = BlendMode::Screen;
    s.scissoring = true;
    s.scissors = {IntRectangle{10, 4, 110, 60}};
    Transform rotated(TransformName::Path);  // as the C calls below build it
    rotated.Rotate(0.1f);
    rotated.Translate(8, 0);
    s.path = rotated.Get();
    s.filled = true, s.rule = FillRule::NonZero;
    s.fillSpec.color = Color{0.2f, 0.3f, 0.9f, 1};
    const std::string text = std::string("Go ") + kRocket + kPizza + "!";

    std::vector<uint8_t> drawn = s.backdrop;
    orv_surface* surface = orv_surface_create_for_data(s.width, s.height, TestSupport::kAB24, s.width * 4,
                                                       drawn.data());
    orv_context2D context = orv_context2D_create(surface);
    orv_render_state* state = orv_context2D_render_state_get(context);
    orv_render_state_origin_set(state, int(s.origin));
    orv_render_state_blend_mode_set(state, ORV_BLEND_MODE_SCREEN);
    orv_render_state_scissoring_enabled_set(state, true);
    const orv_int_rectangle scissor = {10, 4, 110, 60};
    orv_render_state_scissor_rectangles_set(state, &scissor, 1);
    orv_transform* path = orv_transforms_path(orv_context2D_transforms_get(context));
    orv_transform_rotate(path, 0.1f);
    orv_transform_translate(path, 8, 0);
    orv_font font = orv_font_create_from_name(context, "DejaVu Sans", 24);
    orv_text_run run = orv_text_run_create(font, text.c_str(), nullptr);
    orv_color_paint paint = orv_color_paint_create(context, 0.2f, 0.3f, 0.9f, 1);
    orv_fill_state fill = orv_fill_state_create();
    orv_fill_state_paint_set(fill, paint);
    orv_fill_state_fill_rule_set(fill, ORV_FILL_RULE_NON_ZERO);
    orv_text_run_draw(run, 6.5f, 40.25f, fill);
    const orv_text_extents ink = orv_text_run_ink_extents_get(run);
    orv_context2D_finish(context);

    std::vector<uint8_t> composed = s.backdrop;
    {
        RoadScenes::Drawing drawing(s, composed.data());
        const auto cppFont = std::make_shared<Font>(drawing.context, FontName{"DejaVu Sans"}, 24);
        const TextRun cppRun(cppFont, text.c_str());
        PlainFaces plain;
        Compose(drawing.context, plain, {Placed{cppRun, 6.5, 40.25}}, 24, drawing.fill);
        drawing.context->Finish();
        EXPECT_EQ(ink.x, cppRun.InkExtents().X);
        EXPECT_EQ(ink.y, cppRun.InkExtents().Y);
        EXPECT_EQ(ink.width, cppRun.InkExtents().Width);
        EXPECT_EQ(ink.height, cppRun.InkExtents().Height);
    }
    EXPECT_EQ(drawn, composed);

    // A layout of the same text, through orv_text_layout_draw, on what is there.
    orv_text_layout layout = orv_text_layout_create(font, text.c_str(), nullptr, 60, ORV_TEXT_ALIGNMENT_RIGHT);
    orv_text_layout_draw(layout, 3, 1.5f, fill);
    orv_context2D_finish(context);
    {
        RoadScenes::Drawing drawing(s, composed.data());
        const auto cppFont = std::make_shared<Font>(drawing.context, FontName{"DejaVu Sans"}, 24);
        const TextLayout cppLayout(cppFont, text.c_str(), 60, TextAlignment::Right);
        std::vector<Placed> lines;
        for (int i = 0; i < cppLayout.LineCount(); ++i)
            lines.push_back(Placed{cppLayout.LineRun(i), 3.0 + double(cppLayout.Line(i).X),
                                   1.5 + double(cppLayout.Line(i).Y)});
        PlainFaces plain;
        Compose(drawing.context, plain, lines, 24, drawing.fill);
        drawing.context->Finish();
    }
    EXPECT_EQ(drawn, composed);
    EXPECT_NE(drawn, s.backdrop);

    // A fill state without a paint draws neither outlines nor emoji.
    orv_fill_state empty = orv_fill_state_create();
    const std::vector<uint8_t> before = drawn;
    orv_text_run_draw(run, 6.5f, 40.25f, empty);
    orv_text_layout_draw(layout, 3, 1.5f, empty);
    orv_context2D_finish(context);
    EXPECT_EQ(drawn, before);
    orv_fill_state_destroy(empty);

    orv_text_layout_destroy(layout);
    orv_fill_state_destroy(fill);
    orv_color_paint_destroy(paint);
    orv_text_run_destroy(run);
    orv_font_destroy(font);
    orv_context2D_destroy(context);
    orv_surface_destroy(surface);
}
