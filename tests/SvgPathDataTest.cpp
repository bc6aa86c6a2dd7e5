// SVG path data read into paths and builders: SVG's resolution rules, the
// grammar in random spellings against the absolute geometry they spell,
// arcs, the transform applied as points are appended, and errors.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "StoredVertices.hpp"
#include "TestSupport.hpp"
#include "capi/Handle.hpp"

using namespace ORV::Vudadive2R;
using namespace StoredVertices;

namespace {

struct Fixture {
    TestSupport::Surface surface{4, 4};
    std::shared_ptr<Context2D> context = std::make_shared<Context2D>(surface.surface);
    orv_context2D handle = orv_context2D_create(surface.surface);
    ~Fixture() { orv_context2D_destroy(handle); }

    std::vector<Vertex> ThroughPath(const char* data, const Matrix3& transform = Matrix3::Identity) {
        Path path(context);
        path.AppendSvgPathData(data, transform);
        return Stored(path);
    }
    // The builder through the C interface; what an error left recorded is
    // turned into a path as well.
    std::vector<Vertex> ThroughBuilder(const char* data, const orv_matrix3* transform = nullptr) {
        orv_path_builder builder = orv_path_builder_create();
        try {
            orv_path_builder_svg_path_data(builder, data, transform);
        } catch (...) {
            Recorded(builder);
            throw;
        }
        return Recorded(builder);
    }
    std::vector<Vertex> Recorded(orv_path_builder builder) {
        orv_path path = orv_path_builder_to_path(builder, handle);
        std::vector<Vertex> vertices = Stored(*PathHandle::Read(path));
        orv_path_destroy(path);
        orv_path_builder_destroy(builder);
        last = vertices;
        return vertices;
    }
    std::vector<Vertex> last;
};

void ExpectNear(const std::vector<Vertex>& actual, const std::vector<Vertex>& expected, const std::string& name) {
    ASSERT_EQ(actual.size(), expected.size()) << name << ": " << testing::PrintToString(actual);
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].command, expected[i].command) << name << " vertex " << i;
        EXPECT_NEAR(actual[i].x, expected[i].x, 1e-6) << name << " vertex " << i;
        EXPECT_NEAR(actual[i].y, expected[i].y, 1e-6) << name << " vertex " << i;
    }
}

Vertex Mapped(const Vertex& v, const Matrix3& m) {
    if (v.command == ClosePoly)
        return v;
    return Vertex{v.command, v.x * m.M[0] + v.y * m.M[3] + m.M[6], v.x * m.M[1] + v.y * m.M[4] + m.M[7]};
}

// A quarter circle of radius 1 as one cubic: its control points lie this far
// along the tangents.
constexpr double kKappa = 0.55228474983079356;

// The half circle of radius 1 from (0, 0) to (2, 0) through (1, -1), and the
// same with the height doubled.
std::vector<Vertex> HalfEllipse(double height) {
    return {{Move, 0, 0},          {Cubic, 0, -kKappa * height}, {Cubic, 1 - kKappa, -height}, {Cubic, 1, -height},
            {Cubic, 1 + kKappa, -height}, {Cubic, 2, -kKappa * height}, {Cubic, 2, 0}};
}

}  // namespace

