// Pixels of the drawing pipeline: coverage for both origins, transforms,
// every blend mode, scissor boxes, caps, joins, dashes, the stroke's filling
// rule, curve flattening, exceptions and what was drawn before them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "DrawSupport.hpp"
#include "common/Internals.hpp"
#include "path/AggPipeline.hpp"
#include "path/PathStorage.hpp"

using namespace DrawSupport;

namespace {

const Color kRed{1, 0, 0, 1};
const Color kOpaque{0.2f, 0.4f, 0.6f, 1};  // bytes 51, 102, 153, 255
const uint32_t kOpaqueBytes = 0x336699FF;

// A paint that counts its calls and may throw, to observe the pipeline.
class ProbePaint : public Paint {
public:
    ProbePaint(const std::shared_ptr<Context2D>& context, bool throws) : Paint(context), throws(throws) {}
    void Rasterize(void* rasterizer, void*, void*, void*) override {
        ++calls;
        cells = static_cast<Rasterizer*>(rasterizer)->rewind_scanlines();
        if (throws)
            throw NotSupportedException();
    }
    bool throws;
    int calls = 0;
    bool cells = false;
};

// Every pixel in memory rows [top, bottom) and columns [left, right) holds
// `inside`; every other pixel holds `outside`.
void ExpectBlock(Canvas& canvas, int left, int top, int right, int bottom, uint32_t inside, uint32_t outside) {
    for (int row = 0; row < canvas.surface.height; ++row)
        for (int column = 0; column < canvas.surface.width; ++column) {
            const bool in = column >= left && column < right && row >= top && row < bottom;
            ASSERT_EQ(canvas.At(column, row), in ? inside : outside) << column << ", " << row;
        }
}

}  // namespace

TEST(Draw, RectangleCoverageForBothOrigins) {
    // Origin 7 is not zero, so it draws as top-left.
    struct Case {
        Origin origin;
        int top;
    };
    const Case cases[] = {{Origin::TopLeft, 10}, {Origin::BottomLeft, 32 - 20}, {Origin(7), 10}};
    for (const Case& c : cases) {
        Canvas canvas(30, 32, c.origin);
        auto path = Geometry().Rectangle(10, 10, 20, 20).On(canvas);
        path->Draw(FillIn(canvas, kOpaque), nullptr);
        ExpectBlock(canvas, 10, c.top, 20, c.top + 10, kOpaqueBytes, 0);
    }
}

TEST(Draw, AnOpenSubPathIsFilledAsIfClosed) {
    Canvas canvas(30, 30);
    Geometry().Move(10, 10).Line(20, 10).Line(20, 20).Line(10, 20).On(canvas)->Draw(FillIn(canvas, kOpaque), nullptr);
    ExpectBlock(canvas, 10, 10, 20, 20, kOpaqueBytes, 0);
}

TEST(Draw, PathTransformMovesAndScalesTheFillButNotTheLineWidth) {
    {
        Canvas canvas(30, 30);
        canvas.PathTransform().Translate(5, 0);
        Geometry().Rectangle(10, 10, 20, 20).On(canvas)->Draw(FillIn(canvas, kOpaque), nullptr);
        ExpectBlock(canvas, 15, 10, 25, 20, kOpaqueBytes, 0);
    }
    {
        Canvas canvas(30, 30);
        canvas.PathTransform().Scale(2, 2);
        Geometry().Rectangle(2, 2, 5, 5).On(canvas)->Draw(FillIn(canvas, kOpaque), nullptr);
        ExpectBlock(canvas, 4, 4, 10, 10, kOpaqueBytes, 0);
    }
    {
        // y = 5.25 maps to 10.5: width 1 covers row 10 exactly, in pixels.
        Canvas canvas(30, 30);
        canvas.PathTransform().Scale(2, 2);
        Geometry().Move(1, 5.25f).Line(10, 5.25f).On(canvas)->Draw(nullptr, StrokeIn(canvas, kOpaque, 1));
        ExpectBlock(canvas, 2, 10, 20, 11, kOpaqueBytes, 0);
    }
}

