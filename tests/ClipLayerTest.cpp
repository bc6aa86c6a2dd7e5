// Saved states, clips and layers against AGG composed directly: the clip as
// AGG's alpha mask over the pixel format, a layer's pop as AGG's compositing
// operation on each premultiplied pixel at the opacity met with the clip.
#include <gtest/gtest.h>

#include <agg_scanline_p.h>

#include <chrono>
#include <random>

#include "PlainTarget.hpp"
#include "composite/PremultipliedOver.hpp"
#include "path/PathDraw.hpp"

using namespace DrawSupport;

namespace {

// A client's own paint: the library draws it on the reference road, through Rasterize.
struct ClientColorPaint : ColorPaint {
    using ColorPaint::ColorPaint;
};

enum class Step { Draw, Clip, Save, Restore, Push, Pop, Reset };

struct Action {
    Step step;
    Scene scene;  // a draw's, or a clip's geometry, rule, path transform and origin
    ClipOperation operation = ClipOperation::Intersect;
    float opacity = 1;
    BlendMode mode = BlendMode::SourceOver;
    bool clientPaint = false;
};

struct Random {
    std::mt19937 engine{20261208};
    float Uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(engine); }
    int Below(int n) { return int(engine() % unsigned(n)); }
    Color SomeColor() { return Color{Uniform(0, 1), Uniform(0, 1), Uniform(0, 1), Below(3) ? 1.0f : Uniform(0, 1)}; }

    Geometry Shape(int width, int height) {
        Geometry g;
        const float w = float(width), h = float(height);
        switch (Below(3)) {
        case 0: return g.Circle(Uniform(-0.2f, 1.2f) * w, Uniform(-0.2f, 1.2f) * h, Uniform(2, w));
        case 1:
            g.Move(Uniform(-0.3f, 1.3f) * w, Uniform(-0.3f, 1.3f) * h);
            for (int i = 2 + Below(5); i > 0; --i)
                g.Line(Uniform(-0.3f, 1.3f) * w, Uniform(-0.3f, 1.3f) * h);
            return g;
        default:
            return g.Rectangle(float(Below(width)), float(Below(height)), float(Below(width + 8)),
                               float(Below(height + 8)));
        }
    }
    Matrix3 Turn(int width, int height) {
        if (Below(2))
            return Matrix3::Identity;
        Matrix3 a, b;
        Matrix3::Multiply(Matrix3::CreateTranslation(-width / 2.0f, -height / 2.0f),
                          Matrix3::CreateRotation(Uniform(-3.2f, 3.2f)), a);
        Matrix3::Multiply(a, Matrix3::CreateScale(Uniform(0.5f, 1.5f), Uniform(0.5f, 1.5f)), b);
        Matrix3::Multiply(b, Matrix3::CreateTranslation(width / 2.0f, height / 2.0f), a);
        return a;
    }
    PaintSpec Paint(int width, int height) {
        PaintSpec p;
        p.kind = Below(4);
        p.color = SomeColor();
        if (p.kind == 1 || p.kind == 2) {
            // Two distinct stops at least, a focus inside the circle, a length of a pixel or more: where
            // AGG's own gradient arithmetic is defined.
            std::vector<ColorStop> stops = {{0, SomeColor()}, {1, SomeColor()}};
            for (int i = Below(3); i > 0; --i)
                stops.push_back(ColorStop{Uniform(0, 1), SomeColor()});
            const float w = float(width), h = float(height), cx = Uniform(0, w), cy = Uniform(0, h);
            const float radius = Uniform(3, w + 3), angle = Uniform(-3.2f, 3.2f), reach = Uniform(0, 0.9f);
            const float dx = Uniform(1, w + 1) * (Below(2) ? 1 : -1), dy = Uniform(-h, h);
            p = GradientSpec(stops, SpreadMode(Below(3)),
                             p.kind == 1 ? std::vector<float>{cx, cy, cx + dx, cy + dy}
                                         : std::vector<float>{cx, cy, radius, cx + reach * radius * std::cos(angle),
                                                              cy + reach * radius * std::sin(angle)});
        } else if (p.kind == 3) {
            ImageSupport::Picture picture(1 + Below(6), 1 + Below(6));
            for (uint8_t& byte : picture.bytes)
                byte = uint8_t(Below(256));
            p = ImageSpec(picture, TilingMode(Below(4)), SomeColor());
        }
        return p;
    }
    Scene Drawing(int width, int height) {
        Scene s = SceneOf(width, height, Shape(width, height));
        s.origin = Below(2) ? Origin::TopLeft : Origin::BottomLeft;
        s.blend = BlendMode(Below(10));
        s.scissoring = Below(4) == 0;
        for (int n = Below(3); n > 0; --n)
            s.scissors.push_back(IntRectangle{Below(width) - 2, Below(height) - 2, Below(width), Below(height)});
        s.path = Turn(width, height);
        s.fillPaint = Turn(width, height);
        s.image = Turn(width, height);
        s.filled = Below(4) != 0;
        s.stroked = !s.filled || Below(2);
        s.rule = FillRule(Below(2));
        s.fillSpec = Paint(width, height);
        s.strokeSpec = Paint(width, height);
        s.lineWidth = Uniform(0.5f, 6);
        s.cap = CapStyle(Below(3));
        s.join = JoinStyle(Below(3));
        return s;
    }

