// The vertex sources of one draw's passes: the path prepared (far curves
// culled, costly ones flattened, checked against the geometry limits),
// flattened and transformed for the fill, outlined for the stroke, and
// dashed first when the pattern asks (on the library's road, dashes of one
// straight piece outlined by their caps directly).
#ifndef VUDADIVE2R_PIPELINE_PASSGEOMETRY_HPP
#define VUDADIVE2R_PIPELINE_PASSGEOMETRY_HPP

#include <agg_conv_adaptor_vcgen.h>
#include <agg_conv_curve.h>
#include <agg_conv_stroke.h>
#include <agg_conv_transform.h>
#include <agg_rasterizer_scanline_aa.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

#include "pipeline/CullingDashGenerator.hpp"
#include "pipeline/DashOutlines.hpp"
#include "pipeline/DrawScratch.hpp"
#include "pipeline/PathPreparation.hpp"
#include "pipeline/StrokePreparation.hpp"
#include "raster/DenseRasterizer.hpp"
#include "raster/RasterizerFeed.hpp"
#include "vudadive2r/DrawingState.hpp"

namespace ORV {
namespace Vudadive2R {

// NotSupportedException for a value outside the enumeration.
agg::filling_rule_e FillingRule(FillRule rule);

class PassGeometry {
public:
    // Prepares `storage` for passes through `pathMatrix` onto a surface of
    // `width` x `height`. `stroke` is the stroke pass's state, null without
    // one. Unless `prepare` (a draw without a pass or without pixels does no
    // geometry work at all) no geometry is added. A long path is prepared on
    // the threads of `scratch`'s crew where it has more than one and no
    // draw is using them.
    PassGeometry(const PathStorage& storage, const agg::trans_affine& pathMatrix, const StrokeState* stroke,
                 bool prepare, int width, int height, DrawScratch* scratch = nullptr);
    PassGeometry(const PassGeometry&) = delete;
    PassGeometry& operator=(const PassGeometry&) = delete;

    // Whether the path is drawn at all: within the geometry limits, through
    // a matrix that keeps them, in a draw that has pixels and a pass.
    bool Drawable() const { return drawable; }

    // The threads a large pass's geometry may be fed on (the context's,
    // when it has more than one): in parts of whole sub-paths.
    void FeedOn(DrawScratch* scratch) { crew = scratch && scratch->threads > 1 ? scratch : nullptr; }

    // A path of lines only skips the curve converter, which would hand on
    // its vertices unchanged.
    template <class AnyRasterizer>
    void AddFill(AnyRasterizer& rasterizer) {
        if (!drawable)
            return;
        if constexpr (std::is_same_v<AnyRasterizer, DenseRasterizer>) {
            const bool fed = curved ? AddInParts(rasterizer,
                                                 [this](StorageReader& part, auto& feed) {
                                                     CurveConverter partCurves(part);
                                                     PathTransformer transformed(partCurves, pathMatrix);
                                                     return feed(transformed);
                                                 })
                                    : AddInParts(rasterizer, [this](StorageReader& part, auto& feed) {
                                          LineTransformer transformed(part, pathMatrix);
                                          return feed(transformed);
                                      });
            if (fed)
                return;
        }
        if (curved)
            return AddPass(rasterizer, CurveTransformer(), width, height);
        LineTransformer lines(pathReader, pathMatrix);
        AddPass(rasterizer, lines, width, height);
    }

    // Sets the stroker up from the stroke state and plans the dashes;
    // NotSupportedException for a cap or join outside the enumeration.
    void PlanStroke();

