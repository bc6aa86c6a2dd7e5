#include "text/GlyphCache.hpp"

#include <utility>

namespace ORV {
namespace Vudadive2R {

namespace {

// What the containers spend around each glyph and strike beyond the objects
// themselves: the list and hash nodes, a bucket, the tree node and the
// allocator's headers, rounded up.
constexpr std::size_t kGlyphBookkeeping = 96;
constexpr std::size_t kStrikeBookkeeping = 160;

// The largest bitmap kept: 256 x 256 pixels, a glyph of about 300 pixels per
// em. Larger ones, and any over a quarter of a small cache, are rendered
// again when drawn.
constexpr uint64_t kLargestKeptCoverage = uint64_t(1) << 16;

}  // namespace

bool GlyphCache::KeepsCoverage(uint64_t coverageBytes) const {
    return coverageBytes <= kLargestKeptCoverage && coverageBytes <= bound / 4;
}

std::size_t GlyphCache::EntryBytes(const Entry& entry) const {
    return sizeof(Entry) + kGlyphBookkeeping + (entry.glyph.rendered ? std::size_t(entry.glyph.CoverageBytes()) : 0);
}

GlyphCache::Strike* GlyphCache::StrikeOf(const Matrix& matrix) {
    const auto found = strikes.find(matrix);
    return found == strikes.end() ? nullptr : &found->second;
}

CachedGlyph* GlyphCache::Find(Strike* strike, char32_t code) {
    if (!strike)
        return nullptr;
    const auto found = strike->glyphs.find(code);
    if (found == strike->glyphs.end())
        return nullptr;
    order.splice(order.begin(), order, found->second);
    return &found->second->glyph;
}

CachedGlyph& GlyphCache::Add(Strike*& strike, const Matrix& matrix, char32_t code, CachedGlyph glyph) {
    auto place = strikes.find(matrix);
    if (place == strikes.end()) {
        place = strikes.emplace(matrix, Strike()).first;
        bytes += sizeof(std::pair<const Matrix, Strike>) + kStrikeBookkeeping;
    }
    strike = &place->second;
    order.push_front(Entry{std::move(glyph), code, place});
    strike->glyphs[code] = order.begin();
    bytes += EntryBytes(order.front());
    DropLeastRecentlyUsed();
    return order.front().glyph;
}

void GlyphCache::AddCoverage(CachedGlyph& glyph, std::unique_ptr<uint8_t[]> coverage) {
    glyph.coverage = std::move(coverage);
    glyph.rendered = true;
    bytes += std::size_t(glyph.CoverageBytes());
    DropLeastRecentlyUsed();
}

// The most recently used glyph stays even when it alone passes the bound:
// the caller is about to draw it. Its strike therefore stays too.
void GlyphCache::DropLeastRecentlyUsed() {
    while (bytes > bound && order.size() > 1) {
        Entry& oldest = order.back();
        bytes -= EntryBytes(oldest);
        const auto strike = oldest.strike;
        strike->second.glyphs.erase(oldest.code);
        order.pop_back();
        if (strike->second.glyphs.empty()) {
            strikes.erase(strike);
            bytes -= sizeof(std::pair<const Matrix, Strike>) + kStrikeBookkeeping;
        }
    }
}

}  // namespace Vudadive2R
}  // namespace ORV
