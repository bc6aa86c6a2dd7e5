// The library's own paints on the library's own road.
#ifndef VUDADIVE2R_PAINT_PAINTROAD_HPP
#define VUDADIVE2R_PAINT_PAINTROAD_HPP

#include "raster/OwnRoad.hpp"
#include "vudadive2r/GradientPaint.hpp"
#include "vudadive2r/ImagePaint.hpp"
#include "vudadive2r/Paint.hpp"

namespace ORV {
namespace Vudadive2R {

// True when `paint` is exactly one of the library's paint classes. Any other
// class, a client's subclass of one of them included, gets the plain AGG
// road and AGG's objects through Rasterize, as its code expects.
bool RidesOwnRoad(const Paint& paint);

// Composites one pass of a paint for which RidesOwnRoad holds; throws what
// its Rasterize would.
void RasterizeOnOwnRoad(Paint& paint, const RoadArguments& arguments);

// Each paint's body on the road, beside its Rasterize.
void RenderOnRoad(ColorPaint& paint, const RoadArguments& arguments);
void RenderOnRoad(LinearGradientPaint& paint, const RoadArguments& arguments);
void RenderOnRoad(RadialGradientPaint& paint, const RoadArguments& arguments);
void RenderOnRoad(ImagePaint& paint, const RoadArguments& arguments);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
