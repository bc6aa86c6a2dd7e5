// What every paint does with the four untyped arguments of Rasterize: read
// them back as the pipeline's objects, then composite the coverage, either in
// one colour or through a span generator.
#ifndef VUDADIVE2R_RASTER_SPANRENDERING_HPP
#define VUDADIVE2R_RASTER_SPANRENDERING_HPP

#include <agg_renderer_scanline.h>
#include <agg_span_allocator.h>

#include "raster/AggTypes.hpp"
#include "raster/SaturatingRasterizer.hpp"

namespace ORV {
namespace Vudadive2R {

// The Rasterize arguments, typed. The pipeline is their only producer, so
// the casts are made here and nowhere else. The rasterizer arrives as a
// pointer to AGG's type (what a client's paint may use) and is read back as
// the pipeline's saturating rasterizer, so the library's paints sweep
// without overflow.
struct RasterizeArguments {
    SaturatingRasterizer& rasterizer;
    Scanline& scanline;
    Renderer& renderer;
    const PaintMatrix& paintMatrix;

    static RasterizeArguments Unpack(void* rasterizer, void* scanline, void* renderer, void* paintMatrix) {
        return RasterizeArguments{static_cast<SaturatingRasterizer&>(*static_cast<Rasterizer*>(rasterizer)), *static_cast<Scanline*>(scanline),
                                  *static_cast<Renderer*>(renderer), *static_cast<const PaintMatrix*>(paintMatrix)};
    }
};

// Composites the coverage in one colour (straight alpha; the pixel format
// premultiplies it).
inline void RenderSolid(const RasterizeArguments& arguments, const agg::rgba8& color) {
    agg::render_scanlines_aa_solid(arguments.rasterizer, arguments.scanline, arguments.renderer, color);
}

// Composites the coverage with the colours a span generator produces for
// each covered span.
template <class SpanGenerator>
void RenderSpans(const RasterizeArguments& arguments, SpanGenerator& generator) {
    agg::span_allocator<agg::rgba8> allocator;
    agg::render_scanlines_aa(arguments.rasterizer, arguments.scanline, arguments.renderer, allocator, generator);
}

}  // namespace Vudadive2R
}  // namespace ORV

#endif
