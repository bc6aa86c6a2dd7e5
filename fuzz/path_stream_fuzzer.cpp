// The command stream: random bytes decoded by Path::AppendData, drawn with
// random transforms, render state, fill and stroke states and dash patterns
// on a small surface of either origin and either stride sign.
#include "FuzzSupport.hpp"

using namespace FuzzSupport;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    RandomScene scene(input);
    return Expecting([&] {
        Path path(scene.target.context);
        // Each command byte is followed by its floats, so that a mutation
        // of one command keeps the others aligned. Codes past the table
        // are passed on too: they must be rejected, not decoded.
        std::vector<unsigned char> commands;
        std::vector<float> floats;
        while (!input.Empty()) {
            const uint8_t code = input.Byte();
            commands.push_back(code < 240 ? code % 25 : code);
            for (unsigned i = input.Count(6); i > 0; --i)
                floats.push_back(input.Coordinate());
        }
        // AppendData reads as many floats as the commands need; pad so that
        // it never reads past what the client handed over.
        floats.resize(floats.size() + 6 * commands.size(), 0.0f);
        path.AppendData(int(commands.size()), commands.data(), floats.data());
        TimedDraw(path, scene.fill, scene.stroke);
        TimedDraw(path, scene.fill, scene.stroke);
    });
}
