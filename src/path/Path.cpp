#include "vudadive2r/Path.hpp"

#include <cmath>
#include <cstddef>
#include <limits>

#include "pipeline/PathStorage.hpp"
#include "vudadive2r/Exceptions.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

constexpr unsigned kLastCommandCode = 24;

// Floats consumed by each command code, in code order.
constexpr unsigned char kFloatsPerCommand[kLastCommandCode + 1] = {
    0, 2, 2, 2, 2, 1, 1, 1, 1,  // Close .. VLineToRel
    4, 4, 6, 6,                 // QuadTo, QuadToRel, CubicTo, CubicToRel
    2, 2, 4, 4,                 // SQuadTo, SQuadToRel, SCubicTo, SCubicToRel
    5, 5, 5, 5, 5, 5, 5, 5,     // the eight arcs
};

// Decodes commands into the storage. `available` bounds the floats that may
// be read (the vector form knows it; the pointer form trusts its caller).
// Returns the number of floats consumed. Commands decoded before a failure
// stay appended.
size_t Decode(PathStorage& path, size_t count, const unsigned char* commands, const float* data, size_t available,
              float scale, float offset) {
    size_t position = 0;
    for (size_t index = 0; index < count; ++index) {
        const unsigned code = commands[index];
        if (code > kLastCommandCode)
            throw NotSupportedException();
        const size_t needed = kFloatsPerCommand[code];
        if (needed > available - position)
            throw ArgumentOutOfRangeException();
        if (needed && !data)
            throw ArgumentNullException();
        double v[6];
        for (size_t k = 0; k < needed; ++k)
            v[k] = double(std::fmaf(scale, data[position + k], offset));
        position += needed;

        switch (static_cast<PathCommands>(code)) {
        case PathCommands::Close: path.close_polygon(); break;
        case PathCommands::MoveTo: path.move_to(v[0], v[1]); break;
        case PathCommands::MoveToRel: path.move_rel(v[0], v[1]); break;
        case PathCommands::LineTo: path.line_to(v[0], v[1]); break;
        case PathCommands::LineToRel: path.line_rel(v[0], v[1]); break;
        case PathCommands::HLineTo: path.hline_to(v[0]); break;
        case PathCommands::HLineToRel: path.hline_rel(v[0]); break;
        case PathCommands::VLineTo: path.vline_to(v[0]); break;
        case PathCommands::VLineToRel: path.vline_rel(v[0]); break;
        case PathCommands::QuadTo: path.curve3(v[0], v[1], v[2], v[3]); break;
        case PathCommands::QuadToRel: path.curve3_rel(v[0], v[1], v[2], v[3]); break;
        case PathCommands::CubicTo: path.curve4(v[0], v[1], v[2], v[3], v[4], v[5]); break;
        case PathCommands::CubicToRel: path.curve4_rel(v[0], v[1], v[2], v[3], v[4], v[5]); break;
        case PathCommands::SQuadTo: path.curve3(v[0], v[1]); break;
        case PathCommands::SQuadToRel: path.curve3_rel(v[0], v[1]); break;
        case PathCommands::SCubicTo: path.curve4(v[0], v[1], v[2], v[3]); break;
        case PathCommands::SCubicToRel: path.curve4_rel(v[0], v[1], v[2], v[3]); break;
        // Arguments: rx, ry, angle, large arc, sweep, end point.
        case PathCommands::SCcwArcTo: path.arc_to(v[0], v[1], v[2], false, true, v[3], v[4]); break;
        case PathCommands::SCcwArcToRel: path.arc_rel(v[0], v[1], v[2], false, true, v[3], v[4]); break;
        case PathCommands::SCwArcTo: path.arc_to(v[0], v[1], v[2], false, false, v[3], v[4]); break;
        case PathCommands::SCwArcToRel: path.arc_rel(v[0], v[1], v[2], false, false, v[3], v[4]); break;
        case PathCommands::LCcwArcTo: path.arc_to(v[0], v[1], v[2], true, true, v[3], v[4]); break;
        case PathCommands::LCcwArcToRel: path.arc_rel(v[0], v[1], v[2], true, true, v[3], v[4]); break;
        case PathCommands::LCwArcTo: path.arc_to(v[0], v[1], v[2], true, false, v[3], v[4]); break;
        case PathCommands::LCwArcToRel: path.arc_rel(v[0], v[1], v[2], true, false, v[3], v[4]); break;
        }
    }
    return position;
}

}  // namespace

Path::Path(const std::shared_ptr<Context2D>& context)
    : context(context), storage(nullptr), coordinateScale(1.0f), coordinateOffset(0.0f) {
    if (!context)
        throw ArgumentNullException();
    storage = new PathStorage();
}

Path::~Path() { delete storage; }

void Path::AppendData(int count, const unsigned char* commands, const float* data) {
    if (!commands)
        throw ArgumentNullException();
    if (count < 0)
        throw ArgumentOutOfRangeException();
    Decode(*storage, size_t(count), commands, data, std::numeric_limits<size_t>::max(), coordinateScale,
           coordinateOffset);
}

// An empty stream appends nothing, whether or not the vector ever held
// storage. The float vector's size is known here, so a stream that needs
// more floats than it holds stops with ArgumentOutOfRangeException at the
// first command that would read past the end, instead of reading beyond it.
void Path::AppendData(const std::vector<PathCommands>& commands, const std::vector<float>& data) {
    if (commands.empty())
        return;
    Decode(*storage, commands.size(), reinterpret_cast<const unsigned char*>(commands.data()), data.data(),
           data.size(), coordinateScale, coordinateOffset);
}

void Path::Append(PathBuilder* builder) {
    if (!builder)
        throw ArgumentNullException();
    AppendData(builder->commands, builder->data);
}

void Path::Clear() { storage->remove_all(); }

}  // namespace Vudadive2R
}  // namespace ORV
