#include "text/Utf8.hpp"

namespace ORV {
namespace Vudadive2R {

std::u32string CodePointsOfBytes(const char* text) {
    std::u32string codes;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c)
        codes.push_back(*c);
    return codes;
}

std::u32string CodePointsOfUtf8(const char* text) {
    std::u32string codes;
    char32_t code = 0;
    unsigned needed = 0;
    // The range the next continuation byte must lie in. The first one after
    // E0, ED, F0 and F4 is narrowed so that overlong forms, surrogates and
    // values above U+10FFFF end the sequence at that byte.
    unsigned lower = 0x80, upper = 0xBF;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c;) {
        const unsigned byte = *c;
        if (needed == 0) {
            ++c;
            if (byte < 0x80) {
                codes.push_back(byte);
            } else if (byte >= 0xC2 && byte <= 0xDF) {
                needed = 1;
                code = byte & 0x1F;
            } else if (byte >= 0xE0 && byte <= 0xEF) {
                lower = byte == 0xE0 ? 0xA0 : 0x80;
                upper = byte == 0xED ? 0x9F : 0xBF;
                needed = 2;
                code = byte & 0x0F;
            } else if (byte >= 0xF0 && byte <= 0xF4) {
                lower = byte == 0xF0 ? 0x90 : 0x80;
                upper = byte == 0xF4 ? 0x8F : 0xBF;
                needed = 3;
                code = byte & 0x07;
            } else {
                codes.push_back(kReplacementCharacter);
            }
            continue;
        }
        if (byte < lower || byte > upper) {
            // Not consumed: it may begin the next sequence.
            codes.push_back(kReplacementCharacter);
            needed = 0;
            lower = 0x80, upper = 0xBF;
            continue;
        }
        ++c;
        lower = 0x80, upper = 0xBF;
        code = (code << 6) | (byte & 0x3F);
        if (--needed == 0)
            codes.push_back(code);
    }
    if (needed != 0)
        codes.push_back(kReplacementCharacter);
    return codes;
}

}  // namespace Vudadive2R
}  // namespace ORV