TEST(Draw, CurvesAreFlattenedBeforeThePathTransform) {
    // A unit circle in path units is flattened with 0.5 path units of
    // tolerance: each quarter becomes three chords through the points at
    // ((7 + k) / 8, (4k + 1) / 8) and its mirror, radius 1.026 near 23
    // degrees, and the middle chord passes 0.951 from the centre at 45
    // degrees. Scaled by 100 those corners show; a circle of radius 100 in
    // path units is smooth.
    Canvas polygon(240, 240), smooth(240, 240);
    polygon.PathTransform().Scale(100, 100);
    polygon.PathTransform().Translate(120, 120);
    Geometry().Circle(0, 0, 1).On(polygon)->Draw(FillIn(polygon, kOpaque), nullptr);
    Geometry().Circle(120, 120, 100).On(smooth)->Draw(FillIn(smooth, kOpaque), nullptr);

    // At 45 degrees, radius 97.6 to 99.0: inside the circle, beyond the chord.
    EXPECT_EQ(polygon.At(189, 189), 0u);
    EXPECT_EQ(smooth.At(189, 189), kOpaqueBytes);
    // At 23 degrees, radius 100.8 to 102.2: outside the circle, inside the
    // bulge of the flattened one.
    EXPECT_EQ(polygon.At(213, 159), kOpaqueBytes);
    EXPECT_EQ(smooth.At(213, 159), 0u);
}

namespace {

struct Pixel {
    int r, g, b, a;
};

// The compositing of one fully covered pixel, from the formulas of each
// blend mode with the arithmetic of the 8-bit pixel format: the source is
// premultiplied as (C x A + 255) >> 8; source-over works in bytes with
// rounding multiplication; the other operations work in fractions of 255
// and round each result to the nearest byte.
Pixel Composite(BlendMode mode, Pixel d, Pixel straight) {
    auto premultiply = [&](int c) { return (c * straight.a + 255) >> 8; };
    const Pixel s{premultiply(straight.r), premultiply(straight.g), premultiply(straight.b), straight.a};
    if (mode == BlendMode::Source)
        return s;
    if (mode == BlendMode::SourceOver) {
        auto multiply = [](int a, int b) {
            const int t = a * b + 128;
            return ((t >> 8) + t) >> 8;
        };
        return {d.r + s.r - multiply(d.r, s.a), d.g + s.g - multiply(d.g, s.a), d.b + s.b - multiply(d.b, s.a),
                d.a + s.a - multiply(d.a, s.a)};
    }
    // The expressions in the order the operations evaluate them.
    const double sa = s.a / 255.0, da = d.a / 255.0, s1a = 1 - sa, d1a = 1 - da;
    const double sc[3] = {s.r / 255.0, s.g / 255.0, s.b / 255.0};
    const double dc[3] = {d.r / 255.0, d.g / 255.0, d.b / 255.0};
    double out[3], outA = da + (sa - sa * da);
    bool clip = true;
    for (int i = 0; i < 3; ++i) {
        const double S = sc[i], D = dc[i];
        switch (mode) {
        case BlendMode::DestinationOver: out[i] = D + S * d1a; outA = da + sa * d1a; clip = false; break;
        case BlendMode::SourceIn: out[i] = S * da; outA = sa * da; clip = false; break;
        case BlendMode::DestinationIn: out[i] = D * sa; outA = da * sa; clip = false; break;
        case BlendMode::Multiply: out[i] = S * D + S * d1a + D * s1a; break;
        case BlendMode::Screen: out[i] = D + (S - S * D); break;
        case BlendMode::Darken: out[i] = std::min(S * da, D * sa) + S * d1a + D * s1a; break;
        case BlendMode::Lighten: out[i] = std::max(S * da, D * sa) + S * d1a + D * s1a; break;
        case BlendMode::Plus:
            outA = std::min(da + sa, 1.0);
            out[i] = std::min(D + S, outA);
            break;
        default: ADD_FAILURE(); return d;
        }
    }
    if (clip) {
        outA = std::max(0.0, std::min(outA, 1.0));
        for (double& c : out)
            c = std::max(0.0, std::min(c, outA));
    }
    auto byte = [](double v) { return int(unsigned(v * 255 + 0.5)); };
    return {byte(out[0]), byte(out[1]), byte(out[2]), byte(outA)};
}

uint32_t Packed(Pixel p) {
    return (uint32_t(p.r) << 24) | (uint32_t(p.g) << 16) | (uint32_t(p.b) << 8) | uint32_t(p.a);
}

}  // namespace

