/// @file
/// Value types and enumerations shared by every part of the library.
#ifndef VUDADIVE2R_TYPES_HPP
#define VUDADIVE2R_TYPES_HPP

#include <cstdint>

#include "Export.hpp"

namespace ORV {
namespace Vudadive2R {

/// Straight-alpha colour, components nominally 0 to 1.
struct Color {
    float R;
    float G;
    float B;
    float A;
};

/// A point or vector of two floats.
struct ORV_API Float32x2 {
    float X;
    float Y;

    /// The Euclidean length.
    float Length();
    /// Scales to length 1.
    void Normalize();

    static const Float32x2 Zero;  ///< (0, 0)
    static const Float32x2 One;   ///< (1, 1)
};

/// Row-major 3x3 matrix, row-vector convention: (x, y, 1) x M.
struct ORV_API Matrix3 {
    float M[9];

    /// Element `index`, 0 to 8, in row-major order.
    float& operator[](int index) { return M[index]; }
    const float& operator[](int index) const { return M[index]; }

    /// A rotation by `angle` radians from +x towards +y.
    static Matrix3 CreateRotation(float angle);
    /// A scaling by (sx, sy).
    static Matrix3 CreateScale(float sx, float sy);
    /// A scaling by (scale.X, scale.Y).
    static Matrix3 CreateScale(const Float32x2& scale);
    /// A translation by (tx, ty).
    static Matrix3 CreateTranslation(float tx, float ty);
    /// A translation by offset.
    static Matrix3 CreateTranslation(const Float32x2& offset);
    /// result = a x b; result may alias a or b.
    static void Multiply(const Matrix3& a, const Matrix3& b, Matrix3& result);
    /// The point mapped as (x, y, 1) x m.
    static Float32x2 Transform(const Float32x2& point, const Matrix3& m);

    static const Matrix3 Identity;  ///< the identity matrix
};

/// A rectangle of pixels: corner and size.
struct IntRectangle {
    int32_t X;
    int32_t Y;
    int32_t Width;
    int32_t Height;
};

/// A rectangle: corner and full width and height.
struct FloatRectangle {
    float X;
    float Y;
    float Width;
    float Height;
};

/// The five transforms of a context.
enum class TransformName : int32_t { Path = 0, Image = 1, FillPaint = 2, StrokePaint = 3, Glyph = 4 };

/// Where y = 0 lies: the bottom row (the default) or the top row.
enum class Origin : int32_t { BottomLeft = 0, TopLeft = 1 };

/// How Path::Clip combines the path with the clip.
enum class ClipOperation : int32_t {
    Intersect = 0,  ///< drawable where the clip and the path both were
    Difference = 1  ///< drawable where the clip was and the path is not
};

/// How a paint is composited over the surface (Porter-Duff operators and separable blends).
enum class BlendMode : int32_t {
    Source = 0,
    SourceOver = 1,
    DestinationOver = 2,
    SourceIn = 3,
    DestinationIn = 4,
    Multiply = 5,
    Screen = 6,
    Darken = 7,
    Lighten = 8,
    Plus = 9,
};

/// Read by the image paint: ImageQualityHigh resamples images it shrinks;
/// every other value (1 by default) samples bilinearly.
typedef int32_t ImageQuality;
/// Averages the pixels each surface pixel covers when an image is shrunk.
constexpr ImageQuality ImageQualityHigh = 2;
/// Stored and returned only; no named values.
typedef int32_t RenderingQuality;
typedef int32_t ImageMode;

/// Which points a fill covers.
enum class FillRule : int32_t { EvenOdd = 0, NonZero = 1 };

/// How open ends of a stroke look.
enum class CapStyle : int32_t { Butt = 0, Round = 1, Square = 2 };

/// How a stroke turns a corner.
enum class JoinStyle : int32_t { Miter = 0, Round = 1, Bevel = 2 };

/// One dash and the gap after it, in surface pixels.
struct Dash {
    float Length;
    float Gap;
};

/// One-byte codes of the path command stream.
enum class PathCommands : uint8_t {
    Close = 0,
    MoveTo = 1,
    MoveToRel = 2,
    LineTo = 3,
    LineToRel = 4,
    HLineTo = 5,
    HLineToRel = 6,
    VLineTo = 7,
    VLineToRel = 8,
    QuadTo = 9,
    QuadToRel = 10,
    CubicTo = 11,
    CubicToRel = 12,
    SQuadTo = 13,
    SQuadToRel = 14,
    SCubicTo = 15,
    SCubicToRel = 16,
    SCcwArcTo = 17,
    SCcwArcToRel = 18,
    SCwArcTo = 19,
    SCwArcToRel = 20,
    LCcwArcTo = 21,
    LCcwArcToRel = 22,
    LCwArcTo = 23,
    LCwArcToRel = 24,
};

/// How PathBuilder::Arc ends: open, closed by a chord, or closed through the centre.
enum class ArcType : int32_t { Open = 0, Chord = 1, Pie = 2 };

}  // namespace Vudadive2R
}  // namespace ORV

#endif
