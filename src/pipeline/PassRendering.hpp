// A pass on either road: the coverage of a rasterizer, swept through a
// scanline and composited through a renderer, in one colour or with the
// colours of a span source.
#ifndef VUDADIVE2R_PIPELINE_PASSRENDERING_HPP
#define VUDADIVE2R_PIPELINE_PASSRENDERING_HPP

#include <agg_renderer_scanline.h>

#include <algorithm>

#include "common/ScratchArray.hpp"
#include "composite/CompositingRenderer.hpp"
#include "pipeline/PaintPass.hpp"

namespace ORV {
namespace Vudadive2R {

// Opaque colours at full coverage: the library's renderer stores them where
// its operation allows; AGG's renderer of the reference road blends them.
template <class RendererType>
void BlendOpaqueSpan(RendererType& renderer, int x, int y, int length, const agg::rgba8* colors) {
    renderer.blend_color_hspan(x, y, length, colors, nullptr, agg::cover_full);
}
inline void BlendOpaqueSpan(CompositingRenderer& renderer, int x, int y, int length, const agg::rgba8* colors) {
    renderer.blend_opaque_color_hspan(x, y, length, colors);
}

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
        agg::render_scanlines_aa_solid(rasterizer, scanline, renderer, color);
    }

    // As agg::render_scanlines_aa, but only for spans that touch the
    // surface: geometry may reach millions of pixels beyond it, and every
    // span is generated on its own, so skipping the others changes no pixel.
    void Spans(SpanSource& source) override { CompositeSpans<false>(source); }
    void OpaqueSpans(SpanSource& source) override { CompositeSpans<true>(source); }

private:
    template <bool Opaque>
    void CompositeSpans(SpanSource& source) {
        SpanRegion region;
        if (!CoveredRegion(region))
            return;
        const int width = int(renderer.width());
        rasterizer.navigate_scanline(region.top);
        scanline.reset(rasterizer.min_x(), rasterizer.max_x());
        source.prepare();
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
                agg::rgba8* colors = colorStore.Reserve((unsigned(length) + 255) & ~255u);
                source.generate(colors, x, y, unsigned(length));
                if (Opaque && span->len < 0 && *span->covers == agg::cover_full)
                    BlendOpaqueSpan(renderer, x, y, length, colors);
                else
                    renderer.blend_color_hspan(x, y, unsigned(length), colors,
                                               span->len < 0 ? nullptr : span->covers, *span->covers);
            }
        }
    }

    RasterizerType& rasterizer;
    ScanlineType& scanline;
    RendererType& renderer;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
