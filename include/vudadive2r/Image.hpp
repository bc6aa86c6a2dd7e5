// Images: a format code, a size, a row stride and a pointer to pixels.
#ifndef VUDADIVE2R_IMAGE_HPP
#define VUDADIVE2R_IMAGE_HPP

#include <memory>

#include "Context2D.hpp"
#include "Types.hpp"
#include "zadozi.h"

namespace ORV {
namespace Vudadive2R {

// Row r starts at data + r * stride for stride >= 0, and at
// data + (height - 1 - r) * |stride| for a negative stride. A plain image
// borrows its memory.
class ORV_API Image {
public:
    Image(const std::shared_ptr<Context2D>& context, int format, int width, int height, int stride,
          void* data);
    virtual ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    std::shared_ptr<Context2D> context;
    int32_t format;
    int32_t width;
    int32_t height;
    int32_t stride;
    void* data;
};

// A surface of the core library seen as an image; access to its memory stays
// open from construction to destruction.
class ORV_API SurfaceImage : public Image {
public:
    SurfaceImage(const std::shared_ptr<Context2D>& context, orv_surface* surface);
    ~SurfaceImage() override;

    // Creates the image's mapping and returns its stride.
    static int CreateMapping(SurfaceImage* image, orv_surface* surface);
    // Publishes what was written and reopens access.
    void Flush();

    orv_surface* surface;
    orv_mapping* mapping;

private:
    struct Opening;
    SurfaceImage(const std::shared_ptr<Context2D>& context, orv_surface* surface, const Opening& opening);
};

// An image loaded from a PNG file; owns its malloc'd pixels.
class ORV_API PngImage : public Image {
public:
    // Takes ownership of `data`, which must come from malloc.
    PngImage(const std::shared_ptr<Context2D>& context, int format, int width, int height, int stride,
             void* data);
    ~PngImage() override;

    static std::unique_ptr<PngImage> CreateFromFile(const std::shared_ptr<Context2D>& context,
                                                    const char* filename);
    static void Save(Image* image, const char* filename);
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
