// Sequences of path builder calls with extreme floats, turned into a path
// and drawn.
#include "FuzzSupport.hpp"

using namespace FuzzSupport;

namespace {

// Radians of arc the calls of one input may still sweep: 256 turns.
float arcBudget;

void Call(PathBuilder& builder, FuzzInput& input) {
    auto f = [&] { return input.Coordinate(); };
    switch (input.Byte() % 32) {
    case 0: builder.Close(); break;
    case 1: builder.MoveTo(f(), f()); break;
    case 2: builder.MoveToRel(f(), f()); break;
    case 3: builder.LineTo(f(), f()); break;
    case 4: builder.LineToRel(f(), f()); break;
    case 5: builder.HLineTo(f()); break;
    case 6: builder.HLineToRel(f()); break;
    case 7: builder.VLineTo(f()); break;
    case 8: builder.VLineToRel(f()); break;
    case 9: builder.QuadTo(f(), f(), f(), f()); break;
    case 10: builder.QuadToRel(f(), f(), f(), f()); break;
    case 11: builder.CubicTo(f(), f(), f(), f(), f(), f()); break;
    case 12: builder.CubicToRel(f(), f(), f(), f(), f(), f()); break;
    case 13: builder.SQuadTo(f(), f()); break;
    case 14: builder.SQuadToRel(f(), f()); break;
    case 15: builder.SCubicTo(f(), f(), f(), f()); break;
    case 16: builder.SCubicToRel(f(), f(), f(), f()); break;
    case 17: builder.SCcwArcTo(f(), f(), f(), f(), f()); break;
    case 18: builder.SCcwArcToRel(f(), f(), f(), f(), f()); break;
    case 19: builder.SCwArcTo(f(), f(), f(), f(), f()); break;
    case 20: builder.SCwArcToRel(f(), f(), f(), f(), f()); break;
    case 21: builder.LCcwArcTo(f(), f(), f(), f(), f()); break;
    case 22: builder.LCcwArcToRel(f(), f(), f(), f(), f()); break;
    case 23: builder.LCwArcTo(f(), f(), f(), f(), f()); break;
    case 24: builder.LCwArcToRel(f(), f(), f(), f(), f()); break;
    case 25: builder.Line(f(), f(), f(), f()); break;
    case 26: builder.Rectangle(f(), f(), f(), f()); break;
    case 27: builder.RoundRectangle(f(), f(), f(), f(), f(), f()); break;
    case 28: builder.Ellipse(f(), f(), f(), f()); break;
    case 29:
    case 30: {
        const float x = f(), y = f(), w = f(), h = f(), start = f();
        // A wound arc costs in proportion to what it asks for: every turn
        // is flattened, stroked and clipped in full, since each pass through
        // the surface counts for its bytes. A turn makes up to about 1800
        // segments (the radius at which a curve becomes costly, 3 x 10^5),
        // and a round join up to 18 000 points per turn at the widest line;
        // the worst measured is 1.1 ms a turn plain and 3.8 ms instrumented
        // (a 6 x 10^5 circle about the surface, filled, stroked as wide).
        // So the largest arc the builder takes (32 768 turns) may take two
        // minutes instrumented, linear in the turns; the arcs of one input
        // are kept to 256 turns together (1 s at worst), so that a finding
        // is a fault rather than sheer size.
        const float extent = std::max(-arcBudget, std::min(f(), arcBudget));
        arcBudget -= std::fabs(extent);
        builder.Arc(x, y, w, h, start, extent, ArcType(input.Byte() % 4));
        break;
    }
    default: builder.Clear(); break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    arcBudget = 1608.5f;
    RandomScene scene(input);
    return Expecting([&] {
        PathBuilder builder;
        // A builder call that throws leaves the builder usable: go on.
        while (!input.Empty()) {
            try {
                Call(builder, input);
            } catch (const Exception&) {
            }
        }
        std::unique_ptr<Path> path = builder.ToPath(scene.target.context);
        TimedDraw(*path, scene.fill, scene.stroke);
    });
}
