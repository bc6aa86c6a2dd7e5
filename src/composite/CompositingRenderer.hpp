// A renderer with the interface and clipping of Renderer (AGG's multi-clip
// renderer over our PixelFormat) that composites through span loops of our
// own: the same bytes for every operation, chosen once per renderer rather
// than called per pixel, with plain fills where the result is the source.
#ifndef VUDADIVE2R_COMPOSITE_COMPOSITINGRENDERER_HPP
#define VUDADIVE2R_COMPOSITE_COMPOSITINGRENDERER_HPP

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "composite/ClipMask.hpp"
#include "composite/PixelFormat.hpp"
#include "composite/BlendSpans.hpp"
#include "composite/CompositingOperations.hpp"
#include "composite/PixelLayout.hpp"

namespace ORV {
namespace Vudadive2R {

class CompositingRenderer {
public:
    typedef agg::rgba8 color_type;

    // Composites into `buffer` (not owned; it must outlive the renderer) with
    // the pixel format's operation number `operation` (agg::comp_op_e).
    // Operations other than the blend modes' ten go pixel by pixel through
    // PremultiplyingBlender. `level` selects the span loops; the default is
    // the widest this processor runs. `layout` is how the buffer keeps its
    // pixels (see PixelLayout.hpp). Throws only when memory runs out.
    CompositingRenderer(RenderingBuffer& buffer, unsigned operation, SimdLevel level = BestSimdLevel(),
                        PixelLayout layout = PixelLayout::Rgba);

    unsigned width() const { return buffer.width(); }

    // Whether a pixel at coverage 0 stays as it is, so that runs of coverage
    // may hold the pixels that spans leave out: source-over, D + S 0 - D (A 0).
    bool KeepsPixelsAtZeroCoverage() const { return keepsPixelsAtZero; }
    unsigned height() const { return buffer.height(); }

    // Meets every coverage with the clip's bytes (`rows` must outlive the
    // renderer); spans are then composited with a coverage per pixel.
    void Mask(const MaskRows& rows) {
        mask = &rows;
        maskedCovers.resize(width());
    }

    // Removes every clip box; the whole surface is drawable again, or
    // nothing when `visibility` is false.
    void reset_clipping(bool visibility);
    const RenderingBuffer& Buffer() const { return buffer; }

    // Adds a clip box (inclusive corners, any order), clipped to the surface;
    // a box outside it is dropped. Every span is composited once per box.
    void add_clip_box(int x1, int y1, int x2, int y2);

    // Columns x1 to x2 inclusive (either order) of row y in one colour
    // (straight alpha) and one coverage.
    void blend_hline(int x1, int y, int x2, const color_type& c, agg::cover_type cover) {
        BlendHlines(x1, y, y, x2, SolidColor(c, swapsRedAndBlue), cover);
    }

    // `len` pixels from column x of row y in one colour, one coverage each.
    void blend_solid_hspan(int x, int y, int len, const color_type& c, const agg::cover_type* covers) {
        BlendSolidHspans(x, y, y, len, SolidColor(c, swapsRedAndBlue), covers);
    }

    // A colour (straight alpha) with its premultiplied bytes, worked out
    // once for the spans of a pass; with red and blue swapped for pixels
    // that keep blue first (SwapsRedAndBlue()).
    struct SolidColor {
        SolidColor(const color_type& c, bool swapRedAndBlue)
            : color(swapRedAndBlue ? color_type(c.b, c.g, c.r, c.a) : c) {
            Premultiply(color, source);
        }
        color_type color;
        uint8_t source[4];
    };
    bool SwapsRedAndBlue() const { return swapsRedAndBlue; }