TEST(SvgPathData, ResolvesAsSvgDoes) {
    struct Case { const char* name; const char* data; std::vector<Vertex> expected; };
    const std::vector<Vertex> halfCircle = HalfEllipse(1), tallHalf = HalfEllipse(2);
    const Case cases[] = {
        // The command stream would place these at (40, 0), start the line
        // from (0, 0), reflect the entry before the current point, and draw
        // a line for the arc.
        {"a relative move after z counts from the sub-path's start", "M10 10 h20 v20 h-20 z m40 0 h20",
         {{Move, 10, 10}, {Line, 30, 10}, {Line, 30, 30}, {Line, 10, 30}, {ClosePoly, 0, 0}, {Move, 50, 10},
          {Line, 70, 10}}},
        {"a drawing command after z starts a sub-path at the start", "M10 10 L20 10 20 20 Z l5 0",
         {{Move, 10, 10}, {Line, 20, 10}, {Line, 20, 20}, {ClosePoly, 0, 0}, {Move, 10, 10}, {Line, 15, 10}}},
        {"a smooth cubic after a line takes the current point", "M0 0 c0 10 10 10 10 0 v10 s10 10 10 0",
         {{Move, 0, 0}, {Cubic, 0, 10}, {Cubic, 10, 10}, {Cubic, 10, 0}, {Line, 10, 10}, {Cubic, 10, 10},
          {Cubic, 20, 20}, {Cubic, 20, 10}}},
        {"radii far too small are scaled up, whatever the check", "M0 0 A0.001 0.002 0 0 1 2 0", tallHalf},
        // Smooth curves reflect only after a curve of their own kind.
        {"S after C reflects", "M0 0 C0 1 2 3 4 4 S8 4 10 3",
         {{Move, 0, 0}, {Cubic, 0, 1}, {Cubic, 2, 3}, {Cubic, 4, 4}, {Cubic, 6, 5}, {Cubic, 8, 4}, {Cubic, 10, 3}}},
        {"T after Q reflects, T after T too", "M0 0 Q10 0 10 10 T20 30 t0 10",
         {{Move, 0, 0}, {Quad, 10, 0}, {Quad, 10, 10}, {Quad, 10, 20}, {Quad, 20, 30}, {Quad, 30, 40},
          {Quad, 20, 40}}},
        {"S after Q and T after C take the current point", "M0 0 Q5 5 10 0 S15 5 20 0 T30 0",
         {{Move, 0, 0}, {Quad, 5, 5}, {Quad, 10, 0}, {Cubic, 10, 0}, {Cubic, 15, 5}, {Cubic, 20, 0}, {Quad, 20, 0},
          {Quad, 30, 0}}},
        {"a smooth curve after z takes the start", "M1 1 Q5 5 9 1 z T3 3",
         {{Move, 1, 1}, {Quad, 5, 5}, {Quad, 9, 1}, {ClosePoly, 0, 0}, {Move, 1, 1}, {Quad, 1, 1}, {Quad, 3, 3}}},
        // Arcs: the sweep flag set runs towards increasing angles, through -y here.
        {"a half circle", "M0 0 A1 1 0 0 1 2 0", halfCircle},
        {"negative radii are taken by magnitude", "M0 0 A-1 -1 0 0 1 2 0", halfCircle},
        {"the rotation is in degrees", "M0 0 A2 1 90 0 1 2 0", tallHalf},
        {"flags without separators, relative end", "M0 0a1 1 0 00 1 1",
         {{Move, 0, 0}, {Cubic, 0, kKappa}, {Cubic, 1 - kKappa, 1}, {Cubic, 1, 1}}},
        {"a zero radius draws a line; an arc to the current point nothing", "M0 0 A0 5 0 0 1 10 0 A5 5 0 1 1 10 0",
         {{Move, 0, 0}, {Line, 10, 0}}},
        {"implicit repetition; a relative first move is absolute", "m1 2 3 4 5 6",
         {{Move, 1, 2}, {Line, 4, 6}, {Line, 9, 12}}},
        {"numbers run together", "M.5.5-1-2E0L1e1,2.5E-1+5e+0-.0",
         {{Move, 0.5, 0.5}, {Line, -1, -2}, {Line, 10, 0.25}, {Line, 5, 0}}},
        {"underflow reads as zero; white space of every kind", " \t\nM 1e-400 , 3\r\f", {{Move, 0, 3}}},
        {"empty and blank data append nothing", "  ", {}},
    };
    Fixture f;
    for (const Case& c : cases) {
        ExpectNear(f.ThroughPath(c.data), c.expected, c.name);
        ExpectNear(f.ThroughBuilder(c.data), c.expected, std::string(c.name) + " (builder)");
    }
}

// Random absolute geometry is spelled as path data in randomly chosen
// equivalent forms: absolute or relative, H and V for axis lines, S and T
// for reflected controls, implicit repetition, every number syntax and
// separators down to none. The path must store the geometry, exactly.
class RandomSpelling {
public:
    explicit RandomSpelling(unsigned seed) : random(seed) {
        for (int count = 1 + Pick(14); count > 0; --count)
            Segment();
    }

    std::string text;
    std::vector<Vertex> expected;

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
    double Coordinate() { return Pick(201) / 2.0 - 50; }

