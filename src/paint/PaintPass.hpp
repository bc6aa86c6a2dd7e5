// One pass as a paint sees it: the coverage is made, and the paint says what
// colours it gets, one colour or a span source, from the matrices the
// pipeline hands it. The paint does not know which road runs the pass.
#ifndef VUDADIVE2R_PAINT_PAINTPASS_HPP
#define VUDADIVE2R_PAINT_PAINTPASS_HPP

#include <agg_color_rgba.h>

#include <functional>
#include <memory>
#include <utility>

#include "paint/PassMatrices.hpp"
#include "vudadive2r/Paint.hpp"

namespace ORV {
namespace Vudadive2R {

// The positions a span source is asked for: columns `left` to `right` (the
// covered ones, which may reach beyond the surface) and rows `top` to
// `bottom` (covered rows within the surface), inclusive.
struct SpanRegion {
    int left, top, right, bottom;
};

// AGG's span generator protocol: prepare once, then colours for `length`
// pixels from column x of row y.
class SpanSource {
public:
    virtual void prepare() = 0;
    virtual void generate(agg::rgba8* colors, int x, int y, unsigned length) = 0;

    // Whether every colour it gives has alpha 255, known for the whole pass.
    bool Opaque() const { return opaque; }
    // Whether its colours may be generated straight into the surface: it
    // reads no pixels (an image may be the surface itself).
    bool ReadsNoPixels() const { return readsNoPixels; }
    // A source of the same colours with state of its own, for another
    // thread's rows of the pass; null when there is none.
    virtual std::unique_ptr<SpanSource> Twin() const { return nullptr; }
    // Whether it may read bytes from `begin` up to `end`: a source that
    // reads pixels reads anything unless Reads named its memory.
    bool MayRead(const void* begin, const void* end) const {
        if (readsNoPixels)
            return false;
        return !readBegin || (std::less<const void*>()(readBegin, end) && std::less<const void*>()(begin, readEnd));
    }
    void Reads(const void* begin, const void* end) {
        readBegin = begin;
        readEnd = end;
    }

    virtual ~SpanSource() = default;

protected:
    SpanSource(bool opaque, bool readsNoPixels) : opaque(opaque), readsNoPixels(readsNoPixels) {}

private:
    bool opaque, readsNoPixels;

protected:
    const void* readBegin = nullptr;
    const void* readEnd = nullptr;
};

// Any span generator as a span source, with Opaque() and ReadsNoPixels() as given.
template <class Generator>
class SpanSourceOf final : public SpanSource {
public:
    explicit SpanSourceOf(Generator& generator, bool opaque = false, bool readsNoPixels = false)
        : SpanSource(opaque, readsNoPixels), generator(generator) {}
    void prepare() override { generator.prepare(); }
    void generate(agg::rgba8* colors, int x, int y, unsigned length) override {
        generator.generate(colors, x, y, length);
    }

private:
    Generator& generator;
};

// The span generator that `make()` returns as a span source whose twins
// make their own.
template <class Make>
class SpanSourceMade final : public SpanSource {
public:
    SpanSourceMade(const Make& make, bool opaque, bool readsNoPixels = false)
        : SpanSource(opaque, readsNoPixels), make(make), generator(make()) {}
    void prepare() override { generator.prepare(); }
    void generate(agg::rgba8* colors, int x, int y, unsigned length) override {
        generator.generate(colors, x, y, length);
    }
    std::unique_ptr<SpanSource> Twin() const override {
        auto twin = std::make_unique<SpanSourceMade>(make, Opaque(), ReadsNoPixels());
        twin->Reads(readBegin, readEnd);
        return twin;
    }

private:
    Make make;
    decltype(std::declval<const Make&>()()) generator;
};

class PaintPass {
public:
    explicit PaintPass(const PassMatrices& matrices) : matrices(matrices) {}

    // Sorts the coverage and reports the region Spans will ask colours for;
    // false when it asks for none.
    virtual bool CoveredRegion(SpanRegion& region) = 0;
    // Composites the coverage in one colour (straight alpha; premultiplied
    // on the way).
    virtual void Solid(const agg::rgba8& color) = 0;
    // Composites the coverage with the colours of `source`.
    virtual void Spans(SpanSource& source) = 0;

    const PassMatrices& matrices;

protected:
    ~PaintPass() = default;
};

// What a paint class does with a pass; throws what its Rasterize would.
typedef void (*PaintColors)(const Paint& paint, PaintPass& pass);

// Paint::Rasterize of the library's paints, the one adapter from the four
// untyped arguments to a pass: the pipeline's AGG objects, with the image
// placement made from the paint's context.
void RasterizeWithColors(const Paint& paint, PaintColors colors, void* rasterizer, void* scanline, void* renderer,
                         void* paintMatrix);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
