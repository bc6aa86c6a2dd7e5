// The gallery: renders every capability of the library into PNG files, one
// file per theme, each a grid of cells. Usage: gallery [output directory].
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vudadive2r.hpp"

using namespace ORV::Vudadive2R;

namespace {

constexpr int kCell = 160;
constexpr int kGap = 8;
constexpr float kPi = 3.14159265f;

Color Rgba(int r, int g, int b, float a = 1.0f) { return Color{r / 255.0f, g / 255.0f, b / 255.0f, a}; }

// One picture: an "AB24" surface with y = 0 at the top, cleared to a light
// background and divided into a grid of framed cells.
class Sheet {
public:
    Sheet(int columns, int rows)
        : width(kGap + columns * (kCell + kGap)), height(kGap + rows * (kCell + kGap)),
          surface(orv_surface_create(width, height, 0x34324241)),
          context(std::make_shared<Context2D>(surface)) {
        context->renderState->origin = Origin::TopLeft;
        context->ClearColor(Rgba(236, 238, 241));
        context->Clear();
    }

    ~Sheet() {
        context.reset();
        orv_surface_destroy(surface);
    }

    // Draws `draw` inside cell (column, row): the path transform is moved to
    // the cell's corner and restored afterwards, along with the render state.
    void Cell(int column, int row, const std::function<void(Sheet&)>& draw) {
        const float x = float(kGap + column * (kCell + kGap));
        const float y = float(kGap + row * (kCell + kGap));
        context->ClearColor(Color{1, 1, 1, 1});
        context->ClearRectangle(int(x), int(y), kCell, kCell);
        context->SetDefaultState();
        context->renderState->origin = Origin::TopLeft;
        cellX = x;
        cellY = y;
        Place(Matrix3::Identity);
        draw(*this);
        context->SetDefaultState();
        context->renderState->origin = Origin::TopLeft;
    }

    // Sets the path transform to `local` followed by the move to the cell.
    // Operations composed onto a transform apply after it, so a rotation or
    // scale about the cell's own origin has to be placed this way.
    void Place(const Matrix3& local) {
        Matrix3 placed;
        Matrix3::Multiply(local, Matrix3::CreateTranslation(cellX, cellY), placed);
        context->transforms->path->Set(placed);
    }

    void Fill(PathBuilder& builder, Color color, FillRule rule = FillRule::NonZero) {
        auto fill = std::make_shared<FillState>();
        fill->Paint(std::make_shared<ColorPaint>(context, color));
        fill->FillRule(rule);
        builder.ToPath(context)->Draw(fill, nullptr);
    }

    void Stroke(PathBuilder& builder, Color color, float width, CapStyle cap = CapStyle::Butt,
                JoinStyle join = JoinStyle::Miter, float miterLimit = 4.0f, std::vector<Dash> dashes = {},
                float phase = 0.0f) {
        auto stroke = std::make_shared<StrokeState>();
        stroke->Paint(std::make_shared<ColorPaint>(context, color));
        stroke->LineWidth(width);
        stroke->CapStyle(cap);
        stroke->JoinStyle(join);
        stroke->MiterLimit(miterLimit);
        stroke->DashPhase(phase);
        stroke->dashPattern = dashes;
        builder.ToPath(context)->Draw(nullptr, stroke);
    }

    // Saves memory row 0 as the top of the file. The surface holds
    // premultiplied colour; the file wants straight alpha.
    void Save(const std::string& path) {
        context->Finish();
        orv_mapping* mapping = orv_surface_create_mapping(surface, 2);
        const unsigned char* data = static_cast<const unsigned char*>(orv_mapping_sync_start(mapping));
        const int stride = orv_mapping_stride_get(mapping);
        std::vector<unsigned char> straight(size_t(width) * height * 4);
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column) {
                const unsigned char* in = data + size_t(row) * stride + size_t(column) * 4;
                unsigned char* out = &straight[(size_t(row) * width + column) * 4];
                for (int c = 0; c < 3; ++c)
                    out[c] = in[3] ? (unsigned char)std::min(255, (in[c] * 255 + in[3] / 2) / in[3]) : 0;
                out[3] = in[3];
            }
        orv_mapping_sync_end(mapping);
        orv_mapping_destroy(mapping);
        Image image(context, 0x34324152, width, height, width * 4, straight.data());
        PngImage::Save(&image, path.c_str());
        std::printf("wrote %s\n", path.c_str());
    }

