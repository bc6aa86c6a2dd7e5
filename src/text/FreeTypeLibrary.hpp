// The process-wide FreeType library handle that every font shares.
#ifndef VUDADIVE2R_TEXT_FREETYPELIBRARY_HPP
#define VUDADIVE2R_TEXT_FREETYPELIBRARY_HPP

#include <ft2build.h>
#include FT_FREETYPE_H

namespace ORV {
namespace Vudadive2R {

// Opens a face of a file (face 0 unless told), creating the shared library
// handle first if it does not exist yet. Throws Exception "FT_Init_FreeType
// failed." (a later call tries again) or "FT_New_Face failed.". Safe from
// several threads.
FT_Face OpenFontFace(const char* fileName, long faceIndex = 0);

// Releases a face opened by OpenFontFace; null does nothing.
void CloseFontFace(FT_Face face);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