TEST(Draw, EveryBlendModeAtFullCoverageAndOutsideTheShape) {
    // Destinations are valid premultiplied pixels; colours convert to bytes
    // as c x 255 + 0.5 truncated.
    const Pixel destinations[] = {{200, 100, 50, 255}, {60, 120, 30, 160}, {0, 0, 0, 0}};
    struct Source {
        Color color;
        Pixel bytes;
    };
    const Source sources[] = {{{0.8f, 0.3f, 0.5f, 0.6f}, {204, 77, 128, 153}},
                              {{0.2f, 0.9f, 0.4f, 1}, {51, 229, 102, 255}},
                              {{1 / 255.0f, 1 / 255.0f, 0, 1 / 255.0f}, {1, 1, 0, 1}}};
    for (int mode = 0; mode <= 9; ++mode)
        for (const Pixel& d : destinations)
            for (const Source& s : sources) {
                Canvas canvas(6, 6);
                canvas.surface.Fill(uint8_t(d.r), uint8_t(d.g), uint8_t(d.b), uint8_t(d.a));
                canvas.State().blendMode = BlendMode(mode);
                Geometry().Rectangle(1, 1, 4, 4).On(canvas)->Draw(FillIn(canvas, s.color), nullptr);
                const uint32_t expected = Packed(Composite(BlendMode(mode), d, s.bytes));
                SCOPED_TRACE(testing::Message() << "mode " << mode << " destination alpha " << d.a << " source "
                                                << s.bytes.r);
                ExpectBlock(canvas, 1, 1, 4, 4, expected, Packed(d));
            }
}

TEST(Draw, WorkedBlendFigures) {
    struct Case {
        BlendMode mode;
        Color color;
        Pixel destination;
        uint32_t expected;
    };
    const Case cases[] = {
        {BlendMode::SourceOver, {1, 0, 0, 0.5f}, {255, 255, 255, 255}, 0xFF7F7FFF},
        {BlendMode::Source, {1, 0, 0, 0.5f}, {255, 255, 255, 255}, 0x80000080},
        {BlendMode::Plus, {0.6f, 0.6f, 0.6f, 1}, {153, 153, 153, 255}, 0xFFFFFFFF},
        {BlendMode::Multiply, {1, 1, 1, 1}, {12, 200, 99, 255}, 0x0CC863FF},
        {BlendMode::Multiply, {0, 0, 0, 1}, {12, 200, 99, 255}, 0x000000FF},
        {BlendMode::SourceOver, {0.3f, 0.7f, 0.1f, 0}, {12, 200, 99, 255}, 0x0CC863FF},
        {BlendMode::Source, {0.3f, 0.7f, 0.1f, 0}, {12, 200, 99, 255}, 0x00000000},
        {BlendMode::DestinationOver, {0.3f, 0.7f, 0.1f, 1}, {12, 200, 99, 255}, 0x0CC863FF},
        // C = 1, A = 1 premultiplies to (1 + 255) >> 8 = 1, not to 0.
        {BlendMode::Source, {1 / 255.0f, 0, 0, 1 / 255.0f}, {9, 9, 9, 9}, 0x01000001},
    };
    for (const Case& c : cases) {
        Canvas canvas(4, 4);
        canvas.surface.Fill(uint8_t(c.destination.r), uint8_t(c.destination.g), uint8_t(c.destination.b),
                            uint8_t(c.destination.a));
        canvas.State().blendMode = c.mode;
        Geometry().Rectangle(0, 0, 4, 4).On(canvas)->Draw(FillIn(canvas, c.color), nullptr);
        EXPECT_EQ(canvas.At(2, 2), c.expected) << int(c.mode);
    }
}