    // blend_hline on each of rows y1 to y2 (y1 <= y2): a rectangle's inside.
    // Each pixel meets the clip boxes in the same order as row by row.
    VUDADIVE2R_BLEND_INLINE void BlendHlines(int x1, int y1, int y2, int x2, const SolidColor& c,
                                             agg::cover_type cover) {
        if (x1 > x2)
            std::swap(x1, x2);
        if (mask)
            return MaskedRows(x1, y1, y2, int64_t(x2) - x1 + 1, &c.color, c.source, nullptr, cover);
        const bool fill = cover == agg::cover_full && ((fillsOpaque && c.color.a == 255) || fillsAny);
        ForEachBlock(x1, y1, y2, int64_t(x2) - x1 + 1, nullptr, cover,
                     [&](uint8_t* pixels, unsigned length, unsigned, unsigned rows) {
                         if (fill && rows == 1)
                             blenders->fill(pixels, length, c.source);
                         else if (fill)
                             blenders->fillRows(pixels, length, c.source, rows, Stride());
                         else if (blenders && rows == 1)
                             blenders->solid(pixels, length, c.source, nullptr, cover);
                         else if (blenders)
                             blenders->solidRows(pixels, length, c.source, nullptr, cover, rows, Stride());
                         else
                             FallbackRows(pixels, length, &c.color, nullptr, cover, rows);
                     });
    }

    // blend_solid_hspan on each of rows y1 to y2 (y1 <= y2) with the same coverage.
    VUDADIVE2R_BLEND_INLINE void BlendSolidHspans(int x, int y1, int y2, int len, const SolidColor& c,
                                                  const agg::cover_type* covers) {
        if (mask)
            return MaskedRows(x, y1, y2, len, &c.color, c.source, covers, 0);
        ForEachBlock(x, y1, y2, len, covers, 0, [&](uint8_t* pixels, unsigned length, unsigned offset, unsigned rows) {
            if (blenders && rows == 1)
                blenders->solid(pixels, length, c.source, covers + offset, 0);
            else if (blenders)
                blenders->solidRows(pixels, length, c.source, covers + offset, 0, rows, Stride());
            else
                FallbackRows(pixels, length, &c.color, covers + offset, 0, rows);
        });
    }

    // `len` pixels from column x of row y, one colour each, with one coverage
    // each or, when `covers` is null, `cover` throughout.
    void blend_color_hspan(int x, int y, int len, const color_type* colors, const agg::cover_type* covers,
                           agg::cover_type cover = agg::cover_full) {
        static_assert(sizeof(color_type) == 4, "colours are read as R, G, B, A bytes");
        if (mask && skipsHidden) {
            MaskedStretches(x, y, len, colors, covers, cover, false);
            return;
        }
        if (mask) {
            ForEachBox(x, y, len, [&](uint8_t* pixels, unsigned length, unsigned offset) {
                uint8_t* masked = maskedCovers.data();
                MaskCovers(*mask, x + int(offset), y, length, covers ? covers + offset : nullptr, cover, masked);
                Compose(pixels, length, masked, 0, [&](uint8_t* composed) {
                    if (blenders)
                        colorBlender(composed, length, reinterpret_cast<const uint8_t*>(colors + offset), masked, 0);
                    else
                        FallbackColors(composed, length, colors + offset, masked, 0);
                });
            });
            return;
        }
        ForEachBox(x, y, len, [&](uint8_t* pixels, unsigned length, unsigned offset) {
            const agg::cover_type* spanCovers = covers ? covers + offset : nullptr;
            Compose(pixels, length, spanCovers, cover, [&](uint8_t* composed) {
                if (blenders)
                    colorBlender(composed, length, reinterpret_cast<const uint8_t*>(colors + offset), spanCovers,
                                 cover);
                else
                    FallbackColors(composed, length, colors + offset, spanCovers, cover);
            });
        });
    }

    // As blend_color_hspan, for colours that all have alpha 255: where the
    // result of such a colour at full coverage is the colour itself, the
    // colours are copied.
    void blend_opaque_color_hspan(int x, int y, int len, const color_type* colors, const agg::cover_type* covers,
                                  agg::cover_type cover) {
        if (mask && skipsHidden)
            return MaskedStretches(x, y, len, colors, covers, cover, true);
        if (!fillsOpaque || covers || cover != agg::cover_full || mask || !ComposesInPlace(layout))
            return blend_color_hspan(x, y, len, colors, covers, cover);
        ForEachBox(x, y, len, [&](uint8_t* pixels, unsigned length, unsigned offset) {
            if (swapsRedAndBlue)
                CopySwappingRedAndBlue(pixels, reinterpret_cast<const uint8_t*>(colors + offset), length);
            else
                memcpy(pixels, colors + offset, 4 * std::size_t(length));
        });
    }

