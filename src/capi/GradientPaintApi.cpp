#include <cstddef>

#include "capi/Handle.hpp"

using namespace ORV::Vudadive2R;

static_assert(sizeof(orv_color_stop) == sizeof(ColorStop) &&
                  offsetof(orv_color_stop, R) == offsetof(ColorStop, Color) &&
                  offsetof(orv_color_stop, A) == offsetof(ColorStop, Color) + offsetof(Color, A),
              "colour stop layout");

namespace {
GradientPaint& Of(orv_gradient_paint paint) { return PaintHandle::Object<GradientPaint>(paint); }
}  // namespace

extern "C" {

int orv_gradient_paint_color_ramp_spread_mode_get(orv_gradient_paint paint) {
    return Guarded(__func__, [&] { return int(Of(paint).ColorRampSpreadMode); });
}
void orv_gradient_paint_color_ramp_spread_mode_set(orv_gradient_paint paint, int mode) {
    Guarded(__func__, [&] { Of(paint).ColorRampSpreadMode = SpreadMode(mode); });
}
bool orv_gradient_paint_color_ramp_premulitiplier_enabled_get(orv_gradient_paint paint) {
    return Guarded(__func__, [&] { return Of(paint).ColorRampPremultiplierEnabled; });
}
void orv_gradient_paint_color_ramp_premulitiplier_enabled_set(orv_gradient_paint paint, bool enabled) {
    Guarded(__func__, [&] { Of(paint).ColorRampPremultiplierEnabled = enabled; });
}

const orv_color_stop* orv_gradient_paint_color_stops_get(orv_gradient_paint paint, int* count) {
    return Guarded(__func__, [&] {
        Required(count) = 0;
        std::vector<ColorStop>& stops = Of(paint).ColorStops;
        *count = int(stops.size());
        return reinterpret_cast<const orv_color_stop*>(&stops.at(0));  // empty: std::out_of_range
    });
}

void orv_gradient_paint_color_stops_set(orv_gradient_paint paint, const orv_color_stop* stops, int count) {
    Guarded(__func__, [&] {
        if (!stops && count > 0)
            throw ArgumentNullException();
        std::vector<ColorStop>& list = Of(paint).ColorStops;
        list.clear();
        for (int i = 0; i < count; ++i)
            list.push_back(ColorStop{stops[i].Offset, Color{stops[i].R, stops[i].G, stops[i].B, stops[i].A}});
    });
}

orv_linear_gradient_paint orv_linear_gradient_paint_create(orv_context2D context, float x0, float y0, float x1,
                                                           float y1) {
    return Guarded(__func__, [&] {
        return PaintHandle::Create<LinearGradientPaint>(ContextHandle::Read(context), x0, y0, x1, y1);
    });
}

void orv_linear_gradient_paint_destroy(orv_linear_gradient_paint paint) {
    if (paint)
        PaintHandle::Free(paint);
}

orv_radial_gradient_paint orv_radial_gradient_paint_create(orv_context2D context, float cx, float cy, float radius,
                                                           float fx, float fy) {
    return Guarded(__func__, [&] {
        return PaintHandle::Create<RadialGradientPaint>(ContextHandle::Read(context), cx, cy, radius, fx, fy);
    });
}

void orv_radial_gradient_paint_destroy(orv_radial_gradient_paint paint) {
    if (paint)
        PaintHandle::Free(paint);
}

}  // extern "C"
