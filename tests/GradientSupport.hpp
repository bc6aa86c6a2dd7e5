// A gradient of the drawing tests composed plainly with AGG's span
// generators: five numbers make a radial gradient (cx, cy, radius, fx, fy),
// four a linear one (x0, y0, x1, y1), as DrawSupport::Gradient takes them.
#ifndef VUDADIVE2R_GRADIENT_SUPPORT_HPP
#define VUDADIVE2R_GRADIENT_SUPPORT_HPP

#include <agg_gradient_lut.h>
#include <agg_span_allocator.h>
#include <agg_span_gradient.h>
#include <agg_span_interpolator_linear.h>

#include <cmath>
#include <memory>
#include <vector>

#include "PlainTarget.hpp"

namespace DrawSupport {

struct GradientScene {
    std::vector<ColorStop> stops;
    SpreadMode spread;
    std::vector<float> g;
};

// The gradient pieces composed directly, with stop colours in 0..1 so that AGG's
// own double-to-byte conversion is defined.
inline void RenderPlainly(PlainTarget& target, const Matrix3& paint, const Matrix3& path, const GradientScene& p) {
    typedef agg::gradient_lut<agg::color_interpolator<agg::rgba>, 256> Lut;
    Lut lut;
    for (const ColorStop& s : p.stops)
        lut.add_color(s.Offset, agg::rgba(s.Color.R, s.Color.G, s.Color.B, s.Color.A));
    lut.build_lut();
    agg::trans_affine matrix = Affine(paint);
    matrix.multiply(Affine(path));
    matrix.invert();
    agg::span_interpolator_linear<agg::trans_affine, 8> interpolator(matrix);
    auto spread = [&](const auto& function, double d2) {
        auto render = [&](auto function) {
            agg::span_gradient<agg::rgba8, decltype(interpolator), decltype(function), Lut> generator(
                interpolator, function, lut, 0, d2);
            agg::span_allocator<agg::rgba8> allocator;
            agg::render_scanlines_aa(target.rasterizer, target.scanline, target.renderer, allocator, generator);
        };
        typedef std::decay_t<decltype(function)> F;
        if (p.spread == SpreadMode::Pad)
            render(function);
        else if (p.spread == SpreadMode::Reflect)
            render(agg::gradient_reflect_adaptor<F>(function));
        else
            render(agg::gradient_repeat_adaptor<F>(function));
    };
    const std::vector<float>& g = p.g;
    if (g.size() == 5) {
        matrix.tx -= g[0];
        matrix.ty -= g[1];
        spread(agg::gradient_radial_focus(g[2], float(g[3] - g[0]), float(g[4] - g[1])), g[2]);
    } else {
        const float dx = g[2] - g[0], dy = g[3] - g[1];
        agg::trans_affine placement =
            agg::trans_affine_rotation(std::atan2(dy, dx)) * agg::trans_affine_translation(g[0], g[1]);
        matrix.multiply(placement.invert());
        spread(agg::gradient_x(), std::sqrt(dx * dx + dy * dy));
    }
}

}  // namespace DrawSupport

#endif
