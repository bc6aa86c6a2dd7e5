// The context on a surface: clearing per format and stride, clipping of
// rectangles, the mapping protocol and the lifetimes of handles.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>

#include "TestSupport.hpp"

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
    struct Case {
        uint32_t format;
        Color color;
        uint32_t rgba;  // four-byte formats
        uint16_t packed;  // "RG16"
    };
    const Case cases[] = {
        {TestSupport::kAB24, {0, 0, 0, 0}, 0x00000000, 0},  // a new context's clear colour
        {TestSupport::kAB24, {1, 0.5f, 0, 1}, 0xFF8000FF, 0},
        {TestSupport::kRA24, {1, 0.5f, 0, 1}, 0xFF8000FF, 0},
        {TestSupport::kRG16, {1, 0, 0, 1}, 0, 0xF800},
        {TestSupport::kRG16, {1, 1, 1, 0}, 0, 0xFFFF},
        {TestSupport::kRG16, {0, 1, 0, 1}, 0, 0x07E0},
        // Out-of-range components: negative and NaN give 0, 2.0 wraps to
        // 254, 1.002 to 0, huge values saturate before the low byte is kept.
        {TestSupport::kAB24, {-0.5f, 2.0f, 1.002f, NAN}, 0x00FE0000, 0},
        {TestSupport::kAB24, {1e30f, -1e30f, INFINITY, 0.5f}, 0xFF00FF80, 0},
    };
    for (const Case& c : cases) {
        Surface surface(3, 2, c.format);
        surface.Fill(9, 9, 9, 9);
        Context2D context(surface.surface);
        if (c.color.R != 0 || c.color.A != 0)
            context.ClearColor(c.color);
        context.Clear();
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 3; ++column) {
                if (c.format == TestSupport::kRG16)
                    EXPECT_EQ(Rg16(surface, column, row), c.packed);
                else
                    EXPECT_EQ(surface.Rgba(column, row), c.rgba) << std::hex << c.format;
            }
    }
}

TEST(Context, UnhandledFormatThrowsAfterStartingAccess) {
    for (uint32_t format : {TestSupport::kRX24, TestSupport::kR8, TestSupport::kR16}) {
        Surface surface(2, 2, format);
        Context2D context(surface.surface);
        EXPECT_THROW(context.Clear(), InvalidOperationException);
        EXPECT_EQ(orv_surface_sync_start_count_get(surface.surface), 1);
    }
}

TEST(Context, ClearRectangleIsClippedToTheSurface) {
    struct Case {
        int x, y, width, height;
        int firstColumn, endColumn, firstRow, endRow;  // expected half-open box; empty when first == end
    };
    const Case cases[] = {
        {-5, -5, 10, 10, 0, 5, 0, 5},
        {15, 0, 10, 1, 15, 20, 0, 1},
        {3, 3, 0, 5, 0, 0, 0, 0},
        {3, 3, 5, -1, 0, 0, 0, 0},
        {2147483000, 0, 10000, 20, 0, 0, 0, 0},
        {0, 2147483000, 20, 10000, 0, 0, 0, 0},
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 0, 0},
        {-10, 5, INT_MAX, 2, 0, 20, 5, 7},
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        Surface surface(20, 20);
        Context2D context(surface.surface);
        context.ClearColor(Color{1, 1, 1, 1});
        context.ClearRectangle(IntRectangle{c.x, c.y, c.width, c.height});
        for (int row = 0; row < 20; ++row)
            for (int column = 0; column < 20; ++column) {
                const bool inside =
                    column >= c.firstColumn && column < c.endColumn && row >= c.firstRow && row < c.endRow;
                ASSERT_EQ(surface.Rgba(column, row), inside ? 0xFFFFFFFFu : 0u)
                    << c.x << "," << c.y << "," << c.width << "," << c.height << " at " << column << "," << row;
            }
    }
}

TEST(Context, NegativeStrideAndPaddedRowsAreAddressedAsRows) {
    // Row 0 is the last row in memory with a negative stride.
    Surface bottomUp(4, 3, TestSupport::kAB24, -16);
    Context2D context(bottomUp.surface);
    context.ClearColor(Color{1, 0, 0, 1});
    context.ClearRectangle(0, 0, 4, 1);
    EXPECT_EQ(bottomUp.Rgba(0, 2), 0xFF0000FFu);
    EXPECT_EQ(bottomUp.Rgba(3, 2), 0xFF0000FFu);
    EXPECT_EQ(bottomUp.Rgba(0, 0), 0u);
    EXPECT_EQ(bottomUp.Rgba(0, 1), 0u);

    // Padding between rows is left alone, for "RG16" too.
    Surface padded(3, 2, TestSupport::kRG16, 10);
    Context2D paddedContext(padded.surface);
    paddedContext.ClearColor(Color{1, 1, 1, 1});
    paddedContext.Clear();
    EXPECT_EQ(Rg16(padded, 2, 1), 0xFFFF);
    EXPECT_EQ(padded.memory[6], 0);
    EXPECT_EQ(padded.memory[9], 0);
}

