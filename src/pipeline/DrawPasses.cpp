#include "pipeline/DrawPasses.hpp"

#include "common/Internals.hpp"

namespace ORV {
namespace Vudadive2R {

template class PassOnRoad<DenseRasterizer, InlineScanline, CompositingRenderer>;
template class PassOnRoad<SaturatingRasterizer, Scanline, Renderer>;
template class PassOnRoad<SaturatingRasterizer, Scanline, agg::renderer_mclip<PixelFormatBgra>>;
template class PassOnRoad<SaturatingRasterizer, Scanline, agg::renderer_mclip<PixelFormatRgbx>>;
template class PassOnRoad<SaturatingRasterizer, Scanline, agg::renderer_mclip<PixelFormatBgrx>>;
template class PassOnRoad<SaturatingRasterizer, Scanline, agg::renderer_mclip<PixelFormatRgb565>>;

namespace {
thread_local PixelLayout activeLayout = PixelLayout::Rgba;
}  // namespace

PixelLayout ActiveReferenceLayout() { return activeLayout; }
ScopedReferenceLayout::ScopedReferenceLayout(PixelLayout layout) : previous(activeLayout) { activeLayout = layout; }
ScopedReferenceLayout::~ScopedReferenceLayout() { activeLayout = previous; }

namespace {

// A reference mask finds a pixel's column from its address.
ReferenceMask MaskOf(const DrawTarget& target, const RenderingBuffer& buffer) {
    ReferenceMask mask{buffer.row_ptr(0), target.DrawingStride(), target.ClipRows()};
    mask.pixelBytes = BytesPerPixel(target.Layout());
    return mask;
}

}  // namespace

// The blend mode is checked here, before any pass, as it is for a draw
// without passes.
DrawPasses::DrawPasses(const DrawTarget& target, DrawRoad road, DrawScratch* scratch)
    : target(target), road(road), operation(target.Operation().aggOperation), buffer(target.Buffer()),
      scratch(scratch), referenceMask(MaskOf(target, buffer)) {}

DrawPasses::~DrawPasses() {
    if (borrowed) {
        scratch->rasterizer.Trim(DrawScratch::KeptBytes);
        scratch->scanline.Trim(DrawScratch::KeptBytes);
        for (auto& band : scratch->bands) {
            band->rasterizer.Trim(DrawScratch::KeptBytes);
            band->scanline.Trim(DrawScratch::KeptBytes);
        }
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
        libraryRenderer.emplace(buffer, operation, BestSimdLevel(), target.Layout());
        target.AddClipBoxes(*libraryRenderer);
        if (target.Clip())
            libraryRenderer->Mask(target.ClipRows());
    }
    return *libraryRenderer;
}

int DrawPasses::Bands(const DenseRasterizer& coverage) const {
    if (!borrowed || scratch->threads <= 1)
        return 1;
    const long long rows = (long long)std::min(coverage.max_y(), target.Height() - 1) - std::max(coverage.min_y(), 0) + 1;
    const long long columns = (long long)std::min(coverage.max_x(), target.Width() - 1) - std::max(coverage.min_x(), 0) + 1;
    if (rows < 2 || columns < 1 || rows * columns < scratch->bandedPixels)
        return 1;
    return int(std::min<long long>(scratch->threads, rows));
}

const std::vector<CompositingRenderer*>& DrawPasses::BandRenderers(int bands) {
    while (int(bandRenderers.size()) < bands - 1) {
        bandRenderers.push_back(std::make_unique<CompositingRenderer>(buffer, operation, BestSimdLevel(), target.Layout()));
        CompositingRenderer& renderer = *bandRenderers.back();
        target.AddClipBoxes(renderer);
        if (target.Clip())
            renderer.Mask(target.ClipRows());
    }
    while (int(scratch->bands.size()) < bands)
        scratch->bands.push_back(std::make_unique<DrawScratch::Band>());
    bandRendererList.assign(1, &LibraryRenderer());
    for (int band = 1; band < bands; ++band)
        bandRendererList.push_back(bandRenderers[std::size_t(band - 1)].get());
    return bandRendererList;
}

SaturatingRasterizer& DrawPasses::ReferenceRasterizer() {
    if (!referenceRasterizer)
        referenceRasterizer.emplace();
    return *referenceRasterizer;
}

void RasterizeWithColors(const Paint& paint, PaintColors colors, void* rasterizer, void* scanline, void* renderer,
                         void* paintMatrix) {
    // The pipeline is the only producer of these arguments. Its rasterizer
    // arrives as AGG's type (what a client's paint may use) and is read back
    // as the saturating one it is, so that the sweep cannot overflow.
    const PassMatrices matrices(*static_cast<const PaintMatrix*>(paintMatrix), Internals::ContextOf(paint).get());
    auto& coverage = static_cast<SaturatingRasterizer&>(*static_cast<Rasterizer*>(rasterizer));
    auto& lines = *static_cast<Scanline*>(scanline);
    // The renderer is the one of the surface's layout that the client's
    // paint was handed.
    const auto run = [&](auto* typed) {
        PassOnRoad<SaturatingRasterizer, Scanline, std::remove_pointer_t<decltype(typed)>> pass(matrices, coverage,
                                                                                               lines, *typed);
        colors(paint, pass);
    };
    switch (ActiveReferenceLayout()) {
    case PixelLayout::Bgra: return run(static_cast<agg::renderer_mclip<PixelFormatBgra>*>(renderer));
    case PixelLayout::Rgbx: return run(static_cast<agg::renderer_mclip<PixelFormatRgbx>*>(renderer));
    case PixelLayout::Bgrx: return run(static_cast<agg::renderer_mclip<PixelFormatBgrx>*>(renderer));
    case PixelLayout::Rgb565: return run(static_cast<agg::renderer_mclip<PixelFormatRgb565>*>(renderer));
    default: return run(static_cast<Renderer*>(renderer));
    }
}

}  // namespace Vudadive2R
}  // namespace ORV