    template <class AnyRasterizer>
    void AddStroke(AnyRasterizer& rasterizer) {
        if (!(drawable && strokeGeometry.drawable))
            return;
        if (!dashes.records) {
            if constexpr (std::is_same_v<AnyRasterizer, DenseRasterizer>) {
                const bool fed = AddInParts(rasterizer, [this](StorageReader& part, auto& feed) {
                    CurveConverter partCurves(part);
                    PathTransformer transformed(partCurves, pathMatrix);
                    Stroker outlined(transformed);
                    SetUpStroker(outlined);
                    return feed(outlined);
                });
                if (fed)
                    return;
            }
            return AddPass(rasterizer, *stroker, width, height);
        }
        Dasher dasher(CurveTransformer());
        CullingDashGenerator& generator = dasher.generator();
        SetUpDasher(generator);
        if constexpr (std::is_same_v<AnyRasterizer, DenseRasterizer>) {
            if (AddDashedInParts(rasterizer) || AddDashesInParts(rasterizer, dasher))
                return;
            // The library's road outlines straight dashes by their caps.
            DashOutlines<Dasher> outlines(dasher, *stroker);
            PassOf<DashOutlines<Dasher>> pass{outlines, generator};
            AddPass(rasterizer, pass, width, height);
        } else {
            DashedStroker dashedStroker(dasher);
            dashedStroker.width(stroker->width());
            dashedStroker.line_cap(stroker->line_cap());
            dashedStroker.line_join(stroker->line_join());
            dashedStroker.miter_limit(stroker->miter_limit());
            PassOf<DashedStroker> pass{dashedStroker, generator};
            AddPass(rasterizer, pass, width, height);
        }
    }

private:
    typedef agg::conv_curve<StorageReader> CurveConverter;
    typedef agg::conv_transform<CurveConverter> PathTransformer;
    typedef agg::conv_transform<StorageReader> LineTransformer;
    typedef agg::conv_stroke<PathTransformer> Stroker;
    typedef agg::conv_adaptor_vcgen<PathTransformer, CullingDashGenerator> Dasher;
    typedef agg::conv_stroke<Dasher> DashedStroker;

    // The feed may read a pass twice: each reading starts the pattern and
    // the dasher's budgets afresh.
    template <class Outline>
    struct PassOf {
        Outline& outline;
        CullingDashGenerator& generator;
        void rewind(unsigned id) {
            generator.StartPass();
            outline.rewind(id);
        }
        unsigned vertex(double* x, double* y) { return outline.vertex(x, y); }
    };

    // The stroke state's width, cap, join and miter limit, as planned.
    void SetUpStroker(Stroker& outlined) const;

    // Passes of fewer vertices are fed on the calling thread alone.
    static constexpr unsigned PartVertices = 4096;

    // Parts of at least PartVertices, one for each thread at most, of
    // about the same number of vertices.
    template <class IsMove>
    std::vector<std::size_t> CutsAtMoves(std::size_t begin, std::size_t end, IsMove isMove) const {
        const std::size_t wanted = std::min((end - begin) / PartVertices, std::size_t(crew->threads));
        return Vudadive2R::CutsAtMoves(begin, end, wanted, isMove, [begin, end, wanted](std::size_t part) {
            return begin + std::size_t((unsigned long long)(end - begin) * part / wanted);
        });
    }

    // Readies a rasterizer of the crew for each part after the first, which
    // the pass's own takes.
    void StartParts(const DenseRasterizer& rasterizer, int parts) {
        while (int(crew->bands.size()) < parts)
            crew->bands.push_back(std::make_unique<DrawScratch::Band>());
        for (int part = 1; part < parts; ++part)
            crew->bands[std::size_t(part)]->rasterizer.StartPartOf(rasterizer);
    }

    // Feeds the pass in parts of whole sub-paths, `feedPart(reader, feed)`
    // making a part's vertex source over `reader` and handing it to `feed`,
    // each part on a thread of the crew into a rasterizer of its own, then
    // joins their edges in the path's order. Every sub-path's outline
    // depends on its own vertices alone, so these are the edges, in the
    // same order, of one feed of the whole. False, with the rasterizer to be
    // fed anew, for a pass too small, without a crew, or with a vertex the
    // feed would clip.
    template <class FeedPart>
    bool AddInParts(DenseRasterizer& rasterizer, FeedPart feedPart) {
        if (!crew)
            return false;
        const unsigned begin = pathReader.Begin(), end = pathReader.End();
        if (end - begin < 2 * PartVertices)
            return false;
        const PathStorage& storage = *pathReader.Storage();
        return FeedParts(rasterizer, CutsAtMoves(begin, end, [&storage](std::size_t at) {
                             return agg::is_move_to(storage.command(unsigned(at)));
                         }),
                         [&feedPart](int, StorageReader& reader, auto& feed) { return feedPart(reader, feed); });
    }

