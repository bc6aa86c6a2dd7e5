// The colours of the library's paint classes for one pass.
#ifndef VUDADIVE2R_PAINT_PAINTPASSES_HPP
#define VUDADIVE2R_PAINT_PAINTPASSES_HPP

#include "paint/PaintPass.hpp"
#include "vudadive2r/GradientPaint.hpp"
#include "vudadive2r/ImagePaint.hpp"
#include "vudadive2r/Paint.hpp"

namespace ORV {
namespace Vudadive2R {

// The colours of `paint` when its class is exactly one of the library's;
// null for any other class, a client's subclass of one of them included,
// which is drawn through its own Rasterize, as its code expects.
PaintColors LibraryPaintColors(const Paint& paint);

// Each paint class's colours; `paint` is of that class.
void ColorPaintColors(const Paint& paint, PaintPass& pass);
void LinearGradientColors(const Paint& paint, PaintPass& pass);
void RadialGradientColors(const Paint& paint, PaintPass& pass);
void ImagePaintColors(const Paint& paint, PaintPass& pass);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
