#include <cmath>

#include "vudadive2r/Types.hpp"

namespace ORV {
namespace Vudadive2R {

const Float32x2 Float32x2::Zero = {0.0f, 0.0f};
const Float32x2 Float32x2::One = {1.0f, 1.0f};

float Float32x2::Length() { return std::sqrt(std::fmaf(X, X, Y * Y)); }

void Float32x2::Normalize() {
    const float length = Length();
    if (length == 0.0f) {
        X = 0.0f;
        Y = 0.0f;
        return;
    }
    const float reciprocal = 1.0f / length;
    X *= reciprocal;
    Y *= reciprocal;
}

}  // namespace Vudadive2R
}  // namespace ORV
