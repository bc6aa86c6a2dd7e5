// The matrices of one pass, from surface positions to the spaces a paint
// samples: the paint space of colours and gradients, and the pixels of an
// image placed by the image and path transforms.
#ifndef VUDADIVE2R_PAINT_PASSMATRICES_HPP
#define VUDADIVE2R_PAINT_PASSMATRICES_HPP

#include <agg_trans_affine.h>

#include "vudadive2r/Context2D.hpp"
#include "vudadive2r/Transforms.hpp"
#include "vudadive2r/Types.hpp"

namespace ORV {
namespace Vudadive2R {

// Row-major, row-vector matrix to AGG's (sx, shy, shx, sy, tx, ty).
agg::trans_affine ToAffine(const Matrix3& m);

// Surface positions to paint space: the inverse of the paint transform
// followed by the path transform. A singular product is inverted as it is;
// the paints receive whatever the division gives.
agg::trans_affine PaintSpaceMatrix(const Matrix3& paint, const agg::trans_affine& path);

class PassMatrices {
public:
    // `paint` maps surface positions to paint space; the image placement is
    // made from the transforms of `placement`, the context the paint was
    // made for (none: an image is not drawn).
    PassMatrices(const agg::trans_affine& paint, const Context2D* placement) : paint(paint), placement(placement) {}
    // The same with the paint matrix PaintSpaceMatrix(paintTransform, path),
    // made on first request: a paint of one colour asks for none. Both
    // must outlive the matrices.
    PassMatrices(Transform& paintTransform, const agg::trans_affine& path, const Context2D* placement)
        : placement(placement), paintTransform(&paintTransform), path(&path) {}

    const agg::trans_affine& Paint() const {
        if (paintTransform) {
            paint = PaintSpaceMatrix(paintTransform->Get(), *path);
            paintTransform = nullptr;
        }
        return paint;
    }

    // Surface positions to image pixels: the inverse of the image transform
    // followed by the path transform, their product taken in single
    // precision. Made on request, since only an image paint asks; false when
    // there is no context or the placement is singular or not finite.
    bool ImagePlacement(agg::trans_affine& matrix) const;

private:
    mutable agg::trans_affine paint;
    const Context2D* placement;
    mutable Transform* paintTransform = nullptr;  // until the paint matrix is made
    const agg::trans_affine* path = nullptr;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
