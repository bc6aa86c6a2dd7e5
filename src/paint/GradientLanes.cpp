#include "paint/GradientLanes.hpp"

namespace ORV {
namespace Vudadive2R {

const GradientKernels* BestGradientKernels() {
#if defined(__x86_64__) || defined(__i386__)
    static const SimdLevel level = BestSimdLevel();
    if (level == SimdLevel::Avx2)
        return Avx2GradientKernels();
    if (level == SimdLevel::Sse2)
        return Sse2GradientKernels();
#endif
    return nullptr;
}

}  // namespace Vudadive2R
}  // namespace ORV
