// A font's rendered glyphs, kept between calls within a bound in bytes.
#ifndef VUDADIVE2R_TEXT_GLYPHCACHE_HPP
#define VUDADIVE2R_TEXT_GLYPHCACHE_HPP

#include <array>
#include <cstddef>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <unordered_map>

namespace ORV {
namespace Vudadive2R {

// What a character loaded under one glyph matrix gives: whether it loads at
// all, FreeType's transformed advance and its bitmap's place and size, and
// once drawn the bitmap's coverage, one byte per pixel, top row first.
struct CachedGlyph {
    bool loads = false;  // false: the character is skipped, pen and all
    bool outline = false;
    int64_t advanceX = 0, advanceY = 0;  // 26.6
    int32_t left = 0, top = 0;
    uint32_t width = 0, rows = 0;
    bool renderFails = false;  // FreeType could not render it: skipped where drawn
    bool rendered = false;     // `coverage` holds width x rows bytes
    std::unique_ptr<uint8_t[]> coverage;

    uint64_t CoverageBytes() const { return uint64_t(width) * rows; }
};

// Least recently used glyphs are dropped first once the bytes held pass the
// bound. The face and size belong to the font, so a glyph is known by its
// character code and the 16.16 glyph matrix. Glyphs are grouped by matrix
// (a strike), which a call looks up once. No locks: a font is used from one
// thread at a time.
class GlyphCache {
public:
    typedef std::array<int64_t, 4> Matrix;  // xx, xy, yx, yy in 16.16
    class Strike;

    explicit GlyphCache(std::size_t bound) : bound(bound) {}
    GlyphCache(const GlyphCache&) = delete;
    GlyphCache& operator=(const GlyphCache&) = delete;

    std::size_t Bound() const { return bound; }
    // Everything held, bookkeeping included.
    std::size_t Bytes() const { return bytes; }
    std::size_t GlyphCount() const { return order.size(); }

    // Whether a bitmap of this many bytes is kept at all: a glyph that would
    // take a large share of the cache is cheaper to render again than to let
    // it push out dozens of ordinary ones.
    bool KeepsCoverage(uint64_t coverageBytes) const;

    // The glyphs under `matrix`, or null when none are held.
    Strike* StrikeOf(const Matrix& matrix);
    // The glyph of `code` in `strike` (which may be null), made the most
    // recently used; null when it is not held.
    CachedGlyph* Find(Strike* strike, char32_t code);
    // Holds `glyph` as the most recently used, making the strike for
    // `matrix` when `strike` is null (and setting it), and drops the least
    // recently used others until the bound is met. The reference stays valid
    // until the next Add or AddCoverage.
    CachedGlyph& Add(Strike*& strike, const Matrix& matrix, char32_t code, CachedGlyph glyph);
    // Gives the most recently used glyph (the one just found or added) its
    // coverage, then drops others as Add does.
    void AddCoverage(CachedGlyph& glyph, std::unique_ptr<uint8_t[]> coverage);

private:
    struct Entry {
        CachedGlyph glyph;
        char32_t code;
        std::map<Matrix, Strike>::iterator strike;
    };
    typedef std::list<Entry>::iterator EntryPosition;

public:
    class Strike {
        friend class GlyphCache;
        std::unordered_map<char32_t, EntryPosition> glyphs;
    };

private:
    std::size_t EntryBytes(const Entry& entry) const;
    void DropLeastRecentlyUsed();

    std::size_t bound;
    std::size_t bytes = 0;
    std::list<Entry> order;  // most recently used first
    std::map<Matrix, Strike> strikes;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
