// The spans' arithmetic, and their generators against AGG's where the random scenes do not reach.
#include <gtest/gtest.h>

#include <agg_image_filters.h>
#include <agg_span_gradient.h>
#include <agg_span_interpolator_linear.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "ImageSupport.hpp"
#include "paint/ExactDivisor.hpp"
#include "paint/GradientSpanGenerator.hpp"
#include "paint/SpanImageBilinearTiled.hpp"
#include "vudadive2r.hpp"

#ifndef VUDADIVE2R_TEST_THINNING
#define VUDADIVE2R_TEST_THINNING 1
#endif

using namespace ORV::Vudadive2R;

namespace {

// The hardest dividend of d, whose error is largest, is the largest with remainder d - 1.
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

// Whole rows, two spans of one length a column apart (what a generator
// keeps from one span must not serve the other) and spans of random lengths
// from random columns: empty when they agree.
template <class Ours, class Theirs>
std::string CompareSpans(Ours& ours, Theirs& theirs, int width, int rows, std::mt19937& random) {
    std::vector<agg::rgba8> a(size_t(width) + 2), b(size_t(width) + 2);
    for (int y = 0; y < rows; ++y)
        for (int n = 0; n < 8; ++n) {
            int x = n - 2;
            unsigned length = unsigned(width);
            if (n == 0)
                x = -1, length = unsigned(width) + 2;
            else if (n > 2)
                x = int(random() % unsigned(width)) - 1, length = 1 + unsigned(random()) % unsigned(width + 1 - x);
            ours.generate(a.data(), x, y, length);
            theirs.generate(b.data(), x, y, length);
            for (unsigned i = 0; i < length; ++i)
                if (std::memcmp(&a[i], &b[i], 4) != 0)
                    return "column " + std::to_string(x + int(i)) + ", row " + std::to_string(y);
        }
    return std::string();
}

// Our generator for `value` against agg::span_gradient over `function`,
// with each spread: empty when they agree.
template <class Value, class Function>
std::string CompareGradients(const agg::trans_affine& matrix, const Value& value, const Function& function,
                             int sixteenths, std::mt19937& random, int width = 300, int rows = 20,
                             SimdLevel level = BestSimdLevel()) {
    const std::vector<ColorStop> stops = {{0, {1, 0, 0, 1}}, {0.3f, {0, 1, 0, 0.5f}}, {1, {0, 0, 1, 1}}};
    const ColorRamp ramp(stops);
    auto compare = [&](auto spread, auto spreadFunction) {
        GradientSpanGenerator<Value, decltype(spread)> ours(matrix, value, ramp, sixteenths, level);
        BoundedSpanInterpolator interpolator(matrix);
        BoundedGradient<decltype(spreadFunction)> bounded{spreadFunction};
        agg::span_gradient<agg::rgba8, BoundedSpanInterpolator, decltype(bounded), const ColorRamp> theirs(
            interpolator, bounded, ramp, 0, sixteenths / double(agg::gradient_subpixel_scale));
        return CompareSpans(ours, theirs, width, rows, random);
    };
    const std::string pad = compare(PadSpread(sixteenths), function);
    const std::string reflect = compare(ReflectSpread(sixteenths), agg::gradient_reflect_adaptor<Function>(function));
    const std::string repeat = compare(RepeatSpread(sixteenths), agg::gradient_repeat_adaptor<Function>(function));
    if (!pad.empty())
        return "pad, " + pad;
    return !reflect.empty() ? "reflect, " + reflect : !repeat.empty() ? "repeat, " + repeat : "";
}

// Ranges from a sixteenth to the largest, positions beyond the interpolator's reach (2^22).
TEST(PaintSpans, GradientsAtTheirLimitsAreAggsSpans) {
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
    std::mt19937 random(3);
    for (const Case& c : cases) {
        const float dx = c.x1 - c.x0, dy = c.y1 - c.y0;
        const double range = std::sqrt(dx * dx + dy * dy);
        agg::trans_affine placement =
            agg::trans_affine_rotation(std::atan2(dy, dx)) * agg::trans_affine_translation(c.x0, c.y0);
        agg::trans_affine matrix = agg::trans_affine(c.paint[0], c.paint[1], c.paint[3], c.paint[4], c.paint[6],
                                                     c.paint[7]).invert();
        matrix.multiply(placement.invert());
        const int sixteenths = agg::iround(range * agg::gradient_subpixel_scale);
        EXPECT_EQ(CompareGradients(matrix, LinearGradientValue(), agg::gradient_x(), sixteenths, random), "")
            << c.what;
    }
}

// The radial function in lanes where the random scenes seldom go: a focus on
// the circle (moved inwards), outside it (where the ray misses the circle),
// values far beyond the limit, and turned and mirrored
// positions near and beyond the interpolator's reach.
TEST(PaintSpans, RadialGradientsAtTheirLimitsAreAggsSpans) {
    struct Case {
        const char* what;
        float radius, focusX, focusY;
        agg::trans_affine paint;
    } cases[] = {
        {"focus at the centre", 60, 0, 0, agg::trans_affine()},
        {"focus on the circle", 60, 0, -60, agg::trans_affine()},
        {"focus outside the circle", 40, 70, -30, agg::trans_affine_rotation(0.3)},
        {"a radius of a sixteenth", 0.0625f, 0.01f, 0, agg::trans_affine()},
        {"the largest radius", 524287.9f, 1000, 5, agg::trans_affine_scaling(-2, 3)},
        {"values beyond the limit", 3, 2.99f, 0, agg::trans_affine_scaling(1.0 / 500)},
        {"positions near the interpolator's reach (2^22)", 80, 10, 10, agg::trans_affine_scaling(1.0 / 26000)},
        {"positions beyond it", 80, 10, 10, agg::trans_affine_scaling(1.0 / 30000)},
    };
    std::mt19937 random(5);
    for (const Case& c : cases) {
        if (!RadialFocusFunction::Accepts(c.radius, c.focusX, c.focusY)) {
            ADD_FAILURE() << c.what << " is not a usable gradient";
            continue;
        }
        const RadialFocusFunction function(c.radius, c.focusX, c.focusY);
        // Positions relative to a centre on the surface.
        agg::trans_affine matrix = agg::trans_affine_translation(-150, -10) * ~c.paint;
        const int sixteenths = agg::iround(c.radius * agg::gradient_subpixel_scale);
        const FunctionGradientValue<RadialFocusFunction> value{function, sixteenths};
        EXPECT_EQ(CompareGradients(matrix, value, function, sixteenths, random), "") << c.what;
    }
}

// Rows of surfaces 1024 and 4096 wide under random radial gradients: radii
// from a pixel to the largest, the focus anywhere from the centre to beyond
// the circle, placed unscaled, mirrored and scaled by whole numbers (whose
// lanes step by whole sixteenths), scaled by fractions and turned.
TEST(PaintSpans, RadialGradientsAtUserSizesAreAggsSpans) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int n = 0; n < 48; ++n) {
        const double radius = std::exp(unit(random) * std::log(500000.0)) + 0.5;
        const double reach = n % 4 == 0 ? 1.0 : n % 4 == 1 ? 1 + unit(random) : unit(random);
        const double angle = 6.3 * unit(random);
        const float focusX = float(reach * radius * std::cos(angle)), focusY = float(reach * radius * std::sin(angle));
        if (!RadialFocusFunction::Accepts(radius, focusX, focusY))
            continue;
        const int width = n % 2 ? 4096 : 1024;
        agg::trans_affine paint;
        switch (n / 2 % 6) {
        case 0: break;
        case 1: paint = agg::trans_affine_scaling(-1, 1); break;
        case 2: paint = agg::trans_affine_scaling(double(1 + n % 3), double(2 + n % 2)); break;
        case 3: paint = agg::trans_affine_scaling(0.25 + 3 * unit(random), 0.25 + 3 * unit(random)); break;
        case 4: paint = agg::trans_affine_rotation(6.3 * unit(random)); break;
        default: paint = agg::trans_affine_scaling(0.5, -2) * agg::trans_affine_skewing(0.3 * unit(random), 0); break;
        }
        // The centre anywhere near the surface, whole or not.
        const double centreX = n % 3 ? std::floor(width * unit(random)) : width * unit(random) - 100;
        const double centreY = 600 * unit(random) - 100;
        agg::trans_affine matrix = agg::trans_affine_translation(-centreX, -centreY) * ~paint;
        const RadialFocusFunction function(radius, focusX, focusY);
        const int sixteenths = agg::iround(radius * agg::gradient_subpixel_scale);
        const FunctionGradientValue<RadialFocusFunction> value{function, sixteenths};
        // Each lane width this processor has, and pixel by pixel.
        for (int level = int(BestSimdLevel()); level >= 0; --level)
            EXPECT_EQ(CompareGradients(matrix, value, function, sixteenths, random, width, 3, SimdLevel(level)), "")
                << "gradient " << n << ": radius " << radius << ", focus " << focusX << ", " << focusY << ", level "
                << level;
    }
}