    // A valid sequence: restores meet saves, pops meet layers, three layers deep at most.
    std::vector<Action> Actions(int width, int height) {
        std::vector<Action> actions;
        std::vector<bool> open;  // true for a layer
        for (int n = 4 + Below(10); n > 0; --n) {
            Action a;
            const int layers = int(std::count(open.begin(), open.end(), true));
            switch (Below(9)) {
            case 0: a.step = Step::Save; open.push_back(false); break;
            case 1:
                if (open.empty() || open.back())
                    continue;
                a.step = Step::Restore, open.pop_back();
                break;
            case 2:
                if (layers >= 3)
                    continue;
                a.step = Step::Push, a.opacity = Below(4) ? Uniform(0, 1) : Uniform(-0.5f, 1.5f);
                a.mode = Below(2) ? BlendMode::SourceOver : BlendMode(Below(10));
                open.push_back(true);
                break;
            case 3:
                if (open.empty() || !open.back())
                    continue;
                a.step = Step::Pop, open.pop_back();
                break;
            case 4:
            case 5:
                a.step = Step::Clip;
                a.scene = SceneOf(width, height, Shape(width, height));
                a.scene.path = Turn(width, height);
                a.scene.rule = FillRule(Below(2));
                a.scene.origin = Below(2) ? Origin::TopLeft : Origin::BottomLeft;
                a.operation = ClipOperation(Below(2));
                break;
            case 6:
                if (Below(3))
                    continue;
                a.step = Step::Reset;
                break;
            default:
                a.step = Step::Draw, a.scene = Drawing(width, height), a.clientPaint = Below(3) == 0;
                break;
            }
            actions.push_back(a);
        }
        for (auto state = open.rbegin(); state != open.rend(); ++state) {
            Action a;
            a.step = *state ? Step::Pop : Step::Restore;
            actions.push_back(a);
        }
        return actions;
    }
};

// ------------------------------------------------------------------ the library

class LibraryCanvas {
public:
    LibraryCanvas(int width, int height, const std::vector<uint8_t>& backdrop, DrawRoad road)
        : pixels(backdrop), road(road),
          surface(orv_surface_create_for_data(width, height, 0x34324241, width * 4, pixels.data()), orv_surface_destroy),
          context(std::make_shared<Context2D>(surface.get())) {}

