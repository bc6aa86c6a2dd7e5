#include "capi/Handle.hpp"
#include "capi/Values.hpp"

using namespace ORV::Vudadive2R;

extern "C" {

orv_path orv_path_create(orv_context2D context) {
    return Guarded(__func__, [&] { return PathHandle::Create<Path>(ContextHandle::Read(context)); });
}

void orv_path_destroy(orv_path path) {
    if (path)
        PathHandle::Free(path);
}

// The states are held for the call; a NULL handle means no fill or no stroke.
void orv_path_draw(orv_path path, orv_fill_state fill, orv_stroke_state stroke) {
    Guarded(__func__, [&] {
        const std::shared_ptr<FillState> fillState = FillHandle::Share(fill);
        const std::shared_ptr<StrokeState> strokeState = StrokeHandle::Share(stroke);
        PathHandle::Read(path)->Draw(fillState, strokeState);
    });
}

void orv_path_append_svg_path_data(orv_path path, const char* data, const orv_matrix3* transform) {
    Guarded(__func__, [&] {
        PathHandle::Read(path)->AppendSvgPathData(data, transform ? FromC(*transform) : Matrix3::Identity);
    });
}

void orv_path_clip(orv_path path, int fill_rule, int operation) {
    Guarded(__func__, [&] { PathHandle::Read(path)->Clip(FillRule(fill_rule), ClipOperation(operation)); });
}

}  // extern "C"
