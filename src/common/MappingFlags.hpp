// The access flags with which the library maps a surface for the CPU.
#ifndef VUDADIVE2R_MAPPINGFLAGS_HPP
#define VUDADIVE2R_MAPPINGFLAGS_HPP

#include "zadozi.h"

namespace ORV {
namespace Vudadive2R {

// Every mapping the library makes reads and writes.
constexpr int SurfaceMappingFlags = ZADOZI_MAPPING_READ_WRITE;

}  // namespace Vudadive2R
}  // namespace ORV

#endif