    void Run(const Action& a) {
        switch (a.step) {
        case Step::Save: return context->Save();
        case Step::Restore: return context->Restore();
        case Step::Push: return context->PushLayer(a.opacity, a.mode);
        case Step::Pop: return context->PopLayer();
        case Step::Reset: return context->ClipReset();
        case Step::Clip: {
            context->renderState->origin = a.scene.origin;
            context->transforms->path->Set(a.scene.path);
            Path path(context);
            path.AppendData(a.scene.commands, a.scene.data);
            return path.Clip(a.scene.rule, a.operation);
        }
        case Step::Draw: return Draw(a);
        }
    }

    const std::vector<uint8_t>& Peek() const { return pixels; }
    std::vector<uint8_t> Finish() {
        context->Finish();
        return pixels;
    }

private:
    std::shared_ptr<Paint> PaintOf(const PaintSpec& p, std::shared_ptr<Image>& keep, std::vector<uint8_t>& bytes,
                                   bool client) {
        if (client && p.kind == 0)
            return std::make_shared<ClientColorPaint>(context, p.color);
        return RoadScenes::MakePaint(p, context, keep, bytes);
    }

    void Draw(const Action& a) {
        const Scene& s = a.scene;
        RenderState& state = *context->renderState;
        state.origin = s.origin, state.blendMode = s.blend;
        state.scissoringEnabled = s.scissoring, state.scissorRectangles = s.scissors;
        context->transforms->path->Set(s.path);
        context->transforms->fillPaint->Set(s.fillPaint);
        context->transforms->strokePaint->Set(s.strokePaint);
        context->transforms->image->Set(s.image);
        std::shared_ptr<Image> fillImage, strokeImage;
        std::vector<uint8_t> fillBytes, strokeBytes;
        std::shared_ptr<FillState> fill;
        std::shared_ptr<StrokeState> stroke;
        const bool client = a.clientPaint && road == DrawRoad::Reference;
        if (s.filled) {
            fill = std::make_shared<FillState>();
            fill->Paint(PaintOf(s.fillSpec, fillImage, fillBytes, client));
            fill->FillRule(s.rule);
        }
        if (s.stroked) {
            stroke = std::make_shared<StrokeState>();
            stroke->Paint(PaintOf(s.strokeSpec, strokeImage, strokeBytes, client));
            stroke->LineWidth(s.lineWidth);
            stroke->MiterLimit(s.miterLimit);
            stroke->dashPattern = s.dashes;
            stroke->DashPhase(s.dashPhase);
            stroke->CapStyle(s.cap);
            stroke->JoinStyle(s.join);
        }
        Path path(context);
        path.AppendData(s.commands, s.data);
        DrawPath(path, fill, stroke, road);
    }

    std::vector<uint8_t> pixels;
    const DrawRoad road;
    const std::unique_ptr<orv_surface, void (*)(orv_surface*)> surface;
    const std::shared_ptr<Context2D> context;
};

// ------------------------------------------------------------------ AGG composed directly

class PlainCanvas {
public:
    PlainCanvas(int width, int height, const std::vector<uint8_t>& backdrop)
        : width(width), height(height), surface(backdrop) {}

    void Run(const Action& a) {
        switch (a.step) {
        case Step::Save: saved.push_back(Saved{state, false, {}, 0, 0}); break;
        case Step::Restore: state = saved.back().state, saved.pop_back(); break;
        case Step::Reset: state.mask.clear(); break;
        case Step::Push: {
            const float o = a.opacity >= 0 ? std::min(a.opacity, 1.0f) : 0.0f;
            const unsigned operations[] = {agg::comp_op_src,    agg::comp_op_src_over, agg::comp_op_dst_over,
                                           agg::comp_op_src_in, agg::comp_op_dst_in,   agg::comp_op_multiply,
                                           agg::comp_op_screen, agg::comp_op_darken,   agg::comp_op_lighten,
                                           agg::comp_op_plus};
            saved.push_back(Saved{state, true, std::vector<uint8_t>(surface.size(), 0),
                                  uint8_t(double(o) * 255 + 0.5), operations[int(a.mode)]});
            break;
        }
        case Step::Pop: {
            Saved layer = std::move(saved.back());
            saved.pop_back();
            state = layer.state;
            Composite(layer);
            break;
        }
        case Step::Clip: Clip(a); break;
        case Step::Draw: {
            Scene s = a.scene;
            state.origin = s.origin, state.scissoring = s.scissoring, state.scissors = s.scissors;
            ComposePlainly(s, Target(), state.mask.empty() ? nullptr : state.mask.data());
            break;
        }
        }
    }

