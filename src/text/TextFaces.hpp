// The faces shaped text draws from: the font's own, then fontconfig's
// fallback list, each opened on first use for HarfBuzz and FreeType.
#ifndef VUDADIVE2R_TEXT_TEXTFACES_HPP
#define VUDADIVE2R_TEXT_TEXTFACES_HPP

#include <hb.h>

#include <memory>
#include <string>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "vudadive2r/Font.hpp"

namespace ORV {
namespace Vudadive2R {

class TextFaces {
public:
    // The font's own face (its file and index) at `size` pixels per em;
    // `pattern` chooses the fallback list (empty: the face's family name).
    TextFaces(const std::string& file, int index, int size, const std::string& pattern);
    ~TextFaces();
    TextFaces(const TextFaces&) = delete;
    TextFaces& operator=(const TextFaces&) = delete;

    // The first face, the font's own first, that has `code`, or -1.
    int FirstWith(char32_t code);
    // Whether face `index` (already chosen once) has `code`.
    bool Has(int index, char32_t code);
    // Face `index`, opened; its HarfBuzz font is scaled to the size in 1/64 pixel.
    hb_font_t* HarfBuzzFont(int index);
    FT_Face FreeTypeFace(int index);
    const std::string& FileName(int index) const;
    int Count() const { return int(faces.size()); }
    int Size() const { return size; }
    // The font's own line metrics in 1/64 pixel (the descender negative).
    FT_Pos Ascender() const;
    FT_Pos Descender() const;

private:
    struct Face;
    bool Open(Face& face);
    void ListFallbacks();

    int size;
    std::string pattern;
    bool listed = false;
    std::vector<std::unique_ptr<Face>> faces;
};

// The font's faces, made on first use and shared by its runs.
std::shared_ptr<TextFaces> FacesOf(Font& font);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
