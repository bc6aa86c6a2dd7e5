// Drawing into "AR24", "XR24", "XB24" and "RG16" surfaces: random scenes
// against each layout's definition composed with AGG's operations directly,
// the two roads against each other, and "AR24" and the X layouts against
// "AB24" where their definitions meet it.
#include <gtest/gtest.h>

#include <random>

#include "PlainTarget.hpp"
#include "RoadScenes.hpp"
#include "TestSupport.hpp"

using namespace DrawSupport;
using TestSupport::kAB24;
using TestSupport::kAR24;
using TestSupport::kRG16;
using TestSupport::kXB24;
using TestSupport::kXR24;

namespace {

const uint32_t kNewFormats[] = {kAR24, kXR24, kXB24, kRG16};

const unsigned kOperations[] = {agg::comp_op_src,    agg::comp_op_src_over, agg::comp_op_dst_over,
                                agg::comp_op_src_in, agg::comp_op_dst_in,   agg::comp_op_multiply,
                                agg::comp_op_screen, agg::comp_op_darken,   agg::comp_op_lighten,
                                agg::comp_op_plus};

// ------------------------------------------------------------------ the definitions

enum class Kind { Four, X, Packed };

// Each layout pixel by pixel, as its definition reads: AGG's operation of
// the pixel order on four bytes, the straight source premultiplied as
// (C x A + 255) >> 8; an X pixel reads 255 and, at a coverage above 0,
// writes 255; a 5-6-5 pixel widened by bit replication, composed as R, G,
// B, 255 and narrowed by truncation.
template <class Order, Kind kind>
class DefinedFormat {
public:
    typedef agg::rgba8 color_type;
    typedef Order order_type;
    typedef agg::rendering_buffer rbuf_type;
    typedef agg::rendering_buffer::row_data row_data;
    typedef uint8_t value_type;

    DefinedFormat(agg::rendering_buffer& buffer, unsigned operation) : buffer(buffer), operation(operation) {}
    unsigned width() const { return buffer.width(); }
    unsigned height() const { return buffer.height(); }

    void blend_hline(int x, int y, unsigned len, const color_type& c, uint8_t cover) {
        for (unsigned i = 0; i < len; ++i)
            Blend(x + int(i), y, c, cover);
    }
    void blend_solid_hspan(int x, int y, unsigned len, const color_type& c, const uint8_t* covers) {
        for (unsigned i = 0; i < len; ++i)
            Blend(x + int(i), y, c, covers[i]);
    }
    void blend_color_hspan(int x, int y, unsigned len, const color_type* colors, const uint8_t* covers,
                           uint8_t cover) {
        for (unsigned i = 0; i < len; ++i)
            Blend(x + int(i), y, colors[i], covers ? covers[i] : cover);
    }

private:
    void Blend(int x, int y, const color_type& c, uint8_t cover) {
        const auto premultiplied = [&](uint8_t v) { return uint8_t((unsigned(v) * c.a + 255) >> 8); };
        const auto operate = [&](uint8_t* p) {
            agg::comp_op_table_rgba<agg::rgba8, Order>::g_comp_op_func[operation](
                p, premultiplied(c.r), premultiplied(c.g), premultiplied(c.b), c.a, cover);
        };
        if (kind == Kind::Packed) {
            uint8_t* q = buffer.row_ptr(y) + 2 * x;
            const unsigned word = unsigned(q[0]) | unsigned(q[1]) << 8;  // little-endian test machines
            const unsigned r = word >> 11, g = word >> 5 & 63, b = word & 31;
            uint8_t p[4] = {uint8_t(r << 3 | r >> 2), uint8_t(g << 2 | g >> 4), uint8_t(b << 3 | b >> 2), 255};
            operate(p);
            const unsigned packed = (p[0] >> 3) << 11 | (p[1] >> 2) << 5 | p[2] >> 3;
            q[0] = uint8_t(packed), q[1] = uint8_t(packed >> 8);
            return;
        }
        uint8_t* p = buffer.row_ptr(y) + 4 * x;
        const uint8_t fourth = p[3];
        if (kind == Kind::X)
            p[3] = 255;
        operate(p);
        if (kind == Kind::X)
            p[3] = cover ? 255 : fourth;
    }

