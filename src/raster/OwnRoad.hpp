// The types of the library's own drawing road: its rasterizer, the renderer
// it composites through, and the pass arguments the library's paints
// receive on it.
#ifndef VUDADIVE2R_RASTER_OWNROAD_HPP
#define VUDADIVE2R_RASTER_OWNROAD_HPP

#include "raster/AggTypes.hpp"
#include "raster/DenseRasterizer.hpp"
#include "raster/InlineScanline.hpp"
#include "raster/SpanRendering.hpp"

namespace ORV {
namespace Vudadive2R {

// Anything with the interface of agg::renderer_mclip over PixelFormat, built
// from the pixel format, can stand here.
typedef Renderer RoadRenderer;
typedef PassArguments<DenseRasterizer, InlineScanline, RoadRenderer> RoadArguments;

}  // namespace Vudadive2R
}  // namespace ORV

#endif
