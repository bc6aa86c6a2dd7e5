// The drawing pipeline: one path, an optional fill and an optional stroke,
// composited into the context's surface through AGG.
#include <agg_conv_curve.h>
#include <agg_conv_dash.h>
#include <agg_conv_stroke.h>
#include <agg_conv_transform.h>

#include <algorithm>
#include <climits>
#include <cstdint>

#include <atomic>
#include <optional>

#include "common/Internals.hpp"
#include "common/FormatCodes.hpp"
#include "paint/PaintRoad.hpp"
#include "path/DrawRoad.hpp"
#include "path/PathCopy.hpp"
#include "path/PathStorage.hpp"
#include "path/StrokePlanning.hpp"
#include "raster/AggTypes.hpp"
#include "raster/OwnRoad.hpp"
#include "raster/RasterizerFeed.hpp"
#include "vudadive2r/Exceptions.hpp"
#include "vudadive2r/Path.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

typedef agg::conv_curve<StorageReader> CurveConverter;
typedef agg::conv_transform<CurveConverter> PathTransformer;
typedef agg::conv_stroke<PathTransformer> Stroker;
typedef agg::conv_dash<PathTransformer> Dasher;
typedef agg::conv_stroke<Dasher> DashedStroker;

// Row-major, row-vector matrix to AGG's (sx, shy, shx, sy, tx, ty).
agg::trans_affine ToAffine(const Matrix3& m) {
    return agg::trans_affine(m.M[0], m.M[1], m.M[3], m.M[4], m.M[6], m.M[7]);
}

// Maps surface positions to paint space: the inverse of the paint transform
// followed by the path transform. A singular product is inverted as it is;
// the paints receive whatever the division gives.
agg::trans_affine PaintSpaceMatrix(const Matrix3& paint, const agg::trans_affine& path) {
    agg::trans_affine matrix = ToAffine(paint);
    matrix.multiply(path);
    matrix.invert();
    return matrix;
}

// By name, not by number: the packaged AGG numbers its operations
// differently from other releases.
unsigned CompositingOperation(BlendMode mode) {
    switch (mode) {
    case BlendMode::Source: return agg::comp_op_src;
    case BlendMode::SourceOver: return agg::comp_op_src_over;
    case BlendMode::DestinationOver: return agg::comp_op_dst_over;
    case BlendMode::SourceIn: return agg::comp_op_src_in;
    case BlendMode::DestinationIn: return agg::comp_op_dst_in;
    case BlendMode::Multiply: return agg::comp_op_multiply;
    case BlendMode::Screen: return agg::comp_op_screen;
    case BlendMode::Darken: return agg::comp_op_darken;
    case BlendMode::Lighten: return agg::comp_op_lighten;
    case BlendMode::Plus: return agg::comp_op_plus;
    }
    throw NotSupportedException();
}

agg::filling_rule_e FillingRule(FillRule rule) {
    switch (rule) {
    case FillRule::EvenOdd: return agg::fill_even_odd;
    case FillRule::NonZero: return agg::fill_non_zero;
    }
    throw NotSupportedException();
}

agg::line_cap_e LineCap(CapStyle style) {
    switch (style) {
    case CapStyle::Butt: return agg::butt_cap;
    case CapStyle::Round: return agg::round_cap;
    case CapStyle::Square: return agg::square_cap;
    }
    throw NotSupportedException();
}

agg::line_join_e LineJoin(JoinStyle style) {
    switch (style) {
    case JoinStyle::Miter: return agg::miter_join;
    case JoinStyle::Round: return agg::round_join;
    case JoinStyle::Bevel: return agg::bevel_join;
    }
    throw NotSupportedException();
}

// A corner X + Width may not fit an int. Clamping keeps the box the renderer
// ends up with, since it clips every box to the surface anyway.
int ClampedCorner(int32_t origin, int32_t extent) {
    const int64_t corner = int64_t(origin) + int64_t(extent);
    return int(std::max<int64_t>(INT_MIN, std::min<int64_t>(INT_MAX, corner)));
}