    agg::rendering_buffer& buffer;
    unsigned operation;
};

std::string FirstDifference(const std::vector<uint8_t>& drawn, const std::vector<uint8_t>& expected, int width,
                            int bytesPerPixel) {
    if (drawn.size() != expected.size())
        return "sizes differ";
    for (size_t i = 0; i < drawn.size(); ++i)
        if (drawn[i] != expected[i])
            return "byte " + std::to_string(i) + " (pixel " + std::to_string(i / bytesPerPixel % size_t(width)) +
                   ", row " + std::to_string(i / bytesPerPixel / size_t(width)) + "): drawn " +
                   std::to_string(drawn[i]) + ", defined " + std::to_string(expected[i]);
    return "";
}

// The scene drawn on the library's road against its layout's definition.
std::string DrawnAsDefined(const Scene& s) {
    const int bytes = RoadScenes::BytesPerPixel(s.format);
    const std::vector<uint8_t> drawn = RoadScenes::Draw(s, false);
    std::vector<uint8_t> defined = s.backdrop;
    agg::rendering_buffer buffer(defined.data(), unsigned(s.width), unsigned(s.height),
                                 (s.origin == Origin::TopLeft ? 1 : -1) * s.width * bytes);
    const unsigned operation = kOperations[int(s.blend)];
    if (s.format == kAB24) {
        DefinedFormat<agg::order_rgba, Kind::Four> format(buffer, operation);
        ComposeThrough(s, format);
    } else if (s.format == kAR24) {
        DefinedFormat<agg::order_bgra, Kind::Four> format(buffer, operation);
        ComposeThrough(s, format);
    } else if (s.format == kXR24) {
        DefinedFormat<agg::order_bgra, Kind::X> format(buffer, operation);
        ComposeThrough(s, format);
    } else if (s.format == kXB24) {
        DefinedFormat<agg::order_rgba, Kind::X> format(buffer, operation);
        ComposeThrough(s, format);
    } else {
        DefinedFormat<agg::order_rgba, Kind::Packed> format(buffer, operation);
        ComposeThrough(s, format);
    }
    return FirstDifference(drawn, defined, s.width, bytes);
}

// A random scene on `format`, its backdrop random bytes (X bytes included).
Scene RandomSceneOn(uint32_t format, std::mt19937& engine, bool clipAndLayer) {
    std::vector<uint8_t> bytes(1024);
    for (uint8_t& b : bytes)
        b = uint8_t(engine());
    RoadScenes::ByteStream stream(bytes.data(), bytes.size());
    Scene s = RoadScenes::RandomScene(stream);
    if (clipAndLayer)
        RoadScenes::RandomClipAndLayer(stream, s);
    s.format = format;
    s.backdrop.resize(size_t(s.width) * s.height * RoadScenes::BytesPerPixel(format));
    for (uint8_t& b : s.backdrop)
        b = uint8_t(engine());
    return s;
}

// A scene where the plain composition is defined (colours within 0 to 1,
// geometry near the surface): every paint, blend mode, origin and scissor
// list, over random bytes.
Scene DefinedScene(uint32_t format, std::mt19937& engine) {
    const auto uniform = [&](float low, float high) { return std::uniform_real_distribution<float>(low, high)(engine); };
    const auto below = [&](int n) { return int(engine() % unsigned(n)); };
    Scene s;
    s.format = format;
    s.width = 1 + below(48), s.height = 1 + below(40);
    const float w = float(s.width), h = float(s.height);
    Geometry geometry;
    if (below(3) == 0) {
        geometry.Circle(uniform(-5, w + 5), uniform(-5, h + 5), uniform(1, w + h));
    } else {
        geometry.Move(uniform(-10, w + 10), uniform(-10, h + 10));
        for (int i = 2 + below(5); i > 0; --i)
            geometry.Line(uniform(-10, w + 10), uniform(-10, h + 10));
    }
    s.commands = geometry.commands, s.data = geometry.data;
    s.origin = below(2) ? Origin::TopLeft : Origin::BottomLeft;
    s.blend = BlendMode(below(10));
    s.scissoring = below(3) == 0;
    for (int i = below(4); i > 0; --i)
        s.scissors.push_back({below(s.width + 4) - 2, below(s.height + 4) - 2, below(40) - 2, below(40) - 2});
    const auto color = [&] { return Color{uniform(0, 1), uniform(0, 1), uniform(0, 1), below(3) ? uniform(0, 1) : 1}; };
    const auto paint = [&] {
        PaintSpec p;
        switch (below(4)) {
        case 0:
            p.color = color();
            return p;
        case 1:
        case 2: {
            std::vector<ColorStop> stops;
            const auto clamped = [](float offset) { return std::fmin(1.0f, std::fmax(0.0f, offset)); };
            while (stops.size() < 2 || clamped(stops[0].Offset) == clamped(stops[1].Offset)) {
                stops.clear();
                for (int i = 2 + below(3); i > 0; --i)
                    stops.push_back({uniform(-0.3f, 1.3f), color()});
            }
            std::vector<float> g;
            if (below(2)) {
                const float cx = uniform(-10, w + 10), cy = uniform(-10, h + 10), radius = uniform(2, 60);
                const float angle = uniform(-3.2f, 3.2f), reach = below(3) ? uniform(0, 0.95f) : 0;
                g = {cx, cy, radius, cx + reach * radius * std::cos(angle), cy + reach * radius * std::sin(angle)};
            } else {
                while (g.empty() || std::hypot(g[2] - g[0], g[3] - g[1]) < 1)
                    g = {uniform(-20, w + 20), uniform(-20, h + 20), uniform(-20, w + 20), uniform(-20, h + 20)};
            }
            return GradientSpec(stops, SpreadMode(below(3)), g);
        }
        default: {
            const int iw = 1 + below(6), ih = 1 + below(6);
            ImageSupport::Picture picture(iw, ih, (below(2) ? 1 : -1) * 4 * iw);
            for (uint8_t& byte : picture.bytes)
                byte = uint8_t(engine());
            return ImageSpec(picture, TilingMode(below(4)), color());
        }
        }
    };
    s.filled = below(4) != 0;
    s.stroked = !s.filled || below(2);
    s.rule = FillRule(below(2));
    s.fillSpec = paint();
    s.strokeSpec = paint();
    s.lineWidth = uniform(0.5f, 6);
    s.cap = CapStyle(below(3));
    s.join = JoinStyle(below(3));
    if (below(4) == 0)
        s.dashes = {Dash{uniform(1, 8), uniform(1, 8)}};
    const float angle = uniform(-3.2f, 3.2f), scale = uniform(0.3f, 3);
    Matrix3 rotation = Matrix3::CreateRotation(angle), scaled;
    Matrix3::Multiply(rotation, Matrix3::CreateScale(scale, scale), scaled);
    s.fillPaint = below(2) ? scaled : Matrix3::Identity;
    s.strokePaint = below(2) ? scaled : Matrix3::Identity;
    s.image = below(2) ? scaled : Matrix3::Identity;
    s.backdrop.resize(size_t(s.width) * s.height * RoadScenes::BytesPerPixel(format));
    for (uint8_t& b : s.backdrop)
        b = uint8_t(engine());
    return s;
}

std::vector<uint8_t> Swapped(std::vector<uint8_t> pixels) {
    for (size_t i = 0; i + 3 < pixels.size(); i += 4)
        std::swap(pixels[i], pixels[i + 2]);
    return pixels;
}

}  // namespace

