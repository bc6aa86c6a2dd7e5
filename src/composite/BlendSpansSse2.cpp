// The span loops in SSE2: one pixel per register of four 32-bit lanes, two
// in 16-bit lanes for source-over (see Sse2Lanes.hpp).
#if defined(__x86_64__) || defined(__i386__)

#if !defined(__clang__)
#pragma GCC target("sse2")
#endif

#include <emmintrin.h>

#include "composite/Sse2Lanes.hpp"

namespace ORV {
namespace Vudadive2R {

const SpanBlenders* Sse2SpanBlenders() { return SpanTable<Sse2Lanes, Sse2NarrowLanes<2>, Sse2Block>::entries; }

}  // namespace Vudadive2R
}  // namespace ORV

#endif
