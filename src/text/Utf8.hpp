// Text to the character codes that fonts load, read one at a time so that a
// text of any length needs no memory of its own.
#ifndef VUDADIVE2R_TEXT_UTF8_HPP
#define VUDADIVE2R_TEXT_UTF8_HPP

namespace ORV {
namespace Vudadive2R {

// The code point that stands for a malformed sequence.
constexpr char32_t kReplacementCharacter = 0xFFFD;

// The characters of a text up to its terminating zero: each byte as one
// code 0 to 255, or the code points of UTF-8. In UTF-8 every malformed
// sequence (overlong forms, surrogates, values above U+10FFFF, a lead byte
// without all its continuation bytes, a stray continuation byte) becomes one
// U+FFFD and takes the bytes a web browser's decoder takes: the longest
// prefix of a well-formed sequence, or else one byte. The byte that breaks a
// sequence is read again as the start of the next.
class CodePointReader {
public:
    enum class Encoding { SingleByte, Utf8 };
    CodePointReader(const char* text, Encoding encoding)
        : position(reinterpret_cast<const unsigned char*>(text)), utf8(encoding == Encoding::Utf8) {}

    // The next character, or false at the end.
    bool Next(char32_t& code);
    // The byte the next character starts at.
    const char* Position() const { return reinterpret_cast<const char*>(position); }

private:
    const unsigned char* position;
    bool utf8;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
