// Source-over of premultiplied source pixels, as AGG's premultiplied blender
// computes it (agg::blender_rgba_pre): each source byte scaled by the
// coverage, then p + s - p x a, every product rounded by AGG's multiply.
// A transparent source pixel (all four bytes 0) leaves its pixel as it is.
#ifndef VUDADIVE2R_COMPOSITE_PREMULTIPLIEDOVER_HPP
#define VUDADIVE2R_COMPOSITE_PREMULTIPLIEDOVER_HPP

#include <cstdint>

namespace ORV {
namespace Vudadive2R {

// `length` pixels of `source` over `pixels`, each at its coverage in
// `covers`, or at `cover` when `covers` is null.
void BlendPremultipliedOver(uint8_t* pixels, const uint8_t* source, unsigned length, const uint8_t* covers,
                            uint8_t cover);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
