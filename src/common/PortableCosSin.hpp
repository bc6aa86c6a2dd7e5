// The cosine and sine of a gradient's angle, the same bits on every
// processor: the C library's double cos and sin differ by an ulp between
// processors for some arguments (armhf has no fused multiply-add), and that
// ulp reaches the gradient's matrix.
#ifndef VUDADIVE2R_COMMON_PORTABLECOSSIN_HPP
#define VUDADIVE2R_COMMON_PORTABLECOSSIN_HPP

namespace ORV {
namespace Vudadive2R {

// cos(double(angle)) and sin(double(angle)) with the results, bit for bit,
// of the x86-64 C library on a processor with fused multiply-adds: checked
// for every float of magnitude below 105 414 336 (the arc tangent's lie
// within 4). Beyond that, and for infinities and NaNs, both NaN.
void PortableCosSin(float angle, double& cosine, double& sine);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