TEST(Draw, BlenderPremultipliesByTheFormula) {
    // Every (C, A) pair through the source operation: the stored colour is
    // (C x A + 255) >> 8. About a quarter of the pairs differ from AGG's
    // own rounding multiply, among them C = 1, A = 1.
    int differing = 0;
    for (unsigned c = 0; c < 256; ++c)
        for (unsigned a = 0; a < 256; ++a) {
            uint8_t p[4] = {7, 7, 7, 7};
            PremultiplyingBlender::blend_pix(agg::comp_op_src, p, uint8_t(c), uint8_t(255 - c), 0, uint8_t(a), 255);
            ASSERT_EQ(p[0], (c * a + 255) >> 8) << c << ", " << a;
            ASSERT_EQ(p[1], ((255 - c) * a + 255) >> 8);
            ASSERT_EQ(p[3], a);
            differing += p[0] != agg::rgba8::multiply(uint8_t(c), uint8_t(a));
        }
    uint8_t p[4] = {0, 0, 0, 0};
    PremultiplyingBlender::blend_pix(agg::comp_op_src, p, 1, 1, 1, 1, 255);
    EXPECT_EQ(p[0], 1);
    EXPECT_EQ(agg::rgba8::multiply(1, 1), 0);
    EXPECT_GT(differing, 65536 / 5);
}

TEST(Draw, OutOfRangeBlendModeThrowsBeforeDrawing) {
    Canvas canvas(4, 4);
    canvas.State().blendMode = BlendMode(10);
    auto path = Geometry().Rectangle(0, 0, 4, 4).On(canvas);
    EXPECT_THROW(path->Draw(FillIn(canvas, kRed), nullptr), NotSupportedException);
    EXPECT_THROW(path->Draw(nullptr, nullptr), NotSupportedException);
    EXPECT_EQ(orv_surface_sync_start_count_get(canvas.surface.surface), 1);
    ExpectBlock(canvas, 0, 0, 0, 0, 0, 0);
}

TEST(Draw, ScissorBoxesIncludeBothEdges) {
    const uint32_t blue = 0x0000FFFF;
    const Color opaqueBlue{0, 0, 1, 1};
    struct Case {
        bool enabled;
        std::vector<IntRectangle> rectangles;
        int right, bottom;  // the drawn block, from (0, 0)
    };
    const Case cases[] = {
        {true, {{0, 0, 10, 10}}, 11, 11},
        {true, {}, 16, 16},                           // an empty list clips nothing
        {true, {{20, 20, 5, 5}, {-9, 0, 3, 3}}, 16, 16},  // boxes all outside: nothing to clip to
        {false, {{0, 0, 2, 2}}, 16, 16},
        {true, {{0, 0, INT32_MAX, INT32_MAX}}, 16, 16},  // X + Width beyond int
        {true, {{10, 10, -10, -10}}, 11, 11},             // corners are swapped
        {true, {{0, 0, 4, 2}, {INT32_MIN, INT32_MIN, 2, INT32_MAX}}, 5, 3},
    };
    for (const Case& c : cases) {
        Canvas canvas(16, 16);
        canvas.State().scissoringEnabled = c.enabled;
        canvas.State().scissorRectangles = c.rectangles;
        Geometry().Rectangle(-5, -5, 30, 30).On(canvas)->Draw(FillIn(canvas, opaqueBlue), nullptr);
        ExpectBlock(canvas, 0, 0, c.right, c.bottom, blue, 0);
    }
}