    const std::vector<uint8_t>& Pixels() const { return surface; }

private:
    struct State {
        Origin origin = Origin::BottomLeft;
        bool scissoring = false;
        std::vector<IntRectangle> scissors;
        std::vector<uint8_t> mask;  // none when empty; rows in memory order
    };
    struct Saved {
        State state;
        bool layer;
        std::vector<uint8_t> pixels;
        uint8_t opacity;
        unsigned operation;
    };

    uint8_t* Target() {
        for (auto s = saved.rbegin(); s != saved.rend(); ++s)
            if (s->layer)
                return s->pixels.data();
        return surface.data();
    }

    // AGG's rasterizer and scanline over the path, curves flattened then transformed.
    void Clip(const Action& a) {
        state.origin = a.scene.origin;
        std::vector<uint8_t> coverage(size_t(width) * height, 0);
        TestSupport::Surface scratch(1, 1);
        Path path(std::make_shared<Context2D>(scratch.surface));
        path.AppendData(a.scene.commands, a.scene.data);
        agg::conv_curve<PathStorage> curves(Internals::StorageOf(path));
        agg::trans_affine matrix = Affine(a.scene.path);
        agg::conv_transform<decltype(curves)> transformer(curves, matrix);
        Rasterizer rasterizer(1u << 16);
        rasterizer.filling_rule(a.scene.rule == FillRule::EvenOdd ? agg::fill_even_odd : agg::fill_non_zero);
        rasterizer.add_path(transformer);
        agg::scanline_p8 scanline;
        if (rasterizer.rewind_scanlines()) {
            scanline.reset(rasterizer.min_x(), rasterizer.max_x());
            while (rasterizer.sweep_scanline(scanline)) {
                const int y = scanline.y();
                if (y < 0 || y >= height)
                    continue;
                uint8_t* row = coverage.data() + size_t(state.origin == Origin::TopLeft ? y : height - 1 - y) * width;
                auto span = scanline.begin();
                for (unsigned n = scanline.num_spans(); n > 0; --n, ++span)
                    for (int i = 0; i < std::abs(span->len); ++i)
                        if (span->x + i >= 0 && span->x + i < width)
                            row[span->x + i] = span->len < 0 ? *span->covers : span->covers[i];
            }
        }
        if (state.mask.empty())
            state.mask.assign(coverage.size(), 255);
        for (size_t i = 0; i < coverage.size(); ++i) {
            const unsigned c = a.operation == ClipOperation::Intersect ? coverage[i] : 255u - coverage[i];
            state.mask[i] = uint8_t((255 + state.mask[i] * c) >> 8);
        }
    }

