// The four-character format codes shared by surfaces and images, first
// character in the lowest byte.
#ifndef VUDADIVE2R_FORMATCODES_HPP
#define VUDADIVE2R_FORMATCODES_HPP

#include <cstdint>

#include "zadozi.h"

namespace ORV {
namespace Vudadive2R {
namespace FormatCode {

constexpr int32_t AB24 = int32_t(ZADOZI_FORMAT_AB24);
constexpr int32_t RA24 = int32_t(ZADOZI_FORMAT_RA24);
constexpr int32_t RX24 = int32_t(ZADOZI_FORMAT_RX24);
constexpr int32_t RG16 = int32_t(ZADOZI_FORMAT_RG16);
constexpr int32_t AR24 = int32_t(ZADOZI_FORMAT_AR24);
constexpr int32_t XR24 = int32_t(ZADOZI_FORMAT_XR24);
constexpr int32_t XB24 = int32_t(ZADOZI_FORMAT_XB24);
constexpr int32_t R16 = int32_t(ZADOZI_FORMAT_R16);
constexpr int32_t R8 = int32_t(ZADOZI_FORMAT_R8);

static_assert(AB24 == 0x34324241 && RA24 == 0x34324152 && RX24 == 0x34325852 && RG16 == 0x36314752 &&
                  R16 == 0x20363152 && R8 == 0x20203852 && AR24 == 0x34325241 && XR24 == 0x34325258 &&
                  XB24 == 0x34324258,
              "format codes");

}  // namespace FormatCode
}  // namespace Vudadive2R
}  // namespace ORV

#endif
