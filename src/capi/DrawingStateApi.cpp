#include "capi/Handle.hpp"
#include "capi/Values.hpp"
#include "context/Messages.hpp"

using namespace ORV::Vudadive2R;

extern "C" {

orv_fill_state orv_fill_state_create(void) {
    return Guarded(__func__, [&] { return FillHandle::Create<FillState>(); });
}

void orv_fill_state_destroy(orv_fill_state state) {
    if (state)
        FillHandle::Free(state);
}

// The class interface has no paint getter; this entry point only says so.
orv_paint orv_fill_state_paint_get(orv_fill_state state) {
    return Guarded(__func__, [&]() -> orv_paint {
        FillHandle::Read(state);
        WriteMessageLine("Not implemented.");
        if (RecordingErrors())
            RecordError(ORV_ERROR_NOT_IMPLEMENTED, "Not implemented.");
        return nullptr;
    });
}

void orv_fill_state_paint_set(orv_fill_state state, orv_paint paint) {
    Guarded(__func__, [&] { FillHandle::Read(state)->Paint(PaintHandle::Share(paint)); });
}

int orv_fill_state_fill_rule_get(orv_fill_state state) {
    return Guarded(__func__, [&] { return int(FillHandle::Read(state)->FillRule()); });
}
void orv_fill_state_fill_rule_set(orv_fill_state state, int rule) {
    Guarded(__func__, [&] { FillHandle::Read(state)->FillRule(FillRule(rule)); });
}
void orv_fill_state_set_defaults(orv_fill_state state) {
    Guarded(__func__, [&] { FillHandle::Read(state)->SetDefaults(); });
}

orv_stroke_state orv_stroke_state_create(void) {
    return Guarded(__func__, [&] { return StrokeHandle::Create<StrokeState>(); });
}

void orv_stroke_state_destroy(orv_stroke_state state) {
    if (state)
        StrokeHandle::Free(state);
}

void orv_stroke_state_paint_set(orv_stroke_state state, orv_paint paint) {
    Guarded(__func__, [&] { StrokeHandle::Read(state)->Paint(PaintHandle::Share(paint)); });
}

float orv_stroke_state_line_width_get(orv_stroke_state state) {
    return Guarded(__func__, [&] { return StrokeHandle::Read(state)->LineWidth(); });
}
void orv_stroke_state_line_width_set(orv_stroke_state state, float width) {
    Guarded(__func__, [&] { StrokeHandle::Read(state)->LineWidth(width); });
}
int orv_stroke_state_cap_style_get(orv_stroke_state state) {
    return Guarded(__func__, [&] { return int(StrokeHandle::Read(state)->CapStyle()); });
}
void orv_stroke_state_cap_style_set(orv_stroke_state state, int style) {
    Guarded(__func__, [&] { StrokeHandle::Read(state)->CapStyle(CapStyle(style)); });
}
int orv_stroke_state_join_style_get(orv_stroke_state state) {
    return Guarded(__func__, [&] { return int(StrokeHandle::Read(state)->JoinStyle()); });
}
void orv_stroke_state_join_style_set(orv_stroke_state state, int style) {
    Guarded(__func__, [&] { StrokeHandle::Read(state)->JoinStyle(JoinStyle(style)); });
}
float orv_stroke_state_miter_limit_get(orv_stroke_state state) {
    return Guarded(__func__, [&] { return StrokeHandle::Read(state)->MiterLimit(); });
}
void orv_stroke_state_miter_limit_set(orv_stroke_state state, float limit) {
    Guarded(__func__, [&] { StrokeHandle::Read(state)->MiterLimit(limit); });
}
float orv_stroke_state_dash_phase_get(orv_stroke_state state) {
    return Guarded(__func__, [&] { return StrokeHandle::Read(state)->DashPhase(); });
}
void orv_stroke_state_dash_phase_set(orv_stroke_state state, float phase) {
    Guarded(__func__, [&] { StrokeHandle::Read(state)->DashPhase(phase); });
}

bool orv_stroke_state_dash_phase_reset_enabled_get(orv_stroke_state state) {
    return Guarded(__func__, [&] { return StrokeHandle::Read(state)->DashPhaseResetEnabled(); });
}

void orv_stroke_state_dash_phase_reset_enabled_set(orv_stroke_state state, bool enabled) {
    Guarded(__func__, [&] { StrokeHandle::Read(state)->DashPhaseResetEnabled(enabled); });
}

void orv_stroke_state_dash_pattern_set(orv_stroke_state state, const float* values, int count) {
    Guarded(__func__, [&] {
        std::vector<Dash>& pattern = StrokeHandle::Read(state)->dashPattern;
        RequireArray(values, count);
        pattern.clear();
        for (int i = 0; i < count; ++i)
            pattern.push_back(Dash{values[2 * i], values[2 * i + 1]});
    });
}

void orv_stroke_state_set_defaults(orv_stroke_state state) {
    Guarded(__func__, [&] { StrokeHandle::Read(state)->SetDefaults(); });
}

}  // extern "C"