    int width, height;
    float cellX = 0, cellY = 0;
    orv_surface* surface;
    std::shared_ptr<Context2D> context;
};

void Star(PathBuilder& builder, float cx, float cy, float radius) {
    for (int i = 0; i < 5; ++i) {
        const float angle = -kPi / 2 + i * 4 * kPi / 5;
        const float x = cx + radius * std::cos(angle), y = cy + radius * std::sin(angle);
        if (i == 0)
            builder.MoveTo(x, y);
        else
            builder.LineTo(x, y);
    }
    builder.Close();
}

void DrawFills(const std::string& directory) {
    Sheet sheet(4, 1);
    const FillRule rules[] = {FillRule::EvenOdd, FillRule::NonZero};
    for (int i = 0; i < 2; ++i) {
        // A five-pointed star: even-odd leaves the pentagon open.
        sheet.Cell(i, 0, [&](Sheet& s) {
            PathBuilder star;
            Star(star, 80, 84, 70);
            s.Fill(star, Rgba(40, 90, 200), rules[i]);
        });
        // Two overlapping rings, both clockwise: even-odd cuts the overlap.
        sheet.Cell(2 + i, 0, [&](Sheet& s) {
            PathBuilder rings;
            rings.Ellipse(60, 80, 90, 90);
            rings.Ellipse(100, 80, 90, 90);
            rings.Rectangle(20, 130, 120, 16);
            s.Fill(rings, Rgba(220, 90, 40), rules[i]);
        });
    }
    sheet.Save(directory + "/fills.png");
}

void DrawStrokes(const std::string& directory) {
    Sheet sheet(3, 2);
    const CapStyle caps[] = {CapStyle::Butt, CapStyle::Round, CapStyle::Square};
    const JoinStyle joins[] = {JoinStyle::Miter, JoinStyle::Round, JoinStyle::Bevel};
    for (int i = 0; i < 3; ++i) {
        // Row 0: the three caps on open lines, with the centre line drawn thin.
        sheet.Cell(i, 0, [&](Sheet& s) {
            for (int line = 0; line < 3; ++line) {
                PathBuilder builder;
                builder.Line(40, 35 + line * 45.0f, 120, 35 + line * 45.0f);
                s.Stroke(builder, Rgba(30, 30, 30), 10.0f + line * 6, caps[i]);
                s.Stroke(builder, Rgba(230, 60, 60), 1);
            }
        });
        // Row 1: the three joins on a zigzag, then a sharp angle whose
        // miter limit makes it fall back to a bevel.
        sheet.Cell(i, 1, [&](Sheet& s) {
            PathBuilder zigzag;
            zigzag.MoveTo(20, 70);
            zigzag.LineTo(55, 25);
            zigzag.LineTo(90, 70);
            zigzag.LineTo(125, 25);
            s.Stroke(zigzag, Rgba(40, 120, 80), 14, CapStyle::Butt, joins[i]);
            for (int k = 0; k < 2; ++k) {
                PathBuilder sharp;
                sharp.MoveTo(30 + k * 70.0f, 140);
                sharp.LineTo(55 + k * 70.0f, 95);
                sharp.LineTo(65 + k * 70.0f, 140);
                s.Stroke(sharp, Rgba(40, 80, 160), 8, CapStyle::Butt, joins[i], k == 0 ? 10.0f : 2.0f);
            }
        });
    }
    sheet.Save(directory + "/strokes.png");
}

