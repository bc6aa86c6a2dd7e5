#include "path/PathCopy.hpp"

#include <algorithm>
#include <cmath>

#include <agg_curves.h>

namespace ORV {
namespace Vudadive2R {

namespace {

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

enum class Walk { OutOfLimits, Complete, NeedsCopy };

// Checks the entries up to the first stop against the limits and finds
// where the pipeline stops reading (`end`). Without a copy it stops at the
// first oversized curve and asks for one; with a copy it adds every entry,
// oversized curves flattened.
Walk WalkForDrawing(const PathStorage& source, PathStorage* copy, double& largestMagnitude, unsigned& end) {
    largestMagnitude = 0;
    // Where the curve converter starts the next curve: the coordinates of the
    // last entry it read, whatever its command.
    double lastX = 0, lastY = 0;
    const unsigned total = source.total_vertices();
    unsigned index = 0;
    while (index < total) {
        double x, y;
        const unsigned command = source.vertex(index, &x, &y);
        if (agg::is_stop(command))
            break;

        if (command == agg::path_cmd_curve3 || command == agg::path_cmd_curve4) {
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
            if (extent <= GeometryLimits::CurveExtent) {
                if (copy)
                    for (unsigned k = 0; k < present; ++k)
                        copy->vertices().add_vertex(px[k + 1], py[k + 1], commands[k]);
            } else if (!copy) {
                return Walk::NeedsCopy;
            } else if (entries == 2) {
                agg::curve3 curve;  // the scale must be set before init
                curve.approximation_scale(GeometryLimits::CurveExtent / extent);
                curve.init(px[0], py[0], px[1], py[1], px[2], py[2]);
                AddFlattened(curve, *copy);
            } else {
                agg::curve4 curve;
                curve.approximation_scale(GeometryLimits::CurveExtent / extent);
                curve.init(px[0], py[0], px[1], py[1], px[2], py[2], px[3], py[3]);
                AddFlattened(curve, *copy);
            }
            lastX = px[entries];
            lastY = py[entries];
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
        ++index;
    }
    end = std::min(index, total);  // a curve at the end may lack its last entries
    return Walk::Complete;
}

}  // namespace

// Without an oversized curve the copy would hold exactly the entries before
// `end`, so reading those in place gives the same vertex sequence.
bool PrepareForDrawing(const PathStorage& source, PathStorage& copy, StorageReader& reader,
                       double& largestMagnitude) {
    unsigned end = 0;
    reader = StorageReader();
    Walk walk = WalkForDrawing(source, nullptr, largestMagnitude, end);
    if (walk == Walk::Complete) {
        reader = StorageReader(source, end);
        return true;
    }
    if (walk == Walk::NeedsCopy && WalkForDrawing(source, &copy, largestMagnitude, end) == Walk::Complete) {
        reader = StorageReader(copy, copy.total_vertices());
        return true;
    }
    return false;
}

bool TransformKeepsLimits(const agg::trans_affine& m, double magnitude) {
    const double reachX = (std::fabs(m.sx) + std::fabs(m.shx)) * magnitude + std::fabs(m.tx);
    const double reachY = (std::fabs(m.shy) + std::fabs(m.sy)) * magnitude + std::fabs(m.ty);
    // NaN fails both comparisons.
    return reachX <= GeometryLimits::Coordinate && reachY <= GeometryLimits::Coordinate;
}

}  // namespace Vudadive2R
}  // namespace ORV
