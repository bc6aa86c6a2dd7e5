// The image paint: small random images (sizes of zero and below, null data,
// both stride signs, formats it does not take), every tiling mode and some
// outside the enumeration, tile colours, both image qualities, and random
// image and path transforms, filling and stroking a small random path; and the image
// spans of each tiling (in lanes where the processor has them) against the
// tiling rules under AGG's interpolator, pixel for pixel.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "FuzzSupport.hpp"
#include "ImageSupport.hpp"
#include "paint/SpanImageBilinearTiled.hpp"

using namespace FuzzSupport;

namespace {

// The pixels of every image made for one input; each image borrows them.
std::vector<std::vector<uint8_t>> imageMemory;

std::shared_ptr<Paint> RandomImagePaint(FuzzInput& input, const std::shared_ptr<Context2D>& context) {
    const uint8_t shape = input.Byte();
    // Mostly small and positive; sometimes zero or negative, never larger
    // than the memory made for it.
    const int width = shape < 240 ? 1 + input.Count(15) : -int(input.Count(3));
    const int height = shape < 240 ? 1 + input.Count(15) : int(input.Count(3)) - 1;
    const int pitch = 4 * std::max(width, 0) + 4 * int(input.Count(2));
    const int stride = input.Byte() & 1 ? -pitch : pitch;
    std::vector<uint8_t> pixels(size_t(pitch) * size_t(std::max(height, 0)));
    for (uint8_t& byte : pixels)
        byte = input.Byte();
    const uint8_t kind = input.Byte();
    const int format = kind % 8 == 7 ? int(input.U32()) : kind & 1 ? ZADOZI_FORMAT_RX24 : ZADOZI_FORMAT_RA24;
    imageMemory.push_back(std::move(pixels));
    void* data = kind & 2 ? nullptr : imageMemory.back().data();
    auto image = std::make_shared<Image>(context, format, width, height, stride, data);
    auto paint = std::make_shared<ImagePaint>(context, image);
    const uint8_t mode = input.Byte();
    paint->ImageTilingMode = TilingMode(mode < 250 ? mode % 4 : int32_t(mode));
    // Either quality: shrinking placements resample at the high one.
    context->renderState->imageQuality = mode & 4 ? ImageQualityHigh : 1;
    paint->TileColor = RandomColor(input);
    context->transforms->image->Set(RandomMatrix(input));
    return paint;
}

template <class Coordinate>
void CompareSpans(FuzzInput& input, ImageSupport::Picture& picture, TilingMode mode, const agg::trans_affine& matrix,
                  agg::rgba8 tile) {
    constexpr double limit = 4194304.0;  // the image paint's bound on image coordinates
    agg::image_filter_lut filter(agg::image_filter_bilinear(), true);
    agg::rendering_buffer buffer(picture.bytes.data(), unsigned(picture.width), unsigned(picture.height),
                                 picture.stride);
    SpanImageBilinearTiled<Coordinate> ours(buffer, matrix, filter, limit + 1, tile);
    agg::trans_affine placement = matrix;
    ImageSupport::Interpolator interpolator(placement);
    ImageSupport::ReferenceSampler theirs{picture, mode, {tile.r, tile.g, tile.b, tile.a}, interpolator,
                                          filter.weight_array()};
    static agg::rgba8 a[700], b[700];
    for (unsigned n = 1 + input.Count(4); n > 0; --n) {
        const int x = int(int16_t(input.U16())) / 64, y = int(int16_t(input.U16())) / 512;
        const unsigned length = 1 + input.U16() % 700;
        double ends[2][2] = {{x + 0.5, y + 0.5}, {x + 0.5 + length, y + 0.5}};
        bool within = true;
        for (auto& end : ends) {
            matrix.transform(&end[0], &end[1]);
            within = within && std::fabs(end[0]) < limit && std::fabs(end[1]) < limit;
        }
        if (!within)
            continue;
        ours.generate(a, x, y, length);
        theirs.generate(b, x, y, length);
        if (std::memcmp(a, b, length * sizeof(agg::rgba8)) != 0)
            std::abort();
    }
}

void CompareImageSpans(FuzzInput& input) {
    const int width = 1 + int(input.U16() % 600), height = 1 + int(input.Count(40));
    const bool upward = input.Byte() & 1;
    // Finite, as the pass matrices the paints receive are; half of them
    // keep the image row along a span (no shear), as scaled placements do.
    double m[6] = {(int(input.Byte()) - 128) / 64.0, 0, 0, (int(input.Byte()) - 128) / 16.0,
                   int16_t(input.U16()) / 64.0, int8_t(input.Byte()) / 4.0};
    if (input.Byte() & 1)
        for (double& element : m)
            element = std::isfinite(element = input.Coordinate()) ? element : 0;
    const agg::trans_affine matrix(m);
    const agg::rgba8 tile(input.Byte(), input.Byte(), input.Byte(), input.Byte());
    const TilingMode mode = TilingMode(input.Byte() % 4);
    // A few pixels repeated, so that short inputs make whole images.
    ImageSupport::Picture picture(width, height, upward ? -4 * width : 4 * width);
    for (size_t i = 0, pattern = 4 + 4 * input.Count(8); i < picture.bytes.size(); ++i)
        picture.bytes[i] = i < pattern ? input.Byte() : picture.bytes[i - pattern];
    switch (mode) {
    case TilingMode::Clip: return CompareSpans<BoundedCoordinate<false>>(input, picture, mode, matrix, tile);
    case TilingMode::NoClip: return CompareSpans<BoundedCoordinate<true>>(input, picture, mode, matrix, tile);
    case TilingMode::Repeat: return CompareSpans<PeriodicCoordinate<false>>(input, picture, mode, matrix, tile);
    default: return CompareSpans<PeriodicCoordinate<true>>(input, picture, mode, matrix, tile);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    imageMemory.clear();
    FuzzInput input(data, size);
    RandomScene scene(input, RandomImagePaint);
    const int status = Expecting([&] {
        std::unique_ptr<Path> path = RandomShapes(input, scene.target.context);
        TimedDraw(*path, scene.fill, scene.stroke);
    });
    // The same bytes read again, so that every input compares spans.
    FuzzInput again(data, size);
    CompareImageSpans(again);
    return status;
}
