// SVG path data read into paths and builders. The reader walks the text once,
// never past its terminating zero: every step either consumes a byte or
// stops with an error, and each command hands on a bounded number of
// segments, so work and storage grow only with the length of the text.
#include "path/SvgPathData.hpp"

#include <agg_bezier_arc.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "pipeline/PathStorage.hpp"
#include "vudadive2r/Exceptions.hpp"
#include "vudadive2r/Path.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

constexpr double kPi = 3.141592653589793;
// The least double that rounds to an infinite float; anything below it is a
// coordinate the library can hold.
constexpr double kFloatLimit = 3.4028235677973366e38;

// ---------------------------------------------------------------------------
// Grammar

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool StartsNumber(char c) { return IsDigit(c) || c == '+' || c == '-' || c == '.'; }

class Scanner {
public:
    explicit Scanner(const char* text) : text(text) {}

    char Peek() const { return text[position]; }
    void Advance() { ++position; }
    void SkipSpace() {
        while (IsSpace(text[position]))
            ++position;
    }
    void SkipCommaSpace() {
        SkipSpace();
        if (text[position] == ',') {
            ++position;
            SkipSpace();
        }
    }

    [[noreturn]] void Fail(const char* expected) const {
        char message[96];
        std::snprintf(message, sizeof message, "Invalid path data at byte %zu: expected %s.", position, expected);
        throw ArgumentException(message);
    }

    // A number of the grammar: sign, digits with an optional decimal point
    // (one side may be empty), optional exponent. The value must lie within
    // the float range the library's coordinates have; values too small for a
    // double read as zero.
    double Number() {
        const size_t start = position;
        size_t cursor = start;
        const bool negative = text[cursor] == '-';
        if (text[cursor] == '+' || text[cursor] == '-')
            ++cursor;
        const size_t digitsStart = cursor;
        // The power of ten of the first significant digit, to tell an
        // overflow from an underflow without trusting the conversion.
        long magnitude = 0;
        bool significant = false;
        size_t integerDigits = 0;
        while (IsDigit(text[cursor])) {
            if (significant)
                ++magnitude;
            else if (text[cursor] != '0')
                significant = true;
            ++integerDigits;
            ++cursor;
        }
        size_t fractionDigits = 0;
        if (text[cursor] == '.') {
            ++cursor;
            while (IsDigit(text[cursor])) {
                if (!significant) {
                    --magnitude;
                    significant = text[cursor] != '0';
                }
                ++fractionDigits;
                ++cursor;
            }
        }
        if (integerDigits + fractionDigits == 0)
            Fail("a number");
        if (text[cursor] == 'e' || text[cursor] == 'E') {
            ++cursor;
            const bool negativeExponent = text[cursor] == '-';
            if (text[cursor] == '+' || text[cursor] == '-')
                ++cursor;
            if (!IsDigit(text[cursor])) {
                position = cursor;
                Fail("a digit of the exponent");
            }
            long exponent = 0;
            for (; IsDigit(text[cursor]); ++cursor)
                if (exponent < 100000)
                    exponent = exponent * 10 + (text[cursor] - '0');
            magnitude += negativeExponent ? -exponent : exponent;
        }
        double value = 0.0;
        if (significant) {
            if (magnitude > 38)
                Fail("a number within the float range");
            if (magnitude >= -330) {
                const auto result = std::from_chars(text + digitsStart, text + cursor, value);
                if (result.ec != std::errc() && result.ec != std::errc::result_out_of_range)
                    Fail("a number");
                if (result.ec == std::errc::result_out_of_range)
                    value = 0.0;  // underflow: overflow was refused above
                if (value >= kFloatLimit)
                    Fail("a number within the float range");
            }
        }
        position = cursor;
        return negative ? -value : value;
    }

    bool Flag() {
        const char c = text[position];
        if (c != '0' && c != '1')
            Fail("a flag (0 or 1)");
        ++position;
        return c == '1';
    }

private:
    const char* text;
    size_t position = 0;
};

// ---------------------------------------------------------------------------
// Resolution

struct Point {
    double x, y;
};

Point operator+(Point a, Point b) { return Point{a.x + b.x, a.y + b.y}; }

// SVG's rules: after a close the current point is the sub-path's start and a
// drawing command starts a new sub-path there; a smooth curve reflects the
// previous control point only after a curve of its own kind; arcs follow the
// implementation notes for out-of-range parameters.
class Resolver {
public:
    Resolver(const agg::trans_affine& transform, SvgSegmentSink& sink) : transform(transform), sink(sink) {}

    void Move(Point to) {
        current = start = to;
        sink.MoveTo(Mapped(to).x, Mapped(to).y);
        afterClose = false;
        previous = Previous::Other;
    }

    void Line(Point to) {
        Begin();
        Emit(to);
        current = to;
        previous = Previous::Other;
    }

