#include "pipeline/PassGeometry.hpp"

#include <algorithm>
#include <cmath>

#include "vudadive2r/Exceptions.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

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

// How far from the geometry a pass may draw, in pixels: a miter or a
// square cap reaches at most the larger of the miter limit and sqrt(2) times
// the half width. A dashed stroke may not be culled at all (negative).
double StrokeReach(const StrokeState* stroke) {
    if (!stroke)
        return 0;
    if (!stroke->dashPattern.empty())
        return -1;
    const StrokeGeometry geometry = SafeStrokeGeometry(stroke->LineWidth(), stroke->MiterLimit());
    if (!geometry.drawable)
        return 0;
    return std::fabs(geometry.width) * 0.5 * std::max(std::fabs(geometry.miterLimit), 1.5) + 1;
}

}  // namespace

agg::filling_rule_e FillingRule(FillRule rule) {
    switch (rule) {
    case FillRule::EvenOdd: return agg::fill_even_odd;
    case FillRule::NonZero: return agg::fill_non_zero;
    }
    throw NotSupportedException();
}

PassGeometry::PassGeometry(const PathStorage& storage, const agg::trans_affine& pathMatrix,
                           const StrokeState* stroke, bool prepare, int width, int height, DrawScratch* scratch)
    : pathMatrix(pathMatrix),
      stroke(stroke),
      width(width),
      height(height) {
    double largestCoordinate = 0;
    const bool onCrew = scratch && scratch->threads > 1 && !scratch->inUse;
    drawable = prepare &&
               PrepareForDrawing(storage, pathCopy, pathReader, largestCoordinate, curved,
                                 CullingWindow{pathMatrix, StrokeReach(stroke), width, height},
                                 onCrew ? &scratch->crew : nullptr, onCrew ? scratch->threads : 1) &&
               TransformKeepsLimits(pathMatrix, largestCoordinate);
}

void PassGeometry::SetUpStroker(Stroker& outlined) const {
    outlined.width(strokeGeometry.width);
    outlined.line_cap(LineCap(stroke->CapStyle()));
    outlined.line_join(LineJoin(stroke->JoinStyle()));
    outlined.miter_limit(strokeGeometry.miterLimit);
}

void PassGeometry::PlanStroke() {
    const agg::line_cap_e cap = LineCap(stroke->CapStyle());
    const agg::line_join_e join = LineJoin(stroke->JoinStyle());
    strokeGeometry = SafeStrokeGeometry(stroke->LineWidth(), stroke->MiterLimit());
    stroker.emplace(CurveTransformer());
    SetUpStroker(*stroker);
    if (drawable && strokeGeometry.drawable && !stroke->dashPattern.empty()) {
        dashes = PlanDashes(stroke->dashPattern, stroke->DashPhase());
        dashWindow = DashCullingWindow(strokeGeometry, cap, join, width, height);
    }
}

void PassGeometry::SetUpDasher(CullingDashGenerator& generator) const {
    for (unsigned i = 0; i < dashes.records; ++i)
        generator.AddDash(stroke->dashPattern[i].Length, stroke->dashPattern[i].Gap);
    generator.StartAt(dashes.phase);
    generator.CullOutside(dashWindow);
}