TEST(Draw, OverlappingScissorBoxesCompositeTwice) {
    // Half-transparent blue premultiplies to (0, 0, 128, 128); once over
    // transparent black it stays so, twice it is 128 + 128 - 128 x 128 / 255
    // = 192 in blue and alpha.
    Canvas canvas(10, 10);
    canvas.State().scissoringEnabled = true;
    canvas.State().scissorRectangles = {{2, 2, 4, 4}, {4, 4, 4, 4}};
    Geometry().Rectangle(0, 0, 10, 10).On(canvas)->Draw(FillIn(canvas, {0, 0, 1, 0.5f}), nullptr);
    EXPECT_EQ(canvas.At(3, 3), 0x00008080u);
    EXPECT_EQ(canvas.At(5, 5), 0x0000C0C0u);
    EXPECT_EQ(canvas.At(7, 7), 0x00008080u);
    EXPECT_EQ(canvas.At(7, 2), 0u);
    EXPECT_EQ(canvas.At(1, 1), 0u);
    EXPECT_EQ(canvas.At(9, 9), 0u);
}

TEST(Draw, CapsEndAnOpenLine) {
    // A line from x = 10 to 30 at y = 10, 4 wide: rows 8 to 11.
    struct Case {
        CapStyle cap;
        int firstFull, lastFull;  // columns fully covered in row 9
        int partialLeft;          // a partly covered column, or -1
    };
    const Case cases[] = {{CapStyle::Butt, 10, 29, -1}, {CapStyle::Square, 8, 31, -1}, {CapStyle::Round, 9, 30, 8}};
    for (const Case& c : cases) {
        Canvas canvas(40, 20);
        Geometry().Move(10, 10).Line(30, 10).On(canvas)->Draw(nullptr, StrokeIn(canvas, kOpaque, 4, c.cap));
        for (int column = 0; column < 40; ++column) {
            const uint8_t alpha = canvas.Alpha(column, 9);
            if (column >= c.firstFull && column <= c.lastFull)
                EXPECT_EQ(canvas.At(column, 9), kOpaqueBytes) << int(c.cap) << " column " << column;
            else if (column == c.partialLeft || (c.partialLeft >= 0 && column == 39 - c.partialLeft))
                EXPECT_TRUE(alpha > 0 && alpha < 255) << int(c.cap) << " column " << column;
            else
                EXPECT_EQ(alpha, 0) << int(c.cap) << " column " << column;
        }
        EXPECT_EQ(canvas.At(20, 8), kOpaqueBytes);
        EXPECT_EQ(canvas.At(20, 11), kOpaqueBytes);
        EXPECT_EQ(canvas.At(20, 7), 0u);
        EXPECT_EQ(canvas.At(20, 12), 0u);
    }
}

TEST(Draw, JoinsAndTheMiterLimit) {
    // Right along y = 30, then up along x = 30, 10 wide: the outer corner
    // is the quadrant x, y in 30..35. A miter fills it (its tip is 7.07 =
    // 1.41 half widths away); a bevel cuts it along x + y = 65; a round
    // join is the disc of radius 5; a miter beyond its limit is cut
    // square to the diagonal at limit x 5 from the vertex, x + y = 60 +
    // limit x 5 x 1.41.
    const uint8_t full = 255, none = 0, part = 1;
    struct Case {
        JoinStyle join;
        float limit;
        uint8_t at32, at33, at34;
    };
    const Case cases[] = {
        {JoinStyle::Miter, 4, full, full, full},   {JoinStyle::Miter, 1.5f, full, full, full},
        {JoinStyle::Miter, 1.3f, full, full, part}, {JoinStyle::Miter, 1, full, part, none},
        {JoinStyle::Bevel, 4, part, none, none},   {JoinStyle::Round, 4, full, part, none},
    };
    for (const Case& c : cases) {
        Canvas canvas(48, 48);
        auto stroke = StrokeIn(canvas, kOpaque, 10, CapStyle::Butt, c.join);
        stroke->MiterLimit(c.limit);
        Geometry().Move(10, 30).Line(30, 30).Line(30, 10).On(canvas)->Draw(nullptr, stroke);
        const uint8_t at[3] = {canvas.Alpha(32, 32), canvas.Alpha(33, 33), canvas.Alpha(34, 34)};
        const uint8_t expected[3] = {c.at32, c.at33, c.at34};
        for (int i = 0; i < 3; ++i) {
            if (expected[i] == part)
                EXPECT_TRUE(at[i] > 0 && at[i] < 255)
                    << int(c.join) << " " << c.limit << " pixel " << 32 + i << ": " << int(at[i]);
            else
                EXPECT_EQ(at[i], expected[i]) << int(c.join) << " " << c.limit << " pixel " << 32 + i;
        }
        EXPECT_EQ(canvas.At(27, 27), kOpaqueBytes);  // the inner corner
    }
}