    void Segment() {
        const int kind = expected.empty() ? 0 : Pick(6);
        relative = Pick(2);
        double x = Coordinate(), y = Coordinate();
        switch (kind) {
        case 0:
            Command('M', {x, y});
            expected.push_back({Move, x, y});
            startX = x, startY = y;
            afterClose = false;
            break;
        case 1:
        case 2: {  // lines, often along an axis
            const int axis = Pick(3);
            if (axis == 1)
                y = currentY;
            else if (axis == 2)
                x = currentX;
            Begin();
            if (axis == 1 && Pick(2))
                Command('H', {x});
            else if (axis == 2 && Pick(2))
                Command('V', {y});
            else
                Command('L', {x, y});
            expected.push_back({Line, x, y});
            break;
        }
        case 3: {
            Begin();
            const double c2x = Coordinate(), c2y = Coordinate();
            double c1x = Coordinate(), c1y = Coordinate();
            if (Pick(2)) {
                Reflect(4, c1x, c1y);
                Command('S', {c2x, c2y, x, y});
            } else {
                Command('C', {c1x, c1y, c2x, c2y, x, y});
            }
            expected.insert(expected.end(), {{Cubic, c1x, c1y}, {Cubic, c2x, c2y}, {Cubic, x, y}});
            End(4, c2x, c2y, x, y);
            return;
        }
        case 4: {
            Begin();
            double cx = Coordinate(), cy = Coordinate();
            if (Pick(2)) {
                Reflect(3, cx, cy);
                Command('T', {x, y});
            } else {
                Command('Q', {cx, cy, x, y});
            }
            expected.insert(expected.end(), {{Quad, cx, cy}, {Quad, x, y}});
            End(3, cx, cy, x, y);
            return;
        }
        default:
            if (afterClose)  // the storage keeps one close of several
                return;
            text += Pick(2) ? " z" : "Z";
            expected.push_back({ClosePoly, 0, 0});
            letter = 'z';
            afterClose = true;
            End(0, 0, 0, startX, startY);
            return;
        }
        End(0, 0, 0, x, y);
    }

    // A drawing command after a close starts a sub-path at the start.
    void Begin() {
        if (afterClose)
            expected.push_back({Move, startX, startY});
        afterClose = false;
    }
    void Reflect(unsigned kind, double& x, double& y) const {
        x = previous == kind ? 2 * currentX - controlX : currentX;
        y = previous == kind ? 2 * currentY - controlY : currentY;
    }
    void End(unsigned kind, double cx, double cy, double x, double y) {
        previous = kind, controlX = cx, controlY = cy, currentX = x, currentY = y;
    }

    // Writes the letter (left out where repetition implies it) and the
    // values, made relative to the current point when chosen.
    void Command(char upper, std::initializer_list<double> values) {
        const char next = relative ? char(upper + 32) : upper;
        const bool implied = (next == letter && upper != 'M') || (upper == 'L' && letter == next + 1);
        if (!implied || Pick(2)) {
            text += Pick(2) ? " " : "";
            text += next;
            lastNumber.clear();
        }
        letter = next;
        int index = 0;
        for (double value : values) {
            const bool isY = upper == 'V' || (upper != 'H' && index % 2 == 1);
            Number(relative ? value - (isY ? currentY : currentX) : value);
            ++index;
        }
    }

    void Number(double value) {
        char token[32];
        switch (Pick(5)) {
        case 0: std::snprintf(token, sizeof token, "%g", value); break;
        case 1: std::snprintf(token, sizeof token, value < 0 ? "%g" : "+%g", value); break;
        case 2: std::snprintf(token, sizeof token, "%.4e", value); break;
        case 3: std::snprintf(token, sizeof token, "%gE-1", value * 10); break;
        default: {  // no digit before the point
            std::snprintf(token, sizeof token, "%g", value);
            std::string s = token;
            if (s.compare(0, 2, "0.") == 0 || s.compare(0, 3, "-0.") == 0)
                s.erase(s.find('0'), 1);
            std::snprintf(token, sizeof token, "%s", s.c_str());
        }
        }
        // Nothing is needed between numbers when the next one cannot be read
        // as part of the previous one.
        const bool pointEnds = lastNumber.find_first_of(".eE") != std::string::npos;
        const bool joinable = token[0] == '-' || token[0] == '+' || (token[0] == '.' && pointEnds);
        static const char* const separators[] = {" ", ",", " , ", "\t", "\n"};
        if (lastNumber.empty())
            text += Pick(2) ? "" : " ";
        else if (!(joinable && Pick(2)))
            text += separators[Pick(5)];
        text += token;
        lastNumber = token;
    }

    std::mt19937 random;
    bool relative = false, afterClose = false;
    char letter = 0;
    std::string lastNumber;
    unsigned previous = 0;
    double currentX = 0, currentY = 0, startX = 0, startY = 0, controlX = 0, controlY = 0;
};

