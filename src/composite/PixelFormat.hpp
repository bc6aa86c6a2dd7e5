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

#include "composite/ClipMask.hpp"

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

    // Under a clip (only while a pass of the reference road runs) the
    // coverage meets the pixel's clip byte first.
    static AGG_INLINE void blend_pix(unsigned op, value_type* p, value_type r, value_type g, value_type b,
                                     value_type a, agg::cover_type cover) {
        if (const ReferenceMask* mask = ActiveReferenceMask())
            cover = mask->Cover(p, cover);
        agg::comp_op_table_rgba<color_type, order_type>::g_comp_op_func[op](
            p, Premultiply(r, a), Premultiply(g, a), Premultiply(b, a), a, cover);
    }
};

typedef agg::rendering_buffer RenderingBuffer;
typedef agg::pixfmt_custom_blend_rgba<PremultiplyingBlender, RenderingBuffer> PixelFormat;
typedef agg::renderer_mclip<PixelFormat> Renderer;

}  // namespace Vudadive2R
}  // namespace ORV

#endif
