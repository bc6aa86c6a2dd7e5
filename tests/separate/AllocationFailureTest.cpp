// The k-th allocation fails, for every k of an operation: each run must end
// in std::bad_alloc or a library exception, leak nothing, and leave its
// objects drawing what they draw when memory suffices. A program of its own,
// for its operator new.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>

#include "TestSupport.hpp"
#include "RoadScenes.hpp"

using namespace ORV::Vudadive2R;

namespace {

long counted = 0, failing = 0;  // which allocation fails; 0: none

void* Allocate(size_t size, size_t alignment = 0) {
    if (failing && ++counted == failing)
        return nullptr;
    if (size == 0)
        size = 1;
    return alignment ? std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment)
                     : std::malloc(size);
}

void* AllocateOrThrow(size_t size, size_t alignment = 0) {
    if (void* memory = Allocate(size, alignment))
        return memory;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(size_t size) { return AllocateOrThrow(size); }
void* operator new[](size_t size) { return AllocateOrThrow(size); }
void* operator new(size_t size, std::align_val_t alignment) { return AllocateOrThrow(size, size_t(alignment)); }
void* operator new[](size_t size, std::align_val_t alignment) { return AllocateOrThrow(size, size_t(alignment)); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, size_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::align_val_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::align_val_t) noexcept { std::free(memory); }
void operator delete(void* memory, size_t, std::align_val_t) noexcept { std::free(memory); }
void operator delete[](void* memory, size_t, std::align_val_t) noexcept { std::free(memory); }

// AGG's rasterizer loses its table of cell blocks (2 KB) when its first
// block cannot be allocated: its destructor frees the table only once a
// block exists. Only client paints, drawn by AGG's own rasterizer, meet it.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:agg::rasterizer_cells_aa<agg::cell_aa>::allocate_block\n";
}

namespace {

// Fails the first, second, ... allocation until a run completes; `check`
// must pass after each. Returns how many allocations a whole run makes.
long FailEachAllocation(const std::function<void()>& operation, const std::function<void()>& check) {
    enum Outcome { Completed, BadAlloc, LibraryException };
    for (long k = 1;; ++k) {
        Outcome outcome = Completed;
        const std::string printed = TestSupport::CaptureStdout([&] {
            counted = 0;
            failing = k;
            try {
                operation();
            } catch (const std::bad_alloc&) {
                outcome = BadAlloc;
            } catch (const Exception&) {
                outcome = LibraryException;
            }
            failing = 0;
        });
        if (counted < k) {
            EXPECT_EQ(outcome, Completed) << printed;
            check();
            return k - 1;
        }
        EXPECT_NE(outcome, Completed) << "allocation " << k << " failed unnoticed";
        check();
        if (testing::Test::HasFailure())
            return k;
    }
}

// Scissors, a dashed stroke, a rotated path of curves and arcs; paints 0 colour, 1 linear, 2 radial, 3 image.
RoadScenes::Scene Scene(int fillKind, int strokeKind) {
    typedef PathCommands C;
    RoadScenes::Scene s;
    s.width = 48, s.height = 40;
    for (size_t i = 0; i < 48 * 40 * 4; ++i)
        s.backdrop.push_back(uint8_t(i * 37 % 251));
    s.scissoring = true;
    s.scissors = {IntRectangle{2, 3, 30, 30}, IntRectangle{20, 10, 26, 28}};
    s.path = Matrix3::CreateRotation(0.3f);
    s.commands = {C::MoveTo, C::LCwArcTo, C::SCcwArcTo, C::Close, C::MoveTo, C::CubicTo, C::QuadTo, C::Close};
    s.data = {8, 9, 15, 13, 0, 38, 9, 15, 13, 0, 8, 9, 12, 2, 40, 0, 0, 40, 36, 30, 20, 8, 30, 20};
    s.filled = s.stroked = true;
    s.lineWidth = 3.5f, s.join = JoinStyle::Round;
    s.dashes = {Dash{6, 3}, Dash{2, 4.5f}}, s.dashPhase = 1.5f;
    const float linear[] = {4, 4, 40, 30, 0}, radial[] = {24, 20, 18, 20, 16};
    for (RoadScenes::PaintSpec* p : {&s.fillSpec, &s.strokeSpec}) {
        p->kind = p == &s.fillSpec ? fillKind : strokeKind;
        p->color = Color{0.8f, 0.3f, 0.1f, 0.7f};
        std::copy_n(p->kind == 1 ? linear : radial, 5, p->geometry);
        p->stops = {ColorStop{0.1f, Color{1, 0, 0, 1}}, ColorStop{0.6f, Color{0, 0.5f, 1, 0.5f}},
                    ColorStop{0.9f, Color{0.2f, 1, 0.2f, 1}}};
        p->spread = SpreadMode::Reflect;
        p->imageWidth = 5, p->imageHeight = 4;
        for (int i = 0; i < 80; ++i)
            p->image.push_back(uint8_t(i * 53 % 256));
        p->tiling = TilingMode::Repeat;
    }
    return s;
}

template <class Handle>
struct Owned {
    Handle handle;
    void (*release)(Handle);
    ~Owned() { release(handle); }
};

}  // namespace