TEST(SvgPathData, RandomSpellingsStoreTheirGeometry) {
    Fixture f;
    // A quarter turn with a scale and a move: exact in double for halves.
    const Matrix3 transform = {{0, 2, 0, -3, 0, 0, 5, 7, 1}};
    orv_matrix3 cTransform;
    std::copy(transform.M, transform.M + 9, cTransform.M);
    for (unsigned seed = 1; seed <= 400; ++seed) {
        const RandomSpelling path(seed);
        const std::string name = "seed " + std::to_string(seed) + ": " + path.text;
        ASSERT_EQ(f.ThroughPath(path.text.c_str()), path.expected) << name;
        ASSERT_EQ(f.ThroughBuilder(path.text.c_str()), path.expected) << name;
        std::vector<Vertex> mapped;
        for (const Vertex& v : path.expected)
            mapped.push_back(Mapped(v, transform));
        ASSERT_EQ(f.ThroughPath(path.text.c_str(), transform), mapped) << name;
        ASSERT_EQ(f.ThroughBuilder(path.text.c_str(), &cTransform), mapped) << name;
    }
}

TEST(SvgPathData, TransformAppliesAfterArcsAreConverted) {
    // Scaled by (10, 20) after conversion, the half circle becomes a half
    // ellipse through (10, -20); scaled first, the radii 1 would be too small
    // for the end point (20, 0) and grow to a half circle of radius 10.
    Fixture f;
    const Matrix3 scale = Matrix3::CreateScale(10, 20);
    std::vector<Vertex> expected;
    for (const Vertex& v : HalfEllipse(1))
        expected.push_back(Mapped(v, scale));
    ExpectNear(f.ThroughPath("M0 0 A1 1 0 0 1 2 0", scale), expected, "path");
    orv_matrix3 cScale;
    std::copy(scale.M, scale.M + 9, cScale.M);
    ExpectNear(f.ThroughBuilder("M0 0 A1 1 0 0 1 2 0", &cScale), expected, "builder");
}

TEST(SvgPathData, ErrorsKeepEveryCompleteCommand) {
    struct Case { const char* data; std::vector<Vertex> kept; const char* message; };
    const Case cases[] = {
        {"L1 1", {}, "Invalid path data at byte 0: expected a move (M or m)."},
        {"M1 1 L2", {{Move, 1, 1}}, "Invalid path data at byte 7: expected a number."},
        {"M1 1 L2 2 3", {{Move, 1, 1}, {Line, 2, 2}}, "Invalid path data at byte 11: expected a number."},
        {"M1 1 2 2 X", {{Move, 1, 1}, {Line, 2, 2}}, "Invalid path data at byte 9: expected a command letter."},
        {"M1 1,L2 2", {{Move, 1, 1}}, "Invalid path data at byte 5: expected a number."},
        {"M,1 1", {}, "Invalid path data at byte 1: expected a number."},
        {"M1 1 z 5", {{Move, 1, 1}, {ClosePoly, 0, 0}}, "Invalid path data at byte 7: expected a command letter."},
        {"M1 1 A1 1 0 2 0 5 5", {{Move, 1, 1}}, "Invalid path data at byte 12: expected a flag (0 or 1)."},
        {"M1e 1", {}, "Invalid path data at byte 3: expected a digit of the exponent."},
        {"M0 0 L. 1", {{Move, 0, 0}}, "Invalid path data at byte 6: expected a number."},
        {"M0 0 L1 1e39", {{Move, 0, 0}}, "Invalid path data at byte 8: expected a number within the float range."},
        {"M0 0 L1 00000000000000000000000000000000000000000000000000000000000000001e1 M", {{Move, 0, 0},
         {Line, 1, 10}}, "Invalid path data at byte 77: expected a number."},
    };
    Fixture f;
    for (const Case& c : cases) {
        Path path(f.context);
        const std::string printed = TestSupport::CaptureStdout([&] {
            EXPECT_THROW(path.AppendSvgPathData(c.data), ArgumentException) << c.data;
        });
        EXPECT_EQ(printed, std::string(c.message) + "\n");
        EXPECT_EQ(Stored(path), c.kept) << c.data;
        EXPECT_THROW(f.ThroughBuilder(c.data), ArgumentException) << c.data;
        EXPECT_EQ(f.last, c.kept) << c.data;
    }
    Path path(f.context);
    EXPECT_THROW(path.AppendSvgPathData(nullptr), ArgumentNullException);
    EXPECT_THROW(f.ThroughBuilder(nullptr), ArgumentNullException);
}
