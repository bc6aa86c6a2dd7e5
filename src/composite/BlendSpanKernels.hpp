// The span loops of every operation, written once over a lane type L (see
// BlendOperations.hpp) that also loads and stores L::pixels pixels at a
// time, and PerPixel spreads L::pixels coverages over their pixels' lanes;
// L::Smaller is a lane type of fewer pixels computing the same formulas,
// down to one pixel, which takes the last pixels of a span. Each instruction set's file defines its
// L in an anonymous namespace and includes this under its own target, so
// every instantiation is local to that file and compiled for its
// instruction set. Hence no standard library here beyond fixed-size memcpy,
// which compilers turn into plain loads and stores.
#ifndef VUDADIVE2R_COMPOSITE_BLENDSPANKERNELS_HPP
#define VUDADIVE2R_COMPOSITE_BLENDSPANKERNELS_HPP

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "composite/BlendOperations.hpp"
#include "composite/BlendSpans.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

// One pixel's four bytes: the portable fill's store, and the last pixels of
// the wider fills.
struct PixelBlock {
    static constexpr std::size_t bytes = 4;
    typedef PixelBlock Smaller;
    uint32_t word;

    static PixelBlock Broadcast(const uint8_t* source) {
        PixelBlock block;
        memcpy(&block.word, source, 4);
        return block;
    }
    void Store(uint8_t* at) const { memcpy(at, &word, 4); }
};

// Writes the four bytes `source` to each of `length` pixels in stores of
// Block::bytes, the pattern held in a register: after a first store at the
// start, the stores are aligned (when the pixels are whole words apart from
// an aligned address), and a last one ends at the end of the span. The
// stores overlap where the span is not a multiple of the block, which
// rewrites the same bytes. Spans shorter than a block take smaller blocks.
template <class Block>
void FillSpan(uint8_t* pixels, unsigned length, const uint8_t* source) {
    const Block pattern = Block::Broadcast(source);
    const std::size_t total = 4 * std::size_t(length);
    if constexpr (Block::bytes == 4) {
        for (std::size_t at = 0; at < total; at += 4)
            pattern.Store(pixels + at);
        return;
    }
    if (total < Block::bytes) {
        FillSpan<typename Block::Smaller>(pixels, length, source);
        return;
    }
    uint8_t* const end = pixels + total;
    pattern.Store(pixels);
    uint8_t* at = pixels + Block::bytes;
    if ((uintptr_t(pixels) & 3) == 0)
        at -= uintptr_t(at) % Block::bytes;
    for (; std::size_t(end - at) >= 4 * Block::bytes; at += 4 * Block::bytes) {
        pattern.Store(at);
        pattern.Store(at + Block::bytes);
        pattern.Store(at + 2 * Block::bytes);
        pattern.Store(at + 3 * Block::bytes);
    }
    for (; std::size_t(end - at) >= Block::bytes; at += Block::bytes)
        pattern.Store(at);
    pattern.Store(end - Block::bytes);
}

// The same span on `rows` rows, `stride` bytes apart.
template <class Block>
void FillRows(uint8_t* pixels, unsigned length, const uint8_t* source, unsigned rows, std::ptrdiff_t stride) {
    for (; rows > 0; --rows, pixels += stride)
        FillSpan<Block>(pixels, length, source);
}

}  // namespace

template <class Operation>
struct IsSourceOver {
    static constexpr bool value = false;
};
template <>
struct IsSourceOver<BlendFormulas::SourceOver> {
    static constexpr bool value = true;
};

template <class L>
struct SpanLoops {
    template <class Operation>
    static void Solid(uint8_t* pixels, unsigned length, const uint8_t* source, const uint8_t* covers,
                      uint8_t cover) {
        Span<L, Operation, true>(pixels, length, source, covers, cover, 1, 0);
    }

