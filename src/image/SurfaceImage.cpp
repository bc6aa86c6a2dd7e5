#include "common/MappingFlags.hpp"
#include "vudadive2r/Image.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

// Creates the mapping into `mapping` and returns its stride.
int MapSurface(orv_surface* surface, orv_mapping*& mapping) {
    mapping = orv_surface_create_mapping(surface, SurfaceMappingFlags);
    return orv_mapping_stride_get(mapping);
}

}  // namespace

// Everything the Image part needs is gathered from the surface first, so the
// mapping exists and its access has started before the base is initialised.
// The mapping is kept here rather than in the image, whose lifetime has not
// begun yet.
struct SurfaceImage::Opening {
    explicit Opening(orv_surface* surface)
        : format(int(orv_surface_format_get(surface))),
          width(orv_surface_width_get(surface)),
          height(orv_surface_height_get(surface)),
          mapping(nullptr),
          stride(MapSurface(surface, mapping)),
          data(orv_mapping_sync_start(mapping)) {}

    int format;
    int width;
    int height;
    orv_mapping* mapping;
    int stride;
    void* data;
};

SurfaceImage::SurfaceImage(const std::shared_ptr<Context2D>& context, orv_surface* surface)
    : SurfaceImage(context, surface, Opening(surface)) {}

SurfaceImage::SurfaceImage(const std::shared_ptr<Context2D>& context, orv_surface* surface,
                           const Opening& opening)
    : Image(context, opening.format, opening.width, opening.height, opening.stride, opening.data),
      surface(surface),
      mapping(opening.mapping) {}

// An access still open is not ended first: destroying the mapping releases it.
SurfaceImage::~SurfaceImage() { orv_mapping_destroy(mapping); }

int SurfaceImage::CreateMapping(SurfaceImage* image, orv_surface* surface) {
    return MapSurface(surface, image->mapping);
}

// The core library keeps a mapping's memory at one address, so the pointer
// from construction stays valid and the new start's result is not needed.
void SurfaceImage::Flush() {
    orv_mapping_sync_end(mapping);
    orv_mapping_sync_start(mapping);
}

}  // namespace Vudadive2R
}  // namespace ORV
