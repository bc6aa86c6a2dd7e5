#include "pipeline/DrawPasses.hpp"

#include "common/Internals.hpp"

namespace ORV {
namespace Vudadive2R {

template class PassOnRoad<DenseRasterizer, InlineScanline, CompositingRenderer>;
template class PassOnRoad<SaturatingRasterizer, Scanline, Renderer>;

// The blend mode is checked here, before any pass, as it is for a draw
// without passes.
DrawPasses::DrawPasses(const DrawTarget& target, DrawRoad road, DrawScratch* scratch)
    : target(target), road(road), operation(target.Operation().aggOperation), buffer(target.Buffer()),
      scratch(scratch), referenceMask{buffer.row_ptr(0), target.DrawingStride(), target.ClipRows()} {}

DrawPasses::~DrawPasses() {
    if (borrowed) {
        scratch->rasterizer.Trim(DrawScratch::KeptBytes);
        scratch->scanline.Trim(DrawScratch::KeptBytes);
        scratch->inUse = false;
    }
}

DenseRasterizer& DrawPasses::LibraryRasterizer() {
    if (!libraryRasterizer) {
        if (scratch && !scratch->inUse) {
            scratch->inUse = borrowed = true;
            libraryRasterizer = &scratch->rasterizer;
            libraryScanline = &scratch->scanline;
        } else {
            libraryRasterizer = &ownRasterizer.emplace();
            libraryScanline = &ownScanline.emplace();
        }
    }
    return *libraryRasterizer;
}

CompositingRenderer& DrawPasses::LibraryRenderer() {
    if (!libraryRenderer) {
        libraryRenderer.emplace(buffer, operation);
        target.AddClipBoxes(*libraryRenderer);
        if (target.Clip())
            libraryRenderer->Mask(target.ClipRows());
    }
    return *libraryRenderer;
}

SaturatingRasterizer& DrawPasses::ReferenceRasterizer() {
    if (!referenceRasterizer)
        referenceRasterizer.emplace();
    return *referenceRasterizer;
}

Renderer& DrawPasses::ReferenceRenderer() {
    if (!referenceRenderer) {
        pixelFormat.emplace(buffer);
        pixelFormat->comp_op(operation);
        referenceRenderer.emplace(*pixelFormat);
        target.AddClipBoxes(*referenceRenderer);
    }
    return *referenceRenderer;
}

void RasterizeWithColors(const Paint& paint, PaintColors colors, void* rasterizer, void* scanline, void* renderer,
                         void* paintMatrix) {
    // The pipeline is the only producer of these arguments. Its rasterizer
    // arrives as AGG's type (what a client's paint may use) and is read back
    // as the saturating one it is, so that the sweep cannot overflow.
    const PassMatrices matrices(*static_cast<const PaintMatrix*>(paintMatrix), Internals::ContextOf(paint).get());
    PassOnRoad<SaturatingRasterizer, Scanline, Renderer> pass(
        matrices, static_cast<SaturatingRasterizer&>(*static_cast<Rasterizer*>(rasterizer)),
        *static_cast<Scanline*>(scanline), *static_cast<Renderer*>(renderer));
    colors(paint, pass);
}

}  // namespace Vudadive2R
}  // namespace ORV
