// Images over test memory, the tiling rules and the rounded bilinear sum.
#ifndef VUDADIVE2R_IMAGE_SUPPORT_HPP
#define VUDADIVE2R_IMAGE_SUPPORT_HPP

#include <agg_color_rgba.h>
#include <agg_image_accessors.h>
#include <agg_image_filters.h>
#include <agg_pixfmt_rgba.h>
#include <agg_rendering_buffer.h>
#include <agg_span_image_filter_rgba.h>
#include <agg_span_interpolator_linear.h>
#include <agg_trans_affine.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

#include "TestSupport.hpp"

namespace ImageSupport {

using namespace ORV::Vudadive2R;
typedef std::array<int, 4> Rgba;

// "RA24" pixels in rows of exactly width x 4 bytes (the sanitizer sees any
// read past them) or of `stride` bytes, negative for row 0 last.
struct Picture {
    Picture(int width, int height, int stride = 0)
        : width(width), height(height), stride(stride ? stride : width * 4),
          bytes(size_t(this->stride < 0 ? -this->stride : this->stride) * height) {}
    uint8_t* At(int column, int row) {
        const int memoryRow = stride >= 0 ? row : height - 1 - row;
        return bytes.data() + memoryRow * (stride < 0 ? -stride : stride) + column * 4;
    }
    void Set(int column, int row, Rgba value) {
        for (int c = 0; c < 4; ++c)
            At(column, row)[c] = uint8_t(value[c]);
    }
    static Picture Of(int width, int height, const std::function<Rgba(int, int)>& pixel) {
        Picture picture(width, height);
        for (int j = 0; j < height; ++j)
            for (int i = 0; i < width; ++i)
                picture.Set(i, j, pixel(i, j));
        return picture;
    }
    std::shared_ptr<Image> Make(const std::shared_ptr<Context2D>& context, int format = TestSupport::kRA24) {
        return std::make_shared<Image>(context, format, width, height, stride, bytes.data());
    }
    int width, height, stride;
    std::vector<uint8_t> bytes;
};

inline int Modulo(int value, int period) { return (value % period + period) % period; }

// The pixel the tiling mode reads for column i, row j.
inline Rgba Texel(Picture& picture, TilingMode mode, Rgba tile, int i, int j) {
    const int w = picture.width, h = picture.height;
    switch (mode) {
    case TilingMode::Clip:
        if (i < 0 || j < 0 || i >= w || j >= h)
            return tile;
        break;
    case TilingMode::NoClip:
        i = i < 0 ? 0 : i >= w ? w - 1 : i;
        j = j < 0 ? 0 : j >= h ? h - 1 : j;
        break;
    case TilingMode::Repeat:
        i = Modulo(i, w), j = Modulo(j, h);
        break;
    default: {
        const int mi = Modulo(i, 2 * w), mj = Modulo(j, 2 * h);
        i = mi < w ? mi : 2 * w - 1 - mi;
        j = mj < h ? mj : 2 * h - 1 - mj;
    }
    }
    const uint8_t* p = picture.At(i, j);
    return Rgba{p[0], p[1], p[2], p[3]};
}

// The weighted sum of the pixels at (i, j), (i + 1, j), (i, j + 1) and (i + 1, j + 1), rounded to the
// nearest (+8192, >> 14), clamped to 0, alpha to 255 and colour to alpha.
inline Rgba BilinearSum(Picture& picture, TilingMode mode, Rgba tile, int i, int j, const int weights[4]) {
    const Rgba pixels[4] = {Texel(picture, mode, tile, i, j), Texel(picture, mode, tile, i + 1, j),
                            Texel(picture, mode, tile, i, j + 1), Texel(picture, mode, tile, i + 1, j + 1)};
    Rgba sum;
    for (int c = 0; c < 4; ++c) {
        long total = 8192;
        for (int k = 0; k < 4; ++k)
            total += long(weights[k]) * pixels[k][c];
        sum[c] = int(total >> 14) < 0 ? 0 : int(total >> 14);
    }
    sum[3] = sum[3] > 255 ? 255 : sum[3];
    for (int c = 0; c < 3; ++c)
        sum[c] = sum[c] > sum[3] ? sum[3] : sum[c];
    return sum;
}

typedef agg::span_interpolator_linear<agg::trans_affine, 8> Interpolator;

// The image paint's colours from the definitions, as an AGG span generator.
struct ReferenceSampler {
    Picture& picture;
    TilingMode mode;
    Rgba tile;
    Interpolator& interpolator;
    const agg::int16* weights;  // 512 of them: two per subpixel phase

