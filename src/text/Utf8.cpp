#include "text/Utf8.hpp"

namespace ORV {
namespace Vudadive2R {

bool CodePointReader::Next(char32_t& code) {
    const unsigned char* c = position;
    if (*c == 0)
        return false;
    const unsigned lead = *c++;
    if (!utf8 || lead < 0x80) {
        code = lead;
        position = c;
        return true;
    }
    // The range the next continuation byte must lie in. The first one after
    // E0, ED, F0 and F4 is narrowed so that overlong forms, surrogates and
    // values above U+10FFFF end the sequence at that byte.
    unsigned needed = 0, lower = 0x80, upper = 0xBF;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        needed = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        needed = 2;
        value = lead & 0x0F;
        lower = lead == 0xE0 ? 0xA0 : 0x80;
        upper = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        needed = 3;
        value = lead & 0x07;
        lower = lead == 0xF0 ? 0x90 : 0x80;
        upper = lead == 0xF4 ? 0x8F : 0xBF;
    }
    for (; needed > 0; --needed, ++c) {
        // The terminating zero is below every range: a cut-short sequence.
        if (*c < lower || *c > upper) {
            value = kReplacementCharacter;
            break;
        }
        value = value << 6 | (*c & 0x3F);
        lower = 0x80, upper = 0xBF;
    }
    // A lead byte that begins nothing (80 to C1, F5 to FF) is one U+FFFD.
    code = lead >= 0xC2 && lead <= 0xF4 ? value : kReplacementCharacter;
    position = c;
    return true;
}

}  // namespace Vudadive2R
}  // namespace ORV
