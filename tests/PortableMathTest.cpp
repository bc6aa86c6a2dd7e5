// The library's own arc tangent, cosine and sine: the x86-64 C library's
// results, bit for bit, on every processor. On x86-64 the C library itself is
// the reference; elsewhere the results recorded from it are.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

#include "common/FloatBits.hpp"
#include "common/PortableAtan2.hpp"
#include "common/PortableCosSin.hpp"

using namespace ORV::Vudadive2R;

namespace {

// atan2f(y, x) of the x86-64 C library. Whole-number pairs where the arm64
// one, built with fused multiply-adds, is an ulp away:
const struct {
    float y, x;
    uint32_t result;
} WholeNumbers[] = {
    {-1024, 410, 0xbf985063}, {4, 10, 0x3ec2d1bc},      {-1024, -410, 0xbff9cf52}, {130, -408, 0x40355216},
    {184, 65, 0x3f9d9899},    {-169, -71, 0xbffbf8a0},  {265, -98, 0x3ff666bc},    {-333, -1018, 0xc034d433},
    {445, 1024, 0x3ed1e4ce},  {-40, 626, 0xbd82af5a},   {998, -336, 0x3ff2a160},   {-992, -295, 0xbfee0f75},
};

// And the edges of every branch, as bits: y, x, result.
const struct {
    uint32_t y, x, result;
} Edges[] = {
    // Signed zeros: y's sign, or +-pi when x is negative.
    {0x00000000, 0x00000000, 0x00000000},
    {0x80000000, 0x00000000, 0x80000000},
    {0x00000000, 0x80000000, 0x40490fdb},
    {0x80000000, 0x80000000, 0xc0490fdb},
    {0x40400000, 0x00000000, 0x3fc90fdb},  // 3, 0
    {0xc0400000, 0x80000000, 0xbfc90fdb},  // -3, -0
    // Infinities.
    {0x7f800000, 0x7f800000, 0x3f490fdb},
    {0xff800000, 0xff800000, 0xc016cbe4},
    {0x7f800000, 0xff800000, 0x4016cbe4},
    {0x40a00000, 0x7f800000, 0x00000000},  // 5, inf
    {0xc0a00000, 0x7f800000, 0x80000000},
    {0x40a00000, 0xff800000, 0x40490fdb},
    {0xc0a00000, 0xff800000, 0xc0490fdb},
    {0x7f800000, 0xc0e00000, 0x3fc90fdb},  // inf, -7
    {0xff800000, 0x40e00000, 0xbfc90fdb},
    // NaNs: x's when both are, quieted, whichever is signalling.
    {0x7fc00001, 0x7fc00002, 0x7fc00002},
    {0x7f800003, 0x3f800000, 0x7fc00003},
    {0x3f800000, 0xff800004, 0xffc00004},
    {0x7fc00001, 0xff800004, 0xffc00004},
    // Subnormals, and ratios that underflow (to -0 as well) or overflow.
    {0x00000001, 0x3f800000, 0x00000001},  // 2^-149, 1
    {0x00000001, 0x00000003, 0x3ea4bc7d},
    {0x80000001, 0x7f7fffff, 0x80000000},
    {0x00000001, 0xff7fffff, 0x40490fdb},
    {0x7149f2ca, 0x2edbe6ff, 0x3fc90fdb},  // 1e30, +-1e-10
    {0x7149f2ca, 0xaedbe6ff, 0x3fc90fda},
    {0xf149f2ca, 0xaedbe6ff, 0xbfc90fda},
    // Where the arc tangent saturates (2^25), and tiny ratios.
    {0x4c000000, 0x3f800000, 0x3fc90fdb},
    {0x4bffffff, 0x3f800000, 0x3fc90fda},
    {0x3f800000, 0x4cffffff, 0x32000001},
    {0x3f800000, 0x501502f9, 0x2edbe6ff},
    // Diagonals.
    {0x40e00000, 0x40e00000, 0x3f490fdb},  // 7, 7
    {0x40e00000, 0xc0e00000, 0x4016cbe4},
    {0xbf800000, 0xbf800000, 0xc016cbe4},
    // The bounds of the argument reductions: 7/16, 11/16, 19/16, 39/16.
    {0x3f600000, 0x40000000, 0x3ed32776},
    {0x3edfffff, 0x3f800000, 0x3ed32775},
    {0x3fb00000, 0x40000000, 0x3f1a2f81},
    {0x40180000, 0x40000000, 0x3f5ef387},
    {0x409c0000, 0x40000000, 0x3f973ab9},
};

}  // namespace

TEST(PortableMath, Atan2RecordedResults) {
    for (const auto& row : WholeNumbers)
        EXPECT_EQ(Bits(PortableAtan2(row.y, row.x)), row.result) << row.y << ", " << row.x;
    for (const auto& row : Edges)
        EXPECT_EQ(Bits(PortableAtan2(FromBits(row.y), FromBits(row.x))), row.result)
            << std::hex << row.y << ", " << row.x;
}

