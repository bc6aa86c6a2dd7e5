// Dashing as AGG's dasher does it, operation for operation, except that a
// dash whose stroke cannot reach the surface is stepped over instead of
// handed to the stroker. The dashes it does hand on are AGG's own, vertex for
// vertex, so the stroke's bytes are those of AGG's dasher followed by its
// stroker; a dash off the surface costs a few nanoseconds instead of a stroke.
#ifndef VUDADIVE2R_PIPELINE_CULLINGDASHGENERATOR_HPP
#define VUDADIVE2R_PIPELINE_CULLINGDASHGENERATOR_HPP

#include <agg_basics.h>
#include <agg_vertex_sequence.h>

#include <cmath>
#include <vector>

namespace ORV {
namespace Vudadive2R {

// Where a dash can still change pixels, in the transformer's pixels: the
// stroke of a dash lying wholly beyond one of the four lines changes none.
struct DashWindow {
    double left, right, top, bottom;
    // How far a dash's stroke reaches from the dash's points: a straight
    // dash (caps only), and a dash with corners (joins too; infinite where
    // no bound is known).
    double straightReach, cornerReach;
    // The budgets of one pass: pattern entries stepped over (4 each where
    // the step computes a point), and the work of the dashes handed on,
    // each counting `dashWork`.
    double stepBudget, keptBudget, dashWork;
};

// A vertex generator for agg::conv_adaptor_vcgen, like agg::vcgen_dash.
class CullingDashGenerator {
public:
    void AddDash(double length, double gap);
    // As vcgen_dash::dash_start: a negative phase runs on across sub-paths.
    void StartAt(double phase);
    void CullOutside(const DashWindow& window);
    // Restarts the pattern and the budgets: the feed may read the pass twice.
    void StartPass();
    // What the pass has counted against the budgets so far, and whether it
    // ran out of either.
    double Steps() const { return steps; }
    double KeptWork() const { return keptWork; }
    bool Exhausted() const { return exhausted; }

    void remove_all();
    void add_vertex(double x, double y, unsigned command);
    void rewind(unsigned);
    unsigned vertex(double* x, double* y);

private:
    enum Status { Initial, Ready, Polyline, Stop };

    void WalkToOffset(double offset);
    void PlanEdge();
    void BoundFrom(double c1, double c2, double limit);
    void SkipCulledEntries();
    bool CameRound(double rest);
    bool NextDash();
    bool Keep();
    void StartDashAt(double x, double y);
    void ExtendDash(double x, double y);
    double AlongX(double rest) const { return v2->x - (v2->x - v1->x) * rest / v1->dist; }
    double AlongY(double rest) const { return v2->y - (v2->y - v1->y) * rest / v1->dist; }

    // The pattern, as vcgen_dash keeps it.
    double entries[32];
    unsigned entryCount = 0;
    double phase = 0;
    unsigned phaseEntry = 0;
    double phaseOffset = 0;

    DashWindow window{-HUGE_VAL, HUGE_VAL, -HUGE_VAL, HUGE_VAL, 0, 0, HUGE_VAL, HUGE_VAL, 0};
    double steps = 0, keptWork = 0;
    bool exhausted = false;

    agg::vertex_sequence<agg::vertex_dist, 6> vertices;
    unsigned closed = 0;
    Status status = Initial;
    unsigned sourceVertex = 0;
    const agg::vertex_dist* v1 = nullptr;
    const agg::vertex_dist* v2 = nullptr;
    // The walk: the entry, how far into it, and what is left of the edge.
    unsigned entry = 0;
    double entryOffset = 0;
    double edgeRest = 0;
    // Along the current edge, dashes lying wholly at or beyond `restAbove`
    // (towards the edge's start), or wholly at or below `restBelow`, lie
    // beyond one side of the window.
    double restAbove = HUGE_VAL, restBelow = -HUGE_VAL;
    // What was left of the edge when the pattern last came round to its
    // first entry: the same again means the entries are lost in the
    // rounding of the rest, and the dasher would never leave the edge.
    double restAtRound = NAN;

    // The dash being gathered: its start, then its line-tos; or, while
    // emitting, the dash handed on and the next start.
    std::vector<agg::point_d> dash;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    size_t emitted = 0;
    bool emitting = false;
    agg::point_d nextStart{0, 0};
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
