// A paragraph: break opportunities from ICU's line breaking, lines filled
// greedily by the whole text's shaped advances, each line shaped on its own.
#include "vudadive2r/Text.hpp"

#include <unicode/ubrk.h>
#include <unicode/utypes.h>

#include <cmath>
#include <cstring>
#include <new>

#include "common/Internals.hpp"
#include "text/TextFaces.hpp"
#include "text/ColorGlyphs.hpp"
#include "text/TextOutlines.hpp"
#include "text/Utf8.hpp"
#include "vudadive2r/Exceptions.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

constexpr float kWidestLayout = 16777216.0f;

struct Opportunity {
    size_t byte;
    bool mandatory;
};

struct BreakIteratorDeleter {
    void operator()(UBreakIterator* iterator) const { ubrk_close(iterator); }
};

// The line-break opportunities after the start, in byte offsets, the end of the text last.
std::vector<Opportunity> Opportunities(const std::string& text, const char* language) {
    std::vector<UChar> units;
    std::vector<size_t> byteOf;  // of each UTF-16 unit, and of the end
    CodePointReader reader(text.c_str(), CodePointReader::Encoding::Utf8);
    for (;;) {
        const size_t offset = size_t(reader.Position() - text.c_str());
        char32_t code = 0;
        if (!reader.Next(code))
            break;
        if (code > 0xFFFF) {
            units.push_back(UChar(0xD800 + ((code - 0x10000) >> 10)));
            units.push_back(UChar(0xDC00 + (code & 0x3FF)));
            byteOf.push_back(offset);
        } else {
            units.push_back(UChar(code));
        }
        byteOf.push_back(offset);
    }
    byteOf.push_back(text.size());
    std::vector<Opportunity> opportunities;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UBreakIterator, BreakIteratorDeleter> iterator(
        ubrk_open(UBRK_LINE, language ? language : "", units.data(), int32_t(units.size()), &status));
    if (U_FAILURE(status) || !iterator) {
        if (status == U_MEMORY_ALLOCATION_ERROR)
            throw std::bad_alloc();
        opportunities.push_back(Opportunity{text.size(), false});  // no data: one piece
        return opportunities;
    }
    for (int32_t at = ubrk_next(iterator.get()); at != UBRK_DONE; at = ubrk_next(iterator.get())) {
        const int status = ubrk_getRuleStatus(iterator.get());
        opportunities.push_back(
            Opportunity{byteOf[size_t(at)], status >= UBRK_LINE_HARD && status < UBRK_LINE_HARD_LIMIT});
    }
    if (opportunities.empty() || opportunities.back().byte != text.size())
        opportunities.push_back(Opportunity{text.size(), false});
    return opportunities;
}

// The end of [begin, end) without its trailing white space and line breaks.
size_t Trimmed(const std::string& text, size_t begin, size_t end) {
    auto endsWith = [&](const char* tail) {
        const size_t n = std::strlen(tail);
        return end - begin >= n && text.compare(end - n, n, tail) == 0;
    };
    while (end > begin) {
        const char c = text[end - 1];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f')
            end -= 1;
        else if (endsWith("\xE2\x80\xA8") || endsWith("\xE2\x80\xA9"))  // line and paragraph separators
            end -= 3;
        else if (endsWith("\xC2\x85"))  // next line
            end -= 2;
        else
            break;
    }
    return end;
}

}  // namespace