void DrawDashes(const std::string& directory) {
    Sheet sheet(3, 1);
    sheet.Cell(0, 0, [](Sheet& s) {
        // Pattern {10, 5} at phases 0, 5, 10 and 15.
        for (int k = 0; k < 4; ++k) {
            PathBuilder line;
            line.Line(15, 25 + k * 35.0f, 145, 25 + k * 35.0f);
            s.Stroke(line, Rgba(30, 30, 30), 8, CapStyle::Butt, JoinStyle::Miter, 4, {{10, 5}}, 5.0f * k);
        }
    });
    sheet.Cell(1, 0, [](Sheet& s) {
        // Dash-dot with round caps, on a curve.
        PathBuilder curve;
        curve.MoveTo(15, 130);
        curve.CubicTo(40, 10, 120, 10, 145, 130);
        s.Stroke(curve, Rgba(200, 60, 120), 6, CapStyle::Round, JoinStyle::Round, 4, {{14, 7}, {1, 7}});
    });
    sheet.Cell(2, 0, [](Sheet& s) {
        // Dashes follow a closed outline and its corners.
        PathBuilder shapes;
        shapes.RoundRectangle(20, 20, 120, 120, 40, 40);
        shapes.Ellipse(80, 80, 60, 60);
        s.Stroke(shapes, Rgba(40, 110, 190), 4, CapStyle::Square, JoinStyle::Miter, 4, {{12, 6}});
    });
    sheet.Save(directory + "/dashes.png");
}

void DrawBlendModes(const std::string& directory) {
    Sheet sheet(5, 2);
    const char* names[] = {"Source", "SourceOver", "DestinationOver", "SourceIn", "DestinationIn",
                           "Multiply", "Screen", "Darken", "Lighten", "Plus"};
    for (int mode = 0; mode < 10; ++mode) {
        sheet.Cell(mode % 5, mode / 5, [&](Sheet& s) {
            // Backdrop: an opaque teal square and a half-transparent yellow bar.
            PathBuilder square;
            square.Rectangle(20, 20, 90, 90);
            s.Fill(square, Rgba(30, 150, 150));
            PathBuilder bar;
            bar.Rectangle(20, 120, 120, 25);
            s.Fill(bar, Rgba(240, 200, 40, 0.5f));
            // Layer: a half-transparent red disc under the blend mode.
            s.context->renderState->blendMode = BlendMode(mode);
            PathBuilder disc;
            disc.Ellipse(100, 95, 90, 90);
            s.Fill(disc, Rgba(230, 40, 40, 0.5f));
        });
        (void)names;
    }
    sheet.Save(directory + "/blend-modes.png");
}

void DrawScissors(const std::string& directory) {
    Sheet sheet(3, 1);
    const std::vector<std::vector<IntRectangle>> lists = {
        {},
        {{20, 20, 60, 60}},
        {{20, 20, 80, 50}, {60, 50, 80, 80}},
    };
    for (int i = 0; i < 3; ++i) {
        sheet.Cell(i, 0, [&](Sheet& s) {
            // Clip boxes are in surface pixels: offset them to the cell.
            const int x = kGap + i * (kCell + kGap), y = kGap;
            for (const IntRectangle& r : lists[i])
                s.context->renderState->scissorRectangles.push_back({r.X + x, r.Y + y, r.Width, r.Height});
            s.context->renderState->scissoringEnabled = true;
            PathBuilder disc;
            disc.Ellipse(80, 80, 150, 150);
            // Half-transparent: overlapping boxes composite twice.
            s.Fill(disc, Rgba(120, 60, 200, 0.5f));
        });
    }
    sheet.Save(directory + "/scissors.png");
}

