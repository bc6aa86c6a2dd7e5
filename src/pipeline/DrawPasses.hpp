// The passes of one draw on the road the call chose. A pass is coverage
// from raster/, colours from the paint and compositing through composite/.
//
// Two roads run the same steps: the library's road (the dense coverage
// store and the span loops) and the reference road (AGG's rasterizer,
// scanline and multi-clip renderer over the pixel format), which the
// differential tests and a fuzzer compare byte for byte. A paint without
// colours of the library's own (a client's class) takes the reference road
// on either, receiving AGG's objects through Rasterize.
#ifndef VUDADIVE2R_PIPELINE_DRAWPASSES_HPP
#define VUDADIVE2R_PIPELINE_DRAWPASSES_HPP

#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

#include "composite/CompositingRenderer.hpp"
#include "pipeline/AggTypes.hpp"
#include "pipeline/BandedPass.hpp"
#include "pipeline/DrawScratch.hpp"
#include "pipeline/DrawTarget.hpp"
#include "pipeline/PassRendering.hpp"
#include "raster/DenseRasterizer.hpp"
#include "raster/InlineScanline.hpp"
#include "raster/SaturatingRasterizer.hpp"

namespace ORV {
namespace Vudadive2R {

enum class DrawRoad { Library, Reference };

// Each road's pass is compiled once, in DrawPasses.cpp, rather than in
// every unit that runs passes or adapts Rasterize.
extern template class PassOnRoad<DenseRasterizer, InlineScanline, CompositingRenderer>;
extern template class PassOnRoad<SaturatingRasterizer, Scanline, Renderer>;
extern template class PassOnRoad<SaturatingRasterizer, Scanline, agg::renderer_mclip<PixelFormatBgra>>;
extern template class PassOnRoad<SaturatingRasterizer, Scanline, agg::renderer_mclip<PixelFormatRgbx>>;
extern template class PassOnRoad<SaturatingRasterizer, Scanline, agg::renderer_mclip<PixelFormatBgrx>>;
extern template class PassOnRoad<SaturatingRasterizer, Scanline, agg::renderer_mclip<PixelFormatRgb565>>;

// The reference road's pixel format and multi-clip renderer over one
// surface; the renderer keeps the format's address, so this never moves.
template <class Format>
struct ReferenceRendering {
    ReferenceRendering(RenderingBuffer& buffer, unsigned operation) : format(buffer), renderer(format) {
        format.comp_op(operation);
    }
    ReferenceRendering(const ReferenceRendering&) = delete;
    Format format;
    agg::renderer_mclip<Format> renderer;
};

// The pixel layout whose reference renderer a running client paint was
// handed: the library's own paints, called by that paint, read it back.
PixelLayout ActiveReferenceLayout();
class ScopedReferenceLayout {
public:
    explicit ScopedReferenceLayout(PixelLayout layout);
    ~ScopedReferenceLayout();
    ScopedReferenceLayout(const ScopedReferenceLayout&) = delete;
    ScopedReferenceLayout& operator=(const ScopedReferenceLayout&) = delete;

private:
    PixelLayout previous;
};

class DrawPasses {
public:
    // Draws into `target`, which must outlive the passes, with the
    // library's road's stores from `scratch` when it is given and free.
    DrawPasses(const DrawTarget& target, DrawRoad road, DrawScratch* scratch = nullptr);
    ~DrawPasses();
    DrawPasses(const DrawPasses&) = delete;
    DrawPasses& operator=(const DrawPasses&) = delete;

