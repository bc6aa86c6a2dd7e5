// AGG's scanline_p8, span for span (the same merging of adjacent cells and
// of adjacent runs of equal cover), but with 32-bit span positions and
// lengths, which AGG's 16 bits would wrap for spans reaching more than
// 2^15 pixels beyond the surface; with room for the spans and covers of a
// shape up to InlineWidth pixels wide inside the object, so that drawing a
// small shape needs no heap memory.
#ifndef VUDADIVE2R_RASTER_INLINESCANLINE_HPP
#define VUDADIVE2R_RASTER_INLINESCANLINE_HPP

#include <agg_basics.h>

#include <cstring>

#include "common/ScratchArray.hpp"

namespace ORV {
namespace Vudadive2R {

class InlineScanline {
public:
    typedef agg::int8u cover_type;
    typedef int coord_type;
    static constexpr unsigned InlineWidth = 256;

    struct span {
        coord_type x;
        coord_type len;  // negative: a solid run of covers[0]
        const cover_type* covers;
    };
    typedef span* iterator;
    typedef const span* const_iterator;

    InlineScanline() = default;
    InlineScanline(const InlineScanline&) = delete;
    InlineScanline& operator=(const InlineScanline&) = delete;

    void reset(int min_x, int max_x) {
        const unsigned maxLength = unsigned(max_x - min_x + 3);
        spans = spanStore.Reserve(maxLength);
        covers = coverStore.Reserve(maxLength);
        reset_spans();
    }

    // Gives back each store's heap memory beyond `bytes`.
    void Trim(std::size_t bytes) {
        spanStore.Trim(bytes);
        coverStore.Trim(bytes);
        spans = current = nullptr;
        covers = coverPointer = nullptr;
    }

    void reset_spans() {
        lastX = 0x7FFFFFF0;
        coverPointer = covers;
        current = spans;
        current->len = 0;
    }

    void add_cell(int x, unsigned cover) {
        *coverPointer = cover_type(cover);
        if (x == lastX + 1 && current->len > 0) {
            ++current->len;
        } else {
            ++current;
            current->covers = coverPointer;
            current->x = coord_type(x);
            current->len = 1;
        }
        lastX = x;
        ++coverPointer;
    }

    void add_cells(int x, unsigned len, const cover_type* cells) {
        std::memcpy(coverPointer, cells, len * sizeof(cover_type));
        if (x == lastX + 1 && current->len > 0) {
            current->len += coord_type(len);
        } else {
            ++current;
            current->covers = coverPointer;
            current->x = coord_type(x);
            current->len = coord_type(len);
        }
        coverPointer += len;
        lastX = x + int(len) - 1;
    }

    void add_span(int x, unsigned len, unsigned cover) {
        if (x == lastX + 1 && current->len < 0 && cover == *current->covers) {
            current->len -= coord_type(len);
        } else {
            *coverPointer = cover_type(cover);
            ++current;
            current->covers = coverPointer++;
            current->x = coord_type(x);
            current->len = coord_type(-int(len));
        }
        lastX = x + int(len) - 1;
    }

    void finalize(int row) { y_ = row; }
    int y() const { return y_; }
    unsigned num_spans() const { return unsigned(current - spans); }
    const_iterator begin() const { return spans + 1; }

private:
    ScratchArray<span, InlineWidth> spanStore;
    ScratchArray<cover_type, InlineWidth> coverStore;
    span* spans = nullptr;
    cover_type* covers = nullptr;
    span* current = nullptr;
    cover_type* coverPointer = nullptr;
    int lastX = 0x7FFFFFF0;
    int y_ = 0;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
