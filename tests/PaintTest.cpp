// Gradient and image paints: worked figures, degenerate and hostile paints and images.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <limits>

#include "DrawSupport.hpp"
#include "ImageSupport.hpp"

using namespace DrawSupport;
using TestSupport::FillWith;
using namespace ImageSupport;

namespace {

const Color kRed{1, 0, 0, 1}, kBlue{0, 0, 1, 1}, kWhite{1, 1, 1, 1}, kBlack{0, 0, 0, 1};
const std::vector<ColorStop> kRedBlue{{0, kRed}, {1, kBlue}};
const float kNaN = std::numeric_limits<float>::quiet_NaN(), kInf = std::numeric_limits<float>::infinity();

}  // namespace

TEST(GradientPaint, WorkedFigures) {
    // One figure of each rule; the random gradient scenes compare the rest with AGG's spans.
    // Linear, red to blue from (0, 0) to (100, 0): d2 = 1600 sixteenths;
    // column c samples 16c + 8 and takes entry (16c + 8) x 256 / 1600. Entry
    // k is red 1 - k / 257, blue k / 257 (the last stop sits at index 256),
    // each x 255 + 0.5 truncated: column 50 takes entry 129, an even mix.
    // Half-transparent stops premultiply once, in the pixel format, flag or not.
    //
    // Radial, white to black, radius 50 (800 sixteenths) around (60.5,
    // 40.5), so that pixel centres of row 40 lie whole units from it: grey
    // 1 - k / 257 is 128 at 25 units. Repeat folds 60 units to 10 (entry
    // 51), reflect to 40 (entry 204). A focus on the circle moves a
    // sixteenth in; the centre is then half way along its ray.
    typedef SpreadMode S;
    const Color halfRed{1, 0, 0, 0.5f}, halfBlue{0, 0, 1, 0.5f};
    const std::vector<ColorStop> radial{{0, kWhite}, {1, kBlack}};
    const std::vector<float> linear{0, 0, 100, 0}, centred{60.5f, 40.5f, 50, 60.5f, 40.5f};
    struct Case { std::vector<ColorStop> stops; SpreadMode spread; std::vector<float> g; int column; uint32_t expected;
                  bool premultiplier = false; };
    const Case cases[] = {
        {kRedBlue, S::Pad, linear, 50, 0x7F0080FF},
        {{{0, halfRed}, {1, halfBlue}}, S::Pad, linear, 50, 0x40004080, true},
        {radial, S::Pad, centred, 85, 0x808080FF},
        {radial, S::Repeat, centred, 120, 0xCCCCCCFF},
        {radial, S::Reflect, centred, 120, 0x353535FF},
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

namespace {

void FillRectangle(Canvas& canvas, const std::shared_ptr<Paint>& paint, float x0, float y0, float x1, float y1) {
    Geometry().Rectangle(x0, y0, x1, y1).On(canvas)->Draw(TestSupport::FillWith(paint), nullptr);
}

Rgba Grey(int value) { return Rgba{value, value, value, 255}; }

}  // namespace

TEST(ImagePaint, WorkedFiguresUnderEachTilingMode) {
    // The first row is a new paint's (clip, transparent tile); (tx, ty): the
    // image transform's translation; spots: figures worked by hand.
    struct Spot { int x, y; uint32_t rgba; };
    struct Case { const char* name; int width, height; std::function<Rgba(int, int)> pixel; TilingMode mode;
                  Color tileColor; int tx, ty; std::vector<Spot> spots; } const cases[] = {
        {"isolated 255 on opaque 0", 4, 4, [](int i, int j) { return Grey(i == 1 && j == 1 ? 255 : 0); },
         TilingMode::Clip, {}, 0, 0, {{1, 1, 0xFDFDFDFF}, {0, 1, 0x010101FF}, {1, 0, 0x010101FF}, {0, 0, 0xFF}}},
        {"half-transparent white: spans of 128, premultiplied to 64", 2, 2,
         [](int, int) { return Rgba{255, 255, 255, 128}; }, TilingMode::Reflect, {}, 0, 0, {{5, 5, 0x40404080}}},
        {"clip: faint column and row before the image", 3, 2, [](int, int) { return Grey(255); }, TilingMode::Clip,
         {}, 4, 3, {{3, 3, 0x01010101}, {4, 2, 0x01010101}, {3, 2, 0}, {4, 3, 0xFFFFFFFF}}},
        {"clip: tile colour beyond 0 to 1 converts as a colour paint's", 2, 2, [](int, int) { return Grey(90); },
         TilingMode::Clip, {2.0f, -0.5f, std::numeric_limits<float>::quiet_NaN(), 1.0f}, 3, 3, {{0, 0, 0xFE0000FF}}},
        {"repeat: period 2", 2, 2,
         [](int i, int j) { return Rgba{i == j ? 255 : 0, i > j || i + j == 2 ? 255 : 0, i < j || i + j == 2 ? 255 : 0, 255}; },
         TilingMode::Repeat, {}, 0, 0, {{0, 0, 0xFD0101FF}, {2, 4, 0xFD0101FF}, {1, 1, 0xFDFEFEFF}}},
        {"reflect: columns 0, 1, 2, 2, 1, 0, 0, 1, 2", 3, 1, [](int i, int) { return Grey(100 * i); },
         TilingMode::Reflect, {}, 0, 0, {{2, 0, 0xC8C8C8FF}, {3, 0, 0xC8C8C8FF}, {5, 0, 0xFF}, {6, 0, 0xFF}}},
        {"no clip: beyond the edges the nearest edge pixel", 3, 3,
         [](int i, int j) { return Rgba{40 * i, 70 * j, 200, 255}; }, TilingMode::NoClip, {}, 2, 1,
         {{11, 9, 0x508CC8FF}, {0, 0, 0x0000C8FF}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Picture picture = Picture::Of(c.width, c.height, c.pixel);
        Canvas canvas(12, 10);
        canvas.context->transforms->image->Translate(float(c.tx), float(c.ty));
        auto paint = std::make_shared<ImagePaint>(canvas, picture.Make(canvas));
        if (&c != cases)
            paint->ImageTilingMode = c.mode, paint->TileColor = c.tileColor;
        FillRectangle(canvas, paint, 0, 0, 12, 10);
        for (const Spot& spot : c.spots)
            EXPECT_EQ(canvas.At(spot.x, spot.y), spot.rgba) << spot.x << ", " << spot.y;
    }
}

TEST(ImagePaint, HostileOrUnreadableImagesLeaveTheSurfaceUnchanged) {
    // Unsampleable images draw nothing; unread formats (0: the "AB24" surface
    // itself) and unknown tiling modes throw.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const int ra24 = int(TestSupport::kRA24), repeat = int(TilingMode::Repeat), reflect = int(TilingMode::Reflect);
    const std::function<void(Transforms&)> none = [](Transforms&) {};
    struct Case { const char* name; int width, height; bool nullData; int format, mode;
                  std::function<void(Transforms&)> place; bool throws; } const cases[] = {
        {"width 0", 0, 2, false, ra24, repeat, none, false},
        {"negative height", 2, -3, false, ra24, repeat, none, false},
        {"null data", 2, 2, true, ra24, 0, none, false},
        {"wider than 2^28", 1 << 29, 1, false, ra24, reflect, none, false},
        {"singular image transform", 2, 2, false, ra24, 0, [](Transforms& t) { t.image->Scale(0, 1); }, false},
        {"image transform not finite", 2, 2, false, ra24, repeat,
         [nan](Transforms& t) { t.image->Set(Matrix3{{1, 0, 0, 0, nan, 0, 0, 0, 1}}); }, false},
        {"image coordinates beyond the interpolator", 2, 2, false, ra24, repeat,
         [](Transforms& t) { t.image->Scale(1e-30f, 1e-30f); }, false},
        {"image placed 10^7 pixels away", 2, 2, false, ra24, reflect,
         [](Transforms& t) { t.image->Translate(1e7f, 0); }, false},
        {"path transform tiny but not singular", 2, 2, false, ra24, int(TilingMode::NoClip),
         [](Transforms& t) { t.path->Scale(1e-20f, 1e-20f); }, false},
        {"surface image", 8, 6, false, 0, 0, none, true},
        {"grey image", 2, 2, false, int(TestSupport::kR8), 0, none, true},
        {"tiling mode 4", 2, 2, false, ra24, 4, none, true},
        {"tiling mode -1", 2, 2, false, ra24, -1, none, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(8, 6);
        canvas.surface.Fill(11, 22, 33, 44);
        const std::vector<uint8_t> before = canvas.surface.memory;
        std::vector<uint8_t> pixels(16, 200);  // one pixel more than a 2 x 2 image reads
        c.place(*canvas.context->transforms);
        std::shared_ptr<Image> image;
        if (c.format == 0)
            image = std::make_shared<SurfaceImage>(canvas, canvas.surface.surface);
        else
            image = std::make_shared<Image>(canvas, c.format, c.width, c.height, 8, c.nullData ? nullptr : pixels.data());
        auto paint = std::make_shared<ImagePaint>(canvas, image);
        paint->ImageTilingMode = TilingMode(c.mode);
        // In path units: with the tiny path transform this still covers the surface.
        auto draw = [&] {
            FillRectangle(canvas, paint, -1e21f, -1e21f, 1e21f, 1e21f);
            FillRectangle(canvas, paint, 0, 0, 8, 6);
        };
        if (c.throws)
            EXPECT_THROW(draw(), NotSupportedException);
        else
            draw();
        EXPECT_EQ(canvas.surface.memory, before);
    }
    // A paint made without a context has no transforms to place the image by.
    Canvas canvas(4, 4);
    std::vector<uint8_t> pixel(4, 255);
    FillRectangle(canvas, std::make_shared<ImagePaint>(nullptr, std::make_shared<Image>(
                                                                    canvas, int(TestSupport::kRA24), 1, 1, 4, pixel.data())),
                  0, 0, 4, 4);
    ExpectBlock(canvas.surface, 0, 0, 0, 0, 0);
    EXPECT_THROW(ImagePaint(canvas, nullptr), ArgumentNullException);
    orv_context2D context = orv_context2D_create(canvas.surface.surface);
    EXPECT_THROW(orv_image_paint_create(context, nullptr), ArgumentNullException);
    orv_context2D_destroy(context);
}

TEST(ImagePaint, GeometryFarBeyondTheSurfaceCostsOnlyTheSurface) {
    // Millions of rows and thousands of columns off the surface: only its own are sampled.
    Picture picture = Picture::Of(3, 2, [](int i, int j) { return Rgba{80 * i, 120 * j, 60, 255}; });
    Canvas far(30, 20), near(30, 20);
    auto paint = std::make_shared<ImagePaint>(far, picture.Make(far));
    paint->ImageTilingMode = TilingMode::Repeat;
    const auto start = std::chrono::steady_clock::now();
    FillRectangle(far, paint, -7000, -5e5f, 7000, 5e5f);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    FillRectangle(near, paint, 0, 0, 30, 20);
    EXPECT_EQ(far.surface.memory, near.surface.memory);
}

TEST(ImagePaint, ReadsTheBorrowedPixelsAnewAtEveryDraw) {
    Picture picture = Picture::Of(1, 1, [](int, int) { return Rgba{10, 20, 30, 255}; });
    Canvas first(4, 4), second(4, 4);
    auto paint = std::make_shared<ImagePaint>(first, picture.Make(first));
    paint->ImageTilingMode = TilingMode::Repeat;
    FillRectangle(first, paint, 0, 0, 4, 4);
    picture.Set(0, 0, Rgba{200, 100, 0, 255});
    FillRectangle(second, paint, 0, 0, 4, 4);
    ExpectBlock(first.surface, 0, 0, 4, 4, 0x0A141EFF);
    ExpectBlock(second.surface, 0, 0, 4, 4, 0xC86400FF);
}
