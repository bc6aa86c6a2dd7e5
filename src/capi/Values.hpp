// The C value structures have exactly the layouts of the class interface's
// value types; these conversions rely on it.
#ifndef VUDADIVE2R_CAPI_VALUES_HPP
#define VUDADIVE2R_CAPI_VALUES_HPP

#include <cstddef>

#include "vudadive2r.h"
#include "vudadive2r.hpp"

namespace ORV {
namespace Vudadive2R {

static_assert(sizeof(orv_color) == sizeof(Color) && offsetof(orv_color, A) == offsetof(Color, A), "colour layout");
static_assert(sizeof(orv_matrix3) == sizeof(Matrix3), "matrix layout");
static_assert(sizeof(orv_int_rectangle) == sizeof(IntRectangle) &&
                  offsetof(orv_int_rectangle, Height) == offsetof(IntRectangle, Height),
              "rectangle layout");

// The C names carry the class interface's enumeration values.
static_assert(ORV_ORIGIN_BOTTOM_LEFT == int(Origin::BottomLeft) && ORV_ORIGIN_TOP_LEFT == int(Origin::TopLeft),
              "origin values");
static_assert(ORV_BLEND_MODE_SOURCE == int(BlendMode::Source) && ORV_BLEND_MODE_SOURCE_OVER == int(BlendMode::SourceOver) &&
                  ORV_BLEND_MODE_DESTINATION_OVER == int(BlendMode::DestinationOver) &&
                  ORV_BLEND_MODE_SOURCE_IN == int(BlendMode::SourceIn) &&
                  ORV_BLEND_MODE_DESTINATION_IN == int(BlendMode::DestinationIn) &&
                  ORV_BLEND_MODE_MULTIPLY == int(BlendMode::Multiply) && ORV_BLEND_MODE_SCREEN == int(BlendMode::Screen) &&
                  ORV_BLEND_MODE_DARKEN == int(BlendMode::Darken) && ORV_BLEND_MODE_LIGHTEN == int(BlendMode::Lighten) &&
                  ORV_BLEND_MODE_PLUS == int(BlendMode::Plus),
              "blend mode values");
static_assert(ORV_FILL_RULE_EVEN_ODD == int(FillRule::EvenOdd) && ORV_FILL_RULE_NON_ZERO == int(FillRule::NonZero),
              "fill rule values");
static_assert(ORV_CAP_STYLE_BUTT == int(CapStyle::Butt) && ORV_CAP_STYLE_ROUND == int(CapStyle::Round) &&
                  ORV_CAP_STYLE_SQUARE == int(CapStyle::Square),
              "cap style values");
static_assert(ORV_JOIN_STYLE_MITER == int(JoinStyle::Miter) && ORV_JOIN_STYLE_ROUND == int(JoinStyle::Round) &&
                  ORV_JOIN_STYLE_BEVEL == int(JoinStyle::Bevel),
              "join style values");
static_assert(ORV_ARC_TYPE_OPEN == int(ArcType::Open) && ORV_ARC_TYPE_CHORD == int(ArcType::Chord) &&
                  ORV_ARC_TYPE_PIE == int(ArcType::Pie),
              "arc type values");

static_assert(ORV_CLIP_INTERSECT == int(ClipOperation::Intersect) && ORV_CLIP_DIFFERENCE == int(ClipOperation::Difference),
              "clip operation values");

inline orv_color ToC(const Color& color) { return orv_color{color.R, color.G, color.B, color.A}; }

inline orv_matrix3 ToC(const Matrix3& matrix) {
    orv_matrix3 result;
    for (int i = 0; i < 9; ++i)
        result.M[i] = matrix.M[i];
    return result;
}

inline Matrix3 FromC(const orv_matrix3& matrix) {
    Matrix3 result;
    for (int i = 0; i < 9; ++i)
        result.M[i] = matrix.M[i];
    return result;
}

}  // namespace Vudadive2R
}  // namespace ORV

#endif
