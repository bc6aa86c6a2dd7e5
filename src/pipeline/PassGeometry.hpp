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

#include <memory>
#include <optional>
#include <type_traits>

#include "pipeline/CullingDashGenerator.hpp"
#include "pipeline/DashOutlines.hpp"
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
    // geometry work at all) no geometry is added.
    PassGeometry(const PathStorage& storage, const agg::trans_affine& pathMatrix, const StrokeState* stroke,
                 bool prepare, int width, int height);
    PassGeometry(const PassGeometry&) = delete;
    PassGeometry& operator=(const PassGeometry&) = delete;

    // Whether the path is drawn at all: within the geometry limits, through
    // a matrix that keeps them, in a draw that has pixels and a pass.
    bool Drawable() const { return drawable; }

    // A path of lines only skips the curve converter, which would hand on
    // its vertices unchanged.
    template <class AnyRasterizer>
    void AddFill(AnyRasterizer& rasterizer) {
        if (!drawable)
            return;
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
        if (!dashes.records)
            return AddPass(rasterizer, *stroker, width, height);
        Dasher dasher(CurveTransformer());
        CullingDashGenerator& generator = dasher.generator();
        for (unsigned i = 0; i < dashes.records; ++i)
            generator.AddDash(stroke->dashPattern[i].Length, stroke->dashPattern[i].Gap);
        generator.StartAt(dashes.phase);
        generator.CullOutside(dashWindow);
        if constexpr (std::is_same_v<AnyRasterizer, DenseRasterizer>) {
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
