// The access flags with which the library maps a surface for the CPU.
#ifndef VUDADIVE2R_MAPPINGFLAGS_HPP
#define VUDADIVE2R_MAPPINGFLAGS_HPP

namespace ORV {
namespace Vudadive2R {

// Read and write access: every mapping the library makes uses these flags.
constexpr int SurfaceMappingFlags = 2;

}  // namespace Vudadive2R
}  // namespace ORV

#endif
