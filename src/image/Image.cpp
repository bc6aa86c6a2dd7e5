#include "vudadive2r/Image.hpp"

namespace ORV {
namespace Vudadive2R {

// Nothing is validated here: consumers test the fields they rely on.
Image::Image(const std::shared_ptr<Context2D>& context, int format, int width, int height, int stride,
             void* data)
    : context(context), format(format), width(width), height(height), stride(stride), data(data) {}

// The memory is borrowed; it stays with whoever made it.
Image::~Image() = default;

}  // namespace Vudadive2R
}  // namespace ORV