// Images up to 300 pixels, spans of 600, minified past a period per pixel,
// rotated and mirrored, each tiling at each level, against the tiling rules.
TEST(PaintSpans, TiledImagesAreTheTilingsSamples) {
    std::mt19937 random(5);
    std::uniform_real_distribution<float> unit(0, 1);
    agg::image_filter_lut filter(agg::image_filter_bilinear(), true);
    for (int n = 0; n < 400 / VUDADIVE2R_TEST_THINNING + 16; ++n) {
        const int width = 1 + int(random() % 300), height = 1 + int(random() % 40);
        ImageSupport::Picture picture(width, height, n % 2 ? width * 4 : -width * 4);
        for (uint8_t& byte : picture.bytes)
            byte = uint8_t(random());
        agg::rendering_buffer buffer(picture.bytes.data(), unsigned(width), unsigned(height), picture.stride);
        const TilingMode mode = TilingMode(n % 4);
        const float scale = (n % 5 == 0) ? 50 + 500 * unit(random) : 0.05f + 3 * unit(random);
        const float reach = mode == TilingMode::Repeat || mode == TilingMode::Reflect ? 1000 : 300;
        agg::trans_affine matrix = agg::trans_affine_scaling(n % 3 ? scale : -scale, scale * (0.5f + unit(random))) *
                                   agg::trans_affine_rotation(n % 7 < 2 ? 6.3f * unit(random) : 0) *
                                   agg::trans_affine_translation(2 * reach * unit(random) - reach, 30 * unit(random));
        matrix.invert();
        const agg::rgba8 tile{uint8_t(random()), uint8_t(random()), uint8_t(random()), uint8_t(random())};
        ImageSupport::Interpolator interpolator(matrix);
        ImageSupport::ReferenceSampler theirs{
            picture, mode, {tile.r, tile.g, tile.b, tile.a}, interpolator, filter.weight_array()};
        auto compare = [&](auto* coordinate) {
            SpanImageBilinearTiled<std::remove_pointer_t<decltype(coordinate)>> ours(buffer, matrix, filter, 4194305.0,
                                                                                     tile, SimdLevel(n / 4 % 3));
            return CompareSpans(ours, theirs, 600, 10, random);
        };
        const std::string differs = mode == TilingMode::Clip     ? compare((BoundedCoordinate<false>*)nullptr)
                                    : mode == TilingMode::NoClip ? compare((BoundedCoordinate<true>*)nullptr)
                                    : mode == TilingMode::Repeat ? compare((PeriodicCoordinate<false>*)nullptr)
                                                                 : compare((PeriodicCoordinate<true>*)nullptr);
        ASSERT_EQ(differs, "") << "image " << n << ", tiling " << int(mode);
    }
}

}  // namespace
