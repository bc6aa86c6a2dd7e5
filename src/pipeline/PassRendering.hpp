// A pass on either road: the coverage of a rasterizer, swept through a
// scanline and composited through a renderer, in one colour or with the
// colours of a span source.
#ifndef VUDADIVE2R_PIPELINE_PASSRENDERING_HPP
#define VUDADIVE2R_PIPELINE_PASSRENDERING_HPP

#include <agg_renderer_scanline.h>

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "common/ScratchArray.hpp"
#include "composite/CompositingRenderer.hpp"
#include "paint/PaintPass.hpp"
#include "raster/DenseRasterizer.hpp"

namespace ORV {
namespace Vudadive2R {

// One colour through AGG's own loop.
template <class RasterizerType, class ScanlineType, class RendererType>
void RenderSolid(RasterizerType& rasterizer, ScanlineType& scanline, RendererType& renderer, const agg::rgba8& color) {
    agg::render_scanlines_aa_solid(rasterizer, scanline, renderer, color);
}

// The spans of a scanline in one colour on rows `first` to `last`.
template <class ScanlineType>
inline __attribute__((always_inline)) void CompositeSpans(const ScanlineType& scanline, CompositingRenderer& renderer,
                                                          const CompositingRenderer::SolidColor& solid, int first,
                                                          int last) {
    auto span = scanline.begin();
    for (unsigned spans = scanline.num_spans(); spans > 0; --spans, ++span) {
        if (span->len > 0)
            renderer.BlendSolidHspans(span->x, first, last, span->len, solid, span->covers);
        else
            renderer.BlendHlines(span->x, first, last, span->x - span->len - 1, solid, *span->covers);
    }
}

// Rows of a shape at most this wide are composited as one run of coverage
// where coverage 0 leaves pixels as they are.
constexpr int NarrowRow = 32;

// The spans of a scanline that lie within NarrowRow columns as one run of
// coverage (0 between them) on rows `first` to `last`; false, compositing
// nothing, for wider ones.
template <class ScanlineType>
inline __attribute__((always_inline)) bool CompositeAsRun(const ScanlineType& scanline,
                                                          CompositingRenderer& renderer,
                                                          const CompositingRenderer::SolidColor& solid, int first,
                                                          int last) {
    const auto begin = scanline.begin();
    const auto& end = begin[scanline.num_spans() - 1];
    const int x = begin->x, length = end.x + (end.len < 0 ? -end.len : end.len) - x;
    if (length > NarrowRow)
        return false;
    agg::cover_type covers[NarrowRow];
    std::memset(covers, 0, std::size_t(length));
    auto span = begin;
    for (unsigned spans = scanline.num_spans(); spans > 0; --spans, ++span) {
        if (span->len > 0)
            std::memcpy(covers + (span->x - x), span->covers, std::size_t(span->len));
        else
            std::memset(covers + (span->x - x), *span->covers, std::size_t(-span->len));
    }
    renderer.BlendSolidHspans(x, first, last, length, solid, covers);
    return true;
}

// Where coverage 0 leaves pixels as they are, the rows of a narrow shape
// come as one run of coverage each, composited by one call rather than one
// per span. Kept apart from the loop below, which then keeps its inlining.
template <class ScanlineType>
__attribute__((noinline)) void RenderSolidRuns(DenseRasterizer& rasterizer, ScanlineType& scanline,
                                               CompositingRenderer& renderer,
                                               const CompositingRenderer::SolidColor& solid) {
    agg::cover_type covers[NarrowRow];
    int y, x, length;
    while (rasterizer.SweepRowOrCovers(scanline, covers, NarrowRow, y, x, length)) {
        if (length)
            renderer.BlendSolidHspans(x, y, y, length, solid, covers);
        else
            CompositeSpans(scanline, renderer, solid, y, y);
    }
}

// The same loop on the library's coverage store, which also says when the
// rows after the one swept are alike (a rectangle's inside): their spans are
// composited from that one sweep, as they would be from their own, the runs
// of one coverage as one block (a narrow rectangle's rows as one run of
// coverage where coverage 0 leaves pixels as they are).
template <class ScanlineType>
void RenderSolid(DenseRasterizer& rasterizer, ScanlineType& scanline, CompositingRenderer& renderer,
                 const agg::rgba8& color) {
    if (!rasterizer.rewind_scanlines())
        return;
    const CompositingRenderer::SolidColor solid(color, renderer.SwapsRedAndBlue());
    const bool runs = renderer.KeepsPixelsAtZeroCoverage();
    if (runs && rasterizer.Rectangle() && rasterizer.RectangleColumns() <= NarrowRow) {
        // A narrow rectangle's rows come as runs of coverage without a scanline.
        agg::cover_type covers[NarrowRow];
        const agg::cover_type* run;
        int first, last, x, length;
        while (rasterizer.SweepRectangleRun(covers, first, last, x, length, run))
            renderer.BlendSolidHspans(x, first, last, length, solid, run);
        return;
    }
    scanline.reset(rasterizer.min_x(), rasterizer.max_x());
    if (runs && rasterizer.StampsOnly())
        return rasterizer.SweepStampRows([&](int x, int y, int length, const agg::cover_type* covers) {
            renderer.BlendSolidHspans(x, y, y, length, solid, covers);
        });
    if (runs && !rasterizer.Rectangle())
        return RenderSolidRuns(rasterizer, scanline, renderer, solid);
    while (rasterizer.sweep_scanline(scanline)) {
        const int first = scanline.y(), last = first + rasterizer.TakeRowsLikeTheLast();
        if (!(runs && CompositeAsRun(scanline, renderer, solid, first, last)))
            CompositeSpans(scanline, renderer, solid, first, last);
    }
}

// Whether a renderer has a loop for colours known to be opaque; AGG's has not.
template <class RendererType, class = void>
struct BlendsOpaqueColors : std::false_type {};
template <class RendererType>
struct BlendsOpaqueColors<RendererType, std::void_t<decltype(&RendererType::blend_opaque_color_hspan)>>
    : std::true_type {};

template <class RasterizerType, class ScanlineType, class RendererType>
class PassOnRoad final : public PaintPass {
public:
    PassOnRoad(const PassMatrices& matrices, RasterizerType& rasterizer, ScanlineType& scanline,
               RendererType& renderer)
        : PaintPass(matrices), rasterizer(rasterizer), scanline(scanline), renderer(renderer) {}

