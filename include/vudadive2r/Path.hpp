/// @file
/// Paths: vertex storage filled from a command stream, the path builder, and
/// drawing.
#ifndef VUDADIVE2R_PATH_HPP
#define VUDADIVE2R_PATH_HPP

#include <memory>
#include <vector>

#include "Context2D.hpp"
#include "DrawingState.hpp"
#include "Types.hpp"

namespace ORV {
namespace Vudadive2R {

struct Internals;
class PathBuilder;
class PathStorage;  // the vertex storage; private to the library

/// Vertex storage for one context, drawn with a fill and a stroke state.
class ORV_API Path {
public:
    /// An empty path that keeps `context` alive. Throws ArgumentNullException for an empty context.
    explicit Path(const std::shared_ptr<Context2D>& context);
    /// Releases the storage and the path's share of its context.
    virtual ~Path();
    Path(const Path&) = delete;
    Path& operator=(const Path&) = delete;

    /// Decodes `count` one-byte command codes, consuming their floats from
    /// `data`, which must hold as many floats as the commands read. Throws
    /// ArgumentNullException for null commands (or null data that a command
    /// needs), ArgumentOutOfRangeException for a negative count,
    /// NotSupportedException for a code above 24; earlier commands stay.
    void AppendData(int count, const unsigned char* commands, const float* data);
    /// As the pointer form, but a stream that needs more floats than `data` holds stops with
    /// ArgumentOutOfRangeException.
    void AppendData(const std::vector<PathCommands>& commands, const std::vector<float>& data);
    /// Appends what the builder recorded. Throws ArgumentNullException for a null builder.
    void Append(PathBuilder* builder);
    /// Appends SVG path data (the `d` attribute of an SVG `path`) as SVG draws it: every command
    /// letter of SVG 1.1 and 2 in both cases, implicit repetition, numbers with signs, exponents and
    /// no leading digit, any separators or none. Unlike AppendData, relative and drawing commands
    /// after `z` start from the closed sub-path's start, smooth curves reflect only after a curve of
    /// their kind, and arcs whose radii are too small are scaled up to reach their end point. The
    /// data is read on its own: its first move is absolute whatever the path holds. Arcs are stored
    /// as cubic Beziers; the arc rotation is in degrees, as in SVG.
    ///
    /// An error keeps every command before it, then throws ArgumentException with a message giving
    /// the byte offset and what was expected there; null data throws ArgumentNullException.
    void AppendSvgPathData(const char* data);
    /// As AppendSvgPathData(data), every point mapped by `transform` as it is appended (arcs are
    /// converted first, in the data's own coordinates). This is the way to draw an icon at a size:
    /// curves are flattened in path units, so an icon drawn 16 units wide and scaled up by the path
    /// transform shows straight segments, while one scaled here stays smooth at any size. For a
    /// `viewBox` of (x, y, w, h) drawn into a square of `size` pixels, pass a translation by
    /// (-x, -y) followed by a scale of size / w.
    void AppendSvgPathData(const char* data, const Matrix3& transform);
    /// Empties the path.
    void Clear();
    /// Fills and then strokes the path into the context's surface; either
    /// state may be empty. Throws InvalidOperationException unless the surface
    /// is AB24, NotSupportedException for a fill rule, cap, join or blend mode
    /// outside its enumeration.
    void Draw(const std::shared_ptr<FillState>& fill, const std::shared_ptr<StrokeState>& stroke);
    /// Clips the context's drawing by the path's fill coverage c under the current path transform and
    /// `rule`, as a fill computes it: each clip byte m of the surface becomes (255 + m c) >> 8 with
    /// ClipOperation::Intersect, (255 + m (255 - c)) >> 8 with Difference. Throws NotSupportedException for
    /// a rule or operation outside its list.
    void Clip(FillRule rule, ClipOperation operation);

private:
    friend struct Internals;
    std::shared_ptr<Context2D> context;
    PathStorage* storage;
    float coordinateScale;
    float coordinateOffset;
};

/// Records path geometry as a command stream, in path coordinates, to be turned into paths.
class ORV_API PathBuilder {
public:
    /// An empty builder, holding no memory.
    PathBuilder();
    /// Frees the recorded stream.
    virtual ~PathBuilder();

