// Scenes made from a stream of bytes (random in the tests, the fuzzer's
// input in the fuzzer) with every setting, drawn through either road.
#ifndef VUDADIVE2R_ROAD_SCENES_HPP
#define VUDADIVE2R_ROAD_SCENES_HPP

#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "common/Internals.hpp"
#include "path/PathDraw.hpp"
#include "pipeline/PathStorage.hpp"
#include "vudadive2r.hpp"

namespace RoadScenes {

using namespace ORV::Vudadive2R;

// Reads the stream; past its end every read gives zero.
class ByteStream {
public:
    ByteStream(const uint8_t* data, size_t size) : data(data), size(size) {}
    uint8_t Byte() { return position < size ? data[position++] : 0; }
    unsigned Below(unsigned n) { return n ? (unsigned(Byte()) | unsigned(Byte()) << 8) % n : 0; }
    bool OneIn(unsigned n) { return Below(n) == 0; }
    // 0 to 1 in steps of 1/65535.
    float Unit() { return float(unsigned(Byte()) | unsigned(Byte()) << 8) / 65535.0f; }
    float Range(float low, float high) { return low + (high - low) * Unit(); }

private:
    const uint8_t* data;
    size_t size;
    size_t position = 0;
};

struct PaintSpec {
    int kind = 0;  // 0 colour, 1 linear, 2 radial, 3 image
    Color color{};  // an image's tile colour
    float geometry[5] = {};  // x0, y0, x1, y1 or cx, cy, radius, fx, fy
    std::vector<ColorStop> stops;
    SpreadMode spread = SpreadMode::Pad;
    int imageWidth = 1, imageHeight = 1, imageStride = 0;  // 0: width x 4; negative: row 0 last
    int imageFormat = 0x34324152;                          // "RA24"
    std::vector<uint8_t> image;
    TilingMode tiling = TilingMode::Clip;
};

inline int BytesPerPixel(uint32_t format) { return format == 0x36314752 ? 2 : 4; }

struct Scene {
    int width = 1, height = 1;
    uint32_t format = 0x34324241;   // "AB24"; "RG16" has 2 bytes a pixel, the others 4
    std::vector<uint8_t> backdrop;  // transparent black where it ends
    Origin origin = Origin::TopLeft;
    BlendMode blend = BlendMode::SourceOver;
    bool scissoring = false;
    std::vector<IntRectangle> scissors;
    Matrix3 path = Matrix3::Identity, fillPaint = Matrix3::Identity, strokePaint = Matrix3::Identity,
            image = Matrix3::Identity;
    std::vector<PathCommands> commands;
    std::vector<float> data;
    // Vertices in double appended after the commands (text's polylines).
    std::vector<agg::vertex_d> vertices;
    bool filled = false, stroked = false;
    FillRule rule = FillRule::NonZero;
    PaintSpec fillSpec, strokeSpec;
    float lineWidth = 1, miterLimit = 4, dashPhase = 0;
    CapStyle cap = CapStyle::Butt;
    JoinStyle join = JoinStyle::Miter;
    std::vector<Dash> dashes;
    // A clip by a second path before the draw, and a layer around it.
    bool clipped = false, layered = false;
    std::vector<PathCommands> clipCommands;
    std::vector<float> clipData;
    Matrix3 clipPath = Matrix3::Identity;
    FillRule clipRule = FillRule::NonZero;
    ClipOperation clipOperation = ClipOperation::Intersect;
    float layerOpacity = 1;
    BlendMode layerMode = BlendMode::SourceOver;
    ImageQuality imageQuality = 1;
    int threads = 1;  // the context's
};

namespace detail {

inline Matrix3 RandomMatrix(ByteStream& in, float scale, bool modest) {
    Matrix3 m = Matrix3::Identity;
    switch (in.Below(6)) {
    case 0:
        break;
    case 1:  // translation
        m.M[6] = in.Range(-scale, scale), m.M[7] = in.Range(-scale, scale);
        break;
    case 2: {  // rotation and scale about the origin, then a shift
        const float angle = in.Range(-4, 4), s = in.Range(0.05f, 4);
        m.M[0] = s * std::cos(angle), m.M[1] = s * std::sin(angle);
        m.M[3] = -m.M[1], m.M[4] = m.M[0];
        m.M[6] = in.Range(-scale, scale), m.M[7] = in.Range(-scale, scale);
        break;
    }
    case 3:  // anything, singular ones included
        for (int i : {0, 1, 3, 4})
            m.M[i] = in.OneIn(5) ? 0 : in.Range(-3, 3);
        m.M[6] = in.Range(-scale, scale), m.M[7] = in.Range(-scale, scale);
        break;
    case 4:  // a huge magnification
        m.M[0] = m.M[4] = modest ? 2 : in.Range(10, 100);
        m.M[6] = in.Range(-scale, scale), m.M[7] = in.Range(-scale, scale);
        break;
    default:  // a mirror
        m.M[0] = -1, m.M[6] = in.Range(0, 2 * scale);
        break;
    }
    return m;
}

inline PaintSpec RandomPaint(ByteStream& in, int width, int height) {
    PaintSpec p;
    p.kind = int(in.Below(4));
    auto color = [&] {
        Color c{in.Unit(), in.Unit(), in.Unit(), in.OneIn(3) ? 1.0f : in.Unit()};
        if (in.OneIn(20))
            c.R = in.Range(-1, 3);  // wraps like any out-of-range component
        return c;
    };
    p.color = color();
    const float w = float(width), h = float(height);
    p.geometry[0] = in.Range(-w, 2 * w), p.geometry[1] = in.Range(-h, 2 * h);
    p.geometry[2] = in.Range(-w, 2 * w), p.geometry[3] = in.Range(-h, 2 * h);
    p.geometry[4] = in.Range(0, w);
    if (p.kind == 2) {  // radial: centre, radius, focus
        p.geometry[2] = in.OneIn(8) ? 0 : in.Range(0, w + h);
        p.geometry[3] = p.geometry[0] + in.Range(-w, w) / 2;
        p.geometry[4] = p.geometry[1] + in.Range(-h, h) / 2;
    }
    for (unsigned n = in.Below(5); n; --n)
        p.stops.push_back(ColorStop{in.Range(-0.2f, 1.2f), color()});
    p.spread = SpreadMode(in.Below(3));
    p.imageWidth = 1 + int(in.Below(7));
    p.imageHeight = 1 + int(in.Below(7));
    for (int i = 0; i < p.imageWidth * p.imageHeight * 4; ++i)
        p.image.push_back(in.Byte());
    p.tiling = TilingMode(in.Below(4));
    return p;
}

// Mostly about the surface, sometimes far away: within the rasterizer's
// reach (not millions of rows, which AGG cannot store), or beyond the clipping.
inline float Coordinate(ByteStream& in, float extent, bool far, bool beyond = true) {
    switch (far ? in.Below(17) : 2 + in.Below(14)) {
    case 16:  // draws nothing on either road
        return in.OneIn(2) ? NAN : INFINITY;
    case 0:
        return in.Range(-20000, 20000);
    case 1:
        // A curve's flattening would pass through the reach on the way.
        return beyond ? in.Range(4.3e6f, 1e7f) * (in.OneIn(2) ? -1 : 1) : in.Range(-20000, 20000);
    case 2:
        return std::floor(in.Range(-extent / 2, extent * 1.5f));
    default:
        return in.Range(-extent / 2, extent * 1.5f);
    }
}

// Within the cells AGG's rasterizer stores, beyond which the reference road
// goes wrong: dashed and wide strokes (`heavy`) get short paths of near coordinates.
inline void RandomPath(ByteStream& in, Scene& s, bool heavy) {
    const float w = float(s.width), h = float(s.height);
    const bool far = !heavy && in.OneIn(8);
    for (unsigned n = 1 + in.Below(12); n; --n) {
        const unsigned kind = in.Below(10);
        if (kind == 0) {
            s.commands.push_back(PathCommands::Close);
        } else if (kind <= 5) {
            s.commands.push_back(kind <= 2 ? PathCommands::MoveTo : PathCommands::LineTo);
            s.data.insert(s.data.end(), {Coordinate(in, w, far), Coordinate(in, h, far)});
        } else if (kind == 6) {
            s.commands.push_back(PathCommands::QuadTo);
            for (int i = 0; i < 2; ++i)
                s.data.insert(s.data.end(), {Coordinate(in, w, far, false), Coordinate(in, h, far, false)});
        } else if (kind == 7) {
            s.commands.push_back(PathCommands::CubicTo);
            for (int i = 0; i < 3; ++i)
                s.data.insert(s.data.end(), {Coordinate(in, w, far, false), Coordinate(in, h, far, false)});
        } else if (kind == 8) {
            s.commands.push_back(in.OneIn(2) ? PathCommands::LCwArcTo : PathCommands::SCcwArcTo);
            s.data.insert(s.data.end(), {in.Range(0, w), in.Range(0, h), in.Range(-3, 3),
                                         Coordinate(in, w, far, false), Coordinate(in, h, far, false)});
        } else if (!heavy) {
            // Many short edges: a ragged polygon of a few hundred points.
            const float cx = Coordinate(in, w, far), cy = Coordinate(in, h, far), r = in.Range(0, w + h);
            const unsigned points = 3 + in.Below(300);
            s.commands.push_back(PathCommands::MoveTo);
            s.data.insert(s.data.end(), {cx + r, cy});
            for (unsigned i = 1; i < points; ++i) {
                const float radius = r * (0.3f + 0.7f * float((i * 2654435761u) % 1000) / 1000.0f);
                const float angle = 6.2831853f * float(i) / float(points) * (in.OneIn(50) ? 3 : 1);
                s.commands.push_back(PathCommands::LineTo);
                s.data.insert(s.data.end(), {cx + radius * std::cos(angle), cy + radius * std::sin(angle)});
            }
        }
    }
}

}  // namespace detail

inline Scene RandomScene(ByteStream& in) {
    Scene s;
    const bool large = in.OneIn(8);
    s.width = 1 + int(in.Below(large ? 400 : 64));
    s.height = 1 + int(in.Below(large ? 300 : 64));
    const uint8_t seed = in.Byte();
    s.backdrop.resize(size_t(s.width) * s.height * 4);
    uint32_t state = seed * 2654435761u + 1;
    for (uint8_t& byte : s.backdrop) {
        state = state * 1664525u + 1013904223u;
        byte = uint8_t(state >> 24);
    }
    s.origin = in.OneIn(2) ? Origin::TopLeft : Origin::BottomLeft;
    s.blend = BlendMode(in.Below(10));
    s.scissoring = in.OneIn(4);
    for (unsigned n = in.Below(4); n; --n)
        s.scissors.push_back(IntRectangle{int(in.Below(unsigned(s.width + 20))) - 10,
                                          int(in.Below(unsigned(s.height + 20))) - 10, int(in.Below(80)) - 5,
                                          int(in.Below(80)) - 5});
    const float extent = float(s.width + s.height);
    s.filled = !in.OneIn(4);
    s.stroked = !s.filled || in.OneIn(2);
    s.rule = FillRule(in.Below(2));
    s.fillSpec = detail::RandomPaint(in, s.width, s.height);
    s.strokeSpec = detail::RandomPaint(in, s.width, s.height);
    s.miterLimit = in.Range(0, 12);
    s.cap = CapStyle(in.Below(3));
    s.join = JoinStyle(in.Below(3));
    if (in.OneIn(3)) {
        // Gaps of half a pixel or more keep the number of dashes in bounds.
        for (unsigned n = 1 + in.Below(4); n; --n)
            s.dashes.push_back(Dash{in.Range(0, 20), in.Range(0.5f, 20)});
        s.dashPhase = in.Range(-30, 30);
    }
    s.lineWidth = s.dashes.empty() && in.OneIn(10) ? in.Range(0, 2000) : in.Range(0, 12);
    const bool heavy = s.stroked && (!s.dashes.empty() || s.lineWidth > 12);
    s.path = in.OneIn(2) ? Matrix3::Identity : detail::RandomMatrix(in, extent, heavy);
    s.fillPaint = detail::RandomMatrix(in, extent, false);
    s.strokePaint = detail::RandomMatrix(in, extent, false);
    s.image = detail::RandomMatrix(in, extent, false);
    detail::RandomPath(in, s, heavy);
    return s;
}

inline std::shared_ptr<GradientPaint> MakeGradient(const PaintSpec& p, const std::shared_ptr<Context2D>& context) {
    const float* g = p.geometry;
    std::shared_ptr<GradientPaint> gradient;
    if (p.kind == 1)
        gradient = std::make_shared<LinearGradientPaint>(context, g[0], g[1], g[2], g[3]);
    else
        gradient = std::make_shared<RadialGradientPaint>(context, g[0], g[1], g[2], g[3], g[4]);
    gradient->ColorStops = p.stops;
    gradient->ColorRampSpreadMode = p.spread;
    return gradient;
}

inline std::shared_ptr<Paint> MakePaint(const PaintSpec& p, const std::shared_ptr<Context2D>& context,
                                        std::shared_ptr<Image>& keep, std::vector<uint8_t>& imageBytes) {
    switch (p.kind) {
    case 0:
        return std::make_shared<ColorPaint>(context, p.color);
    case 1:
    case 2:
        return MakeGradient(p, context);
    default: {
        imageBytes = p.image;
        keep = std::make_shared<Image>(context, p.imageFormat, p.imageWidth, p.imageHeight,
                                       p.imageStride ? p.imageStride : p.imageWidth * 4, imageBytes.data());
        auto paint = std::make_shared<ImagePaint>(context, keep);
        paint->ImageTilingMode = p.tiling;
        paint->TileColor = p.color;
        return paint;
    }
    }
}

// A scene's objects on a surface over `pixels`, to be drawn once or again.
struct Drawing {
    Drawing(const Scene& s, uint8_t* pixels)
        : scene(s), surface(orv_surface_create_for_data(s.width, s.height, s.format, s.width * BytesPerPixel(s.format), pixels),
                            orv_surface_destroy),
          context(std::make_shared<Context2D>(surface.get())), path(context) {
        RenderState& state = *context->renderState;
        state.origin = s.origin;
        state.blendMode = s.blend;
        state.scissoringEnabled = s.scissoring;
        state.scissorRectangles = s.scissors;
        state.imageQuality = s.imageQuality;
        context->transforms->path->Set(s.path);
        context->transforms->fillPaint->Set(s.fillPaint);
        context->transforms->strokePaint->Set(s.strokePaint);
        context->transforms->image->Set(s.image);
        context->SetThreads(s.threads);
        if (s.filled) {
            fill = std::make_shared<FillState>();
            fill->Paint(MakePaint(s.fillSpec, context, fillImage, fillBytes));
            fill->FillRule(s.rule);
        }
        if (s.stroked) {
            stroke = std::make_shared<StrokeState>();
            stroke->Paint(MakePaint(s.strokeSpec, context, strokeImage, strokeBytes));
            stroke->LineWidth(s.lineWidth);
            stroke->MiterLimit(s.miterLimit);
            stroke->CapStyle(s.cap);
            stroke->JoinStyle(s.join);
            stroke->dashPattern = s.dashes;
            stroke->DashPhase(s.dashPhase);
        }
        path.AppendData(s.commands, s.data);
        for (const agg::vertex_d& v : s.vertices)
            Internals::StorageOf(path).vertices().add_vertex(v.x, v.y, v.cmd);
    }
    // The passes clipped, as DrawPath counts them.
    unsigned Draw(bool plainRoad) {
        if (scene.clipped) {
            context->transforms->path->Set(scene.clipPath);
            Path clip(context);
            clip.AppendData(scene.clipCommands, scene.clipData);
            clip.Clip(scene.clipRule, scene.clipOperation);
            context->transforms->path->Set(scene.path);
        }
        if (scene.layered)
            context->PushLayer(scene.layerOpacity, scene.layerMode);
        const unsigned clipped = DrawPath(path, fill, stroke, plainRoad ? DrawRoad::Reference : DrawRoad::Library);
        if (scene.layered)
            context->PopLayer();
        return clipped;
    }

