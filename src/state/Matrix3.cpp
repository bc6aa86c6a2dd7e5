#include <cmath>

#include "vudadive2r/Types.hpp"

namespace ORV {
namespace Vudadive2R {

const Matrix3 Matrix3::Identity = {{1, 0, 0, 0, 1, 0, 0, 0, 1}};

Matrix3 Matrix3::CreateRotation(float angle) {
    float s, c;
    ::sincosf(angle, &s, &c);
    return Matrix3{{c, s, 0, -s, c, 0, 0, 0, 1}};
}

Matrix3 Matrix3::CreateScale(float sx, float sy) { return Matrix3{{sx, 0, 0, 0, sy, 0, 0, 0, 1}}; }
Matrix3 Matrix3::CreateScale(const Float32x2& scale) { return CreateScale(scale.X, scale.Y); }
Matrix3 Matrix3::CreateTranslation(float tx, float ty) { return Matrix3{{1, 0, 0, 0, 1, 0, tx, ty, 1}}; }
Matrix3 Matrix3::CreateTranslation(const Float32x2& offset) { return CreateTranslation(offset.X, offset.Y); }

namespace {

// Every product is composed with fused multiply-adds; where the processor
// has them as instructions, a copy compiled for them saves calling the maths
// library 27 times (the results are the same: each is rounded once). Local,
// so that its resolver is not exported. Sanitized builds do without: their
// instrumented resolver would run before the sanitizer's runtime is set up.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
__attribute__((target_clones("fma", "default")))
#endif
void MultiplyFused(const Matrix3& a, const Matrix3& b, Matrix3& result) {
    // Copies first: result may be a or b.
    const Matrix3 left = a;
    const Matrix3 right = b;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            result.M[3 * i + j] = std::fmaf(left.M[3 * i + 2], right.M[6 + j],
                                            std::fmaf(left.M[3 * i], right.M[j], left.M[3 * i + 1] * right.M[3 + j]));
}

}  // namespace

void Matrix3::Multiply(const Matrix3& a, const Matrix3& b, Matrix3& result) { MultiplyFused(a, b, result); }

Float32x2 Matrix3::Transform(const Float32x2& point, const Matrix3& m) {
    return Float32x2{std::fmaf(point.X, m.M[0], point.Y * m.M[3]) + m.M[6],
                     std::fmaf(point.X, m.M[1], point.Y * m.M[4]) + m.M[7]};
}

}  // namespace Vudadive2R
}  // namespace ORV
