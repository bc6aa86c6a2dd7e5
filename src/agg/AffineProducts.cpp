// Products and inverses of affine matrices: the out-of-line members of AGG's
// trans_affine that a draw reaches, compiled with the library's own flags so
// that every processor computes the same matrices. The arithmetic follows
// AGG 2.4 operation for operation.
#include <agg_trans_affine.h>

namespace agg {

// *this = *this followed by m.
const trans_affine& trans_affine::multiply(const trans_affine& m) {
  double t0 = sx * m.sx + shy * m.shx;
  double t2 = shx * m.sx + sy * m.shx;
  double t4 = tx * m.sx + ty * m.shx + m.tx;
  shy = sx * m.shy + shy * m.sy;
  sy = shx * m.shy + sy * m.sy;
  ty = tx * m.shy + ty * m.sy + m.ty;
  sx = t0;
  shx = t2;
  tx = t4;
  return *this;
}

const trans_affine& trans_affine::invert() {
  double d = determinant_reciprocal();

  double t0 = sy * d;
  sy = sx * d;
  shy = -shy * d;
  shx = -shx * d;

  double t4 = -tx * t0 - ty * shx;
  ty = -tx * shy - ty * sy;

  sx = t0;
  tx = t4;
  return *this;
}

}  // namespace agg
