// The AGG types that the drawing pipeline and the paints share, spelled once.
// Paint::Rasterize receives pointers to exactly these objects.
#ifndef VUDADIVE2R_PIPELINE_AGGTYPES_HPP
#define VUDADIVE2R_PIPELINE_AGGTYPES_HPP

#include <agg_renderer_scanline.h>
#include <agg_trans_affine.h>

#include "composite/PixelFormat.hpp"
#include "raster/AggRasterizer.hpp"

namespace ORV {
namespace Vudadive2R {

typedef agg::trans_affine PaintMatrix;

}  // namespace Vudadive2R
}  // namespace ORV

#endif