TEST(Draw, DashIntervalsAndPhases) {
    struct Case {
        float phase;
        std::vector<std::pair<int, int>> covered;  // column ranges [first, end)
    };
    const Case cases[] = {{0, {{0, 10}, {15, 25}, {30, 40}}}, {5, {{0, 5}, {10, 20}, {25, 35}}},
                          {20, {{0, 5}, {10, 20}, {25, 35}}}};  // 20 is 5 past one period
    for (const Case& c : cases) {
        Canvas canvas(48, 10);
        auto stroke = StrokeIn(canvas, kOpaque, 2);
        stroke->dashPattern = {{10, 5}};
        stroke->DashPhase(c.phase);
        Geometry().Move(0, 5).Line(40, 5).On(canvas)->Draw(nullptr, stroke);
        for (int column = 0; column < 48; ++column) {
            bool in = false;
            for (auto range : c.covered)
                in = in || (column >= range.first && column < range.second);
            EXPECT_EQ(canvas.At(column, 4), in ? kOpaqueBytes : 0u) << "phase " << c.phase << " column " << column;
            EXPECT_EQ(canvas.At(column, 5), canvas.At(column, 4));
        }
    }
}

TEST(Draw, NegativePhaseRunsOnAcrossSubPaths) {
    // Two lines 12 long, pattern {10, 5}. Phase 5 restarts at each line:
    // dash 0..5, gap, dash from 10. Phase -5 starts the first line the same
    // way and carries on: 17 into the pattern, the second line begins 2 into
    // a dash, so it is drawn to 8.
    for (float phase : {5.0f, -5.0f}) {
        Canvas canvas(16, 12);
        auto stroke = StrokeIn(canvas, kOpaque, 2);
        stroke->dashPattern = {{10, 5}};
        stroke->DashPhase(phase);
        Geometry().Move(0, 3).Line(12, 3).Move(0, 9).Line(12, 9).On(canvas)->Draw(nullptr, stroke);
        for (int column = 0; column < 16; ++column) {
            const bool first = column < 5 || (column >= 10 && column < 12);
            const bool second = phase > 0 ? first : column < 8;
            EXPECT_EQ(canvas.At(column, 2), first ? kOpaqueBytes : 0u) << phase << " " << column;
            EXPECT_EQ(canvas.At(column, 8), second ? kOpaqueBytes : 0u) << phase << " " << column;
        }
    }
}

namespace {

// Draws one stroke of a line and returns the surface bytes.
std::vector<uint8_t> StrokeBytes(const std::function<void(StrokeState&)>& configure,
                                 const Geometry& geometry = Geometry().Move(2, 5).Line(60, 5).Line(60, 30)) {
    Canvas canvas(64, 40);
    auto stroke = StrokeIn(canvas, kOpaque, 3);
    configure(*stroke);
    geometry.On(canvas)->Draw(nullptr, stroke);
    return canvas.surface.memory;
}

}  // namespace