    void Quad(Point control, Point to) {
        Begin();
        const Point c = Mapped(control), e = Mapped(to);
        sink.QuadTo(c.x, c.y, e.x, e.y);
        current = to;
        lastControl = control;
        previous = Previous::Quad;
    }

    void Cubic(Point control1, Point control2, Point to) {
        Begin();
        const Point c1 = Mapped(control1), c2 = Mapped(control2), e = Mapped(to);
        sink.CubicTo(c1.x, c1.y, c2.x, c2.y, e.x, e.y);
        current = to;
        lastControl = control2;
        previous = Previous::Cubic;
    }

    // The first control point of a smooth curve: the previous control point
    // reflected about the current point after a curve of the same kind.
    Point Reflected(bool cubic) const {
        if (previous != (cubic ? Previous::Cubic : Previous::Quad))
            return current;
        return Point{2 * current.x - lastControl.x, 2 * current.y - lastControl.y};
    }

    void Arc(double rx, double ry, double degrees, bool large, bool sweep, Point to) {
        if (to.x == current.x && to.y == current.y) {
            previous = Previous::Other;
            return;
        }
        rx = std::fabs(rx);
        ry = std::fabs(ry);
        if (rx == 0.0 || ry == 0.0) {
            Line(to);
            return;
        }
        Begin();
        // The arc generator scales radii too small to reach the end point by
        // the square root of the radii check, as SVG prescribes, whatever its
        // size; only the storage's own arc_to replaces such arcs by lines.
        agg::bezier_arc_svg arc(current.x, current.y, rx, ry, degrees * (kPi / 180.0), large, sweep, to.x, to.y);
        arc.rewind(0);
        double x, y;
        arc.vertex(&x, &y);  // the current point
        Point controls[3];
        unsigned count = 0;
        for (unsigned command; !agg::is_stop(command = arc.vertex(&x, &y));) {
            if (command != agg::path_cmd_curve4) {
                Emit(Point{x, y});  // a sweep too small for a curve
                continue;
            }
            controls[count++] = Point{x, y};
            if (count == 3) {
                const Point c1 = Mapped(controls[0]), c2 = Mapped(controls[1]), e = Mapped(controls[2]);
                sink.CubicTo(c1.x, c1.y, c2.x, c2.y, e.x, e.y);
                count = 0;
            }
        }
        current = to;
        previous = Previous::Other;
    }

    void Close() {
        sink.Close();
        current = start;
        afterClose = true;
        previous = Previous::Other;
    }

    Point Current() const { return current; }

private:
    enum class Previous { Other, Quad, Cubic };

    Point Mapped(Point p) const {
        transform.transform(&p.x, &p.y);
        return p;
    }
    void Emit(Point to) {
        const Point p = Mapped(to);
        sink.LineTo(p.x, p.y);
    }
    // A drawing command right after a close starts its sub-path where the
    // closed one started.
    void Begin() {
        if (afterClose) {
            const Point p = Mapped(start);
            sink.MoveTo(p.x, p.y);
            afterClose = false;
        }
    }

    const agg::trans_affine& transform;
    SvgSegmentSink& sink;
    Point current{0, 0};
    Point start{0, 0};
    Point lastControl{0, 0};
    Previous previous = Previous::Other;
    bool afterClose = false;
};

// Reads the arguments of one command's group, then resolves it: nothing is
// handed on until the whole group has been read.
void ReadGroup(Scanner& scanner, Resolver& resolver, char letter) {
    const bool relative = letter >= 'a';
    const Point origin = relative ? resolver.Current() : Point{0, 0};
    auto number = [&](bool first) {
        if (!first)
            scanner.SkipCommaSpace();
        return scanner.Number();
    };
    auto point = [&](bool first) {
        const double x = number(first);
        const double y = number(false);
        return origin + Point{x, y};
    };
    switch (letter | 0x20) {
    case 'm': resolver.Move(point(true)); break;
    case 'l': resolver.Line(point(true)); break;
    case 'h': {
        const double x = number(true);
        resolver.Line(Point{relative ? origin.x + x : x, resolver.Current().y});
        break;
    }
    case 'v': {
        const double y = number(true);
        resolver.Line(Point{resolver.Current().x, relative ? origin.y + y : y});
        break;
    }
    case 'c': {
        const Point c1 = point(true), c2 = point(false), to = point(false);
        resolver.Cubic(c1, c2, to);
        break;
    }
    case 's': {
        const Point c2 = point(true), to = point(false);
        resolver.Cubic(resolver.Reflected(true), c2, to);
        break;
    }
    case 'q': {
        const Point c = point(true), to = point(false);
        resolver.Quad(c, to);
        break;
    }
    case 't': {
        const Point to = point(true);
        resolver.Quad(resolver.Reflected(false), to);
        break;
    }
    case 'a': {
        const double rx = number(true), ry = number(false), angle = number(false);
        scanner.SkipCommaSpace();
        const bool large = scanner.Flag();
        scanner.SkipCommaSpace();
        const bool sweep = scanner.Flag();
        const Point to = point(false);
        resolver.Arc(rx, ry, angle, large, sweep, to);
        break;
    }
    }
}

