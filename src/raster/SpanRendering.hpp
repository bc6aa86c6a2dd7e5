// What every paint does with the four untyped arguments of Rasterize: read
// them back as the pipeline's objects, then composite the coverage, either in
// one colour or through a span generator.
#ifndef VUDADIVE2R_RASTER_SPANRENDERING_HPP
#define VUDADIVE2R_RASTER_SPANRENDERING_HPP

#include <agg_renderer_scanline.h>

#include <algorithm>

#include "raster/AggTypes.hpp"
#include "raster/SaturatingRasterizer.hpp"
#include "raster/ScratchArray.hpp"

namespace ORV {
namespace Vudadive2R {

// One pass's rasterizer, scanline, renderer and paint matrix, typed. The
// library's paints render through templates over this, so that the plain
// AGG road and the library's own road share one paint body.
template <class RasterizerType, class ScanlineType, class RendererType>
struct PassArguments {
    RasterizerType& rasterizer;
    ScanlineType& scanline;
    RendererType& renderer;
    const PaintMatrix& paintMatrix;
};

// The Rasterize arguments, typed. The pipeline is their only producer, so
// the casts are made here and nowhere else. The rasterizer arrives as a
// pointer to AGG's type (what a client's paint may use) and is read back as
// the pipeline's saturating rasterizer, so the library's paints sweep
// without overflow.
struct RasterizeArguments : PassArguments<SaturatingRasterizer, Scanline, Renderer> {
    static RasterizeArguments Unpack(void* rasterizer, void* scanline, void* renderer, void* paintMatrix) {
        return RasterizeArguments{{static_cast<SaturatingRasterizer&>(*static_cast<Rasterizer*>(rasterizer)),
                                   *static_cast<Scanline*>(scanline), *static_cast<Renderer*>(renderer),
                                   *static_cast<const PaintMatrix*>(paintMatrix)}};
    }
};

// Composites the coverage in one colour (straight alpha; the pixel format
// premultiplies it).
template <class Arguments>
void RenderSolid(const Arguments& arguments, const agg::rgba8& color) {
    agg::render_scanlines_aa_solid(arguments.rasterizer, arguments.scanline, arguments.renderer, color);
}

// The positions a span generator is asked for by RenderSpans: columns
// `left` to `right` (the covered ones, which may reach beyond the surface)
// and rows `top` to `bottom` (covered rows within the surface), inclusive.
struct SpanRegion {
    int left, top, right, bottom;
};

// Sorts the coverage and reports the region RenderSpans will generate;
// false when it generates nothing.
template <class Arguments>
bool CoveredSpanRegion(const Arguments& arguments, SpanRegion& region) {
    auto& rasterizer = arguments.rasterizer;
    if (!rasterizer.rewind_scanlines())
        return false;
    region = SpanRegion{rasterizer.min_x(), std::max(rasterizer.min_y(), 0), rasterizer.max_x(),
                        std::min(rasterizer.max_y(), int(arguments.renderer.height()) - 1)};
    return region.top <= region.bottom;
}

// Composites the coverage with the colours a span generator produces for
// each covered span, as agg::render_scanlines_aa does, but only for spans
// that touch the surface: geometry may reach millions of pixels beyond it,
// and every span is generated on its own, so skipping the others changes
// no pixel.
template <class Arguments, class SpanGenerator>
void RenderSpans(const Arguments& arguments, SpanGenerator& generator) {
    SpanRegion region;
    if (!CoveredSpanRegion(arguments, region))
        return;
    auto& rasterizer = arguments.rasterizer;
    auto& scanline = arguments.scanline;
    auto& renderer = arguments.renderer;
    const int width = int(renderer.width());
    rasterizer.navigate_scanline(region.top);
    scanline.reset(rasterizer.min_x(), rasterizer.max_x());
    generator.prepare();
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
            generator.generate(colors, x, y, unsigned(length));
            renderer.blend_color_hspan(x, y, unsigned(length), colors, span->len < 0 ? nullptr : span->covers,
                                       *span->covers);
        }
    }
}

}  // namespace Vudadive2R
}  // namespace ORV

#endif