bool PassGeometry::AddDashedInParts(DenseRasterizer& rasterizer) {
    if (!crew || dashes.phase < 0 || !(dashes.period > 0))
        return false;
    // The length of the path up to each vertex, through the matrix (a curve
    // counts its control polygon), as a measure of the dasher's work.
    const PathStorage& storage = *pathReader.Storage();
    const unsigned begin = pathReader.Begin(), end = pathReader.End();
    // One sub-path cannot be cut: its length is not needed.
    unsigned secondMove = begin + 1;
    while (secondMove < end && !agg::is_move_to(storage.command(secondMove)))
        ++secondMove;
    if (secondMove >= end)
        return false;
    std::vector<double> along(end - begin + 1, 0);
    double length = 0, lastX = 0, lastY = 0;
    for (unsigned i = begin; i < end; ++i) {
        double x, y;
        const unsigned command = storage.vertex(i, &x, &y);
        if (agg::is_vertex(command)) {
            pathMatrix.transform(&x, &y);
            if (!agg::is_move_to(command))
                length += std::fabs(x - lastX) + std::fabs(y - lastY);
            lastX = x, lastY = y;
        }
        along[i - begin + 1] = length;
    }
    const double parts = std::min(length / dashes.period / PartDashes, double(crew->threads));
    if (!(parts >= 2))
        return false;
    const std::size_t wanted = std::size_t(parts);
    const std::vector<std::size_t> cuts = Vudadive2R::CutsAtMoves(
        begin, end, wanted, [&storage](std::size_t at) { return agg::is_move_to(storage.command(unsigned(at))); },
        [&](std::size_t part) {
            const double share = length * double(part) / double(wanted);
            return begin + std::size_t(std::lower_bound(along.begin(), along.end(), share) - along.begin());
        });
    // Each part's dasher's counts against the budgets.
    std::vector<double> steps(cuts.size(), 0), kept(cuts.size(), 0);
    if (!FeedParts(rasterizer, cuts, [&](int part, StorageReader& reader, auto& feed) {
            CurveConverter partCurves(reader);
            PathTransformer transformed(partCurves, pathMatrix);
            Dasher dasher(transformed);
            CullingDashGenerator& generator = dasher.generator();
            SetUpDasher(generator);
            DashOutlines<Dasher> outlines(dasher, *stroker);
            PassOf<DashOutlines<Dasher>> pass{outlines, generator};
            const bool within = feed(pass);
            steps[std::size_t(part)] = generator.Exhausted() ? HUGE_VAL : generator.Steps();
            kept[std::size_t(part)] = generator.KeptWork();
            return within;
        }))
        return false;
    double allSteps = 0, allKept = 0;
    for (std::size_t part = 0; part < steps.size(); ++part)
        allSteps += steps[part], allKept += kept[part];
    // Steps are whole numbers, added exactly; the kept work is summed in
    // another order than one dasher's, so its rounding is allowed for.
    if (allSteps <= dashWindow.stepBudget && allKept * (1 + 0x1p-16) <= dashWindow.keptBudget)
        return true;
    rasterizer.reset();
    return false;
}

bool PassGeometry::AddDashesInParts(DenseRasterizer& rasterizer, Dasher& dasher) {
    if (!crew)
        return false;
    dasher.generator().StartPass();
    dasher.rewind(0);
    rasterizer.reset();
    std::vector<DashVertex> chunk;
    std::vector<std::size_t> cuts;
    std::vector<unsigned char> within;
    DashVertex next{0, 0, 0};
    next.command = dasher.vertex(&next.x, &next.y);
    while (!agg::is_stop(next.command)) {
        // A chunk ends before a dash's move-to.
        chunk.clear();
        do {
            chunk.push_back(next);
            next.command = dasher.vertex(&next.x, &next.y);
        } while (!agg::is_stop(next.command) && (chunk.size() < DashChunk || !agg::is_move_to(next.command)));
        cuts = CutsAtMoves(0, chunk.size(), [&chunk](std::size_t at) { return agg::is_move_to(chunk[at].command); });
        const int parts = int(cuts.size()) - 1;
        StartParts(rasterizer, parts);
        within.assign(std::size_t(parts), 0);
        // The first part goes on after the edges of the chunks before.
        auto feedPart = [&](int part) {
            DenseRasterizer& into = part == 0 ? rasterizer : crew->bands[std::size_t(part)]->rasterizer;
            const DashVertex* first = chunk.data() + cuts[std::size_t(part)];
            DashStretch stretch{first, chunk.data() + cuts[std::size_t(part) + 1], first};
            DashOutlines<DashStretch> outlines(stretch, *stroker);
            within[std::size_t(part)] = FeedWithinRasterRange(into, outlines);
            if (part > 0)
                into.FinishFeed();
        };
        if (parts < 2)
            feedPart(0);
        else
            crew->crew.Run(parts, feedPart);
        if (std::find(within.begin(), within.end(), 0) != within.end()) {
            rasterizer.reset();
            return false;
        }
        for (int part = 1; part < parts; ++part)
            rasterizer.AppendPart(crew->bands[std::size_t(part)]->rasterizer);
    }
    rasterizer.FinishFeed();
    return true;
}

}  // namespace Vudadive2R
}  // namespace ORV