void DrawTransforms(const std::string& directory) {
    Sheet sheet(4, 1);
    auto arrow = [](PathBuilder& builder) {
        builder.MoveTo(0, -10);
        builder.LineTo(40, -10);
        builder.LineTo(40, -22);
        builder.LineTo(64, 0);
        builder.LineTo(40, 22);
        builder.LineTo(40, 10);
        builder.LineTo(0, 10);
        builder.Close();
    };
    sheet.Cell(0, 0, [&](Sheet& s) {
        // Rotation about the cell centre in 30 degree steps.
        for (int k = 0; k < 12; ++k) {
            Matrix3 local;
            Matrix3::Multiply(Matrix3::CreateRotation(k * kPi / 6), Matrix3::CreateTranslation(80, 80), local);
            s.Place(local);
            PathBuilder builder;
            builder.Rectangle(14, -4, 56, 8);
            s.Fill(builder, Rgba(40 + 15 * k, 80, 200 - 12 * k));
        }
    });
    sheet.Cell(1, 0, [&](Sheet& s) {
        // Scaling: the stroke width stays one pixel wide.
        for (int k = 0; k < 3; ++k) {
            const float scale = 0.6f + k * 0.5f;
            Matrix3 local;
            Matrix3::Multiply(Matrix3::CreateScale(scale, scale), Matrix3::CreateTranslation(20, k == 0 ? 18.0f : k == 1 ? 56.0f : 116.0f), local);
            s.Place(local);
            PathBuilder builder;
            arrow(builder);
            s.Stroke(builder, Rgba(30, 30, 30), 1);
        }
    });
    sheet.Cell(2, 0, [&](Sheet& s) {
        // Curves are flattened before the transform: a circle of radius 1
        // scaled by 35 shows its segments; one of radius 35 is smooth.
        Matrix3 local;
        Matrix3::Multiply(Matrix3::CreateScale(35, 35), Matrix3::CreateTranslation(42, 80), local);
        s.Place(local);
        PathBuilder small;
        small.Ellipse(0, 0, 2, 2);
        s.Fill(small, Rgba(200, 80, 40));
        s.Place(Matrix3::CreateTranslation(118, 80));
        PathBuilder large;
        large.Ellipse(0, 0, 70, 70);
        s.Fill(large, Rgba(40, 140, 80));
    });
    sheet.Cell(3, 0, [&](Sheet& s) {
        // A flag drawn with both origins: with y = 0 at the bottom row the
        // same coordinates come out upside down at the foot of the surface,
        // so it is placed to land in the lower half of this cell.
        auto flag = [](PathBuilder& builder) {
            builder.Rectangle(0, 0, 5, 60);
            builder.MoveTo(5, 0);
            builder.LineTo(50, 12);
            builder.LineTo(5, 24);
            builder.Close();
        };
        PathBuilder builder;
        flag(builder);
        s.Place(Matrix3::CreateTranslation(50, 12));
        s.Fill(builder, Rgba(40, 90, 200));
        s.context->renderState->origin = Origin::BottomLeft;
        s.context->transforms->path->Set(Matrix3::CreateTranslation(s.cellX + 50, float(s.height) - s.cellY - 148));
        s.Fill(builder, Rgba(220, 90, 40));
    });
    sheet.Save(directory + "/transforms.png");
}

