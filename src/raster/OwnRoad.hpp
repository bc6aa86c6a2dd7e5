// The types of the library's own drawing road: its rasterizer, the renderer
// it composites through, and the pass arguments the library's paints
// receive on it.
#ifndef VUDADIVE2R_RASTER_OWNROAD_HPP
#define VUDADIVE2R_RASTER_OWNROAD_HPP

#include "raster/AggTypes.hpp"
#include "raster/CompositingRenderer.hpp"
#include "raster/DenseRasterizer.hpp"
#include "raster/InlineScanline.hpp"
#include "raster/SpanRendering.hpp"

namespace ORV {
namespace Vudadive2R {

// Anything with the compositing interface of agg::renderer_mclip over
// PixelFormat (add_clip_box, blend_hline, blend_solid_hspan,
// blend_color_hspan, width, height), built from the rendering buffer and the
// compositing operation, can stand here.
typedef CompositingRenderer RoadRenderer;
typedef PassArguments<DenseRasterizer, InlineScanline, RoadRenderer> RoadArguments;

}  // namespace Vudadive2R
}  // namespace ORV

#endif