    // False when no pixel of the span from (x, y) would change, its colours
    // whatever they are: the clip hides every one of its pixels within the
    // clip boxes and the operation keeps hidden pixels as they are. A span
    // source need not generate such a span.
    bool Reaches(int x, int y, int len) {
        if (!mask || !skipsHidden)
            return true;
        bool reaches = false;
        ForEachBox(x, y, len, [&](uint8_t*, unsigned length, unsigned offset) {
            reaches = reaches || !MaskHides(*mask, x + int(offset), y, length);
        });
        return reaches;
    }

    // The pixels of `len` columns from (x, y) when colours known opaque may be
    // written there as they are: the operation gives such colours themselves
    // at full coverage and one clip box (or the surface) holds the whole
    // span. Null otherwise.
    uint8_t* OpaqueSpanPixels(int x, int y, int len) {
        if (!fillsOpaque || boxes.size() > 1 || mask || layout != PixelLayout::Rgba)
            return nullptr;
        const agg::rect_i& box = boxes.empty() ? baseBox : boxes[0];
        if (y < box.y1 || y > box.y2 || x < box.x1 || int64_t(x) + len - 1 > box.x2)
            return nullptr;
        return buffer.row_ptr(y) + 4 * int64_t(x);
    }

    // Starts loading the pixels of columns x1 to x2 and rows y1 to y2
    // (inclusive, any values) into the cache: a small shape anywhere on a
    // large surface then waits for its rows at once rather than one after
    // another. Larger regions are left to the processor's own prefetching.
    // Always inlined: the compiler takes a function of prefetches alone for
    // one without effect and drops calls to it.
    VUDADIVE2R_BLEND_INLINE void Prefetch(int x1, int y1, int x2, int y2) const {
        constexpr int64_t line = 64, mostLines = 64;
        x1 = std::max(x1, 0);
        y1 = std::max(y1, 0);
        x2 = std::min(x2, int(width()) - 1);
        y2 = std::min(y2, int(height()) - 1);
        if (x1 > x2 || y1 > y2)
            return;
        const int64_t rows = int64_t(y2) - y1 + 1, lines = (pixelBytes * (int64_t(x2) - x1) + 3) / line + 2;
        if (rows * lines > mostLines)
            return;
        for (int64_t row = 0; row < rows; ++row) {
            const uintptr_t first =
                uintptr_t(buffer.row_ptr(int(y1 + row)) + pixelBytes * int64_t(x1)) & ~uintptr_t(line - 1);
            for (int64_t i = 0; i < lines; ++i)
                __builtin_prefetch(reinterpret_cast<const void*>(first + uintptr_t(i * line)), 1);
        }
    }

private:
    static void Premultiply(const color_type& c, uint8_t* source) {
        source[0] = PremultiplyingBlender::Premultiply(c.r, c.a);
        source[1] = PremultiplyingBlender::Premultiply(c.g, c.a);
        source[2] = PremultiplyingBlender::Premultiply(c.b, c.a);
        source[3] = c.a;
    }

    std::ptrdiff_t Stride() const { return buffer.stride(); }

    // One colour on rows y1 to y2 under the clip, row by row: each row's
    // coverage (`covers`, or `cover` throughout) met with its clip bytes.
    void MaskedRows(int x, int y1, int y2, int64_t length, const color_type* color, const uint8_t* source,
                    const agg::cover_type* covers, agg::cover_type cover) {
        if (skipsHidden) {
            for (int y = y1; y <= y2; ++y)
                ForEachShownStretch(x, y, length, covers, cover,
                                    [&](uint8_t* pixels, unsigned count, unsigned, const uint8_t* masked, bool whole) {
                                        if (whole && color->a == 255)
                                            blenders->fill(pixels, count, source);
                                        else
                                            blenders->solid(pixels, count, source, masked, 0);
                                    });
            return;
        }
        for (int y = y1; y <= y2; ++y)
            ForEachBox(x, y, length, [&](uint8_t* pixels, unsigned clipped, unsigned offset) {
                uint8_t* masked = maskedCovers.data();
                MaskCovers(*mask, x + int(offset), y, clipped, covers ? covers + offset : nullptr, cover, masked);
                Compose(pixels, clipped, masked, 0, [&](uint8_t* composed) {
                    if (blenders)
                        blenders->solid(composed, clipped, source, masked, 0);
                    else
                        Fallback(composed, clipped, color, 0, masked, 0);
                });
            });
    }

