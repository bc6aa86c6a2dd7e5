// The AGG types that the drawing pipeline and the paints share, spelled once.
// Paint::Rasterize receives pointers to exactly these objects.
#ifndef VUDADIVE2R_RASTER_AGGTYPES_HPP
#define VUDADIVE2R_RASTER_AGGTYPES_HPP

#include <agg_basics.h>
#include <agg_color_rgba.h>
#include <agg_pixfmt_rgba.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_mclip.h>
#include <agg_renderer_scanline.h>
#include <agg_rendering_buffer.h>
#include <agg_scanline_p.h>
#include <agg_trans_affine.h>

namespace ORV {
namespace Vudadive2R {

// The pixel format's adaptor: it premultiplies the straight source colour as
// (C x A + 255) >> 8 and hands it to AGG's compositing operation. The
// packaged adaptor rounds with an exact multiply instead, which differs for
// about a quarter of all (C, A) pairs.
struct PremultiplyingBlender {
    typedef agg::rgba8 color_type;
    typedef agg::order_rgba order_type;
    typedef color_type::value_type value_type;
    typedef color_type::calc_type calc_type;
    typedef color_type::long_type long_type;

    static value_type Premultiply(value_type component, value_type alpha) {
        return value_type((unsigned(component) * alpha + 255) >> 8);
    }

    static AGG_INLINE void blend_pix(unsigned op, value_type* p, value_type r, value_type g, value_type b,
                                     value_type a, agg::cover_type cover) {
        agg::comp_op_table_rgba<color_type, order_type>::g_comp_op_func[op](
            p, Premultiply(r, a), Premultiply(g, a), Premultiply(b, a), a, cover);
    }
};

typedef agg::rendering_buffer RenderingBuffer;
typedef agg::pixfmt_custom_blend_rgba<PremultiplyingBlender, RenderingBuffer> PixelFormat;
typedef agg::renderer_mclip<PixelFormat> Renderer;
typedef agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_int> Rasterizer;
typedef agg::scanline_p8 Scanline;
typedef agg::trans_affine PaintMatrix;

}  // namespace Vudadive2R
}  // namespace ORV

#endif
