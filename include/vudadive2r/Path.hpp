// Paths: vertex storage filled from a command stream, the path builder, and
// drawing.
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

class ORV_API Path {
public:
    explicit Path(const std::shared_ptr<Context2D>& context);
    virtual ~Path();
    Path(const Path&) = delete;
    Path& operator=(const Path&) = delete;

    // Decodes `count` one-byte command codes, consuming their floats from
    // `data`, which must hold as many floats as the commands read.
    void AppendData(int count, const unsigned char* commands, const float* data);
    void AppendData(const std::vector<PathCommands>& commands, const std::vector<float>& data);
    void Append(PathBuilder* builder);
    // Empties the path.
    void Clear();
    // Fills and then strokes the path into the context's surface; either
    // state may be empty.
    void Draw(const std::shared_ptr<FillState>& fill, const std::shared_ptr<StrokeState>& stroke);

private:
    friend struct Internals;
    std::shared_ptr<Context2D> context;
    PathStorage* storage;
    float coordinateScale;
    float coordinateOffset;
};

class ORV_API PathBuilder {
public:
    PathBuilder();
    virtual ~PathBuilder();

    void Close();
    void MoveTo(float x, float y);
    void MoveToRel(float dx, float dy);
    void LineTo(float x, float y);
    void LineToRel(float dx, float dy);
    void HLineTo(float x);
    void HLineToRel(float dx);
    void VLineTo(float y);
    void VLineToRel(float dy);
    void QuadTo(float cx, float cy, float x, float y);
    void QuadToRel(float dcx, float dcy, float dx, float dy);
    void CubicTo(float c1x, float c1y, float c2x, float c2y, float x, float y);
    void CubicToRel(float dc1x, float dc1y, float dc2x, float dc2y, float dx, float dy);
    void SQuadTo(float x, float y);
    void SQuadToRel(float dx, float dy);
    void SCubicTo(float c2x, float c2y, float x, float y);
    void SCubicToRel(float dc2x, float dc2y, float dx, float dy);
    void SCcwArcTo(float rx, float ry, float angle, float x, float y);
    void SCcwArcToRel(float rx, float ry, float angle, float dx, float dy);
    void SCwArcTo(float rx, float ry, float angle, float x, float y);
    void SCwArcToRel(float rx, float ry, float angle, float dx, float dy);
    void LCcwArcTo(float rx, float ry, float angle, float x, float y);
    void LCcwArcToRel(float rx, float ry, float angle, float dx, float dy);
    void LCwArcTo(float rx, float ry, float angle, float x, float y);
    void LCwArcToRel(float rx, float ry, float angle, float dx, float dy);

    void Line(float x1, float y1, float x2, float y2);
    void Rectangle(float x, float y, float width, float height);
    void Rectangle(const FloatRectangle& rectangle);
    void RoundRectangle(float x, float y, float width, float height, float arcWidth, float arcHeight);
    void Ellipse(float x, float y, float width, float height);
    void Arc(float x, float y, float width, float height, float start, float extent, ArcType type);

    void Clear();
    void AppendTo(Path* path);
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
