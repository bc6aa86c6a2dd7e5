// A context's surface saved as a PNG file: the pixels as a viewer shows
// them, straight alpha, the surface's row 0 (its first row in memory, or its
// last with a negative stride) at the top.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "common/FormatCodes.hpp"
#include "common/RowAddress.hpp"
#include "vudadive2r/Context2D.hpp"
#include "vudadive2r/Exceptions.hpp"
#include "vudadive2r/Image.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

// Divides premultiplied colour back by its alpha, rounding to nearest.
uint8_t Unpremultiplied(uint8_t component, uint8_t alpha) {
    if (alpha == 0)
        return 0;
    if (alpha == 255)
        return component;
    const unsigned value = (unsigned(component) * 255u + alpha / 2u) / alpha;
    return uint8_t(value > 255u ? 255u : value);
}

uint8_t Widened(unsigned value, int bits) { return uint8_t((value << (8 - bits)) | (value >> (2 * bits - 8))); }

void ConvertRow(int32_t format, const unsigned char* source, unsigned char* target, int width) {
    for (int column = 0; column < width; ++column, target += 4) {
        if (format == FormatCode::RG16) {
            uint16_t packed;
            std::memcpy(&packed, source + 2 * column, sizeof packed);
            target[0] = Widened(packed >> 11, 5);
            target[1] = Widened((packed >> 5) & 0x3F, 6);
            target[2] = Widened(packed & 0x1F, 5);
            target[3] = 255;
            continue;
        }
        const unsigned char* pixel = source + 4 * column;
        // Blue first in "AR24" and "XR24"; the X formats' fourth byte is 255.
        const bool blueFirst = format == FormatCode::AR24 || format == FormatCode::XR24;
        const bool opaque = format == FormatCode::RX24 || format == FormatCode::XR24 || format == FormatCode::XB24;
        for (int c = 0; c < 3; ++c)
            target[c] = pixel[blueFirst ? 2 - c : c];
        target[3] = opaque ? 255 : pixel[3];
        if (format == FormatCode::AB24 || format == FormatCode::AR24)
            for (int c = 0; c < 3; ++c)
                target[c] = Unpremultiplied(target[c], target[3]);
    }
}

}  // namespace

void PngImage::SaveSurface(Context2D& context, const char* filename) {
    if (!filename)
        throw ArgumentNullException("filename");
    const int32_t format = int32_t(orv_surface_format_get(context.surface));
    if (format != FormatCode::AB24 && format != FormatCode::RA24 && format != FormatCode::RX24 &&
        format != FormatCode::RG16 && format != FormatCode::AR24 && format != FormatCode::XR24 &&
        format != FormatCode::XB24)
        throw NotSupportedException(
            "Only \"AB24\", \"AR24\", \"XR24\", \"XB24\", \"RA24\", \"RX24\" and \"RG16\" surfaces can be saved.");
    const int width = orv_surface_width_get(context.surface);
    const int height = orv_surface_height_get(context.surface);
    const unsigned char* pixels = context.surfaceMemory->Data();
    if (!pixels || width <= 0 || height <= 0)
        throw ArgumentOutOfRangeException("The surface has no pixels to save.");
    const ptrdiff_t stride = context.surfaceMemory->Stride();

    // One converted copy, so that a save never alters the surface.
    std::vector<unsigned char> converted(size_t(width) * size_t(height) * 4u);
    for (int row = 0; row < height; ++row)
        ConvertRow(format, RowAddress(pixels, stride, height, row), converted.data() + size_t(row) * size_t(width) * 4u,
                   width);
    Image image(nullptr, FormatCode::RA24, width, height, width * 4, converted.data());
    Save(&image, filename);
}

}  // namespace Vudadive2R
}  // namespace ORV
