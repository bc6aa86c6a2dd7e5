// UTF-8 text: random bytes, malformed sequences included, decoded by the
// library and by a decoder built the other way round, from the encodings of
// every code point: for each position, the longest well-formed sequence, else
// the longest prefix of one (at least one byte) as U+FFFD. Both must agree.
// Then through the C interface: measuring and drawing the bytes must give
// what measuring and drawing their well-formed re-encoding gives, and text of
// ASCII only what the single-byte operations give.
#include <unordered_set>

#include <vudadive2r.h>

#include "FuzzSupport.hpp"

#include "text/Utf8.hpp"

using namespace FuzzSupport;

namespace {

constexpr const char* kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// A byte string of up to four bytes as one key: the bytes and the length.
uint64_t Key(const uint8_t* bytes, unsigned length) {
    uint64_t key = length;
    for (unsigned i = 0; i < length; ++i)
        key |= uint64_t(bytes[i]) << (8 * i + 8);
    return key;
}

unsigned Encode(char32_t code, uint8_t* out) {
    if (code < 0x80) {
        out[0] = uint8_t(code);
        return 1;
    }
    if (code < 0x800) {
        out[0] = uint8_t(0xC0 | code >> 6);
        out[1] = uint8_t(0x80 | (code & 0x3F));
        return 2;
    }
    if (code < 0x10000) {
        out[0] = uint8_t(0xE0 | code >> 12);
        out[1] = uint8_t(0x80 | (code >> 6 & 0x3F));
        out[2] = uint8_t(0x80 | (code & 0x3F));
        return 3;
    }
    out[0] = uint8_t(0xF0 | code >> 18);
    out[1] = uint8_t(0x80 | (code >> 12 & 0x3F));
    out[2] = uint8_t(0x80 | (code >> 6 & 0x3F));
    out[3] = uint8_t(0x80 | (code & 0x3F));
    return 4;
}

// Every well-formed multi-byte sequence, and every proper prefix of one.
struct Encodings {
    std::unordered_set<uint64_t> whole, prefixes;
    Encodings() {
        whole.reserve(1200000);
        for (char32_t code = 0x80; code <= 0x10FFFF; ++code) {
            if (code >= 0xD800 && code <= 0xDFFF)
                continue;
            uint8_t bytes[4];
            const unsigned length = Encode(code, bytes);
            whole.insert(Key(bytes, length));
            for (unsigned k = 1; k < length; ++k)
                prefixes.insert(Key(bytes, k));
        }
    }
};

std::vector<char32_t> ReferenceDecode(const std::string& text) {
    static const Encodings encodings;
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    std::vector<char32_t> codes;
    for (size_t i = 0; i < text.size();) {
        if (bytes[i] < 0x80) {
            codes.push_back(bytes[i++]);
            continue;
        }
        const unsigned most = unsigned(std::min<size_t>(4, text.size() - i));
        unsigned length = 0;
        for (unsigned k = most; k >= 2 && length == 0; --k)
            if (encodings.whole.count(Key(bytes + i, k)))
                length = k;
        if (length) {
            char32_t code = bytes[i] & (0x7F >> length);
            for (unsigned k = 1; k < length; ++k)
                code = code << 6 | (bytes[i + k] & 0x3F);
            codes.push_back(code);
            i += length;
            continue;
        }
        unsigned taken = 1;
        for (unsigned k = std::min(most, 3u); k >= 1; --k)
            if (encodings.prefixes.count(Key(bytes + i, k))) {
                taken = k;
                break;
            }
        codes.push_back(0xFFFD);
        i += taken;
    }
    return codes;
}

// One surface and context through the C interface.
struct CTarget {
    std::vector<uint8_t> memory;
    orv_surface* surface;
    orv_context2D context;
    CTarget(int width, int height)
        : memory(size_t(width) * height * 4, 0x5a),
          surface(orv_surface_create_for_data(width, height, ZADOZI_FORMAT_AB24, width * 4, memory.data())),
          context(orv_context2D_create(surface)) {
        if (!surface || !context)
            std::abort();
    }
    ~CTarget() {
        orv_context2D_destroy(context);
        orv_surface_destroy(surface);
    }
};

struct Drawn {
    float length;
    std::vector<uint8_t> bytes;
    bool operator==(const Drawn& other) const {
        return std::memcmp(&length, &other.length, sizeof length) == 0 && bytes == other.bytes;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const int fontSize = 1 + int(input.Count(40));
    const int x = int(input.Count(40)) - 8, y = int(input.Count(40));
    const std::vector<uint8_t> rest = input.Rest();
    // Up to 48 bytes, each zero read as an 'A': the text is everything.
    std::string text;
    for (size_t i = 0; i < rest.size() && i < 48; ++i)
        text.push_back(rest[i] ? char(rest[i]) : 'A');

    const std::vector<char32_t> expected = ReferenceDecode(text);
    std::vector<char32_t> decoded;
    ORV::Vudadive2R::CodePointReader reader(text.c_str(), ORV::Vudadive2R::CodePointReader::Encoding::Utf8);
    for (char32_t code; reader.Next(code);)
        decoded.push_back(code);
    if (decoded != expected)
        std::abort();

    std::string wellFormed;
    for (char32_t code : expected) {
        uint8_t bytes[4];
        wellFormed.append(reinterpret_cast<const char*>(bytes), Encode(code, bytes));
    }
    const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return (unsigned char)c < 0x80; });

    return Expecting([&] {
        CTarget target(40, 24);
        orv_font font = orv_font_create(target.context, kDejaVuSans, fontSize);
        if (!font)
            std::abort();
        const auto draw = [&](const std::string& string, bool utf8) {
            std::fill(target.memory.begin(), target.memory.end(), 0x5a);
            std::unique_ptr<char[]> exact(new char[string.size() + 1]);  // no byte to spare
            std::memcpy(exact.get(), string.c_str(), string.size() + 1);
            Drawn drawn{};
            Timed([&] {
                drawn.length = utf8 ? orv_font_measure_string_utf8(font, exact.get())
                                    : orv_font_measure_string(font, exact.get());
                if (utf8)
                    orv_font_draw_string_utf8(font, x, y, exact.get(), 0.1f, 0.2f, 0.7f, 0.9f);
                else
                    orv_font_draw_string(font, x, y, exact.get(), 0.1f, 0.2f, 0.7f, 0.9f);
            });
            drawn.bytes = target.memory;
            return drawn;
        };
        const Drawn raw = draw(text, true);
        const bool same = raw == draw(wellFormed, true) && (!ascii || raw == draw(text, false));
        orv_font_destroy(font);
        if (!same)
            std::abort();
    });
}
