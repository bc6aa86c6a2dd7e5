#include <cmath>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

#include "vudadive2r/Exceptions.hpp"
#include "vudadive2r/Path.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

constexpr double kPi = 3.141592653589793;

// An arc is recorded as segments of at most half a turn. Past this many the
// stream only grows without drawing anything new, and once the angle is so
// large that adding half a turn no longer changes its float value the
// stepping would never end; such arcs are refused before recording.
constexpr int kMaxArcSegments = 65536;

// Appends whole commands to a builder's two sequences. Unless Commit is
// called, the destructor takes everything appended through it back out, so
// a failed allocation never leaves a command without its floats, nor half a
// shape.
class Recording {
public:
    Recording(std::vector<PathCommands>& commands, std::vector<float>& data)
        : commands(commands), data(data), commandCount(commands.size()), floatCount(data.size()) {}

    ~Recording() {
        if (!committed) {
            commands.erase(commands.begin() + std::ptrdiff_t(commandCount), commands.end());
            data.erase(data.begin() + std::ptrdiff_t(floatCount), data.end());
        }
    }

    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;

    void Add(PathCommands command, std::initializer_list<float> values) {
        commands.push_back(command);
        data.insert(data.end(), values);
    }

    void Commit() { committed = true; }

private:
    std::vector<PathCommands>& commands;
    std::vector<float>& data;
    std::size_t commandCount;
    std::size_t floatCount;
    bool committed = false;
};

void Record(std::vector<PathCommands>& commands, std::vector<float>& data, PathCommands command,
            std::initializer_list<float> values) {
    Recording recording(commands, data);
    recording.Add(command, values);
    recording.Commit();
}

// Written so that NaN sizes are refused as well.
void RequirePositiveSize(float width, float height) {
    if (!(width > 0.0f) || !(height > 0.0f))
        throw ArgumentOutOfRangeException();
}

// Half a turn is the double pi added to the float angle, the sum rounded back
// to float; stepping by a float pi would place some segment ends differently.
float StepAngle(float angle, double step) { return static_cast<float>(static_cast<double>(angle) + step); }

bool BeforeEnd(float angle, float end, double step) { return step > 0.0 ? end > angle : end < angle; }

// Number of intermediate half-turn points between the start and the end, or
// -1 when the arc would need more than kMaxArcSegments segments.
int IntermediateArcPoints(float start, float end, double step) {
    int count = 0;
    for (float angle = StepAngle(start, step); BeforeEnd(angle, end, step); angle = StepAngle(angle, step)) {
        if (++count >= kMaxArcSegments)
            return -1;
    }
    return count;
}

struct Point {
    float x;
    float y;
};

// The point at `angle` on the ellipse. Each coordinate is the float product
// of the radius and the float cosine or sine, then the float sum with the
// centre: two roundings. This is a plain multiply-add; where the library
// means a fused one it calls fmaf.
Point PointOnEllipse(float x, float y, float rx, float ry, float angle) {
    const float cosine = std::cos(angle);
    const float sine = std::sin(angle);
    const float dx = rx * cosine;
    const float dy = ry * sine;
    return Point{x + dx, y + dy};
}

}  // namespace

PathBuilder::PathBuilder() {}
PathBuilder::~PathBuilder() {}

void PathBuilder::Close() { Record(commands, data, PathCommands::Close, {}); }
void PathBuilder::MoveTo(float x, float y) { Record(commands, data, PathCommands::MoveTo, {x, y}); }
void PathBuilder::MoveToRel(float dx, float dy) { Record(commands, data, PathCommands::MoveToRel, {dx, dy}); }
void PathBuilder::LineTo(float x, float y) { Record(commands, data, PathCommands::LineTo, {x, y}); }
void PathBuilder::LineToRel(float dx, float dy) { Record(commands, data, PathCommands::LineToRel, {dx, dy}); }
void PathBuilder::HLineTo(float x) { Record(commands, data, PathCommands::HLineTo, {x}); }
void PathBuilder::HLineToRel(float dx) { Record(commands, data, PathCommands::HLineToRel, {dx}); }
void PathBuilder::VLineTo(float y) { Record(commands, data, PathCommands::VLineTo, {y}); }
void PathBuilder::VLineToRel(float dy) { Record(commands, data, PathCommands::VLineToRel, {dy}); }

void PathBuilder::QuadTo(float cx, float cy, float x, float y) {
    Record(commands, data, PathCommands::QuadTo, {cx, cy, x, y});
}

