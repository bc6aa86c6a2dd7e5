// Elliptic arcs as cubic Bezier segments: the out-of-line members of AGG's
// bezier_arc and bezier_arc_svg, compiled with the library's own flags so
// that every processor computes the same control points. The arithmetic
// follows AGG 2.4 operation for operation.
#include <agg_bezier_arc.h>

#include <cmath>

namespace agg {

namespace {
// A last quarter shorter than this joins the segment before it.
const double kArcAngleEpsilon = 0.01;
}  // namespace

void arc_to_bezier(double cx, double cy, double rx, double ry, double start_angle,
                   double sweep_angle, double* curve) {
  // The control points of a unit arc symmetric about the x axis, then turned
  // to its place and scaled by the radii.
  double x0 = std::cos(sweep_angle / 2.0);
  double y0 = std::sin(sweep_angle / 2.0);
  double tx = (1.0 - x0) * 4.0 / 3.0;
  double ty = y0 - tx * x0 / y0;
  double px[4] = {x0, x0 + tx, x0 + tx, x0};
  double py[4] = {-y0, -ty, ty, y0};

  double sn = std::sin(start_angle + sweep_angle / 2.0);
  double cs = std::cos(start_angle + sweep_angle / 2.0);

  for (unsigned i = 0; i < 4; i++) {
    curve[i * 2] = cx + rx * (px[i] * cs - py[i] * sn);
    curve[i * 2 + 1] = cy + ry * (px[i] * sn + py[i] * cs);
  }
}

void bezier_arc::init(double x, double y, double rx, double ry, double start_angle,
                      double sweep_angle) {
  start_angle = std::fmod(start_angle, 2.0 * pi);
  if (sweep_angle >= 2.0 * pi) sweep_angle = 2.0 * pi;
  if (sweep_angle <= -2.0 * pi) sweep_angle = -2.0 * pi;

  if (std::fabs(sweep_angle) < 1e-10) {
    // No sweep: a straight line between the two ends.
    m_num_vertices = 4;
    m_cmd = path_cmd_line_to;
    m_vertices[0] = x + rx * std::cos(start_angle);
    m_vertices[1] = y + ry * std::sin(start_angle);
    m_vertices[2] = x + rx * std::cos(start_angle + sweep_angle);
    m_vertices[3] = y + ry * std::sin(start_angle + sweep_angle);
    return;
  }

  // At most four segments of a quarter turn each.
  double total_sweep = 0.0;
  double local_sweep = 0.0;
  double prev_sweep;
  m_num_vertices = 2;
  m_cmd = path_cmd_curve4;
  bool done = false;
  do {
    if (sweep_angle < 0.0) {
      prev_sweep = total_sweep;
      local_sweep = -pi * 0.5;
      total_sweep -= pi * 0.5;
      if (total_sweep <= sweep_angle + kArcAngleEpsilon) {
        local_sweep = sweep_angle - prev_sweep;
        done = true;
      }
    } else {
      prev_sweep = total_sweep;
      local_sweep = pi * 0.5;
      total_sweep += pi * 0.5;
      if (total_sweep >= sweep_angle - kArcAngleEpsilon) {
        local_sweep = sweep_angle - prev_sweep;
        done = true;
      }
    }
    arc_to_bezier(x, y, rx, ry, start_angle, local_sweep, m_vertices + m_num_vertices - 2);
    m_num_vertices += 6;
    start_angle += local_sweep;
  } while (!done && m_num_vertices < 26);
}

void bezier_arc_svg::init(double x0, double y0, double rx, double ry, double angle,
                          bool large_arc_flag, bool sweep_flag, double x2, double y2) {
  m_radii_ok = true;

  if (rx < 0.0) rx = -rx;
  if (ry < 0.0) ry = -rx;

  // The half chord in the ellipse's own frame.
  double dx2 = (x0 - x2) / 2.0;
  double dy2 = (y0 - y2) / 2.0;
  double cos_a = std::cos(angle);
  double sin_a = std::sin(angle);
  double x1 = cos_a * dx2 + sin_a * dy2;
  double y1 = -sin_a * dx2 + cos_a * dy2;

  // Radii too small for the chord grow in proportion until it fits.
  double prx = rx * rx;
  double pry = ry * ry;
  double px1 = x1 * x1;
  double py1 = y1 * y1;
  double radii_check = px1 / prx + py1 / pry;
  if (radii_check > 1.0) {
    rx = std::sqrt(radii_check) * rx;
    ry = std::sqrt(radii_check) * ry;
    prx = rx * rx;
    pry = ry * ry;
    if (radii_check > 10.0) m_radii_ok = false;
  }

  // The centre, first in the ellipse's frame, then in the user's.
  double sign = (large_arc_flag == sweep_flag) ? -1.0 : 1.0;
  double sq = (prx * pry - prx * py1 - pry * px1) / (prx * py1 + pry * px1);
  double coef = sign * std::sqrt((sq < 0) ? 0 : sq);
  double cx1 = coef * ((rx * y1) / ry);
  double cy1 = coef * -((ry * x1) / rx);

  double sx2 = (x0 + x2) / 2.0;
  double sy2 = (y0 + y2) / 2.0;
  double cx = sx2 + (cos_a * cx1 - sin_a * cy1);
  double cy = sy2 + (sin_a * cx1 + cos_a * cy1);

  // Start and sweep angles.
  double ux = (x1 - cx1) / rx;
  double uy = (y1 - cy1) / ry;
  double vx = (-x1 - cx1) / rx;
  double vy = (-y1 - cy1) / ry;

  double n = std::sqrt(ux * ux + uy * uy);
  double p = ux;
  sign = (uy < 0) ? -1.0 : 1.0;
  double v = p / n;
  if (v < -1.0) v = -1.0;
  if (v > 1.0) v = 1.0;
  double start_angle = sign * std::acos(v);

  n = std::sqrt((ux * ux + uy * uy) * (vx * vx + vy * vy));
  p = ux * vx + uy * vy;
  sign = (ux * vy - uy * vx < 0) ? -1.0 : 1.0;
  v = p / n;
  if (v < -1.0) v = -1.0;
  if (v > 1.0) v = 1.0;
  double sweep_angle = sign * std::acos(v);
  if (!sweep_flag && sweep_angle > 0) {
    sweep_angle -= pi * 2.0;
  } else if (sweep_flag && sweep_angle < 0) {
    sweep_angle += pi * 2.0;
  }

  m_arc.init(0.0, 0.0, rx, ry, start_angle, sweep_angle);
  trans_affine mtx = trans_affine_rotation(angle);
  mtx *= trans_affine_translation(cx, cy);
  for (unsigned i = 2; i < m_arc.num_vertices() - 2; i += 2) {
    mtx.transform(m_arc.vertices() + i, m_arc.vertices() + i + 1);
  }

  // The ends are the given points exactly, whatever the rounding above.
  m_arc.vertices()[0] = x0;
  m_arc.vertices()[1] = y0;
  if (m_arc.num_vertices() > 2) {
    m_arc.vertices()[m_arc.num_vertices() - 2] = x2;
    m_arc.vertices()[m_arc.num_vertices() - 1] = y2;
  }
}

}  // namespace agg
