// The clip: one coverage byte per surface pixel, and how a pass's coverage
// meets it. A coverage byte a under a clip byte m becomes (255 + a x m) >> 8,
// the rounding of AGG's alpha mask (alpha_mask_u8::combine_pixel): 255 keeps
// every coverage as it is, 0 removes it.
#ifndef VUDADIVE2R_COMPOSITE_CLIPMASK_HPP
#define VUDADIVE2R_COMPOSITE_CLIPMASK_HPP

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace ORV {
namespace Vudadive2R {

struct ClipMask {
    ClipMask(int width, int height, uint8_t value)
        : width(width), height(height), coverage(std::size_t(width) * std::size_t(height), value) {}

    // Row r of the surface's own order (as clears address rows).
    uint8_t* Row(int r) { return coverage.data() + std::size_t(r) * std::size_t(width); }
    const uint8_t* Row(int r) const { return coverage.data() + std::size_t(r) * std::size_t(width); }

    int width, height;
    std::vector<uint8_t> coverage;
};

inline uint8_t MaskedCover(unsigned cover, unsigned mask) { return uint8_t((255u + cover * mask) >> 8); }

// The clip's rows in the order a pass counts them (from the origin).
struct MaskRows {
    const uint8_t* first;  // the pass's row 0
    std::ptrdiff_t stride;
    const uint8_t* Row(int y) const { return first + std::ptrdiff_t(y) * stride; }
};

// `length` coverage bytes from column x of pass row y met with the clip:
// `covers` when given, else `cover` throughout.
inline void MaskCovers(const MaskRows& mask, int x, int y, unsigned length, const uint8_t* covers, uint8_t cover,
                       uint8_t* masked) {
    const uint8_t* m = mask.Row(y) + x;
    if (covers) {
        for (unsigned i = 0; i < length; ++i)
            masked[i] = MaskedCover(covers[i], m[i]);
    } else {
        for (unsigned i = 0; i < length; ++i)
            masked[i] = MaskedCover(cover, m[i]);
    }
}

// Whether the clip hides all `length` pixels from column x of pass row y.
inline bool MaskHides(const MaskRows& mask, int x, int y, unsigned length) {
    const uint8_t* m = mask.Row(y) + x;
    unsigned i = 0;
    for (; i + 8 <= length; i += 8) {
        uint64_t word;
        std::memcpy(&word, m + i, 8);
        if (word)
            return false;
    }
    for (; i < length; ++i)
        if (m[i])
            return false;
    return true;
}

// Stretches of coverage bytes: whole eight-byte words all 0, whole words all
// 255, and any other bytes.
enum class CoverStretch { None, Full, Mixed };

// Calls `stretch(offset, count, kind)` for the `length` covers in order, in
// stretches of one kind, neighbours of one kind taken together.
template <class Stretch>
inline void ForEachCoverStretch(const uint8_t* covers, unsigned length, Stretch stretch) {
    unsigned start = 0, i = 0;
    CoverStretch kind = CoverStretch::Mixed;
    const auto next = [&](unsigned at, CoverStretch k) {
        if (k == kind)
            return;
        if (at > start)
            stretch(start, at - start, kind);
        start = at;
        kind = k;
    };
    for (; i + 8 <= length; i += 8) {
        uint64_t word;
        std::memcpy(&word, covers + i, 8);
        next(i, word == 0 ? CoverStretch::None : word == ~uint64_t(0) ? CoverStretch::Full : CoverStretch::Mixed);
    }
    next(i, CoverStretch::Mixed);
    if (length > start)
        stretch(start, length - start, kind);
}

// The reference road composites through AGG's pixel format, whose blender
// sees only a pixel's address: while a pass of that road runs under a clip,
// this thread's blender finds the pixel's clip byte from the address.
struct ReferenceMask {
    const uint8_t* rowZero;      // the pixels of the pass's row 0
    std::ptrdiff_t stride;       // between the pass's rows
    MaskRows mask;
    std::ptrdiff_t pixelBytes = 4;

    uint8_t Cover(const uint8_t* pixel, uint8_t cover) const {
        const std::ptrdiff_t offset = pixel - rowZero;
        std::ptrdiff_t y;
        if (stride > 0) {
            y = offset / stride;
        } else {
            const std::ptrdiff_t step = -stride;
            y = (step - 1 - offset) / step;
        }
        const std::ptrdiff_t x = (offset - y * stride) / pixelBytes;
        return MaskedCover(cover, mask.Row(int(y))[x]);
    }
};

// The mask of this thread's running reference pass, or null.
const ReferenceMask* ActiveReferenceMask();

// Sets the mask of this thread's reference passes for its life.
class ScopedReferenceMask {
public:
    explicit ScopedReferenceMask(const ReferenceMask* mask);
    ~ScopedReferenceMask();
    ScopedReferenceMask(const ScopedReferenceMask&) = delete;
    ScopedReferenceMask& operator=(const ScopedReferenceMask&) = delete;

private:
    const ReferenceMask* previous;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