    void prepare() {}
    void generate(agg::rgba8* span, int x, int y, unsigned length) {
        interpolator.begin(x + 0.5, y + 0.5, length);
        for (; length > 0; --length, ++span, ++interpolator) {
            int sx, sy;
            interpolator.coordinates(&sx, &sy);
            sx -= 128, sy -= 128;  // a pixel's centre is half a pixel in
            const int i = sx >> 8, j = sy >> 8, fx = sx & 255, fy = sy & 255;
            const int wx[2] = {weights[255 - fx], weights[511 - fx]};
            const int wy[2] = {weights[255 - fy], weights[511 - fy]};
            int products[4];
            for (int k = 0; k < 4; ++k)
                products[k] = (wy[k / 2] * wx[k % 2] + 8192) >> 14;
            const Rgba sum = BilinearSum(picture, mode, tile, i, j, products);
            *span = agg::rgba8(agg::int8u(sum[0]), agg::int8u(sum[1]), agg::int8u(sum[2]), agg::int8u(sum[3]));
        }
    }
};

// AGG's resampling span generator, whose scales its prepare() keeps in
// 1/256 pixel: more than 256 on an axis shrinks the image.
template <class Accessor>
struct Resampler : agg::span_image_resample_rgba_affine<Accessor> {
    using agg::span_image_resample_rgba_affine<Accessor>::span_image_resample_rgba_affine;
    bool Shrinks() const { return this->m_rx > 256 || this->m_ry > 256; }
};

// Renders through `spans` with AGG's resampling of `picture` under the
// accessor of `mode` when `matrix` shrinks it; false, rendering nothing, otherwise.
template <class Spans>
bool ResampleIfShrunk(const Spans& spans, Picture& picture, TilingMode mode, agg::rgba8 tile,
                      agg::trans_affine& matrix, agg::image_filter_lut& filter) {
    agg::rendering_buffer buffer(picture.bytes.data(), unsigned(picture.width), unsigned(picture.height),
                                 picture.stride);
    agg::pixfmt_rgba32 pixels(buffer);
    agg::span_interpolator_linear<agg::trans_affine> interpolator(matrix);
    auto render = [&](auto& accessor) {
        Resampler<std::remove_reference_t<decltype(accessor)>> generator(accessor, interpolator, filter);
        generator.prepare();
        if (generator.Shrinks())
            spans(generator);
        return generator.Shrinks();
    };
    if (mode == TilingMode::Clip) {
        agg::image_accessor_clip<agg::pixfmt_rgba32> accessor(pixels, tile);
        return render(accessor);
    }
    if (mode == TilingMode::NoClip) {
        agg::image_accessor_clone<agg::pixfmt_rgba32> accessor(pixels);
        return render(accessor);
    }
    if (mode == TilingMode::Repeat) {
        agg::image_accessor_wrap<agg::pixfmt_rgba32, agg::wrap_mode_repeat, agg::wrap_mode_repeat> accessor(pixels);
        return render(accessor);
    }
    agg::image_accessor_wrap<agg::pixfmt_rgba32, agg::wrap_mode_reflect, agg::wrap_mode_reflect> accessor(pixels);
    return render(accessor);
}

}  // namespace ImageSupport

#endif
