// Gradient paints: worked figures, degenerate and hostile paints, the C interface.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <stdexcept>

#include "DrawSupport.hpp"

using namespace DrawSupport;
using TestSupport::FillWith;

namespace {

const Color kRed{1, 0, 0, 1}, kBlue{0, 0, 1, 1}, kWhite{1, 1, 1, 1}, kBlack{0, 0, 0, 1};
const std::vector<ColorStop> kRedBlue{{0, kRed}, {1, kBlue}};
const float kNaN = std::numeric_limits<float>::quiet_NaN(), kInf = std::numeric_limits<float>::infinity();

}  // namespace

TEST(GradientPaint, WorkedFigures) {
    // Linear, red to blue from (0, 0) to (100, 0): d2 = 1600 sixteenths;
    // column c samples 16c + 8 and takes entry (16c + 8) x 256 / 1600. Entry
    // k is red 1 - k / 257, blue k / 257 (the last stop sits at index 256),
    // each x 255 + 0.5 truncated. Half-transparent stops premultiply once,
    // in the pixel format, flag or not.
    //
    // Radial, white to black, radius 50 (800 sixteenths) around (60.5,
    // 40.5), so that pixel centres of row 40 lie whole units from it: grey
    // 1 - k / 257 is 128 at 25 units, 2 (entry 255) from 50. Repeat folds
    // 60 units to 10 (entry 51), reflect to 40 (entry 204). A focus 30 to
    // the right leaves 20 units to the circle on the right and 80 on the
    // left: 10 and 40 units from it are half way. A focus on the circle
    // moves a sixteenth in; the centre is then half way along its ray.
    typedef SpreadMode S;
    const Color halfRed{1, 0, 0, 0.5f}, halfBlue{0, 0, 1, 0.5f};
    const std::vector<ColorStop> radial{{0, kWhite}, {1, kBlack}};
    const std::vector<float> linear{0, 0, 100, 0}, centred{60.5f, 40.5f, 50, 60.5f, 40.5f};
    struct Case { std::vector<ColorStop> stops; SpreadMode spread; std::vector<float> g; int column; uint32_t expected;
                  bool premultiplier = false; };
    const Case cases[] = {
        {kRedBlue, S::Pad, linear, 0, 0xFE0001FF},    // entry 1
        {kRedBlue, S::Pad, linear, 50, 0x7F0080FF},   // entry 129: an even mix
        {kRedBlue, S::Pad, linear, 150, 0x0200FDFF},  // entry 255: 255/257 of the way
        {{{0, kRed}, {0.9f, kBlue}}, S::Pad, linear, 90, 0x0000FFFF},  // 0.9 at 230, column 90 at 231
        {kRedBlue, S::Repeat, linear, 130, 0xB2004DFF},   // 2088 mod 1600 = 488: entry 78
        {kRedBlue, S::Reflect, linear, 130, 0x4F00B0FF},  // 3200 - 2088 = 1112: entry 177
        {{{0, halfRed}, {1, halfBlue}}, S::Pad, linear, 50, 0x40004080, true},
        {radial, S::Pad, centred, 60, 0xFFFFFFFF},
        {radial, S::Pad, centred, 85, 0x808080FF},
        {radial, S::Pad, centred, 110, 0x020202FF},
        {radial, S::Repeat, centred, 120, 0xCCCCCCFF},
        {radial, S::Reflect, centred, 120, 0x353535FF},
        {radial, S::Pad, {60.5f, 40.5f, 50, 90.5f, 40.5f}, 100, 0x808080FF},
        {radial, S::Pad, {60.5f, 40.5f, 50, 90.5f, 40.5f}, 50, 0x808080FF},
        {radial, S::Pad, {60.5f, 40.5f, 50, 110.5f, 40.5f}, 60, 0x808080FF},
    };
    for (const Case& c : cases) {
        Canvas canvas(180, 42);
        auto paint = Gradient(canvas, c.stops, c.spread, c.g);
        paint->ColorRampPremultiplierEnabled = c.premultiplier;
        Geometry().Rectangle(-60, -10, 300, 60).On(canvas)->Draw(FillWith(paint), nullptr);
        for (int row = 0; row < 42; row += c.g.size() == 5 ? 42 : 1)
            EXPECT_EQ(canvas.At(c.column, c.g.size() == 5 ? 40 : row), c.expected) << &c - cases;
    }
}

