// The context and the drawing states: clearing, the mapping protocol, the C views of their state, and images
// over surfaces.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "TestSupport.hpp"
#include "capi/Handle.hpp"
#include "common/Internals.hpp"

using namespace ORV::Vudadive2R;
using TestSupport::Surface;

namespace {

uint16_t Rg16(Surface& surface, int column, int row) {
    uint16_t value;
    std::memcpy(&value, surface.Pixel(column, row), sizeof value);
    return value;
}

}  // namespace

TEST(Context, ClearColourBytesPerFormat) {
    // The first row is a new context's colour. Negative and NaN give 0, 2.0
    // wraps to 254, 1.002 to 0, huge values saturate before the low byte is
    // kept. "RG16" packs 5, 6 and 5 bits, its rows' padding left alone.
    // Scissors and the blend mode do not apply.
    struct Case { uint32_t format; Color color; uint32_t expected; int stride; } const cases[] = {
        {TestSupport::kAB24, {}, 0, 0},
        {TestSupport::kAB24, {1, 0.5f, 0, 1}, 0xFF8000FF, 0},
        {TestSupport::kRA24, {1, 0.5f, 0, 1}, 0xFF8000FF, 0},
        {TestSupport::kRG16, {1, 0, 0, 1}, 0xF800, 10},
        {TestSupport::kRG16, {1, 1, 1, 0}, 0xFFFF, 10},
        {TestSupport::kRG16, {0, 1, 0, 1}, 0x07E0, 10},
        {TestSupport::kAB24, {-0.5f, 2.0f, 1.002f, NAN}, 0x00FE0000, 0},
        {TestSupport::kAB24, {1e30f, -1e30f, INFINITY, 0.5f}, 0xFF00FF80, 0},
    };
    for (const Case& c : cases) {
        Surface surface(3, 2, c.format, c.stride);
        std::fill(surface.memory.begin(), surface.memory.end(), 9);
        Context2D context(surface.surface);
        context.renderState->scissoringEnabled = true;
        context.renderState->scissorRectangles.push_back(IntRectangle{0, 0, 1, 1});
        context.renderState->blendMode = BlendMode::Plus;
        if (&c != cases)
            context.ClearColor(c.color);
        context.Clear();
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 3; ++column)
                EXPECT_EQ(c.format == TestSupport::kRG16 ? Rg16(surface, column, row) : surface.Rgba(column, row),
                          c.expected) << &c - cases;
        if (c.stride) {
            EXPECT_TRUE(surface.memory[6] == 9 && surface.memory[19] == 9) << &c - cases;
        }
    }
    // Other formats are refused, without a message, once access has started.
    for (uint32_t format : {TestSupport::kRX24, TestSupport::kR8, TestSupport::kR16}) {
        Surface surface(2, 2, format);
        Context2D context(surface.surface);
        EXPECT_EQ(TestSupport::CaptureStdout([&] { EXPECT_THROW(context.Clear(), InvalidOperationException); }), "");
        EXPECT_EQ(orv_surface_sync_start_count_get(surface.surface), 1);
    }
}

TEST(Context, ClearRectangleIsClippedToTheSurface) {
    // The expected half-open box of columns and memory rows.
    struct Case { int x, y, width, height, firstColumn, endColumn, firstRow, endRow, stride; } const cases[] = {
        {-5, -5, 10, 10, 0, 5, 0, 5, 0},
        {15, 0, 10, 1, 15, 20, 0, 1, 0},
        {15, 0, 10, 2, 15, 20, 18, 20, -80},
        {3, 3, 0, 5, 0, 0, 0, 0, 0},
        {3, 3, 5, -1, 0, 0, 0, 0, 0},
        {2147483000, 0, 10000, 20, 0, 0, 0, 0, 0},
        {0, 2147483000, 20, 10000, 0, 0, 0, 0, 0},
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 0, 0, 0},
        {-10, 5, INT_MAX, 2, 0, 20, 5, 7, 0},
        {5, 3, INT_MAX, 1, 5, 20, 3, 4, 0},  // the end lies beyond int
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y << ", " << c.width << ", " << c.height);
        Surface surface(20, 20, TestSupport::kAB24, c.stride);
        Context2D context(surface.surface);
        context.ClearColor(Color{1, 1, 1, 1});
        context.ClearRectangle(IntRectangle{c.x, c.y, c.width, c.height});
        TestSupport::ExpectBlock(surface, c.firstColumn, c.firstRow, c.endColumn, c.endRow, 0xFFFFFFFF);
    }
}