TEST(Draw, DashRecordsBeyondSixteenAndTheResetFlagChangeNothing) {
    std::vector<Dash> sixteen;
    for (int i = 0; i < 16; ++i)
        sixteen.push_back({float(1 + i % 3), float(2 + i % 2)});
    const std::vector<uint8_t> reference = StrokeBytes([&](StrokeState& s) { s.dashPattern = sixteen; });
    EXPECT_NE(reference, StrokeBytes([](StrokeState&) {}));
    for (Dash extra : {Dash{40, 40}, Dash{NAN, 1}, Dash{-100, 0}}) {
        EXPECT_EQ(reference, StrokeBytes([&](StrokeState& s) {
                      s.dashPattern = sixteen;
                      s.dashPattern.push_back(extra);
                  }));
    }
    EXPECT_EQ(reference, StrokeBytes([&](StrokeState& s) {
                  s.dashPattern = sixteen;
                  s.DashPhaseResetEnabled(true);
              }));
}

TEST(Draw, UnusableDashPatternsStrokeUndashed) {
    // Patterns that cannot advance along the path, or that hold values that
    // are not numbers, draw as if there were no pattern.
    const std::vector<uint8_t> solid = StrokeBytes([](StrokeState&) {});
    const std::vector<std::vector<Dash>> patterns = {
        {{0, 0}}, {{-5, 2}}, {{5, -5}}, {{NAN, 5}}, {{5, INFINITY}}, {{-INFINITY, 5}}, {{1e20f, -1e20f}, {0, 0}},
    };
    for (const auto& pattern : patterns)
        EXPECT_EQ(solid, StrokeBytes([&](StrokeState& s) { s.dashPattern = pattern; })) << pattern[0].Length;
}

TEST(Draw, DashWorkIsBounded) {
    const std::vector<uint8_t> solid = StrokeBytes([](StrokeState&) {});
    // Thousandth-of-a-pixel dashes over a million pixels would be 5 x 10^8
    // dashes: drawn undashed. The same dashes on a short path are drawn.
    const Geometry longPath = Geometry().Move(2, 5).Line(60, 5).Line(60, 30).Line(1e6f, 30);
    EXPECT_EQ(StrokeBytes([](StrokeState&) {}, longPath),
              StrokeBytes([](StrokeState& s) { s.dashPattern = {{0.001f, 0.001f}}; }, longPath));
    EXPECT_NE(StrokeBytes([](StrokeState& s) { s.dashPattern = {{0.01f, 0.01f}}; }), solid);

    // A phase far beyond the period is reduced modulo the period; phases
    // that are not numbers count as 0.
    auto dashed = [](float phase) {
        return StrokeBytes([=](StrokeState& s) {
            s.dashPattern = {{6, 2}, {1, 3}};
            s.DashPhase(phase);
        });
    };
    EXPECT_EQ(dashed(1e30f), dashed(float(std::fmod(double(1e30f), 12.0))));
    EXPECT_EQ(dashed(3e9f), dashed(float(std::fmod(double(3e9f), 12.0))));
    EXPECT_EQ(dashed(NAN), dashed(0));
    EXPECT_EQ(dashed(INFINITY), dashed(0));
    EXPECT_NE(dashed(3), dashed(0));
}

TEST(Draw, EvenOddFillMakesTheStrokeOfAnXLeaveItsCrossingOpen) {
    // One sub-path drawn as an X: the two diagonal strokes overlap around
    // (15, 15). The stroke outline is rasterised with the fill pass's rule.
    struct Case {
        bool fillPass;
        FillRule rule;
        bool crossingCovered;
    };
    const Case cases[] = {
        {true, FillRule::EvenOdd, false}, {true, FillRule::NonZero, true}, {false, FillRule::EvenOdd, true}};
    for (const Case& c : cases) {
        Canvas canvas(32, 32);
        auto invisibleFill = FillIn(canvas, {0, 0, 0, 0}, c.rule);
        Geometry().Move(5, 5).Line(25, 25).Line(25, 5).Line(5, 25).On(canvas)->Draw(
            c.fillPass ? invisibleFill : nullptr, StrokeIn(canvas, kOpaque, 4));
        EXPECT_EQ(canvas.At(14, 14), c.crossingCovered ? kOpaqueBytes : 0u) << c.fillPass << int(c.rule);
        EXPECT_EQ(canvas.At(8, 8), kOpaqueBytes);
    }
}

