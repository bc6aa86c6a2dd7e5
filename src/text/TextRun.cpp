// A shaped run: UTF-8 decoded, levelled by the bidirectional algorithm, cut
// into pieces of one level, script and font, each shaped by HarfBuzz, the
// pieces placed in display order; drawn as one path of glyph outlines.
#include "vudadive2r/Text.hpp"

#include <fribidi.h>
#include <hb.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <unordered_map>

#include <ft2build.h>
#include FT_OUTLINE_H

#include "common/Internals.hpp"
#include "text/ColorGlyphs.hpp"
#include "text/TextFaces.hpp"
#include "text/TextOutlines.hpp"
#include "text/Utf8.hpp"
#include "vudadive2r/Exceptions.hpp"
#include "vudadive2r/Path.hpp"

namespace ORV {
namespace Vudadive2R {

static_assert(sizeof(Glyph) == 5 * 4, "Glyph is laid out as orv_glyph");

namespace {

// ---------------------------------------------------------------- the text's characters

struct Characters {
    std::vector<char32_t> codes;
    std::vector<unsigned> offsets;  // byte offset of each character in the whole text
};

Characters Decode(const std::string& text, size_t begin, size_t end) {
    Characters characters;
    const std::string piece = text.substr(begin, end - begin);
    CodePointReader reader(piece.c_str(), CodePointReader::Encoding::Utf8);
    for (;;) {
        const unsigned offset = unsigned(begin + size_t(reader.Position() - piece.c_str()));
        char32_t code = 0;
        if (!reader.Next(code))
            break;
        characters.codes.push_back(code);
        characters.offsets.push_back(offset);
    }
    return characters;
}

// ---------------------------------------------------------------- features

std::vector<hb_feature_t> Features(const char* features) {
    std::vector<hb_feature_t> parsed;
    if (!features)
        return parsed;
    const std::string all(features);
    size_t start = 0;
    while (start <= all.size()) {
        size_t comma = all.find(',', start);
        if (comma == std::string::npos)
            comma = all.size();
        const std::string one = all.substr(start, comma - start);
        start = comma + 1;
        if (one.find_first_not_of(" \t") == std::string::npos)
            continue;  // nothing between two commas
        hb_feature_t feature;
        if (!hb_feature_from_string(one.c_str(), int(one.size()), &feature))
            throw ArgumentException("A font feature cannot be read.");
        parsed.push_back(feature);
    }
    return parsed;
}

// ---------------------------------------------------------------- scripts and fonts

bool OfNoScript(hb_script_t script) {
    return script == HB_SCRIPT_COMMON || script == HB_SCRIPT_INHERITED || script == HB_SCRIPT_UNKNOWN;
}

// Marks, joiners and selectors belong with the character before them.
bool Clings(hb_unicode_funcs_t* unicode, char32_t code) {
    const hb_unicode_general_category_t category = hb_unicode_general_category(unicode, code);
    return category == HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK ||
           category == HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK ||
           category == HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK || category == HB_UNICODE_GENERAL_CATEGORY_FORMAT ||
           (code >= 0xFE00 && code <= 0xFE0F) || (code >= 0xE0100 && code <= 0xE01EF);
}

// Characters of no script take the script before them (at the start, the first after them).
std::vector<hb_script_t> Scripts(const std::vector<char32_t>& codes, hb_unicode_funcs_t* unicode) {
    std::vector<hb_script_t> scripts(codes.size());
    hb_script_t current = HB_SCRIPT_INVALID;
    for (size_t i = 0; i < codes.size(); ++i) {
        const hb_script_t own = hb_unicode_script(unicode, codes[i]);
        if (!OfNoScript(own))
            current = own;
        scripts[i] = OfNoScript(own) ? current : own;
    }
    hb_script_t following = HB_SCRIPT_INVALID;
    for (size_t i = codes.size(); i-- > 0;) {
        if (scripts[i] == HB_SCRIPT_INVALID)
            scripts[i] = following;
        else if (!OfNoScript(hb_unicode_script(unicode, codes[i])))
            following = scripts[i];
    }
    return scripts;
}

std::vector<int> FontsFor(const std::vector<char32_t>& codes, hb_unicode_funcs_t* unicode, TextFaces& faces) {
    std::vector<int> fonts(codes.size());
    std::unordered_map<char32_t, int> chosen;  // each character looked up in the list once
    for (size_t i = 0; i < codes.size(); ++i) {
        const char32_t code = codes[i];
        const bool clings = Clings(unicode, code);
        const bool neutral = clings || OfNoScript(hb_unicode_script(unicode, code));
        if (i > 0 && neutral && (clings || faces.Has(fonts[i - 1], code))) {
            fonts[i] = fonts[i - 1];
            continue;
        }
        auto found = chosen.find(code);
        if (found == chosen.end())
            found = chosen.emplace(code, std::max(0, faces.FirstWith(code))).first;
        fonts[i] = found->second;
    }
    return fonts;
}

// ---------------------------------------------------------------- pieces in display order

struct Piece {
    size_t begin, end;  // characters
    FriBidiLevel level;
    hb_script_t script;
    int font;
};

// Reverses every longest sequence of pieces at a level or above, from the
// highest level down to the lowest odd one.
std::vector<size_t> DisplayOrder(const std::vector<Piece>& pieces) {
    std::vector<size_t> order(pieces.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    FriBidiLevel highest = 0, lowestOdd = std::numeric_limits<FriBidiLevel>::max();
    for (const Piece& piece : pieces) {
        highest = std::max(highest, piece.level);
        if (piece.level & 1)
            lowestOdd = std::min(lowestOdd, piece.level);
    }
    for (int level = highest; level >= int(lowestOdd) && level > 0; --level) {
        for (size_t i = 0; i < order.size();) {
            if (pieces[order[i]].level < level) {
                ++i;
                continue;
            }
            size_t j = i;
            while (j < order.size() && pieces[order[j]].level >= level)
                ++j;
            std::reverse(order.begin() + long(i), order.begin() + long(j));
            i = j;
        }
    }
    return order;
}

struct BufferDeleter {
    void operator()(hb_buffer_t* buffer) const { hb_buffer_destroy(buffer); }
};

}  // namespace

// ---------------------------------------------------------------- the run

TextRun::TextRun(const std::shared_ptr<Font>& font, const char* utf8, const char* features, const char* language)
    : font(font) {
    if (!font || !utf8)
        throw ArgumentNullException();
    const size_t length = std::strlen(utf8);
    if (length > MaximumLength)
        throw ArgumentOutOfRangeException("A text run holds at most 1048576 bytes.");
    Shape(std::string(utf8, length), 0, length, 0, features, language, false);
}

TextRun::TextRun(const std::shared_ptr<Font>& font, const std::string& text, size_t begin, size_t end, int direction,
                 const char* features, const char* language, bool keepItemized)
    : font(font) {
    Shape(text, begin, end, direction, features, language, keepItemized);
}

TextRun::TextRun(const TextRun& whole, const std::string& text, size_t begin, size_t end, const char* features,
                 const char* language)
    : font(whole.font) {
    if (!TakeLine(whole, begin, end))
        Shape(text, begin, end, whole.direction, features, language, false);
}

// The whole text's characters with their scripts and fonts, its glyphs'
// pens (and the advance after the last) and whether each glyph is unsafe
// to break before: kept only where every level is 0.
struct TextRun::Itemized {
    std::vector<char32_t> codes;
    std::vector<unsigned> offsets;
    std::vector<hb_script_t> scripts;
    std::vector<int> fonts;
    std::vector<int64_t> pens;
    std::vector<bool> unsafe;
};

namespace {

// Scripts whose shaping reads the characters around a piece (joining) and
// that are not right to left: a line of them is always shaped anew.
bool ReadsContext(hb_script_t script) { return script == HB_SCRIPT_MONGOLIAN || script == HB_SCRIPT_PHAGS_PA; }

}  // namespace

bool TextRun::TakeLine(const TextRun& whole, size_t begin, size_t end) {
    // A line of a text whose levels are all 0 is its own characters with the
    // same scripts and fonts, in the same pieces but cut at the line's ends.
    // HarfBuzz's glyphs of a piece cut where no glyph is unsafe to break are
    // those of its parts shaped alone (the scripts kept read no context), so
    // where the line's ends are such places its glyphs are the whole's.
    if (!whole.itemized || begin >= end)
        return false;
    const Itemized& it = *whole.itemized;
    const auto first = std::lower_bound(it.offsets.begin(), it.offsets.end(), unsigned(begin));
    const auto last = std::lower_bound(it.offsets.begin(), it.offsets.end(), unsigned(end));
    if (first == it.offsets.end() || *first != begin || (last != it.offsets.end() && *last != end))
        return false;
    const size_t i0 = size_t(first - it.offsets.begin()), i1 = size_t(last - it.offsets.begin());
    // The line's own scripts (Scripts) differ from the whole's only in the
    // characters of no script it starts with, which take the first script
    // after them there; its fonts (FontsFor) read only the font before, so
    // they are the whole's if the first is.
    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    size_t k = i0;
    while (k < i1 && OfNoScript(hb_unicode_script(unicode, it.codes[k])))
        ++k;
    const hb_script_t leading = k < i1 ? it.scripts[k] : HB_SCRIPT_INVALID;
    for (size_t i = i0; i < k; ++i)
        if (it.scripts[i] != leading)
            return false;
    for (size_t i = i0; i < i1; ++i)
        if (ReadsContext(it.scripts[i]))
            return false;
    if (std::max(0, whole.faces->FirstWith(it.codes[i0])) != it.fonts[i0])
        return false;
    const auto byCluster = [](const Glyph& g, unsigned cluster) { return g.Cluster < cluster; };
    const size_t n = whole.glyphs.size();
    const size_t g0 = size_t(std::lower_bound(whole.glyphs.begin(), whole.glyphs.end(), unsigned(begin), byCluster) -
                             whole.glyphs.begin());
    const size_t g1 = size_t(std::lower_bound(whole.glyphs.begin(), whole.glyphs.end(), unsigned(end), byCluster) -
                             whole.glyphs.begin());
    if (g0 >= g1 || whole.glyphs[g0].Cluster != begin || (g0 > 0 && it.unsafe[g0]))
        return false;
    if (g1 < n ? whole.glyphs[g1].Cluster != end || it.unsafe[g1] : i1 != it.codes.size())
        return false;
    faces = whole.faces;
    direction = whole.direction;
    const int64_t pen = it.pens[g0];
    glyphs.reserve(g1 - g0);
    positions.reserve(2 * (g1 - g0));
    advances.reserve(g1 - g0);
    for (size_t g = g0; g < g1; ++g) {
        const int64_t x = whole.positions[2 * g] - pen, y = whole.positions[2 * g + 1];
        Glyph glyph = whole.glyphs[g];
        glyph.X = float(x) / 64;
        glyphs.push_back(glyph);
        positions.push_back(x);
        positions.push_back(y);
        advances.push_back(whole.advances[g]);
    }
    advance = it.pens[g1] - pen;
    return true;
}

TextRun::~TextRun() = default;

namespace {

// Types that leave every level of a paragraph that is not right to left at 0:
// with no right-to-left letter, Arabic number or explicit embedding or
// isolate, European numbers resolve to left to right and neutrals between
// left-to-right ends do too, so the algorithm need not run.
bool LeftToRightOnly(FriBidiCharType type) {
    switch (type) {
    case FRIBIDI_TYPE_LTR:
    case FRIBIDI_TYPE_EN:
    case FRIBIDI_TYPE_ES:
    case FRIBIDI_TYPE_ET:
    case FRIBIDI_TYPE_CS:
    case FRIBIDI_TYPE_NSM:
    case FRIBIDI_TYPE_BN:
    case FRIBIDI_TYPE_BS:
    case FRIBIDI_TYPE_SS:
    case FRIBIDI_TYPE_WS:
    case FRIBIDI_TYPE_ON:
        return true;
    default:
        return false;
    }
}

}  // namespace

void TextRun::Shape(const std::string& text, size_t begin, size_t end, int direction, const char* features,
                    const char* language, bool keepItemized) {
    const std::vector<hb_feature_t> featureList = Features(features);
    faces = FacesOf(*font);
    const Characters characters = Decode(text, begin, end);
    const std::vector<char32_t>& codes = characters.codes;
    const size_t count = codes.size();
    if (count == 0)
        return;

    std::vector<FriBidiCharType> types(count);
    std::vector<FriBidiBracketType> brackets(count);
    std::vector<FriBidiLevel> levels(count);
    const FriBidiChar* bidiCodes = reinterpret_cast<const FriBidiChar*>(codes.data());
    static_assert(sizeof(FriBidiChar) == sizeof(char32_t), "FriBiDi reads UTF-32");
    fribidi_get_bidi_types(bidiCodes, FriBidiStrIndex(count), types.data());
    FriBidiParType base = direction == 1 ? FRIBIDI_PAR_LTR : direction == 2 ? FRIBIDI_PAR_RTL : FRIBIDI_PAR_ON;
    const bool levelsZero = base != FRIBIDI_PAR_RTL && std::all_of(types.begin(), types.end(), LeftToRightOnly);
    if (!levelsZero) {
        fribidi_get_bracket_types(bidiCodes, FriBidiStrIndex(count), types.data(), brackets.data());
        if (!fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), FriBidiStrIndex(count), &base,
                                                 levels.data()))
            throw std::bad_alloc();
    }
    this->direction = base == FRIBIDI_PAR_RTL ? 2 : 1;

    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    const std::vector<hb_script_t> scripts = Scripts(codes, unicode);
    const std::vector<int> fonts = FontsFor(codes, unicode, *faces);
    std::vector<Piece> pieces;
    for (size_t i = 0; i < count; ++i) {
        if (i == 0 || levels[i] != levels[i - 1] || scripts[i] != scripts[i - 1] || fonts[i] != fonts[i - 1])
            pieces.push_back(Piece{i, i + 1, levels[i], scripts[i], fonts[i]});
        else
            pieces.back().end = i + 1;
    }

