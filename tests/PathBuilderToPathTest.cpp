// Turning builders into paths: the vertices a path stores from a recorded
// stream, empty builders, null arguments and repeated appends.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "TestSupport.hpp"
#include "capi/Handle.hpp"
#include "common/Internals.hpp"
#include "path/PathStorage.hpp"

using namespace ORV::Vudadive2R;

namespace {

struct Vertex {
    unsigned command;
    double x, y;
    bool operator==(const Vertex& other) const { return command == other.command && x == other.x && y == other.y; }
};

std::ostream& operator<<(std::ostream& out, const Vertex& v) {
    return out << "{" << v.command << ": " << v.x << ", " << v.y << "}";
}

std::vector<Vertex> VerticesOf(Path& path) {
    std::vector<Vertex> vertices;
    PathStorage& storage = Internals::StorageOf(path);
    for (unsigned i = 0; i < storage.total_vertices(); ++i) {
        Vertex v;
        v.command = storage.vertex(i, &v.x, &v.y);
        vertices.push_back(v);
    }
    return vertices;
}

const unsigned kMoveTo = 1, kLineTo = 2, kClose = 0x4F;

struct Fixture {
    TestSupport::Surface surface{4, 4};
    std::shared_ptr<Context2D> context = std::make_shared<Context2D>(surface.surface);
};

}  // namespace

TEST(PathBuilderToPath, ThePathCopiesTheStreamAndTheBuilderStaysReusable) {
    Fixture f;
    auto builder = std::make_unique<PathBuilder>();
    builder->Rectangle(0, 0, 10, 5);
    const std::vector<Vertex> rectangle = {
        {kMoveTo, 0, 0}, {kLineTo, 10, 0}, {kLineTo, 10, 5}, {kLineTo, 0, 5}, {kClose, 0, 0}};
    std::unique_ptr<Path> first = builder->ToPath(f.context);
    EXPECT_EQ(VerticesOf(*first), rectangle);
    EXPECT_EQ(Internals::CommandsOf(*builder).size(), 5u);  // unchanged by ToPath
    std::unique_ptr<Path> second = builder->ToPath(f.context);
    EXPECT_EQ(VerticesOf(*second), rectangle);
    builder.reset();  // the paths keep their own copies
    EXPECT_EQ(VerticesOf(*first), rectangle);
}

TEST(PathBuilderToPath, EmptyBuildersGiveEmptyPathsAndAppendNothing) {
    Fixture f;
    PathBuilder neverRecorded;
    EXPECT_TRUE(VerticesOf(*neverRecorded.ToPath(f.context)).empty());

    PathBuilder cleared;
    cleared.Ellipse(5, 5, 4, 2);
    cleared.Clear();
    EXPECT_TRUE(VerticesOf(*cleared.ToPath(f.context)).empty());

    Path path(f.context);
    PathBuilder line;
    line.Line(1, 2, 3, 4);
    line.AppendTo(&path);
    neverRecorded.AppendTo(&path);
    cleared.AppendTo(&path);
    EXPECT_EQ(VerticesOf(path), (std::vector<Vertex>{{kMoveTo, 1, 2}, {kLineTo, 3, 4}}));
}

TEST(PathBuilderToPath, NullArgumentsAreRefused) {
    Fixture f;
    PathBuilder builder;
    builder.MoveTo(1, 1);
    Path path(f.context);
    const std::string printed = TestSupport::CaptureStdout([&] {
        EXPECT_THROW(builder.AppendTo(nullptr), ArgumentNullException);
        EXPECT_THROW(path.Append(nullptr), ArgumentNullException);
        EXPECT_THROW(builder.ToPath(std::shared_ptr<Context2D>()), ArgumentNullException);
    });
    EXPECT_EQ(printed, "");
    EXPECT_TRUE(VerticesOf(path).empty());
}

TEST(PathBuilderToPath, RelativeStartsContinueFromWhatThePathHolds) {
    Fixture f;
    PathBuilder open;
    open.MoveToRel(5, 5);
    open.LineToRel(10, 0);
    Path path(f.context);
    open.AppendTo(&path);  // empty path: the relative start is taken as absolute
    open.AppendTo(&path);
    path.Append(&open);
    EXPECT_EQ(VerticesOf(path), (std::vector<Vertex>{{kMoveTo, 5, 5},
                                                     {kLineTo, 15, 5},
                                                     {kMoveTo, 20, 10},
                                                     {kLineTo, 30, 10},
                                                     {kMoveTo, 35, 15},
                                                     {kLineTo, 45, 15}}));

    // After a close marker relative values are absolute again.
    PathBuilder closed;
    closed.MoveToRel(5, 5);
    closed.LineToRel(10, 0);
    closed.Close();
    Path twice(f.context);
    closed.AppendTo(&twice);
    closed.AppendTo(&twice);
    const std::vector<Vertex> copy = {{kMoveTo, 5, 5}, {kLineTo, 15, 5}, {kClose, 0, 0}};
    std::vector<Vertex> expected = copy;
    expected.insert(expected.end(), copy.begin(), copy.end());
    EXPECT_EQ(VerticesOf(twice), expected);
}

TEST(PathBuilderToPath, CFunctionHandsBackAPathHandle) {
    TestSupport::Surface surface(4, 4);
    orv_context2D context = orv_context2D_create(surface.surface);
    orv_path_builder builder = orv_path_builder_create();
    orv_path empty = orv_path_builder_to_path(builder, context);
    EXPECT_TRUE(VerticesOf(*Handle<Path, orv_path>::Read(empty)).empty());
    orv_path_builder_line(builder, 1, 2, 3, 4);
    orv_path line = orv_path_builder_to_path(builder, context);
    orv_context2D_destroy(context);  // the path keeps the context alive
    orv_path_builder_destroy(builder);
    EXPECT_EQ(VerticesOf(*Handle<Path, orv_path>::Read(line)), (std::vector<Vertex>{{kMoveTo, 1, 2}, {kLineTo, 3, 4}}));
    EXPECT_TRUE(Internals::ContextOf(*Handle<Path, orv_path>::Read(line)) != nullptr);
    orv_path_destroy(empty);
    orv_path_destroy(line);
}
