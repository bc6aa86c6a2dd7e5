// One draw of a path: an optional fill pass, then an optional stroke pass,
// composited into the context's surface.
#include "path/PathDraw.hpp"

#include <stdexcept>
#include <type_traits>

#include "common/Internals.hpp"
#include "paint/PaintPasses.hpp"
#include "pipeline/DrawTarget.hpp"
#include "pipeline/PassGeometry.hpp"
#include "paint/PassMatrices.hpp"

namespace ORV {
namespace Vudadive2R {

void Path::Draw(const std::shared_ptr<FillState>& fill, const std::shared_ptr<StrokeState>& stroke) {
    DrawPath(*this, fill, stroke, DrawRoad::Library);
}

unsigned DrawPath(Path& path, const std::shared_ptr<FillState>& fill, const std::shared_ptr<StrokeState>& stroke,
                  DrawRoad road, const std::vector<PlacedStamp>* stamps) {
    Context2D& context = *Internals::ContextOf(path);
    DrawTarget::RequireCompositable(context);
    const DrawTarget target(context);
    const Transforms& transforms = *context.transforms;
    const std::shared_ptr<Paint> fillPaint = fill ? Internals::PaintOf(*fill) : nullptr;
    const std::shared_ptr<Paint> strokePaint = stroke ? Internals::PaintOf(*stroke) : nullptr;
    const agg::trans_affine pathMatrix = ToAffine(transforms.path->Get());
    std::unique_ptr<DrawScratch>& scratch = Internals::DrawScratchOf(context);
    if (!scratch)
        scratch.reset(new DrawScratch());
    DrawPasses passes(target, road, scratch.get());
    PassGeometry geometry(Internals::StorageOf(path), pathMatrix, strokePaint ? stroke.get() : nullptr,
                          target.Pixels() && (fillPaint || strokePaint), target.Width(), target.Height(),
                          road == DrawRoad::Library ? scratch.get() : nullptr);

    // The stroke outline is rasterised with the rule of this call's fill
    // pass, or non-zero without one.
    agg::filling_rule_e rule = agg::fill_non_zero;
    if (fillPaint) {
        rule = FillingRule(fill->FillRule());
        const PassMatrices matrices(*transforms.fillPaint, pathMatrix, Internals::ContextOf(*fillPaint).get());
        const PaintColors colors = LibraryPaintColors(*fillPaint);
        const bool stamped = stamps && !stamps->empty();
        if (stamped && !(colors && road == DrawRoad::Library))
            throw std::logic_error("Cells were placed for a pass that does not take them.");
        passes.Run(*fillPaint, colors, colors == ColorPaintColors, matrices, rule, [&](auto& rasterizer) {
            geometry.FeedOn(passes.Crew());  // known once the pass has its stores
            geometry.AddFill(rasterizer);
            if constexpr (std::is_same_v<std::remove_reference_t<decltype(rasterizer)>, DenseRasterizer>) {
                if (stamped && geometry.Drawable())
                    for (const PlacedStamp& s : *stamps)
                        rasterizer.AddStamp(*s.stamp, s.dx, s.dy);
            }
        });
    }
    if (strokePaint) {
        geometry.PlanStroke();
        const PassMatrices matrices(*transforms.strokePaint, pathMatrix, Internals::ContextOf(*strokePaint).get());
        const PaintColors colors = LibraryPaintColors(*strokePaint);
        passes.Run(*strokePaint, colors, colors == ColorPaintColors, matrices, rule,
                   [&](auto& rasterizer) {
                       geometry.FeedOn(passes.Crew());
                       geometry.AddStroke(rasterizer);
                   });
    }
    return passes.ClippedPasses();
}

}  // namespace Vudadive2R
}  // namespace ORV