    // Every pixel of the layer, through the scissor boxes as a draw clips them, at the opacity met with the mask.
    void Composite(const Saved& layer) {
        uint8_t* target = Target();
        const bool fromTop = state.origin == Origin::TopLeft;
        RenderingBuffer buffer(target, unsigned(width), unsigned(height), fromTop ? width * 4 : -width * 4);
        PixelFormat format(buffer);
        Renderer boxes(format);
        for (const IntRectangle& r : state.scissoring ? state.scissors : std::vector<IntRectangle>())
            boxes.add_clip_box(r.X, r.Y, r.X + r.Width, r.Y + r.Height);
        boxes.first_clip_box();
        do {
            for (int y = boxes.ymin(); y <= boxes.ymax(); ++y)
                for (int x = boxes.xmin(); x <= boxes.xmax(); ++x) {
                    const size_t at = size_t(fromTop ? y : height - 1 - y) * width + x;
                    const uint8_t* s = layer.pixels.data() + 4 * at;
                    const unsigned cover =
                        state.mask.empty() ? layer.opacity : (255 + layer.opacity * state.mask[at]) >> 8;
                    agg::comp_op_table_rgba<agg::rgba8, agg::order_rgba>::g_comp_op_func[layer.operation](
                        target + 4 * at, s[0], s[1], s[2], s[3], agg::cover_type(cover));
                }
        } while (boxes.next_clip_box());
    }

    int width, height;
    std::vector<uint8_t> surface;
    State state;
    std::vector<Saved> saved;
};

// Empty when equal, else the first pixel that differs and the steps.
std::string Difference(const std::vector<uint8_t>& got, const std::vector<uint8_t>& expected, int width,
                       const std::vector<Action>& actions) {
    for (size_t i = 0; i < got.size(); ++i)
        if (got[i] != expected[i]) {
            std::string text = "pixel (" + std::to_string(i / 4 % width) + ", " + std::to_string(i / 4 / width) +
                               ") byte " + std::to_string(i % 4) + ": " + std::to_string(got[i]) + " for " +
                               std::to_string(expected[i]) + "; steps";
            const char* names[] = {"draw", "clip", "save", "restore", "push", "pop", "reset"};
            for (const Action& a : actions)
                text += std::string(" ") + names[int(a.step)];
            return text;
        }
    return "";
}

}  // namespace

TEST(ClipLayerDifferential, RandomScenesAreThePlainComposition) {
    Random random;
    int changed = 0;
    for (int n = 0; n < 600; ++n) {
        const int width = 1 + random.Below(n % 8 == 0 ? 120 : 40), height = 1 + random.Below(n % 8 == 0 ? 90 : 40);
        std::vector<uint8_t> backdrop(size_t(width) * height * 4);
        for (uint8_t& byte : backdrop)
            byte = uint8_t(random.Below(256));
        const std::vector<Action> actions = random.Actions(width, height);
        PlainCanvas plain(width, height, backdrop);
        LibraryCanvas library(width, height, backdrop, DrawRoad::Library);
        LibraryCanvas reference(width, height, backdrop, DrawRoad::Reference);
        for (size_t k = 0; k < actions.size(); ++k) {
            const Action& a = actions[k];
            plain.Run(a);
            library.Run(a);
            reference.Run(a);
            ASSERT_EQ(Difference(library.Peek(), plain.Pixels(), width, actions), "") << "scene " << n << " step " << k;
        }
        const std::vector<uint8_t> expected = plain.Pixels();
        changed += expected != backdrop;
        ASSERT_EQ(Difference(library.Finish(), expected, width, actions), "") << "scene " << n;
        ASSERT_EQ(Difference(reference.Finish(), expected, width, actions), "") << "scene " << n << ", reference road";
    }
    EXPECT_GT(changed, 400);
}