TEST(Context, ClearIgnoresOriginScissorsAndBlendMode) {
    Surface surface(6, 6);
    Context2D context(surface.surface);
    context.renderState->origin = Origin::TopLeft;
    context.renderState->scissoringEnabled = true;
    context.renderState->scissorRectangles.push_back(IntRectangle{0, 0, 1, 1});
    context.renderState->blendMode = BlendMode::Plus;
    context.ClearColor(Color{0, 0, 1, 0.5f});
    context.ClearRectangle(1, 2, 2, 1);
    EXPECT_EQ(surface.Rgba(1, 2), 0x0000FF80u);
    EXPECT_EQ(surface.Rgba(2, 2), 0x0000FF80u);
    EXPECT_EQ(surface.Rgba(0, 0), 0u);
    EXPECT_EQ(surface.Rgba(1, 3), 0u);
}

TEST(Context, MappingProtocol) {
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
}

TEST(Context, UnmappableMemoryIsNeverWritten) {
    orv_surface* surface = orv_surface_create_for_data(4, 4, TestSupport::kAB24, 16, nullptr);
    ASSERT_NE(surface, nullptr);
    {
        Context2D context(surface);
        context.ClearColor(Color{1, 1, 1, 1});
        EXPECT_NO_THROW(context.Clear());
    }
    orv_surface_destroy(surface);
}

TEST(Context, SetDefaultStateResetsAllButGlyphOrigin) {
    Surface surface(2, 2);
    Context2D context(surface.surface);
    context.SetGlyphOrigin(Float32x2{3, 4});
    context.ClearColor(Color{1, 1, 1, 1});
    Transform* all[] = {context.transforms->path, context.transforms->image, context.transforms->fillPaint,
                        context.transforms->strokePaint, context.transforms->glyph};
    for (Transform* transform : all)
        transform->Translate(5, 6);
    context.renderState->origin = Origin::TopLeft;
    context.renderState->blendMode = BlendMode::Plus;
    context.renderState->scissoringEnabled = true;
    context.renderState->scissorRectangles.push_back(IntRectangle{1, 2, 3, 4});

    context.SetDefaultState();
    EXPECT_EQ(context.GlyphOrigin().X, 3.0f);
    EXPECT_EQ(context.GlyphOrigin().Y, 4.0f);
    EXPECT_EQ(context.ClearColor().R, 0.0f);
    for (Transform* transform : all)
        EXPECT_EQ(std::memcmp(transform->Get().M, Matrix3::Identity.M, sizeof Matrix3::Identity.M), 0);
    EXPECT_EQ(context.renderState->origin, Origin::BottomLeft);
    EXPECT_EQ(context.renderState->blendMode, BlendMode::SourceOver);
    EXPECT_FALSE(context.renderState->scissoringEnabled);
    EXPECT_TRUE(context.renderState->scissorRectangles.empty());
}

TEST(Context, ConstructionAndCopyErrors) {
    EXPECT_THROW(Context2D(nullptr), ArgumentNullException);
    EXPECT_THROW(orv_context2D_create(nullptr), ArgumentNullException);
    Surface surface(2, 2);
    Context2D context(surface.surface);
    EXPECT_THROW(context.CopyRectangle(0, 0, 1, 1, 1, 1), NotImplementedException);
}

TEST(Context, CInterfaceClearsAndReadsBack) {
    Surface surface(5, 5);
    orv_context2D context = orv_context2D_create(surface.surface);
    orv_context2D_clear_color_set(context, 0.25f, 0.5f, 0.75f, 1.0f);
    orv_color color = orv_context2D_clear_color_get(context);
    EXPECT_EQ(color.R, 0.25f);
    EXPECT_EQ(color.B, 0.75f);
    orv_context2D_clear_rectangle(context, 1, 1, 2, 2);
    EXPECT_EQ(surface.Rgba(1, 1), 0x4080BFFFu);
    EXPECT_EQ(surface.Rgba(3, 3), 0u);
    orv_context2D_clear(context);
    EXPECT_EQ(surface.Rgba(4, 4), 0x4080BFFFu);
    orv_context2D_finish(context);
    EXPECT_EQ(orv_surface_sync_end_count_get(surface.surface), 1);
    orv_context2D_set_default_state(context);
    EXPECT_EQ(orv_context2D_clear_color_get(context).A, 0.0f);
    orv_context2D_destroy(context);
    orv_context2D_destroy(nullptr);
}

TEST(Context, ViewsAndObjectsOutliveTheContextHandle) {
    Surface surface(4, 4);
    orv_context2D context = orv_context2D_create(surface.surface);
    orv_render_state* state = orv_context2D_render_state_get(context);
    orv_color_paint paint = orv_color_paint_create(context, 1, 0, 0, 1);
    orv_fill_state fill = orv_fill_state_create();
    orv_fill_state_paint_set(fill, paint);
    orv_context2D_destroy(context);  // the paint still holds the context
    orv_render_state_blend_mode_set(state, ORV_BLEND_MODE_MULTIPLY);
    EXPECT_EQ(orv_render_state_blend_mode_get(state), ORV_BLEND_MODE_MULTIPLY);
    orv_color_paint_destroy(paint);  // the fill state still holds the paint
    orv_fill_state_destroy(fill);    // last holder: everything goes here
}