    // Rasterises what `addGeometry(rasterizer)` adds with `rule` and
    // composites it with `colors` (null: through paint.Rasterize).
    // `oneColor` says that the colours do not vary along a span, so that
    // where a span starts and ends beside the surface changes no pixel.
    template <class AddGeometry>
    void Run(Paint& paint, PaintColors colors, bool oneColor, const PassMatrices& matrices,
             agg::filling_rule_e rule, AddGeometry addGeometry) {
        if (colors && road == DrawRoad::Library) {
            DenseRasterizer& coverage = LibraryRasterizer();
            InlineScanline& inlineScanline = *libraryScanline;
            coverage.SurfaceBounds(target.Width(), target.Height(), !oneColor);
            coverage.filling_rule(rule);
            coverage.reset();
            addGeometry(coverage);
            clippedPasses += coverage.Clipped();
            CompositingRenderer& renderer = LibraryRenderer();
            renderer.Prefetch(coverage.min_x(), coverage.min_y(), coverage.max_x(), coverage.max_y());
            if (const int bands = Bands(coverage); bands > 1) {
                coverage.PrepareInParts(bands, [this](int tasks, const std::function<void(int)>& task) {
                    scratch->crew.Run(tasks, task);
                });
                BandedPass pass(matrices, coverage, inlineScanline, BandRenderers(bands), *scratch);
                colors(paint, pass);
                return;
            }
            PassOnRoad<DenseRasterizer, InlineScanline, CompositingRenderer> pass(matrices, coverage, inlineScanline,
                                                                                  renderer);
            colors(paint, pass);
            return;
        }
        // AGG's pixel format meets the clip in its blender, pixel by pixel.
        const ScopedReferenceMask clipped(target.Clip() ? &referenceMask : nullptr);
        SaturatingRasterizer& coverage = ReferenceRasterizer();
        coverage.SurfaceBounds(target.Width(), target.Height());
        coverage.filling_rule(rule);
        coverage.reset();
        addGeometry(coverage);
        clippedPasses += coverage.Clipped();
        Scanline& scanline = ReferenceScanline();
        WithReferenceRenderer([&](auto& renderer) {
            if (colors) {
                PassOnRoad<SaturatingRasterizer, Scanline, std::remove_reference_t<decltype(renderer)>> pass(
                    matrices, coverage, scanline, renderer);
                colors(paint, pass);
            } else {
                // A client's paint receives AGG's types, as the interface
                // promises: the renderer over the surface's pixel format.
                const ScopedReferenceLayout layout(target.Layout());
                PaintMatrix paintMatrix = matrices.Paint();
                paint.Rasterize(static_cast<Rasterizer*>(&coverage), &scanline, &renderer, &paintMatrix);
            }
        });
    }

    unsigned ClippedPasses() const { return clippedPasses; }

    // The context's threads, for the library's road's geometry: null when
    // the draw has the caller's thread only.
    DrawScratch* Crew() const { return road == DrawRoad::Library && borrowed ? scratch : nullptr; }

private:
    // Each made on first use: a draw needs one road's objects, and making
    // the others is a noticeable share of drawing a small shape.
    DenseRasterizer& LibraryRasterizer();
    CompositingRenderer& LibraryRenderer();
    SaturatingRasterizer& ReferenceRasterizer();
    // The number of threads to draw the library's road's pass in
    // `coverage` with: 1 for a pass too small or a context with one.
    int Bands(const DenseRasterizer& coverage) const;
    // A renderer for each of `bands` bands, the first the pass's own, and
    // the scratch's stores for as many.
    const std::vector<CompositingRenderer*>& BandRenderers(int bands);
    template <class Format>
    agg::renderer_mclip<Format>& ReferenceRenderer(std::optional<ReferenceRendering<Format>>& rendering) {
        if (!rendering) {
            rendering.emplace(buffer, operation);
            target.AddClipBoxes(rendering->renderer);
        }
        return rendering->renderer;
    }
    // Calls `visit` with the reference renderer of the target's layout.
    template <class Visit>
    void WithReferenceRenderer(Visit visit) {
        switch (target.Layout()) {
        case PixelLayout::Bgra: return visit(ReferenceRenderer(bgra));
        case PixelLayout::Rgbx: return visit(ReferenceRenderer(rgbx));
        case PixelLayout::Bgrx: return visit(ReferenceRenderer(bgrx));
        case PixelLayout::Rgb565: return visit(ReferenceRenderer(rgb565));
        default: return visit(ReferenceRenderer(rgba));
        }
    }
    Scanline& ReferenceScanline() { return referenceScanline ? *referenceScanline : referenceScanline.emplace(); }

    const DrawTarget& target;
    const DrawRoad road;
    const unsigned operation;
    unsigned clippedPasses = 0;
    RenderingBuffer buffer;
    DrawScratch* scratch;
    bool borrowed = false;
    DenseRasterizer* libraryRasterizer = nullptr;
    InlineScanline* libraryScanline = nullptr;
    std::optional<DenseRasterizer> ownRasterizer;
    std::optional<InlineScanline> ownScanline;
    std::optional<CompositingRenderer> libraryRenderer;
    std::vector<std::unique_ptr<CompositingRenderer>> bandRenderers;
    std::vector<CompositingRenderer*> bandRendererList;
    std::optional<SaturatingRasterizer> referenceRasterizer;
    std::optional<Scanline> referenceScanline;
    std::optional<ReferenceRendering<PixelFormat>> rgba;
    std::optional<ReferenceRendering<PixelFormatBgra>> bgra;
    std::optional<ReferenceRendering<PixelFormatRgbx>> rgbx;
    std::optional<ReferenceRendering<PixelFormatBgrx>> bgrx;
    std::optional<ReferenceRendering<PixelFormatRgb565>> rgb565;
    ReferenceMask referenceMask;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