    const hb_language_t chosenLanguage = language ? hb_language_from_string(language, -1) : HB_LANGUAGE_INVALID;
    std::unique_ptr<hb_buffer_t, BufferDeleter> buffer(hb_buffer_create());
    std::unique_ptr<Itemized> kept;
    if (keepItemized && levelsZero) {
        kept.reset(new Itemized());
        kept->pens.reserve(count + 1);
        kept->unsafe.reserve(count);
    }
    int64_t penX = 0, penY = 0;
    bool rises = false;
    glyphs.reserve(count);  // a glyph a character, mostly
    positions.reserve(2 * count);
    advances.reserve(count);
    for (size_t p : DisplayOrder(pieces)) {
        const Piece& piece = pieces[p];
        hb_buffer_clear_contents(buffer.get());
        hb_buffer_add_codepoints(buffer.get(), reinterpret_cast<const hb_codepoint_t*>(codes.data()), int(count),
                                 unsigned(piece.begin), int(piece.end - piece.begin));
        // Clusters are byte offsets in the text, as are feature ranges.
        unsigned length = 0;
        hb_glyph_info_t* input = hb_buffer_get_glyph_infos(buffer.get(), &length);
        for (unsigned i = 0; i < length; ++i)
            input[i].cluster = characters.offsets[piece.begin + i];
        hb_buffer_set_direction(buffer.get(), (piece.level & 1) ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
        if (piece.script != HB_SCRIPT_INVALID)
            hb_buffer_set_script(buffer.get(), piece.script);
        if (chosenLanguage != HB_LANGUAGE_INVALID)
            hb_buffer_set_language(buffer.get(), chosenLanguage);
        hb_buffer_guess_segment_properties(buffer.get());
        hb_shape(faces->HarfBuzzFont(piece.font), buffer.get(), featureList.data(), unsigned(featureList.size()));
        if (!hb_buffer_allocation_successful(buffer.get()))
            throw std::bad_alloc();
        hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer.get(), &length);
        hb_glyph_position_t* position = hb_buffer_get_glyph_positions(buffer.get(), &length);
        for (unsigned i = 0; i < length; ++i) {
            const int64_t x = penX + position[i].x_offset, y = -(penY + position[i].y_offset);
            glyphs.push_back(Glyph{info[i].codepoint, info[i].cluster, float(x) / 64, float(y) / 64, piece.font});
            positions.push_back(x);
            positions.push_back(y);
            advances.push_back(position[i].x_advance);
            if (kept) {
                rises = rises || position[i].y_advance != 0;
                kept->pens.push_back(penX);
                kept->unsafe.push_back(hb_glyph_info_get_glyph_flags(&info[i]) & HB_GLYPH_FLAG_UNSAFE_TO_BREAK);
            }
            penX += position[i].x_advance;
            penY += position[i].y_advance;
        }
    }
    advance = penX;
    // Horizontal text moves no pen down; glyphs whose clusters run
    // backwards could not be cut by cluster.
    if (kept && !rises &&
        std::is_sorted(glyphs.begin(), glyphs.end(), [](const Glyph& a, const Glyph& b) { return a.Cluster < b.Cluster; })) {
        kept->pens.push_back(penX);
        kept->codes = codes;
        kept->offsets = characters.offsets;
        kept->scripts = scripts;
        kept->fonts = fonts;
        itemized = std::move(kept);
    }
}

float TextRun::Advance() const { return float(advance) / 64; }

TextExtents TextRun::LogicalExtents() const {
    const float ascender = float(faces->Ascender()) / 64, descender = float(faces->Descender()) / 64;
    return TextExtents{0, -ascender, Advance(), ascender - descender};
}

TextExtents TextRun::InkExtents() const {
    bool any = false;
    int64_t left = 0, top = 0, right = 0, bottom = 0;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        FT_BBox box;
        if (!GlyphOutlineBox(*faces, glyphs[i].Font, glyphs[i].Index, box) &&
            !ColorGlyphBox(*faces, glyphs[i].Font, glyphs[i].Index, box))
            continue;
        const int64_t x = positions[2 * i], y = positions[2 * i + 1];
        const int64_t l = x + box.xMin, r = x + box.xMax, t = y - box.yMax, b = y - box.yMin;
        if (!any)
            left = l, right = r, top = t, bottom = b;
        left = std::min(left, l), right = std::max(right, r), top = std::min(top, t), bottom = std::max(bottom, b);
        any = true;
    }
    return TextExtents{float(left) / 64, float(top) / 64, float(right - left) / 64, float(bottom - top) / 64};
}

const std::string& TextRun::FontFileName(int index) const { return faces->FileName(index); }

void TextRun::Draw(float x, float y, const std::shared_ptr<FillState>& fill) {
    if (!drawn)
        drawn.reset(new DrawnText(Internals::ContextOf(*font)));
    const std::vector<PlacedRun> placed{PlacedRun{*faces, glyphs, positions, double(x), double(y)}};
    DrawRuns(*drawn, placed, fill);
    if (AnyColorGlyphs(*drawn, placed))
        DrawColorGlyphs(Internals::ContextOf(*font), *faces, glyphs, positions, double(x), double(y), fill);
}

}  // namespace Vudadive2R
}  // namespace ORV