TEST(ClipLayer, WorkedFiguresThroughTheCInterface) {
    // 8 x 4 white, rows from the top. A clip by columns 2 to 5 on whole pixels, then a difference by column 3:
    // an opaque red fill of everything lands in columns 2, 4 and 5 only.
    TestSupport::Surface surface(8, 4);
    surface.Fill(255, 255, 255, 255);
    orv_context2D context = orv_context2D_create(surface.surface);
    orv_render_state_origin_set(orv_context2D_render_state_get(context), ORV_ORIGIN_TOP_LEFT);
    orv_path_builder builder = orv_path_builder_create();
    auto pathOf = [&](float x, float y, float w, float h) {
        orv_path_builder_clear(builder);
        orv_path_builder_rectangle(builder, x, y, w, h);
        return orv_path_builder_to_path(builder, context);
    };
    orv_path columns = pathOf(2, -1, 4, 6), column3 = pathOf(3, -1, 1, 6), everything = pathOf(-1, -1, 10, 6);
    orv_fill_state red = orv_fill_state_create();
    orv_color_paint redPaint = orv_color_paint_create(context, 1, 0, 0, 1);
    orv_fill_state_paint_set(red, redPaint);
    orv_context2D_save(context);
    orv_path_clip(columns, ORV_FILL_RULE_NON_ZERO, ORV_CLIP_INTERSECT);
    orv_path_clip(column3, ORV_FILL_RULE_EVEN_ODD, ORV_CLIP_DIFFERENCE);
    orv_path_draw(everything, red, nullptr);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(surface.Rgba(x, 1), x == 2 || x == 4 || x == 5 ? 0xFF0000FFu : 0xFFFFFFFFu) << x;

    // Restored: no clip. A layer at half opacity over white: red at cover 128 premultiplies to 128, so
    // r = 128 + 255 - 128 = 255 and g = b = 0 + 255 - 128 = 127; the faded group's overlap is one layer pixel.
    orv_context2D_restore(context);
    surface.Fill(255, 255, 255, 255);
    orv_context2D_layer_push(context, 0.5f, ORV_BLEND_MODE_SOURCE_OVER);
    orv_path_draw(columns, red, nullptr);
    orv_path_draw(columns, red, nullptr);
    EXPECT_EQ(surface.Rgba(3, 1), 0xFFFFFFFFu);  // still in the layer
    orv_context2D_layer_pop(context);
    EXPECT_EQ(surface.Rgba(3, 1), 0xFF7F7FFFu);
    EXPECT_EQ(surface.Rgba(0, 1), 0xFFFFFFFFu);

    // The layer's pop goes through the clip and scissors of its push: a clip of column 3 at push.
    surface.Fill(255, 255, 255, 255);
    orv_path_clip(column3, ORV_FILL_RULE_NON_ZERO, ORV_CLIP_INTERSECT);
    orv_context2D_layer_push(context, 1, ORV_BLEND_MODE_SOURCE_OVER);
    orv_context2D_clip_reset(context);
    orv_path_draw(everything, red, nullptr);
    orv_context2D_layer_pop(context);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(surface.Rgba(x, 2), x == 3 ? 0xFF0000FFu : 0xFFFFFFFFu) << x;

    // Mismatched ends are refused and change nothing.
    orv_context2D_clip_reset(context);
    EXPECT_THROW(orv_context2D_restore(context), InvalidOperationException);
    EXPECT_THROW(orv_context2D_layer_pop(context), InvalidOperationException);
    orv_context2D_layer_push(context, 1, ORV_BLEND_MODE_SOURCE_OVER);
    EXPECT_THROW(orv_context2D_restore(context), InvalidOperationException);
    orv_context2D_save(context);
    EXPECT_THROW(orv_context2D_layer_pop(context), InvalidOperationException);
    orv_context2D_restore(context);
    orv_context2D_layer_pop(context);
    EXPECT_THROW(orv_context2D_layer_push(context, 1, 42), NotSupportedException);
    EXPECT_THROW(orv_path_clip(columns, 2, ORV_CLIP_INTERSECT), NotSupportedException);
    EXPECT_THROW(orv_path_clip(columns, ORV_FILL_RULE_NON_ZERO, 2), NotSupportedException);

    orv_fill_state_destroy(red);
    orv_color_paint_destroy(redPaint);
    for (orv_path path : {columns, column3, everything})
        orv_path_destroy(path);
    orv_path_builder_destroy(builder);
    orv_context2D_destroy(context);
}

