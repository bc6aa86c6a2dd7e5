// The context: clearing, the mapping protocol, images over surfaces, and the C interface against the classes.
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
        // "AR24" and "XR24" keep blue first; the X formats write 255 as their fourth byte.
        {TestSupport::kAR24, {1, 0.5f, 0, 0.4f}, 0x0080FF66, 0},
        {TestSupport::kXR24, {1, 0.5f, 0, 0.4f}, 0x0080FFFF, 0},
        {TestSupport::kXB24, {1, 0.5f, 0, 0}, 0xFF8000FF, 0},
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

// Paints, paths and text set up through the C interface and through the
// classes: each C function must draw what its member draws and read what it reads.
TEST(CInterface, DrawsAndReadsWhatTheClassesDo) {
    const std::vector<ColorStop> ramp = {{0, {1, 0, 0, 1}}, {0.4f, {0.1f, 0.8f, 0.2f, 0.5f}}, {1, {0, 0, 1, 1}}};
    std::vector<orv_color_stop> stops;
    for (const ColorStop& s : ramp)
        stops.push_back({s.Offset, s.Color.R, s.Color.G, s.Color.B, s.Color.A});
    const orv_matrix3 shear = {{1, 0, 0, 0.3f, 1, 0, -2, 0, 1}};
    uint8_t texels[4 * 3 * 4];
    for (size_t i = 0; i < sizeof texels; ++i)
        texels[i] = uint8_t(i * 37 + 11);
    const std::string png = TestSupport::TempPath("c-interface.png"), &fontPath = TestSupport::FontPath();
    orv_image source = orv_image_create(nullptr, int(TestSupport::kRA24), 4, 3, 16, texels);
    orv_png_image_save(source, png.c_str());
    orv_image_destroy(source);

    Surface viaClasses(48, 32), viaC(48, 32);
    auto context = std::make_shared<Context2D>(viaClasses.surface);
    Transforms& t = *context->transforms;
    // Defaults restored on the classes' side are the new objects' of the C side.
    context->renderState->blendMode = BlendMode::Plus, t.path->Scale(3, 3);
    context->SetDefaultState();
    context->renderState->scissoringEnabled = true;
    context->renderState->SetDefaults();
    t.path->Rotate(0.1f), t.path->Scale(1.1f, 0.9f), t.fillPaint->Set(Matrix3{{1, 0, 0, 0.3f, 1, 0, -2, 0, 1}});
    t.image->Translate(3, 2), t.glyph->Rotate(-0.2f), t.glyph->LoadIdentity(), t.glyph->Rotate(-0.25f);
    context->ClearColor(Color{0.9f, 0.8f, 0.7f, 1});
    context->Clear();
    context->ClearColor(Color{0.1f, 0.2f, 0.3f, 0.4f});
    context->ClearRectangle(30, 20, 10, 6);
    auto linear = std::make_shared<LinearGradientPaint>(context, 4, 4, 40, 20);
    auto radial = std::make_shared<RadialGradientPaint>(context, 24, 16, 12, 20, 14);
    linear->ColorStops = radial->ColorStops = ramp;
    linear->ColorRampSpreadMode = SpreadMode::Reflect, radial->ColorRampSpreadMode = SpreadMode::Repeat;
    linear->ColorRampPremultiplierEnabled = true;
    auto texture = std::make_shared<ImagePaint>(context, PngImage::CreateFromFile(context, png.c_str()));
    texture->TileColor = Color{0.2f, 0.4f, 0.6f, 0.8f};
    auto fill = std::make_shared<FillState>();
    auto stroke = std::make_shared<StrokeState>();
    fill->FillRule(FillRule::NonZero), fill->SetDefaults();
    stroke->CapStyle(CapStyle::Square), stroke->SetDefaults();
    stroke->LineWidth(3);
    PathBuilder builder;
    builder.MoveTo(1, 1), builder.Clear();
    builder.RoundRectangle(3, 4, 30, 20, 8, 6);
    builder.Ellipse(14, 8, 24, 16);
    builder.SvgPathData("M3 28 l6 -4 l4 4 z");
    auto shapes = builder.ToPath(context);
    shapes->AppendSvgPathData("M40 2 h6 v9 z");
    fill->Paint(linear), stroke->Paint(radial);
    shapes->Draw(fill, stroke);
    fill->Paint(texture), stroke->Paint(std::make_shared<ColorPaint>(context, Color{0.9f, 0.3f, 0.1f, 0.8f}));
    shapes->Draw(fill, stroke);
    Font font(context, fontPath.c_str(), 13);
    font.DrawString(2, 14, "C text", Color{0.9f, 0.3f, 0.1f, 0.8f});
    font.DrawStringUtf8(3, 28, "\xCE\xB1\xE2\x82\xAC", Color{0.2f, 0.6f, 0.9f, 0.7f});
    context->Finish();

    orv_context2D c = orv_context2D_create(viaC.surface);
    orv_transforms* views = orv_context2D_transforms_get(c);
    orv_transform_rotate(orv_transforms_path(views), 0.1f), orv_transform_scale(orv_transforms_path(views), 1.1f, 0.9f);
    orv_transform_set(orv_transforms_fill_paint(views), &shear);
    orv_transform_translate(orv_transforms_image(views), 3, 2), orv_transform_rotate(orv_transforms_glyph(views), -0.2f);
    orv_transform_load_identity(orv_transforms_glyph(views)), orv_transform_rotate(orv_transforms_glyph(views), -0.25f);
    orv_context2D_clear_color_set(c, 0.9f, 0.8f, 0.7f, 1);
    orv_context2D_clear(c);
    orv_context2D_clear_color_set(c, 0.1f, 0.2f, 0.3f, 0.4f);
    orv_context2D_clear_rectangle(c, 30, 20, 10, 6);
    orv_linear_gradient_paint linearC = orv_linear_gradient_paint_create(c, 4, 4, 40, 20);
    orv_radial_gradient_paint radialC = orv_radial_gradient_paint_create(c, 24, 16, 12, 20, 14);
    orv_gradient_paint_color_stops_set(linearC, stops.data(), 3);
    orv_gradient_paint_color_stops_set(radialC, stops.data(), 3);
    orv_gradient_paint_color_ramp_spread_mode_set(linearC, ORV_SPREAD_MODE_REFLECT);
    orv_gradient_paint_color_ramp_spread_mode_set(radialC, ORV_SPREAD_MODE_REPEAT);
    orv_gradient_paint_color_ramp_premulitiplier_enabled_set(linearC, true);
    orv_png_image image = orv_png_image_create_from_file(c, png.c_str());
    orv_image_paint textureC = orv_image_paint_create(c, image);
    orv_png_image_destroy(image);  // the paint keeps the image
    orv_image_paint_tiling_mode_set(textureC, ORV_TILING_MODE_CLIP);
    orv_image_paint_tile_color_set(textureC, 0.2f, 0.4f, 0.6f, 0.8f);
    orv_color_paint inkC = orv_color_paint_create(c, 0.9f, 0.3f, 0.1f, 0.8f);
    orv_fill_state fillC = orv_fill_state_create();
    orv_stroke_state strokeC = orv_stroke_state_create();
    orv_stroke_state_line_width_set(strokeC, 3);
    orv_path_builder builderC = orv_path_builder_create();
    orv_path_builder_round_rectangle(builderC, 3, 4, 30, 20, 8, 6);
    orv_path_builder_ellipse(builderC, 14, 8, 24, 16);
    orv_path_builder_svg_path_data(builderC, "M3 28 l6 -4 l4 4 z", nullptr);
    orv_path shapesC = orv_path_builder_to_path(builderC, c);
    orv_path_append_svg_path_data(shapesC, "M40 2 h6 v9 z", nullptr);
    orv_fill_state_paint_set(fillC, linearC), orv_stroke_state_paint_set(strokeC, radialC);
    orv_path_draw(shapesC, fillC, strokeC);
    orv_fill_state_paint_set(fillC, textureC), orv_stroke_state_paint_set(strokeC, inkC);
    orv_path_draw(shapesC, fillC, strokeC);
    orv_font fontC = orv_font_create(c, fontPath.c_str(), 13);
    orv_font_draw_string(fontC, 2, 14, "C text", 0.9f, 0.3f, 0.1f, 0.8f);
    orv_font_draw_string_utf8(fontC, 3, 28, "\xCE\xB1\xE2\x82\xAC", 0.2f, 0.6f, 0.9f, 0.7f);
    orv_context2D_finish(c);
    EXPECT_EQ(orv_surface_sync_end_count_get(viaC.surface), 1);
    EXPECT_EQ(viaC.memory, viaClasses.memory);

    int count = 0;
    EXPECT_EQ(std::memcmp(orv_gradient_paint_color_stops_get(radialC, &count), stops.data(), sizeof stops[0] * 3), 0);
    const orv_color tile = orv_image_paint_tile_color_get(textureC);
    EXPECT_EQ((std::vector<float>{float(count), float(orv_gradient_paint_color_ramp_spread_mode_get(radialC)),
                                  float(orv_gradient_paint_color_ramp_premulitiplier_enabled_get(linearC)),
                                  float(orv_image_paint_tiling_mode_get(textureC)), tile.G, tile.A,
                                  orv_font_height_get(fontC), orv_font_ascender_get(fontC),
                                  orv_font_descender_get(fontC), orv_font_measure_string(fontC, "C text"),
                                  orv_font_measure_string_utf8(fontC, "\xCE\xB1\xE2\x82\xAC")}),
              (std::vector<float>{3, float(radial->ColorRampSpreadMode), 1, float(texture->ImageTilingMode),
                                  texture->TileColor.G, texture->TileColor.A, font.Height(), font.Ascender(),
                                  font.Descender(), font.MeasureString("C text"),
                                  font.MeasureStringUtf8("\xCE\xB1\xE2\x82\xAC")}));
    orv_font_destroy(fontC);
    orv_path_builder_destroy(builderC);
    orv_path_destroy(shapesC);
    orv_fill_state_destroy(fillC);
    orv_stroke_state_destroy(strokeC);
    orv_linear_gradient_paint_destroy(linearC);
    orv_radial_gradient_paint_destroy(radialC);
    orv_image_paint_destroy(textureC);
    orv_color_paint_destroy(inkC);
    orv_context2D_destroy(c);
}