void PathBuilder::QuadToRel(float dcx, float dcy, float dx, float dy) {
    Record(commands, data, PathCommands::QuadToRel, {dcx, dcy, dx, dy});
}

void PathBuilder::CubicTo(float c1x, float c1y, float c2x, float c2y, float x, float y) {
    Record(commands, data, PathCommands::CubicTo, {c1x, c1y, c2x, c2y, x, y});
}

void PathBuilder::CubicToRel(float dc1x, float dc1y, float dc2x, float dc2y, float dx, float dy) {
    Record(commands, data, PathCommands::CubicToRel, {dc1x, dc1y, dc2x, dc2y, dx, dy});
}

void PathBuilder::SQuadTo(float x, float y) { Record(commands, data, PathCommands::SQuadTo, {x, y}); }
void PathBuilder::SQuadToRel(float dx, float dy) { Record(commands, data, PathCommands::SQuadToRel, {dx, dy}); }

void PathBuilder::SCubicTo(float c2x, float c2y, float x, float y) {
    Record(commands, data, PathCommands::SCubicTo, {c2x, c2y, x, y});
}

void PathBuilder::SCubicToRel(float dc2x, float dc2y, float dx, float dy) {
    Record(commands, data, PathCommands::SCubicToRel, {dc2x, dc2y, dx, dy});
}

void PathBuilder::SCcwArcTo(float rx, float ry, float angle, float x, float y) {
    Record(commands, data, PathCommands::SCcwArcTo, {rx, ry, angle, x, y});
}

void PathBuilder::SCcwArcToRel(float rx, float ry, float angle, float dx, float dy) {
    Record(commands, data, PathCommands::SCcwArcToRel, {rx, ry, angle, dx, dy});
}

void PathBuilder::SCwArcTo(float rx, float ry, float angle, float x, float y) {
    Record(commands, data, PathCommands::SCwArcTo, {rx, ry, angle, x, y});
}

void PathBuilder::SCwArcToRel(float rx, float ry, float angle, float dx, float dy) {
    Record(commands, data, PathCommands::SCwArcToRel, {rx, ry, angle, dx, dy});
}

void PathBuilder::LCcwArcTo(float rx, float ry, float angle, float x, float y) {
    Record(commands, data, PathCommands::LCcwArcTo, {rx, ry, angle, x, y});
}

void PathBuilder::LCcwArcToRel(float rx, float ry, float angle, float dx, float dy) {
    Record(commands, data, PathCommands::LCcwArcToRel, {rx, ry, angle, dx, dy});
}

void PathBuilder::LCwArcTo(float rx, float ry, float angle, float x, float y) {
    Record(commands, data, PathCommands::LCwArcTo, {rx, ry, angle, x, y});
}

void PathBuilder::LCwArcToRel(float rx, float ry, float angle, float dx, float dy) {
    Record(commands, data, PathCommands::LCwArcToRel, {rx, ry, angle, dx, dy});
}

void PathBuilder::Line(float x1, float y1, float x2, float y2) {
    Recording recording(commands, data);
    recording.Add(PathCommands::MoveTo, {x1, y1});
    recording.Add(PathCommands::LineTo, {x2, y2});
    recording.Commit();
}

// The fourth side is drawn by the close.
void PathBuilder::Rectangle(float x, float y, float width, float height) {
    Recording recording(commands, data);
    recording.Add(PathCommands::MoveTo, {x, y});
    recording.Add(PathCommands::HLineToRel, {width});
    recording.Add(PathCommands::VLineToRel, {height});
    recording.Add(PathCommands::HLineToRel, {-width});
    recording.Add(PathCommands::Close, {});
    recording.Commit();
}

void PathBuilder::Rectangle(const FloatRectangle& rectangle) {
    Rectangle(rectangle.X, rectangle.Y, rectangle.Width, rectangle.Height);
}

