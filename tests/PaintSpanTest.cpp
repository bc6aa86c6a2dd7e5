// The arithmetic under the own road's gradient and image spans (division by
// multiplication, wrapped coordinates followed by steps, the vector
// weighing), and both roads on scenes at the edges of that arithmetic: long
// spans, large images, gradient periods of one sixteenth, positions at the
// interpolator's limit.
#include <gtest/gtest.h>

#include <agg_image_accessors.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>

#include "RoadScenes.hpp"
#include "paint/BilinearWeighing.hpp"
#include "paint/ExactDivisor.hpp"
#include "paint/PeriodicCoordinate.hpp"

#ifndef VUDADIVE2R_TEST_THINNING
#define VUDADIVE2R_TEST_THINNING 1
#endif

using namespace ORV::Vudadive2R;

namespace {

// With the quotient's error growing with the dividend, the hardest dividend
// of a divisor d is the largest one whose remainder is d - 1: if that one
// divides exactly, the approximation's error stays below 1/d everywhere.
TEST(ExactDivisor, EveryDivisorAtItsHardestDividend) {
    const uint64_t limit = ExactDivisor::DividendLimit;
    for (uint32_t d = 1; d <= ExactDivisor::Largest; d += (d < 65536 ? 1 : VUDADIVE2R_TEST_THINNING)) {
        const ExactDivisor divisor(d);
        const uint32_t hardest = uint32_t((limit / d) * d - 1);
        const uint32_t largest = uint32_t(limit - 1);
        ASSERT_EQ(divisor.Quotient(hardest), hardest / d) << "divisor " << d;
        ASSERT_EQ(divisor.Quotient(largest), largest / d) << "divisor " << d;
        ASSERT_EQ(divisor.Remainder(largest), largest % d) << "divisor " << d;
    }
}

// Where a gradient's ramp index changes: 256 g / d for g of 0 to d, at
// both sides of every step, for the small divisors and those near the top.
TEST(ExactDivisor, RampIndexStepsAreExact) {
    auto check = [](uint32_t d) {
        const ExactDivisor divisor(d);
        for (uint32_t k = 0; k <= 256; ++k) {
            const uint32_t g = uint32_t((uint64_t(k) * d + 255) / 256);  // first g reaching index k
            if (g > d)
                break;
            ASSERT_EQ(divisor.ScaledQuotient(g, 8), 256 * g / d) << "divisor " << d << " value " << g;
            if (g > 0) {
                ASSERT_EQ(divisor.ScaledQuotient(g - 1, 8), 256 * (g - 1) / d) << "divisor " << d;
            }
        }
    };
    for (uint32_t d = 1; d <= 4096; ++d)
        check(d);
    for (uint32_t d = (1u << 23) - 4096; d < (1u << 23); ++d)
        check(d);
}

TEST(ExactDivisor, OutOfRangeDivisorsDivideByOne) {
    for (uint32_t d : {0u, ExactDivisor::Largest + 1, 0xFFFFFFFFu})
        EXPECT_EQ(ExactDivisor(d).Quotient(12345), 12345u) << d;
}

// A walk of random steps of up to a period each way, from random starts,
// against AGG's wrap modes evaluated afresh at every coordinate.
template <bool Mirrored, class Wrap>
void WalkAgainst(int size, std::mt19937& random) {
    PeriodicCoordinate<Mirrored> coordinate(size);
    const Wrap wrap{unsigned(size)};
    std::uniform_int_distribution<int> start(-(1 << 22), 1 << 22), step(-coordinate.Period(), coordinate.Period());
    int v = start(random);
    coordinate.Start(v);
    for (int i = 0; i < 2000; ++i) {
        if (i % 7 == 0)
            v += step(random);
        else
            v += int(random() % 3) - 1;
        coordinate.Step(v);
        ASSERT_EQ(unsigned(coordinate.Wrapped()), wrap.x(v)) << "size " << size << " at " << v;
        ASSERT_EQ(unsigned(coordinate.WrappedNext()), wrap.x(v + 1)) << "size " << size << " at " << v;
    }
}

// AGG's wrap modes carry state between calls; this evaluates one afresh.
template <class Mode>
struct FreshWrap {
    unsigned size;
    unsigned x(int v) const { return Mode(size)(v); }
};

TEST(PeriodicCoordinate, StepsAgreeWithAggsWrapModes) {
    std::mt19937 random(7);
    for (int size : {1, 2, 3, 7, 256, 1000, 65537, 1 << 20}) {
        WalkAgainst<false, FreshWrap<agg::wrap_mode_repeat>>(size, random);
        WalkAgainst<true, FreshWrap<agg::wrap_mode_reflect>>(size, random);
    }
}

// The sums of the weighted channels, written out: (8192 + sum of w p) >> 14,
// at least 0, alpha at most 255, colour at most alpha.
std::array<int, 4> Weighed(const uint8_t* p[4], const int w[4]) {
    std::array<int, 4> out{};
    for (int c = 0; c < 4; ++c) {
        long sum = 8192;
        for (int i = 0; i < 4; ++i)
            sum += long(w[i]) * p[i][c];
        out[c] = int(std::max(0L, sum >> 14));
    }
    out[3] = std::min(out[3], 255);
    for (int c = 0; c < 3; ++c)
        out[c] = std::min(out[c], out[3]);
    return out;
}

TEST(BilinearWeighing, WorkedFiguresAndClamps) {
    const uint8_t lit[4] = {255, 255, 255, 255}, dark[4] = {0, 0, 0, 0}, grey[4] = {90, 120, 30, 200},
                  translucent[4] = {255, 255, 255, 128}, heavy[4] = {255, 0, 255, 255};
    struct Case {
        const uint8_t* p[4];
        int w[4];
        uint8_t expected[4];
    } cases[] = {
        // Identity placement: an isolated lit pixel keeps 16256 / 16384 of itself.
        {{lit, dark, dark, dark}, {16256, 64, 64, 0}, {253, 253, 253, 253}},
        // Its right neighbour receives 64 / 16384 of it, which rounds to 1.
        {{dark, lit, dark, dark}, {16256, 64, 64, 0}, {1, 1, 1, 1}},
        {{grey, grey, grey, grey}, {16256, 64, 64, 0}, {90, 120, 30, 200}},
        // Colour is limited to alpha.
        {{translucent, translucent, translucent, translucent}, {16256, 64, 64, 0}, {128, 128, 128, 128}},
        // Weights summing above 1 push alpha past 255: clamped, colour with it.
        {{heavy, heavy, heavy, heavy}, {16320, 16320, 16320, 16320}, {255, 0, 255, 255}},
    };
    for (const Case& c : cases) {
        uint8_t out[4];
        WeighBilinear(c.p[0], c.p[1], c.p[2], c.p[3], WeightPair(c.w[0], c.w[1]), WeightPair(c.w[2], c.w[3]), out);
        EXPECT_EQ(std::vector<uint8_t>(out, out + 4), std::vector<uint8_t>(c.expected, c.expected + 4));
    }

    std::mt19937 random(11);
    for (int n = 0; n < 100000; ++n) {
        uint8_t pixels[4][4];
        const uint8_t* p[4];
        int w[4];
        for (int i = 0; i < 4; ++i) {
            for (uint8_t& b : pixels[i])
                b = uint8_t(random());
            p[i] = pixels[i];
            w[i] = n % 3 ? int(random() % 16321) : 32767 - int(random() % 4);
        }
        uint8_t out[4], portable[4];
        WeighBilinear(p[0], p[1], p[2], p[3], WeightPair(w[0], w[1]), WeightPair(w[2], w[3]), out);
        WeighBilinearPortable(p[0], p[1], p[2], p[3], w[0], w[1], w[2], w[3], portable);
        const std::array<int, 4> expected = Weighed(p, w);
        for (int c = 0; c < 4; ++c) {
            ASSERT_EQ(out[c], expected[c]) << "case " << n << " channel " << c;
            ASSERT_EQ(portable[c], expected[c]) << "case " << n << " channel " << c;
        }
    }
}

// A rectangle over the whole surface, drawn with one paint.
RoadScenes::Scene Covering(int width, int height, const RoadScenes::PaintSpec& paint) {
    RoadScenes::Scene s;
    s.width = width, s.height = height;
    s.backdrop.assign(size_t(width) * size_t(height) * 4, 0x40);
    s.path = s.fillPaint = s.strokePaint = s.image = Matrix3::Identity;
    s.commands = {PathCommands::MoveTo, PathCommands::LineTo, PathCommands::LineTo, PathCommands::LineTo,
                  PathCommands::Close};
    s.data = {-1, -1, float(width) + 1, -1, float(width) + 1, float(height) + 1, -1, float(height) + 1};
    s.filled = true;
    s.fillSpec = paint;
    return s;
}

RoadScenes::PaintSpec Linear(float x0, float y0, float x1, float y1, SpreadMode spread) {
    RoadScenes::PaintSpec p;
    p.kind = 1;
    p.geometry[0] = x0, p.geometry[1] = y0, p.geometry[2] = x1, p.geometry[3] = y1;
    p.stops = {{0, {1, 0, 0, 1}}, {0.3f, {0, 1, 0, 0.5f}}, {1, {0, 0, 1, 1}}};
    p.spread = spread;
    return p;
}

// Gradient ranges from one sixteenth to the largest, positions up to and
// beyond the interpolator's reach (2^22 units), in every spread.
TEST(PaintSpanRoads, GradientsAtTheirLimitsDrawTheSameBytes) {
    struct Case {
        const char* what;
        float x0, y0, x1, y1;
        Matrix3 paint;
    } cases[] = {
        {"a gradient a sixteenth long", 3, 0, 3.0625f, 0, Matrix3::Identity},
        {"a gradient under a sixteenth, rounding to one", 3, 0, 3.04f, 0.01f, Matrix3::Identity},
        {"the longest range", 0, 0, 524287.9f, 0, Matrix3::Identity},
        {"far from its start", -4000000, 0, -3999000, 17, Matrix3::Identity},
        {"positions near the interpolator's reach", 0, 0, 97, 13, Matrix3::CreateScale(40000, 40000)},
        {"positions beyond it", 0, 0, 97, 13, Matrix3::CreateScale(90000, 60000)},
        {"mirrored, steep", 20, 5, 21, 300, Matrix3::CreateScale(-3, 1)},
    };
    for (const Case& c : cases)
        for (SpreadMode spread : {SpreadMode::Pad, SpreadMode::Reflect, SpreadMode::Repeat}) {
            RoadScenes::Scene scene = Covering(300, 20, Linear(c.x0, c.y0, c.x1, c.y1, spread));
            scene.fillPaint = c.paint;
            EXPECT_EQ(RoadScenes::CompareRoads(scene), "") << c.what << ", spread " << int(spread);
        }
}

// Images far larger than the random scenes' (up to 300 pixels), spans of 600,
// magnified, minified past a whole period per pixel, rotated and mirrored.
TEST(PaintSpanRoads, WrappedImagesDrawTheSameBytes) {
    std::mt19937 random(5);
    std::uniform_real_distribution<float> unit(0, 1);
    int differing = 0;
    for (int n = 0; n < 200 / VUDADIVE2R_TEST_THINNING + 8; ++n) {
        RoadScenes::PaintSpec paint;
        paint.kind = 3;
        paint.tiling = n % 2 ? TilingMode::Reflect : TilingMode::Repeat;
        paint.imageWidth = 1 + int(random() % 300), paint.imageHeight = 1 + int(random() % 40);
        for (int i = 0; i < paint.imageWidth * paint.imageHeight * 4; ++i)
            paint.image.push_back(uint8_t(random()));
        RoadScenes::Scene scene = Covering(600, 10, paint);
        const float scale = (n % 5 == 0) ? 50 + 500 * unit(random) : 0.05f + 3 * unit(random);
        Matrix3 step, placement = Matrix3::CreateScale(n % 3 ? scale : -scale, scale * (0.5f + unit(random)));
        Matrix3::Multiply(placement, Matrix3::CreateRotation(n % 4 ? 0 : 6.3f * unit(random)), step);
        Matrix3::Multiply(step, Matrix3::CreateTranslation(2000 * unit(random) - 1000, 30 * unit(random)),
                          placement);
        scene.image = placement;
        scene.origin = n % 2 ? Origin::TopLeft : Origin::BottomLeft;
        const std::vector<uint8_t> before = scene.backdrop;
        ASSERT_EQ(RoadScenes::CompareRoads(scene), "") << "scene " << n;
        differing += RoadScenes::Draw(scene, false) != before;
    }
    EXPECT_GT(differing, 100 / VUDADIVE2R_TEST_THINNING);
}

}  // namespace