// ------------------------------------------------------------------ random scenes

TEST(PixelFormats, RandomScenesAreEachLayoutsDefinition) {
    std::mt19937 engine(20261208);
    for (uint32_t format : kNewFormats) {
        int changed = 0;
        for (int trial = 0; trial < 500; ++trial) {
            const Scene s = DefinedScene(format, engine);
            changed += RoadScenes::Draw(s, false) != s.backdrop;
            ASSERT_EQ(DrawnAsDefined(s), "") << std::hex << format << std::dec << " trial " << trial << " blend "
                                             << int(s.blend) << " paints " << s.fillSpec.kind << " "
                                             << s.strokeSpec.kind << s.stroked;
        }
        EXPECT_GT(changed, 300) << std::hex << format;
    }
}

TEST(PixelFormats, BothRoadsDrawTheSameBytesWithClipsAndLayers) {
    std::mt19937 engine(7);
    for (uint32_t format : kNewFormats)
        for (int trial = 0; trial < 500; ++trial) {
            const Scene s = RandomSceneOn(format, engine, trial % 2 == 0);
            ASSERT_EQ(RoadScenes::CompareRoads(s), "") << std::hex << format << std::dec << " trial " << trial;
        }
}

// "AR24" is "AB24" with red and blue swapped: the operations treat the
// colour channels alike, so a scene drawn over a backdrop equals the "AB24"
// drawing over the swapped backdrop, swapped back. This reaches clips and
// layers, which the plain composition above leaves out.
TEST(PixelFormats, Ar24IsAb24SwappedOnBothRoads) {
    std::mt19937 engine(11);
    for (int trial = 0; trial < 600; ++trial) {
        Scene s = RandomSceneOn(kAR24, engine, true);
        const std::vector<uint8_t> backdrop = s.backdrop;
        const bool reference = trial % 3 == 0;
        unsigned clipped = 0;
        const std::vector<uint8_t> drawn = RoadScenes::Draw(s, reference, &clipped);
        s.format = kAB24;
        s.backdrop = Swapped(backdrop);
        const std::vector<uint8_t> ab24 = RoadScenes::Draw(s, reference);
        ASSERT_EQ(FirstDifference(drawn, Swapped(ab24), s.width, 4), "") << "trial " << trial;
    }
}

