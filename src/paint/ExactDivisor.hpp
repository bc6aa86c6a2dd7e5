// Division by a divisor fixed for a whole draw, as a multiplication and a
// shift: the integer quotient of the hardware division, without its latency
// in a per-pixel loop.
#ifndef VUDADIVE2R_PAINT_EXACTDIVISOR_HPP
#define VUDADIVE2R_PAINT_EXACTDIVISOR_HPP

#include <cstdint>

namespace ORV {
namespace Vudadive2R {

// For a divisor d of 1 to Largest and a dividend n of 0 to 2^31 - 1,
// Quotient(n) == n / d. With l = ceil(log2 d), shift s = 31 + l and
// multiplier m = ceil(2^s / d) = (2^s + e) / d, 0 <= e < d:
//   n m / 2^s = n / d + (n / 2^s)(e / d),
// and the second term is below 2^31 / 2^(31 + l) = 2^-l <= 1 / d. The
// fraction of n / d is at most (d - 1) / d, so adding less than 1 / d never
// reaches the next integer: the floor is n / d. n m < 2^31 * 2^32 fits 64 bits.
class ExactDivisor {
public:
    static constexpr uint32_t Largest = uint32_t(1) << 24;
    static constexpr uint32_t DividendLimit = uint32_t(1) << 31;  // exclusive

    ExactDivisor() : ExactDivisor(1) {}

    // `divisor` 1 to Largest; anything else is taken as 1.
    explicit ExactDivisor(uint32_t divisor) {
        if (divisor < 1 || divisor > Largest)
            divisor = 1;
        value = divisor;
        unsigned bits = 0;
        while ((uint64_t(1) << bits) < divisor)
            ++bits;
        shift = 31 + bits;
        multiplier = ((uint64_t(1) << shift) + divisor - 1) / divisor;
    }

    uint32_t Divisor() const { return value; }
    // The multiplier (below 2^32: d above 2^(l-1) bounds it by 2^32 / (1 + 2^(1-l))) and the shift.
    uint32_t Multiplier() const { return uint32_t(multiplier); }
    unsigned Shift() const { return shift; }

    // n / d for n below DividendLimit.
    uint32_t Quotient(uint32_t n) const { return uint32_t((n * multiplier) >> shift); }

    // n mod d for n below DividendLimit.
    uint32_t Remainder(uint32_t n) const { return n - Quotient(n) * value; }

    // (n * 2^k) / d for n * 2^k below DividendLimit, k up to 31: the product
    // never forms, the shift absorbs the factor.
    uint32_t ScaledQuotient(uint32_t n, unsigned k) const { return uint32_t((n * multiplier) >> (shift - k)); }

private:
    uint64_t multiplier;
    unsigned shift;
    uint32_t value;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