TEST(GradientPaint, DegenerateAndHostilePaintsGiveDefinedPixels) {
    // Drawn with BlendMode::Source: a single colour shows as its bytes (2.0
    // gives 254, -0.5 gives 0). `opaque`: only defined arithmetic is checked
    // (by the sanitizer build), and that every pixel is opaque.
    const uint32_t opaque = 1;
    const Color hot{2, -0.5f, 0.5f, 1};
    struct Case { std::vector<ColorStop> stops; std::vector<float> g; float paintScale; uint32_t expected; };
    const Case cases[] = {
        {{}, {0, 0, 10, 0}, 1, 0},
        {{{0.3f, hot}}, {0, 0, 10, 0}, 1, 0xFE0080FF},
        {{{-1, hot}, {-0.5f, kRed}, {kNaN, kBlue}}, {10, 10, 5, 10, 10}, 1, 0xFE0080FF},  // one offset left
        {{{0, hot}, {1, hot}}, {10, 10, 5, 10, 10}, 1, 0xFE0080FF},  // every entry converted alike
        {{{kNaN, kRed}, {0.5f, kBlue}, {kInf, kWhite}}, {0, 0, 10, 0}, 1, opaque},
        {{{0, hot}, {1, {-3, 1e30f, kNaN, 1}}}, {0, 0, 10, 0}, 1, opaque},
        {kRedBlue, {5, 5, 5, 5}, 1, 0},                 // start = end
        {kRedBlue, {5, 5, 5.01f, 5}, 1, 0},             // 0.16 sixteenths long
        {kRedBlue, {10, 10, 0.01f, 10, 10}, 1, 0},      // radius 0 sixteenths
        {kRedBlue, {10, 10, -5, 10, 10}, 1, 0},
        {kRedBlue, {kNaN, 0, 10, 0}, 1, 0},
        {kRedBlue, {0, 0, 6e5f, 0}, 1, 0},              // longer than 2^19 units
        {kRedBlue, {kInf, 10, 5, 10, 10}, 1, 0},
        {kRedBlue, {10, 10, 5, 1e30f, 10}, 1, 0},
        {kRedBlue, {0, 0, 10, 0}, 0, 0},                // singular paint transform
        // Paint positions beyond the interpolator's range; a focus far
        // outside the circle: large values, square roots of negatives.
        {kRedBlue, {1e7f, 0, 1e7f + 16, 0}, 1, 0xFF0000FF},
        {kRedBlue, {0, 0, 10, 0}, 1e-9f, 0x0200FDFF},
        {kRedBlue, {10, 10, 5, 10, 10}, 1e-9f, 0x0200FDFF},
        {kRedBlue, {10, 10, 5, 400, -300}, 1, opaque},
        {kRedBlue, {10, 10, 5, 15.001f, 10}, 1e-3f, opaque},
    };
    for (const Case& c : cases) {
        Canvas canvas(20, 20);
        canvas.surface.Fill(10, 20, 30, 40);
        canvas.State().blendMode = BlendMode::Source;
        canvas.context->transforms->fillPaint->Scale(c.paintScale, c.paintScale);
        Geometry().Rectangle(2, 2, 18, 18).On(canvas)->Draw(FillWith(Gradient(canvas, c.stops, SpreadMode::Pad, c.g)),
                                                            nullptr);
        for (int i = 2; i < 18; i += 3)
            if (c.expected == opaque)
                EXPECT_EQ(canvas.At(i, 19 - i) & 0xFF, 0xFFu) << &c - cases;
            else
                EXPECT_EQ(canvas.At(i, 19 - i), c.expected) << &c - cases;
        EXPECT_EQ(canvas.At(0, 0), 0x0A141E28u);
    }
}
