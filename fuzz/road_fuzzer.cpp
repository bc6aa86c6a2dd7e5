// Both roads of Path::Draw: the scene the input describes (any paint, blend
// mode, origin, scissor list, stroke, dash pattern and transform) is drawn
// through the library's own road and through the plain AGG road, and any
// byte that differs, or an exception from one road only, aborts.
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "RoadScenes.hpp"

namespace {

bool DrawBoth(const RoadScenes::Scene& scene, std::vector<uint8_t>& own, std::vector<uint8_t>& plain) {
    bool ownThrew = false, plainThrew = false;
    try {
        own = RoadScenes::Draw(scene, false);
    } catch (const std::exception&) {
        ownThrew = true;
    }
    try {
        plain = RoadScenes::Draw(scene, true);
    } catch (const std::exception&) {
        plainThrew = true;
    }
    return ownThrew == plainThrew;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RoadScenes::ByteStream stream(data, size);
    const RoadScenes::Scene scene = RoadScenes::RandomScene(stream);
    std::vector<uint8_t> own, plain;
    if (!DrawBoth(scene, own, plain)) {
        std::fprintf(stderr, "only one road threw\n");
        std::abort();
    }
    for (size_t i = 0; i < own.size(); ++i)
        if (own[i] != plain[i]) {
            std::fprintf(stderr, "byte %zu differs: own %d, plain %d\n", i, own[i], plain[i]);
            std::abort();
        }
    return 0;
}