    template <class Operation>
    static void SolidRows(uint8_t* pixels, unsigned length, const uint8_t* source, const uint8_t* covers,
                          uint8_t cover, unsigned rows, std::ptrdiff_t stride) {
        Span<L, Operation, true>(pixels, length, source, covers, cover, rows, stride);
    }

    // SwapRedAndBlue: the colours' first and third bytes trade places as
    // they are loaded, for pixels that keep blue first.
    template <class Operation, bool SwapRedAndBlue>
    static void Color(uint8_t* pixels, unsigned length, const uint8_t* colors, const uint8_t* covers,
                      uint8_t cover) {
        Span<L, Operation, false, SwapRedAndBlue>(pixels, length, colors, covers, cover, 1, 0);
    }

    template <class Operation>
    static constexpr SpanBlenders Entry(SpanFiller fill, SpanRowsFiller fillRows) {
        return SpanBlenders{&Solid<Operation>, &SolidRows<Operation>, &Color<Operation, false>, fill, fillRows,
                            &Color<Operation, true>};
    }

private:
    // The pixels of a span in steps of K::pixels, the rest in K::Smaller's:
    // in one premultiplied colour `source` on each of `rows` rows, `stride`
    // bytes apart (a column of a rectangle's edge cells takes one call and
    // one set-up), or on one row, each in its straight colour from `source`
    // on.
    template <class K, class Operation, bool OneColor, bool SwapRedAndBlue = false>
    static VUDADIVE2R_BLEND_INLINE void Span(uint8_t* pixels, unsigned length, const uint8_t* source,
                                             const uint8_t* covers, uint8_t cover, unsigned rows,
                                             std::ptrdiff_t stride) {
        const unsigned whole = length - length % K::pixels;
        // A short span (a shape's edge cell) skips the wider steps' set-up.
        if (whole == 0) {
        } else if constexpr (OneColor) {
            SolidRun<K, Operation>(pixels, whole, source, covers, cover, rows, stride);
        } else {
            ColorRun<K, Operation, SwapRedAndBlue>(pixels, whole, source, covers, cover);
        }
        if constexpr (K::pixels > 1) {
            if (whole < length)
                Span<typename K::Smaller, Operation, OneColor, SwapRedAndBlue>(pixels + 4 * whole, length - whole,
                                                               OneColor ? source : source + 4 * whole,
                                                               covers ? covers + whole : nullptr, cover, rows,
                                                               stride);
        }
    }

    // `count` pixels, a multiple of K::pixels, in one premultiplied colour,
    // on each of the rows.
    template <class K, class Operation>
    static VUDADIVE2R_BLEND_INLINE void SolidRun(uint8_t* pixels, unsigned count, const uint8_t* source,
                                                 const uint8_t* covers, uint8_t cover, unsigned rows,
                                                 std::ptrdiff_t stride) {
        uint8_t repeated[4 * K::pixels];
        for (unsigned i = 0; i < K::pixels; ++i)
            memcpy(repeated + 4 * i, source, 4);
        BlendFormulas::Inputs<K> in;
        in.S = K::Load(repeated);
        in.A = AlphaBroadcast(in.S);
        if constexpr (IsSourceOver<Operation>::value) {
            if (!covers) {
                // The common case of large shapes, kept to its per-pixel part.
                const K sourceTerm = BlendFormulas::MultiplyBytes(in.S, K(cover));
                const K alphaTerm = BlendFormulas::MultiplyBytes(in.A, K(cover));
                for (; rows > 0; --rows, pixels += stride)
                    for (unsigned i = 0; i < count; i += K::pixels)
                        Operation::BlendTerms(K::Load(pixels + 4 * i), sourceTerm, alphaTerm).Store(pixels + 4 * i);
                return;
            }
        }
        for (; rows > 0; --rows, pixels += stride)
            Loop<K, Operation>(pixels, count, covers, cover, in, [](BlendFormulas::Inputs<K>&, unsigned) {});
    }

