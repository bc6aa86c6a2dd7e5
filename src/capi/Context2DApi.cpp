#include "capi/Handle.hpp"
#include "capi/Values.hpp"

using namespace ORV::Vudadive2R;

extern "C" {

orv_context2D orv_context2D_create(orv_surface* surface) {
    return Guarded(__func__, [&] { return ContextHandle::Create<Context2D>(surface); });
}

void orv_context2D_destroy(orv_context2D context) {
    if (context)
        ContextHandle::Free(context);
}

orv_transforms* orv_context2D_transforms_get(orv_context2D context) {
    return Guarded(__func__,
                   [&] { return reinterpret_cast<orv_transforms*>(ContextHandle::Read(context)->transforms); });
}

orv_render_state* orv_context2D_render_state_get(orv_context2D context) {
    return Guarded(__func__,
                   [&] { return reinterpret_cast<orv_render_state*>(ContextHandle::Read(context)->renderState); });
}

orv_color orv_context2D_clear_color_get(orv_context2D context) {
    return Guarded(__func__, [&] { return ToC(ContextHandle::Read(context)->ClearColor()); });
}

void orv_context2D_clear_color_set(orv_context2D context, float r, float g, float b, float a) {
    Guarded(__func__, [&] { ContextHandle::Read(context)->ClearColor(Color{r, g, b, a}); });
}

int orv_context2D_threads_get(orv_context2D context) {
    return Guarded(__func__, [&] { return ContextHandle::Read(context)->Threads(); });
}

void orv_context2D_threads_set(orv_context2D context, int count) {
    Guarded(__func__, [&] { ContextHandle::Read(context)->SetThreads(count); });
}

void orv_context2D_set_default_state(orv_context2D context) {
    Guarded(__func__, [&] { ContextHandle::Read(context)->SetDefaultState(); });
}
void orv_context2D_finish(orv_context2D context) {
    Guarded(__func__, [&] { ContextHandle::Read(context)->Finish(); });
}
void orv_context2D_clear(orv_context2D context) {
    Guarded(__func__, [&] { ContextHandle::Read(context)->Clear(); });
}

void orv_context2D_clear_rectangle(orv_context2D context, int x, int y, int width, int height) {
    Guarded(__func__, [&] { ContextHandle::Read(context)->ClearRectangle(x, y, width, height); });
}

void orv_context2D_save_png(orv_context2D context, const char* filename) {
    Guarded(__func__, [&] { PngImage::SaveSurface(*ContextHandle::Read(context), filename); });
}

void orv_context2D_save(orv_context2D context) {
    Guarded(__func__, [&] { ContextHandle::Read(context)->Save(); });
}

void orv_context2D_restore(orv_context2D context) {
    Guarded(__func__, [&] { ContextHandle::Read(context)->Restore(); });
}

void orv_context2D_clip_reset(orv_context2D context) {
    Guarded(__func__, [&] { ContextHandle::Read(context)->ClipReset(); });
}

void orv_context2D_layer_push(orv_context2D context, float opacity, int blend_mode) {
    Guarded(__func__, [&] { ContextHandle::Read(context)->PushLayer(opacity, BlendMode(blend_mode)); });
}

void orv_context2D_layer_pop(orv_context2D context) {
    Guarded(__func__, [&] { ContextHandle::Read(context)->PopLayer(); });
}

}  // extern "C"