// Values are stored unvalidated; defaults come back but for the glyph origin; handles keep what they use alive.
TEST(CInterface, StoredValuesDefaultsAndLifetimes) {
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
    // An empty scissor list cannot be read; a count below one empties it.
    int count = -1;
    EXPECT_THROW(orv_render_state_scissor_rectangles_get(state, &count), std::out_of_range);
    EXPECT_EQ(count, 0);
    const orv_int_rectangle three[3] = {{1, 2, 3, 4}, {-5, -6, 0, -7}, {100000, 0, INT_MAX, 1}};
    for (int empty : {0, -1}) {
        orv_render_state_scissor_rectangles_set(state, three, 3);
        EXPECT_EQ(std::memcmp(orv_render_state_scissor_rectangles_get(state, &count), three, sizeof three), 0);
        orv_render_state_scissor_rectangles_set(state, nullptr, empty);
        EXPECT_TRUE(context.renderState->scissorRectangles.empty());
    }
    orv_render_state_scissor_rectangles_set(state, three, 1);
    orv_transforms* views = orv_context2D_transforms_get(handle);
    orv_transform* const transforms[] = {orv_transforms_path(views), orv_transforms_image(views),
                                         orv_transforms_fill_paint(views), orv_transforms_stroke_paint(views),
                                         orv_transforms_glyph(views)};
    for (int i = 0; i < 5; ++i)
        orv_transform_translate(transforms[i], float(i + 1), 0);
    orv_context2D_clear_color_set(handle, 0.25f, 0.5f, 0.75f, 1.0f);
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

    orv_color_paint paint = orv_color_paint_create(handle, 0.25f, 2.0f, -1.0f, 0.5f);
    const orv_color color = orv_color_paint_color_get(paint);  // kept as given
    EXPECT_TRUE(color.R == 0.25f && color.G == 2.0f && color.B == -1.0f && color.A == 0.5f);
    orv_fill_state fill = orv_fill_state_create();
    orv_stroke_state stroke = orv_stroke_state_create();
    FillState& f = *FillHandle::Read(fill);
    StrokeState& s = *StrokeHandle::Read(stroke);
    auto fields = [&] {
        return std::vector<float>{float(orv_fill_state_fill_rule_get(fill)), orv_stroke_state_line_width_get(stroke),
                                  float(orv_stroke_state_cap_style_get(stroke)),
                                  float(orv_stroke_state_join_style_get(stroke)), orv_stroke_state_miter_limit_get(stroke),
                                  orv_stroke_state_dash_phase_get(stroke),
                                  float(orv_stroke_state_dash_phase_reset_enabled_get(stroke))};
    };
    const std::vector<float> defaults = {ORV_FILL_RULE_EVEN_ODD, 1, ORV_CAP_STYLE_BUTT, ORV_JOIN_STYLE_MITER, 4, 0, 0};
    EXPECT_EQ(fields(), defaults);
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
        {{}, -2, {}}, {{4, 2, 9}, 1, {4, 2}}, {{4, 2, 1, 3}, 2, {4, 2, 1, 3}}};
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
    orv_fill_state_set_defaults(fill);
    EXPECT_FALSE(watch.expired());
    orv_stroke_state_set_defaults(stroke);
    EXPECT_TRUE(watch.expired());
    EXPECT_TRUE(fields() == defaults && s.dashPattern.empty() && !Internals::PaintOf(f) && !Internals::PaintOf(s));
    // The class has no paint getter: the C entry point only says so.
    orv_paint got = reinterpret_cast<orv_paint>(1);
    EXPECT_EQ(TestSupport::CaptureStdout([&] { got = orv_fill_state_paint_get(fill); }), "Not implemented.\n");
    EXPECT_EQ(got, nullptr);

    // Gradient stops: an empty list cannot be read; null stops of a positive count are refused.
    orv_linear_gradient_paint linear = orv_linear_gradient_paint_create(handle, 0, 0, 4, 0);
    EXPECT_THROW(orv_gradient_paint_color_stops_get(linear, &count), std::out_of_range);
    const orv_color_stop stops[] = {{0, 1, 0, 0, 1}, {1, 0, 0, 1, 1}};
    orv_gradient_paint_color_stops_set(linear, stops, 2);
    const orv_color_stop* read = orv_gradient_paint_color_stops_get(linear, &count);
    EXPECT_THROW(orv_gradient_paint_color_stops_set(linear, nullptr, 2), ArgumentNullException);
    EXPECT_TRUE(orv_gradient_paint_color_stops_get(linear, &count) == read && count == 2);
    // An unknown spread mode is stored, and refused when drawn, after the
    // context's last handle has gone: the path and the paints keep it.
    orv_gradient_paint_color_ramp_spread_mode_set(linear, 3);
    orv_fill_state_paint_set(fill, linear);
    orv_path_builder builder = orv_path_builder_create();
    orv_path_builder_rectangle(builder, 0, 0, 5, 5);
    orv_path path = orv_path_builder_to_path(builder, handle);
    orv_context2D_destroy(handle);
    orv_render_state_origin_set(state, ORV_ORIGIN_TOP_LEFT);  // the views live as long as the context
    EXPECT_THROW(orv_path_draw(path, fill, nullptr), NotSupportedException);
    EXPECT_EQ(surface.memory, std::vector<uint8_t>(surface.memory.size(), 0));
    orv_gradient_paint_color_ramp_spread_mode_set(linear, ORV_SPREAD_MODE_PAD);
    orv_linear_gradient_paint_destroy(linear);  // the state keeps the paint
    orv_path_draw(path, fill, stroke);
    EXPECT_EQ(surface.Pixel(0, 0)[3], 255);
    EXPECT_THROW(orv_context2D_create(nullptr), ArgumentNullException);
    EXPECT_THROW(orv_font_create(nullptr, TestSupport::FontPath().c_str(), 12), ArgumentNullException);
    orv_path_builder_destroy(builder);
    orv_path_destroy(path);
    orv_fill_state_destroy(fill);
    orv_stroke_state_destroy(stroke);
    orv_context2D_destroy(nullptr), orv_path_destroy(nullptr), orv_fill_state_destroy(nullptr);
    orv_stroke_state_destroy(nullptr), orv_linear_gradient_paint_destroy(nullptr), orv_font_destroy(nullptr);
    orv_image_destroy(nullptr), orv_png_image_destroy(nullptr);
}
