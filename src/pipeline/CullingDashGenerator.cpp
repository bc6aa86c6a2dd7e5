#include "pipeline/CullingDashGenerator.hpp"

#include <algorithm>

#include "agg/PolylineInput.hpp"

namespace ORV {
namespace Vudadive2R {

// ---------------------------------------------------------------- pattern

void CullingDashGenerator::AddDash(double length, double gap) {
    if (entryCount < 32) {
        entries[entryCount++] = length;
        entries[entryCount++] = gap;
    }
}

void CullingDashGenerator::StartAt(double start) {
    phase = start;
    WalkToOffset(std::fabs(start));
    phaseEntry = entry;
    phaseOffset = entryOffset;
}

// The dasher's walk to an offset into the pattern. It runs once per pass
// rather than once per sub-path: the result is the same each time.
void CullingDashGenerator::WalkToOffset(double offset) {
    entry = 0;
    entryOffset = 0;
    if (entryCount < 2)
        return;
    // Float entries summed in doubles advance by the period each round; the
    // bound only guards the loop.
    for (unsigned long walked = 0; offset > 0 && walked < (1ul << 26); ++walked) {
        if (offset > entries[entry]) {
            offset -= entries[entry];
            if (++entry >= entryCount)
                entry = 0;
            entryOffset = 0;
        } else {
            entryOffset = offset;
            offset = 0;
        }
    }
}

void CullingDashGenerator::CullOutside(const DashWindow& cullWindow) { window = cullWindow; }

void CullingDashGenerator::StartPass() {
    steps = keptWork = 0;
    exhausted = false;
    entry = phaseEntry;
    entryOffset = phaseOffset;
}

// ---------------------------------------------------------- vertex generator

void CullingDashGenerator::remove_all() {
    status = Initial;
    vertices.remove_all();
    closed = 0;
}

void CullingDashGenerator::add_vertex(double x, double y, unsigned command) {
    status = Initial;
    AddPolylineVertex(vertices, closed, x, y, command);
}

void CullingDashGenerator::rewind(unsigned) {
    if (status == Initial)
        vertices.close(closed != 0);
    status = Ready;
    emitting = false;
}

unsigned CullingDashGenerator::vertex(double* x, double* y) {
    for (;;) {
        if (emitting) {
            if (emitted < dash.size()) {
                *x = dash[emitted].x;
                *y = dash[emitted].y;
                return emitted++ ? agg::path_cmd_line_to : agg::path_cmd_move_to;
            }
            emitting = false;
            StartDashAt(nextStart.x, nextStart.y);
        }
        switch (status) {
        case Initial:
            rewind(0);
            [[fallthrough]];
        case Ready:
            if (entryCount < 2 || vertices.size() < 2 || exhausted)
                return agg::path_cmd_stop;
            status = Polyline;
            sourceVertex = 1;
            v1 = &vertices[0];
            v2 = &vertices[1];
            edgeRest = v1->dist;
            if (phase >= 0) {
                entry = phaseEntry;
                entryOffset = phaseOffset;
            }
            StartDashAt(v1->x, v1->y);
            PlanEdge();
            break;
        case Polyline:
            emitting = NextDash();
            emitted = 0;
            break;
        case Stop:
            return agg::path_cmd_stop;
        }
    }
}

// ------------------------------------------------------------------ the walk

// Walks the dasher's steps to the end of the next dash it keeps; false when
// the polyline ends first. Every point is computed as the dasher computes
// it. Where the dasher would emit a move-to (the end of a gap, or an edge's
// end within one) the dash gathered so far ends, and the move starts the
// next; a line-to (within a dash) extends it.
bool CullingDashGenerator::NextDash() {
    while (status == Polyline) {
        if (dash.size() == 1)
            SkipCulledEntries();
        if (exhausted)
            break;
        const double entryRest = entries[entry] - entryOffset;
        const bool inDash = !(entry & 1);
        double x, y;
        if (edgeRest > entryRest) {
            // The entry ends within this edge.
            steps += 4;
            if (steps > window.stepBudget) {
                exhausted = true;
                break;
            }
            edgeRest -= entryRest;
            if (++entry >= entryCount) {
                entry = 0;
                if (!CameRound(edgeRest))
                    break;
            }
            entryOffset = 0;
            x = AlongX(edgeRest);
            y = AlongY(edgeRest);
        } else {
            // The edge ends within this entry.
            entryOffset += edgeRest;
            x = v2->x;
            y = v2->y;
            ++sourceVertex;
            v1 = v2;
            edgeRest = v1->dist;
            const unsigned size = vertices.size();
            if (closed ? sourceVertex > size : sourceVertex >= size) {
                status = Stop;
            } else {
                v2 = &vertices[sourceVertex >= size ? 0 : sourceVertex];
                PlanEdge();
            }
        }
        if (inDash) {
            ExtendDash(x, y);
        } else if (dash.size() > 1) {
            nextStart = agg::point_d(x, y);
            if (Keep())
                return true;
            StartDashAt(x, y);
        } else {
            StartDashAt(x, y);
        }
    }
    if (exhausted) {
        status = Stop;
        return false;
    }
    return dash.size() > 1 && Keep();
}

void CullingDashGenerator::StartDashAt(double x, double y) {
    dash.clear();
    dash.push_back(agg::point_d(x, y));
    minX = maxX = x;
    minY = maxY = y;
}

void CullingDashGenerator::ExtendDash(double x, double y) {
    dash.push_back(agg::point_d(x, y));
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
}

// True when the gathered dash's stroke may change pixels of the window,
// within the budget of kept dashes.
bool CullingDashGenerator::Keep() {
    // Points closer than the stroker's epsilon are merged into one, which
    // it does not stroke: such a dash is free to drop.
    if ((maxX - minX) + (maxY - minY) < 0.5 * agg::vertex_dist_epsilon)
        return false;
    const double reach = dash.size() > 2 ? window.cornerReach : window.straightReach;
    if (maxX < window.left - reach || minX > window.right + reach || maxY < window.top - reach ||
        minY > window.bottom + reach)
        return false;
    // The dash that runs over the budget is still drawn.
    if (keptWork > window.keptBudget) {
        exhausted = true;
        status = Stop;
        return false;
    }
    keptWork += window.dashWork;
    return true;
}

// ------------------------------------------------------- stepping over dashes

// Called as the pattern comes round to its first entry with `rest` left of
// the edge: false, ending the pass's dashing, when a whole period left the
// rest as it was, so that the dasher would go round for ever.
bool CullingDashGenerator::CameRound(double rest) {
    if (rest == restAtRound) {
        exhausted = true;
        status = Stop;
        return false;
    }
    restAtRound = rest;
    return true;
}

// Where along the current edge straight dashes lie wholly beyond one side.
// A point of the edge is v2 - (v2 - v1) * rest / dist; in each coordinate
// that is monotonic in `rest`, so a bound checked with the dasher's own
// arithmetic holds for every rest beyond it, whatever rounding does between.
void CullingDashGenerator::PlanEdge() {
    restAtRound = NAN;
    restAbove = HUGE_VAL;
    restBelow = -HUGE_VAL;
    const double x1 = v1->x, y1 = v1->y, x2 = v2->x, y2 = v2->y;
    const double magnitude = std::max(std::max(std::fabs(x1), std::fabs(x2)), std::max(std::fabs(y1), std::fabs(y2)));
    // A pixel more than the dash test allows, and the rounding of a point
    // recomputed from its rest (the first of a polyline is v1 itself).
    const double reach = window.straightReach + 1 + magnitude * 0x1p-40;
    const double left = window.left - reach, right = window.right + reach;
    const double top = window.top - reach, bottom = window.bottom + reach;
    if (std::min(x1, x2) >= left && std::max(x1, x2) <= right && std::min(y1, y2) >= top &&
        std::max(y1, y2) <= bottom)
        return;
    BoundFrom(x1, x2, left);
    BoundFrom(-x1, -x2, -right);  // negation commutes exactly with the arithmetic
    BoundFrom(y1, y2, top);
    BoundFrom(-y1, -y2, -bottom);
}

// Narrows the bounds by the rests at which the coordinate running from `c1`
// to `c2` along the edge is below `limit`.
void CullingDashGenerator::BoundFrom(double c1, double c2, double limit) {
    const double dist = v1->dist;
    auto along = [&](double rest) { return c2 - (c2 - c1) * rest / dist; };
    if (c1 == c2) {
        if (c2 < limit) {
            restAbove = -HUGE_VAL;
            restBelow = HUGE_VAL;
        }
        return;
    }
    // Aim half a pixel deeper, then make sure with the dasher's arithmetic.
    double rest = (c2 - (limit - 0.5)) * dist / (c2 - c1);
    double step = std::fabs(rest) * 0x1p-44 + 0.5;
    const bool falling = c2 > c1;  // the coordinate falls as the rest grows
    for (int attempt = 0; attempt < 4; ++attempt, rest += falling ? step : -step, step *= 16) {
        if (along(rest) < limit) {
            if (falling)
                restAbove = std::min(restAbove, rest);
            else
                restBelow = std::max(restBelow, rest);
            return;
        }
    }
}

// Steps the dasher over entries while no dash is gathered, as long as each
// dash met lies within the edge and beyond one side: no point is computed
// until the walk stops, at the start of a dash that may be kept or at an
// entry running past the edge's end.
void CullingDashGenerator::SkipCulledEntries() {
    if (restAbove == HUGE_VAL && restBelow == -HUGE_VAL)
        return;
    double rest = edgeRest, offset = entryOffset;
    unsigned at = entry;
    const double room = window.stepBudget - steps;
    double moved = 0;
    for (;;) {
        const double entryRest = entries[at] - offset;
        if (!(rest > entryRest))
            break;
        const double after = rest - entryRest;
        if (!(at & 1) && !(std::min(rest, after) >= restAbove || std::max(rest, after) <= restBelow))
            break;
        if (++moved > room) {
            exhausted = true;
            return;
        }
        rest = after;
        offset = 0;
        if (++at >= entryCount) {
            at = 0;
            if (!CameRound(rest))
                return;
        }
    }
    if (moved == 0)
        return;
    steps += moved;
    edgeRest = rest;
    entry = at;
    entryOffset = offset;
    StartDashAt(AlongX(rest), AlongY(rest));
}

}  // namespace Vudadive2R
}  // namespace ORV
