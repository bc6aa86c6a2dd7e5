// The image paint: the image placed by the image and path transforms,
// sampled bilinearly through the accessor of the tiling mode.
#include <agg_image_accessors.h>
#include <agg_image_filters.h>
#include <agg_pixfmt_rgba.h>
#include <agg_span_interpolator_linear.h>

#include <cmath>
#include <type_traits>

#include "common/ColorBytes.hpp"
#include "common/FormatCodes.hpp"
#include "common/Internals.hpp"
#include "paint/PaintRoad.hpp"
#include "raster/ImageAccessorNoClipGuarded.hpp"
#include "raster/SpanImageBilinear.hpp"
#include "raster/SpanImageBilinearWrapped.hpp"
#include "raster/SpanRendering.hpp"
#include "vudadive2r/Exceptions.hpp"
#include "vudadive2r/ImagePaint.hpp"
#include "vudadive2r/Transforms.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

typedef agg::pixfmt_rgba32 ImagePixels;
typedef agg::span_interpolator_linear<agg::trans_affine, 8> Interpolator;

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

// Surface position to image pixel coordinates: the inverse of the image
// transform followed by the path transform. False when the placement is
// singular or reaches image coordinates the interpolator cannot hold for a
// position of `region`.
bool ImageMatrix(Context2D& context, const SpanRegion& region, agg::trans_affine& matrix) {
    Matrix3 placement;
    Matrix3::Multiply(context.transforms->image->Get(), context.transforms->path->Get(), placement);
    matrix = agg::trans_affine(placement[0], placement[1], placement[3], placement[4], placement[6], placement[7]);
    const double determinant = matrix.determinant();
    if (!(std::isfinite(determinant) && determinant != 0))
        return false;
    matrix.invert();
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

template <class Arguments, class Accessor>
void RenderImage(const Arguments& arguments, Accessor& accessor, Interpolator& interpolator,
                 agg::image_filter_lut& filter) {
    SpanImageBilinear<Accessor, Interpolator> generator(accessor, interpolator, filter);
    RenderSpans(arguments, generator);
}

// Repeated or reflected tiles: on the own road the generator that steps the
// wrapped coordinates; on the plain road AGG's accessor, the reference.
template <bool Mirrored, class Arguments, class Wrap>
void RenderWrappedImage(const Arguments& arguments, ImagePixels& pixels, const agg::rendering_buffer& buffer,
                        Interpolator& interpolator, agg::image_filter_lut& filter) {
    if constexpr (std::is_same<Arguments, RoadArguments>::value) {
        SpanImageBilinearWrapped<Mirrored> generator(buffer, interpolator.transformer(), filter,
                                                     LargestImageCoordinate + 1);
        RenderSpans(arguments, generator);
    } else {
        agg::image_accessor_wrap<ImagePixels, Wrap, Wrap> accessor(pixels);
        RenderImage(arguments, accessor, interpolator, filter);
    }
}

}  // namespace

ImagePaint::ImagePaint(const std::shared_ptr<Context2D>& context, std::shared_ptr<Image> image)
    : Paint(context), SourceImage(std::move(image)), ImageTilingMode(TilingMode::Clip), TileColor{0, 0, 0, 0} {
    if (!SourceImage)
        throw ArgumentNullException();
}

ImagePaint::~ImagePaint() {}

namespace {

template <class Arguments>
void RenderImagePaint(const ImagePaint& paint, const Arguments& arguments) {
    const Image& image = *paint.SourceImage;
    if (image.format != FormatCode::RA24 && image.format != FormatCode::RX24)
        throw NotSupportedException();
    agg::image_filter_lut filter(agg::image_filter_bilinear(), true);
    const TilingMode mode = paint.ImageTilingMode;
    if (mode != TilingMode::Clip && mode != TilingMode::NoClip && mode != TilingMode::Repeat &&
        mode != TilingMode::Reflect)
        throw NotSupportedException();

    SpanRegion region;
    agg::trans_affine matrix;
    const std::shared_ptr<Context2D>& context = Internals::ContextOf(paint);
    if (!context || !Readable(image) || !CoveredSpanRegion(arguments, region) ||
        !ImageMatrix(*context, region, matrix))
        return;

    agg::rendering_buffer buffer(static_cast<agg::int8u*>(image.data), unsigned(image.width),
                                 unsigned(image.height), image.stride);
    ImagePixels pixels(buffer);
    Interpolator interpolator(matrix);
    switch (mode) {
    case TilingMode::Clip: {
        const agg::rgba8 tile(ColorComponentToByte(paint.TileColor.R), ColorComponentToByte(paint.TileColor.G),
                              ColorComponentToByte(paint.TileColor.B), ColorComponentToByte(paint.TileColor.A));
        agg::image_accessor_clip<ImagePixels> accessor(pixels, tile);
        RenderImage(arguments, accessor, interpolator, filter);
        break;
    }
    case TilingMode::NoClip: {
        ImageAccessorNoClipGuarded<ImagePixels> accessor(pixels);
        RenderImage(arguments, accessor, interpolator, filter);
        break;
    }
    case TilingMode::Repeat:
        RenderWrappedImage<false, Arguments, agg::wrap_mode_repeat>(arguments, pixels, buffer, interpolator, filter);
        break;
    case TilingMode::Reflect:
        RenderWrappedImage<true, Arguments, agg::wrap_mode_reflect>(arguments, pixels, buffer, interpolator, filter);
        break;
    }
}

}  // namespace

void ImagePaint::Rasterize(void* rasterizer, void* scanline, void* renderer, void* paintMatrix) {
    RenderImagePaint(*this, RasterizeArguments::Unpack(rasterizer, scanline, renderer, paintMatrix));
}

void RenderOnRoad(ImagePaint& paint, const RoadArguments& arguments) { RenderImagePaint(paint, arguments); }

}  // namespace Vudadive2R
}  // namespace ORV
