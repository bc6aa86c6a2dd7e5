// The target of the plain AGG compositions that the differential tests
// compare the library with: the pipeline's renderer over a test surface.
#ifndef VUDADIVE2R_PLAIN_TARGET_HPP
#define VUDADIVE2R_PLAIN_TARGET_HPP

#include "TestSupport.hpp"
#include "raster/AggTypes.hpp"

namespace DrawSupport {

using namespace ORV::Vudadive2R;

inline agg::trans_affine Affine(const Matrix3& m) { return agg::trans_affine(m[0], m[1], m[3], m[4], m[6], m[7]); }

struct PlainTarget {
    PlainTarget(TestSupport::Surface& surface, Origin origin, unsigned operation)
        : buffer(surface.memory.data(), unsigned(surface.width), unsigned(surface.height),
                 origin == Origin::TopLeft ? surface.stride : -surface.stride),
          pixelFormat(buffer), renderer(pixelFormat) {
        pixelFormat.comp_op(operation);
    }
    RenderingBuffer buffer;
    PixelFormat pixelFormat;
    Renderer renderer;
    Rasterizer rasterizer;
    Scanline scanline;
};

}  // namespace DrawSupport

#endif
