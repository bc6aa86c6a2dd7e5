#include "paint/GradientLanes.hpp"

namespace ORV {
namespace Vudadive2R {

const GradientKernels* GradientKernelsFor(SimdLevel level) {
#if defined(__x86_64__) || defined(__i386__)
    static const SimdLevel best = BestSimdLevel();
    if (level == SimdLevel::Avx2 && best == SimdLevel::Avx2)
        return Avx2GradientKernels();
    if (level != SimdLevel::Portable && best != SimdLevel::Portable)
        return Sse2GradientKernels();
#elif defined(__aarch64__) && defined(__ARM_NEON)
    if (level != SimdLevel::Portable && BestSimdLevel() != SimdLevel::Portable)
        return NeonGradientKernels();
#else
    (void)level;
#endif
    return nullptr;
}

const GradientKernels* BestGradientKernels() { return GradientKernelsFor(BestSimdLevel()); }

}  // namespace Vudadive2R
}  // namespace ORV