namespace {

// cos and sin of float angles from the x86-64 C library (with fused
// multiply-adds), as bits: angle, cos, sin. The bounds of its branches,
// and angles where armhf's C library is an ulp away in cos or sin.
const struct {
    uint32_t angle;
    uint64_t cosine, sine;
} CosSinRows[] = {
    {0x00000000, 0x3ff0000000000000, 0x0000000000000000},
    {0x80000000, 0x3ff0000000000000, 0x8000000000000000},
    {0x00000001, 0x3ff0000000000000, 0x36a0000000000000},  // 2^-149
    {0x32000000, 0x3ff0000000000000, 0x3e40000000000000},  // 2^-27: cos below is 1
    {0x32800000, 0x3fefffffffffffff, 0x3e50000000000000},  // 2^-26: sin below is x
    {0x3d866a9c, 0x3fefee5cad1be58b, 0x3fb0ca3d1bb10419},  // armhf cos
    {0x3e010625, 0x3fefbf0ed1c9087a, 0x3fc015da1d9f97b4},  // just above 0.126
    {0x3e42fa82, 0x3fef6bf2164d90db, 0x3fc839ae21d933bc},  // armhf sin
    {0xbec3467b, 0x3fedb35e3a370a81, 0xbfd7d269874f5348},  // armhf cos
    {0x3f5b0000, 0x3fe4fcd8091b8f24, 0x3fe827f6d2325578},  // 0.85546875
    {0x3fa99f48, 0x3fcf1fe326f5686d, 0x3fef0a202814dcff},  // armhf cos
    {0xbf89aa51, 0x3fde6b0b5507d368, 0xbfec2796f71aa7f9},  // armhf sin
    {0x3fc90fdb, 0xbe6777a5cf72cecc, 0x3feffffffffffff7},  // pi/2
    {0xbfc90fdb, 0xbe6777a5cf72cecc, 0xbfeffffffffffff7},
    {0x401b47e8, 0xbfe827f513dbe3a2, 0x3fe4fcda0ad3a77a},  // 2.42626381: reduced by multiples of pi/2
    {0x40490fdb, 0xbfefffffffffffde, 0xbe7777a5cf72cec6},  // pi
    {0xc0490fdb, 0xbfefffffffffffde, 0x3e7777a5cf72cec6},
    {0xc03db966, 0xbfef7fcabfd15498, 0xbfc68e98b02e9eca},  // armhf sin
    {0x40593672, 0xbfeefc88e3e80c28, 0xbfcff5b18a0949cc},  // armhf sin
    {0x405a37b9, 0xbfeedb7058366ee2, 0xbfd0f375f4401b68},  // armhf cos
    {0x40800000, 0xbfe4eaa606db24c1, 0xbfe837b9dddc1eae},  // 4
    {0xc0800000, 0xbfe4eaa606db24c1, 0x3fe837b9dddc1eae},
};

}  // namespace

TEST(PortableMath, CosSinRecordedResults) {
    for (const auto& row : CosSinRows) {
        double cosine, sine;
        PortableCosSin(FromBits(row.angle), cosine, sine);
        EXPECT_EQ(Bits(cosine), row.cosine) << std::hex << row.angle;
        EXPECT_EQ(Bits(sine), row.sine) << std::hex << row.angle;
    }
    // Infinities, NaNs and finite angles from 105 414 336 up give NaNs.
    for (uint32_t angle : {0x7f800000u, 0xff800000u, 0x7fc00000u, 0x4cc90fd8u, 0xcf000000u}) {
        double cosine, sine;
        PortableCosSin(FromBits(angle), cosine, sine);
        EXPECT_TRUE(std::isnan(cosine) && std::isnan(sine)) << std::hex << angle;
    }
}

#if defined(__x86_64__)

namespace {

// The C library is the reference while it still gives the recorded results:
// another may round differently throughout.
bool LibraryIsReference() {
    for (const auto& row : WholeNumbers)
        if (Bits(atan2f(row.y, row.x)) != row.result)
            return false;
    for (const auto& row : Edges)
        if (Bits(atan2f(FromBits(row.y), FromBits(row.x))) != row.result)
            return false;
    return true;
}

class PortableMathAgainstLibrary : public testing::Test {
protected:
    void SetUp() override {
        if (!LibraryIsReference())
            GTEST_SKIP() << "this C library's atan2f is not the one the results were recorded from";
    }

    void Compare(float y, float x) {
        const uint32_t expected = Bits(atan2f(y, x)), actual = Bits(PortableAtan2(y, x));
        if (expected != actual && ++mismatches <= 8)
            ADD_FAILURE() << std::hexfloat << "atan2(" << y << ", " << x << "): " << std::hex << actual
                          << ", the C library " << expected;
    }