    bool CoveredRegion(SpanRegion& region) override {
        if (!rasterizer.rewind_scanlines())
            return false;
        region = SpanRegion{rasterizer.min_x(), std::max(rasterizer.min_y(), 0), rasterizer.max_x(),
                            std::min(rasterizer.max_y(), int(renderer.height()) - 1)};
        return region.top <= region.bottom;
    }

    void Solid(const agg::rgba8& color) override {
        RenderSolid(rasterizer, scanline, renderer, color);
    }

    // As agg::render_scanlines_aa, but only for spans that touch the
    // surface: geometry may reach millions of pixels beyond it, and every
    // span is generated on its own, so skipping the others changes no pixel.
    void Spans(SpanSource& source) override {
        SpanRegion region;
        if (!CoveredRegion(region))
            return;
        const int width = int(renderer.width());
        rasterizer.navigate_scanline(region.top);
        scanline.reset(rasterizer.min_x(), rasterizer.max_x());
        source.prepare();
        const bool opaque = source.Opaque(), inPlace = opaque && source.ReadsNoPixels();
        // Room for a narrow shape's colours inside the call's frame.
        ScratchArray<agg::rgba8, 256> colorStore;
        while (rasterizer.sweep_scanline(scanline) && scanline.y() <= region.bottom) {
            const int y = scanline.y();
            auto span = scanline.begin();
            for (unsigned spans = scanline.num_spans(); spans > 0; --spans, ++span) {
                const int x = span->x;
                const int length = span->len < 0 ? -span->len : span->len;
                if (x >= width || x + length <= 0)
                    continue;
                const agg::cover_type* covers = span->len < 0 ? nullptr : span->covers;
                if constexpr (BlendsOpaqueColors<RendererType>::value) {
                    // A span the clip hides changes no pixel.
                    if (!renderer.Reaches(x, y, length))
                        continue;
                    // Opaque colours that end up as they are go straight to
                    // the surface.
                    uint8_t* pixels = inPlace && !covers && *span->covers == agg::cover_full
                                          ? renderer.OpaqueSpanPixels(x, y, length)
                                          : nullptr;
                    if (pixels) {
                        source.generate(reinterpret_cast<agg::rgba8*>(pixels), x, y, unsigned(length));
                        continue;
                    }
                }
                agg::rgba8* colors = colorStore.Reserve((unsigned(length) + 255) & ~255u);
                source.generate(colors, x, y, unsigned(length));
                if constexpr (BlendsOpaqueColors<RendererType>::value) {
                    if (opaque) {
                        renderer.blend_opaque_color_hspan(x, y, unsigned(length), colors, covers, *span->covers);
                        continue;
                    }
                }
                renderer.blend_color_hspan(x, y, unsigned(length), colors, covers, *span->covers);
            }
        }
    }

private:
    RasterizerType& rasterizer;
    ScanlineType& scanline;
    RendererType& renderer;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