TEST(Context, MappingProtocolAndErrors) {
    Surface surface(2, 2);
    {
        Context2D context(surface.surface);
        context.Finish();  // never accessed: no call into the surface library
        EXPECT_EQ(orv_surface_sync_start_count_get(surface.surface), 0);
        EXPECT_EQ(orv_surface_sync_end_count_get(surface.surface), 0);
        context.Clear();
        context.Clear();  // access stays open between operations
        EXPECT_EQ(orv_surface_sync_start_count_get(surface.surface), 1);
        context.Finish();
        context.Finish();
        EXPECT_EQ(orv_surface_sync_end_count_get(surface.surface), 1);
        context.ClearRectangle(0, 0, 1, 1);
        EXPECT_EQ(orv_surface_sync_start_count_get(surface.surface), 2);
    }
    // Destruction does not end an open access.
    EXPECT_EQ(orv_surface_sync_end_count_get(surface.surface), 1);

    // Memory that cannot be mapped is never written.
    orv_surface* unmapped = orv_surface_create_for_data(4, 4, TestSupport::kAB24, 16, nullptr);
    Context2D(unmapped).Clear();
    orv_surface_destroy(unmapped);

    // The mapping itself: access starts at the first Data() and ends at Flush().
    SurfaceMemory memory(surface.surface);
    EXPECT_EQ(memory.Stride(), 8);
    EXPECT_EQ(orv_surface_sync_start_count_get(surface.surface), 2);
    EXPECT_EQ(memory.Data(), surface.memory.data());
    EXPECT_EQ(orv_surface_sync_start_count_get(surface.surface), 3);
    memory.Flush();
    EXPECT_EQ(orv_surface_sync_end_count_get(surface.surface), 2);

    EXPECT_THROW(Context2D(nullptr), ArgumentNullException);
    EXPECT_THROW(orv_context2D_create(nullptr), ArgumentNullException);
    EXPECT_THROW(Context2D(surface.surface).CopyRectangle(0, 0, 1, 1, 1, 1), NotImplementedException);
}

