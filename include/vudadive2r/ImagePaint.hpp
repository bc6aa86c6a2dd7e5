// The image paint: fills and strokes with the pixels of an image.
#ifndef VUDADIVE2R_IMAGEPAINT_HPP
#define VUDADIVE2R_IMAGEPAINT_HPP

#include <memory>

#include "Image.hpp"
#include "Paint.hpp"
#include "Types.hpp"

namespace ORV {
namespace Vudadive2R {

// What is sampled beyond the image's edges.
enum class TilingMode : int32_t {
    Clip = 0,     // the tile colour
    NoClip = 1,   // the image is meant to cover everything sampled; the nearest edge pixel
    Repeat = 2,   // the image repeated in both directions
    Reflect = 3,  // the image repeated, every other copy mirrored
};

class ORV_API ImagePaint : public Paint {
public:
    // Shares `image`, which must not be empty (ArgumentNullException).
    // Tiling mode Clip, tile colour transparent black.
    ImagePaint(const std::shared_ptr<Context2D>& context, std::shared_ptr<Image> image);
    // Samples the image bilinearly, placed by the context's image transform
    // followed by its path transform; the paint matrix is not used. With the
    // context's image quality ImageQualityHigh, a placement that shrinks the
    // image averages the pixels each surface pixel covers instead. Throws
    // NotSupportedException for an image format other than "RA24" or "RX24"
    // and for a tiling mode outside 0 to 3, before drawing anything. Draws
    // nothing for an empty or null image, an image wider or taller than 2^28
    // pixels, a paint without a context, or a placement that is singular,
    // not finite, or maps a covered surface pixel 2^22 or more image pixels
    // from the image's origin.
    void Rasterize(void* rasterizer, void* scanline, void* renderer, void* paintMatrix) override;
    ~ImagePaint() override;

    std::shared_ptr<Image> SourceImage;  // read anew at every draw
    TilingMode ImageTilingMode;          // any value is stored; drawing checks it
    Color TileColor;                     // straight alpha; converted as a colour paint's colour
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
