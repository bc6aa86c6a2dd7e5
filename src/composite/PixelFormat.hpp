// The pixel format and the renderer of the reference composition: AGG's
// custom-blend RGBA format over a rendering buffer, with the premultiplying
// adaptor below, behind AGG's multi-clip renderer.
#ifndef VUDADIVE2R_COMPOSITE_PIXELFORMAT_HPP
#define VUDADIVE2R_COMPOSITE_PIXELFORMAT_HPP

#include <agg_basics.h>
#include <agg_color_rgba.h>
#include <agg_pixfmt_rgba.h>
#include <agg_renderer_mclip.h>
#include <agg_rendering_buffer.h>

#include <cstddef>

#include "composite/ClipMask.hpp"
#include "composite/PixelLayout.hpp"

namespace ORV {
namespace Vudadive2R {

// The pixel format's adaptor: it premultiplies the straight source colour as
// (C x A + 255) >> 8 and hands it to AGG's compositing operation. The
// packaged adaptor rounds with an exact multiply instead, which differs for
// about a quarter of all (C, A) pairs. Order is the pixel's byte order; with
// OpaqueFourth the fourth byte is read as 255 and, where the coverage is
// above 0, written as 255 (an X layout).
template <class Order, bool OpaqueFourth>
struct PremultiplyingBlenderOf {
    typedef agg::rgba8 color_type;
    typedef Order order_type;
    typedef color_type::value_type value_type;
    typedef color_type::calc_type calc_type;
    typedef color_type::long_type long_type;

    static value_type Premultiply(value_type component, value_type alpha) {
        return value_type((unsigned(component) * alpha + 255) >> 8);
    }

    // Under a clip (only while a pass of the reference road runs) the
    // coverage meets the pixel's clip byte first.
    static AGG_INLINE void blend_pix(unsigned op, value_type* p, value_type r, value_type g, value_type b,
                                     value_type a, agg::cover_type cover) {
        if (const ReferenceMask* mask = ActiveReferenceMask())
            cover = mask->Cover(p, cover);
        const auto operation = agg::comp_op_table_rgba<color_type, order_type>::g_comp_op_func[op];
        if constexpr (OpaqueFourth) {
            const value_type kept = p[3];
            p[3] = 255;
            operation(p, Premultiply(r, a), Premultiply(g, a), Premultiply(b, a), a, cover);
            p[3] = cover ? 255 : kept;
        } else {
            operation(p, Premultiply(r, a), Premultiply(g, a), Premultiply(b, a), a, cover);
        }
    }
};

typedef PremultiplyingBlenderOf<agg::order_rgba, false> PremultiplyingBlender;

typedef agg::rendering_buffer RenderingBuffer;
typedef agg::pixfmt_custom_blend_rgba<PremultiplyingBlender, RenderingBuffer> PixelFormat;
typedef agg::renderer_mclip<PixelFormat> Renderer;

// The other layouts' formats for the reference road.
typedef agg::pixfmt_custom_blend_rgba<PremultiplyingBlenderOf<agg::order_bgra, false>, RenderingBuffer>
    PixelFormatBgra;
typedef agg::pixfmt_custom_blend_rgba<PremultiplyingBlenderOf<agg::order_rgba, true>, RenderingBuffer>
    PixelFormatRgbx;
typedef agg::pixfmt_custom_blend_rgba<PremultiplyingBlenderOf<agg::order_bgra, true>, RenderingBuffer>
    PixelFormatBgrx;

// "RG16" pixel by pixel: each 5-6-5 pixel widened by bit replication to an
// opaque R, G, B, A pixel, composed as the "AB24" format composes it, and
// narrowed back by truncation. The pixel operations renderer_base uses.
class PixelFormatRgb565 {
public:
    typedef agg::rgba8 color_type;
    typedef agg::order_rgba order_type;
    typedef RenderingBuffer rbuf_type;
    typedef RenderingBuffer::row_data row_data;
    typedef color_type::value_type value_type;

    explicit PixelFormatRgb565(RenderingBuffer& buffer) : buffer(&buffer) {}
    void comp_op(unsigned operation) { op = operation; }
    unsigned comp_op() const { return op; }
    unsigned width() const { return buffer->width(); }
    unsigned height() const { return buffer->height(); }

    void blend_pixel(int x, int y, const color_type& c, agg::int8u cover) { Blend(Pixel(x, y), c, cover); }
    void blend_hline(int x, int y, unsigned len, const color_type& c, agg::int8u cover) {
        for (unsigned i = 0; i < len; ++i)
            Blend(Pixel(x + int(i), y), c, cover);
    }
    void blend_solid_hspan(int x, int y, unsigned len, const color_type& c, const agg::int8u* covers) {
        for (unsigned i = 0; i < len; ++i)
            Blend(Pixel(x + int(i), y), c, covers[i]);
    }
    void blend_color_hspan(int x, int y, unsigned len, const color_type* colors, const agg::int8u* covers,
                           agg::int8u cover) {
        for (unsigned i = 0; i < len; ++i)
            Blend(Pixel(x + int(i), y), colors[i], covers ? covers[i] : cover);
    }

private:
    value_type* Pixel(int x, int y) const { return buffer->row_ptr(y) + 2 * std::ptrdiff_t(x); }

    void Blend(value_type* packed, const color_type& c, agg::int8u cover) const {
        if (const ReferenceMask* mask = ActiveReferenceMask())
            cover = mask->Cover(packed, cover);
        value_type pixel[4];
        WidenRgb565(packed, 1, pixel);
        agg::comp_op_table_rgba<color_type, order_type>::g_comp_op_func[op](
            pixel, PremultiplyingBlender::Premultiply(c.r, c.a), PremultiplyingBlender::Premultiply(c.g, c.a),
            PremultiplyingBlender::Premultiply(c.b, c.a), c.a, cover);
        NarrowToRgb565(pixel, 1, packed);
    }

    RenderingBuffer* buffer;
    unsigned op = agg::comp_op_src_over;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
