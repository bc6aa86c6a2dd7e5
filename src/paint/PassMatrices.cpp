#include "paint/PassMatrices.hpp"

#include <cmath>

#include "vudadive2r/Transforms.hpp"

namespace ORV {
namespace Vudadive2R {

agg::trans_affine ToAffine(const Matrix3& m) {
    return agg::trans_affine(m.M[0], m.M[1], m.M[3], m.M[4], m.M[6], m.M[7]);
}

agg::trans_affine PaintSpaceMatrix(const Matrix3& paint, const agg::trans_affine& path) {
    agg::trans_affine matrix = ToAffine(paint);
    matrix.multiply(path);
    matrix.invert();
    return matrix;
}

bool PassMatrices::ImagePlacement(agg::trans_affine& matrix) const {
    if (!placement)
        return false;
    Matrix3 product;
    Matrix3::Multiply(placement->transforms->image->Get(), placement->transforms->path->Get(), product);
    matrix = ToAffine(product);
    const double determinant = matrix.determinant();
    if (!(std::isfinite(determinant) && determinant != 0))
        return false;
    matrix.invert();
    return true;
}

}  // namespace Vudadive2R
}  // namespace ORV