TEST(Context, CInterfaceReachesTheStateAndSetDefaultStateResetsIt) {
    // Values out of range are stored unvalidated; the defaults are restored but for the glyph origin.
    Surface surface(5, 5);
    orv_context2D handle = orv_context2D_create(surface.surface);
    Context2D& context = *ContextHandle::Read(handle);
    orv_render_state* state = orv_context2D_render_state_get(handle);
    struct Property { void (*set)(orv_render_state*, int); int (*get)(orv_render_state*); int initial, value; }
    const properties[] = {
        {orv_render_state_origin_set, orv_render_state_origin_get, ORV_ORIGIN_BOTTOM_LEFT, 7},
        {orv_render_state_image_quality_set, orv_render_state_image_quality_get, 1, -3},
        {orv_render_state_rendering_quality_set, orv_render_state_rendering_quality_get, 2, 99},
        {orv_render_state_blend_mode_set, orv_render_state_blend_mode_get, ORV_BLEND_MODE_SOURCE_OVER, 10},
        {orv_render_state_image_mode_set, orv_render_state_image_mode_get, 0, 12345},
    };
    for (const Property& p : properties) {
        EXPECT_EQ(p.get(state), p.initial);
        p.set(state, p.value);
        EXPECT_EQ(p.get(state), p.value);
    }
    orv_render_state_scissoring_enabled_set(state, true);
    EXPECT_TRUE(context.renderState->scissoringEnabled && orv_render_state_scissoring_enabled_get(state));

    // An empty scissor list cannot be read; a count below one empties it.
    int count = -1;
    EXPECT_THROW(orv_render_state_scissor_rectangles_get(state, &count), std::out_of_range);
    EXPECT_EQ(count, 0);
    const orv_int_rectangle three[3] = {{1, 2, 3, 4}, {-5, -6, 0, -7}, {100000, 0, INT_MAX, 1}};
    for (int empty : {0, -1}) {
        orv_render_state_scissor_rectangles_set(state, three, 3);
        EXPECT_EQ(std::memcmp(orv_render_state_scissor_rectangles_get(state, &count), three, sizeof three), 0);
        EXPECT_EQ(count, 3);
        orv_render_state_scissor_rectangles_set(state, nullptr, empty);
        EXPECT_TRUE(context.renderState->scissorRectangles.empty());
    }
    orv_render_state_scissor_rectangles_set(state, three, 1);

    orv_transforms* views = orv_context2D_transforms_get(handle);
    orv_transform* const transforms[] = {orv_transforms_path(views), orv_transforms_image(views),
                                         orv_transforms_fill_paint(views), orv_transforms_stroke_paint(views),
                                         orv_transforms_glyph(views)};
    Transform* const members[] = {context.transforms->path, context.transforms->image, context.transforms->fillPaint,
                                  context.transforms->strokePaint, context.transforms->glyph};
    for (int i = 0; i < 5; ++i) {
        orv_transform_translate(transforms[i], float(i + 1), 0);
        EXPECT_EQ(members[i]->Get()[6], float(i + 1));  // a shared transform would have added the others
    }

    orv_context2D_clear_color_set(handle, 0.25f, 0.5f, 0.75f, 1.0f);
    EXPECT_EQ(orv_context2D_clear_color_get(handle).B, 0.75f);
    orv_context2D_clear_rectangle(handle, 1, 2, 3, 1);
    EXPECT_EQ(surface.Rgba(3, 2), 0x4080BFFFu);
    EXPECT_EQ(surface.Rgba(1, 3), 0u);
    orv_context2D_clear(handle);
    EXPECT_EQ(surface.Rgba(4, 4), 0x4080BFFFu);
    orv_context2D_finish(handle);
    EXPECT_EQ(orv_surface_sync_end_count_get(surface.surface), 1);
    context.SetGlyphOrigin(Float32x2{3, 4});

    orv_context2D_set_default_state(handle);
    for (const Property& p : properties)
        EXPECT_EQ(p.get(state), p.initial);
    EXPECT_FALSE(orv_render_state_scissoring_enabled_get(state));
    EXPECT_THROW(orv_render_state_scissor_rectangles_get(state, &count), std::out_of_range);
    for (orv_transform* transform : transforms)
        EXPECT_EQ(std::memcmp(orv_transform_get(transform).M, Matrix3::Identity.M, sizeof Matrix3::Identity.M), 0);
    const orv_color cleared = orv_context2D_clear_color_get(handle);
    EXPECT_TRUE(cleared.R == 0 && cleared.G == 0 && cleared.B == 0 && cleared.A == 0);
    EXPECT_TRUE(context.GlyphOrigin().X == 3 && context.GlyphOrigin().Y == 4);
    orv_context2D_destroy(handle);
    orv_context2D_destroy(nullptr);
}

TEST(SurfaceImage, TakesTheSurfaceLayoutAndFlushesInPlace) {
    const struct { int width, height; uint32_t format; int stride; } cases[] = {
        {3, 2, TestSupport::kAB24, 20},  // padded rows
        {4, 3, TestSupport::kRG16, -8},  // row 0 last in memory
        {5, 1, TestSupport::kR8, 5},
    };
    for (const auto& c : cases) {
        TestSupport::Surface surface(c.width, c.height, c.format, c.stride);
        orv_surface* const core = surface.surface;
        auto image = std::make_unique<SurfaceImage>(nullptr, core);
        EXPECT_TRUE(uint32_t(image->format) == c.format && image->width == c.width && image->height == c.height &&
                    image->stride == c.stride);
        EXPECT_EQ(image->data, surface.memory.data());  // the lowest address, whatever the stride's sign
        EXPECT_EQ(orv_surface_sync_start_count_get(core), 1);
        image->Flush();
        EXPECT_EQ(orv_surface_sync_end_count_get(core), 1);
        EXPECT_EQ(orv_surface_sync_start_count_get(core), 2);
        orv_mapping* first = image->mapping;
        EXPECT_EQ(SurfaceImage::CreateMapping(image.get(), core), c.stride);
        EXPECT_NE(image->mapping, first);
        orv_mapping_destroy(first);  // the image owns only the new one
        image.reset();
        // Destruction releases the mapping without ending the open access.
        EXPECT_EQ(orv_surface_sync_end_count_get(core), 1);
    }
}

