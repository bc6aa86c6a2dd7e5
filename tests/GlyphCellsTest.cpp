// Kept cells added at whole-pixel offsets against the edges they were taken
// from, moved: the coverage store's sweep, and the sweep of a pass of cells
// only, give every row the alpha the edges give it.
#include <gtest/gtest.h>

#include <agg_scanline_u.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "raster/DenseRasterizer.hpp"

namespace ORV {
namespace Vudadive2R {
namespace {

// A closed polygon of a few vertices, some on whole or half pixels, within a box of `reach` pixels.
std::vector<std::pair<double, double>> RandomPolygon(std::mt19937& random, double reach) {
    std::vector<std::pair<double, double>> points(3 + random() % 6);
    for (auto& p : points) {
        const auto coordinate = [&] {
            const double v = double(random() % 4096) / 4096 * reach;
            return random() % 3 ? v : std::floor(v * 2) / 2;
        };
        p = {coordinate(), coordinate()};
    }
    return points;
}

void Feed(DenseRasterizer& r, const std::vector<std::vector<std::pair<double, double>>>& shapes, double dx, double dy) {
    for (const auto& shape : shapes)
        for (size_t i = 0; i < shape.size(); ++i)
            r.add_vertex(shape[i].first + dx, shape[i].second + dy, i ? agg::path_cmd_line_to : agg::path_cmd_move_to);
    r.add_vertex(0, 0, agg::path_cmd_end_poly | agg::path_flags_close);
}

// The alpha of every pixel as the scanlines give them.
std::vector<uint8_t> Swept(DenseRasterizer& r, int width, int height) {
    std::vector<uint8_t> alpha(size_t(width) * height);
    if (!r.rewind_scanlines())
        return alpha;
    agg::scanline_u8 scanline;
    scanline.reset(r.min_x(), r.max_x());
    while (r.sweep_scanline(scanline)) {
        auto span = scanline.begin();
        for (unsigned n = scanline.num_spans(); n; --n, ++span)
            for (int k = 0; k < span->len; ++k)
                if (span->x + k >= 0 && span->x + k < width)
                    alpha[size_t(scanline.y()) * width + size_t(span->x + k)] = span->covers[k];
    }
    return alpha;
}

TEST(GlyphCells, AddedAtOffsetsAsTheEdgesMoved) {
    std::mt19937 random(20261209);
    const int width = 300, height = 120;
    for (int trial = 0; trial < 400; ++trial) {
        // A few kept shapes (each one to three polygons), taken in a frame of their own at a
        // fraction of a pixel, placed many times, apart, side by side or over one another.
        struct Kept {
            std::vector<std::vector<std::pair<double, double>>> shapes;
            double fx, fy;
            DenseRasterizer::CellStamp stamp;
        };
        std::vector<Kept> kept(1 + random() % 4);
        DenseRasterizer taker;
        for (Kept& k : kept) {
            const double reach = 2 + double(random() % 30);
            for (unsigned n = 1 + random() % 3; n; --n)
                k.shapes.push_back(RandomPolygon(random, reach));
            k.fx = double(random() % 256) / 256, k.fy = double(random() % 256) / 256;
            taker.SurfaceBounds(64, 64, false);
            taker.reset();
            Feed(taker, k.shapes, 2 + k.fx, 2 + k.fy);
            ASSERT_TRUE(taker.TakeStamp(k.stamp));
        }
        DenseRasterizer edges, cells, mixed;
        for (DenseRasterizer* r : {&edges, &cells, &mixed}) {
            r->SurfaceBounds(width, height, trial % 2 == 1);
            r->reset();
        }
        const bool crowded = trial % 3 == 0;
        const int placements = 1 + int(random() % 40);
        int x = 1;
        for (int p = 0; p < placements; ++p) {
            const Kept& k = kept[random() % kept.size()];
            // Mostly left to right as text goes, sometimes stepping back over what is placed.
            x = crowded ? int(random() % 240) : std::max(1, x + int(random() % 24) - 6);
            const int y = int(random() % 90) - (trial % 5 == 0 ? 0 : 10);
            if (x + 40 > width || y < 0)
                continue;
            Feed(edges, k.shapes, x + 2 + k.fx, y + 2 + k.fy);
            cells.AddStamp(k.stamp, x, y);
            if (p % 2)
                mixed.AddStamp(k.stamp, x, y);
            else
                Feed(mixed, k.shapes, x + 2 + k.fx, y + 2 + k.fy);
        }
        edges.FinishFeed();
        mixed.FinishFeed();
        const std::vector<uint8_t> expected = Swept(edges, width, height);
        EXPECT_EQ(Swept(cells, width, height), expected) << "trial " << trial;
        EXPECT_EQ(Swept(mixed, width, height), expected) << "trial " << trial;
        // The pass of cells only, swept into runs of coverage.
        ASSERT_TRUE(!cells.rewind_scanlines() || cells.StampsOnly());
        std::vector<uint8_t> runs(size_t(width) * height);
        cells.SweepStampRows([&](int from, int row, int length, const uint8_t* covers) {
            for (int k = 0; k < length; ++k)
                if (covers[k]) {
                    ASSERT_TRUE(from + k >= 0 && from + k < width && row >= 0 && row < height);
                    runs[size_t(row) * width + size_t(from + k)] = covers[k];
                }
        });
        EXPECT_EQ(runs, expected) << "trial " << trial;
    }
}

}  // namespace
}  // namespace Vudadive2R
}  // namespace ORV
