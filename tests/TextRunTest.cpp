// Shaped runs: glyph for glyph against HarfBuzz's own hb-shape, fallback against fontconfig's
// coverage, ink against the drawn bytes, hostile input; drawn runs against AGG composed directly.
#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>
#include <hb.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "PlainGlyphs.hpp"
#include "PlainTarget.hpp"
#include "TestSupport.hpp"
#include "common/Internals.hpp"
#include "text/TextOutlines.hpp"
#include "text/Utf8.hpp"

using namespace ORV::Vudadive2R;

namespace {

std::shared_ptr<Font> FontNamed(const std::shared_ptr<Context2D>& context, const char* pattern, int size) {
    return std::make_shared<Font>(context, FontName{pattern}, size);
}

std::shared_ptr<Context2D> Scratch() {
    static TestSupport::Surface surface(4, 4);
    static const std::shared_ptr<Context2D> context = std::make_shared<Context2D>(surface.surface);
    return context;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

struct HbGlyph {
    unsigned index, cluster;
    long dx, dy, ax, ay;
};

// hb-shape's glyphs for `text` with the font scaled to 64 x size (1/64 pixel units).
std::vector<HbGlyph> HbShape(const std::string& file, int size, const std::string& text, const char* features,
                             const std::string& direction, const std::string& before, const std::string& after) {
    std::string command = "LC_ALL=C.UTF-8 hb-shape --utf8-clusters --no-glyph-names --output-format=json --font-size=" +
                          std::to_string(64 * size) + " --direction=" + direction +
                          " --text-before=" + Quoted(before) + " --text-after=" + Quoted(after) +
                          // hb-shape takes its default from the environment's locale, a library
                          // from the process's: the test's process names its own.
                          " --language=" + Quoted(hb_language_to_string(hb_language_get_default()));
    if (features)
        command += " --features=" + Quoted(features);
    command += " " + Quoted(file) + " " + Quoted(text) + " 2>/dev/null";
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    EXPECT_TRUE(pipe);
    if (!pipe)
        return {};
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0) << command;
    std::vector<HbGlyph> glyphs;
    const std::regex glyph(
        R"(\{"g":(\d+),"cl":(\d+),"dx":(-?\d+),"dy":(-?\d+),"ax":(-?\d+),"ay":(-?\d+)\})");
    for (std::sregex_iterator it(output.begin(), output.end(), glyph), end; it != end; ++it)
        glyphs.push_back(HbGlyph{unsigned(std::stoul((*it)[1])), unsigned(std::stoul((*it)[2])),
                                 std::stol((*it)[3]), std::stol((*it)[4]), std::stol((*it)[5]),
                                 std::stol((*it)[6])});
    return glyphs;
}

// A piece of text of one bidirectional level, script and font, as the run cuts it.
struct Piece {
    const char* text;
    int level;
};

// Compares the run with hb-shape piece by piece, the pieces in display order
// (every longest sequence at a level or above reversed, highest level
// first), each shaped by hb-shape with the rest of the text as context and
// the font the run chose for it. Ids, clusters and positions must agree
// exactly, positions in 1/64 pixel, within a piece and from piece to piece.
void ExpectHbShape(const TextRun& run, const std::vector<Piece>& pieces, int size, const char* features) {
    std::string text;
    std::vector<size_t> begins;
    for (const Piece& piece : pieces)
        begins.push_back(text.size()), text += piece.text;
    std::vector<size_t> order(pieces.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    for (int level = 3; level >= 1; --level)
        for (size_t i = 0; i < order.size();) {
            size_t j = i;
            while (j < order.size() && pieces[order[j]].level >= level)
                ++j;
            std::reverse(order.begin() + long(i), order.begin() + long(j));
            i = j == i ? i + 1 : j;
        }
    const std::vector<Glyph>& glyphs = run.Glyphs();
    int64_t pen = 0, penY = 0;
    size_t next = 0;
    for (size_t p : order) {
        ASSERT_LT(next, glyphs.size()) << pieces[p].text;
        const size_t begin = begins[p], end = begin + std::strlen(pieces[p].text);
        const std::vector<HbGlyph> expected =
            HbShape(run.FontFileName(glyphs[next].Font), size, text.substr(begin, end - begin), features,
                    pieces[p].level % 2 ? "rtl" : "ltr", text.substr(0, begin), text.substr(end));
        ASSERT_LE(next + expected.size(), glyphs.size()) << pieces[p].text;
        for (size_t i = 0; i < expected.size(); ++i, ++next) {
            const Glyph& g = glyphs[next];
            const HbGlyph& e = expected[i];
            EXPECT_EQ(g.Index, e.index) << pieces[p].text << " glyph " << i;
            EXPECT_EQ(g.Cluster, e.cluster + begin) << pieces[p].text << " glyph " << i;
            EXPECT_EQ(int64_t(g.X * 64), pen + e.dx) << pieces[p].text << " glyph " << i;
            EXPECT_EQ(int64_t(g.Y * 64), -(penY + e.dy)) << pieces[p].text << " glyph " << i;
            pen += e.ax, penY += e.ay;
        }
    }
    EXPECT_EQ(next, glyphs.size());
    EXPECT_EQ(int64_t(run.Advance() * 64), pen);
}

}  // namespace

TEST(TextRun, ShapesAsHbShape) {
    const char* const shalom = "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D";
    const char* const olam = "\xD7\xA2\xD7\x95\xD7\x9C\xD7\x9D";
    const char* const marhaba = "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7";
    const char* const namaste = "\xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87";
    const char* const sawasdee = "\xE0\xB8\xAA\xE0\xB8\xA7\xE0\xB8\xB1\xE0\xB8\xAA\xE0\xB8\x94\xE0\xB8\xB5";
    const std::string hebrew1 = std::string(shalom) + " ", hebrew2 = std::string(olam) + " ";
    const std::string arabic = std::string(marhaba) + " \xD8\xA8\xD8\xA7\xD9\x84\xD8\xB9\xD8\xA7\xD9\x84\xD9\x85";
    const std::string devanagari = std::string(namaste) + " \xE0\xA4\xA6\xE0\xA5\x81\xE0\xA4\xA8\xE0\xA4\xBF\xE0\xA4\xAF\xE0\xA4\xBE";
    const std::string thai = std::string(sawasdee) + "\xE0\xB8\x8A\xE0\xB8\xB2\xE0\xB8\xA7\xE0\xB9\x82\xE0\xB8\xA5\xE0\xB8\x81";
    const std::string namasteSpace = std::string(namaste) + " ", sawasdeeSpace = std::string(sawasdee) + " ";
    struct Case {
        const char* font;
        std::vector<Piece> pieces;
        const char* features;
        int size;
    } const cases[] = {
        {"DejaVu Sans", {{"AV To Ta AVAVA", 0}}, nullptr, 20},
        {"DejaVu Sans", {{"AV To Ta", 0}}, "kern=0", 20},
        {"DejaVu Sans", {{"Wa, Yo. \"AT\" y\xCC\x81 e\xCC\x88", 0}}, nullptr, 13},  // marks on their bases
        {"Noto Serif", {{"office affine ffi fl", 0}}, nullptr, 31},
        {"Noto Serif", {{"office affine", 0}}, "liga=0", 31},
        {"Noto Sans", {{"1111 0 2024", 0}}, "tnum", 17},
        {"Noto Sans", {{"fifi 1111", 0}}, "tnum=0,liga[2:4]=0", 17},
        {"Noto Sans Arabic", {{arabic.c_str(), 1}}, nullptr, 24},
        // Hebrew with digits: the numbers keep their order inside the right-to-left line. The font
        // has no digits: they and the space after them come from the fallback list.
        {"Noto Sans Hebrew", {{hebrew1.c_str(), 1}, {"123", 2}, {" ", 1}, {hebrew2.c_str(), 1}, {"4.5", 2}}, nullptr, 22},
        {"Noto Sans Devanagari", {{devanagari.c_str(), 0}}, nullptr, 26},
        {"Noto Sans Thai", {{thai.c_str(), 0}}, nullptr, 25},
        // A mixed line: Devanagari and Thai from the fallback list.
        {"DejaVu Sans",
         {{"Hello, ", 0}, {hebrew1.c_str(), 1}, {"42", 2}, {"! ", 1}, {marhaba, 1}, {" ", 0},
          {namasteSpace.c_str(), 0}, {sawasdeeSpace.c_str(), 0}, {"end", 0}},
         nullptr, 18},
    };
    for (const Case& c : cases) {
        std::string text;
        for (const Piece& piece : c.pieces)
            text += piece.text;
        SCOPED_TRACE(text);
        const TextRun run(FontNamed(Scratch(), c.font, c.size), text.c_str(), c.features);
        ExpectHbShape(run, c.pieces, c.size, c.features);
    }
    // The table shapes what it claims to: a ligature, kerning, display order.
    const auto font = FontNamed(Scratch(), "Noto Serif", 31);
    EXPECT_EQ(TextRun(font, "ffi").Glyphs().size(), 1u);
    EXPECT_EQ(TextRun(font, "ffi", "liga=0").Glyphs().size(), 3u);
    const auto dejaVu = FontNamed(Scratch(), "DejaVu Sans", 20);
    EXPECT_LT(TextRun(dejaVu, "AV").Advance(), TextRun(dejaVu, "AV", "kern=0").Advance());
    const TextRun hebrew(dejaVu, "\xD7\xA9\xD7\x9C 12");  // right to left: the digits come first
    ASSERT_EQ(hebrew.Glyphs().size(), 5u);
    EXPECT_EQ(hebrew.Glyphs()[0].Cluster, 5u);
    EXPECT_EQ(hebrew.Glyphs()[4].Cluster, 0u);
    const TextRun mixed(dejaVu, (std::string("a ") + namaste).c_str());
    EXPECT_EQ(mixed.Glyphs()[0].Font, 0);
    EXPECT_GT(mixed.Glyphs().back().Font, 0);
}

TEST(TextRun, LanguageChangesLocalisedForms) {
    // Serbian Cyrillic be has a form of its own, chosen by the language.
    const auto font = FontNamed(Scratch(), "Noto Sans", 20);
    const TextRun plain(font, "\xD0\xB1", nullptr, "ru"), serbian(font, "\xD0\xB1", nullptr, "sr");
    EXPECT_NE(plain.Glyphs()[0].Index, serbian.Glyphs()[0].Index);  // Serbian Cyrillic be
}

// Where an installed font has a character, the run never shows glyph 0 for it.
TEST(TextRun, FallbackCoversWhatIsInstalled) {
    const std::string text = "Hello \xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87 "
                             "\xE0\xB8\xAA\xE0\xB8\xA7\xE0\xB8\xB1\xE0\xB8\xAA \xE2\x98\x83 \xF0\x9F\x98\x80 "
                             "\xE4\xB8\xAD\xE6\x96\x87 \xE1\x83\x90\xE1\x83\x91 \xEA\xAF\x80 \xF4\x8F\xBF\xBD";
    for (const char* pattern : {"DejaVu Sans", "Noto Sans:bold", "monospace"}) {
        SCOPED_TRACE(pattern);
        const TextRun run(FontNamed(Scratch(), pattern, 16), text.c_str());
        bool fellBack = false;
        for (const Glyph& g : run.Glyphs()) {
            fellBack |= g.Font > 0;
            if (g.Index != 0)
                continue;
            char32_t code = 0;
            CodePointReader(text.c_str() + g.Cluster, CodePointReader::Encoding::Utf8).Next(code);
            EXPECT_EQ(g.Font, 0);
            FcPattern* query = FcPatternCreate();
            FcCharSet* characters = FcCharSetCreate();
            FcCharSetAddChar(characters, code);
            FcPatternAddCharSet(query, FC_CHARSET, characters);
            FcObjectSet* objects = FcObjectSetBuild(FC_FILE, nullptr);
            FcFontSet* found = FcFontList(nullptr, query, objects);
            EXPECT_EQ(found->nfont, 0) << "U+" << std::hex << unsigned(code) << " is installed";
            FcFontSetDestroy(found);
            FcObjectSetDestroy(objects);
            FcCharSetDestroy(characters);
            FcPatternDestroy(query);
        }
        EXPECT_TRUE(fellBack);
    }
    // A font from a file falls back through its family's list as well.
    const auto fromFile = std::make_shared<Font>(Scratch(), TestSupport::FontPath().c_str(), 16);
    const TextRun run(fromFile, "\xE0\xB8\xAA");
    ASSERT_EQ(run.Glyphs().size(), 1u);
    EXPECT_GT(run.Glyphs()[0].Font, 0);
    EXPECT_NE(run.Glyphs()[0].Index, 0u);
}

TEST(TextRun, Extents) {
    const auto font = FontNamed(Scratch(), "DejaVu Sans", 32);
    for (const char* text : {"Typography", "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D", "g.", "  "}) {
        SCOPED_TRACE(text);
        TextRun run(font, text);
        const TextExtents logical = run.LogicalExtents();
        EXPECT_EQ(logical.X, 0);
        EXPECT_EQ(logical.Y, -font->Ascender());
        EXPECT_EQ(logical.Width, run.Advance());
        EXPECT_EQ(logical.Height, font->Height());
        // Every inked pixel lies in the ink box, and the box's edges are inked within a pixel.
        const TextExtents ink = run.InkExtents();
        TestSupport::Surface surface(400, 80);
        auto context = std::make_shared<Context2D>(surface.surface);
        context->renderState->origin = Origin::TopLeft;
        auto drawn = std::make_shared<Font>(context, FontName{"DejaVu Sans"}, 32);
        TextRun(drawn, text).Draw(20, 50, DrawSupport::FillIn(context, DrawSupport::kOpaque));
        int left = 1000, right = -1, top = 1000, bottom = -1;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 400; ++x)
                if (surface.Pixel(x, y)[3])
                    left = std::min(left, x), right = std::max(right, x + 1), top = std::min(top, y),
                    bottom = std::max(bottom, y + 1);
        if (right < 0) {
            EXPECT_EQ(ink.Width, 0);
            EXPECT_EQ(ink.Height, 0);
            continue;
        }
        EXPECT_LE(20 + ink.X, left + 1.0f);
        EXPECT_GE(20 + ink.X, left - 1.0f);
        EXPECT_GE(20 + ink.X + ink.Width, right - 1.0f);
        EXPECT_LE(20 + ink.X + ink.Width, right + 1.0f);
        EXPECT_LE(50 + ink.Y, top + 1.0f);
        EXPECT_GE(50 + ink.Y, top - 1.0f);
        EXPECT_GE(50 + ink.Y + ink.Height, bottom - 1.0f);
        EXPECT_LE(50 + ink.Y + ink.Height, bottom + 1.0f);
    }
}