TextLayout::TextLayout(const std::shared_ptr<Font>& font, const char* utf8, float width, TextAlignment alignment,
                       const char* features, const char* language)
    : font(font), width(width) {
    if (!font || !utf8)
        throw ArgumentNullException();
    if (!(width >= 0 && width <= kWidestLayout))
        throw ArgumentOutOfRangeException("The layout width must be from 0 to 16777216 pixels.");
    if (int(alignment) < 0 || int(alignment) > 3)
        throw ArgumentOutOfRangeException();
    const size_t length = std::strlen(utf8);
    if (length > TextRun::MaximumLength)
        throw ArgumentOutOfRangeException("A text run holds at most 1048576 bytes.");
    const std::string text(utf8, length);

    // Each glyph's advance counted at its cluster: the advance of a piece is a
    // difference of sums.
    const TextRun whole(font, text, 0, length, 0, features, language, true);
    std::vector<int64_t> sums(length + 1, 0);
    for (size_t i = 0; i < whole.glyphs.size(); ++i)
        sums[whole.glyphs[i].Cluster + 1] += whole.advances[i];
    for (size_t i = 1; i <= length; ++i)
        sums[i] += sums[i - 1];
    auto advanceOf = [&](size_t begin, size_t end) { return sums[end] - sums[begin]; };

    struct Span {
        size_t begin, end;
        bool mandatory;
    };
    std::vector<Span> spans;
    const int64_t room = int64_t(std::floor(double(width) * 64));
    size_t start = 0;
    bool pending = false;
    size_t lastFit = 0;
    for (const Opportunity& opportunity : Opportunities(text, language)) {
        if (opportunity.byte <= start)
            continue;
        if (pending && advanceOf(start, Trimmed(text, start, opportunity.byte)) > room) {
            spans.push_back(Span{start, lastFit, false});
            start = lastFit;
        }
        lastFit = opportunity.byte;
        pending = true;
        if (opportunity.mandatory) {
            spans.push_back(Span{start, opportunity.byte, true});
            start = opportunity.byte;
            pending = false;
        }
    }
    if (pending)
        spans.push_back(Span{start, length, false});

    const TextFaces& faces = *whole.faces;
    const int64_t ascender = faces.Ascender(), height = faces.Ascender() - faces.Descender();
    lineHeight = float(height) / 64;
    for (size_t i = 0; i < spans.size(); ++i) {
        const size_t end = Trimmed(text, spans[i].begin, spans[i].end);
        std::unique_ptr<TextRun> run(
            new TextRun(whole, text, spans[i].begin, end, features, language));
        const int64_t extra = room - run->advance;
        const bool last = i + 1 == spans.size() || spans[i].mandatory;
        float x = 0;
        if (alignment == TextAlignment::Justify && !last && extra > 0) {
            int64_t spaces = 0;
            for (const Glyph& glyph : run->glyphs)
                spaces += text[glyph.Cluster] == ' ';
            int64_t shift = 0, seen = 0;
            for (size_t g = 0; spaces && g < run->glyphs.size(); ++g) {
                run->positions[2 * g] += shift;
                run->glyphs[g].X = float(run->positions[2 * g]) / 64;
                if (text[run->glyphs[g].Cluster] == ' ')
                    shift += extra / spaces + (seen++ < extra % spaces ? 1 : 0);
            }
            run->advance += shift;
        } else if (alignment == TextAlignment::Right) {
            x = float(double(width) - double(run->advance) / 64);
        } else if (alignment == TextAlignment::Center) {
            x = float((double(width) - double(run->advance) / 64) / 2);
        }
        lines.push_back(TextLine{int(spans[i].begin), int(end), x, float(double(ascender + int64_t(i) * height) / 64),
                                 run->Advance()});
        runs.push_back(std::move(run));
    }
}

TextLayout::~TextLayout() = default;

const TextLine& TextLayout::Line(int index) const {
    if (index < 0 || index >= LineCount())
        throw ArgumentOutOfRangeException();
    return lines[size_t(index)];
}

const TextRun& TextLayout::LineRun(int index) const {
    if (index < 0 || index >= LineCount())
        throw ArgumentOutOfRangeException();
    return *runs[size_t(index)];
}

TextExtents TextLayout::Extents() const { return TextExtents{0, 0, width, lineHeight * float(lines.size())}; }

void TextLayout::Draw(float x, float y, const std::shared_ptr<FillState>& fill) {
    if (!drawn)
        drawn.reset(new DrawnText(Internals::ContextOf(*font)));
    std::vector<PlacedRun> placed;
    placed.reserve(runs.size());
    for (size_t i = 0; i < runs.size(); ++i)
        placed.push_back(PlacedRun{*runs[i]->faces, runs[i]->glyphs, runs[i]->positions,
                                   double(x) + double(lines[i].X), double(y) + double(lines[i].Y)});
    DrawRuns(*drawn, placed, fill);
    if (AnyColorGlyphs(*drawn, placed))
        for (const PlacedRun& run : placed)
            DrawColorGlyphs(Internals::ContextOf(*font), run.faces, run.glyphs, run.positions, run.x, run.y, fill);
}

}  // namespace Vudadive2R
}  // namespace ORV
