#include "text/FreeTypeLibrary.hpp"

#include <mutex>

#include "vudadive2r/Exceptions.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

// FreeType lets threads share one library only if creating and releasing
// faces is serialised; the same lock makes the handle's lazy creation safe.
std::mutex& LibraryLock() {
    static std::mutex lock;
    return lock;
}

// Created on first use and never released: it lives to the end of the process.
FT_Library library = nullptr;

}  // namespace

FT_Face OpenFontFace(const char* fileName, long faceIndex) {
    std::lock_guard<std::mutex> guard(LibraryLock());
    if (!library) {
        FT_Library created = nullptr;
        if (FT_Init_FreeType(&created) != 0)
            throw Exception("FT_Init_FreeType failed.");
        library = created;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(library, fileName, faceIndex, &face) != 0)
        throw Exception("FT_New_Face failed.");
    return face;
}

void CloseFontFace(FT_Face face) {
    if (!face)
        return;
    std::lock_guard<std::mutex> guard(LibraryLock());
    FT_Done_Face(face);
}

}  // namespace Vudadive2R
}  // namespace ORV
