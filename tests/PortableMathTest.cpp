// The library's own arc tangent: the x86-64 C library's results, bit for
// bit, on every processor. On x86-64 the C library itself is the reference;
// elsewhere the results recorded from it are.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

#include "common/PortableAtan2.hpp"

using namespace ORV::Vudadive2R;

namespace {

uint32_t Bits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float FromBits(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

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

#endif
