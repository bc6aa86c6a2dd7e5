// SVG path data: resolution rules, random spellings, arcs, transforms and errors.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <string>

#include "StoredVertices.hpp"
#include "TestSupport.hpp"
#include "capi/Handle.hpp"

using namespace ORV::Vudadive2R;
using namespace StoredVertices;

namespace {

// Reads through Path, a path handle and a builder handle; the path handle
// must store what the class does.
struct Fixture {
    TestSupport::Surface surface{4, 4};
    std::shared_ptr<Context2D> context = std::make_shared<Context2D>(surface.surface);
    orv_context2D handle = orv_context2D_create(surface.surface);
    ~Fixture() { orv_context2D_destroy(handle); }

    struct Result { std::vector<Vertex> path, builder; int errors = 0; };
    Result Read(const char* data, const Matrix3& transform = Matrix3::Identity) {
        Result result;
        Path path(context);
        orv_path viaC = orv_path_create(handle);
        orv_path_builder builder = orv_path_builder_create();
        orv_matrix3 matrix;
        std::copy(transform.M, transform.M + 9, matrix.M);
        const orv_matrix3* given = std::equal(matrix.M, matrix.M + 9, Matrix3::Identity.M) ? nullptr : &matrix;
        const std::function<void()> reads[] = {[&] { path.AppendSvgPathData(data, transform); },
                                               [&] { orv_path_append_svg_path_data(viaC, data, given); },
                                               [&] { orv_path_builder_svg_path_data(builder, data, given); }};
        for (const auto& read : reads)
            try {
                read();
            } catch (const ArgumentException&) {
                ++result.errors;
            }
        result.path = Stored(path);
        EXPECT_EQ(Stored(*PathHandle::Read(viaC)), result.path) << data;
        orv_path built = orv_path_builder_to_path(builder, handle);
        result.builder = Stored(*PathHandle::Read(built));
        orv_path_destroy(built);
        orv_path_destroy(viaC);
        orv_path_builder_destroy(builder);
        return result;
    }
};

void ExpectNear(const std::vector<Vertex>& actual, const std::vector<Vertex>& expected, const char* name) {
    ASSERT_EQ(actual.size(), expected.size()) << name << ": " << testing::PrintToString(actual);
    for (size_t i = 0; i < actual.size(); ++i)
        EXPECT_TRUE(actual[i].command == expected[i].command && std::fabs(actual[i].x - expected[i].x) < 1e-6 &&
                    std::fabs(actual[i].y - expected[i].y) < 1e-6)
            << name << " vertex " << i << ": " << testing::PrintToString(actual[i]);
}

// From (0, 0) to (2 sx, 0) through (sx, -sy) in two quarter-turn cubics.
std::vector<Vertex> HalfEllipse(double sx, double sy) {
    constexpr double k = 0.55228474983079356;
    return {{Move, 0, 0},           {Cubic, 0, -k * sy}, {Cubic, (1 - k) * sx, -sy},  {Cubic, sx, -sy},
            {Cubic, (1 + k) * sx, -sy}, {Cubic, 2 * sx, -k * sy}, {Cubic, 2 * sx, 0}};
}

}  // namespace

TEST(SvgPathData, ResolvesAsSvgDoes) {
    struct Case { const char* name; const char* data; std::vector<Vertex> expected;
                  Matrix3 transform = Matrix3::Identity; };
    const double k = 0.55228474983079356;
    const Case cases[] = {
        // Where SVG and the command stream differ.
        {"radii far too small are scaled up, whatever the check", "M0 0 A0.001 0.002 0 0 1 2 0", HalfEllipse(1, 2)},
        // Arcs: the sweep flag set runs towards increasing angles, through -y here.
        {"a half circle", "M0 0 A1 1 0 0 1 2 0", HalfEllipse(1, 1)},
        {"negative radii are taken by magnitude", "M0 0 A-1 -1 0 0 1 2 0", HalfEllipse(1, 1)},
        {"the rotation is in degrees", "M0 0 A2 1 90 0 1 2 0", HalfEllipse(1, 2)},
        {"flags without separators, relative end", "M0 0a1 1 0 00 1 1",
         {{Move, 0, 0}, {Cubic, 0, k}, {Cubic, 1 - k, 1}, {Cubic, 1, 1}}},
        {"a zero radius draws a line; an arc to the current point nothing", "M0 0 A0 5 0 0 1 10 0 A5 5 0 1 1 10 0",
         {{Move, 0, 0}, {Line, 10, 0}}},
        // Scaled first, radii 1 would not reach (20, 0) and would grow to 10.
        {"arcs are converted before the transform", "M0 0 A1 1 0 0 1 2 0", HalfEllipse(10, 20),
         Matrix3::CreateScale(10, 20)},
        {"a relative first move is absolute", "m1 2 3 4", {{Move, 1, 2}, {Line, 4, 6}}},
        {"underflow reads as zero; white space of every kind", " \t\nM 1e-400 , 3\r\f", {{Move, 0, 3}}},
        {"blank data appends nothing", "  ", {}},
    };
    Fixture f;
    for (const Case& c : cases) {
        const Fixture::Result result = f.Read(c.data, c.transform);
        EXPECT_EQ(result.errors, 0) << c.name;
        ExpectNear(result.path, c.expected, c.name);
        ExpectNear(result.builder, c.expected, c.name);
    }
    // From (0, 0) to (10, 0), radius 10: the sweep flag bulges the arc towards
    // -y; the small arc is one segment, the large (300 degrees) four; a smooth
    // cubic after it starts from the current point; the path commands naming
    // the arcs store the same.
    const PathCommands arcs[] = {PathCommands::SCwArcTo, PathCommands::SCcwArcTo, PathCommands::LCwArcTo,
                                 PathCommands::LCcwArcTo};
    for (int flags = 0; flags < 4; ++flags) {
        const bool large = flags / 2, sweep = flags % 2;
        const std::string data = "M0 0 A10 10 0 " + std::to_string(large) + " " + std::to_string(sweep) +
                                 " 10 0 S30 0 40 0";
        const std::vector<Vertex> v = f.Read(data.c_str()).path;
        const size_t arcEnd = large ? 12 : 3;
        ASSERT_EQ(v.size(), arcEnd + 4) << data;
        EXPECT_EQ(v[arcEnd], (Vertex{Cubic, 10, 0})) << data;
        for (size_t i = 1; i <= arcEnd; ++i)
            EXPECT_GE(v[i].y * (sweep ? -1 : 1), 0.0) << data << " vertex " << i;
        EXPECT_EQ(v[arcEnd + 1], (Vertex{Cubic, 10, 0})) << data;
        Path commands(f.context);
        commands.AppendData({PathCommands::MoveTo, arcs[flags], PathCommands::CubicTo},
                            {0, 0, 10, 10, 0, 10, 0, 10, 0, 30, 0, 40, 0});
        EXPECT_EQ(Stored(commands), v) << data;
    }
}

