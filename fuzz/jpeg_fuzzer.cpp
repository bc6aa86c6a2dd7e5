// JPEG files: load the bytes; what loads must be an RX24 image within the
// pixel limit, every fourth byte 255, and a second load of the same bytes
// must give the same pixels (nothing may depend on memory left undefined).
// Files whose frame header claims more than 2^20 pixels are skipped: decoding
// them is legitimate work, seconds of it under the instrumentation.
#include "FuzzSupport.hpp"

using namespace FuzzSupport;

namespace {

constexpr uint64_t kLargestFuzzedImage = uint64_t(1) << 20;

// True when some byte pair reads as a frame header (any SOF marker) of more
// than the pixels above; every frame libjpeg could read is among them.
bool ClaimsLargeFrame(const uint8_t* data, size_t size) {
    for (size_t i = 0; i + 9 <= size; ++i) {
        const uint8_t code = data[i + 1];
        if (data[i] != 0xFF || (code & 0xF0) != 0xC0 || code == 0xC4 || code == 0xC8 || code == 0xCC)
            continue;
        const uint64_t height = uint64_t(data[i + 5]) << 8 | data[i + 6];
        const uint64_t width = uint64_t(data[i + 7]) << 8 | data[i + 8];
        if (width * height > kLargestFuzzedImage)
            return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (ClaimsLargeFrame(data, size))
        return 0;
    Expecting([&] {
        MemoryFile file(std::vector<uint8_t>(data, data + size));
        std::unique_ptr<JpegImage> image;
        Timed([&] { image = JpegImage::CreateFromFile(nullptr, file.name.c_str()); });
        const size_t bytes = size_t(image->stride) * size_t(image->height);
        if (image->format != ZADOZI_FORMAT_RX24 || image->width <= 0 || image->height <= 0 ||
            image->stride != 4 * image->width || uint64_t(image->width) * uint64_t(image->height) > (1u << 28))
            std::abort();
        const uint8_t* pixels = static_cast<const uint8_t*>(image->data);
        for (size_t i = 3; i < bytes; i += 4)
            if (pixels[i] != 255)
                std::abort();
        std::unique_ptr<JpegImage> again = JpegImage::CreateFromFile(nullptr, file.name.c_str());
        if (again->width != image->width || again->height != image->height ||
            std::memcmp(again->data, image->data, bytes) != 0)
            std::abort();
    });
    return 0;
}