TEST(ClipLayer, StateComesBackAndHostileNestingIsBounded) {
    TestSupport::Surface surface(16, 16);
    auto context = std::make_shared<Context2D>(surface.surface);
    RenderState& state = *context->renderState;
    // Transforms, render state and clip come back at restore, and clears and text ignore the clip.
    context->transforms->path->Rotate(0.5f);
    state.scissoringEnabled = true;
    state.scissorRectangles = {IntRectangle{1, 2, 3, 4}};
    const Matrix3 before = context->transforms->path->Get();
    context->Save();
    context->transforms->path->Scale(3, 3);
    state.scissorRectangles.clear();
    state.blendMode = BlendMode::Plus;
    Path everything(context);
    everything.AppendData({PathCommands::MoveTo, PathCommands::LineTo, PathCommands::LineTo, PathCommands::Close},
                          {0, 0, 1, 0, 0, 1});
    everything.Clip(FillRule::NonZero, ClipOperation::Intersect);
    context->ClearColor(Color{0, 0, 1, 1});
    context->Clear();
    EXPECT_EQ(surface.Rgba(15, 15), 0x0000FFFFu);
    context->Restore();
    EXPECT_EQ(context->transforms->path->Get().M[1], before.M[1]);
    EXPECT_EQ(state.scissorRectangles.size(), 1u);
    EXPECT_EQ(state.blendMode, BlendMode::SourceOver);

    // Saves and layers are bounded, with a documented exception; what was opened still ends.
    for (int i = 0; i < 32; ++i)
        context->PushLayer(0.5f, BlendMode::SourceOver);
    EXPECT_THROW(context->PushLayer(0.5f, BlendMode::SourceOver), InvalidOperationException);
    for (int i = 0; i < 32; ++i)
        context->PopLayer();
    for (int i = 0; i < 4096; ++i)
        context->Save();
    EXPECT_THROW(context->Save(), InvalidOperationException);
    for (int i = 0; i < 4096; ++i)
        context->Restore();
    // A layer needs a surface it can composite into.
    TestSupport::Surface straight(4, 4, TestSupport::kRA24);
    EXPECT_THROW(Context2D(straight.surface).PushLayer(1, BlendMode::SourceOver), InvalidOperationException);

    // A clip of a hundred thousand edges reaching a million pixels out is made in bounded time.
    std::vector<PathCommands> commands(1, PathCommands::MoveTo);
    std::vector<float> data = {0, 0};
    for (int i = 1; i < 100000; ++i) {
        commands.push_back(PathCommands::LineTo);
        data.push_back(float(i % 2 ? 1e6 : -1e6));
        data.push_back(float(i) * 0.002f);
    }
    Path spiky(context);
    spiky.AppendData(commands, data);
    const auto start = std::chrono::steady_clock::now();
    spiky.Clip(FillRule::EvenOdd, ClipOperation::Difference);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 10.0);
}

TEST(ClipLayer, PremultipliedSourceOverIsAggsBlender) {
    // Every length up to 37 (lanes and their tails), transparent pixels among them, one coverage or many.
    std::mt19937 engine(5);
    for (int round = 0; round < 4000; ++round) {
        const unsigned length = unsigned(round % 38);
        std::vector<uint8_t> source(4 * length), pixels(4 * length), covers(length);
        for (uint8_t& b : source)
            b = uint8_t(engine());
        for (unsigned i = 0; i < length; ++i)
            if (engine() % 3 == 0)
                std::memset(&source[4 * i], 0, 4);
        for (uint8_t& b : pixels)
            b = uint8_t(engine());
        for (uint8_t& c : covers)
            c = uint8_t(engine() % 4 ? engine() : 255);
        const uint8_t cover = uint8_t(engine());
        const bool many = round % 2;
        std::vector<uint8_t> expected = pixels;
        for (unsigned i = 0; i < length; ++i)
            agg::blender_rgba_pre<agg::rgba8, agg::order_rgba>::blend_pix(
                &expected[4 * i], source[4 * i], source[4 * i + 1], source[4 * i + 2], source[4 * i + 3],
                many ? covers[i] : cover);
        BlendPremultipliedOver(pixels.data(), source.data(), length, many ? covers.data() : nullptr, cover);
        ASSERT_EQ(pixels, expected) << "round " << round;
    }
}

