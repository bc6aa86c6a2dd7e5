#include "pipeline/PathPreparation.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include <agg_curves.h>

#include "pipeline/DrawCrew.hpp"

namespace ORV {
namespace Vudadive2R {

// ---------------------------------------------------------------- flattening

namespace {

// Halvings of one large curve: from GeometryLimits::Coordinate down to
// pixels takes about 340.
constexpr unsigned LargeCurveDepth = 400;

// The vertices and halvings the curves flattened here may still spend in
// this draw (once it is spent, the remaining pieces are drawn as chords),
// and the last chord added, with the sides its piece lay beyond.
struct FlatteningBudget {
    long remaining = GeometryLimits::CulledPoints;
    unsigned lastChordSides = 0;
    unsigned lastChordIndex = 0;
};

// Adds a chord to (x, y) of a piece lying beyond `sides`. A chord that
// directly follows one beyond a common side extends it instead: the path
// between their ends stays in that half-plane either way, so the winding
// inside the window is the same, and a wound curve far away costs a vertex
// rather than one per piece.
void AddChord(double x, double y, unsigned sides, FlatteningBudget& state, PathStorage& copy) {
    const unsigned total = copy.total_vertices();
    if (total > 0 && total == state.lastChordIndex + 1 && (sides & state.lastChordSides)) {
        copy.modify_vertex(state.lastChordIndex, x, y);
        state.lastChordSides &= sides;
        return;
    }
    copy.vertices().add_vertex(x, y, agg::path_cmd_line_to);
    state.lastChordSides = sides;
    state.lastChordIndex = total;
}

bool WithinLimits(double x, double y) {
    return std::fabs(x) <= GeometryLimits::Coordinate && std::fabs(y) <= GeometryLimits::Coordinate;
}

// Adds the flattening of a curve, less its start point, as line-to entries:
// what the curve converter would produce from it.
template <class Curve>
void AddFlattened(Curve& curve, PathStorage& copy) {
    double x, y;
    curve.rewind(0);
    curve.vertex(&x, &y);
    while (!agg::is_stop(curve.vertex(&x, &y)))
        copy.vertices().add_vertex(x, y, agg::path_cmd_line_to);
}

// Halves a Bezier curve of `count` control points at t = 0.5.
void SplitInHalf(const double* x, const double* y, unsigned count, double* leftX, double* leftY, double* rightX,
                 double* rightY) {
    double wx[4], wy[4];
    std::copy(x, x + count, wx);
    std::copy(y, y + count, wy);
    for (unsigned level = 0; level < count; ++level) {
        leftX[level] = wx[0];
        leftY[level] = wy[0];
        rightX[count - 1 - level] = wx[count - 1 - level];
        rightY[count - 1 - level] = wy[count - 1 - level];
        for (unsigned k = 0; k + 1 < count - level; ++k) {
            wx[k] = (wx[k] + wx[k + 1]) * 0.5;
            wy[k] = (wy[k] + wy[k + 1]) * 0.5;
        }
    }
}

// A curve flattened here rather than by the curve converter, with the
// approximation scale given: halves lying outside the window become chords,
// and halving stops once a piece is small enough, in pixels, to flatten.
// Only the few pieces near the surface are halved again, and every halving
// and every vertex is paid from the budget.
void AddCulledCurve(const double* x, const double* y, unsigned count, double scale, const CullingWindow& window,
                    unsigned depth, FlatteningBudget& budget, PathStorage& copy) {
    const unsigned sides = window.reach >= 0 ? window.OutsideSurface(x, y, count) : 0;
    if (sides || budget.remaining <= 0) {
        AddChord(x[count - 1], y[count - 1], sides, budget, copy);
        return;
    }
    // Pieces about the size of the surface and its surroundings are flattened whole.
    const double flattenedExtent = std::max(window.width, window.height) + 2 * std::max(window.reach, 0.0) + 4;
    if (depth == 0 || !(window.PixelExtent(x, y, count) > flattenedExtent)) {
        const unsigned before = copy.total_vertices();
        if (count == 3) {
            agg::curve3 curve;  // the scale must be set before init
            curve.approximation_scale(scale);
            curve.init(x[0], y[0], x[1], y[1], x[2], y[2]);
            AddFlattened(curve, copy);
        } else {
            agg::curve4 curve;
            curve.approximation_scale(scale);
            curve.init(x[0], y[0], x[1], y[1], x[2], y[2], x[3], y[3]);
            AddFlattened(curve, copy);
        }
        budget.remaining -= long(copy.total_vertices() - before);
        return;
    }
    --budget.remaining;
    double leftX[4], leftY[4], rightX[4], rightY[4];
    SplitInHalf(x, y, count, leftX, leftY, rightX, rightY);
    AddCulledCurve(leftX, leftY, count, scale, window, depth - 1, budget, copy);
    AddCulledCurve(rightX, rightY, count, scale, window, depth - 1, budget, copy);
}

// About the number of segments the curve converter makes of a curve with
// this control polygon length at its tolerance of half a path unit, where
// that is more than GeometryLimits::CostlyCurve; 0 for a curve within it.
// The polygon is no longer than the sum of its sides' |dx| + |dy|, so a
// curve whose sum (with room for rounding) leaves it within is settled
// without a square root per side.
double CostlySegments(const double* x, const double* y, unsigned count) {
    double bound = 0;
    for (unsigned k = 1; k < count; ++k)
        bound += std::fabs(x[k] - x[k - 1]) + std::fabs(y[k] - y[k - 1]);
    if (std::sqrt(bound * (1 + 0x1p-20) / 0.5) + 1 <= GeometryLimits::CostlyCurve)
        return 0;
    double length = 0;
    for (unsigned k = 1; k < count; ++k)
        length += std::hypot(x[k] - x[k - 1], y[k] - y[k - 1]);
    const double estimate = std::sqrt(length / 0.5) + 1;
    return estimate > GeometryLimits::CostlyCurve ? estimate : 0;
}

// The largest factor by which the matrix stretches a length.
double Stretch(const agg::trans_affine& m) {
    return std::max(std::fabs(m.sx) + std::fabs(m.shx), std::fabs(m.shy) + std::fabs(m.sy));
}

}  // namespace

// ---------------------------------------------------------------- culling

namespace {

struct PixelBounds {
    double left = HUGE_VAL, right = -HUGE_VAL, top = HUGE_VAL, bottom = -HUGE_VAL;
    PixelBounds(const agg::trans_affine& matrix, const double* x, const double* y, unsigned count) {
        for (unsigned k = 0; k < count; ++k) {
            double px = x[k], py = y[k];
            matrix.transform(&px, &py);
            left = std::min(left, px);
            right = std::max(right, px);
            top = std::min(top, py);
            bottom = std::max(bottom, py);
        }
    }
    // The sides of the box the points lie wholly beyond; NaN is beyond none.
    unsigned Outside(double x1, double y1, double x2, double y2) const {
        return (right < x1 ? 1u : 0u) | (left > x2 ? 2u : 0u) | (bottom < y1 ? 4u : 0u) | (top > y2 ? 8u : 0u);
    }
};

}  // namespace

unsigned CullingWindow::Outside(const double* x, const double* y, unsigned count) const {
    const PixelBounds bounds(pathMatrix, x, y, count);
    if (reach == 0) {
        // A fill: beyond the rows of the surface, or beyond the columns
        // either road keeps cells for (the reference road clips passes
        // reaching this far).
        const double columns = std::max<double>(GeometryLimits::SpanColumns, GeometryLimits::SpanCoordinate) + 2;
        return bounds.Outside(-columns, -2, width + columns, height + 2);
    }
    // A stroke's joins reach as far as its segments are long, so a chord
    // may change the join beside it: only where the reference road clips.
    const double far = GeometryLimits::SpanCoordinate + reach;
    return bounds.Outside(-far, -far, far, far);
}

unsigned CullingWindow::OutsideSurface(const double* x, const double* y, unsigned count) const {
    const double margin = reach + 2;
    return PixelBounds(pathMatrix, x, y, count).Outside(-margin, -margin, width + margin, height + margin);
}

double CullingWindow::PixelExtent(const double* x, const double* y, unsigned count) const {
    const PixelBounds bounds(pathMatrix, x, y, count);
    return std::max(bounds.right - bounds.left, bounds.bottom - bounds.top);
}

// ---------------------------------------------------------------- the walk over the path

namespace {

enum class Walk { OutOfLimits, Complete, NeedsCopy };

// Paths of fewer entries are walked on the calling thread alone.
constexpr unsigned PreparedPartEntries = 4096;

// One walk over the path, as the pipeline reads it (up to the first stop
// entry), checking the limits. Curves beyond GeometryLimits::CurveExtent are
// flattened and culled here, and with `flattenCostly` so are the costly
// ones (GeometryLimits::CostlyCurve); the others are copied for the curve
// converter, and `segments` receives about how many segments it will make
// of the costly ones among them. Without a copy the walk stops at the first
// entry a copy would change and asks for one; a complete walk leaves in
// `end` the number of entries the pipeline reads, and `curves` says whether
// any of them is a curve's.
// `begin` and `limit` bound the entries walked (a part of whole sub-paths
// begins at a move-to); a curve reads its entries beyond `limit` as the
// converter would, and `end` then lies past it.
Walk CopyPass(const PathStorage& source, PathStorage* copy, double& largestMagnitude, const CullingWindow& window,
              bool flattenCostly, double& segments, unsigned& end, bool& curves, unsigned begin = 0,
              unsigned limit = ~0u) {
    largestMagnitude = 0;
    segments = 0;
    curves = false;
    FlatteningBudget budget;
    // Where the curve converter starts the next curve: the coordinates of the
    // last entry it read, whatever its command.
    double lastX = 0, lastY = 0;
    // A curve may only be culled when it starts where the rasterizer and the
    // stroker stand, at the last vertex: before the first vertex they stand
    // at the surface's origin, after a close at the start of the sub-path,
    // and the edge from there goes to the curve's first point.
    bool atVertex = false;
    const unsigned total = source.total_vertices();
    unsigned index = begin;
    while (index < std::min(total, limit)) {
        double x, y;
        const unsigned command = source.vertex(index, &x, &y);
        if (agg::is_stop(command))
            break;

        if (command == agg::path_cmd_curve3 || command == agg::path_cmd_curve4) {
            curves = true;
            // The converter reads the end point (and second control point)
            // from the following entries whatever their commands.
            const unsigned entries = command == agg::path_cmd_curve3 ? 2 : 3;
            double px[4] = {lastX, x, 0, 0}, py[4] = {lastY, y, 0, 0};
            unsigned commands[3] = {command, agg::path_cmd_stop, agg::path_cmd_stop};
            unsigned present = 1;
            for (unsigned k = 1; k < entries && index + k < total; ++k, ++present)
                commands[k] = source.vertex(index + k, &px[k + 1], &py[k + 1]);
            double minX = px[0], maxX = px[0], minY = py[0], maxY = py[0];
            for (unsigned k = 1; k <= entries; ++k) {
                if (!WithinLimits(px[k], py[k]))
                    return Walk::OutOfLimits;
                largestMagnitude = std::max(largestMagnitude, std::max(std::fabs(px[k]), std::fabs(py[k])));
                minX = std::min(minX, px[k]);
                maxX = std::max(maxX, px[k]);
                minY = std::min(minY, py[k]);
                maxY = std::max(maxY, py[k]);
            }
            const double extent = std::max(maxX - minX, maxY - minY);
            const unsigned sides =
                present == entries && atVertex && window.reach >= 0 ? window.Outside(px, py, entries + 1) : 0;
            const bool verbatim = !sides && extent <= GeometryLimits::CurveExtent &&
                                  !(flattenCostly && CostlySegments(px, py, entries + 1) > 0);
            if (!verbatim && !copy) {
                return Walk::NeedsCopy;
            } else if (sides) {
                AddChord(px[entries], py[entries], sides, budget, *copy);
            } else if (verbatim) {
                if (copy)
                    for (unsigned k = 0; k < present; ++k)
                        copy->vertices().add_vertex(px[k + 1], py[k + 1], commands[k]);
                segments += CostlySegments(px, py, entries + 1);
            } else {
                // The converter's tolerance, scaled with the size of curves
                // beyond GeometryLimits::CurveExtent, or 1/16 pixel where
                // that is coarser; never a scale of zero, whose tolerance
                // would be a division by zero.
                const double scale = std::max(
                    std::min(std::min(1.0, GeometryLimits::CurveExtent / extent), 8 * Stretch(window.pathMatrix)),
                    1e-300);
                AddCulledCurve(px, py, entries + 1, scale, window, LargeCurveDepth, budget, *copy);
            }
            lastX = px[entries];
            lastY = py[entries];
            atVertex = true;
            index += entries;
            continue;
        }

        if (agg::is_vertex(command)) {
            if (!WithinLimits(x, y))
                return Walk::OutOfLimits;
            largestMagnitude = std::max(largestMagnitude, std::max(std::fabs(x), std::fabs(y)));
        }
        if (copy)
            copy->vertices().add_vertex(x, y, command);
        lastX = x;
        lastY = y;
        atVertex = agg::is_vertex(command);
        ++index;
    }
    end = std::min(index, total);  // a curve at the end may lack its last entries
    return Walk::Complete;
}

// The walk without a copy in parts of whole sub-paths, one on each thread
// of `crew`: each part's walk starts as the whole one stands at a move-to.
// The parts' outcomes are taken in the path's order, as one walk meets
// them; their largest magnitudes and curves combine exactly, their segment
// sums in another order than one walk's. False where the parts cannot
// answer for one walk: a curve reading across a cut, or segments so near
// GeometryLimits::ConverterSegments that the order of the sum could decide.
bool WalkInParts(const PathStorage& source, const CullingWindow& window, DrawCrew& crew, int threads,
                 Walk& walk, double& largestMagnitude, double& segments, unsigned& end, bool& curves) {
    const unsigned total = source.total_vertices();
    const std::size_t wanted = std::min<std::size_t>(total / PreparedPartEntries, std::size_t(threads));
    const std::vector<std::size_t> cuts = CutsAtMoves(
        0, total, wanted, [&source](std::size_t at) { return agg::is_move_to(source.command(unsigned(at))); },
        [total, wanted](std::size_t part) { return std::size_t((unsigned long long)total * part / wanted); });
    const int parts = int(cuts.size()) - 1;
    if (parts < 2)
        return false;
    struct PartWalk {
        Walk walk = Walk::Complete;
        double largest = 0, segments = 0;
        unsigned end = 0;
        bool curves = false;
    };
    std::vector<PartWalk> walks(static_cast<std::size_t>(parts));
    crew.Run(parts, [&](int part) {
        PartWalk& w = walks[std::size_t(part)];
        w.walk = CopyPass(source, nullptr, w.largest, window, false, w.segments, w.end, w.curves,
                          unsigned(cuts[std::size_t(part)]), unsigned(cuts[std::size_t(part) + 1]));
    });
    walk = Walk::Complete;
    largestMagnitude = segments = 0;
    curves = false;
    for (int part = 0; part < parts; ++part) {
        const PartWalk& w = walks[std::size_t(part)];
        const unsigned limit = unsigned(cuts[std::size_t(part) + 1]);
        if (w.walk == Walk::Complete && w.end > limit)
            return false;
        largestMagnitude = std::max(largestMagnitude, w.largest);
        segments += w.segments;
        curves = curves || w.curves;
        end = w.end;
        // An answer other than a complete walk, or a stop entry, ends one walk there.
        if (w.walk != Walk::Complete) {
            walk = w.walk;
            return true;
        }
        if (w.end < limit)
            break;
    }
    // Each order's sum lies within (n - 1) 2^-53 of the exact one, n below 2^32.
    constexpr double margin = 0x1p-16;
    return segments * (1 + margin) <= GeometryLimits::ConverterSegments ||
           segments * (1 - margin) > GeometryLimits::ConverterSegments;
}

// The bytes of the window a walk over curves depends on.
struct WindowKey {
    explicit WindowKey(const CullingWindow& w) {
        const double values[7] = {w.pathMatrix.sx, w.pathMatrix.shy, w.pathMatrix.shx, w.pathMatrix.sy,
                                  w.pathMatrix.tx, w.pathMatrix.ty, w.reach};
        const int sizes[2] = {w.width, w.height};
        std::memcpy(bytes, values, sizeof values);
        std::memcpy(bytes + sizeof values, sizes, sizeof sizes);
    }
    unsigned char bytes[PathStorage::WindowBytes];
    static_assert(PathStorage::WindowBytes == 7 * sizeof(double) + 2 * sizeof(int),
                  "the window's fields fill the key");
};

}  // namespace

bool PrepareForDrawing(const PathStorage& source, PathStorage& copy, StorageReader& reader,
                       double& largestMagnitude, bool& curves, const CullingWindow& window, DrawCrew* crew,
                       int threads) {
    reader = StorageReader();
    // A path drawn again unchanged has the walk's outcome of the last draw:
    // nothing of the window enters a walk over lines, and a walk over
    // curves is the same for the same window's bytes.
    const PathStorage::Checked* known = source.Known();
    if (known && known->curves) {
        const WindowKey key(window);
        if (!source.SameWindow(key.bytes))
            known = nullptr;
    }
    if (known) {
        largestMagnitude = known->largestMagnitude;
        curves = known->curves;
        if (known->withinLimits)
            reader = StorageReader(source, known->end);
        return known->withinLimits;
    }
    double segments;
    unsigned end = 0;
    // Most paths need no change: read them in place, exactly the entries a
    // copy would hold.
    Walk walk;
    if (!(crew && threads > 1 &&
          WalkInParts(source, window, *crew, threads, walk, largestMagnitude, segments, end, curves)))
        walk = CopyPass(source, nullptr, largestMagnitude, window, false, segments, end, curves);
    // The outcomes that read the path in place, or not at all.
    if (walk == Walk::OutOfLimits ||
        (walk == Walk::Complete && segments <= GeometryLimits::ConverterSegments)) {
        const WindowKey key(window);
        source.Remember(walk == Walk::Complete, largestMagnitude, end, curves, key.bytes);
    }
    if (walk == Walk::OutOfLimits)
        return false;
    if (walk == Walk::Complete && segments <= GeometryLimits::ConverterSegments) {
        reader = StorageReader(source, end);
        return true;
    }
    if (walk == Walk::NeedsCopy) {
        if (CopyPass(source, &copy, largestMagnitude, window, false, segments, end, curves) != Walk::Complete)
            return false;
        if (segments <= GeometryLimits::ConverterSegments) {
            reader = StorageReader(copy, copy.total_vertices());
            return true;
        }
        copy.remove_all();
    }
    // The converter would spend more than the budget on costly curves:
    // flatten and cull those here.
    if (CopyPass(source, &copy, largestMagnitude, window, true, segments, end, curves) != Walk::Complete)
        return false;
    reader = StorageReader(copy, copy.total_vertices());
    return true;
}

bool TransformKeepsLimits(const agg::trans_affine& m, double magnitude) {
    const double reachX = (std::fabs(m.sx) + std::fabs(m.shx)) * magnitude + std::fabs(m.tx);
    const double reachY = (std::fabs(m.shy) + std::fabs(m.sy)) * magnitude + std::fabs(m.ty);
    // NaN fails both comparisons.
    return reachX <= GeometryLimits::Coordinate && reachY <= GeometryLimits::Coordinate;
}

}  // namespace Vudadive2R
}  // namespace ORV
