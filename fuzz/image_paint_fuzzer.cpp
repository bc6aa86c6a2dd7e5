// The image paint: small random images (sizes of zero and below, null data,
// both stride signs, formats it does not take), every tiling mode and some
// outside the enumeration, tile colours, and random image and path
// transforms, filling and stroking a small random path.
#include "FuzzSupport.hpp"

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
    paint->TileColor = RandomColor(input);
    context->transforms->image->Set(RandomMatrix(input));
    return paint;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    imageMemory.clear();
    FuzzInput input(data, size);
    RandomScene scene(input, RandomImagePaint);
    return Expecting([&] {
        std::unique_ptr<Path> path = RandomShapes(input, scene.target.context);
        TimedDraw(*path, scene.fill, scene.stroke);
    });
}