bool IsCommandLetter(char c) {
    switch (c | 0x20) {
    case 'm': case 'z': case 'l': case 'h': case 'v': case 'c': case 's': case 'q': case 't': case 'a': return true;
    default: return false;
    }
}

}  // namespace

void ReadSvgPathData(const char* data, const agg::trans_affine& transform, SvgSegmentSink& sink) {
    if (!data)
        throw ArgumentNullException("data");
    Scanner scanner(data);
    Resolver resolver(transform, sink);
    scanner.SkipSpace();
    if (scanner.Peek() == '\0')
        return;
    if ((scanner.Peek() | 0x20) != 'm')
        scanner.Fail("a move (M or m)");
    for (;;) {
        scanner.SkipSpace();
        const char letter = scanner.Peek();
        if (letter == '\0')
            return;
        if (!IsCommandLetter(letter))
            scanner.Fail("a command letter");
        scanner.Advance();
        if ((letter | 0x20) == 'z') {
            resolver.Close();
            continue;
        }
        scanner.SkipSpace();
        // A move's further coordinate pairs are lines of the same kind.
        char repeated = letter;
        for (;;) {
            ReadGroup(scanner, resolver, repeated);
            if ((repeated | 0x20) == 'm')
                repeated = char(repeated + ('l' - 'm'));
            // Another group follows when a number does; a comma commits to one.
            scanner.SkipSpace();
            if (scanner.Peek() == ',') {
                scanner.Advance();
                scanner.SkipSpace();
                if (!StartsNumber(scanner.Peek()))
                    scanner.Fail("a number");
            } else if (!StartsNumber(scanner.Peek())) {
                break;
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Entry points

namespace {

agg::trans_affine ToAffine(const Matrix3& m) { return agg::trans_affine(m.M[0], m.M[1], m.M[3], m.M[4], m.M[6], m.M[7]); }

class StorageSink final : public SvgSegmentSink {
public:
    explicit StorageSink(PathStorage& storage) : storage(storage) {}
    void MoveTo(double x, double y) override { storage.move_to(x, y); }
    void LineTo(double x, double y) override { storage.line_to(x, y); }
    void QuadTo(double cx, double cy, double x, double y) override { storage.curve3(cx, cy, x, y); }
    void CubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y) override {
        storage.curve4(c1x, c1y, c2x, c2y, x, y);
    }
    void Close() override { storage.close_polygon(); }

private:
    PathStorage& storage;
};

// Records absolute commands only, so that the stream's own resolution rules
// have nothing left to resolve.
class RecordingSink final : public SvgSegmentSink {
public:
    RecordingSink(std::vector<PathCommands>& commands, std::vector<float>& data) : commands(commands), data(data) {}
    void MoveTo(double x, double y) override { Record(PathCommands::MoveTo, {x, y}); }
    void LineTo(double x, double y) override { Record(PathCommands::LineTo, {x, y}); }
    void QuadTo(double cx, double cy, double x, double y) override { Record(PathCommands::QuadTo, {cx, cy, x, y}); }
    void CubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y) override {
        Record(PathCommands::CubicTo, {c1x, c1y, c2x, c2y, x, y});
    }
    void Close() override { Record(PathCommands::Close, {}); }

private:
    // A transformed point can leave the float range; it is held at its edge
    // rather than converted out of range.
    static float ToFloat(double value) {
        if (value > double(FLT_MAX))
            return FLT_MAX;
        if (value < -double(FLT_MAX))
            return -FLT_MAX;
        return float(value);
    }
    // A command never stands without its floats, even when growing fails.
    void Record(PathCommands command, std::initializer_list<double> values) {
        const size_t size = data.size();
        try {
            for (double value : values)
                data.push_back(ToFloat(value));
            commands.push_back(command);
        } catch (...) {
            data.resize(size);
            throw;
        }
    }

    std::vector<PathCommands>& commands;
    std::vector<float>& data;
};

}  // namespace

void Path::AppendSvgPathData(const char* data) { AppendSvgPathData(data, Matrix3::Identity); }

void Path::AppendSvgPathData(const char* pathData, const Matrix3& transform) {
    StorageSink sink(*storage);
    ReadSvgPathData(pathData, ToAffine(transform), sink);
}

void PathBuilder::SvgPathData(const char* pathData) { SvgPathData(pathData, Matrix3::Identity); }

void PathBuilder::SvgPathData(const char* pathData, const Matrix3& transform) {
    RecordingSink sink(commands, data);
    ReadSvgPathData(pathData, ToAffine(transform), sink);
}

}  // namespace Vudadive2R
}  // namespace ORV
