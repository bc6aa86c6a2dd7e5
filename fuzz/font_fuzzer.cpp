// Fonts: random font bytes opened from a file, or DejaVu Sans, measured and
// drawn with random sizes, strings, glyph transforms, colours and origins on
// a small surface.
#include "FuzzSupport.hpp"

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
    const bool ownBytes = input.Byte() & 1;
    return Expecting([&] {
        std::unique_ptr<MemoryFile> file;
        if (ownBytes)
            file.reset(new MemoryFile(input.Rest()));
        Font font(target.context, file ? file->name.c_str() : kDejaVuSans, fontSize);
        Timed([&] {
            font.Height();
            font.Ascender();
            font.Descender();
            font.MeasureString(text.c_str());
            font.DrawString(x, y, text.c_str(), color);
        });
    });
}