TEST(TextRun, HostileInput) {
    const auto font = FontNamed(Scratch(), "DejaVu Sans", 12);
    using TestSupport::ExpectOutcome;
    ExpectOutcome([&] { TextRun(nullptr, "a"); }, "ArgumentNull: ");
    ExpectOutcome([&] { TextRun(font, nullptr); }, "ArgumentNull: ");
    for (const char* features : {"liga=zero", "+", "liga,kern[", "\xFF"}) {
        ExpectOutcome([&] { TextRun(font, "a", features); }, "Exception: A font feature cannot be read.\n");
        EXPECT_THROW(TextRun(font, "a", features), ArgumentException);
    }
    ExpectOutcome([&] { TextRun(font, "a", ",, liga ,"); }, "nothing: ");
    ExpectOutcome([&] { TextRun(font, std::string(TextRun::MaximumLength + 1, 'a').c_str()); },
                  "ArgumentOutOfRange: A text run holds at most 1048576 bytes.\n");
    // Malformed UTF-8 shapes as U+FFFD, one per malformed sequence, clusters at its first byte.
    const TextRun bad(font, "\xFF" "A\xE2\x82" "B\xC0\xAF");
    const TextRun good(font, "\xEF\xBF\xBD" "A\xEF\xBF\xBD" "B\xEF\xBF\xBD\xEF\xBF\xBD");
    ASSERT_EQ(bad.Glyphs().size(), good.Glyphs().size());
    const unsigned clusters[] = {0, 1, 2, 4, 5, 6};
    for (size_t i = 0; i < bad.Glyphs().size(); ++i) {
        EXPECT_EQ(bad.Glyphs()[i].Index, good.Glyphs()[i].Index);
        EXPECT_EQ(bad.Glyphs()[i].Cluster, clusters[i]);
    }
    // The longest text accepted, every character its own glyph, and nothing at all.
    const std::string longest(TextRun::MaximumLength, 'x');
    EXPECT_EQ(TextRun(font, longest.c_str()).Glyphs().size(), longest.size());
    EXPECT_TRUE(TextRun(font, "").Glyphs().empty());
    for (int index : {-1, 1 << 20})
        EXPECT_THROW(TextRun(font, "a").FontFileName(index), ArgumentOutOfRangeException);
    EXPECT_EQ(TextRun(font, "a").FontFileName(0), font->FileName());
    EXPECT_EQ(TextRun(font, "").InkExtents().Width, 0);
}