TEST(Draw, DrawingAgainCompositesAgainAndKeepsThePath) {
    Canvas canvas(8, 8);
    auto path = Geometry().Rectangle(0, 0, 8, 8).On(canvas);
    auto fill = FillIn(canvas, {0, 0, 1, 0.5f});
    path->Draw(fill, nullptr);
    path->Draw(fill, nullptr);
    EXPECT_EQ(canvas.At(4, 4), 0x0000C0C0u);
    EXPECT_EQ(Internals::StorageOf(*path).total_vertices(), 5u);
}

TEST(Draw, ExceptionsAndWhatWasDrawnBeforeThem) {
    {
        // Another format: nothing happens, not even the start of access.
        TestSupport::Surface surface(4, 4, TestSupport::kRA24);
        auto context = std::make_shared<Context2D>(surface.surface);
        Path path(context);
        EXPECT_THROW(path.Draw(nullptr, nullptr), InvalidOperationException);
        EXPECT_EQ(orv_surface_sync_start_count_get(surface.surface), 0);
    }
    {
        // A fill rule out of range matters only with a paint.
        Canvas canvas(4, 4);
        auto path = Geometry().Rectangle(0, 0, 4, 4).On(canvas);
        auto fill = std::make_shared<FillState>();
        fill->FillRule(FillRule(7));
        path->Draw(fill, nullptr);
        fill = FillIn(canvas, kRed, FillRule(7));
        EXPECT_THROW(path->Draw(fill, StrokeIn(canvas, kRed, 1)), NotSupportedException);
        ExpectBlock(canvas, 0, 0, 0, 0, 0, 0);
    }
    for (int bad : {0, 1}) {
        // Cap or join out of range: the fill is already in the surface.
        Canvas canvas(8, 8);
        auto path = Geometry().Rectangle(2, 2, 6, 6).On(canvas);
        auto stroke = StrokeIn(canvas, kRed, 1);
        if (bad)
            stroke->JoinStyle(JoinStyle(3));
        else
            stroke->CapStyle(CapStyle(5));
        auto paintless = std::make_shared<StrokeState>();
        paintless->CapStyle(CapStyle(3));
        path->Draw(nullptr, paintless);
        EXPECT_THROW(path->Draw(FillIn(canvas, kOpaque), stroke), NotSupportedException);
        ExpectBlock(canvas, 2, 2, 6, 6, kOpaqueBytes, 0);
    }
    {
        // A stroke paint that throws: the fill is in; the exception passes.
        Canvas canvas(8, 8);
        auto probe = std::make_shared<ProbePaint>(canvas.context, true);
        auto stroke = std::make_shared<StrokeState>();
        stroke->Paint(probe);
        EXPECT_THROW(Geometry().Rectangle(2, 2, 6, 6).On(canvas)->Draw(FillIn(canvas, kOpaque), stroke),
                     NotSupportedException);
        EXPECT_EQ(probe->calls, 1);
        ExpectBlock(canvas, 2, 2, 6, 6, kOpaqueBytes, 0);
    }
}

TEST(Draw, PaintsAreCalledEvenWithoutCoverage) {
    Canvas canvas(8, 8);
    auto fillProbe = std::make_shared<ProbePaint>(canvas.context, false);
    auto strokeProbe = std::make_shared<ProbePaint>(canvas.context, false);
    auto fill = std::make_shared<FillState>();
    fill->Paint(fillProbe);
    auto stroke = std::make_shared<StrokeState>();
    stroke->Paint(strokeProbe);
    Path empty(canvas.context);
    empty.Draw(fill, stroke);
    Geometry().Move(1, 1).Move(5, 5).On(canvas)->Draw(fill, stroke);
    EXPECT_EQ(fillProbe->calls, 2);
    EXPECT_EQ(strokeProbe->calls, 2);
    EXPECT_FALSE(fillProbe->cells || strokeProbe->cells);
    Geometry().Rectangle(1, 1, 5, 5).On(canvas)->Draw(fill, stroke);
    EXPECT_TRUE(fillProbe->cells && strokeProbe->cells);
}
