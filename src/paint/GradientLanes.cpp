#include "paint/GradientLanes.hpp"

namespace ORV {
namespace Vudadive2R {

const LinearGradientKernels* BestLinearGradientKernels() {
#if defined(__x86_64__) || defined(__i386__)
    static const SimdLevel level = BestSimdLevel();
    if (level == SimdLevel::Avx2)
        return Avx2LinearGradientKernels();
    if (level == SimdLevel::Sse2)
        return Sse2LinearGradientKernels();
#endif
    return nullptr;
}

}  // namespace Vudadive2R
}  // namespace ORV
