// Text to the character codes that fonts load.
#ifndef VUDADIVE2R_TEXT_UTF8_HPP
#define VUDADIVE2R_TEXT_UTF8_HPP

#include <string>

namespace ORV {
namespace Vudadive2R {

// The code point that stands for a malformed sequence.
constexpr char32_t kReplacementCharacter = 0xFFFD;

// Each byte up to the terminating zero as one character code 0 to 255.
std::u32string CodePointsOfBytes(const char* text);

// The code points of UTF-8 text up to its terminating zero. Every malformed
// sequence (overlong forms, surrogates, values above U+10FFFF, a lead byte
// without all its continuation bytes, a stray continuation byte) becomes one
// U+FFFD and takes the bytes a web browser's decoder takes: the longest
// prefix of a well-formed sequence, or else one byte. The byte that breaks a
// sequence is read again as the start of the next.
std::u32string CodePointsOfUtf8(const char* text);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
