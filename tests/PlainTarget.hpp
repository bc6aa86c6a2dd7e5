// The plain AGG composition that the differential tests compare the library
// with: the pipeline's renderer over a test surface, the blend modes as the
// pixel format's operations, and the fill-then-stroke passes over a path.
#ifndef VUDADIVE2R_PLAIN_TARGET_HPP
#define VUDADIVE2R_PLAIN_TARGET_HPP

#include <agg_conv_curve.h>
#include <agg_conv_dash.h>
#include <agg_conv_stroke.h>
#include <agg_conv_transform.h>
#include <agg_gradient_lut.h>
#include <agg_span_allocator.h>
#include <agg_span_gradient.h>
#include <agg_span_interpolator_linear.h>

#include <cmath>

#include <vector>

#include "TestSupport.hpp"
#include "pipeline/PathStorage.hpp"
#include "pipeline/AggTypes.hpp"

namespace DrawSupport {

using namespace ORV::Vudadive2R;

// The operations of BlendMode 0 to 9.
const unsigned kOperations[] = {agg::comp_op_src,     agg::comp_op_src_over, agg::comp_op_dst_over, agg::comp_op_src_in,
                                agg::comp_op_dst_in,  agg::comp_op_multiply, agg::comp_op_screen,   agg::comp_op_darken,
                                agg::comp_op_lighten, agg::comp_op_plus};

inline agg::trans_affine Affine(const Matrix3& m) { return agg::trans_affine(m[0], m[1], m[3], m[4], m[6], m[7]); }

struct PlainTarget {
    PlainTarget(TestSupport::Surface& surface, Origin origin, BlendMode mode)
        : buffer(surface.memory.data(), unsigned(surface.width), unsigned(surface.height),
                 origin == Origin::TopLeft ? surface.stride : -surface.stride),
          pixelFormat(buffer), renderer(pixelFormat) {
        pixelFormat.comp_op(kOperations[int(mode)]);
    }
    RenderingBuffer buffer;
    PixelFormat pixelFormat;
    Renderer renderer;
    // Its cell store unlimited, so that it covers completely at any size.
    Rasterizer rasterizer{1u << 16};
    Scanline scanline;
};

struct PlainStroke {
    PlainStroke(float width, CapStyle cap = CapStyle::Butt, JoinStyle join = JoinStyle::Miter,
                std::vector<Dash> dashes = {}, float phase = 0, float miterLimit = 4)
        : width(width), cap(cap), join(join), dashes(std::move(dashes)), phase(phase), miterLimit(miterLimit) {}
    float width;
    CapStyle cap;
    JoinStyle join;
    std::vector<Dash> dashes;
    float phase;
    float miterLimit;
};

// The path's curves flattened, then transformed; filled by `renderFill` and,
// when `stroke` is given, stroked by `renderStroke` with the fill's rule kept.
template <class RenderFill, class RenderStroke>
void FillAndStrokePlainly(PlainTarget& target, PathStorage& storage, const Matrix3& path, FillRule rule,
                          RenderFill renderFill, const PlainStroke* stroke, RenderStroke renderStroke) {
    agg::conv_curve<PathStorage> curves(storage);
    agg::trans_affine matrix = Affine(path);
    agg::conv_transform<decltype(curves)> transformer(curves, matrix);
    target.rasterizer.filling_rule(rule == FillRule::EvenOdd ? agg::fill_even_odd : agg::fill_non_zero);
    target.rasterizer.add_path(transformer);
    renderFill();
    if (!stroke)
        return;
    auto outline = [&](auto& source) {
        const agg::line_cap_e caps[] = {agg::butt_cap, agg::round_cap, agg::square_cap};
        const agg::line_join_e joins[] = {agg::miter_join, agg::round_join, agg::bevel_join};
        agg::conv_stroke<std::remove_reference_t<decltype(source)>> stroker(source);
        stroker.width(stroke->width);
        stroker.line_cap(caps[int(stroke->cap)]);
        stroker.line_join(joins[int(stroke->join)]);
        stroker.miter_limit(stroke->miterLimit);
        target.rasterizer.reset();
        target.rasterizer.add_path(stroker);
        renderStroke();
    };
    if (stroke->dashes.empty())
        return outline(transformer);
    agg::conv_dash<decltype(transformer)> dasher(transformer);
    for (const Dash& d : stroke->dashes)
        dasher.add_dash(d.Length, d.Gap);
    dasher.dash_start(stroke->phase);
    outline(dasher);
}

// A gradient paint's numbers: five make a radial gradient (cx, cy, radius,
// fx, fy), four a linear one (x0, y0, x1, y1).
struct GradientScene {
    std::vector<ColorStop> stops;
    SpreadMode spread;
    std::vector<float> g;
};

// The gradient pieces composed directly, with stop colours in 0..1 so that AGG's
// own double-to-byte conversion is defined.
inline void RenderGradientPlainly(PlainTarget& target, const Matrix3& paint, const Matrix3& path,
                                  const GradientScene& p) {
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
