// A pass of the library's road drawn by several threads: the coverage is
// made and ordered once, then each thread sweeps and composites a band of
// whole rows of its own, with a renderer and, for colours that vary, a span
// source of its own. A row's spans and colours do not depend on the rows
// around it, so the bytes are those of one thread sweeping every row.
#ifndef VUDADIVE2R_PIPELINE_BANDEDPASS_HPP
#define VUDADIVE2R_PIPELINE_BANDEDPASS_HPP

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "pipeline/DrawScratch.hpp"
#include "pipeline/PassRendering.hpp"

namespace ORV {
namespace Vudadive2R {

class BandedPass final : public PaintPass {
public:
    typedef PassOnRoad<DenseRasterizer, InlineScanline, CompositingRenderer> RowPass;

    // `renderers` holds one renderer for each band, the first used by the
    // calling thread; `scratch` as many bands.
    BandedPass(const PassMatrices& matrices, DenseRasterizer& coverage, InlineScanline& scanline,
               const std::vector<CompositingRenderer*>& renderers, DrawScratch& scratch)
        : PaintPass(matrices), coverage(coverage), renderers(renderers), scratch(scratch),
          whole(matrices, coverage, scanline, *renderers[0]) {}

    bool CoveredRegion(SpanRegion& region) override { return whole.CoveredRegion(region); }

    void Solid(const agg::rgba8& color) override {
        InBands([&](RowPass& pass, int) { pass.Solid(color); });
    }

    void Spans(SpanSource& source) override {
        // Colours read from the surface would depend on which rows other
        // threads have drawn.
        const RenderingBuffer& surface = renderers[0]->Buffer();
        const uint8_t* first = surface.row_ptr(0);
        const uint8_t* last = surface.row_ptr(int(surface.height()) - 1);
        if (source.MayRead(std::min(first, last), std::max(first, last) + std::abs(surface.stride())))
            return whole.Spans(source);
        std::vector<std::unique_ptr<SpanSource>> twins(renderers.size());
        for (std::size_t band = 1; band < twins.size(); ++band)
            if (!(twins[band] = source.Twin()))
                return whole.Spans(source);
        InBands([&](RowPass& pass, int band) { pass.Spans(band ? *twins[std::size_t(band)] : source); });
    }

private:
    template <class Draw>
    void InBands(Draw draw) {
        SpanRegion region;
        if (!whole.CoveredRegion(region))
            return;
        const long long rows = (long long)region.bottom - region.top + 1;
        const int count = int(std::min<long long>((long long)renderers.size(), rows));
        std::vector<int> starts(std::size_t(count) + 1);
        coverage.BandStarts(region.top, region.bottom, count, starts.data());
        scratch.crew.Run(count, [&](int band) {
            const int top = starts[std::size_t(band)];
            const int bottom = starts[std::size_t(band) + 1] - 1;
            DrawScratch::Band& own = *scratch.bands[std::size_t(band)];
            own.rasterizer.TakeBand(coverage, top, bottom);
            RowPass pass(matrices, own.rasterizer, own.scanline, *renderers[std::size_t(band)]);
            draw(pass, band);
        });
    }

    DenseRasterizer& coverage;
    const std::vector<CompositingRenderer*>& renderers;
    DrawScratch& scratch;
    RowPass whole;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
