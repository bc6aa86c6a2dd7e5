#include "capi/Handle.hpp"
#include "capi/Values.hpp"

using namespace ORV::Vudadive2R;

namespace {
RenderState& Of(orv_render_state* state) { return ViewOf<RenderState>(state); }
}  // namespace

extern "C" {

int orv_render_state_origin_get(orv_render_state* state) {
    return Guarded(__func__, [&] { return int(Of(state).origin); });
}
void orv_render_state_origin_set(orv_render_state* state, int value) {
    Guarded(__func__, [&] { Of(state).origin = Origin(value); });
}
int orv_render_state_image_quality_get(orv_render_state* state) {
    return Guarded(__func__, [&] { return Of(state).imageQuality; });
}
void orv_render_state_image_quality_set(orv_render_state* state, int value) {
    Guarded(__func__, [&] { Of(state).imageQuality = value; });
}
int orv_render_state_rendering_quality_get(orv_render_state* state) {
    return Guarded(__func__, [&] { return Of(state).renderingQuality; });
}
void orv_render_state_rendering_quality_set(orv_render_state* state, int value) {
    Guarded(__func__, [&] { Of(state).renderingQuality = value; });
}
int orv_render_state_blend_mode_get(orv_render_state* state) {
    return Guarded(__func__, [&] { return int(Of(state).blendMode); });
}
void orv_render_state_blend_mode_set(orv_render_state* state, int value) {
    Guarded(__func__, [&] { Of(state).blendMode = BlendMode(value); });
}
int orv_render_state_image_mode_get(orv_render_state* state) {
    return Guarded(__func__, [&] { return Of(state).imageMode; });
}
void orv_render_state_image_mode_set(orv_render_state* state, int value) {
    Guarded(__func__, [&] { Of(state).imageMode = value; });
}
bool orv_render_state_scissoring_enabled_get(orv_render_state* state) {
    return Guarded(__func__, [&] { return Of(state).scissoringEnabled; });
}
void orv_render_state_scissoring_enabled_set(orv_render_state* state, bool value) {
    Guarded(__func__, [&] { Of(state).scissoringEnabled = value; });
}

const orv_int_rectangle* orv_render_state_scissor_rectangles_get(orv_render_state* state, int* count) {
    return Guarded(__func__, [&] {
        Required(count) = 0;
        std::vector<IntRectangle>& rectangles = Of(state).scissorRectangles;
        *count = int(rectangles.size());
        return reinterpret_cast<const orv_int_rectangle*>(&rectangles.at(0));  // empty: std::out_of_range
    });
}

void orv_render_state_scissor_rectangles_set(orv_render_state* state, const orv_int_rectangle* rectangles, int count) {
    Guarded(__func__, [&] {
        std::vector<IntRectangle>& list = Of(state).scissorRectangles;
        RequireArray(rectangles, count);
        list.clear();
        for (int i = 0; i < count; ++i)
            list.push_back(IntRectangle{rectangles[i].X, rectangles[i].Y, rectangles[i].Width, rectangles[i].Height});
    });
}

}  // extern "C"
