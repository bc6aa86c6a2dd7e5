// Value types, transforms, named colours and the exception family.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <tuple>
#include <typeinfo>

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
    // Zero, -0 and a square that underflows all normalise to +0, never NaN.
    for (Float32x2 zero : {Float32x2{0, 0}, Float32x2{-0.0f, 0}, Float32x2{1e-30f, 0}}) {
        EXPECT_EQ(zero.Length(), 0.0f);
        zero.Normalize();
        EXPECT_TRUE(SameBits(zero.X, 0.0f) && SameBits(zero.Y, 0.0f));
    }
    Float32x2 threeFour{3, 4};
    EXPECT_EQ(threeFour.Length(), 5.0f);
    threeFour.Normalize();
    EXPECT_FLOAT_EQ(threeFour.X, 0.6f);
    EXPECT_FLOAT_EQ(threeFour.Y, 0.8f);
    // One fused multiply-add: fma(X, X, Y*Y) keeps bits a separate product rounds away.
    Float32x2 fused{1.0f + 0x1p-12f, 0x1p-12f};
    EXPECT_TRUE(SameBits(fused.Length(), std::sqrt(std::fmaf(fused.X, fused.X, fused.Y * fused.Y))));
}

TEST(Values, MatrixConstructorsProductsAndTransform) {
    ExpectPoint(Matrix3::Transform({1, 0}, Matrix3::CreateRotation(float(M_PI / 2))), 0, 1, 1e-6f);
    ExpectPoint(Matrix3::Transform({2, 3}, Matrix3::CreateTranslation(Float32x2{10, 20})), 12, 23);
    ExpectPoint(Matrix3::Transform({2, 3}, Matrix3::CreateScale(Float32x2{2, -1})), 4, -3);
    // Elements 2, 5 and 8 play no part: no projective division.
    Matrix3 projective = Matrix3::CreateTranslation(1, 1);
    projective[2] = projective[5] = 7;
    projective[8] = 0;
    ExpectPoint(Matrix3::Transform({2, 3}, projective), 3, 4);

    // The result may be either factor; element (0, 0) is fma(a02, b20, fma(a00,
    // b00, a01 * b10)): (1 + 2^-12)^2 keeps its 2^-24 only if not rounded first.
    const float wide = 1 + 0x1p-12f;
    const Matrix3 a = {{wide, 1, 0.25f, -3, 4, 1, 7, -8, 1}}, b = {{wide, -1, 2, -1, 0.125f, -2, 1, 6, 1}};
    Matrix3 separate, left = a, right = b;
    Matrix3::Multiply(a, b, separate);
    Matrix3::Multiply(left, b, left);
    Matrix3::Multiply(a, right, right);
    EXPECT_EQ(std::memcmp(separate.M, left.M, sizeof left.M), 0);
    EXPECT_EQ(std::memcmp(separate.M, right.M, sizeof right.M), 0);
    EXPECT_TRUE(SameBits(separate[0], 0.25f + 0x1p-11f + 0x1p-24f));
    EXPECT_TRUE(SameBits(separate[7], std::fmaf(1, 6, std::fmaf(7, -1, -8 * 0.125f))));
}

TEST(Values, TransformsApplyTheLastOperationLast) {
    Transform transform(TransformName::Path);
    auto map = [&](float x, float y) { return Matrix3::Transform({x, y}, transform.Get()); };
    transform.Translate(10, 0);
    transform.Rotate(float(M_PI / 2));
    ExpectPoint(map(1, 0), 0, 11, 1e-5f);
    transform.LoadIdentity();
    transform.Rotate(float(M_PI / 2));
    transform.Translate(10, 20);
    ExpectPoint(map(1, 0), 10, 21, 1e-5f);
    // Set replaces the matrix; later operations compose onto it.
    transform.Set(Matrix3{{2, 0.5f, 0, -1, 3, 0, 4, 5, 1}});
    transform.Scale(1, 2);
    transform.Translate(1, 1);
    ExpectPoint(map(1, 0), 7, 12);
}

TEST(Values, NamedColoursAreTheFloatsNearestToBytesOver255) {
    struct Case { Color color; int r, g, b, a; } const cases[] = {
        {NamedColor::AliceBlue, 240, 248, 255, 255}, {NamedColor::Gray, 128, 128, 128, 255},
        {NamedColor::TransparentWhite, 255, 255, 255, 0}, {NamedColor::LightGoldenrodYellow, 250, 250, 210, 255},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(SameBits(c.color.R, float(c.r) / 255.0f) && SameBits(c.color.G, float(c.g) / 255.0f) &&
                    SameBits(c.color.B, float(c.b) / 255.0f) && SameBits(c.color.A, float(c.a) / 255.0f))
            << &c - cases;
}

TEST(Exceptions, EveryClassPrintsItsMessageOnceAndIsAnException) {
    // A message prints once, when the exception is made; default construction prints nothing.
    auto expect = [](auto tag) {
        typedef decltype(tag) E;
        EXPECT_EQ(TestSupport::CaptureStdout([] { E e; (void)e; }), "") << typeid(E).name();
        const std::string printed = TestSupport::CaptureStdout([] {
            try {
                throw E("thrown");
            } catch (const Exception&) {
            }
        });
        EXPECT_EQ(printed, "thrown\n") << typeid(E).name();
    };
    std::apply([&](auto... tags) { (expect(tags), ...); },
               std::tuple<Exception, ArgumentException, ArgumentNullException, ArgumentOutOfRangeException,
                          NotSupportedException, NotImplementedException, InvalidOperationException,
                          InvalidCastException, FileNotFoundException, IndexOutOfRangeException>());
    // The second text of ArgumentException is ignored.
    EXPECT_EQ(TestSupport::CaptureStdout([] { ArgumentException e("first", "second"); (void)e; }), "first\n");
}
