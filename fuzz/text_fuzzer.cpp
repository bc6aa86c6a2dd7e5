// Shaped text: random UTF-8 (malformed sequences, controls, marks and every
// script the installed fonts cover, colour emoji), random feature strings, fonts by name,
// sizes, layout widths and alignments, shaped, measured and drawn with a
// random render state. Only the documented exceptions may leave: a feature
// that cannot be read (ArgumentException), a width or alignment out of range
// (ArgumentOutOfRangeException), a blend mode or fill rule outside its list
// (NotSupportedException).
#include <vudadive2r.hpp>

#include "FuzzSupport.hpp"

using namespace FuzzSupport;

namespace {

const char* const kFonts[] = {"DejaVu Sans", "Noto Sans Arabic", "Noto Serif", "monospace",
                              "Noto Sans Devanagari:bold", "Noto Sans Thai", "Noto Sans Hebrew", "serif:italic"};

// Pieces the text and the features are made of, besides raw bytes.
const char* const kTextPieces[] = {
    "AV", "ffi", " ", "\n", "\t", "-", "123", "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D", "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7",
    "\xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87", "\xE0\xB8\xAA\xE0\xB8\xA7\xE0\xB8\xB1",
    "\xCC\x81", "\xE2\x80\x8D", "\xE2\x80\x8F", "\xE2\x80\xAE", "\xE2\x81\xA6", "(", ")", "\xF0\x9F\x98\x80",
    "\xE4\xB8\xAD", "\xE2\x80\xA8", "\xEF\xBF\xBD", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
    // Emoji of the colour font (its bitmaps are drawn as images), a presentation selector.
    "\xF0\x9F\x9A\x80", "\xF0\x9F\x8D\x95", "\xEF\xB8\x8F"};
const char* const kFeaturePieces[] = {"liga", "=0", "kern", "tnum", "-", "+", "[", "]", ":", ",", "3", "smcp=1",
                                      "aalt=2", "\"", "'", " "};

std::string Pieces(FuzzInput& input, const char* const* pieces, size_t count, size_t limit) {
    std::string out;
    for (unsigned n = input.Count(40); n > 0 && out.size() < limit; --n) {
        const uint8_t choice = input.Byte();
        if (choice < 160)
            out += pieces[choice % count];
        else
            out += char(input.Byte() ? input.Byte() : 'x');  // no terminating zero inside
    }
    return out.substr(0, limit);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    RandomScene scene(input);
    const char* pattern = kFonts[input.Byte() % std::size(kFonts)];
    const int fontSize = 1 + int(input.Count(120));
    const bool features = input.Byte() & 1;
    const std::string featureText = Pieces(input, kFeaturePieces, std::size(kFeaturePieces), 64);
    const float width = input.Byte() < 16 ? input.RawFloat() : float(input.U16()) / 64;
    const int alignment = int(input.Count(4));
    const float x = input.Coordinate(), y = input.Coordinate();
    const std::string text = Pieces(input, kTextPieces, std::size(kTextPieces), 400);
    // Redrawn at the same place and whole pixels away: the glyphs' cells summed and kept.
    const float dx = float(int(input.Byte()) - 128), dy = float(int(input.Byte()) - 128);
    try {
        auto font = std::make_shared<Font>(scene.target.context, FontName{pattern}, fontSize);
        TextRun run(font, text.c_str(), features ? featureText.c_str() : nullptr);
        for (const Glyph& glyph : run.Glyphs())
            if (glyph.Cluster > text.size() || glyph.Font < 0)
                std::abort();
        run.InkExtents();
        run.Draw(x, y, scene.fill);
        run.Draw(x, y, scene.fill);
        run.Draw(x + dx, y + dy, scene.fill);
        TextLayout layout(font, text.c_str(), width, TextAlignment(alignment), features ? featureText.c_str() : nullptr);
        for (int i = 0; i < layout.LineCount(); ++i)
            if (layout.Line(i).Start > layout.Line(i).End || size_t(layout.Line(i).End) > text.size())
                std::abort();
        layout.Draw(x, y, scene.fill);
        layout.Draw(x + dx, y + dy, scene.fill);
    } catch (const ArgumentException&) {
    } catch (const ArgumentOutOfRangeException&) {
    } catch (const NotSupportedException&) {
    }
    return 0;
}
