#include "capi/Handle.hpp"

using namespace ORV::Vudadive2R;

extern "C" {

// A NULL context handle reaches the constructor as an empty context, which it reports.
orv_font orv_font_create(orv_context2D context, const char* filename, int size) {
    return Guarded(__func__, [&] { return FontHandle::Create<Font>(ContextHandle::Share(context), filename, size); });
}

orv_font orv_font_create_from_name(orv_context2D context, const char* pattern, int size) {
    return Guarded(__func__,
                   [&] { return FontHandle::Create<Font>(ContextHandle::Share(context), FontName{pattern}, size); });
}

const char* orv_font_file_name_get(orv_font font) {
    return Guarded(__func__, [&] { return FontHandle::Read(font)->FileName().c_str(); });
}

void orv_font_destroy(orv_font font) {
    if (font)
        FontHandle::Free(font);
}

float orv_font_height_get(orv_font font) {
    return Guarded(__func__, [&] { return FontHandle::Read(font)->Height(); });
}
float orv_font_ascender_get(orv_font font) {
    return Guarded(__func__, [&] { return FontHandle::Read(font)->Ascender(); });
}
float orv_font_descender_get(orv_font font) {
    return Guarded(__func__, [&] { return FontHandle::Read(font)->Descender(); });
}
float orv_font_measure_string(orv_font font, const char* text) {
    return Guarded(__func__, [&] { return FontHandle::Read(font)->MeasureString(text); });
}
float orv_font_measure_string_utf8(orv_font font, const char* text) {
    return Guarded(__func__, [&] { return FontHandle::Read(font)->MeasureStringUtf8(text); });
}

void orv_font_draw_string(orv_font font, int x, int y, const char* text, float r, float g, float b, float a) {
    Guarded(__func__, [&] { FontHandle::Read(font)->DrawString(x, y, text, Color{r, g, b, a}); });
}

void orv_font_draw_string_utf8(orv_font font, int x, int y, const char* text, float r, float g, float b, float a) {
    Guarded(__func__, [&] { FontHandle::Read(font)->DrawStringUtf8(x, y, text, Color{r, g, b, a}); });
}

}  // extern "C"
