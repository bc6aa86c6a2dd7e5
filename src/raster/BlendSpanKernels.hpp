// The span loops of every operation, written once over a lane type L (see
// BlendOperations.hpp) that also loads and stores L::pixels pixels at a
// time, and PerPixel spreads L::pixels coverages over their pixels' lanes. Each instruction set's file defines its L in an anonymous namespace
// and includes this under its own target, so every instantiation is local
// to that file and compiled for its instruction set. Hence no standard
// library here beyond memcpy.
#ifndef VUDADIVE2R_RASTER_BLENDSPANKERNELS_HPP
#define VUDADIVE2R_RASTER_BLENDSPANKERNELS_HPP

#include <cstdint>
#include <cstring>

#include "raster/BlendOperations.hpp"
#include "raster/BlendSpans.hpp"

namespace ORV {
namespace Vudadive2R {

template <class L>
struct SpanLoops {
    template <class Operation>
    static void Solid(uint8_t* pixels, unsigned length, const uint8_t* source, const uint8_t* covers,
                      uint8_t cover) {
        uint8_t repeated[4 * L::pixels];
        for (unsigned i = 0; i < L::pixels; ++i)
            memcpy(repeated + 4 * i, source, 4);
        BlendFormulas::Inputs<L> in;
        in.S = L::Load(repeated);
        in.A = AlphaBroadcast(in.S);
        const unsigned whole = length - length % L::pixels;
        Loop<Operation>(pixels, whole, covers, cover, in, [](BlendFormulas::Inputs<L>&, unsigned) {});
        if (whole < length)
            Rest<Operation>(pixels + 4 * whole, length - whole, nullptr, source, covers ? covers + whole : nullptr,
                            cover);
    }

    template <class Operation>
    static void Color(uint8_t* pixels, unsigned length, const uint8_t* colors, const uint8_t* covers,
                      uint8_t cover) {
        BlendFormulas::Inputs<L> in;
        const unsigned whole = length - length % L::pixels;
        Loop<Operation>(pixels, whole, covers, cover, in, [colors](BlendFormulas::Inputs<L>& in, unsigned i) {
            const L straight = L::Load(colors + 4 * i);
            in.A = AlphaBroadcast(straight);
            in.S = SelectAlpha(in.A, ShiftRight8(Mul(straight, in.A) + L(255)));
        });
        if (whole < length)
            Rest<Operation>(pixels + 4 * whole, length - whole, colors + 4 * whole, nullptr,
                            covers ? covers + whole : nullptr, cover);
    }

    // The first `whole` pixels (a multiple of L::pixels); `setSource` puts
    // the source of the pixels from the i-th on into the inputs.
    template <class Operation, class SetSource>
    static void Loop(uint8_t* pixels, unsigned whole, const uint8_t* covers, uint8_t cover,
                     BlendFormulas::Inputs<L>& in, SetSource setSource) {
        in.k = L(cover);
        for (unsigned i = 0; i < whole; i += L::pixels) {
            setSource(in, i);
            in.D = L::Load(pixels + 4 * i);
            in.Da = AlphaBroadcast(in.D);
            if (covers)
                in.k = L::PerPixel(covers + i);
            Operation::Blend(in).Store(pixels + 4 * i);
        }
    }

    // The last pixels of a span, fewer than L::pixels, through a full-width
    // copy so that nothing is read or written beyond the span.
    template <class Operation>
    static void Rest(uint8_t* pixels, unsigned count, const uint8_t* colors, const uint8_t* source,
                     const uint8_t* covers, uint8_t cover) {
        uint8_t restPixels[4 * L::pixels] = {}, restColors[4 * L::pixels] = {}, restCovers[L::pixels] = {};
        memcpy(restPixels, pixels, 4 * count);
        if (covers)
            memcpy(restCovers, covers, count);
        if (colors) {
            memcpy(restColors, colors, 4 * count);
            Color<Operation>(restPixels, L::pixels, restColors, covers ? restCovers : nullptr, cover);
        } else {
            Solid<Operation>(restPixels, L::pixels, source, covers ? restCovers : nullptr, cover);
        }
        memcpy(pixels, restPixels, 4 * count);
    }

    template <class Operation>
    static constexpr SpanBlenders Entry() {
        return SpanBlenders{&Solid<Operation>, &Color<Operation>};
    }
};

// One level's loops: source-over, whose products all stay below 2^16, in the
// Narrow lanes (16 bits, twice the pixels), the rest in the Wide ones.
template <class Wide, class Narrow>
struct SpanTable {
    static constexpr SpanBlenders entries[] = {
        SpanLoops<Wide>::template Entry<BlendFormulas::Source>(),
        SpanLoops<Narrow>::template Entry<BlendFormulas::SourceOver>(),
        SpanLoops<Wide>::template Entry<BlendFormulas::DestinationOver>(),
        SpanLoops<Wide>::template Entry<BlendFormulas::SourceIn>(),
        SpanLoops<Wide>::template Entry<BlendFormulas::DestinationIn>(),
        SpanLoops<Wide>::template Entry<BlendFormulas::Multiply>(),
        SpanLoops<Wide>::template Entry<BlendFormulas::Screen>(),
        SpanLoops<Wide>::template Entry<BlendFormulas::Darken>(),
        SpanLoops<Wide>::template Entry<BlendFormulas::Lighten>(),
        SpanLoops<Wide>::template Entry<BlendFormulas::Plus>(),
    };
    static_assert(sizeof(entries) / sizeof(entries[0]) == unsigned(BlendOperation::Count),
                  "one entry per operation");
};

template <class Wide, class Narrow>
constexpr SpanBlenders SpanTable<Wide, Narrow>::entries[];

}  // namespace Vudadive2R
}  // namespace ORV

#endif
