// SVG path data: random and mutated text read by Path::AppendSvgPathData or
// PathBuilder::SvgPathData under a random transform, then drawn. Reading
// may only end in ArgumentException, never read past the terminating zero
// (the text sits in a buffer of exactly its size) and never take long.
#include <cstdlib>
#include <cstring>
#include <memory>

#include "FuzzSupport.hpp"

using namespace FuzzSupport;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    RandomScene scene(input);
    const Matrix3 transform = RandomMatrix(input);
    const bool throughBuilder = input.Byte() & 1;
    const std::vector<uint8_t> rest = input.Rest();
    std::unique_ptr<char[]> text(new char[rest.size() + 1]);
    if (!rest.empty())
        std::memcpy(text.get(), rest.data(), rest.size());
    text[rest.size()] = '\0';
    return Expecting([&] {
        Path path(scene.target.context);
        Timed([&] {
            try {
                if (throughBuilder) {
                    PathBuilder builder;
                    try {
                        builder.SvgPathData(text.get(), transform);
                    } catch (const ArgumentException&) {
                    }
                    builder.AppendTo(&path);  // what was read before an error
                } else {
                    path.AppendSvgPathData(text.get(), transform);
                }
            } catch (const ArgumentException&) {
            } catch (...) {
                std::abort();  // an exception the reader does not document
            }
        });
        TimedDraw(path, scene.fill, scene.stroke);
    });
}
