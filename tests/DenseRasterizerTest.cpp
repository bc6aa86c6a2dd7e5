// The dense rasterizer against AGG's: the same edges must sweep into the
// same spans (start, length, covers) on every row, and geometry beyond AGG's
// cell store must still draw completely.
#include <gtest/gtest.h>

#include <agg_rasterizer_scanline_aa.h>
#include <agg_scanline_p.h>

#include <random>
#include <string>
#include <vector>

#include "DrawSupport.hpp"
#include "raster/DenseRasterizer.hpp"

using namespace ORV::Vudadive2R;

namespace {

// One swept row written out: y, then x, signed length and covers per span.
template <class Rasterizer>
std::vector<std::vector<int>> Sweep(Rasterizer& rasterizer, int first, int last) {
    std::vector<std::vector<int>> rows;
    agg::scanline_p8 scanline;
    if (!rasterizer.rewind_scanlines())
        return rows;
    scanline.reset(rasterizer.min_x(), rasterizer.max_x());
    while (rasterizer.sweep_scanline(scanline)) {
        if (scanline.y() < first || scanline.y() > last)
            continue;
        std::vector<int> row{scanline.y()};
        auto span = scanline.begin();
        for (unsigned n = scanline.num_spans(); n; --n, ++span) {
            row.push_back(span->x);
            row.push_back(span->len);
            for (int i = 0; i < (span->len < 0 ? 1 : span->len); ++i)
                row.push_back(span->covers[i]);
        }
        rows.push_back(row);
    }
    return rows;
}

struct Scene {
    std::vector<std::vector<std::pair<double, double>>> contours;
    bool evenOdd;
};

template <class Rasterizer>
void Feed(Rasterizer& rasterizer, const Scene& scene) {
    rasterizer.filling_rule(scene.evenOdd ? agg::fill_even_odd : agg::fill_non_zero);
    for (const auto& contour : scene.contours)
        for (std::size_t i = 0; i < contour.size(); ++i)
            rasterizer.add_vertex(contour[i].first, contour[i].second,
                                  i ? agg::path_cmd_line_to : agg::path_cmd_move_to);
}

}  // namespace

// Random polygons of every scale, partly left of, right of, above and below
// the swept rows, with shallow, steep, vertical and subpixel edges.
TEST(DenseRasterizer, SweepsAggsSpansOnEveryRow) {
    std::mt19937 engine(7);
    auto uniform = [&](double low, double high) { return std::uniform_real_distribution<double>(low, high)(engine); };
    const double scales[] = {0.3, 3, 40, 300, 3000};
    for (int trial = 0; trial < 1500; ++trial) {
        Scene scene;
        scene.evenOdd = trial % 2;
        const double scale = scales[trial % 5];
        const double cx = uniform(-50, 150), cy = uniform(-50, 150);
        const int contours = 1 + int(engine() % 3);
        for (int c = 0; c < contours; ++c) {
            std::vector<std::pair<double, double>> points;
            const int count = 2 + int(engine() % 12);
            for (int i = 0; i < count; ++i) {
                double x = cx + uniform(-scale, scale), y = cy + uniform(-scale, scale);
                if (engine() % 4 == 0)
                    x = std::floor(x);  // axis-aligned and pixel-aligned edges
                if (engine() % 4 == 0 && !points.empty())
                    y = points.back().second;
                points.emplace_back(x, y);
            }
            scene.contours.push_back(points);
        }
        agg::rasterizer_scanline_aa<> reference;
        DenseRasterizer dense;
        const int first = 0, last = 99;
        dense.SweptRows(first, last);
        Feed(reference, scene);
        Feed(dense, scene);
        dense.FinishFeed();
        const auto expected = Sweep(reference, first, last);
        // A sweep abandoned part way must not leave counts behind.
        agg::scanline_p8 abandoned;
        if (dense.navigate_scanline(20 + trial % 30)) {
            abandoned.reset(dense.min_x(), dense.max_x());
            dense.sweep_scanline(abandoned);
        }
        ASSERT_EQ(Sweep(dense, first, last), expected) << "trial " << trial;
        ASSERT_EQ((std::vector<int>{dense.min_x(), dense.max_x(), dense.min_y(), dense.max_y()}),
                  (std::vector<int>{reference.min_x(), reference.max_x(), reference.min_y(), reference.max_y()}));
    }
}

// An even-odd square traversed 2 101 times leaves more cells than AGG's
// rasterizer stores (4 194 304, after which it drops the rest, here the
// left side of the last traversals): the square must still be drawn
// completely, and nothing outside it.
TEST(DenseRasterizer, DrawsPassesBeyondAggsCellStore) {
    DrawSupport::Canvas canvas(1030, 1030);
    DrawSupport::Geometry square;
    for (int pass = 0; pass < 2101; ++pass)
        square.Move(10, 10).Line(10, 1010).Line(1010, 1010).Line(1010, 10);
    square.On(canvas)->Draw(DrawSupport::FillIn(canvas, DrawSupport::kOpaque, FillRule::EvenOdd), nullptr);
    DrawSupport::ExpectBlock(canvas, 10, 10, 1010, 1010, DrawSupport::kOpaqueBytes);
}