    // `count` pixels, a multiple of K::pixels, each in its straight colour.
    template <class K, class Operation, bool SwapRedAndBlue>
    static VUDADIVE2R_BLEND_INLINE void ColorRun(uint8_t* pixels, unsigned count, const uint8_t* colors,
                                                 const uint8_t* covers, uint8_t cover) {
        BlendFormulas::Inputs<K> in;
        Loop<K, Operation>(pixels, count, covers, cover, in, [colors](BlendFormulas::Inputs<K>& in, unsigned i) {
            const K straight = LoadColors<K, SwapRedAndBlue>(colors + 4 * i);
            in.A = AlphaBroadcast(straight);
            in.S = SelectAlpha(in.A, ShiftRight8(Mul(straight, in.A) + K(255)));
        });
    }

    // K::pixels colours from `colors`, their first and third bytes swapped
    // on request: word operations the compiler keeps in vector registers.
    template <class K, bool SwapRedAndBlue>
    static VUDADIVE2R_BLEND_INLINE K LoadColors(const uint8_t* colors) {
        if constexpr (!SwapRedAndBlue) {
            return K::Load(colors);
        } else {
            typedef uint32_t Words __attribute__((vector_size(4 * K::pixels), may_alias));
            Words words;
            memcpy(&words, colors, sizeof words);
            words = (words & 0xFF00FF00u) | ((words >> 16) & 0xFFu) | ((words & 0xFFu) << 16);
            return K::Load(reinterpret_cast<const uint8_t*>(&words));
        }
    }

    // `setSource` puts the source of the pixels from the i-th on into the
    // inputs.
    template <class K, class Operation, class SetSource>
    static VUDADIVE2R_BLEND_INLINE void Loop(uint8_t* pixels, unsigned count, const uint8_t* covers, uint8_t cover,
                                             BlendFormulas::Inputs<K>& in, SetSource setSource) {
        in.k = K(cover);
        for (unsigned i = 0; i < count; i += K::pixels) {
            setSource(in, i);
            in.D = K::Load(pixels + 4 * i);
            in.Da = AlphaBroadcast(in.D);
            if (covers)
                in.k = K::PerPixel(covers + i);
            Operation::Blend(in).Store(pixels + 4 * i);
        }
    }
};

// One level's loops: source-over, whose products all stay below 2^16, in the
// Narrow lanes (16 bits, twice the pixels), the rest in the Wide ones.
// Block is the widest store of the level's fill.
template <class Wide, class Narrow, class Block>
struct SpanTable {
    static constexpr SpanFiller fill = &FillSpan<Block>;
    static constexpr SpanRowsFiller fillRows = &FillRows<Block>;
    static constexpr SpanBlenders entries[] = {
        SpanLoops<Wide>::template Entry<BlendFormulas::Source>(fill, fillRows),
        SpanLoops<Narrow>::template Entry<BlendFormulas::SourceOver>(fill, fillRows),
        SpanLoops<Wide>::template Entry<BlendFormulas::DestinationOver>(fill, fillRows),
        SpanLoops<Wide>::template Entry<BlendFormulas::SourceIn>(fill, fillRows),
        SpanLoops<Wide>::template Entry<BlendFormulas::DestinationIn>(fill, fillRows),
        SpanLoops<Wide>::template Entry<BlendFormulas::Multiply>(fill, fillRows),
        SpanLoops<Wide>::template Entry<BlendFormulas::Screen>(fill, fillRows),
        SpanLoops<Wide>::template Entry<BlendFormulas::Darken>(fill, fillRows),
        SpanLoops<Wide>::template Entry<BlendFormulas::Lighten>(fill, fillRows),
        SpanLoops<Wide>::template Entry<BlendFormulas::Plus>(fill, fillRows),
    };
    static_assert(sizeof(entries) / sizeof(entries[0]) == unsigned(BlendOperation::Count),
                  "one entry per operation");
};

template <class Wide, class Narrow, class Block>
constexpr SpanBlenders SpanTable<Wide, Narrow, Block>::entries[];

}  // namespace Vudadive2R
}  // namespace ORV

#endif
