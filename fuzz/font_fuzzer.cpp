// Fonts: random font bytes opened from a file, or DejaVu Sans, measured and
// drawn with random sizes, strings (single bytes or UTF-8), glyph
// transforms, colours and origins on a small surface, through the glyph
// cache (at its bound or at one that evicts constantly) and without it: the
// lengths and bytes must be the same.
#include "FuzzSupport.hpp"

#include "common/Internals.hpp"
#include "text/GlyphCache.hpp"

using namespace FuzzSupport;

namespace {

constexpr const char* kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

int RandomSize(FuzzInput& input) {
    const uint8_t kind = input.Byte();
    if (kind < 224)
        return int(input.Count(64));
    return input.I32();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    DrawTarget target(input);
    Context2D& context = *target.context;
    context.renderState->origin = Origin(input.Byte() & 1);
    context.transforms->glyph->Set(RandomMatrix(input));
    const int fontSize = RandomSize(input);
    const int x = int(int16_t(input.U16())), y = int(int16_t(input.U16()));
    const Color color = RandomColor(input);
    // The text: up to 32 bytes (any bytes, invalid UTF-8 included), ended
    // where the input says.
    std::string text;
    for (unsigned i = input.Count(32); i > 0; --i) {
        const char c = char(input.Byte());
        text.push_back(c ? c : 'A');
    }
    const bool utf8 = input.Byte() & 1;
    const bool evicting = input.Byte() & 1;
    const bool ownBytes = input.Byte() & 1;
    return Expecting([&] {
        std::unique_ptr<MemoryFile> file;
        if (ownBytes)
            file.reset(new MemoryFile(input.Rest()));
        const char* name = file ? file->name.c_str() : kDejaVuSans;
        Font cached(target.context, name, fontSize), plain(target.context, name, fontSize);
        if (evicting)
            Internals::GlyphCacheOf(cached).reset(new GlyphCache(2048));
        Internals::GlyphCacheOf(plain).reset();
        // Measured, then drawn twice: the second draw finds the glyphs kept.
        // Each call has the time bound of one draw.
        const auto run = [&](Font& font) {
            float length = 0;
            Timed([&] {
                font.Height();
                font.Ascender();
                font.Descender();
                length = utf8 ? font.MeasureStringUtf8(text.c_str()) : font.MeasureString(text.c_str());
            });
            for (int pass = 0; pass < 2; ++pass)
                Timed([&] {
                    if (utf8)
                        font.DrawStringUtf8(x, y + 3 * pass, text.c_str(), color);
                    else
                        font.DrawString(x, y + 3 * pass, text.c_str(), color);
                });
            return length;
        };
        const std::vector<uint8_t> before = target.memory;
        const float cachedLength = run(cached);
        const std::vector<uint8_t> cachedBytes = target.memory;
        std::copy(before.begin(), before.end(), target.memory.begin());
        const float plainLength = run(plain);
        if (std::memcmp(&cachedLength, &plainLength, sizeof(float)) != 0 || cachedBytes != target.memory)
            std::abort();
    });
}