    // Fallback for one colour on each of `rows` rows.
    void FallbackRows(uint8_t* pixels, unsigned length, const color_type* color, const agg::cover_type* covers,
                      agg::cover_type cover, unsigned rows) const {
        for (; rows > 0; --rows, pixels += Stride())
            Fallback(pixels, length, color, 0, covers, cover);
    }

    // Colours per pixel without span loops, swapped as the pixels keep them.
    void FallbackColors(uint8_t* pixels, unsigned length, const color_type* colors, const agg::cover_type* covers,
                        agg::cover_type cover) const {
        if (!swapsRedAndBlue)
            return Fallback(pixels, length, colors, 1, covers, cover);
        for (unsigned i = 0; i < length; ++i) {
            const color_type swapped(colors[i].b, colors[i].g, colors[i].r, colors[i].a);
            Fallback(pixels + 4 * i, 1, &swapped, 0, covers ? covers + i : nullptr, cover);
        }
    }

    // Hands `compose` the `length` pixels from `pixels` on as four-byte
    // pixels (see ComposeStaged in PixelLayout.hpp).
    template <class ComposeFour>
    VUDADIVE2R_BLEND_INLINE void Compose(uint8_t* pixels, unsigned length, const agg::cover_type* covers,
                                         agg::cover_type cover, ComposeFour compose) {
        if (ComposesInPlace(layout))
            return compose(pixels);
        ComposeStaged(pixels, length, covers, cover, compose);
    }

    template <class ComposeFour>
    void ComposeStaged(uint8_t* pixels, unsigned length, const agg::cover_type* covers, agg::cover_type cover,
                       ComposeFour compose) {
        Vudadive2R::ComposeStaged(layout, pixels, length, covers, cover, stagingRow.data(), compose);
    }

    // Operations without span loops, pixel by pixel as the pixel format does.
    void Fallback(uint8_t* pixels, unsigned length, const color_type* colors, unsigned colorStep,
                  const agg::cover_type* covers, agg::cover_type cover) const {
        for (unsigned i = 0; i < length; ++i, colors += colorStep)
            PremultiplyingBlender::blend_pix(operation, pixels + 4 * i, colors->r, colors->g, colors->b, colors->a,
                                             covers ? covers[i] : cover);
    }

    // Clips the span of `length` pixels from (x, y) to each clip box in turn
    // (the surface without any) and hands `span` the pixels, the clipped
    // length and the offset of the first of them within the span.
    template <class Span>
    VUDADIVE2R_BLEND_INLINE void ForEachBox(int x, int y, int64_t length, Span span) {
        if (length <= 0)
            return;
        const agg::rect_i* box = boxes.empty() ? &baseBox : boxes.data();
        const agg::rect_i* end = boxes.empty() ? &baseBox + 1 : boxes.data() + boxes.size();
        for (; box != end; ++box) {
            if (y < box->y1 || y > box->y2)
                continue;
            const int64_t first = std::max<int64_t>(x, box->x1);
            const int64_t last = std::min<int64_t>(int64_t(x) + length - 1, box->x2);
            if (first > last)
                continue;
            span(buffer.row_ptr(y) + pixelBytes * first, unsigned(last - first + 1), unsigned(first - x));
        }
    }

    // The same for the span repeated on rows y1 to y2, box by box: `span`
    // also receives the number of rows, which follow each other by the
    // buffer's stride. One row as ForEachBox. `covers` (or `cover`
    // throughout) is the span's coverage, which staged layouts need; they
    // take the rows one by one.
    template <class Span>
    VUDADIVE2R_BLEND_INLINE void ForEachBlock(int x, int y1, int y2, int64_t length, const agg::cover_type* covers,
                                              agg::cover_type cover, Span span) {
        if (!ComposesInPlace(layout))
            return StagedRows(x, y1, y2, length, covers, cover, span);
        if (y1 == y2)
            return ForEachBox(x, y1, length, [&span](uint8_t* pixels, unsigned clipped, unsigned offset)
                                                 __attribute__((always_inline)) { span(pixels, clipped, offset, 1u); });
        ForEachRows(x, y1, y2, length, span);
    }

