// What the library's road keeps between the draws of one context, so that a
// draw of a shape needs no heap memory: the dense coverage and the scanline,
// each store trimmed after a draw to KeptBytes.
#ifndef VUDADIVE2R_PIPELINE_DRAWSCRATCH_HPP
#define VUDADIVE2R_PIPELINE_DRAWSCRATCH_HPP

#include <cstddef>

#include "raster/DenseRasterizer.hpp"
#include "raster/InlineScanline.hpp"

namespace ORV {
namespace Vudadive2R {

class DrawScratch {
public:
    // A band of rows of counters for a surface 4 096 pixels wide, and a
    // scanline as wide.
    static constexpr std::size_t KeptBytes = std::size_t(256) << 10;

    DenseRasterizer rasterizer;
    InlineScanline scanline;
    // A draw that finds the scratch in use (a client's paint drawing into
    // the same context from Rasterize) makes its own.
    bool inUse = false;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
