#include "capi/Handle.hpp"
#include "capi/Values.hpp"
#include "vudadive2r.h"
#include "vudadive2r.hpp"

using namespace ORV::Vudadive2R;

namespace {

PathBuilder& BuilderOf(orv_path_builder builder) { return *BuilderHandle::Read(builder); }

}  // namespace

extern "C" {

orv_path_builder orv_path_builder_create(void) {
    return Guarded(__func__, [&] { return BuilderHandle::Create<PathBuilder>(); });
}

void orv_path_builder_destroy(orv_path_builder builder) {
    if (builder)
        BuilderHandle::Free(builder);
}

void orv_path_builder_clear(orv_path_builder builder) {
    Guarded(__func__, [&] { BuilderOf(builder).Clear(); });
}

orv_path orv_path_builder_to_path(orv_path_builder builder, orv_context2D context) {
    return Guarded(__func__,
                   [&] { return PathHandle::Adopt(BuilderOf(builder).ToPath(ContextHandle::Read(context))); });
}

void orv_path_builder_close(orv_path_builder builder) {
    Guarded(__func__, [&] { BuilderOf(builder).Close(); });
}
void orv_path_builder_moveto(orv_path_builder builder, float x, float y) {
    Guarded(__func__, [&] { BuilderOf(builder).MoveTo(x, y); });
}
void orv_path_builder_moveto_rel(orv_path_builder builder, float dx, float dy) {
    Guarded(__func__, [&] { BuilderOf(builder).MoveToRel(dx, dy); });
}

void orv_path_builder_line(orv_path_builder builder, float x1, float y1, float x2, float y2) {
    Guarded(__func__, [&] { BuilderOf(builder).Line(x1, y1, x2, y2); });
}

void orv_path_builder_lineto(orv_path_builder builder, float x, float y) {
    Guarded(__func__, [&] { BuilderOf(builder).LineTo(x, y); });
}
void orv_path_builder_lineto_rel(orv_path_builder builder, float dx, float dy) {
    Guarded(__func__, [&] { BuilderOf(builder).LineToRel(dx, dy); });
}
void orv_path_builder_hlineto(orv_path_builder builder, float x) {
    Guarded(__func__, [&] { BuilderOf(builder).HLineTo(x); });
}
void orv_path_builder_hlineto_rel(orv_path_builder builder, float dx) {
    Guarded(__func__, [&] { BuilderOf(builder).HLineToRel(dx); });
}
void orv_path_builder_vlineto(orv_path_builder builder, float y) {
    Guarded(__func__, [&] { BuilderOf(builder).VLineTo(y); });
}
void orv_path_builder_vlineto_rel(orv_path_builder builder, float dy) {
    Guarded(__func__, [&] { BuilderOf(builder).VLineToRel(dy); });
}

void orv_path_builder_rectangle(orv_path_builder builder, float x, float y, float width, float height) {
    Guarded(__func__, [&] { BuilderOf(builder).Rectangle(x, y, width, height); });
}

void orv_path_builder_round_rectangle(orv_path_builder builder, float x, float y, float width, float height,
                                      float arcWidth, float arcHeight) {
    Guarded(__func__, [&] { BuilderOf(builder).RoundRectangle(x, y, width, height, arcWidth, arcHeight); });
}

void orv_path_builder_ellipse(orv_path_builder builder, float x, float y, float width, float height) {
    Guarded(__func__, [&] { BuilderOf(builder).Ellipse(x, y, width, height); });
}

void orv_path_builder_arc(orv_path_builder builder, float x, float y, float width, float height, float start,
                          float extent, int type) {
    Guarded(__func__, [&] { BuilderOf(builder).Arc(x, y, width, height, start, extent, ArcType(type)); });
}

void orv_path_builder_quadto(orv_path_builder builder, float cx, float cy, float x, float y) {
    Guarded(__func__, [&] { BuilderOf(builder).QuadTo(cx, cy, x, y); });
}

void orv_path_builder_quadto_rel(orv_path_builder builder, float dcx, float dcy, float dx, float dy) {
    Guarded(__func__, [&] { BuilderOf(builder).QuadToRel(dcx, dcy, dx, dy); });
}

void orv_path_builder_cubicto(orv_path_builder builder, float c1x, float c1y, float c2x, float c2y, float x, float y) {
    Guarded(__func__, [&] { BuilderOf(builder).CubicTo(c1x, c1y, c2x, c2y, x, y); });
}

void orv_path_builder_cubicto_rel(orv_path_builder builder, float dc1x, float dc1y, float dc2x, float dc2y, float dx,
                                  float dy) {
    Guarded(__func__, [&] { BuilderOf(builder).CubicToRel(dc1x, dc1y, dc2x, dc2y, dx, dy); });
}

void orv_path_builder_squadto(orv_path_builder builder, float x, float y) {
    Guarded(__func__, [&] { BuilderOf(builder).SQuadTo(x, y); });
}
void orv_path_builder_squadto_rel(orv_path_builder builder, float dx, float dy) {
    Guarded(__func__, [&] { BuilderOf(builder).SQuadToRel(dx, dy); });
}

void orv_path_builder_scubicto(orv_path_builder builder, float c2x, float c2y, float x, float y) {
    Guarded(__func__, [&] { BuilderOf(builder).SCubicTo(c2x, c2y, x, y); });
}

void orv_path_builder_scubicto_rel(orv_path_builder builder, float dc2x, float dc2y, float dx, float dy) {
    Guarded(__func__, [&] { BuilderOf(builder).SCubicToRel(dc2x, dc2y, dx, dy); });
}

void orv_path_builder_sccwarcto(orv_path_builder builder, float rx, float ry, float angle, float x, float y) {
    Guarded(__func__, [&] { BuilderOf(builder).SCcwArcTo(rx, ry, angle, x, y); });
}

void orv_path_builder_sccwarcto_rel(orv_path_builder builder, float rx, float ry, float angle, float dx, float dy) {
    Guarded(__func__, [&] { BuilderOf(builder).SCcwArcToRel(rx, ry, angle, dx, dy); });
}

void orv_path_builder_scwarcto(orv_path_builder builder, float rx, float ry, float angle, float x, float y) {
    Guarded(__func__, [&] { BuilderOf(builder).SCwArcTo(rx, ry, angle, x, y); });
}

void orv_path_builder_scwarcto_rel(orv_path_builder builder, float rx, float ry, float angle, float dx, float dy) {
    Guarded(__func__, [&] { BuilderOf(builder).SCwArcToRel(rx, ry, angle, dx, dy); });
}

void orv_path_builder_lccwarcto(orv_path_builder builder, float rx, float ry, float angle, float x, float y) {
    Guarded(__func__, [&] { BuilderOf(builder).LCcwArcTo(rx, ry, angle, x, y); });
}

void orv_path_builder_lccwarcto_rel(orv_path_builder builder, float rx, float ry, float angle, float dx, float dy) {
    Guarded(__func__, [&] { BuilderOf(builder).LCcwArcToRel(rx, ry, angle, dx, dy); });
}

void orv_path_builder_lcwarcto(orv_path_builder builder, float rx, float ry, float angle, float x, float y) {
    Guarded(__func__, [&] { BuilderOf(builder).LCwArcTo(rx, ry, angle, x, y); });
}

void orv_path_builder_lcwarcto_rel(orv_path_builder builder, float rx, float ry, float angle, float dx, float dy) {
    Guarded(__func__, [&] { BuilderOf(builder).LCwArcToRel(rx, ry, angle, dx, dy); });
}

void orv_path_builder_svg_path_data(orv_path_builder builder, const char* data, const orv_matrix3* transform) {
    Guarded(__func__, [&] { BuilderOf(builder).SvgPathData(data, transform ? FromC(*transform) : Matrix3::Identity); });
}

}  // extern "C"
