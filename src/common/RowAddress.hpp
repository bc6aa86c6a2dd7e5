// Row addressing of a pixel block whose stride has a sign: `base` is the
// lowest address of the block, and with a negative stride row 0 is the last
// row in memory. Surfaces, images, clears and PNG files all use this rule.
#ifndef VUDADIVE2R_ROWADDRESS_HPP
#define VUDADIVE2R_ROWADDRESS_HPP

#include <cstddef>

namespace ORV {
namespace Vudadive2R {

template <class Byte>
Byte* RowAddress(Byte* base, std::ptrdiff_t stride, std::ptrdiff_t height, std::ptrdiff_t row) {
    const std::ptrdiff_t memoryRow = stride >= 0 ? row : height - 1 - row;
    return base + memoryRow * (stride >= 0 ? stride : -stride);
}

}  // namespace Vudadive2R
}  // namespace ORV

#endif