    void TearDown() override { EXPECT_EQ(mismatches, 0u); }

    std::mt19937 random{20240611};
    unsigned mismatches = 0;
};

}  // namespace

TEST_F(PortableMathAgainstLibrary, WholeNumbers) {
    for (int y = -1024; y <= 1024; ++y)
        for (int x = -1024; x <= 1024; ++x)
            Compare(float(y), float(x));
}

TEST_F(PortableMathAgainstLibrary, RandomPairsOfEveryClass) {
    const int count = 1 << 20;
    auto sign = [&] { return uint32_t(random() & 1) << 31; };
    for (int i = 0; i < count; ++i) {
        // Any bits: NaNs, infinities, subnormals and zeros among them.
        Compare(FromBits(random()), FromBits(random()));
        // Magnitudes within 2^-70 to 2^70 of each other, past every
        // threshold of the ratio, clamped to subnormals and infinities.
        const int xExponent = int(random() % 256);
        const int yExponent = std::min(255, std::max(0, xExponent + int(random() % 141) - 70));
        Compare(FromBits(sign() | uint32_t(yExponent) << 23 | (random() & 0x7fffff)),
                FromBits(sign() | uint32_t(xExponent) << 23 | (random() & 0x7fffff)));
        // Near the diagonals: |y| a few ulps from |x|.
        const uint32_t magnitude = random() % 0x7f800000;
        const int64_t nearby = int64_t(magnitude) + int(random() % 65) - 32;
        Compare(FromBits(sign() | uint32_t(std::min<int64_t>(0x7f800000, std::max<int64_t>(0, nearby)))),
                FromBits(sign() | magnitude));
        // Near the axes: one of them a few ulps from zero, either way round.
        const float large = FromBits(sign() | random() % 0x7f800000), small = FromBits(sign() | random() % 64);
        Compare(large, small);
        Compare(small, large);
    }
}

TEST_F(PortableMathAgainstLibrary, SpecialValues) {
    const uint32_t special[] = {0x00000000, 0x00000001, 0x007fffff, 0x00800000, 0x3f7fffff, 0x3f800000,
                                0x3f800001, 0x40000000, 0x4c000000, 0x7f7fffff, 0x7f800000, 0x7f800001,
                                0x7fc00000, 0x7fffffff};
    for (uint32_t y : special)
        for (uint32_t x : special)
            for (uint32_t signs : {0u, 1u, 2u, 3u}) {
                const float signedY = FromBits(y | (signs & 1) << 31), signedX = FromBits(x | (signs >> 1) << 31);
                Compare(signedY, signedX);
                // And against any bits, either way round.
                for (int i = 0; i < 64; ++i) {
                    Compare(signedY, FromBits(random()));
                    Compare(FromBits(random()), signedX);
                }
            }
}

namespace {

// Likewise for cos and sin: another x86-64 C library, or this one choosing
// its code without fused multiply-adds, rounds differently.
bool CosSinLibraryIsReference() {
    for (const auto& row : CosSinRows) {
        const double angle = FromBits(row.angle);
        if (Bits(std::cos(angle)) != row.cosine || Bits(std::sin(angle)) != row.sine)
            return false;
    }
    return true;
}

}  // namespace

TEST(PortableMathCosSinAgainstLibrary, FloatsWithin4) {
    if (!CosSinLibraryIsReference())
        GTEST_SKIP() << "this C library's cos and sin are not the ones the results were recorded from";
    unsigned mismatches = 0;
    auto compare = [&](uint32_t angleBits) {
        const float angle = FromBits(angleBits);
        double cosine, sine;
        PortableCosSin(angle, cosine, sine);
        const double expectedCosine = std::cos(double(angle)), expectedSine = std::sin(double(angle));
        if ((Bits(cosine) != Bits(expectedCosine) || Bits(sine) != Bits(expectedSine)) && ++mismatches <= 8)
            ADD_FAILURE() << std::hexfloat << angle << ": " << cosine << ", " << sine << ", the C library "
                          << expectedCosine << ", " << expectedSine;
    };
    // Every 151st float from 2^-28 to 4, both signs: every branch and every
    // row of the table, many times over.
    for (uint32_t magnitude = 0x31800000; magnitude <= 0x40800000; magnitude += 151) {
        compare(magnitude);
        compare(magnitude | 0x80000000);
    }
    // And every float around the bounds of the branches.
    for (uint32_t bound : {0x32000000u, 0x32800000u, 0x3e010625u, 0x3f5b0000u, 0x401b47e8u, 0x40490fdbu})
        for (uint32_t magnitude = bound - 4096; magnitude <= bound + 4096; ++magnitude) {
            compare(magnitude);
            compare(magnitude | 0x80000000);
        }
    EXPECT_EQ(mismatches, 0u);
}

#endif