// Over an opaque backdrop source-over keeps alpha 255, so there an X layout
// is its four-byte layout: also under clips and source-over layers.
TEST(PixelFormats, XLayoutsAreTheirFourByteLayoutsOverOpaquePixels) {
    std::mt19937 engine(13);
    for (int trial = 0; trial < 600; ++trial) {
        const uint32_t format = trial % 2 ? kXR24 : kXB24;
        Scene s = RandomSceneOn(format, engine, true);
        s.blend = BlendMode::SourceOver;
        s.layerMode = BlendMode::SourceOver;
        for (size_t i = 3; i < s.backdrop.size(); i += 4)
            s.backdrop[i] = 255;
        const std::vector<uint8_t> drawn = RoadScenes::Draw(s, trial % 3 == 0);
        s.format = format == kXR24 ? kAR24 : kAB24;
        const std::vector<uint8_t> fourBytes = RoadScenes::Draw(s, trial % 3 == 0);
        ASSERT_EQ(FirstDifference(drawn, fourBytes, s.width, 4), "") << "trial " << trial;
    }
}

// ------------------------------------------------------------------ worked figures

// Opaque red, 50 % red and "Source" of a transparent colour on a 4 x 1
// surface whose pixels all start as 0x10, 0x20, 0x30, 0x40 (a 5-6-5 pixel
// 0x4030): the rectangle covers columns 1 and 2 fully.
TEST(PixelFormats, WorkedFigures) {
    struct Case {
        uint32_t format;
        Color color;
        BlendMode mode;
        std::vector<uint8_t> inside;  // the bytes of a covered pixel
    } const cases[] = {
        {kAR24, {1, 0, 0, 1}, BlendMode::SourceOver, {0, 0, 255, 255}},
        {kXR24, {1, 0, 0, 1}, BlendMode::SourceOver, {0, 0, 255, 255}},
        {kXB24, {1, 0, 0, 1}, BlendMode::SourceOver, {255, 0, 0, 255}},
        {kRG16, {1, 0, 0, 1}, BlendMode::SourceOver, {0x00, 0xF8}},
        // premultiplied red 128, alpha 128 over B, G, R, A = 16, 32, 48, 64:
        // each byte d + s - m(d, 128), m(x, y) = ((t >> 8) + t) >> 8 for
        // t = x y + 128.
        {kAR24, {1, 0, 0, 0.5f}, BlendMode::SourceOver, {8, 16, 152, 160}},
        // the X byte reads 255: colours keep (255 - 128) / 255 of the pixel.
        {kXB24, {1, 0, 0, 0.5f}, BlendMode::SourceOver, {136, 16, 24, 255}},
        // Source of a transparent colour leaves alpha 0, written as 255: black.
        {kXR24, {1, 1, 1, 0}, BlendMode::Source, {0, 0, 0, 255}},
        // 0x4030 widens to (66, 4, 132); 50 % red over it gives (161, 2, 66),
        // which packs to 0xA008: truncation drops the low bits.
        {kRG16, {1, 0, 0, 0.5f}, BlendMode::SourceOver, {0x08, 0xA0}},
    };
    for (const Case& c : cases) {
        const int bytes = c.format == kRG16 ? 2 : 4;
        const std::vector<uint8_t> start = bytes == 2 ? std::vector<uint8_t>{0x30, 0x40}
                                                      : std::vector<uint8_t>{0x10, 0x20, 0x30, 0x40};
        TestSupport::Surface surface(4, 1, c.format);
        for (size_t i = 0; i < surface.memory.size(); ++i)
            surface.memory[i] = start[i % bytes];
        auto context = std::make_shared<Context2D>(surface.surface);
        context->renderState->blendMode = c.mode;
        Path path(context);
        path.AppendData({PathCommands::MoveTo, PathCommands::LineTo, PathCommands::LineTo, PathCommands::LineTo,
                         PathCommands::Close},
                        {1, 0, 3, 0, 3, 1, 1, 1});
        path.Draw(TestSupport::FillWith(std::make_shared<ColorPaint>(context, c.color)), nullptr);
        for (int column = 0; column < 4; ++column) {
            const std::vector<uint8_t> pixel(surface.memory.begin() + column * bytes,
                                             surface.memory.begin() + (column + 1) * bytes);
            EXPECT_EQ(pixel, column == 1 || column == 2 ? c.inside : start) << &c - cases << " column " << column;
        }
    }
}

