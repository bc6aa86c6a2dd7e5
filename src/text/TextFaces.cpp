#include "text/TextFaces.hpp"

#include <fontconfig/fontconfig.h>
#include <hb-ot.h>

#include <mutex>

#include FT_OUTLINE_H
#include FT_BBOX_H

#include "common/Internals.hpp"
#include "text/ColorGlyphs.hpp"
#include "text/FontMatch.hpp"
#include "text/FreeTypeLibrary.hpp"
#include "vudadive2r/Exceptions.hpp"

namespace ORV {
namespace Vudadive2R {

struct TextFaces::Face {
    std::string file;
    int index = 0;
    FcCharSet* characters = nullptr;  // fontconfig's coverage, for a fallback; owned
    bool opened = false, failed = false;
    FT_Face face = nullptr;
    hb_font_t* font = nullptr;
};

TextFaces::TextFaces(const std::string& file, int index, int size, const std::string& pattern)
    : size(size), pattern(pattern) {
    std::unique_ptr<Face> own(new Face());
    own->file = file;
    own->index = index;
    faces.push_back(std::move(own));
    if (!Open(*faces[0]))
        throw Exception("The font cannot be shaped.");
}

TextFaces::~TextFaces() {
    for (auto& face : faces) {
        if (face->font)
            hb_font_destroy(face->font);
        CloseFontFace(face->face);
        if (face->characters)
            FcCharSetDestroy(face->characters);
    }
}

// Both libraries open the file: HarfBuzz shapes with its own reading of the
// tables, FreeType gives the outlines. Sizes match Font's: `size` pixels per em.
bool TextFaces::Open(Face& face) {
    if (face.opened)
        return !face.failed;
    face.opened = true;
    face.failed = true;
    try {
        face.face = OpenFontFace(face.file.c_str(), face.index);
    } catch (const Exception&) {
        return false;
    }
    if (SizeColorBitmapFace(face.face, size, FT_Set_Char_Size(face.face, FT_F26Dot6(size) * 64, 0, 72, 0)) != 0)
        return false;
    hb_blob_t* blob = hb_blob_create_from_file_or_fail(face.file.c_str());
    if (!blob)
        return false;
    // A named instance of a variable font (the index's upper half) is not
    // opened as such by HarfBuzz: such entries of the list are left out.
    hb_face_t* hbFace = hb_face_create(blob, unsigned(face.index) & 0xFFFF);
    hb_blob_destroy(blob);
    face.font = hb_font_create(hbFace);
    hb_face_destroy(hbFace);
    hb_ot_font_set_funcs(face.font);
    hb_font_set_scale(face.font, size * 64, size * 64);
    face.failed = hb_face_get_glyph_count(hb_font_get_face(face.font)) == 0;
    return !face.failed;
}

// The sorted list, trimmed to the fonts that add coverage, as fontconfig
// gives it; the font's own face is left out of it.
void TextFaces::ListFallbacks() {
    listed = true;
    std::lock_guard<std::mutex> guard(FontconfigLock());
    if (!FcInit())
        return;
    std::string request = pattern;
    if (request.empty()) {
        const FT_Face own = faces[0]->face;
        request = own && own->family_name ? own->family_name : "sans-serif";
        // A family name is a pattern's first field: its special characters are escaped.
        std::string escaped;
        for (char c : request) {
            if (c == '-' || c == ':' || c == ',' || c == '\\')
                escaped += '\\';
            escaped += c;
        }
        request = escaped;
    }
    FcPattern* parsed = FcNameParse(reinterpret_cast<const FcChar8*>(request.c_str()));
    if (!parsed)
        return;
    FcConfigSubstitute(nullptr, parsed, FcMatchPattern);
    FcDefaultSubstitute(parsed);
    FcResult result = FcResultNoMatch;
    FcFontSet* sorted = FcFontSort(nullptr, parsed, FcTrue, nullptr, &result);
    FcPatternDestroy(parsed);
    if (!sorted)
        return;
    for (int i = 0; i < sorted->nfont; ++i) {
        FcChar8* file = nullptr;
        int index = 0;
        FcCharSet* characters = nullptr;
        if (FcPatternGetString(sorted->fonts[i], FC_FILE, 0, &file) != FcResultMatch || !file)
            continue;
        if (FcPatternGetInteger(sorted->fonts[i], FC_INDEX, 0, &index) != FcResultMatch)
            index = 0;
        if (FcPatternGetCharSet(sorted->fonts[i], FC_CHARSET, 0, &characters) != FcResultMatch || !characters)
            continue;
        const std::string name(reinterpret_cast<const char*>(file));
        if (index > 0xFFFF || (name == faces[0]->file && index == faces[0]->index))
            continue;
        std::unique_ptr<Face> face(new Face());
        face->file = name;
        face->index = index;
        face->characters = FcCharSetCopy(characters);
        faces.push_back(std::move(face));
    }
    FcFontSetDestroy(sorted);
}

bool TextFaces::Has(int index, char32_t code) {
    Face& face = *faces[size_t(index)];
    if (face.characters && !FcCharSetHasChar(face.characters, code))
        return false;
    hb_codepoint_t glyph = 0;
    return Open(face) && hb_font_get_nominal_glyph(face.font, code, &glyph);
}

int TextFaces::FirstWith(char32_t code) {
    if (Has(0, code))
        return 0;
    if (!listed)
        ListFallbacks();
    for (int i = 1; i < int(faces.size()); ++i)
        if (Has(i, code))
            return i;
    return -1;
}

hb_font_t* TextFaces::HarfBuzzFont(int index) { return faces[size_t(index)]->font; }
FT_Face TextFaces::FreeTypeFace(int index) { return faces[size_t(index)]->face; }

const std::string& TextFaces::FileName(int index) {
    if (index > 0 && !listed)
        ListFallbacks();
    if (index < 0 || index >= int(faces.size()))
        throw ArgumentOutOfRangeException();
    return faces[size_t(index)]->file;
}

namespace {

struct Decomposition {
    GlyphOutline& outline;
    bool open = false;

