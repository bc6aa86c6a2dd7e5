// The arc tangent of a gradient's direction, the same bits on every
// processor: the C library's may differ by an ulp between processors (one
// is built with fused multiply-adds, another not), and that ulp moves a
// gradient's colours.
#ifndef VUDADIVE2R_COMMON_PORTABLEATAN2_HPP
#define VUDADIVE2R_COMMON_PORTABLEATAN2_HPP

namespace ORV {
namespace Vudadive2R {

// atan2f(y, x) with the results, bit for bit, of the classic single
// precision algorithm as the x86-64 C library computes it (every separate
// float operation rounded on its own), NaN payloads included.
float PortableAtan2(float y, float x);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
