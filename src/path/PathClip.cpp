// A clip by a path: the path's fill coverage, as a fill pass computes it,
// combined into the context's clip with AGG's alpha-mask rounding.
#include <memory>
#include <vector>

#include "common/Internals.hpp"
#include "context/DrawingStack.hpp"
#include "paint/PassMatrices.hpp"
#include "pipeline/DrawTarget.hpp"
#include "pipeline/PassGeometry.hpp"
#include "raster/DenseRasterizer.hpp"
#include "raster/InlineScanline.hpp"
#include "vudadive2r/Exceptions.hpp"
#include "vudadive2r/Path.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

// The fill coverage of the path over the target's pixels, rows in the
// surface's own order.
std::vector<uint8_t> FillCoverage(Path& path, const DrawTarget& target, agg::filling_rule_e rule,
                                  const agg::trans_affine& pathMatrix, bool fromTop) {
    const int width = target.Width(), height = target.Height();
    std::vector<uint8_t> coverage(std::size_t(width) * std::size_t(height), 0);
    PassGeometry geometry(Internals::StorageOf(path), pathMatrix, nullptr, width > 0 && height > 0, width, height);
    DenseRasterizer rasterizer;
    InlineScanline scanline;
    rasterizer.SurfaceBounds(width, height, false);
    rasterizer.filling_rule(rule);
    rasterizer.reset();
    geometry.AddFill(rasterizer);
    if (!rasterizer.rewind_scanlines())
        return coverage;
    scanline.reset(rasterizer.min_x(), rasterizer.max_x());
    while (rasterizer.sweep_scanline(scanline)) {
        const int first = scanline.y(), last = first + rasterizer.TakeRowsLikeTheLast();
        for (int y = first; y <= last; ++y) {
            uint8_t* row = coverage.data() + std::size_t(fromTop ? y : height - 1 - y) * std::size_t(width);
            auto span = scanline.begin();
            for (unsigned spans = scanline.num_spans(); spans > 0; --spans, ++span) {
                const int length = span->len < 0 ? -span->len : span->len;
                for (int i = 0; i < length; ++i) {
                    const int x = span->x + i;
                    if (x >= 0 && x < width)
                        row[x] = span->len < 0 ? *span->covers : span->covers[i];
                }
            }
        }
    }
    return coverage;
}

}  // namespace

void Path::Clip(FillRule rule, ClipOperation operation) {
    const agg::filling_rule_e fillingRule = FillingRule(rule);
    if (operation != ClipOperation::Intersect && operation != ClipOperation::Difference)
        throw NotSupportedException();
    Context2D& context = *Internals::ContextOf(*this);
    const DrawTarget target(context);
    const int width = target.Width(), height = target.Height();
    const bool fromTop = target.FromTop();
    const std::vector<uint8_t> coverage =
        FillCoverage(*this, target, fillingRule, ToAffine(context.transforms->path->Get()), fromTop);

    std::unique_ptr<DrawingStack>& stack = Internals::DrawingStackOf(context);
    if (!stack)
        stack.reset(new DrawingStack());
    const ClipMask* old = stack->clip && stack->clip->width == width && stack->clip->height == height
                              ? stack->clip.get()
                              : nullptr;
    auto clip = std::make_shared<ClipMask>(width, height, 255);
    const bool intersect = operation == ClipOperation::Intersect;
    for (std::size_t i = 0; i < coverage.size(); ++i) {
        const unsigned m = old ? old->coverage[i] : 255u;
        clip->coverage[i] = MaskedCover(m, intersect ? coverage[i] : 255u - coverage[i]);
    }
    stack->clip = std::move(clip);
}

}  // namespace Vudadive2R
}  // namespace ORV