    // A span of colours under the clip, for an operation that keeps hidden
    // pixels: stretches the clip hides are left alone, and with `opaque`
    // colours the stretches it and the coverage leave whole are copies.
    void MaskedStretches(int x, int y, int len, const color_type* colors, const agg::cover_type* covers,
                         agg::cover_type cover, bool opaque) {
        ForEachShownStretch(x, y, len, covers, cover,
                            [&](uint8_t* pixels, unsigned count, unsigned at, const uint8_t* masked, bool whole) {
                                const uint8_t* from = reinterpret_cast<const uint8_t*>(colors + at);
                                if (whole && opaque && swapsRedAndBlue)
                                    CopySwappingRedAndBlue(pixels, from, count);
                                else if (whole && opaque)
                                    memcpy(pixels, from, 4 * std::size_t(count));
                                else
                                    colorBlender(pixels, count, from, masked, 0);
                            });
    }

    // For an operation that keeps hidden pixels: the span's coverage met
    // with the clip, box by box, in stretches, the hidden ones left out:
    // `stretch(pixels, count, at, masked, whole)` receives a stretch's
    // pixels, length, offset within the span and coverage bytes, and
    // whether they are all 255.
    template <class Stretch>
    void ForEachShownStretch(int x, int y, int64_t len, const agg::cover_type* covers, agg::cover_type cover,
                             Stretch stretch) {
        ForEachBox(x, y, len, [&](uint8_t* pixels, unsigned length, unsigned offset) {
            uint8_t* masked = maskedCovers.data();
            MaskCovers(*mask, x + int(offset), y, length, covers ? covers + offset : nullptr, cover, masked);
            ForEachCoverStretch(masked, length, [&](unsigned at, unsigned count, CoverStretch kind) {
                if (kind != CoverStretch::None)
                    stretch(pixels + 4 * at, count, offset + at, masked + at, kind == CoverStretch::Full);
            });
        });
    }

    template <class Span>
    void StagedRows(int x, int y1, int y2, int64_t length, const agg::cover_type* covers, agg::cover_type cover,
                    Span span) {
        for (int y = y1; y <= y2; ++y)
            ForEachBox(x, y, length, [&](uint8_t* pixels, unsigned clipped, unsigned offset) {
                ComposeStaged(pixels, clipped, covers ? covers + offset : nullptr, cover,
                              [&](uint8_t* composed) { span(composed, clipped, offset, 1u); });
            });
    }

    template <class Span>
    void ForEachRows(int x, int y1, int y2, int64_t length, Span span) {
        if (length <= 0)
            return;
        const agg::rect_i* box = boxes.empty() ? &baseBox : boxes.data();
        const agg::rect_i* end = boxes.empty() ? &baseBox + 1 : boxes.data() + boxes.size();
        for (; box != end; ++box) {
            const int top = std::max(y1, box->y1), bottom = std::min(y2, box->y2);
            const int64_t first = std::max<int64_t>(x, box->x1);
            const int64_t last = std::min<int64_t>(int64_t(x) + length - 1, box->x2);
            if (top > bottom || first > last)
                continue;
            span(buffer.row_ptr(top) + pixelBytes * first, unsigned(last - first + 1), unsigned(first - x),
                 unsigned(bottom - top + 1));
        }
    }

    RenderingBuffer& buffer;
    unsigned operation;
    PixelLayout layout;
    int64_t pixelBytes;
    bool swapsRedAndBlue;
    const SpanBlenders* blenders;
    ColorSpanBlender colorBlender = nullptr;
    std::vector<uint8_t> stagingRow;  // a row of staged pixels, or the X bytes they had
    bool fillsOpaque = false, fillsAny = false, keepsPixelsAtZero = false;
    // Source-over on pixels composited in place: a pixel at coverage 0
    // stays as it is, and an opaque colour at full coverage is itself.
    bool skipsHidden = false;
    agg::rect_i baseBox;
    std::vector<agg::rect_i> boxes;
    const MaskRows* mask = nullptr;
    std::vector<uint8_t> maskedCovers;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
