/// @file
/// Images: a format code, a size, a row stride and a pointer to pixels.
#ifndef VUDADIVE2R_IMAGE_HPP
#define VUDADIVE2R_IMAGE_HPP

#include <memory>

#include "Context2D.hpp"
#include "Types.hpp"
#include "zadozi.h"

namespace ORV {
namespace Vudadive2R {

/// Row r starts at data + r * stride for stride >= 0, and at
/// data + (height - 1 - r) * |stride| for a negative stride. A plain image
/// borrows its memory.
class ORV_API Image {
public:
    /// Wraps `data` (borrowed, must outlive the image) with a ZADOZI_FORMAT_* code, a size in pixels and a
    /// stride in bytes; nothing is validated.
    Image(const std::shared_ptr<Context2D>& context, int format, int width, int height, int stride,
          void* data);
    /// Leaves the borrowed memory alone.
    virtual ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    /// Kept alive as long as the image.
    std::shared_ptr<Context2D> context;
    /// Four-character format code.
    int32_t format;
    /// Width in pixels.
    int32_t width;
    /// Height in pixels.
    int32_t height;
    /// Bytes from one row to the next; negative when row 0 is the last row in memory.
    int32_t stride;
    /// Lowest address of the pixels.
    void* data;
};

/// A surface of the core library seen as an image; access to its memory stays
/// open from construction to destruction.
class ORV_API SurfaceImage : public Image {
public:
    /// Maps `surface` (borrowed, must outlive the image) and starts CPU access; takes over its format code,
    /// size and stride.
    SurfaceImage(const std::shared_ptr<Context2D>& context, orv_surface* surface);
    /// Ends CPU access and destroys the mapping.
    ~SurfaceImage() override;

    /// Creates the image's mapping and returns its stride.
    static int CreateMapping(SurfaceImage* image, orv_surface* surface);
    /// Publishes what was written and reopens access.
    void Flush();

    /// The borrowed surface.
    orv_surface* surface;
    /// The image's own mapping of it.
    orv_mapping* mapping;

private:
    struct Opening;
    SurfaceImage(const std::shared_ptr<Context2D>& context, orv_surface* surface, const Opening& opening);
};

/// An image loaded from a PNG file; owns its malloc'd pixels.
class ORV_API PngImage : public Image {
public:
    /// Takes ownership of `data`, which must come from malloc.
    PngImage(const std::shared_ptr<Context2D>& context, int format, int width, int height, int stride,
             void* data);
    /// Frees the pixels.
    ~PngImage() override;

    /// Loads a PNG file into a new image: 8-bit RGBA as RA24, RGB as RX24, grey as R8 or R16. Throws
    /// InvalidOperationException for a file that cannot be opened or read, NotSupportedException for another
    /// layout.
    static std::unique_ptr<PngImage> CreateFromFile(const std::shared_ptr<Context2D>& context,
                                                    const char* filename);
    /// Writes an RA24 image as an 8-bit RGBA PNG file. Throws ArgumentNullException for null arguments or
    /// pixels, ArgumentOutOfRangeException for an empty size, NotSupportedException for another format,
    /// Exception when writing fails.
    static void Save(Image* image, const char* filename);
    /// Writes the context's surface as an 8-bit RGBA PNG file with straight alpha, rows as displayed (the
    /// first row in memory at the top). AB24 is divided back by alpha: (c x 255 + a / 2) / a, at most 255, and
    /// 0 where a = 0; RA24 and RX24 are copied (RX24 with alpha 255); RG16 is widened by bit replication with
    /// alpha 255. Throws NotSupportedException for another format, then as Save.
    static void SaveSurface(Context2D& context, const char* filename);
};

/// An image loaded from a JPEG file; owns its malloc'd pixels.
class ORV_API JpegImage : public Image {
public:
    /// Takes ownership of `data`, which must come from malloc.
    JpegImage(const std::shared_ptr<Context2D>& context, int format, int width, int height, int stride,
              void* data);
    /// Frees the pixels.
    ~JpegImage() override;

    /// Loads a baseline or progressive JPEG file into a new RX24 image (X = 255), turned upright by its Exif
    /// orientation: colour as decoded by libjpeg-turbo, grey replicated, CMYK as R = C x K / 255 rounded (and
    /// G, B from M, Y). Throws InvalidOperationException for a file that cannot be opened, is no JPEG file, is
    /// damaged or cut short (the decoder's message), has over 2^28 pixels or over 1 000 scans;
    /// NotSupportedException for other component counts; ArgumentNullException for a null name.
    static std::unique_ptr<JpegImage> CreateFromFile(const std::shared_ptr<Context2D>& context,
                                                     const char* filename);
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