    /// Closes the current sub-path with a straight line to its start.
    void Close();
    /// Starts a sub-path at (x, y).
    void MoveTo(float x, float y);
    /// Starts a sub-path at the current point plus (dx, dy).
    void MoveToRel(float dx, float dy);
    /// A straight line to (x, y).
    void LineTo(float x, float y);
    /// A straight line by (dx, dy).
    void LineToRel(float dx, float dy);
    /// A horizontal line to x.
    void HLineTo(float x);
    /// A horizontal line by dx.
    void HLineToRel(float dx);
    /// A vertical line to y.
    void VLineTo(float y);
    /// A vertical line by dy.
    void VLineToRel(float dy);
    /// A quadratic Bezier curve with control point (cx, cy) to (x, y).
    void QuadTo(float cx, float cy, float x, float y);
    /// A quadratic Bezier curve, points relative to the current point.
    void QuadToRel(float dcx, float dcy, float dx, float dy);
    /// A cubic Bezier curve with control points c1, c2 to (x, y).
    void CubicTo(float c1x, float c1y, float c2x, float c2y, float x, float y);
    /// A cubic Bezier curve, points relative to the current point.
    void CubicToRel(float dc1x, float dc1y, float dc2x, float dc2y, float dx, float dy);
    /// A smooth quadratic curve to (x, y), its control point mirroring the previous one.
    void SQuadTo(float x, float y);
    /// A smooth quadratic curve by (dx, dy).
    void SQuadToRel(float dx, float dy);
    /// A smooth cubic curve to (x, y): first control point mirrored, second (c2x, c2y).
    void SCubicTo(float c2x, float c2y, float x, float y);
    /// A smooth cubic curve, points relative to the current point.
    void SCubicToRel(float dc2x, float dc2y, float dx, float dy);
    /// The small counter-clockwise arc of the ellipse with radii rx, ry rotated by `angle` radians, to (x,
    /// y).
    void SCcwArcTo(float rx, float ry, float angle, float x, float y);
    /// As SCcwArcTo, the end relative to the current point.
    void SCcwArcToRel(float rx, float ry, float angle, float dx, float dy);
    /// The small clockwise arc, to (x, y).
    void SCwArcTo(float rx, float ry, float angle, float x, float y);
    /// As SCwArcTo, the end relative to the current point.
    void SCwArcToRel(float rx, float ry, float angle, float dx, float dy);
    /// The large counter-clockwise arc, to (x, y).
    void LCcwArcTo(float rx, float ry, float angle, float x, float y);
    /// As LCcwArcTo, the end relative to the current point.
    void LCcwArcToRel(float rx, float ry, float angle, float dx, float dy);
    /// The large clockwise arc, to (x, y).
    void LCwArcTo(float rx, float ry, float angle, float x, float y);
    /// As LCwArcTo, the end relative to the current point.
    void LCwArcToRel(float rx, float ry, float angle, float dx, float dy);

    /// A separate line from (x1, y1) to (x2, y2).
    void Line(float x1, float y1, float x2, float y2);
    /// A closed rectangle with corner (x, y) and full width and height.
    void Rectangle(float x, float y, float width, float height);
    /// As Rectangle(x, y, width, height).
    void Rectangle(const FloatRectangle& rectangle);
    /// A closed rectangle with corner (x, y) whose corners are quarter ellipses of full size arcWidth x
    /// arcHeight (clamped to 0 and the size). Throws ArgumentOutOfRangeException unless width and height are
    /// positive.
    void RoundRectangle(float x, float y, float width, float height, float arcWidth, float arcHeight);
    /// A closed ellipse centred on (x, y) with full width and height. Throws ArgumentOutOfRangeException
    /// unless both are positive.
    void Ellipse(float x, float y, float width, float height);
    /// An elliptical arc centred on (x, y), full width and height, from `start` through `extent` radians
    /// (from +x towards +y), ended as `type` says. Throws ArgumentOutOfRangeException for a non-positive size
    /// or an extent too large to record.
    void Arc(float x, float y, float width, float height, float start, float extent, ArcType type);
    /// Records SVG path data as SVG draws it (see Path::AppendSvgPathData), resolved into absolute
    /// MoveTo, LineTo, QuadTo, CubicTo and Close commands. An error keeps the commands recorded
    /// before it and throws ArgumentException; null data throws ArgumentNullException.
    void SvgPathData(const char* data);
    /// As SvgPathData(data), every point mapped by `transform` as it is recorded, so that an icon
    /// keeps smooth curves at the size it is drawn (see Path::AppendSvgPathData). Points beyond the
    /// float range are recorded at its edge.
    void SvgPathData(const char* data, const Matrix3& transform);

    void Clear();
    /// Appends the recording to `path`; the builder is unchanged. Throws ArgumentNullException for a null
    /// path.
    void AppendTo(Path* path);
    /// A new path for `context` holding the recording. Throws ArgumentNullException for an empty context.
    std::unique_ptr<Path> ToPath(const std::shared_ptr<Context2D>& context);

private:
    friend class Path;
    friend struct Internals;
    std::vector<PathCommands> commands;
    std::vector<float> data;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
