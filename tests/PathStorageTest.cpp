// The path's compact vertex storage against AGG's own, and what one draw
// reads of it.
#include <gtest/gtest.h>

#include <malloc.h>

#include <agg_path_storage.h>

#include <cmath>
#include <random>

#include "DrawSupport.hpp"
#include "common/Internals.hpp"
#include "pipeline/PathStorage.hpp"

using namespace DrawSupport;

namespace {

// Every path operation the decoder uses, applied alike to either storage.
template <class Storage>
void Apply(Storage& p, int operation, const double* v) {
    switch (operation) {
    case 0: p.move_to(v[0], v[1]); break;
    case 1: p.move_rel(v[0], v[1]); break;
    case 2: p.line_to(v[0], v[1]); break;
    case 3: p.line_rel(v[0], v[1]); break;
    case 4: p.hline_to(v[0]); break;
    case 5: p.hline_rel(v[0]); break;
    case 6: p.vline_to(v[0]); break;
    case 7: p.vline_rel(v[0]); break;
    case 8: p.curve3(v[0], v[1], v[2], v[3]); break;
    case 9: p.curve3_rel(v[0], v[1], v[2], v[3]); break;
    case 10: p.curve3(v[0], v[1]); break;
    case 11: p.curve3_rel(v[0], v[1]); break;
    case 12: p.curve4(v[0], v[1], v[2], v[3], v[4], v[5]); break;
    case 13: p.curve4_rel(v[0], v[1], v[2], v[3], v[4], v[5]); break;
    case 14: p.curve4(v[0], v[1], v[2], v[3]); break;
    case 15: p.curve4_rel(v[0], v[1], v[2], v[3]); break;
    case 16: p.arc_to(v[0], v[1], v[2], v[3] > 0, v[4] > 0, v[5], v[6]); break;
    case 17: p.arc_rel(v[0], v[1], v[2], v[3] > 0, v[4] > 0, v[5], v[6]); break;
    case 18: p.close_polygon(); break;
    default: p.remove_all(); break;
    }
}

}  // namespace

TEST(PathStorage, StoresTheVertexSequenceOfAggStorage) {
    // Random operation sequences, often starting without a move so that the
    // smooth curves and relative commands meet an empty storage.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> operation(0, 19), length(0, 14);
    std::uniform_real_distribution<double> value(-50, 50);
    for (int trial = 0; trial < 2000; ++trial) {
        agg::path_storage reference;
        ORV::Vudadive2R::PathStorage compact;
        for (int n = length(random); n > 0; --n) {
            double v[7];
            for (double& x : v)
                x = value(random);
            const int op = operation(random);
            Apply(reference, op, v);
            Apply(compact, op, v);
        }
        ASSERT_EQ(compact.total_vertices(), reference.total_vertices()) << trial;
        for (unsigned i = 0; i < reference.total_vertices(); ++i) {
            double rx, ry, cx, cy;
            const unsigned rc = reference.vertex(i, &rx, &ry), cc = compact.vertex(i, &cx, &cy);
            ASSERT_EQ(cc, rc) << trial << ", " << i;
            ASSERT_EQ(cx, rx) << trial << ", " << i;
            ASSERT_EQ(cy, ry) << trial << ", " << i;
        }
    }
}

TEST(PathStorage, RectanglePathTakesHundredsOfBytes) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator does not report to mallinfo2";
#else
    Canvas canvas(4, 4);
    const Geometry rectangle = Geometry().Rectangle(0, 0, 2, 2);
    const size_t before = mallinfo2().uordblks;
    std::unique_ptr<Path> path = rectangle.On(canvas);
    // Blocks freed while the vector grew stay counted in the allocator's
    // per-thread cache, hence the margin.
    const size_t used = mallinfo2().uordblks - before;
    EXPECT_LT(used, 1024u);  // AGG's block storage alone takes 8.4 KB
#endif
}

TEST(PathStorage, DrawingStopsAtTheFirstStopEntry) {
    // A stop entry ends what the pipeline reads, whether the path is read in
    // place or copied to flatten an oversized curve: what follows is neither
    // drawn nor checked (a non-finite vertex there would void the draw). The
    // degenerate curve goes out along x = 2 and back, enclosing nothing.
    struct Case { const char* name; bool oversizedCurve; } const cases[] = {{"in place", false}, {"copied", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(16, 16);
        Geometry first;
        if (c.oversizedCurve)
            first.Move(2, 2).Add(PathCommands::QuadTo, {2, 1e10f, 2, 2});
        auto path = first.Rectangle(3, 4, 7, 9).On(canvas);
        Internals::StorageOf(*path).start_new_path();
        const Geometry after = Geometry().Rectangle(10, 10, 14, 14).Line(std::nanf(""), 3);
        path->AppendData(after.commands, after.data);
        path->Draw(FillIn(canvas, kOpaque), nullptr);
        ExpectBlock(canvas, 3, 4, 7, 9, kOpaqueBytes);
    }
}
