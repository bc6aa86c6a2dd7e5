// Value types: vector length and normalisation, matrix products and point
// transforms, and the named colour table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "TestSupport.hpp"

using namespace ORV::Vudadive2R;

namespace {

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void ExpectPoint(Float32x2 point, float x, float y, float tolerance = 0.0f) {
    EXPECT_NEAR(point.X, x, tolerance);
    EXPECT_NEAR(point.Y, y, tolerance);
}

}  // namespace

TEST(Values, Float32x2LengthAndNormalize) {
    Float32x2 zero{0, 0};
    zero.Normalize();
    EXPECT_TRUE(SameBits(zero.X, 0.0f) && SameBits(zero.Y, 0.0f));

    Float32x2 negativeZero{-0.0f, 0.0f};
    negativeZero.Normalize();
    EXPECT_TRUE(SameBits(negativeZero.X, 0.0f)) << "-0 must become +0";

    Float32x2 threeFour{3, 4};
    EXPECT_EQ(threeFour.Length(), 5.0f);
    threeFour.Normalize();
    EXPECT_FLOAT_EQ(threeFour.X, 0.6f);
    EXPECT_FLOAT_EQ(threeFour.Y, 0.8f);

    // The square underflows in single precision: length 0, normalised to 0.
    Float32x2 tiny{1e-30f, 0};
    EXPECT_EQ(tiny.Length(), 0.0f);
    tiny.Normalize();
    EXPECT_EQ(tiny.X, 0.0f);

    // The sum is one fused multiply-add: fma(X, X, Y*Y) keeps bits that a
    // separate product would round away.
    Float32x2 fused{1.0f + 0x1p-12f, 0x1p-12f};
    const float expected = std::sqrt(std::fmaf(fused.X, fused.X, fused.Y * fused.Y));
    EXPECT_TRUE(SameBits(fused.Length(), expected));

    EXPECT_EQ(Float32x2::Zero.X, 0.0f);
    EXPECT_EQ(Float32x2::One.Y, 1.0f);
}

TEST(Values, MatrixConstructorsAndTransform) {
    ExpectPoint(Matrix3::Transform({1, 0}, Matrix3::CreateRotation(float(M_PI / 2))), 0, 1, 1e-6f);
    ExpectPoint(Matrix3::Transform({2, 3}, Matrix3::CreateTranslation(10, 20)), 12, 23);
    ExpectPoint(Matrix3::Transform({2, 3}, Matrix3::CreateTranslation(Float32x2{10, 20})), 12, 23);
    ExpectPoint(Matrix3::Transform({2, 3}, Matrix3::CreateScale(2, -1)), 4, -3);
    ExpectPoint(Matrix3::Transform({2, 3}, Matrix3::CreateScale(Float32x2{2, -1})), 4, -3);

    // Elements 2, 5 and 8 play no part: no projective division.
    Matrix3 projective = Matrix3::CreateTranslation(1, 1);
    projective[2] = 7;
    projective[5] = 7;
    projective[8] = 0;
    ExpectPoint(Matrix3::Transform({2, 3}, projective), 3, 4);

    const Matrix3 rotation = Matrix3::CreateRotation(0.5f);
    float s, c;
    ::sincosf(0.5f, &s, &c);
    const float expected[9] = {c, s, 0, -s, c, 0, 0, 0, 1};
    EXPECT_EQ(std::memcmp(rotation.M, expected, sizeof expected), 0);
}

TEST(Values, MatrixMultiplyOrderAndAliasing) {
    Matrix3 scaleThenTranslate;
    Matrix3::Multiply(Matrix3::CreateScale(2, 2), Matrix3::CreateTranslation(5, 0), scaleThenTranslate);
    ExpectPoint(Matrix3::Transform({1, 1}, scaleThenTranslate), 7, 2);
    Matrix3 translateThenScale;
    Matrix3::Multiply(Matrix3::CreateTranslation(5, 0), Matrix3::CreateScale(2, 2), translateThenScale);
    ExpectPoint(Matrix3::Transform({1, 1}, translateThenScale), 12, 2);

    const Matrix3 a = {{1.5f, 2, 0.25f, -3, 4, 1, 7, -8, 1}};
    const Matrix3 b = {{0.5f, -1, 2, 3, 0.125f, -2, 1, 6, 1}};
    Matrix3 separate;
    Matrix3::Multiply(a, b, separate);
    Matrix3 left = a;
    Matrix3::Multiply(left, b, left);
    Matrix3 right = b;
    Matrix3::Multiply(a, right, right);
    EXPECT_EQ(std::memcmp(separate.M, left.M, sizeof left.M), 0);
    EXPECT_EQ(std::memcmp(separate.M, right.M, sizeof right.M), 0);
    // Element (0, 0) accumulated as fma(a02, b20, fma(a00, b00, a01 * b10)).
    EXPECT_TRUE(SameBits(separate[0], std::fmaf(0.25f, 1, std::fmaf(1.5f, 0.5f, 2 * 3))));
    EXPECT_TRUE(SameBits(separate[7], std::fmaf(1, 6, std::fmaf(7, -1, -8 * 0.125f))));
}

TEST(Values, NamedColours) {
    struct Case {
        Color color;
        int r, g, b, a;
    };
    const Case cases[] = {
        {NamedColor::AliceBlue, 240, 248, 255, 255},
        {NamedColor::Aquamarine, 127, 255, 212, 255},
        {NamedColor::Black, 0, 0, 0, 255},
        {NamedColor::White, 255, 255, 255, 255},
        {NamedColor::Green, 0, 255, 0, 255},
        {NamedColor::Lime, 0, 255, 0, 255},
        {NamedColor::DarkSeaGreen, 143, 188, 139, 255},
        {NamedColor::Transparent, 0, 0, 0, 0},
        {NamedColor::TransparentBlack, 0, 0, 0, 0},
        {NamedColor::TransparentWhite, 255, 255, 255, 0},
        {NamedColor::Gray, 128, 128, 128, 255},
        {NamedColor::YellowGreen, 154, 205, 50, 255},
        {NamedColor::LightGoldenrodYellow, 250, 250, 210, 255},
    };
    for (const Case& c : cases) {
        // The float nearest to k / 255.
        EXPECT_TRUE(SameBits(c.color.R, float(c.r) / 255.0f));
        EXPECT_TRUE(SameBits(c.color.G, float(c.g) / 255.0f));
        EXPECT_TRUE(SameBits(c.color.B, float(c.b) / 255.0f));
        EXPECT_TRUE(SameBits(c.color.A, float(c.a) / 255.0f));
    }
    EXPECT_NEAR(NamedColor::AliceBlue.R, 0.941176, 1e-6);
    EXPECT_NEAR(NamedColor::AliceBlue.G, 0.972549, 1e-6);
}
