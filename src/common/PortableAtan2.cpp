#include "common/PortableAtan2.hpp"

#include "common/FloatBits.hpp"

#include <cmath>
#include <cstdint>
#include <cstring>

// Every operation below must round on its own: the project builds with
// -ffp-contract=off, and nothing here may be written as a fused multiply-add.

namespace ORV {
namespace Vudadive2R {

namespace {

constexpr uint32_t Magnitude = 0x7fffffff, Infinity = 0x7f800000, QuietBit = 0x00400000;

constexpr float QuarterPi = 0x1.921fb6p-1f, HalfPi = 0x1.921fb6p+0f, Pi = 0x1.921fb6p+1f;
// pi - Pi, negative: Pi is rounded up.
constexpr float PiLow = -0x1.777a5cp-24f;

// atan of 0.5, 1, 1.5 and infinity, each as a high and a low part.
constexpr float AtanHigh[4] = {0x1.dac67p-2f, 0x1.921fb4p-1f, 0x1.f730bcp-1f, 0x1.921fb4p+0f};
constexpr float AtanLow[4] = {0x1.586ed2p-28f, 0x1.4442dp-25f, 0x1.281f68p-25f, 0x1.4442dp-24f};

// The odd series of atan on [-7/16, 7/16]; the first is the float nearest
// 1/3 (the one below it changes results).
constexpr float Series[11] = {0x1.555556p-2f,  -0x1.99999ap-3f, 0x1.24924ap-3f, -0x1.c71c7p-4f,
                              0x1.745cdcp-4f,  -0x1.3b0f2ap-4f, 0x1.10d66ap-4f, -0x1.dde2d6p-5f,
                              0x1.97b4b2p-5f,  -0x1.2b4442p-5f, 0x1.0ad3aep-6f};

// atan(x) for x not NaN: reduced to |t| < 7/16 around 0, 0.5, 1, 1.5 or
// infinity, then the series in t.
float Atan(float x) {
    const uint32_t bits = Bits(x), magnitude = bits & Magnitude;
    const bool negative = bits >> 31;
    if (magnitude >= 0x4c000000) {  // |x| >= 2^25, infinity included: pi/2
        const float z = AtanHigh[3] + AtanLow[3];
        return negative ? -z : z;
    }
    int reduction;
    float t;
    if (magnitude < 0x3ee00000) {  // |x| < 7/16
        if (magnitude < 0x31000000)  // |x| < 2^-29: x itself, subnormals and zeros too
            return x;
        reduction = -1;
        t = x;
    } else {
        const float a = std::fabs(x);
        if (magnitude < 0x3f300000) {  // 11/16
            reduction = 0;
            t = (2.0f * a - 1.0f) / (2.0f + a);
        } else if (magnitude < 0x3f980000) {  // 19/16
            reduction = 1;
            t = (a - 1.0f) / (a + 1.0f);
        } else if (magnitude < 0x401c0000) {  // 39/16
            reduction = 2;
            t = (a - 1.5f) / (1.0f + 1.5f * a);
        } else {
            reduction = 3;
            t = -1.0f / a;
        }
    }
    // Odd and even terms apart, each in powers of t^4.
    const float z = t * t, w = z * z;
    const float odd =
        z * (Series[0] + w * (Series[2] + w * (Series[4] + w * (Series[6] + w * (Series[8] + w * Series[10])))));
    const float even = w * (Series[1] + w * (Series[3] + w * (Series[5] + w * (Series[7] + w * Series[9]))));
    if (reduction < 0)
        return t - t * (odd + even);
    const float z2 = AtanHigh[reduction] - ((t * (odd + even) - AtanLow[reduction]) - t);
    return negative ? -z2 : z2;
}

}  // namespace

float PortableAtan2(float y, float x) {
    const uint32_t xBits = Bits(x), yBits = Bits(y);
    const uint32_t xMagnitude = xBits & Magnitude, yMagnitude = yBits & Magnitude;
    // The library's x + y: x's NaN when both are, quieted. Built from the
    // bits, since which operand an addition keeps differs by processor.
    if (xMagnitude > Infinity)
        return FromBits(xBits | QuietBit);
    if (yMagnitude > Infinity)
        return FromBits(yBits | QuietBit);
    if (xBits == 0x3f800000)  // x == 1
        return Atan(y);
    const bool yNegative = yBits >> 31, xNegative = xBits >> 31;

    if (yMagnitude == 0)
        return xNegative ? (yNegative ? -Pi : Pi) : y;
    if (xMagnitude == 0)
        return yNegative ? -HalfPi : HalfPi;
    if (xMagnitude == Infinity) {
        if (yMagnitude == Infinity) {
            const float z = xNegative ? 3.0f * QuarterPi : QuarterPi;
            return yNegative ? -z : z;
        }
        if (xNegative)
            return yNegative ? -Pi : Pi;
        return yNegative ? -0.0f : 0.0f;
    }
    if (yMagnitude == Infinity)
        return yNegative ? -HalfPi : HalfPi;

    // The exponent difference decides |y / x| beyond 2^60 or below 2^-60
    // (differences of the biased bits, no shift of a negative number).
    const int32_t difference = int32_t(yMagnitude) - int32_t(xMagnitude);
    float z;
    if (difference >= (61 << 23))
        z = HalfPi + 0.5f * PiLow;
    else if (xNegative && difference < -(60 << 23))
        z = 0.0f;
    else  // an underflow to -0 taken to +0 too
        z = Atan(std::fabs(y / x));
    if (!xNegative)
        return yNegative ? -z : z;
    return yNegative ? (z - PiLow) - Pi : Pi - (z - PiLow);
}

}  // namespace Vudadive2R
}  // namespace ORV
