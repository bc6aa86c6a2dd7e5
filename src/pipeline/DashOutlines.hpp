// The outlines of a dashed stroke's dashes, vertex for vertex those of
// agg::conv_stroke over the dasher. Nearly every dash is one straight piece,
// whose outline is its two caps: those are computed by AGG's own cap
// arithmetic directly, without the stroke generator's polyline store and
// state machine. A dash with corners goes through the stroke generator.
#ifndef VUDADIVE2R_PIPELINE_DASHOUTLINES_HPP
#define VUDADIVE2R_PIPELINE_DASHOUTLINES_HPP

#include <agg_math_stroke.h>
#include <agg_vcgen_stroke.h>
#include <agg_vertex_sequence.h>

#include <vector>

namespace ORV {
namespace Vudadive2R {

template <class Dashes>
class DashOutlines {
public:
    // Outlines as `stroker` (an agg::conv_stroke) would, with its width,
    // caps, joins and miter limit.
    template <class Stroker>
    DashOutlines(Dashes& dashes, const Stroker& stroker) : dashes(dashes) {
        generator.width(stroker.width());
        generator.line_cap(stroker.line_cap());
        generator.line_join(stroker.line_join());
        generator.miter_limit(stroker.miter_limit());
        caps.width(stroker.width());
        caps.line_cap(stroker.line_cap());
        caps.line_join(stroker.line_join());
        caps.miter_limit(stroker.miter_limit());
    }
    DashOutlines(const DashOutlines&) = delete;
    DashOutlines& operator=(const DashOutlines&) = delete;

    void rewind(unsigned id) {
        dashes.rewind(id);
        status = Initial;
    }

    unsigned vertex(double* x, double* y) {
        for (;;) {
            switch (status) {
            case Initial:
                lastCommand = dashes.vertex(&startX, &startY);
                status = Gather;
                [[fallthrough]];
            case Gather:
                if (agg::is_stop(lastCommand))
                    return agg::path_cmd_stop;
                GatherDash();
                break;
            case Straight:
                if (emitted < outline.size()) {
                    const agg::point_d& p = outline[emitted];
                    *x = p.x;
                    *y = p.y;
                    return emitted++ ? agg::path_cmd_line_to : agg::path_cmd_move_to;
                }
                status = Gather;
                return agg::path_cmd_end_poly | agg::path_flags_close | agg::path_flags_cw;
            case Generate: {
                const unsigned command = generator.vertex(x, y);
                if (!agg::is_stop(command))
                    return command;
                status = Gather;
                break;
            }
            }
        }
    }

private:
    enum Status { Initial, Gather, Straight, Generate };

    // Reads one dash, as agg::conv_adaptor_vcgen reads a polyline for its
    // generator, and outlines it. The first two points are held here; a
    // third, or anything but line-tos, hands the dash to the generator.
    void GatherDash() {
        agg::point_d first(startX, startY), second(0, 0);
        unsigned count = 1;
        double x, y;
        for (;;) {
            const unsigned command = dashes.vertex(&x, &y);
            if (agg::is_vertex(command)) {
                lastCommand = command;
                if (agg::is_move_to(command)) {
                    startX = x;
                    startY = y;
                    break;
                }
                if (count == 1 && agg::is_line_to(command)) {
                    second = agg::point_d(x, y);
                    count = 2;
                    continue;
                }
                HandOver(first, second, count);
                generator.add_vertex(x, y, command);
            } else if (agg::is_stop(command)) {
                lastCommand = agg::path_cmd_stop;
                break;
            } else if (agg::is_end_poly(command)) {
                HandOver(first, second, count);
                generator.add_vertex(x, y, command);
                break;
            }
        }
        if (count == 2) {
            OutlineStraight(first, second);
        } else if (count > 2) {
            generator.rewind(0);
            status = Generate;
        }
        // A lone point has no outline.
    }

    // Gives the points held so far to the generator, once.
    void HandOver(const agg::point_d& first, const agg::point_d& second, unsigned& count) {
        if (count > 2)
            return;
        generator.remove_all();
        generator.add_vertex(first.x, first.y, agg::path_cmd_move_to);
        if (count == 2)
            generator.add_vertex(second.x, second.y, agg::path_cmd_line_to);
        count = 3;
    }

    // The stroke generator's outline of a polyline of two points: nothing
    // unless they are apart, else the start cap, the end cap and the
    // closing end.
    void OutlineStraight(const agg::point_d& a, const agg::point_d& b) {
        agg::vertex_dist start(a.x, a.y);
        const agg::vertex_dist end(b.x, b.y);
        if (!start(end))
            return;
        outline.clear();
        Appending appending{outline};
        caps.calc_cap(appending, start, end, start.dist);
        caps.calc_cap(appending, end, start, start.dist);
        emitted = 0;
        status = Straight;
    }

    // A vertex consumer for the cap arithmetic that keeps what each cap
    // adds, so that both caps make one outline.
    struct Appending {
        typedef agg::point_d value_type;
        std::vector<agg::point_d>& points;
        void remove_all() {}
        void add(const agg::point_d& p) { points.push_back(p); }
    };

    Dashes& dashes;
    agg::vcgen_stroke generator;
    agg::math_stroke<Appending> caps;
    std::vector<agg::point_d> outline;
    Status status = Initial;
    unsigned lastCommand = agg::path_cmd_stop;
    std::size_t emitted = 0;
    double startX = 0, startY = 0;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
