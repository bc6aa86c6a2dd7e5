#include <cstddef>

#include "capi/Handle.hpp"

using namespace ORV::Vudadive2R;

namespace {

static_assert(sizeof(orv_glyph) == sizeof(Glyph) && offsetof(orv_glyph, cluster) == offsetof(Glyph, Cluster) &&
                  offsetof(orv_glyph, x) == offsetof(Glyph, X) && offsetof(orv_glyph, font) == offsetof(Glyph, Font),
              "a Glyph is read as an orv_glyph");

orv_text_extents ToC(const TextExtents& e) { return orv_text_extents{e.X, e.Y, e.Width, e.Height}; }

// The count is zeroed before the handle is read (by the callers), so that a
// failed call leaves 0 there, as the other counted getters do.
const orv_glyph* GlyphsOf(const TextRun& run, int* count) {
    *count = int(run.Glyphs().size());
    return reinterpret_cast<const orv_glyph*>(run.Glyphs().data());
}

}  // namespace

extern "C" {

orv_text_run orv_text_run_create(orv_font font, const char* utf8, const char* features) {
    return Guarded(__func__, [&] { return TextRunHandle::Create<TextRun>(FontHandle::Share(font), utf8, features); });
}

orv_text_run orv_text_run_create_with_language(orv_font font, const char* utf8, const char* features,
                                               const char* language) {
    return Guarded(__func__, [&] {
        return TextRunHandle::Create<TextRun>(FontHandle::Share(font), utf8, features, language);
    });
}

void orv_text_run_destroy(orv_text_run run) {
    if (run)
        TextRunHandle::Free(run);
}

const orv_glyph* orv_text_run_glyphs_get(orv_text_run run, int* count) {
    return Guarded(__func__, [&] {
        Required(count) = 0;
        return GlyphsOf(*TextRunHandle::Read(run), count);
    });
}

float orv_text_run_advance_get(orv_text_run run) {
    return Guarded(__func__, [&] { return TextRunHandle::Read(run)->Advance(); });
}

orv_text_extents orv_text_run_logical_extents_get(orv_text_run run) {
    return Guarded(__func__, [&] { return ToC(TextRunHandle::Read(run)->LogicalExtents()); });
}

orv_text_extents orv_text_run_ink_extents_get(orv_text_run run) {
    return Guarded(__func__, [&] { return ToC(TextRunHandle::Read(run)->InkExtents()); });
}

const char* orv_text_run_font_file_name_get(orv_text_run run, int font) {
    return Guarded(__func__, [&] { return TextRunHandle::Read(run)->FontFileName(font).c_str(); });
}

void orv_text_run_draw(orv_text_run run, float x, float y, orv_fill_state fill) {
    Guarded(__func__, [&] {
        const std::shared_ptr<FillState> fillState = FillHandle::Share(fill);
        TextRunHandle::Read(run)->Draw(x, y, fillState);
    });
}

orv_text_layout orv_text_layout_create(orv_font font, const char* utf8, const char* features, float width,
                                       int alignment) {
    return Guarded(__func__, [&] {
        return TextLayoutHandle::Create<TextLayout>(FontHandle::Share(font), utf8, width, TextAlignment(alignment),
                                                    features);
    });
}

void orv_text_layout_destroy(orv_text_layout layout) {
    if (layout)
        TextLayoutHandle::Free(layout);
}

int orv_text_layout_line_count_get(orv_text_layout layout) {
    return Guarded(__func__, [&] { return TextLayoutHandle::Read(layout)->LineCount(); });
}

orv_text_line orv_text_layout_line_get(orv_text_layout layout, int index) {
    return Guarded(__func__, [&] {
        const TextLine& line = TextLayoutHandle::Read(layout)->Line(index);
        return orv_text_line{line.Start, line.End, line.X, line.Y, line.Width};
    });
}

const orv_glyph* orv_text_layout_line_glyphs_get(orv_text_layout layout, int index, int* count) {
    return Guarded(__func__, [&] {
        Required(count) = 0;
        return GlyphsOf(TextLayoutHandle::Read(layout)->LineRun(index), count);
    });
}

orv_text_extents orv_text_layout_extents_get(orv_text_layout layout) {
    return Guarded(__func__, [&] { return ToC(TextLayoutHandle::Read(layout)->Extents()); });
}

void orv_text_layout_draw(orv_text_layout layout, float x, float y, orv_fill_state fill) {
    Guarded(__func__, [&] {
        const std::shared_ptr<FillState> fillState = FillHandle::Share(fill);
        TextLayoutHandle::Read(layout)->Draw(x, y, fillState);
    });
}

}  // extern "C"
