// The plain AGG composition that the differential tests compare the library with.
#ifndef VUDADIVE2R_PLAIN_TARGET_HPP
#define VUDADIVE2R_PLAIN_TARGET_HPP

#include <agg_conv_curve.h>
#include <agg_conv_dash.h>
#include <agg_conv_stroke.h>
#include <agg_conv_transform.h>
#include <agg_gradient_lut.h>
#include <agg_image_filters.h>
#include <agg_span_allocator.h>
#include <agg_span_gradient.h>
#include <agg_span_interpolator_linear.h>

#include <cmath>
#include <string>
#include <vector>

#include "DrawSupport.hpp"
#include "ImageSupport.hpp"
#include "common/Internals.hpp"
#include "path/PathDraw.hpp"
#include "pipeline/AggTypes.hpp"
#include "pipeline/PathStorage.hpp"

namespace DrawSupport {

using namespace ORV::Vudadive2R;

inline agg::trans_affine Affine(const Matrix3& m) { return agg::trans_affine(m[0], m[1], m[3], m[4], m[6], m[7]); }

struct PlainStroke {
    float width;
    CapStyle cap = CapStyle::Butt;
    JoinStyle join = JoinStyle::Miter;
    std::vector<Dash> dashes = {};
    float phase = 0, miterLimit = 4;
};

struct GradientScene {  // numbers as DrawSupport::Gradient takes them
    std::vector<ColorStop> stops;
    SpreadMode spread = SpreadMode::Pad;
    std::vector<float> g;
};

// Stop colours must lie in 0..1, where AGG's double-to-byte conversion is defined.
template <class Spans>
void RenderGradientPlainly(const Spans& spans, const Matrix3& paint, const Matrix3& path, const GradientScene& p) {
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
            spans(generator);
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

struct PlainPaint {  // the image if any, else the gradient if it has numbers, else the colour
    Color color{0, 0, 0, 0};
    GradientScene gradient;
    ImageSupport::Picture* picture = nullptr;
    int format = int(TestSupport::kRA24);
    TilingMode tiling = TilingMode::Clip;
    Color tile{0, 0, 0, 0};
};

struct PlainScene {
    PlainScene(int width, int height) : width(width), height(height) {}
    int width, height;
    std::vector<uint8_t> backdrop;  // empty: transparent black
    Origin origin = Origin::TopLeft;
    BlendMode mode = BlendMode::SourceOver;
    std::vector<IntRectangle> scissors;  // scissoring enabled when there are any
    Matrix3 path = Matrix3::Identity, fillPaint = Matrix3::Identity, strokePaint = Matrix3::Identity,
            image = Matrix3::Identity;
    Geometry geometry;
    bool filled = true;
    FillRule rule = FillRule::NonZero;
    PlainPaint fill, stroke;
    PlainStroke outline{0};  // width 0: not stroked
};

inline std::shared_ptr<Paint> PaintOf(const std::shared_ptr<Context2D>& context, const PlainPaint& p) {
    if (p.picture) {
        auto paint = std::make_shared<ImagePaint>(context, p.picture->Make(context, p.format));
        paint->ImageTilingMode = p.tiling;
        paint->TileColor = p.tile;
        return paint;
    }
    if (!p.gradient.g.empty())
        return Gradient(context, p.gradient.stops, p.gradient.spread, p.gradient.g);
    return std::make_shared<ColorPaint>(context, p.color);
}

// Draws the scene through the chosen road and plainly: empty when the bytes
// agree, else where they first differ. A draw the reference road clipped is
// not compared. Counts in `changed` the draws that changed the surface.
inline std::string DrawnPlainly(const PlainScene& s, DrawRoad road = DrawRoad::Library, int* changed = nullptr) {
    Canvas canvas(s.width, s.height, s.origin);
    TestSupport::Surface plain(s.width, s.height);
    if (!s.backdrop.empty())
        canvas.surface.memory = plain.memory = s.backdrop;
    canvas.State().blendMode = s.mode;
    canvas.State().scissoringEnabled = !s.scissors.empty();
    canvas.State().scissorRectangles = s.scissors;
    Transforms& transforms = *canvas.context->transforms;
    transforms.path->Set(s.path), transforms.fillPaint->Set(s.fillPaint);
    transforms.strokePaint->Set(s.strokePaint), transforms.image->Set(s.image);
    std::shared_ptr<FillState> fill;
    std::shared_ptr<StrokeState> stroke;
    if (s.filled) {
        fill = TestSupport::FillWith(PaintOf(canvas, s.fill));
        fill->FillRule(s.rule);
    }
    const PlainStroke& o = s.outline;
    if (o.width != 0) {
        stroke = StrokeIn(canvas, {}, o.width, o.cap, o.join);
        stroke->Paint(PaintOf(canvas, s.stroke));
        stroke->MiterLimit(o.miterLimit);
        stroke->dashPattern = o.dashes;
        stroke->DashPhase(o.phase);
    }
    auto path = s.geometry.On(canvas);
    if (road == DrawRoad::Library)
        path->Draw(fill, stroke);
    else if (DrawPath(*path, fill, stroke, road))
        return "";
    if (changed)
        *changed += canvas.surface.memory != plain.memory;

    RenderingBuffer buffer(plain.memory.data(), unsigned(s.width), unsigned(s.height),
                           s.origin == Origin::TopLeft ? plain.stride : -plain.stride);
    PixelFormat pixelFormat(buffer);
    const unsigned operations[] = {agg::comp_op_src,      agg::comp_op_src_over, agg::comp_op_dst_over,
                                   agg::comp_op_src_in,   agg::comp_op_dst_in,   agg::comp_op_multiply,
                                   agg::comp_op_screen,   agg::comp_op_darken,   agg::comp_op_lighten,
                                   agg::comp_op_plus};
    pixelFormat.comp_op(operations[int(s.mode)]);
    Renderer renderer(pixelFormat);
    for (const IntRectangle& r : s.scissors)
        renderer.add_clip_box(r.X, r.Y, r.X + r.Width, r.Y + r.Height);
    Rasterizer rasterizer(1u << 16);  // its cell store unlimited: it covers completely at any size
    Scanline scanline;
    auto spans = [&](auto& generator) {
        agg::span_allocator<agg::rgba8> allocator;
        agg::render_scanlines_aa(rasterizer, scanline, renderer, allocator, generator);
    };
    auto render = [&](const PlainPaint& p, const Matrix3& paintMatrix) {
        if (!p.picture && !p.gradient.g.empty())
            return RenderGradientPlainly(spans, paintMatrix, s.path, p.gradient);
        if (!p.picture)
            return agg::render_scanlines_aa_solid(rasterizer, scanline, renderer,
                                                  agg::rgba8(agg::rgba(p.color.R, p.color.G, p.color.B, p.color.A)));
        Matrix3 placement;  // the image transform, then the path transform
        Matrix3::Multiply(s.image, s.path, placement);
        agg::trans_affine imageMatrix = Affine(placement);
        imageMatrix.invert();
        ImageSupport::Interpolator interpolator(imageMatrix);
        agg::image_filter_lut filter(agg::image_filter_bilinear(), true);
        auto byte = [](float c) { return int(double(c) * 255 + 0.5); };
        ImageSupport::ReferenceSampler sampler{*p.picture, p.tiling,
                                               {byte(p.tile.R), byte(p.tile.G), byte(p.tile.B), byte(p.tile.A)},
                                               interpolator, filter.weight_array()};
        spans(sampler);
    };
    // Curves flattened, then transformed; the stroke keeps the fill's rule.
    agg::conv_curve<PathStorage> curves(Internals::StorageOf(*path));
    agg::trans_affine matrix = Affine(s.path);
    agg::conv_transform<decltype(curves)> transformer(curves, matrix);
    const bool evenOdd = s.filled && s.rule == FillRule::EvenOdd;
    rasterizer.filling_rule(evenOdd ? agg::fill_even_odd : agg::fill_non_zero);
    rasterizer.add_path(transformer);
    if (s.filled)
        render(s.fill, s.fillPaint);
    auto outline = [&](auto& source) {
        const agg::line_cap_e caps[] = {agg::butt_cap, agg::round_cap, agg::square_cap};
        const agg::line_join_e joins[] = {agg::miter_join, agg::round_join, agg::bevel_join};
        agg::conv_stroke<std::remove_reference_t<decltype(source)>> stroker(source);
        stroker.width(o.width);
        stroker.line_cap(caps[int(o.cap)]);
        stroker.line_join(joins[int(o.join)]);
        stroker.miter_limit(o.miterLimit);
        rasterizer.reset();
        rasterizer.add_path(stroker);
        render(s.stroke, s.strokePaint);
    };
    agg::conv_dash<decltype(transformer)> dasher(transformer);
    for (const Dash& d : o.dashes)
        dasher.add_dash(d.Length, d.Gap);
    dasher.dash_start(o.phase);
    if (stroke && o.dashes.empty())
        outline(transformer);
    else if (stroke)
        outline(dasher);
    for (size_t i = 0; i < plain.memory.size(); ++i)
        if (plain.memory[i] != canvas.surface.memory[i])
            return "byte " + std::to_string(i) + " differs";
    return "";
}

}  // namespace DrawSupport

#endif