void DrawShapes(const std::string& directory) {
    Sheet sheet(4, 2);
    const Color ink = Rgba(40, 70, 150);
    const Color line = Rgba(20, 20, 20);
    sheet.Cell(0, 0, [&](Sheet& s) {
        PathBuilder b;
        b.Rectangle(20, 20, 120, 50);
        b.RoundRectangle(20, 90, 120, 50, 30, 30);
        s.Fill(b, ink);
    });
    sheet.Cell(1, 0, [&](Sheet& s) {
        PathBuilder b;
        b.Ellipse(80, 50, 120, 60);
        b.Ellipse(80, 120, 50, 50);
        s.Fill(b, Rgba(200, 80, 40));
    });
    const ArcType types[] = {ArcType::Open, ArcType::Chord, ArcType::Pie};
    for (int i = 0; i < 3; ++i) {
        sheet.Cell(2 + (i == 2 ? -2 : i), i == 2 ? 1 : 0, [&](Sheet& s) {
            PathBuilder b;
            b.Arc(80, 80, 120, 120, -kPi / 4, 1.3f * kPi, types[i]);
            s.Fill(b, Rgba(240, 190, 60));
            s.Stroke(b, line, 3, CapStyle::Round, JoinStyle::Round);
        });
    }
    sheet.Cell(1, 1, [&](Sheet& s) {
        // Quadratic and cubic curves with their smooth continuations.
        PathBuilder b;
        b.MoveTo(15, 60);
        b.QuadTo(45, 10, 75, 60);
        b.SQuadTo(135, 60);
        b.MoveTo(15, 140);
        b.CubicTo(30, 90, 60, 90, 75, 120);
        b.SCubicTo(130, 150, 145, 100);
        s.Stroke(b, line, 3, CapStyle::Round);
    });
    sheet.Cell(2, 1, [&](Sheet& s) {
        // The four elliptical arcs between the same two points.
        const Color colors[] = {Rgba(220, 60, 60), Rgba(60, 160, 60), Rgba(60, 90, 220), Rgba(200, 140, 30)};
        for (int k = 0; k < 4; ++k) {
            PathBuilder b;
            b.MoveTo(55, 65);
            switch (k) {
            case 0: b.SCcwArcTo(40, 30, 0, 105, 95); break;
            case 1: b.SCwArcTo(40, 30, 0, 105, 95); break;
            case 2: b.LCcwArcTo(40, 30, 0, 105, 95); break;
            default: b.LCwArcTo(40, 30, 0, 105, 95); break;
            }
            s.Stroke(b, colors[k], 3);
        }
    });
    sheet.Cell(3, 1, [&](Sheet& s) {
        // Relative commands: a staircase and a rotated elliptical arc.
        PathBuilder b;
        b.MoveTo(15, 145);
        for (int k = 0; k < 5; ++k) {
            b.VLineToRel(-20);
            b.HLineToRel(20);
        }
        b.MoveTo(30, 50);
        b.SCcwArcToRel(50, 20, kPi / 6, 90, 0);
        s.Stroke(b, line, 3, CapStyle::Square, JoinStyle::Miter);
    });
    sheet.Save(directory + "/shapes.png");
}

// Clears of each format the context handles, shown side by side: the
// "RG16" cell is expanded to bytes for the picture.
void DrawClears(const std::string& directory) {
    Sheet sheet(3, 1);
    const uint32_t formats[] = {0x34324241, 0x34324152, 0x36314752};
    for (int i = 0; i < 3; ++i) {
        const int bytes = formats[i] == 0x36314752 ? 2 : 4;
        std::vector<unsigned char> memory(size_t(kCell) * kCell * bytes);
        // Bottom-up memory (negative stride) for the "RA24" surface.
        const int stride = (i == 1 ? -1 : 1) * kCell * bytes;
        orv_surface* surface = orv_surface_create_for_data(kCell, kCell, formats[i], stride, memory.data());
        {
            Context2D context(surface);
            context.ClearColor(Rgba(40, 40, 60));
            context.Clear();
            const Color colors[] = {Rgba(230, 60, 60), Rgba(60, 180, 90), Rgba(60, 110, 230), Rgba(250, 200, 40)};
            for (int k = 0; k < 4; ++k) {
                context.ClearColor(colors[k]);
                context.ClearRectangle(15 + k * 25, 15 + k * 25, 70, 70);
            }
            context.Finish();
        }
        orv_surface_destroy(surface);
        sheet.Cell(i, 0, [&](Sheet& s) {
            orv_mapping* mapping = orv_surface_create_mapping(s.surface, 2);
            unsigned char* out = static_cast<unsigned char*>(orv_mapping_sync_start(mapping));
            const int outStride = orv_mapping_stride_get(mapping);
            const int x0 = kGap + i * (kCell + kGap), y0 = kGap;
            for (int row = 0; row < kCell; ++row) {
                // Row r of the cleared surface, as the clear addressed it.
                const unsigned char* in = memory.data() + size_t(stride >= 0 ? row : kCell - 1 - row) * kCell * bytes;
                for (int column = 0; column < kCell; ++column) {
                    unsigned char* pixel = out + size_t(y0 + row) * outStride + size_t(x0 + column) * 4;
                    if (bytes == 4) {
                        std::memcpy(pixel, in + column * 4, 4);
                    } else {
                        uint16_t packed;
                        std::memcpy(&packed, in + column * 2, 2);
                        pixel[0] = uint8_t((packed >> 8) & 0xF8);
                        pixel[1] = uint8_t((packed >> 3) & 0xFC);
                        pixel[2] = uint8_t((packed << 3) & 0xF8);
                        pixel[3] = 255;
                    }
                }
            }
            orv_mapping_sync_end(mapping);
            orv_mapping_destroy(mapping);
        });
    }
    sheet.Save(directory + "/clears.png");
}

