#include "capi/Handle.hpp"
#include "capi/Values.hpp"

using namespace ORV::Vudadive2R;

extern "C" {

orv_color_paint orv_color_paint_create(orv_context2D context, float r, float g, float b, float a) {
    return Guarded(__func__, [&] {
        return PaintHandle::Create<ColorPaint>(ContextHandle::Read(context), Color{r, g, b, a});
    });
}

void orv_color_paint_destroy(orv_color_paint paint) {
    if (paint)
        PaintHandle::Free(paint);
}

orv_color orv_color_paint_color_get(orv_color_paint paint) {
    return Guarded(__func__, [&] { return ToC(PaintHandle::Object<ColorPaint>(paint).color); });
}

}  // extern "C"
