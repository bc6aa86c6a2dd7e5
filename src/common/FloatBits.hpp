// A float's or a double's bits, and back: how the portable maths functions
// read signs, exponents and table indices, exactly on every processor.
#ifndef VUDADIVE2R_COMMON_FLOATBITS_HPP
#define VUDADIVE2R_COMMON_FLOATBITS_HPP

#include <cstdint>
#include <cstring>

namespace ORV {
namespace Vudadive2R {

inline uint32_t Bits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

inline uint64_t Bits(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

inline float FromBits(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline double FromBits(uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace Vudadive2R
}  // namespace ORV

#endif
