// What the library's road keeps between the draws of one context, so that a
// draw of a shape needs no heap memory: the dense coverage and the scanline,
// each store trimmed after a draw to KeptBytes; and the threads that draw
// the rows of a large pass in bands, with a sweep's stores for each band.
#ifndef VUDADIVE2R_PIPELINE_DRAWSCRATCH_HPP
#define VUDADIVE2R_PIPELINE_DRAWSCRATCH_HPP

#include <cstddef>
#include <memory>
#include <vector>

#include "pipeline/DrawCrew.hpp"
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

    // The threads a pass may be drawn on, 1 to MostThreads.
    static constexpr int MostThreads = 64;  // as the interface says
    int threads = 1;
    // Passes covering fewer pixels (rows by columns of the surface) are
    // drawn on the caller's thread alone: waking the crew costs more.
    long long bandedPixels = 1LL << 17;

    struct Band {
        DenseRasterizer rasterizer;
        InlineScanline scanline;
    };
    std::vector<std::unique_ptr<Band>> bands;
    // Declared last: its threads are joined before the stores they use go.
    DrawCrew crew;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
