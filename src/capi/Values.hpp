// The C value structures have exactly the layouts of the class interface's
// value types; these conversions rely on it.
#ifndef VUDADIVE2R_CAPI_VALUES_HPP
#define VUDADIVE2R_CAPI_VALUES_HPP

#include <cstddef>

#include "vudadive2r.h"
#include "vudadive2r.hpp"

namespace ORV {
namespace Vudadive2R {

static_assert(sizeof(orv_color) == sizeof(Color) && offsetof(orv_color, A) == offsetof(Color, A), "colour layout");
static_assert(sizeof(orv_matrix3) == sizeof(Matrix3), "matrix layout");
static_assert(sizeof(orv_int_rectangle) == sizeof(IntRectangle) &&
                  offsetof(orv_int_rectangle, Height) == offsetof(IntRectangle, Height),
              "rectangle layout");

inline orv_color ToC(const Color& color) { return orv_color{color.R, color.G, color.B, color.A}; }

inline orv_matrix3 ToC(const Matrix3& matrix) {
    orv_matrix3 result;
    for (int i = 0; i < 9; ++i)
        result.M[i] = matrix.M[i];
    return result;
}

inline Matrix3 FromC(const orv_matrix3& matrix) {
    Matrix3 result;
    for (int i = 0; i < 9; ++i)
        result.M[i] = matrix.M[i];
    return result;
}

}  // namespace Vudadive2R
}  // namespace ORV

#endif