    const Scene& scene;
    const std::unique_ptr<orv_surface, void (*)(orv_surface*)> surface;
    const std::shared_ptr<Context2D> context;
    Path path;
    std::shared_ptr<Image> fillImage, strokeImage;
    std::vector<uint8_t> fillBytes, strokeBytes;
    std::shared_ptr<FillState> fill;
    std::shared_ptr<StrokeState> stroke;
};

// The surface bytes drawn on a copy of the backdrop, and the passes clipped; exceptions pass through.
inline std::vector<uint8_t> Draw(const Scene& s, bool plainRoad, unsigned* clippedPasses = nullptr) {
    std::vector<uint8_t> pixels = s.backdrop;
    pixels.resize(size_t(s.width) * size_t(s.height) * BytesPerPixel(s.format));
    {
        Drawing drawing(s, pixels.data());
        const unsigned clipped = drawing.Draw(plainRoad);
        if (clippedPasses)
            *clippedPasses = clipped;
        drawing.context->Finish();
    }
    return pixels;
}

// A clip, a layer and the image quality for a scene, from the stream: the
// road fuzzer's scenes meet all three (the hashed scenes keep none).
inline void RandomClipAndLayer(ByteStream& in, Scene& s) {
    s.clipped = in.OneIn(2);
    if (s.clipped) {
        Scene shape;
        shape.width = s.width, shape.height = s.height;
        detail::RandomPath(in, shape, false);
        s.clipCommands = shape.commands, s.clipData = shape.data;
        s.clipPath = detail::RandomMatrix(in, float(s.width + s.height), false);
        s.clipRule = FillRule(in.Below(2));
        s.clipOperation = ClipOperation(in.Below(2));
    }
    s.layered = in.OneIn(3);
    s.layerOpacity = in.Range(-0.2f, 1.2f);
    s.layerMode = BlendMode(in.Below(10));
    s.imageQuality = in.OneIn(2) ? ImageQualityHigh : 1;
}

// Empty when both roads agree, else what differs first; compared only where
// both clipped the same passes (beyond AGG's limits the reference road clips).
inline std::string CompareRoads(const Scene& scene) {
    std::vector<uint8_t> own, plain;
    unsigned ownClipped = 0, plainClipped = 0;
    auto threw = [&](bool plainRoad, std::vector<uint8_t>& pixels, unsigned& clipped) {
        try {
            pixels = Draw(scene, plainRoad, &clipped);
            return false;
        } catch (const std::exception&) {
            return true;
        }
    };
    const bool ownThrew = threw(false, own, ownClipped), plainThrew = threw(true, plain, plainClipped);
    if (ownThrew != plainThrew)
        return ownThrew ? "only the library's road threw" : "only the reference road threw";
    if (ownClipped != plainClipped)
        return std::string();
    for (size_t i = 0; i < own.size(); ++i)
        if (own[i] != plain[i])
            return "byte " + std::to_string(i) + " (pixel " + std::to_string(i / 4 % size_t(scene.width)) + ", " +
                   std::to_string(i / 4 / size_t(scene.width)) + "): own " + std::to_string(own[i]) + ", plain " +
                   std::to_string(plain[i]);
    return std::string();
}

}  // namespace RoadScenes

#endif