TEST(DrawingState, CWrappersReachTheirFieldsAndDefaultsAreRestored) {
    TestSupport::Surface surface(2, 2);
    orv_context2D context = orv_context2D_create(surface.surface);
    orv_color_paint paint = orv_color_paint_create(context, 0.25f, 2.0f, -1.0f, 0.5f);
    orv_context2D_destroy(context);
    const orv_color color = orv_color_paint_color_get(paint);  // kept as given
    EXPECT_TRUE(color.R == 0.25f && color.G == 2.0f && color.B == -1.0f && color.A == 0.5f);
    orv_fill_state fill = orv_fill_state_create();
    orv_stroke_state stroke = orv_stroke_state_create();
    FillState& f = *FillHandle::Read(fill);
    StrokeState& s = *StrokeHandle::Read(stroke);
    // Every field through its getter: the defaults, then values stored unvalidated.
    auto fields = [&] {
        return std::vector<float>{float(orv_fill_state_fill_rule_get(fill)), orv_stroke_state_line_width_get(stroke),
                                  float(orv_stroke_state_cap_style_get(stroke)),
                                  float(orv_stroke_state_join_style_get(stroke)), orv_stroke_state_miter_limit_get(stroke),
                                  orv_stroke_state_dash_phase_get(stroke),
                                  float(orv_stroke_state_dash_phase_reset_enabled_get(stroke))};
    };
    const std::vector<float> defaults = {ORV_FILL_RULE_EVEN_ODD, 1, ORV_CAP_STYLE_BUTT, ORV_JOIN_STYLE_MITER, 4, 0, 0};
    auto expectDefaults = [&] {
        EXPECT_EQ(fields(), defaults);
        EXPECT_TRUE(s.dashPattern.empty());
        EXPECT_FALSE(Internals::PaintOf(f) || Internals::PaintOf(s));
    };
    expectDefaults();
    orv_fill_state_fill_rule_set(fill, 2);
    orv_stroke_state_line_width_set(stroke, -3);
    orv_stroke_state_cap_style_set(stroke, 3);
    orv_stroke_state_join_style_set(stroke, 9);
    orv_stroke_state_miter_limit_set(stroke, 0.5f);
    orv_stroke_state_dash_phase_set(stroke, -2.5f);
    orv_stroke_state_dash_phase_reset_enabled_set(stroke, true);
    EXPECT_EQ(fields(), (std::vector<float>{2, -3, 3, 9, 0.5f, -2.5f, 1}));

    // Dash pairs by count; a count below one empties the pattern.
    struct Case { std::vector<float> values; int count; std::vector<float> expected; } const cases[] = {
        {{}, -2, {}}, {{4, 2, 9}, 1, {4, 2}}, {{4, 2, 1, 3}, 2, {4, 2, 1, 3}}};  // the last is kept for the reset
    for (const Case& c : cases) {
        const float previous[] = {7, 7, 7, 7, 7, 7};
        orv_stroke_state_dash_pattern_set(stroke, previous, 3);
        orv_stroke_state_dash_pattern_set(stroke, c.count < 1 ? nullptr : c.values.data(), c.count);
        std::vector<float> stored;
        for (const Dash& d : s.dashPattern)
            stored.insert(stored.end(), {d.Length, d.Gap});
        EXPECT_EQ(stored, c.expected) << c.count;
    }

    // One paint shared by both states lives until its last holder lets go.
    orv_fill_state_paint_set(fill, paint);
    orv_stroke_state_paint_set(stroke, paint);
    const std::weak_ptr<Paint> watch = Internals::PaintOf(f);
    orv_color_paint_destroy(paint);
    EXPECT_EQ(Internals::PaintOf(f), Internals::PaintOf(s));
    orv_fill_state_set_defaults(fill);
    EXPECT_FALSE(watch.expired());
    orv_stroke_state_set_defaults(stroke);
    EXPECT_TRUE(watch.expired());
    expectDefaults();

    // The class has no paint getter: the C entry point only says so.
    orv_paint got = reinterpret_cast<orv_paint>(1);
    EXPECT_EQ(TestSupport::CaptureStdout([&] { got = orv_fill_state_paint_get(fill); }), "Not implemented.\n");
    EXPECT_EQ(got, nullptr);
    orv_fill_state_destroy(fill);
    orv_stroke_state_destroy(stroke);
    orv_fill_state_destroy(nullptr);
    orv_stroke_state_destroy(nullptr);
}