// An X byte is left as it is where a draw's coverage is 0 (beside the
// shape, outside the scissor box) and is 255 wherever the draw reached.
TEST(PixelFormats, XBytesChangeOnlyWhereCovered) {
    for (uint32_t format : {kXR24, kXB24})
        for (DrawRoad road : {DrawRoad::Library, DrawRoad::Reference}) {
            TestSupport::Surface surface(8, 4, format);
            std::fill(surface.memory.begin(), surface.memory.end(), 7);
            auto context = std::make_shared<Context2D>(surface.surface);
            context->renderState->origin = Origin::TopLeft;
            context->renderState->scissoringEnabled = true;
            context->renderState->scissorRectangles = {IntRectangle{0, 0, 5, 4}};  // columns 0 to 5: inclusive corners
            Path path(context);
            path.AppendData({PathCommands::MoveTo, PathCommands::LineTo, PathCommands::LineTo, PathCommands::Close},
                            {0.5f, 0, 8, 0, 8, 3});
            DrawPath(path, TestSupport::FillWith(std::make_shared<ColorPaint>(context, Color{0.2f, 0.4f, 0.6f, 0.3f})),
                     nullptr, road);
            for (int row = 0; row < 4; ++row)
                for (int column = 0; column < 8; ++column) {
                    const uint8_t* p = surface.Pixel(column, row);
                    const bool changed = p[0] != 7 || p[1] != 7 || p[2] != 7;
                    // Covered pixels change colour (the colour differs from 7 everywhere).
                    EXPECT_EQ(p[3], changed ? 255 : 7) << column << ", " << row;
                    if (column >= 6 || row == 3) {
                        EXPECT_FALSE(changed) << column << ", " << row;
                    }
                }
        }
}

// ------------------------------------------------------------------ text and images