// Linear and radial gradients in every spread mode, a moved focus, stops
// out of order, gradients on strokes and under a rotated paint transform.
void DrawGradients(const std::string& directory) {
    Sheet sheet(4, 3);
    const std::vector<ColorStop> sunset{{0, Rgba(250, 210, 60)}, {0.5f, Rgba(230, 80, 60)}, {1, Rgba(60, 40, 120)}};
    const std::vector<ColorStop> rainbow{{1, Rgba(140, 40, 200)}, {0, Rgba(230, 40, 40)}, {0.5f, Rgba(60, 190, 80)},
                                         {0.25f, Rgba(250, 200, 40)}, {0.75f, Rgba(40, 120, 230)}};
    auto ramp = [](std::shared_ptr<GradientPaint> paint, const std::vector<ColorStop>& stops, SpreadMode spread) {
        paint->ColorStops = stops;
        paint->ColorRampSpreadMode = spread;
        return paint;
    };
    auto linear = [&](Sheet& s, const std::vector<ColorStop>& stops, SpreadMode spread, float x0, float y0, float x1,
                      float y1) { return ramp(std::make_shared<LinearGradientPaint>(s.context, x0, y0, x1, y1), stops, spread); };
    auto radial = [&](Sheet& s, const std::vector<ColorStop>& stops, SpreadMode spread, float cx, float cy,
                      float radius, float fx, float fy) {
        return ramp(std::make_shared<RadialGradientPaint>(s.context, cx, cy, radius, fx, fy), stops, spread);
    };
    auto filled = [](const std::shared_ptr<Paint>& paint) {
        auto state = std::make_shared<FillState>();
        state->Paint(paint);
        return state;
    };
    auto stroked = [](const std::shared_ptr<Paint>& paint, float width) {
        auto state = std::make_shared<StrokeState>();
        state->Paint(paint);
        state->LineWidth(width);
        return state;
    };
    auto fill = [&](Sheet& s, const std::shared_ptr<Paint>& paint, PathBuilder& builder) {
        builder.ToPath(s.context)->Draw(filled(paint), nullptr);
    };
    auto square = [&](Sheet& s, const std::shared_ptr<Paint>& paint) {
        PathBuilder builder;
        builder.Rectangle(10, 10, 140, 140);
        fill(s, paint, builder);
    };
    struct Picture {
        const char* label;
        std::function<void(Sheet&)> draw;
    };
    const Picture pictures[] = {
        {"linear, pad", [&](Sheet& s) { square(s, linear(s, sunset, SpreadMode::Pad, 50, 50, 110, 110)); }},
        {"linear, reflect", [&](Sheet& s) { square(s, linear(s, sunset, SpreadMode::Reflect, 50, 50, 110, 110)); }},
        {"linear, repeat", [&](Sheet& s) { square(s, linear(s, sunset, SpreadMode::Repeat, 50, 50, 110, 110)); }},
        {"stops out of order",
         [&](Sheet& s) {
             PathBuilder builder;
             builder.RoundRectangle(10, 40, 140, 80, 30, 30);
             fill(s, linear(s, rainbow, SpreadMode::Pad, 10, 0, 150, 0), builder);
         }},
        {"radial, pad", [&](Sheet& s) { square(s, radial(s, sunset, SpreadMode::Pad, 80, 80, 40, 80, 80)); }},
        {"radial, reflect", [&](Sheet& s) { square(s, radial(s, sunset, SpreadMode::Reflect, 80, 80, 40, 80, 80)); }},
        {"radial, repeat", [&](Sheet& s) { square(s, radial(s, sunset, SpreadMode::Repeat, 80, 80, 40, 80, 80)); }},
        {"moved focus",
         [&](Sheet& s) {
             PathBuilder builder;
             builder.Ellipse(80, 80, 140, 140);
             fill(s, radial(s, {{0, Rgba(255, 255, 255)}, {1, Rgba(30, 90, 200)}}, SpreadMode::Pad, 80, 80, 70, 110,
                            50),
                  builder);
         }},
        {"stroked, linear",
         [&](Sheet& s) {
             PathBuilder builder;
             Star(builder, 80, 84, 62);
             auto stroke = stroked(linear(s, rainbow, SpreadMode::Pad, 20, 20, 140, 140), 12);
             stroke->JoinStyle(JoinStyle::Round);
             builder.ToPath(s.context)->Draw(nullptr, stroke);
         }},
        {"dashed, radial",
         [&](Sheet& s) {
             PathBuilder builder;
             builder.Ellipse(80, 80, 120, 120);
             auto stroke = stroked(radial(s, sunset, SpreadMode::Reflect, 80, 80, 12, 80, 80), 16);
             stroke->dashPattern = {{20, 8}};
             builder.ToPath(s.context)->Draw(nullptr, stroke);
         }},
        {"rotated paint",
         [&](Sheet& s) {
             Matrix3 step, rotated;
             Matrix3::Multiply(Matrix3::CreateTranslation(-80, -80), Matrix3::CreateRotation(kPi / 6), step);
             Matrix3::Multiply(step, Matrix3::CreateTranslation(80, 80), rotated);
             s.context->transforms->fillPaint->Set(rotated);
             square(s, linear(s, sunset, SpreadMode::Reflect, 60, 0, 100, 0));
         }},
        {"fill and stroke",
         [&](Sheet& s) {
             PathBuilder builder;
             builder.Ellipse(80, 80, 120, 120);
             builder.ToPath(s.context)->Draw(filled(radial(s, sunset, SpreadMode::Pad, 80, 80, 60, 60, 60)),
                                             stroked(linear(s, rainbow, SpreadMode::Repeat, 0, 0, 40, 40), 8));
         }},
    };
    for (int i = 0; i < 12; ++i)
        sheet.Cell(i % 4, i / 4, pictures[i].draw);
    sheet.Save(directory + "/gradients.png");
}

}  // namespace

int main(int argc, char** argv) {
    const std::string directory = argc > 1 ? argv[1] : "gallery";
    mkdir(directory.c_str(), 0755);
    try {
        DrawFills(directory);
        DrawStrokes(directory);
        DrawDashes(directory);
        DrawBlendModes(directory);
        DrawScissors(directory);
        DrawTransforms(directory);
        DrawShapes(directory);
        DrawGradients(directory);
        DrawClears(directory);
    } catch (const Exception&) {
        std::fprintf(stderr, "gallery: drawing failed\n");
        return 1;
    }
    return 0;
}
