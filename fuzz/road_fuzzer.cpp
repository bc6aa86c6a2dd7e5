// Both roads of Path::Draw: the scene the input describes (any paint, blend
// mode, origin, scissor list, stroke, dash pattern and transform, under a
// clip by another path and in a layer or not) is drawn
// through the library's road and through the reference road, and any
// byte that differs, or an exception from one road only, aborts.
#include <cstdio>
#include <cstdlib>

#include "RoadScenes.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RoadScenes::ByteStream stream(data, size);
    RoadScenes::Scene scene = RoadScenes::RandomScene(stream);
    RoadScenes::RandomClipAndLayer(stream, scene);
    const std::string difference = RoadScenes::CompareRoads(scene);
    if (!difference.empty()) {
        std::fprintf(stderr, "the roads differ: %s\n", difference.c_str());
        std::abort();
    }
    return 0;
}
