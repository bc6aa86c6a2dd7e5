// The image paint: the image placed by the image and path transforms,
// sampled bilinearly as AGG's accessor of the tiling mode reads it.
#include <agg_image_filters.h>
#include <agg_rendering_buffer.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "common/ColorBytes.hpp"
#include "common/FormatCodes.hpp"
#include "common/Internals.hpp"
#include "paint/PaintPasses.hpp"
#include "paint/SpanImageBilinearTiled.hpp"
#include "paint/SpanImageResampleTiled.hpp"
#include "vudadive2r/Exceptions.hpp"
#include "vudadive2r/ImagePaint.hpp"
#include "vudadive2r/Transforms.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

// The wrap accessors reduce coordinates modulo the size (twice the size
// when reflecting) after adding a multiple of it near 2^30; up to this size
// that multiple exceeds every coordinate below, and column offsets fit an int.
constexpr int32_t LargestImageSide = 1 << 28;

// Image coordinates of the sampled positions stay below this magnitude, so
// that the interpolator's 1/256-pixel integers and their differences fit an int.
constexpr double LargestImageCoordinate = 4194304.0;

bool Readable(const Image& image) {
    return image.data && image.width > 0 && image.height > 0 && image.width <= LargestImageSide &&
           image.height <= LargestImageSide;
}

// False when the placement maps a position of `region` to image
// coordinates the interpolator cannot hold.
bool WithinImageCoordinates(const agg::trans_affine& matrix, const SpanRegion& region) {
    // The interpolator maps pixel centres from the first column of a span to
    // one past its last: the corners of this box bound them all.
    const double left = region.left + 0.5, right = region.right + 1.5;
    const double top = region.top + 0.5, bottom = region.bottom + 0.5;
    const double corners[4][2] = {{left, top}, {right, top}, {left, bottom}, {right, bottom}};
    for (const auto& corner : corners) {
        double x = corner[0], y = corner[1];
        matrix.transform(&x, &y);
        if (!(std::fabs(x) < LargestImageCoordinate && std::fabs(y) < LargestImageCoordinate))
            return false;
    }
    return true;
}

// True when every pixel of `image` has alpha 255, looked at only when the
// image is no larger than `region`, whose pixels the pass writes anyway.
bool KnownOpaque(const Image& image, const SpanRegion& region) {
    const int64_t columns = int64_t(region.right) - region.left + 1, rows = int64_t(region.bottom) - region.top + 1;
    if (int64_t(image.width) * image.height > columns * rows)
        return false;
    for (int32_t y = 0; y < image.height; ++y) {
        const uint8_t* row = static_cast<const uint8_t*>(image.data) + int64_t(y) * image.stride;
        if (image.stride < 0)
            row = static_cast<const uint8_t*>(image.data) + int64_t(image.height - 1 - y) * -int64_t(image.stride);
        uint8_t alpha = 255;
        for (int32_t x = 0; x < image.width; ++x)
            alpha &= row[4 * x + 3];
        if (alpha != 255)
            return false;
    }
    return true;
}

// Every sample weighs four pixels (image pixels, or the tile colour) with
// weights summing to 2^14 within rounding: opaque pixels give opaque colours.
template <class Coordinate>
void ImageSpans(PaintPass& pass, const agg::rendering_buffer& buffer, const agg::trans_affine& matrix,
                const agg::image_filter_lut& filter, bool opaque, agg::rgba8 tile = agg::rgba8(0, 0, 0, 0)) {
    const auto make = [&] {
        return SpanImageBilinearTiled<Coordinate>(buffer, matrix, filter, LargestImageCoordinate + 1, tile);
    };
    SpanSourceMade<decltype(make)> source(make, opaque);
    // The image's bytes, which may be the surface's own.
    const agg::int8u* first = buffer.row_ptr(0);
    const agg::int8u* last = buffer.row_ptr(int(buffer.height()) - 1);
    source.Reads(std::min(first, last), std::max(first, last) + std::size_t(buffer.width()) * 4);
    pass.Spans(source);
}

// The image quality of the context that places the image.
bool HighQuality(const Paint& paint) {
    const std::shared_ptr<Context2D>& context = Internals::ContextOf(paint);
    return context && context->renderState && context->renderState->imageQuality == ImageQualityHigh;
}

}  // namespace

ImagePaint::ImagePaint(const std::shared_ptr<Context2D>& context, std::shared_ptr<Image> image)
    : Paint(context), SourceImage(std::move(image)), ImageTilingMode(TilingMode::Clip), TileColor{0, 0, 0, 0} {
    if (!SourceImage)
        throw ArgumentNullException();
}

