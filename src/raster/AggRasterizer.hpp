// AGG's scanline rasterizer and scanline as the reference road uses them.
#ifndef VUDADIVE2R_RASTER_AGGRASTERIZER_HPP
#define VUDADIVE2R_RASTER_AGGRASTERIZER_HPP

#include <agg_basics.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_scanline_p.h>

namespace ORV {
namespace Vudadive2R {

typedef agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_int> Rasterizer;
typedef agg::scanline_p8 Scanline;

}  // namespace Vudadive2R
}  // namespace ORV

#endif
