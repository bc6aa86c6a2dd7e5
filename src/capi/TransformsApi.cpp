#include "capi/Handle.hpp"
#include "capi/Values.hpp"

using namespace ORV::Vudadive2R;

namespace {
Transforms& Of(orv_transforms* transforms) { return ViewOf<Transforms>(transforms); }
Transform& Of(orv_transform* transform) { return ViewOf<Transform>(transform); }
orv_transform* View(Transform* transform) { return reinterpret_cast<orv_transform*>(transform); }
}  // namespace

extern "C" {

orv_transform* orv_transforms_path(orv_transforms* transforms) {
    return Guarded(__func__, [&] { return View(Of(transforms).path); });
}
orv_transform* orv_transforms_image(orv_transforms* transforms) {
    return Guarded(__func__, [&] { return View(Of(transforms).image); });
}
orv_transform* orv_transforms_fill_paint(orv_transforms* transforms) {
    return Guarded(__func__, [&] { return View(Of(transforms).fillPaint); });
}
orv_transform* orv_transforms_stroke_paint(orv_transforms* transforms) {
    return Guarded(__func__, [&] { return View(Of(transforms).strokePaint); });
}
orv_transform* orv_transforms_glyph(orv_transforms* transforms) {
    return Guarded(__func__, [&] { return View(Of(transforms).glyph); });
}

void orv_transform_load_identity(orv_transform* transform) {
    Guarded(__func__, [&] { Of(transform).LoadIdentity(); });
}
void orv_transform_translate(orv_transform* transform, float tx, float ty) {
    Guarded(__func__, [&] { Of(transform).Translate(tx, ty); });
}
void orv_transform_scale(orv_transform* transform, float sx, float sy) {
    Guarded(__func__, [&] { Of(transform).Scale(sx, sy); });
}
void orv_transform_rotate(orv_transform* transform, float angle) {
    Guarded(__func__, [&] { Of(transform).Rotate(angle); });
}
orv_matrix3 orv_transform_get(orv_transform* transform) {
    return Guarded(__func__, [&] { return ToC(Of(transform).Get()); });
}
void orv_transform_set(orv_transform* transform, const orv_matrix3* matrix) {
    Guarded(__func__, [&] { Of(transform).Set(FromC(Required(matrix))); });
}

}  // extern "C"