// Text blends its own coverage: "AR24" is "AB24" swapped; an X layout over
// opaque pixels is its four-byte layout; "RG16" (one glyph, each pixel
// blended once) is the "AB24" blend of the widened pixels, narrowed.
TEST(PixelFormats, TextOnEveryLayout) {
    std::mt19937 engine(17);
    const int width = 40, height = 30;
    for (uint32_t format : kNewFormats) {
        const int bytes = format == kRG16 ? 2 : 4;
        std::vector<uint8_t> backdrop(size_t(width) * height * bytes);
        for (uint8_t& b : backdrop)
            b = uint8_t(engine());
        if (format == kXR24 || format == kXB24)
            for (size_t i = 3; i < backdrop.size(); i += 4)
                backdrop[i] = 255;
        // The "AB24" backdrop that the layout's definition composes.
        std::vector<uint8_t> ab24(size_t(width) * height * 4);
        for (size_t i = 0; i < size_t(width) * height; ++i) {
            if (format == kRG16) {
                const unsigned w = backdrop[2 * i] | backdrop[2 * i + 1] << 8;
                const unsigned r = w >> 11, g = w >> 5 & 63, b = w & 31;
                ab24[4 * i] = uint8_t(r << 3 | r >> 2), ab24[4 * i + 1] = uint8_t(g << 2 | g >> 4);
                ab24[4 * i + 2] = uint8_t(b << 3 | b >> 2), ab24[4 * i + 3] = 255;
            } else {
                std::copy(backdrop.begin() + 4 * i, backdrop.begin() + 4 * i + 4, ab24.begin() + 4 * i);
            }
        }
        if (format == kAR24 || format == kXR24)
            ab24 = Swapped(ab24);
        const auto draw = [&](uint32_t drawnFormat, std::vector<uint8_t> pixels) {
            const int pixelBytes = drawnFormat == kRG16 ? 2 : 4;
            orv_surface* surface =
                orv_surface_create_for_data(width, height, drawnFormat, width * pixelBytes, pixels.data());
            {
                auto context = std::make_shared<Context2D>(surface);
                context->renderState->origin = Origin::TopLeft;
                Font font(context, TestSupport::FontPath().c_str(), 24);
                font.DrawString(3, 22, drawnFormat == kRG16 || format == kRG16 ? "W" : "Wg&", Color{0.9f, 0.3f, 0.1f, 0.7f});
                context->Finish();
            }
            orv_surface_destroy(surface);
            return pixels;
        };
        const std::vector<uint8_t> drawn = draw(format, backdrop);
        std::vector<uint8_t> expected = draw(kAB24, ab24);
        EXPECT_NE(expected, ab24) << std::hex << format;
        if (format == kAR24 || format == kXR24)
            expected = Swapped(expected);
        if (format == kRG16) {
            std::vector<uint8_t> packed(size_t(width) * height * 2);
            for (size_t i = 0; i < size_t(width) * height; ++i) {
                const unsigned w = (expected[4 * i] >> 3) << 11 | (expected[4 * i + 1] >> 2) << 5 | expected[4 * i + 2] >> 3;
                packed[2 * i] = uint8_t(w), packed[2 * i + 1] = uint8_t(w >> 8);
            }
            expected = packed;
        }
        EXPECT_EQ(FirstDifference(drawn, expected, width, bytes), "") << std::hex << format;
    }
}

// An "AR24" image is the "RA24" image of its bytes reordered, its
// premultiplied colour divided back; an "XR24" image reads its fourth byte
// as 255. Both row orders.
TEST(PixelFormats, ImagePaintReadsAr24AndXr24) {
    std::mt19937 engine(19);
    for (uint32_t imageFormat : {kAR24, kXR24})
        for (int stride : {5 * 4, -5 * 4}) {
            std::vector<uint8_t> image(5 * 4 * 4);
            for (uint8_t& b : image)
                b = uint8_t(engine());
            image[3] = 0, image[7] = 255, image[11] = 1;  // alpha 0, 255 and 1 among the random ones
            std::vector<uint8_t> ra24 = Swapped(image);
            for (size_t i = 0; i < ra24.size(); i += 4) {
                if (imageFormat == kXR24) {
                    ra24[i + 3] = 255;
                    continue;
                }
                const unsigned a = ra24[i + 3];
                for (size_t c = i; c < i + 3; ++c)
                    ra24[c] = uint8_t(a == 0 ? 0 : std::min(255u, (ra24[c] * 255u + a / 2) / a));
            }
            const auto draw = [&](uint32_t format, std::vector<uint8_t>& bytes) {
                TestSupport::Surface surface(12, 10);
                auto context = std::make_shared<Context2D>(surface.surface);
                context->transforms->image->Set(Matrix3::CreateScale(2.3f, 1.7f));
                auto picture = std::make_shared<Image>(context, int(format), 5, 4, stride, bytes.data());
                auto paint = std::make_shared<ImagePaint>(context, picture);
                paint->ImageTilingMode = TilingMode::Reflect;
                Path path(context);
                path.AppendData({PathCommands::MoveTo, PathCommands::LineTo, PathCommands::LineTo}, {0, 0, 12, 1, 5, 10});
                path.Draw(TestSupport::FillWith(paint), nullptr);
                return surface.memory;
            };
            const std::vector<uint8_t> drawn = draw(imageFormat, image);
            EXPECT_EQ(drawn, draw(TestSupport::kRA24, ra24)) << std::hex << imageFormat << std::dec << " " << stride;
            EXPECT_NE(drawn, std::vector<uint8_t>(drawn.size(), 0));
        }
}