    void Add(PathCommands command, std::initializer_list<const FT_Vector*> points) {
        outline.commands.push_back(command);
        for (const FT_Vector* point : points)
            outline.points.push_back(*point);
    }
    void Close() {
        if (open)
            outline.commands.push_back(PathCommands::Close);
        open = false;
    }
};

Decomposition& Of(void* user) { return *static_cast<Decomposition*>(user); }

const FT_Outline_Funcs kDecomposer = {
    [](const FT_Vector* to, void* user) {
        Of(user).Close();
        Of(user).Add(PathCommands::MoveTo, {to});
        Of(user).open = true;
        return 0;
    },
    [](const FT_Vector* to, void* user) {
        Of(user).Add(PathCommands::LineTo, {to});
        return 0;
    },
    [](const FT_Vector* control, const FT_Vector* to, void* user) {
        Of(user).Add(PathCommands::QuadTo, {control, to});
        return 0;
    },
    [](const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user) {
        Of(user).Add(PathCommands::CubicTo, {control1, control2, to});
        return 0;
    },
    0, 0};

}  // namespace

const GlyphOutline& TextFaces::Outline(int font, unsigned index) {
    const uint64_t key = uint64_t(unsigned(font)) << 32 | index;
    const auto found = outlines.find(key);
    if (found != outlines.end())
        return found->second;
    GlyphOutline outline;
    const FT_Face face = faces[size_t(font)]->face;
    // A colour glyph is drawn as an image instead (ColorGlyphs.cpp).
    if (face && !IsColorGlyph(*this, font, index) && FT_Load_Glyph(face, index, kOutlineLoadFlags) == 0 &&
        face->glyph->format == FT_GLYPH_FORMAT_OUTLINE && face->glyph->outline.n_points > 0) {
        Decomposition decomposition{outline};
        if (FT_Outline_Decompose(&face->glyph->outline, &kDecomposer, &decomposition) == 0) {
            decomposition.Close();
            FT_Outline_Get_BBox(&face->glyph->outline, &outline.box);
        } else {
            outline = GlyphOutline();
        }
    }
    const size_t bytes = 64 + outline.commands.size() * sizeof(PathCommands) + outline.points.size() * sizeof(FT_Vector);
    if (outlineBytes + bytes > OutlineCacheBound) {
        outlines.clear();
        outlineBytes = 0;
    }
    outlineBytes += bytes;
    return outlines.emplace(key, std::move(outline)).first->second;
}

FT_Pos TextFaces::Ascender() const { return faces[0]->face->size->metrics.ascender; }
FT_Pos TextFaces::Descender() const { return faces[0]->face->size->metrics.descender; }

ColorGlyphs& TextFaces::Colors() {
    if (!colors)
        colors.reset(new ColorGlyphs());
    return *colors;
}

std::shared_ptr<TextFaces> FacesOf(Font& font) {
    std::shared_ptr<TextFaces>& faces = Internals::TextFacesOf(font);
    if (!faces)
        faces = std::make_shared<TextFaces>(font.FileName(), font.FaceIndex(), Internals::SizeOf(font),
                                            Internals::PatternOf(font));
    return faces;
}

}  // namespace Vudadive2R
}  // namespace ORV