ImagePaint::~ImagePaint() {}

namespace {

// An "AR24" or "XR24" image read as the "RA24" image of the same pixels:
// its bytes B, G, R, A (or X, read as 255) reordered into `pixels`, rows in
// the image's own order with a positive stride. "AR24" holds premultiplied
// colour, divided back as a saved surface is: (c x 255 + a / 2) / a, at
// most 255, and 0 where a is 0.
void ReorderImage(const Image& image, std::vector<uint8_t>& pixels) {
    const bool opaque = image.format == FormatCode::XR24;
    pixels.resize(std::size_t(image.width) * std::size_t(image.height) * 4);
    for (int32_t y = 0; y < image.height; ++y) {
        const uint8_t* from = static_cast<const uint8_t*>(image.data) +
                              (image.stride < 0 ? int64_t(image.height - 1 - y) * -int64_t(image.stride)
                                                : int64_t(y) * image.stride);
        StraightRgbaFromPremultipliedBgra(from, pixels.data() + std::size_t(y) * std::size_t(image.width) * 4,
                                          image.width, opaque);
    }
}

}  // namespace

void ImagePaintColors(const Paint& basePaint, PaintPass& pass) {
    const ImagePaint& paint = static_cast<const ImagePaint&>(basePaint);
    const Image* source = paint.SourceImage.get();
    std::vector<uint8_t> reordered;
    std::optional<Image> reorderedImage;
    if ((source->format == FormatCode::AR24 || source->format == FormatCode::XR24) && Readable(*source)) {
        ReorderImage(*source, reordered);
        source = &reorderedImage.emplace(nullptr, FormatCode::RA24, source->width, source->height, source->width * 4,
                                         reordered.data());
    }
    const Image& image = *source;
    if (image.format != FormatCode::RA24 && image.format != FormatCode::RX24)
        throw NotSupportedException(
            "An image paint draws only \"RA24\", \"RX24\", \"AR24\" and \"XR24\" images (8-bit RGBA and RGB); "
            "grey and other layouts must be converted first.");
    agg::image_filter_lut filter(agg::image_filter_bilinear(), true);
    const TilingMode mode = paint.ImageTilingMode;
    if (mode != TilingMode::Clip && mode != TilingMode::NoClip && mode != TilingMode::Repeat &&
        mode != TilingMode::Reflect)
        throw NotSupportedException();

    SpanRegion region;
    agg::trans_affine matrix;
    if (!Readable(image) || !pass.CoveredRegion(region) || !pass.matrices.ImagePlacement(matrix) ||
        !WithinImageCoordinates(matrix, region))
        return;

    agg::rendering_buffer buffer(static_cast<agg::int8u*>(image.data), unsigned(image.width),
                                 unsigned(image.height), image.stride);
    const bool opaque = KnownOpaque(image, region);
    const agg::rgba8 tile(ColorComponentToByte(paint.TileColor.R), ColorComponentToByte(paint.TileColor.G),
                          ColorComponentToByte(paint.TileColor.B), ColorComponentToByte(paint.TileColor.A));
    if (HighQuality(paint) && ResampleShrunkImage(pass, buffer, matrix, filter, mode, tile,
                                                  opaque && (mode != TilingMode::Clip || tile.a == 255)))
        return;
    switch (mode) {
    case TilingMode::Clip:
        return ImageSpans<BoundedCoordinate<false>>(pass, buffer, matrix, filter, opaque && tile.a == 255, tile);
    // Read as agg::image_accessor_no_clip reads blocks inside the image; a
    // block reaching past an edge reads the nearest edge pixels rather than
    // memory beyond the image.
    case TilingMode::NoClip: return ImageSpans<BoundedCoordinate<true>>(pass, buffer, matrix, filter, opaque);
    case TilingMode::Repeat: return ImageSpans<PeriodicCoordinate<false>>(pass, buffer, matrix, filter, opaque);
    case TilingMode::Reflect: return ImageSpans<PeriodicCoordinate<true>>(pass, buffer, matrix, filter, opaque);
    }
}

void ImagePaint::Rasterize(void* rasterizer, void* scanline, void* renderer, void* paintMatrix) {
    RasterizeWithColors(*this, ImagePaintColors, rasterizer, scanline, renderer, paintMatrix);
}

}  // namespace Vudadive2R
}  // namespace ORV