    // Feeds the path's parts between `cuts`, `feedPart(part, reader, feed)`
    // as for AddInParts; false for fewer than two parts.
    template <class FeedPart>
    bool FeedParts(DenseRasterizer& rasterizer, const std::vector<std::size_t>& cuts, FeedPart feedPart) {
        const int parts = int(cuts.size()) - 1;
        if (parts < 2)
            return false;
        const PathStorage& storage = *pathReader.Storage();
        StartParts(rasterizer, parts);
        std::vector<unsigned char> within(std::size_t(parts), 0);
        crew->crew.Run(parts, [&](int part) {
            DenseRasterizer& into = part == 0 ? rasterizer : crew->bands[std::size_t(part)]->rasterizer;
            StorageReader reader(storage, unsigned(cuts[std::size_t(part)]), unsigned(cuts[std::size_t(part) + 1]));
            auto feed = [&into](auto& source) { return AddWithinRasterRange(into, source); };
            within[std::size_t(part)] = feedPart(part, reader, feed);
        });
        if (std::find(within.begin(), within.end(), 0) != within.end()) {
            rasterizer.reset();
            return false;
        }
        for (int part = 1; part < parts; ++part)
            rasterizer.AppendPart(crew->bands[std::size_t(part)]->rasterizer);
        return true;
    }

    // The pattern, its phase and the window dashes are culled to.
    void SetUpDasher(CullingDashGenerator& generator) const;

    // A dashed stroke of many sub-paths whose pattern starts afresh on each
    // (a phase not negative): parts of whole sub-paths of about the same
    // length each dashed, outlined and fed on a thread of the crew, their
    // edges joined in the path's order. Each sub-path's dashes depend on its
    // own vertices alone, and so do the dasher's budgets' counts: while the
    // parts' counts add up to no more than the budgets, one dasher would
    // have stopped nowhere either, and these are the edges, in the same
    // order, of one feed of the whole. False, with the rasterizer to be fed
    // anew, otherwise or with a vertex the feed would clip.
    bool AddDashedInParts(DenseRasterizer& rasterizer);
    // Dashes expected in a part of a pass at least.
    static constexpr double PartDashes = 1024;

    // A dashed stroke's dashes as the dasher hands them on, kept a chunk at
    // a time, and a vertex source over a stretch of them.
    struct DashVertex {
        double x, y;
        unsigned command;
    };
    struct DashStretch {
        const DashVertex *begin, *end, *at;
        void rewind(unsigned) { at = begin; }
        unsigned vertex(double* x, double* y) {
            if (at == end)
                return agg::path_cmd_stop;
            *x = at->x;
            *y = at->y;
            return (at++)->command;
        }
    };
    // Dash vertices read from the dasher before their outlines are fed.
    static constexpr std::size_t DashChunk = std::size_t(1) << 16;

    // Reads the dashes on the calling thread a chunk at a time and feeds
    // each chunk's outlines in parts of whole dashes, each part on a thread
    // of the crew; the parts' edges are joined in the dashes' order. Each
    // dash is outlined on its own, so these are the edges, in the same
    // order, of one feed of the whole. False, with the rasterizer to be fed
    // anew, without a crew or with a vertex the feed would clip.
    bool AddDashesInParts(DenseRasterizer& rasterizer, Dasher& dasher);

    DrawScratch* crew = nullptr;
    agg::trans_affine pathMatrix;  // the transformer keeps its address
    const StrokeState* stroke;
    const int width, height;
    PathStorage pathCopy;  // stays empty unless culling or flattening changes the path
    StorageReader pathReader;
    bool drawable = false, curved = true;
    // The curve converter and its transformer, made on first use.
    PathTransformer& CurveTransformer() {
        if (!transformer) {
            curves.emplace(pathReader);
            transformer.emplace(*curves, pathMatrix);
        }
        return *transformer;
    }
    std::optional<CurveConverter> curves;
    std::optional<PathTransformer> transformer;
    std::optional<Stroker> stroker;  // made by PlanStroke: a fill-only draw needs none
    StrokeGeometry strokeGeometry{false, 0, 0};
    DashPlan dashes{0, 0, 0};
    DashWindow dashWindow{};
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