// ---------------------------------------------------------------- drawn runs against AGG composed directly

namespace {

// The run's outlines as the definition places them (PlainGlyphs), into the scene's vertices.
void PlainOutlines(const TextRun& run, int size, double x, double y, RoadScenes::Scene& scene, bool curved = false) {
    if (!(std::isfinite(x) && std::isfinite(y)))
        return;  // nothing is drawn
    FT_Library library;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    std::map<int, FT_Face> faces;
    for (const Glyph& g : run.Glyphs()) {
        FT_Face& face = faces[g.Font];
        if (!face) {
            ASSERT_EQ(FT_New_Face(library, run.FontFileName(g.Font).c_str(), 0, &face), 0);
            FT_Set_Char_Size(face, size * 64, 0, 72, 0);
        }
        if (FT_Load_Glyph(face, g.Index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
            continue;
        PlainGlyphs::Append(&face->glyph->outline, x, y, int64_t(g.X * 64), int64_t(g.Y * 64), scene.vertices, curved);
    }
    for (auto& face : faces)
        FT_Done_Face(face.second);
    FT_Done_FreeType(library);
}

}  // namespace

TEST(TextRun, DrawsAsAggComposedDirectly) {
    const char* const texts[] = {
        "AV To Ta office", "Wy\xCC\x81 \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D 42",
        "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7 \xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87",
        "\xE0\xB8\xAA\xE0\xB8\xA7\xE0\xB8\xB1\xE0\xB8\xAA\xE0\xB8\x94\xE0\xB8\xB5 @#%&", "i", "O0o8B",
    };
    const char* const fonts[] = {"DejaVu Sans", "Noto Serif", "DejaVu Sans Mono:bold", "Noto Sans Arabic"};
    std::mt19937 random(20261208);
    int changed = 0;
    for (int trial = 0; trial < 300; ++trial) {
        std::vector<uint8_t> bytes(600);
        for (uint8_t& b : bytes)
            b = uint8_t(random());
        RoadScenes::ByteStream in(bytes.data(), bytes.size());
        RoadScenes::Scene s = RoadScenes::RandomScene(in);
        s.filled = true, s.stroked = false, s.rule = FillRule::NonZero;
        s.commands.clear(), s.data.clear();
        // Paints within what the plain composition defines: colours in 0 to 1, a radial focus
        // inside its circle, a linear gradient at least a pixel long.
        auto unit = [&] { return float(random() % 1001) / 1000; };
        auto colour = [&] { return Color{unit(), unit(), unit(), random() % 3 ? 1.0f : unit()}; };
        const float w = float(s.width), h = float(s.height);
        switch (random() % 4) {
        case 0:
            s.fillSpec = RoadScenes::PaintSpec();
            s.fillSpec.color = colour();
            break;
        case 1:
        case 2: {
            // Two distinct offsets after clamping, where AGG's ramp is defined.
            auto clamped = [](float offset) { return std::fmin(1.0f, std::fmax(0.0f, offset)); };
            std::vector<ColorStop> stops;
            while (stops.size() < 2 || clamped(stops[0].Offset) == clamped(stops[1].Offset)) {
                stops.clear();
                for (unsigned n = 2 + random() % 3; n; --n)
                    stops.push_back(ColorStop{unit() * 1.4f - 0.2f, colour()});
            }
            std::vector<float> g;
            if (random() % 2) {
                const float cx = unit() * w, cy = unit() * h, radius = 2 + unit() * (w + h);
                const float angle = unit() * 6.28f, reach = unit() * 0.95f;
                g = {cx, cy, radius, cx + reach * radius * std::cos(angle), cy + reach * radius * std::sin(angle)};
            } else {
                while (g.empty() || std::hypot(g[2] - g[0], g[3] - g[1]) < 1)
                    g = {unit() * w, unit() * h, unit() * w, unit() * h};
            }
            s.fillSpec = DrawSupport::GradientSpec(stops, SpreadMode(random() % 3), g);
            break;
        }
        default: {
            const int iw = 1 + int(random() % 7), ih = 1 + int(random() % 7);
            ImageSupport::Picture picture(iw, ih, (random() % 2 ? 1 : -1) * 4 * iw);
            for (uint8_t& byte : picture.bytes)
                byte = uint8_t(random());
            s.fillSpec = DrawSupport::ImageSpec(picture, TilingMode(random() % 4), colour(),
                                                int(random() % 2 ? TestSupport::kRA24 : TestSupport::kRX24));
        }
        }
        // Invertible transforms: a rotation and scale about the origin, then a shift (or none).
        auto transform = [&](float low, float high) {
            Matrix3 m = Matrix3::Identity;
            if (random() % 3 == 0)
                return m;
            const float angle = float(int(random() % 1000) - 500) / 1000, scale = low + (high - low) * float(random() % 1000) / 1000;
            m.M[0] = scale * std::cos(angle), m.M[1] = scale * std::sin(angle), m.M[3] = -m.M[1], m.M[4] = m.M[0];
            m.M[6] = float(int(random() % 20) - 10), m.M[7] = float(int(random() % 20) - 10);
            return m;
        };
        s.path = transform(0.5f, 2), s.fillPaint = transform(0.2f, 4), s.image = transform(0.2f, 6);
        const int size = 4 + int(random() % 60);
        const char* text = texts[random() % std::size(texts)];
        const char* fontName = fonts[random() % std::size(fonts)];
        // Anywhere between pixels, mostly where the text meets the surface.
        const float x = float(int(random() % 64 * 64) - 16 * 64 + int(random() % 64)) / 64 * float(s.width) / 48;
        const float y = float(random() % 4096) / 64 * float(s.height) / 64 + float(size) * 0.7f;
        SCOPED_TRACE(std::string(fontName) + " " + text + " trial " + std::to_string(trial));

        // Every other scene clips and draws in a layer: compared with Path::Draw of the outlines.
        const bool clipped = trial % 2;
        if (clipped)
            RoadScenes::RandomClipAndLayer(in, s);
        std::vector<uint8_t> drawn = s.backdrop;
        {
            RoadScenes::Drawing drawing(s, drawn.data());
            if (random() % 3 == 0)
                drawing.fill->FillRule(FillRule::EvenOdd);  // text fills non-zero whatever the state says
            const auto font = std::make_shared<Font>(drawing.context, FontName{fontName}, size);
            TextRun run(font, text);
            PlainOutlines(run, size, x, y, s);
            if (s.clipped) {
                drawing.context->transforms->path->Set(s.clipPath);
                Path clip(drawing.context);
                clip.AppendData(s.clipCommands, s.clipData);
                clip.Clip(s.clipRule, s.clipOperation);
                drawing.context->transforms->path->Set(s.path);
            }
            if (s.layered)
                drawing.context->PushLayer(s.layerOpacity, s.layerMode);
            run.Draw(x, y, drawing.fill);
            if (s.layered)
                drawing.context->PopLayer();
            drawing.context->Finish();
        }
        std::vector<uint8_t> plain = s.backdrop;
        EXPECT_EQ(drawn, RoadScenes::Draw(s, false)) << "as a path";
        if (clipped) {
            plain = RoadScenes::Draw(s, false);
        } else {
            DrawSupport::ComposePlainly(s, plain.data(), nullptr);
        }
        changed += drawn != s.backdrop;
        size_t differs = 0;
        while (differs < drawn.size() && drawn[differs] == plain[differs])
            ++differs;
        ASSERT_EQ(differs, drawn.size()) << "size " << size << " at " << x << ", " << y << " on " << s.width
                                         << " x " << s.height << ": byte " << differs << " paint " << s.fillSpec.kind << " blend " << int(s.blend) << " origin " << int(s.origin) << " scissoring " << s.scissoring << " drawn " << int(drawn[differs]) << " plain " << int(plain[differs]) << " backdrop " << int(s.backdrop[differs]);
    }
    EXPECT_GT(changed, 100);  // many scenes clip, scissor or layer most of the text away
}

// Paragraphs at the sizes programs draw, where most glyphs add their kept cells rather than edges:
// thousands of glyphs on a large surface, glyphs over one another (kerning, marks, joined scripts), paragraphs crossing every border, moves of the path
// transform by whole pixels, by 1/256 and by less, one to four threads, every blend mode, solid and
// gradient paints, all against AGG composed directly over the outlines read here. Marks stacked on
// a letter reach into the lines above and below, so glyphs of two lines share rows.
TEST(TextLayout, KeptGlyphCellsDrawAsTheOutlinesAtScale) {
    std::string paragraph;
    const char* pieces[] = {"AV To Wa Ty ", "caf\x65\xCC\x81 na\xC3\xAFve ", "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7 ",
                            "\xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87 ",
                            "\xE0\xB8\xAA\xE0\xB8\xA7\xE0\xB8\xB1\xE0\xB8\xAA\xE0\xB8\x94\xE0\xB8\xB5 ", "office 0123 @#% ", "i\xCC\x88\xCC\x81\xCC\xA3 "};
    std::mt19937 random(120926);
    for (int i = 0; i < 260; ++i)
        paragraph += pieces[random() % std::size(pieces)];
    const char* fonts[] = {"DejaVu Sans", "Noto Serif", "Noto Sans"};
    int changed = 0;
    for (int trial = 0; trial < 16; ++trial) {
        const int width = trial % 4 ? 1400 : 997, height = trial % 4 ? 1000 : 613, size = 9 + int(random() % 30);
        RoadScenes::Scene s;
        s.width = width, s.height = height, s.filled = true, s.rule = FillRule::NonZero;
        s.backdrop.resize(size_t(width) * height * 4);
        for (uint8_t& b : s.backdrop)
            b = uint8_t(random());
        s.blend = BlendMode(random() % 10);
        auto unit = [&] { return float(random() % 1001) / 1000; };
        if (trial % 3 == 2) {
            s.fillSpec = DrawSupport::GradientSpec({ColorStop{0, Color{unit(), unit(), unit(), 1}}, ColorStop{1, Color{unit(), unit(), unit(), unit()}}},
                                                   SpreadMode(random() % 3), {unit() * 300, unit() * 300, 600 + unit() * 600, unit() * 900});
        } else {
            s.fillSpec.color = Color{unit(), unit(), unit(), trial % 2 ? 1.0f : unit()};
        }
        // Moves by whole pixels, by 1/256, by less (no cells kept), and one turn.
        const float moves[][2] = {{0, 0}, {7, -3}, {-2.25f, 5.5f}, {3.00390625f, 0.99609375f}, {0.3f, 0.1f}};
        const int move = trial == 15 ? -1 : int(random() % std::size(moves));
        if (move >= 0) {
            s.path.M[6] = moves[move][0], s.path.M[7] = moves[move][1];
        } else {
            s.path.M[0] = std::cos(0.05f), s.path.M[1] = std::sin(0.05f), s.path.M[3] = -s.path.M[1], s.path.M[4] = s.path.M[0];
        }
        // Within the surface, or over its left, top, right or bottom border.
        const float origins[][2] = {{20.25f, 30}, {-13.015625f, 40.5f}, {15, -11.75f}, {float(width) - 600.5f, 20.125f},
                                    {30.0078125f, float(height) - 300}};
        const float* origin = origins[trial % 5 == 0 ? 0 : random() % std::size(origins)];
        const float layoutWidth = trial % 5 == 3 ? float(width) - 250 : float(width) - 60;
        std::vector<uint8_t> drawn = s.backdrop;
        {
            std::unique_ptr<orv_surface, void (*)(orv_surface*)> surface(
                orv_surface_create_for_data(width, height, 0x34324241, width * 4, drawn.data()), orv_surface_destroy);
            const auto context = std::make_shared<Context2D>(surface.get());
            context->renderState->origin = Origin::TopLeft;
            context->renderState->blendMode = s.blend;
            context->SetThreads(1 + trial % 4);
            context->transforms->path->Set(s.path);
            const auto font = FontNamed(context, fonts[trial % 3], size);
            TextLayout layout(font, paragraph.c_str(), layoutWidth, TextAlignment(trial % 4));
            ASSERT_GT(layout.LineCount(), 5);
            int glyphs = 0;
            for (int i = 0; i < layout.LineCount(); ++i) {
                PlainOutlines(layout.LineRun(i), size, double(origin[0]) + double(layout.Line(i).X),
                              double(origin[1]) + double(layout.Line(i).Y), s);
                glyphs += int(layout.LineRun(i).Glyphs().size());
            }
            EXPECT_GT(glyphs, 1500);
            auto fill = std::make_shared<FillState>();
            std::shared_ptr<Image> image;
            std::vector<uint8_t> imageBytes;
            fill->Paint(RoadScenes::MakePaint(s.fillSpec, context, image, imageBytes));
            layout.Draw(origin[0], origin[1], fill);
            context->Finish();
        }
        std::vector<uint8_t> plain = s.backdrop;
        DrawSupport::ComposePlainly(s, plain.data(), nullptr);
        size_t differs = 0;
        while (differs < drawn.size() && drawn[differs] == plain[differs])
            ++differs;
        ASSERT_EQ(differs, drawn.size()) << "trial " << trial << " pixel " << differs / 4 % size_t(width) << ", "
                                         << differs / 4 / size_t(width) << " blend " << int(s.blend) << " move " << move;
        changed += drawn != s.backdrop;
    }
    EXPECT_GE(changed, 12);  // an opaque paint keeps the backdrop under a destination-in
}

// Glyphs near and beyond the largest flattened in their own frame (4096 pixels), huge ones keeping
// their curves, and positions far away or not finite: the same composition, in bounded time.
TEST(TextRun, HugeGlyphsAndFarPositions) {
    const struct {
        int size;
        float x, y;
        bool curved;
    } cases[] = {{2500, -300.25f, 1200.5f, false}, {9000, -2000, 4000, true}, {120, 1e20f, 50, false}, {60, 20, 2.5e15f, false}};
    for (const auto& c : cases) {
        RoadScenes::Scene s;
        s.width = 256, s.height = 192, s.filled = true, s.rule = FillRule::NonZero;
        s.backdrop.assign(size_t(s.width) * s.height * 4, 40);
        s.fillSpec.color = Color{0.2f, 0.5f, 0.9f, 0.75f};
        std::vector<uint8_t> drawn = s.backdrop;
        {
            RoadScenes::Drawing drawing(s, drawn.data());
            const auto font = FontNamed(drawing.context, "DejaVu Sans", c.size);
            TextRun run(font, "\xE2\x96\x88@Wg");  // a full block first, over the whole surface
            PlainOutlines(run, c.size, c.x, c.y, s, c.curved);
            run.Draw(c.x, c.y, drawing.fill);
            drawing.context->Finish();
        }
        if (c.size < 1000) {
            EXPECT_EQ(drawn, s.backdrop) << "far away: nothing on the surface";  // and beyond AGG's own range
            continue;
        }
        std::vector<uint8_t> plain = s.backdrop;
        DrawSupport::ComposePlainly(s, plain.data(), nullptr);
        EXPECT_EQ(drawn, plain) << "size " << c.size;
        EXPECT_NE(drawn, s.backdrop) << "size " << c.size;
    }
}

// A run and a layout drawn again and again by one context, as a program redraws its labels: draws
// that land every glyph at the quarters of an earlier one, moved by whole pixels, add the glyphs'
// cells summed once; the others do not. Every draw, against AGG composed directly: repeated and
// moved by whole pixels (also by the path transform), by quarters and less, over each border,
// solid and gradient paints, every blend mode, one to three threads.
TEST(TextRun, RedrawnTextDrawsAsTheOutlines) {
    std::mt19937 random(20261209);
    const int width = 480, height = 320, size = 14;
    RoadScenes::Scene s;
    s.width = width, s.height = height, s.filled = true, s.rule = FillRule::NonZero;
    s.backdrop.resize(size_t(width) * height * 4);
    for (uint8_t& b : s.backdrop)
        b = uint8_t(random());
    std::vector<uint8_t> drawn = s.backdrop, plain = s.backdrop;
    std::unique_ptr<orv_surface, void (*)(orv_surface*)> surface(
        orv_surface_create_for_data(width, height, 0x34324241, width * 4, drawn.data()), orv_surface_destroy);
    const auto context = std::make_shared<Context2D>(surface.get());
    context->renderState->origin = Origin::TopLeft;
    const auto font = FontNamed(context, "DejaVu Sans", size);
    const TextRun run(font, "AV To office \xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7 na\xC3\xAFve 42");
    TextRun& label = const_cast<TextRun&>(run);
    TextLayout layout(font, "Wrapped and justified, twice over: kerning AV To Wa, marks i\xCC\x88\xCC\x81.", 150,
                      TextAlignment::Justify);
    auto unit = [&] { return float(random() % 1001) / 1000; };
    float x = 40, y = 60;
    int moved = 0;
    for (int draw = 0; draw < 150; ++draw) {
        const bool paragraph = draw % 4 == 3 && draw > 10;
        // Mostly the same place or whole pixels away; now and then a fraction, or over a border.
        // First as scripted: kept cells made, used, then quarters changed with the wholes kept.
        const float script[][2] = {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0.25f}, {0, 0}, {0, 0}, {3, 1}, {0.25f, 0}, {0, 0}};
        const int kind = draw < int(std::size(script)) ? -1 : int(random() % 12);
        if (kind < 0) {
            x += script[draw][0], y += script[draw][1];
        } else if (kind < 7) {
            x += float(int(random() % 81) - 40), y += float(int(random() % 41) - 20);
        } else if (kind == 7) {
            x += float(int(random() % 9) - 4) / 4, y += float(int(random() % 9) - 4) / 8;
        } else if (kind == 8) {
            x += unit() - 0.5f;
        } else if (kind == 9) {
            const float borders[][2] = {{-7.5f, 100}, {300, 6}, {float(width) - 120, 200}, {150, float(height) - 4}};
            // Whole pixels away, so that only the borders refuse the kept cells.
            const float* border = borders[random() % 4];
            x = std::floor(border[0]) + (x - std::floor(x)), y = std::floor(border[1]) + (y - std::floor(y));
        }
        if (kind != 9)  // back within the surface
            x = std::clamp(x, 10.0f, float(width) - 260), y = std::clamp(y, 30.0f, float(height) - 80);
        const float shifts[][2] = {{5, -2}, {-1.25f, 3}, {2.00390625f, -0.99609375f}, {0.3f, 0.1f}};
        const float none[2] = {0, 0};
        const float* shift = random() % 3 ? none : shifts[random() % std::size(shifts)];
        s.path = Matrix3::Identity;
        s.path.M[6] = shift[0], s.path.M[7] = shift[1];
        s.blend = draw % 5 == 4 ? BlendMode(random() % 10) : BlendMode::SourceOver;
        if (draw % 7 == 6) {
            s.fillSpec = DrawSupport::GradientSpec({ColorStop{0, Color{unit(), unit(), unit(), 1}}, ColorStop{1, Color{unit(), unit(), unit(), unit()}}},
                                                   SpreadMode(random() % 3), {unit() * 200, unit() * 200, 300 + unit() * 200, unit() * 300});
        } else {
            s.fillSpec = RoadScenes::PaintSpec();
            s.fillSpec.color = Color{unit(), unit(), unit(), draw % 2 ? 1.0f : unit()};
        }
        s.vertices.clear();
        if (paragraph) {
            for (int i = 0; i < layout.LineCount(); ++i)
                PlainOutlines(layout.LineRun(i), size, double(x) + double(layout.Line(i).X), double(y) + double(layout.Line(i).Y), s);
        } else {
            PlainOutlines(run, size, x, y, s);
        }
        context->renderState->blendMode = s.blend;
        context->SetThreads(1 + draw % 3);
        context->transforms->path->Set(s.path);
        auto fill = std::make_shared<FillState>();
        std::shared_ptr<Image> image;
        std::vector<uint8_t> imageBytes;
        fill->Paint(RoadScenes::MakePaint(s.fillSpec, context, image, imageBytes));
        if (paragraph)
            layout.Draw(x, y, fill);
        else
            label.Draw(x, y, fill);
        context->Finish();
        const std::vector<uint8_t> before = plain;
        DrawSupport::ComposePlainly(s, plain.data(), nullptr);
        moved += plain != before;
        ASSERT_EQ(drawn, plain) << "draw " << draw << " at " << x << ", " << y << " shifted " << shift[0] << ", "
                                << shift[1] << (paragraph ? " paragraph" : " run");
    }
    EXPECT_GT(moved, 100);
}

// ---------------------------------------------------------------- layout

namespace {

// DejaVu Sans Mono at 10 pixels: every advance is 1233 x 640 / 2048 = 385.3, 385/64 pixel.
constexpr int64_t kMono = 385;

std::shared_ptr<Font> Mono(const std::shared_ptr<Context2D>& context = Scratch()) {
    return FontNamed(context, "DejaVu Sans Mono", 10);
}

}  // namespace

TEST(TextLayout, BreaksAndAlignsAsWorkedOut) {
    const auto font = Mono();
    struct Line {
        int start, end;
        double x;  // 1/64 pixel, or in the width's pixels for the fractional cases
        int64_t advance;
    };
    const float width = 42.2f;  // 2700.8/64: "aaa bbb" (2695) fits, "aaa bbb ccc" does not
    const double right = double(width) - 7.0 * kMono / 64, rightLast = double(width) - 3.0 * kMono / 64;
    struct Case {
        const char* text;
        float width;
        TextAlignment alignment;
        std::vector<Line> lines;
    } const cases[] = {
        {"aaa bbb ccc", width, TextAlignment::Left, {{0, 7, 0, 7 * kMono}, {8, 11, 0, 3 * kMono}}},
        {"aaa bbb ccc", width, TextAlignment::Right, {{0, 7, right, 7 * kMono}, {8, 11, rightLast, 3 * kMono}}},
        {"aaa bbb ccc", width, TextAlignment::Center, {{0, 7, right / 2, 7 * kMono}, {8, 11, rightLast / 2, 3 * kMono}}},
        // Justified: 2700 - 2695 = 5/64 after the one space; the last line as Left.
        {"aaa bbb ccc", width, TextAlignment::Justify, {{0, 7, 0, 2700}, {8, 11, 0, 3 * kMono}}},
        // Spaces at a break are left out; a newline always breaks, and is no justified line's end.
        {"aa   bb\nc\n\nd", 100, TextAlignment::Justify,
         {{0, 7, 0, 7 * kMono}, {8, 9, 0, kMono}, {10, 10, 0, 0}, {11, 12, 0, kMono}}},
        // A word wider than the width stands alone; a width of 0 puts each word on its own line.
        {"aaaaaaaaaa b", 20, TextAlignment::Left, {{0, 10, 0, 10 * kMono}, {11, 12, 0, kMono}}},
        {"a b-c d", 0, TextAlignment::Left, {{0, 1, 0, kMono}, {2, 4, 0, 2 * kMono}, {4, 5, 0, kMono}, {6, 7, 0, kMono}}},
        {"tail\n", 100, TextAlignment::Left, {{0, 4, 0, 4 * kMono}}},
        {"", 100, TextAlignment::Left, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " alignment " + std::to_string(int(c.alignment)));
        const TextLayout layout(font, c.text, c.width, c.alignment);
        ASSERT_EQ(layout.LineCount(), int(c.lines.size()));
        for (int i = 0; i < layout.LineCount(); ++i) {
            const TextLine& line = layout.Line(i);
            EXPECT_EQ(line.Start, c.lines[i].start);
            EXPECT_EQ(line.End, c.lines[i].end);
            EXPECT_EQ(line.X, float(c.lines[i].x));
            EXPECT_EQ(line.Y, font->Ascender() + float(i) * font->Height());
            EXPECT_EQ(line.Width, float(c.lines[i].advance) / 64);
            const std::vector<Glyph>& glyphs = layout.LineRun(i).Glyphs();
            if (!glyphs.empty()) {
                EXPECT_EQ(glyphs[0].Cluster, unsigned(c.lines[i].start));
            }
        }
        const TextExtents extents = layout.Extents();
        EXPECT_EQ(extents.Width, c.width);
        EXPECT_EQ(extents.Height, font->Height() * float(c.lines.size()));
    }
    // The justified line's second word moved by the 5/64 pixel left over.
    const TextLayout justified(font, "aaa bbb ccc", width, TextAlignment::Justify);
    EXPECT_EQ(justified.LineRun(0).Glyphs()[4].X, float(4 * kMono + 5) / 64);
    EXPECT_EQ(justified.LineRun(0).Glyphs()[3].X, float(3 * kMono) / 64);
    // Three spaces share 10/64: 4, 3, 3.
    const TextLayout shares(font, "a b c d e", float(7 * kMono + 10) / 64, TextAlignment::Justify);
    ASSERT_EQ(shares.LineCount(), 2);
    const std::vector<Glyph>& g = shares.LineRun(0).Glyphs();
    EXPECT_EQ(g[2].X * 64, 2 * kMono + 4);
    EXPECT_EQ(g[4].X * 64, 4 * kMono + 7);
    EXPECT_EQ(g[6].X * 64, 6 * kMono + 10);
}

TEST(TextLayout, RightToLeftParagraphsKeepTheirDirectionOnEveryLine) {
    const auto font = FontNamed(Scratch(), "DejaVu Sans", 16);
    // The last line is Latin, but in a right-to-left paragraph its final "!" stands at its left.
    const std::string text = "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D \xD7\xA2\xD7\x95\xD7\x9C\xD7\x9D abc!";
    const TextLayout layout(font, text.c_str(), 1, TextAlignment::Left);
    ASSERT_EQ(layout.LineCount(), 3);
    const std::vector<Glyph>& line = layout.LineRun(2).Glyphs();
    ASSERT_EQ(line.size(), 4u);
    EXPECT_EQ(line[0].Cluster, 21u);
    EXPECT_EQ(line[1].Cluster, 18u);
    EXPECT_EQ(TextRun(font, "abc!").Glyphs()[0].Cluster, 0u);  // on its own, left to right
}

// Every line of a layout is its text shaped on its own, glyph for glyph, however the layout comes
// by its glyphs: random paragraphs of kerning pairs, ligatures, marks, Indic and Thai clusters,
// numbers, fallback fonts, soft hyphens and hyphens, with features, at random widths.
TEST(TextLayout, LinesAreTheirTextShapedAlone) {
    const char* pieces[] = {"AV ", "To ", "Wa", "office ", "fi", "caf\x65\xCC\x81 ", "na\xC3\xAFve ", "42 ", "3.14 ",
                            "\xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87 ",
                            "\xE0\xB8\xAA\xE0\xB8\xA7\xE0\xB8\xB1\xE0\xB8\xAA\xE0\xB8\x94\xE0\xB8\xB5 ", "co\xC2\xADop ",
                            "well-known ", "\xCE\xB4\xCE\xAD\xCE\xBB\xCF\x84\xCE\xB1 ", "\xE6\xBC\xA2\xE5\xAD\x97 ", "(x) ",
                            "i\xCC\x88\xCC\x81 ", "\xE2\x80\x94", "  ", "\n", "Lj ", "\xEF\xAC\x81 ",
                            // Kerned across a break after the hyphen: the hyphen's advance is not the same alone.
                            "x-Type ", "AV-AVA-Yes ", "re-Join"};
    const char* features[] = {nullptr, "liga=0", "kern=0,tnum", "smcp"};
    const char* fonts[] = {"DejaVu Sans", "Noto Serif", "DejaVu Sans Mono"};
    std::mt19937 random(91209);
    int lines = 0;
    for (int trial = 0; trial < 60; ++trial) {
        std::string text;
        const int count = 1 + int(random() % 40);
        for (int i = 0; i < count; ++i)
            text += pieces[random() % std::size(pieces)];
        const char* feature = features[random() % std::size(features)];
        const auto font = FontNamed(Scratch(), fonts[random() % std::size(fonts)], 9 + int(random() % 20));
        const TextLayout layout(font, text.c_str(), float(random() % 400), TextAlignment::Left, feature);
        for (int i = 0; i < layout.LineCount(); ++i, ++lines) {
            const TextLine& line = layout.Line(i);
            const std::string alone = text.substr(size_t(line.Start), size_t(line.End - line.Start));
            SCOPED_TRACE("trial " + std::to_string(trial) + " line " + std::to_string(i) + ": " + alone);
            const TextRun run(font, alone.c_str(), feature);
            const std::vector<Glyph>& expected = run.Glyphs();
            const std::vector<Glyph>& got = layout.LineRun(i).Glyphs();
            ASSERT_EQ(got.size(), expected.size());
            for (size_t g = 0; g < got.size(); ++g) {
                EXPECT_EQ(got[g].Index, expected[g].Index) << "glyph " << g;
                EXPECT_EQ(got[g].Cluster, expected[g].Cluster + unsigned(line.Start)) << "glyph " << g;
                EXPECT_EQ(got[g].X, expected[g].X) << "glyph " << g;
                EXPECT_EQ(got[g].Y, expected[g].Y) << "glyph " << g;
                EXPECT_EQ(got[g].Font, expected[g].Font) << "glyph " << g;
            }
            EXPECT_EQ(layout.LineRun(i).Advance(), run.Advance());
            EXPECT_EQ(line.Width, run.Advance());
        }
    }
    EXPECT_GT(lines, 300);
}

TEST(TextLayout, HostileInput) {
    const auto font = Mono();
    using TestSupport::ExpectOutcome;
    for (float width : {-1.0f, NAN, INFINITY, 16777217.0f * 2})
        ExpectOutcome([&] { TextLayout(font, "a", width, TextAlignment::Left); },
                      "ArgumentOutOfRange: The layout width must be from 0 to 16777216 pixels.\n");
    ExpectOutcome([&] { TextLayout(font, "a", 10, TextAlignment(4)); }, "ArgumentOutOfRange: ");
    ExpectOutcome([&] { TextLayout(font, nullptr, 10, TextAlignment::Left); }, "ArgumentNull: ");
    ExpectOutcome([&] { TextLayout(nullptr, "a", 10, TextAlignment::Left); }, "ArgumentNull: ");
    EXPECT_THROW(TextLayout(font, "a", 10, TextAlignment::Left, "kern=x"), ArgumentException);
    const TextLayout layout(font, "a b", 1, TextAlignment::Left);
    for (int index : {-1, 2, INT_MAX}) {
        EXPECT_THROW(layout.Line(index), ArgumentOutOfRangeException);
        EXPECT_THROW(layout.LineRun(index), ArgumentOutOfRangeException);
    }
    // Malformed UTF-8 and control characters break and shape like any text.
    const TextLayout bad(font, "\xFF\xFE \x01\x02\r\n\xE2\x80\xA8x \xF0\x9F", 1, TextAlignment::Justify);
    EXPECT_GE(bad.LineCount(), 3);
}

TEST(TextLayout, DrawsEveryLineAsOnePath) {
    std::mt19937 random(38);
    for (int trial = 0; trial < 40; ++trial) {
        RoadScenes::Scene s;
        s.width = 160, s.height = 120;
        s.backdrop.assign(size_t(s.width) * s.height * 4, 0);
        for (uint8_t& b : s.backdrop)
            b = uint8_t(random());
        s.filled = true, s.rule = FillRule::NonZero;
        s.blend = BlendMode(random() % 10);
        s.origin = random() % 2 ? Origin::TopLeft : Origin::BottomLeft;
        s.fillSpec.color = Color{float(random() % 256) / 255, 0.5f, 0.25f, float(random() % 256) / 255};
        std::vector<uint8_t> drawn = s.backdrop;
        const int size = 8 + int(random() % 14);
        const float width = float(random() % 9000) / 64, x = float(random() % 640) / 64 - 2, y = float(random() % 640) / 64;
        const TextAlignment alignment = TextAlignment(random() % 4);
        {
            RoadScenes::Drawing drawing(s, drawn.data());
            const auto font = FontNamed(drawing.context, trial % 2 ? "DejaVu Sans" : "Noto Serif", size);
            TextLayout layout(font, "Shaped text, wrapped and justified: office \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D 42.",
                              width, alignment);
            for (int i = 0; i < layout.LineCount(); ++i)
                PlainOutlines(layout.LineRun(i), size, double(x) + double(layout.Line(i).X),
                              double(y) + double(layout.Line(i).Y), s);
            layout.Draw(x, y, drawing.fill);
            drawing.context->Finish();
        }
        std::vector<uint8_t> plain = s.backdrop;
        DrawSupport::ComposePlainly(s, plain.data(), nullptr);
        ASSERT_EQ(drawn, plain) << "trial " << trial;
        EXPECT_NE(drawn, s.backdrop);
    }
}

// A run or a paragraph keeps its outlines between draws and rebuilds them in the same storage
// when the origin moves: every draw of a sequence on one surface, the origin often the one
// before, the transform, blend mode and colour changing, against AGG composed directly from
// outlines placed anew. The paragraphs run to some sixty lines.
TEST(TextLayout, KeptOutlinesDrawAsPlacedAnew) {
    std::mt19937 random(3812);
    std::string paragraph;
    for (int i = 0; i < 40; ++i)
        paragraph += "Shaped text, wrapped and justified: office \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D 42. ";
    for (int trial = 0; trial < 12; ++trial) {
        const int width = 180, height = 760, size = 8 + int(random() % 5);
        std::vector<uint8_t> drawn(size_t(width) * height * 4), plain;
        for (uint8_t& b : drawn)
            b = uint8_t(random());
        plain = drawn;
        std::unique_ptr<orv_surface, void (*)(orv_surface*)> surface(
            orv_surface_create_for_data(width, height, 0x34324241, width * 4, drawn.data()), orv_surface_destroy);
        const auto context = std::make_shared<Context2D>(surface.get());
        context->renderState->origin = Origin::TopLeft;
        const auto font = FontNamed(context, trial % 2 ? "DejaVu Sans" : "Noto Serif", size);
        const bool layout = trial % 3 != 2;
        TextLayout paragraphs(font, paragraph.c_str(), float(width - 10), TextAlignment(trial % 4));
        TextRun run(font, "Kept AV office \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D 42");
        if (layout) {
            ASSERT_GT(paragraphs.LineCount(), 40);
        }
        // A few origins, so that most draws meet the one before; NaN draws nothing, kept or not.
        const float origins[][2] = {{3.25f, 2}, {3.25f, 41.5f}, {-1.5f, 40.015625f}, {60.5f, 300.75f}, {NAN, 5}};
        for (int step = 0; step < 10; ++step) {
            const float* origin = origins[random() % 2 ? 0 : random() % 5];
            RoadScenes::Scene s;
            s.width = width, s.height = height, s.filled = true, s.rule = FillRule::NonZero;
            s.blend = BlendMode(random() % 10);
            s.fillSpec.color = Color{float(random() % 256) / 255, 0.5f, 0.25f, float(random() % 256) / 255};
            if (random() % 2) {
                const float angle = float(int(random() % 200) - 100) / 1000;
                s.path.M[0] = std::cos(angle), s.path.M[1] = std::sin(angle);
                s.path.M[3] = -s.path.M[1], s.path.M[4] = s.path.M[0], s.path.M[7] = float(random() % 20);
            }
            if (layout) {
                for (int i = 0; i < paragraphs.LineCount(); ++i)
                    PlainOutlines(paragraphs.LineRun(i), size, double(origin[0]) + double(paragraphs.Line(i).X),
                                  double(origin[1]) + double(paragraphs.Line(i).Y), s);
            } else {
                PlainOutlines(run, size, origin[0], origin[1], s);
            }
            context->renderState->blendMode = s.blend;
            context->transforms->path->Set(s.path);
            auto fill = std::make_shared<FillState>();
            fill->Paint(std::make_shared<ColorPaint>(context, s.fillSpec.color));
            if (layout)
                paragraphs.Draw(origin[0], origin[1], fill);
            else
                run.Draw(origin[0], origin[1], fill);
            context->Finish();
            if (!std::isnan(origin[0]))
                DrawSupport::ComposePlainly(s, plain.data(), nullptr);
            ASSERT_EQ(drawn, plain) << "trial " << trial << " step " << step;
        }
    }
}

// ---------------------------------------------------------------- the C interface

TEST(TextCInterface, RunsAndLayoutsAsTheClasses) {
    TestSupport::Surface cSurface(120, 60), cppSurface(120, 60);
    orv_context2D context = orv_context2D_create(cSurface.surface);
    orv_font font = orv_font_create_from_name(context, "DejaVu Sans", 18);
    const auto cppContext = std::make_shared<Context2D>(cppSurface.surface);
    const auto cppFont = FontNamed(cppContext, "DejaVu Sans", 18);
    const char* text = "To \xD7\xA9\xD7\x9C 1 office \xE0\xB8\xAA";
    orv_text_run run = orv_text_run_create(font, text, "liga=0");
    ASSERT_TRUE(run);
    const TextRun cppRun(cppFont, text, "liga=0");
    int count = -1;
    const orv_glyph* glyphs = orv_text_run_glyphs_get(run, &count);
    ASSERT_EQ(count, int(cppRun.Glyphs().size()));
    for (int i = 0; i < count; ++i) {
        const Glyph& g = cppRun.Glyphs()[size_t(i)];
        EXPECT_EQ(glyphs[i].index, g.Index);
        EXPECT_EQ(glyphs[i].cluster, g.Cluster);
        EXPECT_EQ(glyphs[i].x, g.X);
        EXPECT_EQ(glyphs[i].y, g.Y);
        EXPECT_EQ(glyphs[i].font, g.Font);
        EXPECT_STREQ(orv_text_run_font_file_name_get(run, glyphs[i].font), cppRun.FontFileName(g.Font).c_str());
    }
    EXPECT_EQ(orv_text_run_advance_get(run), cppRun.Advance());
    const orv_text_extents logical = orv_text_run_logical_extents_get(run), ink = orv_text_run_ink_extents_get(run);
    EXPECT_EQ(logical.width, cppRun.LogicalExtents().Width);
    EXPECT_EQ(logical.y, cppRun.LogicalExtents().Y);
    EXPECT_EQ(ink.x, cppRun.InkExtents().X);
    EXPECT_EQ(ink.height, cppRun.InkExtents().Height);
    orv_text_run language = orv_text_run_create_with_language(font, text, nullptr, "he");
    EXPECT_TRUE(language);
    orv_text_run_destroy(language);

    orv_color_paint paint = orv_color_paint_create(context, 0.1f, 0.6f, 0.9f, 0.8f);
    orv_fill_state fill = orv_fill_state_create();
    orv_fill_state_paint_set(fill, paint);
    orv_text_run_draw(run, 3.25f, 30.5f, fill);
    auto cppFill = DrawSupport::FillIn(cppContext, Color{0.1f, 0.6f, 0.9f, 0.8f});
    TextRun(cppFont, text, "liga=0").Draw(3.25f, 30.5f, cppFill);
    orv_context2D_finish(context);
    cppContext->Finish();
    EXPECT_EQ(cSurface.memory, cppSurface.memory);
    EXPECT_NE(cSurface.memory, std::vector<uint8_t>(cSurface.memory.size(), 0));

    orv_text_layout layout = orv_text_layout_create(font, "aaa bbb ccc ddd", nullptr, 50, ORV_TEXT_ALIGNMENT_CENTER);
    const TextLayout cppLayout(cppFont, "aaa bbb ccc ddd", 50, TextAlignment::Center);
    ASSERT_EQ(orv_text_layout_line_count_get(layout), cppLayout.LineCount());
    for (int i = 0; i < cppLayout.LineCount(); ++i) {
        const orv_text_line line = orv_text_layout_line_get(layout, i);
        EXPECT_EQ(line.start, cppLayout.Line(i).Start);
        EXPECT_EQ(line.end, cppLayout.Line(i).End);
        EXPECT_EQ(line.x, cppLayout.Line(i).X);
        EXPECT_EQ(line.y, cppLayout.Line(i).Y);
        EXPECT_EQ(line.width, cppLayout.Line(i).Width);
        int lineCount = 0;
        const orv_glyph* lineGlyphs = orv_text_layout_line_glyphs_get(layout, i, &lineCount);
        ASSERT_EQ(lineCount, int(cppLayout.LineRun(i).Glyphs().size()));
        EXPECT_EQ(lineGlyphs[0].cluster, cppLayout.LineRun(i).Glyphs()[0].Cluster);
    }
    EXPECT_EQ(orv_text_layout_extents_get(layout).height, cppLayout.Extents().Height);
    orv_text_layout_draw(layout, 1, 2, fill);
    TextLayout(cppFont, "aaa bbb ccc ddd", 50, TextAlignment::Center).Draw(1, 2, cppFill);
    orv_context2D_finish(context);
    cppContext->Finish();
    EXPECT_EQ(cSurface.memory, cppSurface.memory);

    orv_text_layout_destroy(layout);
    orv_fill_state_destroy(fill);
    orv_color_paint_destroy(paint);
    orv_text_run_destroy(run);
    orv_font_destroy(font);
    orv_context2D_destroy(context);
}
