// The plain AGG composition of a scene of RoadScenes.hpp, which the differential tests compare the
// library with.
#ifndef VUDADIVE2R_PLAIN_TARGET_HPP
#define VUDADIVE2R_PLAIN_TARGET_HPP

#include <agg_conv_curve.h>
#include <agg_conv_dash.h>
#include <agg_conv_stroke.h>
#include <agg_conv_transform.h>
#include <agg_gradient_lut.h>
#include <agg_alpha_mask_u8.h>
#include <agg_image_filters.h>
#include <agg_pixfmt_amask_adaptor.h>
#include <agg_span_allocator.h>
#include <agg_span_gradient.h>
#include <agg_span_interpolator_linear.h>

#include <cmath>
#include <string>
#include <vector>

#include "DrawSupport.hpp"
#include "ImageSupport.hpp"
#include "RoadScenes.hpp"
#include "common/Internals.hpp"
#include "pipeline/AggTypes.hpp"
#include "pipeline/PathStorage.hpp"

namespace DrawSupport {

using namespace ORV::Vudadive2R;

inline agg::trans_affine Affine(const Matrix3& m) { return agg::trans_affine(m[0], m[1], m[3], m[4], m[6], m[7]); }

using RoadScenes::PaintSpec;
using RoadScenes::Scene;

// A filled scene over transparent black.
inline Scene SceneOf(int width, int height, const Geometry& geometry) {
    Scene s;
    s.width = width, s.height = height;
    s.commands = geometry.commands, s.data = geometry.data;
    s.filled = true;
    return s;
}

inline PaintSpec ImageSpec(const ImageSupport::Picture& picture, TilingMode tiling, Color tile,
                           int format = int(TestSupport::kRA24)) {
    PaintSpec p;
    p.kind = 3;
    p.color = tile;
    p.imageWidth = picture.width, p.imageHeight = picture.height, p.imageStride = picture.stride;
    p.imageFormat = format;
    p.image = picture.bytes;
    p.tiling = tiling;
    return p;
}

// Stop colours must lie in 0..1, where AGG's double-to-byte conversion is defined.
template <class Spans>
void RenderGradientPlainly(const Spans& spans, const Matrix3& paint, const Matrix3& path, const PaintSpec& p) {
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
    const float* g = p.geometry;
    if (p.kind == 2) {
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

// Draws the scene through the chosen road and plainly: empty when the bytes
// agree, else where they first differ. A draw the reference road clipped is
// not compared. Counts in `changed` the draws that changed the surface.
template <class Format>
void ComposeThrough(const Scene& s, Format& pixelFormat) {
    agg::renderer_mclip<Format> renderer(pixelFormat);
    for (const IntRectangle& r : s.scissoring ? s.scissors : std::vector<IntRectangle>())
        renderer.add_clip_box(r.X, r.Y, r.X + r.Width, r.Y + r.Height);
    Rasterizer rasterizer(1u << 16);  // its cell store unlimited: it covers completely at any size
    Scanline scanline;
    auto spans = [&](auto& generator) {
        agg::span_allocator<agg::rgba8> allocator;
        agg::render_scanlines_aa(rasterizer, scanline, renderer, allocator, generator);
    };
    auto render = [&](const PaintSpec& p, const Matrix3& paintMatrix) {
        if (p.kind == 1 || p.kind == 2)
            return RenderGradientPlainly(spans, paintMatrix, s.path, p);
        if (p.kind == 0)
            return agg::render_scanlines_aa_solid(rasterizer, scanline, renderer,
                                                  agg::rgba8(agg::rgba(p.color.R, p.color.G, p.color.B, p.color.A)));
        ImageSupport::Picture picture(p.imageWidth, p.imageHeight, p.imageStride);
        picture.bytes = p.image;
        Matrix3 placement;  // the image transform, then the path transform
        Matrix3::Multiply(s.image, s.path, placement);
        agg::trans_affine imageMatrix = Affine(placement);
        imageMatrix.invert();
        ImageSupport::Interpolator interpolator(imageMatrix);
        agg::image_filter_lut filter(agg::image_filter_bilinear(), true);
        auto byte = [](float c) { return int(double(c) * 255 + 0.5); };
        if (s.imageQuality == ImageQualityHigh &&
            ImageSupport::ResampleIfShrunk(spans, picture, p.tiling,
                                           agg::rgba8(byte(p.color.R), byte(p.color.G), byte(p.color.B), byte(p.color.A)),
                                           imageMatrix, filter))
            return;
        ImageSupport::ReferenceSampler sampler{picture, p.tiling,
                                               {byte(p.color.R), byte(p.color.G), byte(p.color.B), byte(p.color.A)},
                                               interpolator, filter.weight_array()};
        spans(sampler);
    };
    // Curves flattened, then transformed; the stroke keeps the fill's rule.
    TestSupport::Surface scratch(1, 1);
    Path path(std::make_shared<Context2D>(scratch.surface));
    path.AppendData(s.commands, s.data);
    for (const agg::vertex_d& v : s.vertices)
        Internals::StorageOf(path).vertices().add_vertex(v.x, v.y, v.cmd);
    agg::conv_curve<PathStorage> curves(Internals::StorageOf(path));
    agg::trans_affine matrix = Affine(s.path);
    agg::conv_transform<decltype(curves)> transformer(curves, matrix);
    const bool evenOdd = s.filled && s.rule == FillRule::EvenOdd;
    rasterizer.filling_rule(evenOdd ? agg::fill_even_odd : agg::fill_non_zero);
    rasterizer.add_path(transformer);
    if (s.filled)
        render(s.fillSpec, s.fillPaint);
    auto outline = [&](auto& source) {
        const agg::line_cap_e caps[] = {agg::butt_cap, agg::round_cap, agg::square_cap};
        const agg::line_join_e joins[] = {agg::miter_join, agg::round_join, agg::bevel_join};
        agg::conv_stroke<std::remove_reference_t<decltype(source)>> stroker(source);
        stroker.width(s.lineWidth);
        stroker.line_cap(caps[int(s.cap)]);
        stroker.line_join(joins[int(s.join)]);
        stroker.miter_limit(s.miterLimit);
        rasterizer.reset();
        rasterizer.add_path(stroker);
        render(s.strokeSpec, s.strokePaint);
    };
    agg::conv_dash<decltype(transformer)> dasher(transformer);
    for (const Dash& d : s.dashes)
        dasher.add_dash(d.Length, d.Gap);
    dasher.dash_start(s.dashPhase);
    if (s.stroked && s.dashes.empty())
        outline(transformer);
    else if (s.stroked)
        outline(dasher);
}

// AGG's alpha mask over the pixel format, each coverage byte a met with the
// mask byte m as (255 + a m) >> 8 (alpha_mask_u8::combine_hspan). The packaged
// adaptor drops the coverage of solid runs (blend_hline, and
// blend_color_hspan without covers), so those two meet the mask here too.
class MaskedPixelFormat : public agg::pixfmt_amask_adaptor<PixelFormat, agg::alpha_mask_gray8> {
public:
    typedef agg::pixfmt_amask_adaptor<PixelFormat, agg::alpha_mask_gray8> Base;
    MaskedPixelFormat(PixelFormat& pixels, agg::alpha_mask_gray8& mask) : Base(pixels, mask), pixels(pixels), mask(mask) {}

    void blend_hline(int x, int y, unsigned len, const agg::rgba8& c, agg::cover_type cover) {
        Covers(len, nullptr, cover);
        mask.combine_hspan(x, y, span.data(), int(len));
        pixels.blend_solid_hspan(x, y, len, c, span.data());
    }
    void blend_solid_hspan(int x, int y, unsigned len, const agg::rgba8& c, const agg::cover_type* covers) {
        Covers(len, covers, 0);
        mask.combine_hspan(x, y, span.data(), int(len));
        pixels.blend_solid_hspan(x, y, len, c, span.data());
    }
    void blend_color_hspan(int x, int y, unsigned len, const agg::rgba8* colors, const agg::cover_type* covers,
                           agg::cover_type cover = agg::cover_full) {
        Covers(len, covers, cover);
        mask.combine_hspan(x, y, span.data(), int(len));
        pixels.blend_color_hspan(x, y, len, colors, span.data(), agg::cover_full);
    }

private:
    const agg::cover_type* Covers(unsigned len, const agg::cover_type* covers, agg::cover_type cover) {
        span.assign(len, cover);
        if (covers)
            span.assign(covers, covers + len);
        return span.data();
    }
    PixelFormat& pixels;
    agg::alpha_mask_gray8& mask;
    std::vector<agg::cover_type> span;
};

// The scene composited plainly onto `pixels` (rows from the origin as the
// scene counts them), under `maskBytes` (a byte per pixel, rows in memory
// order as the pixels', or null for none).
inline void ComposePlainly(const Scene& s, uint8_t* pixels, const uint8_t* maskBytes) {
    RenderingBuffer buffer(pixels, unsigned(s.width), unsigned(s.height),
                           s.origin == Origin::TopLeft ? s.width * 4 : -s.width * 4);
    PixelFormat pixelFormat(buffer);
    const unsigned operations[] = {agg::comp_op_src,      agg::comp_op_src_over, agg::comp_op_dst_over,
                                   agg::comp_op_src_in,   agg::comp_op_dst_in,   agg::comp_op_multiply,
                                   agg::comp_op_screen,   agg::comp_op_darken,   agg::comp_op_lighten,
                                   agg::comp_op_plus};
    pixelFormat.comp_op(operations[int(s.blend)]);
    agg::rendering_buffer maskBuffer(const_cast<uint8_t*>(maskBytes), unsigned(s.width), unsigned(s.height),
                                     s.origin == Origin::TopLeft ? s.width : -s.width);
    agg::alpha_mask_gray8 mask(maskBuffer);
    MaskedPixelFormat masked(pixelFormat, mask);
    if (maskBytes)
        ComposeThrough(s, masked);
    else
        ComposeThrough(s, pixelFormat);
}

// Also drawn by a context of each of `moreThreads` threads, against the same composition.
inline std::string DrawnPlainly(const Scene& s, DrawRoad road = DrawRoad::Library, int* changed = nullptr,
                                const std::vector<int>& moreThreads = {}) {
    unsigned clipped = 0;
    const std::vector<uint8_t> drawn = RoadScenes::Draw(s, road == DrawRoad::Reference, &clipped);
    if (road == DrawRoad::Reference && clipped)
        return "";
    std::vector<uint8_t> plain = s.backdrop;
    plain.resize(drawn.size());
    if (changed)
        *changed += drawn != plain;
    ComposePlainly(s, plain.data(), nullptr);
    for (size_t i = 0; i < plain.size(); ++i)
        if (plain[i] != drawn[i])
            return "byte " + std::to_string(i) + " differs";
    for (const int threads : moreThreads) {
        Scene threaded = s;
        threaded.threads = threads;
        const std::vector<uint8_t> again = RoadScenes::Draw(threaded, road == DrawRoad::Reference);
        for (size_t i = 0; i < plain.size(); ++i)
            if (plain[i] != again[i])
                return "byte " + std::to_string(i) + " differs with " + std::to_string(threads) + " threads";
    }
    return "";
}

}  // namespace DrawSupport

#endif
