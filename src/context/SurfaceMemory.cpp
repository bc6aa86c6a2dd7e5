#include "common/MappingFlags.hpp"
#include "vudadive2r/Context2D.hpp"

namespace ORV {
namespace Vudadive2R {

SurfaceMemory::SurfaceMemory(orv_surface* surface)
    : surface(surface), mapping(orv_surface_create_mapping(surface, SurfaceMappingFlags)), data(nullptr) {}

// An access still in progress is not ended first: the mapping is simply released.
SurfaceMemory::~SurfaceMemory() { orv_mapping_destroy(mapping); }

unsigned char* SurfaceMemory::Data() {
    if (!data)
        data = static_cast<unsigned char*>(orv_mapping_sync_start(mapping));
    return data;
}

int SurfaceMemory::Stride() { return orv_mapping_stride_get(mapping); }

void SurfaceMemory::Flush() {
    if (!data)
        return;
    orv_mapping_sync_end(mapping);
    data = nullptr;
}

}  // namespace Vudadive2R
}  // namespace ORV