// Random geometry spelled in random equivalent forms: relative, H and V, S
// and T, implicit repetition, every number syntax, separators down to none.
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
        const int kind = expected.empty() ? 0 : Pick(5);
        relative = Pick(2);
        double x = Coordinate(), y = Coordinate(), cx = Coordinate(), cy = Coordinate();
        const double c2x = Coordinate(), c2y = Coordinate();
        if (kind == 4) {  // one close: the storage keeps one of several
            if (!afterClose) {
                text += Pick(2) ? " z" : "Z";
                expected.push_back({ClosePoly, 0, 0});
                letter = 'z';
                afterClose = true;
                End(0, 0, 0, startX, startY);
            }
            return;
        }
        if (kind == 0) {
            Command('M', {x, y});
            expected.push_back({Move, startX = x, startY = y});
            afterClose = false;
            return End(0, 0, 0, x, y);
        }
        if (afterClose)  // a drawing command after a close starts a sub-path at the start
            expected.push_back({Move, startX, startY});
        afterClose = false;
        const bool smooth = Pick(2);
        if (kind == 1) {  // lines, often along an axis
            const int axis = Pick(3);
            y = axis == 1 ? currentY : y;
            x = axis == 2 ? currentX : x;
            if (axis && Pick(2))
                Command(axis == 1 ? 'H' : 'V', {axis == 1 ? x : y});
            else
                Command('L', {x, y});
            expected.push_back({Line, x, y});
            return End(0, 0, 0, x, y);
        }
        const unsigned curve = kind == 2 ? Cubic : Quad;
        if (smooth) {
            cx = previous == curve ? 2 * currentX - controlX : currentX;
            cy = previous == curve ? 2 * currentY - controlY : currentY;
        }
        if (curve == Cubic) {
            smooth ? Command('S', {c2x, c2y, x, y}) : Command('C', {cx, cy, c2x, c2y, x, y});
            expected.insert(expected.end(), {{Cubic, cx, cy}, {Cubic, c2x, c2y}, {Cubic, x, y}});
            return End(Cubic, c2x, c2y, x, y);
        }
        smooth ? Command('T', {x, y}) : Command('Q', {cx, cy, x, y});
        expected.insert(expected.end(), {{Quad, cx, cy}, {Quad, x, y}});
        End(Quad, cx, cy, x, y);
    }

    void End(unsigned kind, double cx, double cy, double x, double y) {
        previous = kind, controlX = cx, controlY = cy, currentX = x, currentY = y;
    }

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
        char buffer[32];
        const int form = Pick(5);
        const char* format = form == 1 && value >= 0 ? "+%g" : form == 2 ? "%.4e" : form == 3 ? "%gE-1" : "%g";
        std::snprintf(buffer, sizeof buffer, format, form == 3 ? value * 10 : value);
        std::string token = buffer;
        if (form == 4 && (token.rfind("0.", 0) == 0 || token.rfind("-0.", 0) == 0))
            token.erase(token.find('0'), 1);  // no digit before the point
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
    for (unsigned seed = 1; seed <= 400; ++seed) {
        const RandomSpelling spelling(seed);
        const std::string name = "seed " + std::to_string(seed) + ": " + spelling.text;
        const Fixture::Result plain = f.Read(spelling.text.c_str());
        ASSERT_TRUE(plain.errors == 0 && plain.path == spelling.expected && plain.builder == spelling.expected)
            << name;
        std::vector<Vertex> mapped;
        for (const Vertex& v : spelling.expected)
            mapped.push_back(v.command == ClosePoly ? v : Vertex{v.command, 5 - 3 * v.y, 2 * v.x + 7});
        const Fixture::Result moved = f.Read(spelling.text.c_str(), transform);
        ASSERT_TRUE(moved.path == mapped && moved.builder == mapped) << name;
    }
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
        Fixture::Result result;
        const std::string printed = TestSupport::CaptureStdout([&] { result = f.Read(c.data); });
        EXPECT_EQ(printed, std::string(c.message) + "\n" + c.message + "\n" + c.message + "\n");
        EXPECT_EQ(result.errors, 3) << c.data;
        EXPECT_EQ(result.path, c.kept) << c.data;
        EXPECT_EQ(result.builder, c.kept) << c.data;
    }
    Path path(f.context);
    EXPECT_THROW(path.AppendSvgPathData(nullptr), ArgumentNullException);
    orv_path_builder builder = orv_path_builder_create();
    EXPECT_THROW(orv_path_builder_svg_path_data(builder, nullptr, nullptr), ArgumentNullException);
    orv_path_builder_destroy(builder);
}