TEST(AllocationFailure, DrawsOfEveryPaintOnBothRoads) {
    for (int kind = 0; kind < 4; ++kind)
        for (bool plain : {false, true}) {
            SCOPED_TRACE(testing::Message() << "paint " << kind << (plain ? " plain road" : " own road"));
            const RoadScenes::Scene scene = Scene(kind, 3 - kind);
            std::vector<uint8_t> pixels = scene.backdrop;
            RoadScenes::Drawing drawing(scene, pixels.data());
            auto draw = [&] {
                pixels = scene.backdrop;
                drawing.Draw(plain);
            };
            draw();
            const std::vector<uint8_t> expected = pixels;
            ASSERT_NE(expected, scene.backdrop);
            const long allocations = FailEachAllocation(draw, [&] {
                draw();
                ASSERT_EQ(pixels, expected);
            });
            EXPECT_GT(allocations, 0);
        }
}

TEST(AllocationFailure, ObjectsMadeThroughTheCInterface) {
    TestSupport::Surface surface(48, 40);
    orv_context2D context = orv_context2D_create(surface.surface);
    FailEachAllocation(
        [&] {
            Owned<orv_path_builder> builder{orv_path_builder_create(), orv_path_builder_destroy};
            orv_path_builder_rectangle(builder.handle, 3, 4, 20, 10);
            Owned<orv_path> path{orv_path_builder_to_path(builder.handle, context), orv_path_destroy};
            Owned<orv_linear_gradient_paint> paint{orv_linear_gradient_paint_create(context, 0, 0, 30, 0),
                                                   orv_linear_gradient_paint_destroy};
            const orv_color_stop stops[] = {{0, 1, 0, 0, 1}, {1, 0, 0, 1, 1}};
            orv_gradient_paint_color_stops_set(paint.handle, stops, 2);
            Owned<orv_fill_state> fill{orv_fill_state_create(), orv_fill_state_destroy};
            orv_fill_state_paint_set(fill.handle, paint.handle);
            orv_path_draw(path.handle, fill.handle, nullptr);
        },
        [] {});
    orv_context2D_destroy(context);
}

TEST(AllocationFailure, PngLoadAndSave) {
    TestSupport::Surface surface(4, 4);
    const auto context = std::make_shared<Context2D>(surface.surface);
    const std::string folder = TestSupport::TempPath("allocation-failure");
    std::system(("rm -rf " + folder + " && mkdir -p " + folder).c_str());
    const std::string source = folder + "/source.png", target = folder + "/target.png";
    std::vector<uint8_t> texels = Scene(3, 3).fillSpec.image;
    Image image(context, int(TestSupport::kRA24), 5, 4, 20, texels.data());
    PngImage::Save(&image, source.c_str());
    const std::string sourceBytes = TestSupport::FileBytes(source);
    std::ofstream(target) << "the old file";

    FailEachAllocation([&] { PngImage::CreateFromFile(context, source.c_str()); }, [] {});
    FailEachAllocation([&] { PngImage::Save(&image, target.c_str()); },
                       [&] {
                           const std::string bytes = TestSupport::FileBytes(target);
                           EXPECT_TRUE(bytes == "the old file" || bytes == sourceBytes);
                           EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2);
                       });
    EXPECT_EQ(TestSupport::FileBytes(target), sourceBytes);
}

TEST(AllocationFailure, FontsAndText) {
    const std::string& fontPath = TestSupport::FontPath();
    TestSupport::Surface surface(48, 40);
    const auto context = std::make_shared<Context2D>(surface.surface);
    const std::vector<uint8_t> backdrop = Scene(0, 0).backdrop;
    context->transforms->glyph->Rotate(-0.4f);
    const char* const text = "Agile foxes, 1 2 3!";
    auto draw = [&](Font& font) {
        surface.memory = backdrop;
        font.DrawString(3, 30, text, Color{0.1f, 0.9f, 0.4f, 0.8f});
        return surface.memory;
    };
    Font font(context, fontPath.c_str(), 13);
    const std::vector<uint8_t> expected = draw(font);
    const float width = font.MeasureString(text);
    ASSERT_NE(expected, backdrop);

    FailEachAllocation([&] { Font(context, fontPath.c_str(), 13); },
                       [&] {
                           Font fresh(context, fontPath.c_str(), 13);
                           ASSERT_EQ(draw(fresh), expected);
                       });
    FailEachAllocation([&] { draw(font); }, [&] { ASSERT_EQ(draw(font), expected); });
    FailEachAllocation([&] { font.MeasureString(text); }, [&] { ASSERT_EQ(font.MeasureString(text), width); });
}
