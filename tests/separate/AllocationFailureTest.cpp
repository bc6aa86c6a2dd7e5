// The k-th allocation fails, for every k of an operation: each run must end
// in std::bad_alloc or a library exception, leak nothing, and leave its
// objects drawing what they draw when memory suffices. A program of its own,
// for its operator new.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>

#include "TestSupport.hpp"
#include "path/PathDraw.hpp"

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

// Scissors, a dashed stroke, a rotated path; paints 0 colour, 1 linear, 2 radial, 3 image.
struct Scene {
    Scene() : surface(48, 40), context(std::make_shared<Context2D>(surface.surface)) {
        for (size_t i = 0; i < surface.memory.size(); ++i)
            backdrop.push_back(uint8_t(i * 37 % 251));
        for (int i = 0; i < 80; ++i)
            texels[i] = uint8_t(i * 53 % 256);
        context->renderState->scissoringEnabled = true;
        context->renderState->scissorRectangles = {IntRectangle{2, 3, 30, 30}, IntRectangle{20, 10, 26, 28}};
        context->transforms->path->Rotate(0.3f);
        PathBuilder builder;
        builder.Ellipse(8, -4, 30, 26);
        builder.MoveTo(12, 2);
        builder.CubicTo(40, 0, 0, 40, 36, 30);
        builder.Arc(20, 8, 22, 18, 0.5f, 4, ArcType::Pie);
        path = builder.ToPath(context);
        stroke->LineWidth(3.5f);
        stroke->JoinStyle(JoinStyle::Round);
        stroke->dashPattern = {Dash{6, 3}, Dash{2, 4.5f}};
        stroke->DashPhase(1.5f);
    }
    std::vector<uint8_t> Draw() {
        surface.memory = backdrop;
        DrawPath(*path, fill, stroke, road);
        return surface.memory;
    }
    std::shared_ptr<ORV::Vudadive2R::Paint> MakePaint(int kind) {
        if (kind == 0)
            return std::make_shared<ColorPaint>(context, Color{0.8f, 0.3f, 0.1f, 0.7f});
        if (kind == 3) {
            auto paint = std::make_shared<ImagePaint>(
                context, std::make_shared<Image>(context, int(TestSupport::kRA24), 5, 4, 20, texels));
            paint->ImageTilingMode = TilingMode::Repeat;
            return paint;
        }
        const std::shared_ptr<GradientPaint> gradient =
            kind == 1 ? std::shared_ptr<GradientPaint>(std::make_shared<LinearGradientPaint>(context, 4, 4, 40, 30))
                      : std::make_shared<RadialGradientPaint>(context, 24, 20, 18, 20, 16);
        gradient->ColorStops = {ColorStop{0.1f, Color{1, 0, 0, 1}}, ColorStop{0.6f, Color{0, 0.5f, 1, 0.5f}},
                                ColorStop{0.9f, Color{0.2f, 1, 0.2f, 1}}};
        gradient->ColorRampSpreadMode = SpreadMode::Reflect;
        return gradient;
    }

    TestSupport::Surface surface;
    std::shared_ptr<Context2D> context;
    DrawRoad road = DrawRoad::Library;
    std::vector<uint8_t> backdrop;
    uint8_t texels[80];
    std::unique_ptr<Path> path;
    std::shared_ptr<FillState> fill = std::make_shared<FillState>();
    std::shared_ptr<StrokeState> stroke = std::make_shared<StrokeState>();
};

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
            Scene scene;
            scene.road = plain ? DrawRoad::Reference : DrawRoad::Library;
            scene.fill->Paint(scene.MakePaint(kind));
            scene.stroke->Paint(scene.MakePaint(3 - kind));
            const std::vector<uint8_t> expected = scene.Draw();
            ASSERT_NE(expected, scene.backdrop);
            const long allocations = FailEachAllocation([&] { scene.Draw(); },
                                                        [&] { ASSERT_EQ(scene.Draw(), expected); });
            EXPECT_GT(allocations, 0);
        }
}

TEST(AllocationFailure, ObjectsMadeThroughTheCInterface) {
    Scene scene;
    orv_context2D context = orv_context2D_create(scene.surface.surface);
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
    Scene scene;
    const std::string folder = TestSupport::TempPath("allocation-failure");
    std::system(("rm -rf " + folder + " && mkdir -p " + folder).c_str());
    const std::string source = folder + "/source.png", target = folder + "/target.png";
    Image image(scene.context, int(TestSupport::kRA24), 5, 4, 20, scene.texels);
    PngImage::Save(&image, source.c_str());
    const std::string sourceBytes = TestSupport::FileBytes(source);
    std::ofstream(target) << "the old file";

    FailEachAllocation([&] { PngImage::CreateFromFile(scene.context, source.c_str()); }, [] {});
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
    Scene scene;
    scene.context->transforms->glyph->Rotate(-0.4f);
    const char* const text = "Agile foxes, 1 2 3!";
    auto draw = [&](Font& font) {
        scene.surface.memory = scene.backdrop;
        font.DrawString(3, 30, text, Color{0.1f, 0.9f, 0.4f, 0.8f});
        return scene.surface.memory;
    };
    Font font(scene.context, fontPath.c_str(), 13);
    const std::vector<uint8_t> expected = draw(font);
    const float width = font.MeasureString(text);
    ASSERT_NE(expected, scene.backdrop);

    FailEachAllocation([&] { Font(scene.context, fontPath.c_str(), 13); },
                       [&] {
                           Font fresh(scene.context, fontPath.c_str(), 13);
                           ASSERT_EQ(draw(fresh), expected);
                       });
    FailEachAllocation([&] { draw(font); }, [&] { ASSERT_EQ(draw(font), expected); });
    FailEachAllocation([&] { font.MeasureString(text); }, [&] { ASSERT_EQ(font.MeasureString(text), width); });
}
