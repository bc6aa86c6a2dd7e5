#include "capi/Handle.hpp"
#include "capi/Values.hpp"

using namespace ORV::Vudadive2R;

extern "C" {

// An image accepts an empty context, so a NULL context handle is passed on as one.
orv_image orv_image_create(orv_context2D context, int format, int width, int height, int stride, void* data) {
    return Guarded(__func__, [&] {
        return ImageHandle::Create<Image>(ContextHandle::Share(context), format, width, height, stride, data);
    });
}

void orv_image_destroy(orv_image image) {
    if (image)
        ImageHandle::Free(image);
}

int orv_image_format_get(orv_image image) {
    return Guarded(__func__, [&] { return ImageHandle::Read(image)->format; });
}
int orv_image_width_get(orv_image image) {
    return Guarded(__func__, [&] { return ImageHandle::Read(image)->width; });
}
int orv_image_height_get(orv_image image) {
    return Guarded(__func__, [&] { return ImageHandle::Read(image)->height; });
}
int orv_image_stride_get(orv_image image) {
    return Guarded(__func__, [&] { return ImageHandle::Read(image)->stride; });
}
void* orv_image_data_get(orv_image image) {
    return Guarded(__func__, [&] { return ImageHandle::Read(image)->data; });
}

orv_png_image orv_png_image_create_from_file(orv_context2D context, const char* filename) {
    return Guarded(__func__, [&] {
        return ImageHandle::Adopt(PngImage::CreateFromFile(ContextHandle::Share(context), filename));
    });
}

void orv_png_image_destroy(orv_png_image image) {
    if (image)
        ImageHandle::Free(image);
}

orv_image orv_jpeg_image_create_from_file(orv_context2D context, const char* filename) { return Guarded(__func__, [&] { return ImageHandle::Adopt(JpegImage::CreateFromFile(ContextHandle::Share(context), filename)); }); }

void orv_jpeg_image_destroy(orv_image image) {
    if (image)
        ImageHandle::Free(image);
}

// A NULL handle reaches Save as a null image, which it reports.
void orv_png_image_save(orv_image image, const char* filename) {
    Guarded(__func__, [&] { PngImage::Save(image ? ImageHandle::Read(image).get() : nullptr, filename); });
}

}  // extern "C"
