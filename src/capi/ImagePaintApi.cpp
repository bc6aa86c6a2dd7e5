#include "capi/Handle.hpp"
#include "capi/Values.hpp"

using namespace ORV::Vudadive2R;

extern "C" {

// The image is shared for the call; an empty one reaches the constructor, which rejects it.
orv_image_paint orv_image_paint_create(orv_context2D context, orv_image image) {
    return Guarded(__func__, [&] {
        return PaintHandle::Create<ImagePaint>(ContextHandle::Read(context), ImageHandle::Share(image));
    });
}

void orv_image_paint_destroy(orv_image_paint paint) {
    if (paint)
        PaintHandle::Free(paint);
}

int32_t orv_image_paint_tiling_mode_get(orv_image_paint paint) {
    return Guarded(__func__, [&] { return int32_t(PaintHandle::Object<ImagePaint>(paint).ImageTilingMode); });
}

void orv_image_paint_tiling_mode_set(orv_image_paint paint, int32_t mode) {
    Guarded(__func__, [&] { PaintHandle::Object<ImagePaint>(paint).ImageTilingMode = TilingMode(mode); });
}

orv_color orv_image_paint_tile_color_get(orv_image_paint paint) {
    return Guarded(__func__, [&] { return ToC(PaintHandle::Object<ImagePaint>(paint).TileColor); });
}

void orv_image_paint_tile_color_set(orv_image_paint paint, float r, float g, float b, float a) {
    Guarded(__func__, [&] { PaintHandle::Object<ImagePaint>(paint).TileColor = Color{r, g, b, a}; });
}

}  // extern "C"