TEST(ClipLayerDifferential, LargeScenesAreThePlainComposition) {
    // At the sizes programs draw: 2 048 x 1 536, a clip by a star of 2 000 vertices reaching far beyond
    // every border, a difference by hundreds of circles, 3 000 circles in a radial gradient and an outline
    // dashed in a layer at 0.7 multiply, a linear gradient over everything after the restore.
    const int width = 2048, height = 1536;
    Random random;
    std::vector<uint8_t> backdrop(size_t(width) * height * 4);
    for (uint8_t& byte : backdrop)
        byte = uint8_t(random.Below(256));
    Geometry star, holes, dots;
    for (int i = 0; i < 2000; ++i) {
        const float angle = 6.2831853f * float(i) / 2000, radius = i % 2 ? 300.0f : 3000.0f;
        i ? star.Line(1024 + radius * std::cos(angle), 768 + radius * std::sin(angle))
          : star.Move(1024 + radius * std::cos(angle), 768 + radius * std::sin(angle));
    }
    for (int i = 0; i < 300; ++i)
        holes.Circle(random.Uniform(-50, 2100), random.Uniform(-50, 1600), random.Uniform(3, 20));
    for (int i = 0; i < 3000; ++i)
        dots.Circle(random.Uniform(-20, 2070), random.Uniform(-20, 1560), random.Uniform(2, 12));
    const std::vector<ColorStop> stops = {{0, {0.9f, 0.2f, 0.1f, 1}}, {0.5f, {0.1f, 0.8f, 0.3f, 0.7f}},
                                          {1, {0.2f, 0.3f, 0.9f, 1}}};
    auto clip = [&](const Geometry& g, ClipOperation operation, Origin origin) {
        Action a;
        a.step = Step::Clip, a.scene = SceneOf(width, height, g), a.operation = operation;
        a.scene.rule = FillRule::NonZero, a.scene.origin = origin;
        return a;
    };
    Action save, push, pop, restore, draw, over;
    save.step = Step::Save, push.step = Step::Push, pop.step = Step::Pop, restore.step = Step::Restore;
    push.opacity = 0.7f, push.mode = BlendMode::Multiply;
    draw.step = Step::Draw, draw.scene = SceneOf(width, height, dots);
    draw.scene.origin = Origin::TopLeft;
    draw.scene.fillSpec = GradientSpec(stops, SpreadMode::Reflect, {1000, 700, 400, 1100, 800});
    draw.scene.stroked = true, draw.scene.lineWidth = 1.5f, draw.scene.dashes = {{6, 3}};
    draw.scene.strokeSpec.color = Color{0.1f, 0.1f, 0.2f, 0.8f};
    over.step = Step::Draw, over.scene = SceneOf(width, height, Geometry().Rectangle(-10, -10, 2060, 1550));
    over.scene.blend = BlendMode::Screen;
    over.scene.fillSpec = GradientSpec(stops, SpreadMode::Repeat, {0, 0, 700, 300});
    const std::vector<Action> actions = {save, clip(star, ClipOperation::Intersect, Origin::TopLeft),
                                         clip(holes, ClipOperation::Difference, Origin::BottomLeft),
                                         push, draw, pop, restore, over};
    PlainCanvas plain(width, height, backdrop);
    LibraryCanvas library(width, height, backdrop, DrawRoad::Library);
    for (const Action& a : actions) {
        plain.Run(a);
        library.Run(a);
    }
    EXPECT_NE(plain.Pixels(), backdrop);
    EXPECT_EQ(Difference(library.Finish(), plain.Pixels(), width, actions), "");
}