// (x, y) is a corner; arcWidth and arcHeight are the full extents of a corner
// arc, clamped to the rectangle. The outline starts along the edge at y in
// the +x direction and turns every corner with a small arc, sweep flag set.
void PathBuilder::RoundRectangle(float x, float y, float width, float height, float arcWidth, float arcHeight) {
    RequirePositiveSize(width, height);
    float aw = arcWidth;
    if (aw < 0.0f)
        aw = 0.0f;
    else if (aw > width)
        aw = width;
    float ah = arcHeight;
    if (ah < 0.0f)
        ah = 0.0f;
    else if (ah > height)
        ah = height;
    const float rx = aw * 0.5f;
    const float ry = ah * 0.5f;
    const float straightWidth = width - aw;
    const float straightHeight = height - ah;

    Recording recording(commands, data);
    recording.Add(PathCommands::MoveTo, {x + rx, y});
    recording.Add(PathCommands::HLineToRel, {straightWidth});
    recording.Add(PathCommands::SCcwArcToRel, {rx, ry, 0.0f, rx, ry});
    recording.Add(PathCommands::VLineToRel, {straightHeight});
    recording.Add(PathCommands::SCcwArcToRel, {rx, ry, 0.0f, -rx, ry});
    recording.Add(PathCommands::HLineToRel, {-straightWidth});
    recording.Add(PathCommands::SCcwArcToRel, {rx, ry, 0.0f, -rx, -ry});
    recording.Add(PathCommands::VLineToRel, {-straightHeight});
    recording.Add(PathCommands::SCcwArcToRel, {rx, ry, 0.0f, rx, -ry});
    recording.Add(PathCommands::Close, {});
    recording.Commit();
}

// (x, y) is the centre; two half-ellipse arcs from angle 0 through pi/2 to pi
// and back through 3pi/2.
void PathBuilder::Ellipse(float x, float y, float width, float height) {
    RequirePositiveSize(width, height);
    const float rx = width * 0.5f;
    const float ry = height * 0.5f;

    Recording recording(commands, data);
    recording.Add(PathCommands::MoveTo, {x + rx, y});
    recording.Add(PathCommands::SCcwArcToRel, {rx, ry, 0.0f, -width, 0.0f});
    recording.Add(PathCommands::SCcwArcToRel, {rx, ry, 0.0f, width, 0.0f});
    recording.Add(PathCommands::Close, {});
    recording.Commit();
}

// Segments span at most half a turn, so the small arc with the matching sweep
// flag always follows the ellipse between their end points.
void PathBuilder::Arc(float x, float y, float width, float height, float start, float extent, ArcType type) {
    RequirePositiveSize(width, height);
    const float rx = width * 0.5f;
    const float ry = height * 0.5f;
    const float end = start + extent;
    const bool forward = extent >= 0.0f;  // NaN goes backward, like any negative extent
    const double step = forward ? kPi : -kPi;
    const PathCommands segment = forward ? PathCommands::SCcwArcTo : PathCommands::SCwArcTo;
    const int intermediatePoints = IntermediateArcPoints(start, end, step);
    if (intermediatePoints < 0)
        throw ArgumentOutOfRangeException();

    Recording recording(commands, data);
    const Point first = PointOnEllipse(x, y, rx, ry, start);
    recording.Add(PathCommands::MoveTo, {first.x, first.y});
    float angle = StepAngle(start, step);
    for (int i = 0; i < intermediatePoints; ++i) {
        const Point point = PointOnEllipse(x, y, rx, ry, angle);
        recording.Add(segment, {rx, ry, 0.0f, point.x, point.y});
        angle = StepAngle(angle, step);
    }
    const Point last = PointOnEllipse(x, y, rx, ry, end);
    recording.Add(segment, {rx, ry, 0.0f, last.x, last.y});

    switch (static_cast<int32_t>(type)) {
    case static_cast<int32_t>(ArcType::Chord):
        recording.Add(PathCommands::Close, {});
        break;
    case static_cast<int32_t>(ArcType::Pie):
        recording.Add(PathCommands::LineTo, {x, y});
        recording.Add(PathCommands::Close, {});
        break;
    default:  // Open, and any value outside the enumeration
        break;
    }
    recording.Commit();
}

// Keeps the capacity, so that a reused builder stops allocating.
void PathBuilder::Clear() {
    commands.clear();
    data.clear();
}

void PathBuilder::AppendTo(Path* path) {
    if (path == nullptr)
        throw ArgumentNullException();
    // An empty builder appends nothing, whether it was cleared or never
    // recorded (its command vector then has no storage to hand on).
    if (commands.empty())
        return;
    path->AppendData(commands, data);
}

std::unique_ptr<Path> PathBuilder::ToPath(const std::shared_ptr<Context2D>& context) {
    std::unique_ptr<Path> path(new Path(context));
    AppendTo(path.get());
    return path;
}

}  // namespace Vudadive2R
}  // namespace ORV
