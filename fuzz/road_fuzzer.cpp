// Both roads of Path::Draw: the scene the input describes (any paint, blend
// mode, origin, scissor list, stroke, dash pattern and transform, under a
// clip by another path and in a layer or not, on a surface of any drawable
// format) is drawn
// through the library's road and through the reference road, and any
// byte that differs, or an exception from one road only, aborts. The
// library's road is drawn again by a context of several threads, every pass
// split into bands of rows, which must give the bytes of one thread.
#include <cstdio>
#include <cstdlib>

#include "RoadScenes.hpp"
#include "pipeline/DrawScratch.hpp"

namespace {

// The library's road with `threads`, every pass drawn in bands; false where it threw.
bool DrawnInBands(const RoadScenes::Scene& scene, int threads, std::vector<uint8_t>& pixels) {
    pixels = scene.backdrop;
    try {
        RoadScenes::Drawing drawing(scene, pixels.data());
        drawing.context->SetThreads(threads);
        ORV::Vudadive2R::Internals::DrawScratchOf(*drawing.context)->bandedPixels = 0;
        drawing.Draw(false);
        drawing.context->Finish();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RoadScenes::ByteStream stream(data, size);
    RoadScenes::Scene scene = RoadScenes::RandomScene(stream);
    RoadScenes::RandomClipAndLayer(stream, scene);
    // "AB24" when the input ends here, as the inputs before other formats did.
    const uint32_t formats[] = {0x34324241, 0x34325241, 0x34325258, 0x34324258, 0x36314752};
    scene.format = formats[stream.Below(5)];
    scene.backdrop.resize(size_t(scene.width) * size_t(scene.height) * size_t(RoadScenes::BytesPerPixel(scene.format)));
    const std::string difference = RoadScenes::CompareRoads(scene);
    if (!difference.empty()) {
        std::fprintf(stderr, "the roads differ: %s\n", difference.c_str());
        std::abort();
    }
    std::vector<uint8_t> one, many;
    const int threads = 2 + int(stream.Below(3));
    if (DrawnInBands(scene, 1, one) != DrawnInBands(scene, threads, many) || one != many) {
        std::fprintf(stderr, "%d threads differ from one\n", threads);
        std::abort();
    }
    return 0;
}