// A client's paint is handed the reference renderer of the surface's
// layout; the library's paints it calls read it back as that layout's.
TEST(PixelFormats, ClientPaintsGetTheRendererOfTheLayout) {
    struct Delegating : ColorPaint {
        using ColorPaint::ColorPaint;
        void Rasterize(void* rasterizer, void* scanline, void* renderer, void* matrix) override {
            ColorPaint::Rasterize(rasterizer, scanline, renderer, matrix);
        }
    };
    for (uint32_t format : kNewFormats) {
        TestSupport::Surface client(9, 7, format), library(9, 7, format);
        for (TestSupport::Surface* s : {&client, &library}) {
            std::fill(s->memory.begin(), s->memory.end(), 0x5A);
            auto context = std::make_shared<Context2D>(s->surface);
            const Color color{0.1f, 0.8f, 0.4f, 0.6f};
            std::shared_ptr<Paint> paint = s == &client ? std::make_shared<Delegating>(context, color)
                                                        : std::make_shared<ColorPaint>(context, color);
            Path path(context);
            path.AppendData({PathCommands::MoveTo, PathCommands::LineTo, PathCommands::LineTo}, {0.3f, 0, 9, 2.5f, 2, 7});
            path.Draw(TestSupport::FillWith(paint), nullptr);
        }
        EXPECT_EQ(client.memory, library.memory) << std::hex << format;
        EXPECT_NE(client.memory, std::vector<uint8_t>(client.memory.size(), 0x5A)) << std::hex << format;
    }
}

// Rows padded beyond their pixels and rows in reverse memory order: the
// same pixels as a tight surface, the padding untouched.
TEST(PixelFormats, PaddedAndReversedRows) {
    const int width = 13, height = 9;
    for (uint32_t format : kNewFormats) {
        const int bytes = format == kRG16 ? 2 : 4, tight = width * bytes;
        const auto draw = [&](int stride) {
            TestSupport::Surface surface(width, height, format, stride);
            std::fill(surface.memory.begin(), surface.memory.end(), 0xA5);
            auto context = std::make_shared<Context2D>(surface.surface);
            auto gradient = std::make_shared<LinearGradientPaint>(context, 0, 0, 13, 9);
            gradient->ColorStops = {{0, {1, 0.5f, 0, 0.8f}}, {1, {0, 0.3f, 1, 0.4f}}};
            Path path(context);
            path.AppendData({PathCommands::MoveTo, PathCommands::LineTo, PathCommands::LineTo}, {-1, 0.5f, 14, 3, 4, 9.5f});
            path.Draw(TestSupport::FillWith(gradient), nullptr);
            Font font(context, TestSupport::FontPath().c_str(), 9);
            font.DrawString(1, 7, "Ag", Color{0.1f, 0.2f, 0.9f, 0.9f});
            context->Finish();
            // Memory row r of the surface's own row order, and its padding.
            std::vector<uint8_t> rows, padding;
            for (int row = 0; row < height; ++row) {
                const uint8_t* at = surface.memory.data() + (stride >= 0 ? row : height - 1 - row) * std::abs(stride ? stride : tight);
                rows.insert(rows.end(), at, at + tight);
                if (std::abs(stride) > tight)
                    padding.insert(padding.end(), at + tight, at + std::abs(stride));
            }
            EXPECT_EQ(padding, std::vector<uint8_t>(padding.size(), 0xA5)) << std::hex << format;
            return rows;
        };
        const std::vector<uint8_t> plain = draw(0);
        EXPECT_NE(plain, std::vector<uint8_t>(plain.size(), 0xA5));
        for (int stride : {tight + 6, -tight, -(tight + 10)})
            EXPECT_EQ(draw(stride), plain) << std::hex << format << std::dec << " stride " << stride;
    }
}