// How far from the geometry a pass may draw, in pixels: a miter or a
// square cap reaches at most the larger of the miter limit and sqrt(2) times
// the half width. A dashed stroke may not be culled at all (negative).
double StrokeReach(const std::shared_ptr<StrokeState>& stroke, const std::shared_ptr<Paint>& strokePaint) {
    if (!strokePaint)
        return 0;
    if (!stroke->dashPattern.empty())
        return -1;
    const StrokeGeometry geometry = SafeStrokeGeometry(stroke->LineWidth(), stroke->MiterLimit());
    if (!geometry.drawable)
        return 0;
    return std::fabs(geometry.width) * 0.5 * std::max(std::fabs(geometry.miterLimit), 1.5) + 1;
}

std::atomic<bool> plainRoadForced{false};

}  // namespace

void DrawRoad::ForcePlain(bool plain) { plainRoadForced.store(plain, std::memory_order_relaxed); }
bool DrawRoad::PlainForced() { return plainRoadForced.load(std::memory_order_relaxed); }

void Path::Draw(const std::shared_ptr<FillState>& fill, const std::shared_ptr<StrokeState>& stroke) {
    Context2D& context2D = *context;
    if (orv_surface_format_get(context2D.surface) != uint32_t(FormatCode::AB24))
        throw InvalidOperationException();

    const std::shared_ptr<SurfaceMemory> memory = context2D.surfaceMemory;
    unsigned char* pixels = memory->Data();
    // Memory that could not be mapped is treated as a surface of no pixels:
    // every setting is still validated in order, and nothing is written.
    const int width = pixels ? orv_surface_width_get(context2D.surface) : 0;
    const int height = pixels ? orv_surface_height_get(context2D.surface) : 0;
    const RenderState& renderState = *context2D.renderState;
    const int pitch = pixels ? memory->Stride() : 0;
    const int signedPitch = renderState.origin != Origin::BottomLeft ? pitch : -pitch;

    const std::shared_ptr<Paint> fillPaint = fill ? Internals::PaintOf(*fill) : std::shared_ptr<Paint>();
    const std::shared_ptr<Paint> strokePaint = stroke ? Internals::PaintOf(*stroke) : std::shared_ptr<Paint>();

    RenderingBuffer buffer(pixels, unsigned(width), unsigned(height), signedPitch);

    // A paint matrix is made only for a pass that has a paint.
    agg::trans_affine pathMatrix = ToAffine(context2D.transforms->path->Get());
    agg::trans_affine fillPaintMatrix, strokePaintMatrix;
    if (fillPaint)
        fillPaintMatrix = PaintSpaceMatrix(context2D.transforms->fillPaint->Get(), pathMatrix);
    if (strokePaint)
        strokePaintMatrix = PaintSpaceMatrix(context2D.transforms->strokePaint->Get(), pathMatrix);

    const unsigned operation = CompositingOperation(renderState.blendMode);
    PixelFormat pixelFormat(buffer);
    pixelFormat.comp_op(operation);
    Renderer renderer(pixelFormat);
    RoadRenderer roadRenderer(buffer, operation);
    if (renderState.scissoringEnabled) {
        for (const IntRectangle& r : renderState.scissorRectangles) {
            const int x2 = ClampedCorner(r.X, r.Width), y2 = ClampedCorner(r.Y, r.Height);
            renderer.add_clip_box(r.X, r.Y, x2, y2);
            roadRenderer.add_clip_box(r.X, r.Y, x2, y2);
        }
    }

    // The plain road's rasterizer is made only when a pass takes that road:
    // its construction alone is a noticeable share of drawing a small shape.
    std::optional<SaturatingRasterizer> rasterizer;
    // Both roads rasterise the stroke with the fill pass's rule.
    agg::filling_rule_e rule = agg::fill_non_zero;
    DenseRasterizer ownRasterizer;
    InlineScanline ownScanline;
    // Rows outside the surface cannot change a pixel.
    ownRasterizer.SweptRows(0, height - 1);
    Scanline scanline;
    // A draw without a pass does no geometry work at all.
    PathStorage pathCopy;  // stays empty unless culling or flattening changes the path
    StorageReader pathReader;
    double largestCoordinate = 0;
    const bool drawable = pixels && (fillPaint || strokePaint) &&
                          PrepareForDrawing(*storage, pathCopy, pathReader, largestCoordinate,
                                            CullingWindow{pathMatrix, StrokeReach(stroke, strokePaint), width, height}) &&
                          TransformKeepsLimits(pathMatrix, largestCoordinate);
    CurveConverter curves(pathReader);
    PathTransformer transformer(curves, pathMatrix);
    Stroker stroker(transformer);

    // One pass: the library's own paints on the library's own road unless
    // the plain one is forced; any other paint gets AGG's objects.
    const bool ownRoad = !DrawRoad::PlainForced();
    auto pass = [&](Paint& paint, agg::trans_affine& paintMatrix, auto&& addGeometry) {
        if (ownRoad && RidesOwnRoad(paint)) {
            ownRasterizer.filling_rule(rule);
            ownRasterizer.reset();
            addGeometry(ownRasterizer);
            roadRenderer.Prefetch(ownRasterizer.min_x(), ownRasterizer.min_y(), ownRasterizer.max_x(),
                                  ownRasterizer.max_y());
            RasterizeOnOwnRoad(paint, RoadArguments{ownRasterizer, ownScanline, roadRenderer, paintMatrix});
        } else {
            if (!rasterizer)
                rasterizer.emplace();
            rasterizer->filling_rule(rule);
            rasterizer->reset();
            addGeometry(*rasterizer);
            // Paints receive AGG's type; the library's own read it back as ours.
            paint.Rasterize(static_cast<Rasterizer*>(&*rasterizer), &scanline, &renderer, &paintMatrix);
        }
    };

    if (fillPaint) {
        rule = FillingRule(fill->FillRule());
        pass(*fillPaint, fillPaintMatrix, [&](auto& target) {
            if (drawable)
                AddPathWithinLimits(target, transformer, width, height);
        });
    }

    if (strokePaint) {
        const agg::line_cap_e cap = LineCap(stroke->CapStyle());
        const agg::line_join_e join = LineJoin(stroke->JoinStyle());
        const StrokeGeometry geometry = SafeStrokeGeometry(stroke->LineWidth(), stroke->MiterLimit());
        stroker.width(geometry.width);
        stroker.line_cap(cap);
        stroker.line_join(join);
        stroker.miter_limit(geometry.miterLimit);

        DashPlan dashes{0, 0, 0};
        if (drawable && geometry.drawable && !stroke->dashPattern.empty()) {
            dashes = PlanDashes(stroke->dashPattern, stroke->DashPhase());
            if (dashes.records)
                LimitDashCount(dashes, PathLength(transformer), geometry.width);
        }
        // No filling rule here: the stroke outline is rasterised with the
        // rule of this call's fill pass, or non-zero without one.
        pass(*strokePaint, strokePaintMatrix, [&](auto& target) {
            if (!(drawable && geometry.drawable))
                return;
            if (dashes.records) {
                Dasher dasher(transformer);
                for (unsigned i = 0; i < dashes.records; ++i)
                    dasher.add_dash(stroke->dashPattern[i].Length, stroke->dashPattern[i].Gap);
                dasher.dash_start(dashes.phase);
                DashedStroker dashedStroker(dasher);
                dashedStroker.width(stroker.width());
                dashedStroker.line_cap(stroker.line_cap());
                dashedStroker.line_join(stroker.line_join());
                dashedStroker.miter_limit(stroker.miter_limit());
                AddPathWithinLimits(target, dashedStroker, width, height);
            } else {
                AddPathWithinLimits(target, stroker, width, height);
            }
        });
    }
}

}  // namespace Vudadive2R
}  // namespace ORV
