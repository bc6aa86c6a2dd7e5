// PNG files: load the bytes, save what loaded (when its format can be
// saved), load the saved file again and compare the pixels. Loading stores
// rows bottom-up and saving writes memory row 0 first, so the second load
// holds the rows in reverse order.
#include "FuzzSupport.hpp"

using namespace FuzzSupport;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    orv_surface* surface = orv_surface_create(1, 1, ZADOZI_FORMAT_AB24);
    auto context = std::make_shared<Context2D>(surface);
    Expecting([&] {
        MemoryFile file(std::vector<uint8_t>(data, data + size));
        std::unique_ptr<PngImage> image = PngImage::CreateFromFile(context, file.name.c_str());
        if (image->format != ZADOZI_FORMAT_RA24)
            return;
        MemoryFile saved{std::vector<uint8_t>()};
        PngImage::Save(image.get(), saved.name.c_str());
        std::unique_ptr<PngImage> again = PngImage::CreateFromFile(context, saved.name.c_str());
        const size_t rowBytes = size_t(image->width) * 4;
        if (again->format != image->format || again->width != image->width || again->height != image->height)
            std::abort();
        for (int row = 0; row < image->height; ++row)
            if (std::memcmp(static_cast<uint8_t*>(image->data) + size_t(row) * size_t(image->stride),
                            static_cast<uint8_t*>(again->data) + size_t(image->height - 1 - row) * size_t(again->stride),
                            rowBytes))
                std::abort();
    });
    context.reset();
    orv_surface_destroy(surface);
    return 0;
}
