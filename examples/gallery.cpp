// The gallery: renders every capability of the library into PNG files, one
// file per theme, each a grid of cells. Usage: gallery [output directory].
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FontLookup.hpp"
#include "PlainIcon.hpp"
#include "vudadive2r.h"
#include "vudadive2r.hpp"

using namespace ORV::Vudadive2R;

namespace {

constexpr int kCell = 160;
constexpr int kGap = 8;
constexpr int kCaption = 34;  // a band under each cell for two lines of caption
constexpr float kPi = 3.14159265f;

Color Rgba(int r, int g, int b, float a = 1.0f) { return Color{r / 255.0f, g / 255.0f, b / 255.0f, a}; }

// The captions' font file, looked up once.
const std::string& CaptionFontPath() {
    static const std::string path = DejaVuSansPath();
    return path;
}

// One picture: an "AB24" surface with y = 0 at the top, cleared to a light
// background and divided into a grid of framed cells, each with a caption
// band below it.
class Sheet {
public:
    Sheet(int columns, int rows)
        : width(kGap + columns * (kCell + kGap)), height(kGap + rows * (kCell + kCaption + kGap)),
          surface(orv_surface_create(width, height, ZADOZI_FORMAT_AB24)),
          context(std::make_shared<Context2D>(surface)),
          captionFont(new Font(context, CaptionFontPath().c_str(), 12)) {
        context->renderState->origin = Origin::TopLeft;
        context->ClearColor(Rgba(236, 238, 241));
        context->Clear();
    }

    ~Sheet() {
        captionFont.reset();
        context.reset();
        orv_surface_destroy(surface);
    }

    static int CellX(int column) { return kGap + column * (kCell + kGap); }
    static int CellY(int row) { return kGap + row * (kCell + kCaption + kGap); }

    // Writes the caption under cell (column, row), centred; a '\n' starts
    // the second line.
    void Caption(int column, int row, const std::string& text) {
        context->SetDefaultState();
        context->renderState->origin = Origin::TopLeft;
        size_t start = 0;
        for (int line = 0; line < 2 && start <= text.size(); ++line) {
            const size_t end = std::min(text.find('\n', start), text.size());
            const std::string part = text.substr(start, end - start);
            const float length = captionFont->MeasureString(part.c_str());
            captionFont->DrawString(CellX(column) + int((kCell - length) / 2), CellY(row) + kCell + 14 + 14 * line,
                                    part.c_str(), Rgba(40, 44, 52));
            start = end + 1;
        }
    }

    // Draws text with its baseline starting at (x, y) of the current cell:
    // the glyph transform is `local` followed by the move there. The text is
    // single-byte (Latin-1) unless `utf8`.
    void Text(Font& font, float x, float y, const char* text, Color color, const Matrix3& local = Matrix3::Identity,
              bool utf8 = false) {
        Matrix3 placed;
        Matrix3::Multiply(local, Matrix3::CreateTranslation(cellX + x, cellY + y), placed);
        context->transforms->glyph->Set(placed);
        if (utf8)
            font.DrawStringUtf8(0, 0, text, color);
        else
            font.DrawString(0, 0, text, color);
        context->transforms->glyph->LoadIdentity();
    }

    // Hands `shade` the address of every pixel of cell (column, row), with
    // its position in the cell, for pictures composed by hand.
    void Paste(int column, int row, const std::function<void(int x, int y, unsigned char* pixel)>& shade) {
        unsigned char* data = context->surfaceMemory->Data();
        const int stride = context->surfaceMemory->Stride();
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x)
                shade(x, y, data + size_t(CellY(row) + y) * stride + size_t(CellX(column) + x) * 4);
    }

    // Draws `draw` inside cell (column, row): the path transform is moved to
    // the cell's corner and restored afterwards, along with the render state.
    void Cell(int column, int row, const std::function<void(Sheet&)>& draw) {
        const float x = float(CellX(column));
        const float y = float(CellY(row));
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

    void Fill(PathBuilder& builder, Color color, FillRule rule = FillRule::NonZero);

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
        orv_mapping* mapping = orv_surface_create_mapping(surface, ZADOZI_MAPPING_READ_WRITE);
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
        Image image(context, ZADOZI_FORMAT_RA24, width, height, width * 4, straight.data());
        PngImage::Save(&image, path.c_str());
        std::printf("wrote %s\n", path.c_str());
    }

    int width, height;
    float cellX = 0, cellY = 0;
    orv_surface* surface;
    std::shared_ptr<Context2D> context;
    std::unique_ptr<Font> captionFont;
};

// A drawing surface apart from the sheet, transparent and y = 0 at the top,
// for pictures that are composed into a cell afterwards.
struct Layer {
    Layer(int width, int height, uint32_t format = ZADOZI_FORMAT_AB24, int stride = 0)
        : bytesPerPixel(format == ZADOZI_FORMAT_RG16 ? 2 : 4),
          stride(stride ? stride : width * bytesPerPixel),
          memory(size_t(std::abs(this->stride)) * height),
          surface(orv_surface_create_for_data(width, height, format, this->stride, memory.data())),
          context(std::make_shared<Context2D>(surface)) {
        context->renderState->origin = Origin::TopLeft;
    }
    ~Layer() {
        context.reset();
        orv_surface_destroy(surface);
    }
    // Pixel x of row y, rows counted as the clears and the pipeline count
    // them: with a negative stride row 0 is the last in memory.
    const unsigned char* Pixel(int x, int y) const {
        const int height = int(memory.size() / size_t(std::abs(stride)));
        const int memoryRow = stride >= 0 ? y : height - 1 - y;
        return memory.data() + size_t(memoryRow) * std::abs(stride) + size_t(x) * bytesPerPixel;
    }

    int bytesPerPixel, stride;
    std::vector<unsigned char> memory;
    orv_surface* surface;
    std::shared_ptr<Context2D> context;
};

void FillPath(const std::shared_ptr<Context2D>& context, PathBuilder& builder, Color color,
              FillRule rule = FillRule::NonZero) {
    auto fill = std::make_shared<FillState>();
    fill->Paint(std::make_shared<ColorPaint>(context, color));
    fill->FillRule(rule);
    builder.ToPath(context)->Draw(fill, nullptr);
}

void Sheet::Fill(PathBuilder& builder, Color color, FillRule rule) { FillPath(context, builder, color, rule); }

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
        const char* rule = i == 0 ? "EvenOdd" : "NonZero";
        sheet.Caption(i, 0, std::string("Star, FillRule::") + rule);
        sheet.Caption(2 + i, 0, std::string("Same-direction rings,\nFillRule::") + rule);
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
        const char* capNames[] = {"Butt", "Round", "Square"};
        const char* joinNames[] = {"Miter", "Round", "Bevel"};
        sheet.Caption(i, 0, std::string("CapStyle::") + capNames[i] + "\nwidths 10, 16, 22");
        sheet.Caption(i, 1, std::string("JoinStyle::") + joinNames[i] + "\nmiter limits 10 and 2");
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
    sheet.Caption(0, 0, "Dashes {10, 5}\nphases 0, 5, 10, 15");
    sheet.Caption(1, 0, "Dash-dot {14, 7, 1, 7}\nround caps on a curve");
    sheet.Caption(2, 0, "Dashes {12, 6} around\nclosed outlines");
    sheet.Save(directory + "/dashes.png");
}

// Composites premultiplied bytes over an opaque checkerboard, so that
// transparent and half-transparent parts can be told apart.
void OverCheckerboard(const unsigned char* layer, int x, int y, unsigned char* out) {
    const int check = ((x / 10) + (y / 10)) % 2 ? 204 : 255;
    for (int c = 0; c < 3; ++c)
        out[c] = (unsigned char)(layer[c] + (check * (255 - layer[3]) + 127) / 255);
    out[3] = 255;
}

void DrawBlendModes(const std::string& directory) {
    Sheet sheet(5, 2);
    const char* names[] = {"Source", "SourceOver", "DestinationOver", "SourceIn", "DestinationIn",
                           "Multiply", "Screen", "Darken", "Lighten", "Plus"};
    for (int mode = 0; mode < 10; ++mode) {
        // Each mode draws on a transparent layer of its own, shown over a
        // checkerboard: an opaque square, a half-transparent bar and nothing
        // elsewhere, then a half-transparent disc in the mode.
        Layer layer(kCell, kCell);
        PathBuilder square;
        square.Rectangle(20, 20, 90, 90);
        FillPath(layer.context, square, Rgba(30, 150, 150));
        PathBuilder bar;
        bar.Rectangle(20, 120, 120, 25);
        FillPath(layer.context, bar, Rgba(240, 200, 40, 0.5f));
        layer.context->renderState->blendMode = BlendMode(mode);
        PathBuilder disc;
        disc.Ellipse(100, 85, 90, 90);
        FillPath(layer.context, disc, Rgba(230, 40, 40, 0.6f));
        sheet.Cell(mode % 5, mode / 5, [&](Sheet& s) {
            s.Paste(mode % 5, mode / 5, [&](int x, int y, unsigned char* pixel) {
                OverCheckerboard(layer.Pixel(x, y), x, y, pixel);
            });
        });
        sheet.Caption(mode % 5, mode / 5, std::string("BlendMode::") + names[mode]);
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
            const int x = Sheet::CellX(i), y = Sheet::CellY(0);
            for (const IntRectangle& r : lists[i])
                s.context->renderState->scissorRectangles.push_back({r.X + x, r.Y + y, r.Width, r.Height});
            s.context->renderState->scissoringEnabled = true;
            PathBuilder disc;
            disc.Ellipse(80, 80, 150, 150);
            // Half-transparent: overlapping boxes composite twice.
            s.Fill(disc, Rgba(120, 60, 200, 0.5f));
        });
    }
    sheet.Caption(0, 0, "Scissoring on,\nno rectangles: no limit");
    sheet.Caption(1, 0, "One scissor rectangle");
    sheet.Caption(2, 0, "Two overlapping\nrectangles: drawn twice");
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
    sheet.Caption(0, 0, "Rotations about the\ncell centre, 30 degrees");
    sheet.Caption(1, 0, "Scales 0.6, 1.1, 1.6;\nthe stroke stays 1 px");
    sheet.Caption(2, 0, "Radius 1 scaled by 35\nvs. radius 35");
    sheet.Caption(3, 0, "Origin::TopLeft (blue)\nOrigin::BottomLeft (orange)");
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
    sheet.Caption(0, 0, "Rectangle and\nRoundRectangle");
    sheet.Caption(1, 0, "Ellipses");
    sheet.Caption(2, 0, "Arc, ArcType::Open");
    sheet.Caption(3, 0, "Arc, ArcType::Chord");
    sheet.Caption(0, 1, "Arc, ArcType::Pie");
    sheet.Caption(1, 1, "QuadTo, SQuadTo,\nCubicTo, SCubicTo");
    sheet.Caption(2, 1, "Four elliptical arcs:\nsmall/large, ccw/cw");
    sheet.Caption(3, 1, "Relative lines and a\nrotated relative arc");
    sheet.Save(directory + "/shapes.png");
}

// Clears of each format the context handles, side by side, with the bytes
// one pixel holds in memory: the "RG16" cell is expanded to bytes for the
// picture.
void DrawClears(const std::string& directory) {
    Sheet sheet(3, 1);
    const uint32_t formats[] = {ZADOZI_FORMAT_AB24, ZADOZI_FORMAT_RA24, ZADOZI_FORMAT_RG16};
    const char* captions[] = {"\"AB24\": bytes R, G, B, A\nat rising addresses",
                              "\"RA24\", negative stride:\nrow 0 is the last in memory",
                              "\"RG16\": 16 bits, 5-6-5,\nalpha dropped"};
    for (int i = 0; i < 3; ++i) {
        const int bytes = formats[i] == ZADOZI_FORMAT_RG16 ? 2 : 4;
        Layer layer(kCell, kCell, formats[i], (i == 1 ? -1 : 1) * kCell * bytes);
        layer.context->ClearColor(Rgba(40, 40, 60));
        layer.context->Clear();
        const Color colors[] = {Rgba(230, 60, 60), Rgba(60, 180, 90), Rgba(60, 110, 230), Rgba(250, 200, 40)};
        for (int k = 0; k < 4; ++k) {
            layer.context->ClearColor(colors[k]);
            layer.context->ClearRectangle(12 + k * 22, 8 + k * 18, 64, 56);
        }
        layer.context->Finish();

        // What the yellow square's pixel holds, as it lies in memory.
        const unsigned char* yellow = layer.Pixel(120, 90);
        char first[64], second[64];
        if (bytes == 4) {
            std::snprintf(first, sizeof first, "memory: %02X %02X %02X %02X", yellow[0], yellow[1], yellow[2],
                          yellow[3]);
            std::snprintf(second, sizeof second, "R %d  G %d  B %d  A %d", yellow[0], yellow[1], yellow[2],
                          yellow[3]);
        } else {
            uint16_t packed;
            std::memcpy(&packed, yellow, 2);
            std::snprintf(first, sizeof first, "memory: 0x%04X", packed);
            std::snprintf(second, sizeof second, "R %d/31  G %d/63  B %d/31", packed >> 11, (packed >> 5) & 63,
                          packed & 31);
        }
        sheet.Cell(i, 0, [&](Sheet& s) {
            s.Paste(i, 0, [&](int x, int y, unsigned char* pixel) {
                const unsigned char* in = layer.Pixel(x, y);
                if (bytes == 4) {
                    std::memcpy(pixel, in, 4);
                    return;
                }
                uint16_t packed;
                std::memcpy(&packed, in, 2);
                pixel[0] = uint8_t((packed >> 8) & 0xF8);
                pixel[1] = uint8_t((packed >> 3) & 0xFC);
                pixel[2] = uint8_t((packed << 3) & 0xF8);
                pixel[3] = 255;
            });
            Font font(s.context, CaptionFontPath().c_str(), 10);
            s.Text(font, 10, 138, first, Rgba(255, 255, 255));
            s.Text(font, 10, 153, second, Rgba(255, 255, 255));
        });
        sheet.Caption(i, 0, captions[i]);
    }
    sheet.Save(directory + "/clears.png");
}

void DrawText(const std::string& directory) {
    Sheet sheet(3, 3);
    const std::string& path = CaptionFontPath();
    sheet.Cell(0, 0, [&](Sheet& s) {
        float baseline = 8;
        for (const int size : {8, 11, 14, 18, 24, 32}) {
            Font font(s.context, path.c_str(), size);
            baseline += font.Ascender();
            s.Text(font, 8, baseline, ("Size " + std::to_string(size)).c_str(), Rgba(30, 30, 30));
            baseline -= font.Descender();
        }
    });
    sheet.Cell(1, 0, [&](Sheet& s) {
        // The baseline, then the text along it.
        Font font(s.context, path.c_str(), 18);
        const float angle = -0.5f;
        PathBuilder baseline;
        baseline.Line(0, 0, 150, 0);
        Matrix3 local;
        Matrix3::Multiply(Matrix3::CreateRotation(angle), Matrix3::CreateTranslation(14, 140), local);
        s.Place(local);
        s.Stroke(baseline, Rgba(120, 170, 230), 1);
        s.Text(font, 14, 140, "Rotated text", Rgba(30, 30, 30), Matrix3::CreateRotation(angle));
        s.Text(font, 30, 40, "+0.6 rad", Rgba(200, 60, 60), Matrix3::CreateRotation(0.6f));
    });
    sheet.Cell(2, 0, [&](Sheet& s) {
        // Shear: x moves by M[3] x y; with y down, -0.35 leans glyph tops right.
        Font font(s.context, path.c_str(), 22);
        Matrix3 shear = Matrix3::Identity;
        shear.M[3] = -0.35f;
        s.Text(font, 12, 60, "Sheared", Rgba(30, 30, 30), shear);
        shear.M[3] = 0.35f;
        s.Text(font, 12, 110, "Sheared", Rgba(40, 90, 200), shear);
        Font small(s.context, path.c_str(), 11);
        s.Text(small, 12, 80, "M[3] = -0.35", Rgba(110, 110, 110));
        s.Text(small, 12, 130, "M[3] = +0.35", Rgba(110, 110, 110));
    });
    sheet.Cell(0, 1, [&](Sheet& s) {
        // Half black, half white, under three colours at alpha 0.6.
        PathBuilder dark;
        dark.Rectangle(80, 0, 80, 160);
        s.Fill(dark, Rgba(20, 20, 20));
        Font font(s.context, path.c_str(), 26);
        s.Text(font, 10, 50, "Red 0.6", Rgba(230, 30, 30, 0.6f));
        s.Text(font, 14, 90, "Green 0.6", Rgba(30, 200, 60, 0.6f));
        s.Text(font, 18, 130, "Blue 0.6", Rgba(40, 80, 240, 0.6f));
    });
    sheet.Cell(1, 1, [&](Sheet& s) {
        // With y up the same kind of call counts from the bottom of the
        // surface; glyphs stand upright either way.
        Font font(s.context, path.c_str(), 15);
        PathBuilder lines;
        lines.Line(10, 60, 150, 60);
        lines.Line(10, 120, 150, 120);
        s.Stroke(lines, Rgba(120, 170, 230), 1);
        s.Text(font, 14, 60, "Origin::TopLeft", Rgba(40, 90, 200));
        s.context->renderState->origin = Origin::BottomLeft;
        font.DrawString(int(s.cellX) + 14, s.height - 1 - (int(s.cellY) + 120), "Origin::BottomLeft",
                        Rgba(220, 90, 40));
    });
    sheet.Cell(2, 1, [&](Sheet& s) {
        // Ascender and descender lines and the measured length.
        Font font(s.context, path.c_str(), 32);
        const char* word = "Glyph";
        const float length = font.MeasureString(word), x = 20, baseline = 90;
        PathBuilder metrics;
        metrics.Line(10, baseline, 150, baseline);
        metrics.Line(10, baseline - font.Ascender(), 150, baseline - font.Ascender());
        metrics.Line(10, baseline - font.Descender(), 150, baseline - font.Descender());
        s.Stroke(metrics, Rgba(120, 170, 230), 1);
        PathBuilder span;
        span.MoveTo(x, 128);
        span.LineTo(x, 138);
        span.MoveTo(x, 133);
        span.LineTo(x + length, 133);
        span.MoveTo(x + length, 128);
        span.LineTo(x + length, 138);
        s.Stroke(span, Rgba(200, 60, 60), 1.5f);
        s.Text(font, x, baseline, word, Rgba(30, 30, 30));
        char label[64];
        std::snprintf(label, sizeof label, "%.2f px", length);
        Font small(s.context, path.c_str(), 11);
        s.Text(small, x + length / 2 - 18, 152, label, Rgba(200, 60, 60));
    });
    sheet.Cell(0, 2, [&](Sheet& s) {
        // Labels as a user interface has them: UTF-8 strings.
        Font font(s.context, path.c_str(), 15);
        const Matrix3& none = Matrix3::Identity;
        s.Text(font, 10, 30, "Température 25 °C", Rgba(30, 30, 30), none, true);
        s.Text(font, 10, 60, "Prix : 9,99 €", Rgba(40, 90, 200), none, true);
        s.Text(font, 10, 90, "Ø 3 µm ± 0,5 µm", Rgba(30, 30, 30), none, true);
        s.Text(font, 10, 120, "Größe, naïve, Åsa", Rgba(200, 60, 60), none, true);
        s.Text(font, 10, 150, "½ · ¼ · © 2026", Rgba(110, 110, 110), none, true);
    });
    sheet.Cell(1, 2, [&](Sheet& s) {
        Font font(s.context, path.c_str(), 17);
        const Matrix3& none = Matrix3::Identity;
        s.Text(font, 10, 34, "Ελληνικά: αβγδ", Rgba(30, 30, 30), none, true);
        s.Text(font, 10, 66, "ω = 2π·f, λ ≈ 5", Rgba(40, 90, 200), none, true);
        s.Text(font, 10, 98, "Кириллица: Жж", Rgba(30, 30, 30), none, true);
        s.Text(font, 10, 130, "Добрый день!", Rgba(200, 60, 60), none, true);
    });
    sheet.Cell(2, 2, [&](Sheet& s) {
        // The same bytes through each operation: the single-byte one takes
        // the two bytes of each non-ASCII letter as two characters.
        Font font(s.context, path.c_str(), 15);
        const Matrix3& none = Matrix3::Identity;
        const char* const label = "Café à 25 °C";
        s.Text(font, 8, 50, label, Rgba(30, 30, 30), none, true);
        s.Text(font, 8, 110, label, Rgba(200, 60, 60));
        // A malformed sequence draws as U+FFFD.
        s.Text(font, 8, 145, "cut \xE2\x82 short", Rgba(110, 110, 110), none, true);
        Font small(s.context, path.c_str(), 10);
        s.Text(small, 8, 25, "DrawStringUtf8", Rgba(110, 110, 110));
        s.Text(small, 8, 85, "DrawString (Latin-1)", Rgba(110, 110, 110));
    });
    sheet.Caption(0, 0, "Sizes 8 to 32 px,\nlines Height() apart");
    sheet.Caption(1, 0, "Rotated by the glyph\ntransform, on its baseline");
    sheet.Caption(2, 0, "Sheared by the glyph\ntransform");
    sheet.Caption(0, 1, "Colours at alpha 0.6\nover white and black");
    sheet.Caption(1, 1, "Both origins: y down (blue)\nand y up (orange)");
    sheet.Caption(2, 1, "Ascender, baseline,\ndescender; MeasureString");
    sheet.Caption(0, 2, "UTF-8 labels: accents,\ndegree, euro, micro");
    sheet.Caption(1, 2, "UTF-8: Greek and\nCyrillic");
    sheet.Caption(2, 2, "UTF-8 bytes drawn as UTF-8\nand as single bytes");
    sheet.Save(directory + "/text.png");
}


// A photograph-like landscape made in code: sky, sun, two mountain ridges,
// a lake with ripples and a little grain. Straight-alpha "RA24" pixels.
std::vector<unsigned char> Landscape(int width, int height, int alpha) {
    std::vector<unsigned char> pixels(size_t(width) * height * 4);
    unsigned noise = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float u = float(x) / width, v = float(y) / height;
            float r = 90 + 120 * v, g = 150 + 80 * v, b = 235 - 10 * v;  // sky
            const float sun = std::hypot(u - 0.72f, v - 0.22f);
            const float glow = std::max(0.0f, 1 - sun / 0.25f);
            r += 120 * glow * glow, g += 90 * glow * glow, b -= 60 * glow * glow;
            if (sun < 0.07f)
                r = 255, g = 236, b = 150;
            const float far = 0.45f + 0.08f * std::sin(u * 9 + 1) + 0.04f * std::sin(u * 23);
            const float near = 0.58f + 0.10f * std::sin(u * 5 + 2.5f) + 0.03f * std::sin(u * 31);
            if (v > far)
                r = 95 + 40 * (v - far), g = 110 + 30 * (v - far), b = 150;
            if (v > near)
                r = 40 + 60 * (v - near), g = 105 - 40 * (v - near), b = 55;
            if (v > 0.78f) {  // the lake mirrors the sky, with ripples
                const float ripple = 0.5f + 0.5f * std::sin(v * 140 + std::sin(u * 17) * 2);
                r = 60 + 50 * ripple, g = 110 + 50 * ripple, b = 170 + 40 * ripple;
            }
            noise = noise * 1103515245u + 12345u;
            const float grain = float(int((noise >> 16) & 7) - 4);
            unsigned char* p = &pixels[(size_t(y) * width + x) * 4];
            p[0] = (unsigned char)std::clamp(r + grain, 0.0f, 255.0f);
            p[1] = (unsigned char)std::clamp(g + grain, 0.0f, 255.0f);
            p[2] = (unsigned char)std::clamp(b + grain, 0.0f, 255.0f);
            p[3] = (unsigned char)alpha;
        }
    return pixels;
}

void DrawImagePaint(const std::string& directory) {
    constexpr int kPhotoWidth = 96, kPhotoHeight = 72;
    std::vector<unsigned char> opaque = Landscape(kPhotoWidth, kPhotoHeight, 255);
    std::vector<unsigned char> translucent = Landscape(kPhotoWidth, kPhotoHeight, 150);
    Sheet sheet(4, 2);
    auto photo = std::make_shared<Image>(sheet.context, ZADOZI_FORMAT_RA24, kPhotoWidth, kPhotoHeight, kPhotoWidth * 4,
                                         opaque.data());
    auto halfTransparent = std::make_shared<Image>(sheet.context, ZADOZI_FORMAT_RA24, kPhotoWidth, kPhotoHeight,
                                                   kPhotoWidth * 4, translucent.data());
    // Image placement in cell units: centred, then rotated and scaled about the centre.
    auto centred = [&](float angle, float scale) {
        Transform& image = *sheet.context->transforms->image;
        image.Translate(-kPhotoWidth / 2.0f, -kPhotoHeight / 2.0f);
        image.Rotate(angle);
        image.Scale(scale, scale);
        image.Translate(80, 80);
    };
    auto square = [](PathBuilder& shape) { shape.Rectangle(10, 10, 140, 140); };
    auto fillWith = [&](const std::shared_ptr<Image>& image, TilingMode mode, Color tile,
                        const std::function<void(PathBuilder&)>& shape) {
        auto paint = std::make_shared<ImagePaint>(sheet.context, image);
        paint->ImageTilingMode = mode;
        paint->TileColor = tile;
        auto fill = std::make_shared<FillState>();
        fill->Paint(paint);
        PathBuilder builder;
        shape(builder);
        builder.ToPath(sheet.context)->Draw(fill, nullptr);
    };
    struct Filled {
        const char* label;
        float angle, scale;
        TilingMode mode;
        Color tile;
        std::function<void(PathBuilder&)> shape;
    };
    const Filled filled[] = {
        {"Clip, rotated\nand scaled", 0.35f, 1.2f, TilingMode::Clip, Color{0, 0, 0, 0}, square},
        {"NoClip: the edge\npixels stretch outwards", 0, 1, TilingMode::NoClip, Color{0, 0, 0, 0}, square},
        {"Repeat, rotated\nand scaled", -0.5f, 0.6f, TilingMode::Repeat, Color{0, 0, 0, 0},
         [](PathBuilder& shape) { shape.Ellipse(80, 80, 144, 144); }},
        {"Reflect, rotated\nand scaled", 0.25f, 0.55f, TilingMode::Reflect, Color{0, 0, 0, 0},
         [](PathBuilder& shape) { shape.RoundRectangle(8, 8, 144, 144, 40, 40); }},
        {"Clip with a\ntile colour", -0.3f, 1.1f, TilingMode::Clip, Color{0.95f, 0.85f, 0.6f, 1}, square},
    };
    struct Cell { const char* label; std::function<void(Sheet&)> draw; };
    std::vector<Cell> cells;
    for (const Filled& f : filled)
        cells.push_back({f.label, [&](Sheet&) {
                             centred(f.angle, f.scale);
                             fillWith(photo, f.mode, f.tile, f.shape);
                         }});
    cells.insert(cells.end(), {
        {"Stroke paint", [&](Sheet& s) {
             centred(0.6f, 0.5f);
             auto paint = std::make_shared<ImagePaint>(s.context, photo);
             paint->ImageTilingMode = TilingMode::Reflect;
             auto stroke = std::make_shared<StrokeState>();
             stroke->Paint(paint);
             stroke->LineWidth(16);
             stroke->JoinStyle(JoinStyle::Round);
             PathBuilder star;
             Star(star, 80, 84, 64);
             star.ToPath(s.context)->Draw(nullptr, stroke);
         }},
        {"Half-transparent image\nover a checkerboard", [&](Sheet& s) {
             for (int row = 0; row < 8; ++row)
                 for (int column = 0; column < 8; ++column)
                     if ((row + column) % 2) {
                         PathBuilder checker;
                         checker.Rectangle(column * 20.0f, row * 20.0f, 20, 20);
                         s.Fill(checker, Rgba(60, 60, 70));
                     }
             centred(-0.2f, 1.3f);
             fillWith(halfTransparent, TilingMode::Repeat, Color{0, 0, 0, 0}, square);
         }},
        {"A PNG file painted\nthrough the C interface", [&](Sheet& s) {
             // The photograph goes through a PNG file and comes back as an
             // image of the C interface, drawn by a C context of its own on
             // the same surface.
             const std::string file = directory + "/.image-paint-source.png";
             PngImage::Save(photo.get(), file.c_str());
             orv_context2D context = orv_context2D_create(s.surface);
             orv_render_state_origin_set(orv_context2D_render_state_get(context), ORV_ORIGIN_TOP_LEFT);
             orv_transforms* transforms = orv_context2D_transforms_get(context);
             orv_transform_translate(orv_transforms_path(transforms), s.cellX, s.cellY);
             orv_transform* image = orv_transforms_image(transforms);
             orv_transform_scale(image, 1.4f, -1.4f);  // the file's bottom row is image row 0
             orv_transform_translate(image, 13, 130);
             orv_png_image png = orv_png_image_create_from_file(context, file.c_str());
             orv_image_paint paint = orv_image_paint_create(context, png);
             orv_png_image_destroy(png);
             orv_image_paint_tiling_mode_set(paint, ORV_TILING_MODE_CLIP);
             orv_image_paint_tile_color_set(paint, 0.2f, 0.25f, 0.3f, 1);
             orv_path_builder builder = orv_path_builder_create();
             orv_path_builder_rectangle(builder, 10, 10, 140, 140);
             orv_path path = orv_path_builder_to_path(builder, context);
             orv_fill_state fill = orv_fill_state_create();
             orv_fill_state_paint_set(fill, paint);
             orv_path_draw(path, fill, nullptr);
             orv_context2D_finish(context);
             orv_fill_state_destroy(fill);
             orv_path_destroy(path);
             orv_path_builder_destroy(builder);
             orv_image_paint_destroy(paint);
             orv_context2D_destroy(context);
             std::remove(file.c_str());
         }},
    });
    for (int i = 0; i < 8; ++i) {
        sheet.Cell(i % 4, i / 4, cells[i].draw);
        sheet.Caption(i % 4, i / 4, cells[i].label);
    }
    sheet.Save(directory + "/image-paint.png");
}

// Pictures finer than the cells, shrunk into them bilinearly and at the
// high image quality: rings of a zone plate, whose rings get finer outwards
// (shrunk by 4), and a white picture ruled every 4 pixels (shrunk by 5).
void DrawImageQuality(const std::string& directory) {
    constexpr int kRings = 4 * kCell, kRuled = 5 * kCell;
    std::vector<unsigned char> rings(size_t(kRings) * kRings * 4), ruled(size_t(kRuled) * kRuled * 4);
    for (int y = 0; y < kRings; ++y)
        for (int x = 0; x < kRings; ++x) {
            // Half a period a pixel at the middle of each side: far finer than the cell shows.
            const double dx = x - kRings / 2 + 0.5, dy = y - kRings / 2 + 0.5;
            const unsigned char v = (unsigned char)(127.5 + 127.5 * std::cos(kPi * (dx * dx + dy * dy) / kRings));
            unsigned char* pixel = &rings[(size_t(y) * kRings + x) * 4];
            pixel[0] = pixel[1] = pixel[2] = v, pixel[3] = 255;
        }
    for (int y = 0; y < kRuled; ++y)
        for (int x = 0; x < kRuled; ++x) {
            const unsigned char v = x % 4 == 0 || y % 4 == 0 ? 40 : 255;
            unsigned char* pixel = &ruled[(size_t(y) * kRuled + x) * 4];
            pixel[0] = v, pixel[1] = v, pixel[2] = (unsigned char)(v / 2 + 127), pixel[3] = 255;
        }
    Sheet sheet(4, 1);
    auto ringsImage = std::make_shared<Image>(sheet.context, ZADOZI_FORMAT_RA24, kRings, kRings, kRings * 4, rings.data());
    auto ruledImage = std::make_shared<Image>(sheet.context, ZADOZI_FORMAT_RA24, kRuled, kRuled, kRuled * 4, ruled.data());
    const struct {
        const char* label;
        const std::shared_ptr<Image>& image;
        float scale;
        ImageQuality quality;
    } cells[] = {
        {"Rings shrunk by 4,\nbilinear (quality 1)", ringsImage, 0.25f, 1},
        {"The same at\nORV_IMAGE_QUALITY_HIGH", ringsImage, 0.25f, ImageQualityHigh},
        {"Lines every 4 pixels shrunk\nby 5, bilinear (quality 1)", ruledImage, 0.2f, 1},
        {"The same at\nORV_IMAGE_QUALITY_HIGH", ruledImage, 0.2f, ImageQualityHigh},
    };
    for (int i = 0; i < 4; ++i) {
        sheet.Cell(i, 0, [&](Sheet& s) {
            s.context->renderState->imageQuality = cells[i].quality;
            s.context->transforms->image->Scale(cells[i].scale, cells[i].scale);
            auto fill = std::make_shared<FillState>();
            fill->Paint(std::make_shared<ImagePaint>(s.context, cells[i].image));
            PathBuilder square;
            square.Rectangle(0, 0, kCell, kCell);
            square.ToPath(s.context)->Draw(fill, nullptr);
        });
        sheet.Caption(i, 0, cells[i].label);
    }
    sheet.Save(directory + "/image-quality.png");
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
        {"Linear, pad", [&](Sheet& s) { square(s, linear(s, sunset, SpreadMode::Pad, 50, 50, 110, 110)); }},
        {"Linear, reflect", [&](Sheet& s) { square(s, linear(s, sunset, SpreadMode::Reflect, 50, 50, 110, 110)); }},
        {"Linear, repeat", [&](Sheet& s) { square(s, linear(s, sunset, SpreadMode::Repeat, 50, 50, 110, 110)); }},
        {"Stops out of order",
         [&](Sheet& s) {
             PathBuilder builder;
             builder.RoundRectangle(10, 40, 140, 80, 30, 30);
             fill(s, linear(s, rainbow, SpreadMode::Pad, 10, 0, 150, 0), builder);
         }},
        {"Radial, pad", [&](Sheet& s) { square(s, radial(s, sunset, SpreadMode::Pad, 80, 80, 40, 80, 80)); }},
        {"Radial, reflect", [&](Sheet& s) { square(s, radial(s, sunset, SpreadMode::Reflect, 80, 80, 40, 80, 80)); }},
        {"Radial, repeat", [&](Sheet& s) { square(s, radial(s, sunset, SpreadMode::Repeat, 80, 80, 40, 80, 80)); }},
        {"Radial, moved focus",
         [&](Sheet& s) {
             PathBuilder builder;
             builder.Ellipse(80, 80, 140, 140);
             fill(s, radial(s, {{0, Rgba(255, 255, 255)}, {1, Rgba(30, 90, 200)}}, SpreadMode::Pad, 80, 80, 70, 110,
                            50),
                  builder);
         }},
        {"Linear on a stroke",
         [&](Sheet& s) {
             PathBuilder builder;
             Star(builder, 80, 84, 62);
             auto stroke = stroked(linear(s, rainbow, SpreadMode::Pad, 20, 20, 140, 140), 12);
             stroke->JoinStyle(JoinStyle::Round);
             builder.ToPath(s.context)->Draw(nullptr, stroke);
         }},
        {"Radial on a dashed\nstroke, reflect",
         [&](Sheet& s) {
             PathBuilder builder;
             builder.Ellipse(80, 80, 120, 120);
             auto stroke = stroked(radial(s, sunset, SpreadMode::Reflect, 80, 80, 12, 80, 80), 16);
             stroke->dashPattern = {{20, 8}};
             builder.ToPath(s.context)->Draw(nullptr, stroke);
         }},
        {"Linear under a rotated\nfill paint transform",
         [&](Sheet& s) {
             Matrix3 step, rotated;
             Matrix3::Multiply(Matrix3::CreateTranslation(-80, -80), Matrix3::CreateRotation(kPi / 6), step);
             Matrix3::Multiply(step, Matrix3::CreateTranslation(80, 80), rotated);
             s.context->transforms->fillPaint->Set(rotated);
             square(s, linear(s, sunset, SpreadMode::Reflect, 60, 0, 100, 0));
         }},
        {"Radial fill,\nlinear stroke",
         [&](Sheet& s) {
             PathBuilder builder;
             builder.Ellipse(80, 80, 120, 120);
             builder.ToPath(s.context)->Draw(filled(radial(s, sunset, SpreadMode::Pad, 80, 80, 60, 60, 60)),
                                             stroked(linear(s, rainbow, SpreadMode::Repeat, 0, 0, 40, 40), 8));
         }},
    };
    for (int i = 0; i < 12; ++i) {
        sheet.Cell(i % 4, i / 4, pictures[i].draw);
        sheet.Caption(i % 4, i / 4, pictures[i].label);
    }
    sheet.Save(directory + "/gradients.png");
}

// Clips by paths, saved states and layers: a photo clipped by a card's
// rounded corners, a map cut out by a coastline, a ring made by removing a
// circle from a circle, a group faded as one against shapes faded one by one,
// and states saved, transformed and clipped three deep.
void DrawClipsAndLayers(const std::string& directory) {
    constexpr int kPhotoWidth = 96, kPhotoHeight = 72;
    std::vector<unsigned char> pixels = Landscape(kPhotoWidth, kPhotoHeight, 255);
    Sheet sheet(3, 2);
    Context2D& context = *sheet.context;
    auto photo = std::make_shared<Image>(sheet.context, ZADOZI_FORMAT_RA24, kPhotoWidth, kPhotoHeight, kPhotoWidth * 4,
                                         pixels.data());
    // Grey diagonal stripes, so that what is transparent shows; the lines
    // run past the cell and a clip keeps them within it.
    auto stripes = [&](Sheet& s) {
        context.Save();
        PathBuilder cell;
        cell.Rectangle(0, 0, kCell, kCell);
        cell.ToPath(s.context)->Clip(FillRule::NonZero, ClipOperation::Intersect);
        PathBuilder lines;
        for (int k = -160; k < 160; k += 12)
            lines.Line(float(k), 160, float(k + 160), 0);
        s.Stroke(lines, Rgba(170, 176, 186), 4);
        context.Restore();
    };
    // Applies `step` in the current path transform's own frame.
    auto within = [&](const Matrix3& step) {
        Matrix3 next;
        Matrix3::Multiply(step, context.transforms->path->Get(), next);
        context.transforms->path->Set(next);
    };

    sheet.Cell(0, 0, [&](Sheet& s) {
        PathBuilder card;
        card.RoundRectangle(18, 14, 124, 132, 36, 36);
        s.Place(Matrix3::CreateTranslation(3, 4));
        s.Fill(card, Rgba(0, 0, 0, 0.18f));  // the card's shadow
        s.Place(Matrix3::Identity);
        context.Save();
        card.ToPath(s.context)->Clip(FillRule::NonZero, ClipOperation::Intersect);
        s.Fill(card, Rgba(250, 250, 252));
        // The photo fills the card's upper part, edge to edge: only the
        // clip rounds its upper corners.
        Transform& image = *context.transforms->image;
        image.Scale(1.3f, 1.3f);
        image.Translate(18, 6);
        auto paint = std::make_shared<ImagePaint>(s.context, photo);
        auto fill = std::make_shared<FillState>();
        fill->Paint(paint);
        PathBuilder top;
        top.Rectangle(0, 0, 160, 96);
        top.ToPath(s.context)->Draw(fill, nullptr);
        PathBuilder text;
        text.Rectangle(30, 108, 92, 8);
        text.Rectangle(30, 124, 62, 8);
        s.Fill(text, Rgba(150, 156, 168));
        context.Restore();
        s.Stroke(card, Rgba(120, 126, 138), 1);
    });

    sheet.Cell(1, 0, [&](Sheet& s) {
        PathBuilder sea;
        sea.Rectangle(0, 0, 160, 160);
        s.Fill(sea, Rgba(170, 205, 235));
        // A coastline: a circle whose radius wanders.
        PathBuilder coast;
        for (int k = 0; k < 90; ++k) {
            const float angle = k * 2 * kPi / 90;
            const float radius = 58 + 11 * std::sin(3 * angle + 0.5f) + 6 * std::sin(5 * angle + 1.3f) +
                                 3 * std::sin(13 * angle);
            const float x = 80 + radius * std::cos(angle), y = 80 + 0.9f * radius * std::sin(angle);
            if (k == 0)
                coast.MoveTo(x, y);
            else
                coast.LineTo(x, y);
        }
        coast.Close();
        context.Save();
        coast.ToPath(s.context)->Clip(FillRule::NonZero, ClipOperation::Intersect);
        // Fields: a jittered grid of quadrilaterals over the whole cell.
        const Color fields[] = {Rgba(150, 190, 100), Rgba(120, 170, 90), Rgba(200, 205, 120), Rgba(170, 200, 110),
                                Rgba(215, 190, 120)};
        auto corner = [](int i, int j) {
            const float dx = 5 * std::sin(i * 2.1f + j * 1.3f), dy = 5 * std::cos(i * 1.7f - j * 2.3f);
            return std::make_pair(i * 20 + dx, j * 20 + dy);
        };
        for (int j = 0; j < 8; ++j)
            for (int i = 0; i < 8; ++i) {
                PathBuilder field;
                const auto a = corner(i, j), b = corner(i + 1, j), c = corner(i + 1, j + 1), d = corner(i, j + 1);
                field.MoveTo(a.first, a.second);
                field.LineTo(b.first, b.second);
                field.LineTo(c.first, c.second);
                field.LineTo(d.first, d.second);
                field.Close();
                s.Fill(field, fields[(i * 3 + j * 7 + i * j) % 5]);
                s.Stroke(field, Rgba(110, 140, 80), 0.75f);
            }
        PathBuilder lake;
        lake.Ellipse(104, 62, 34, 22);
        s.Fill(lake, Rgba(90, 150, 215));
        PathBuilder river;
        river.MoveTo(104, 62);
        river.CubicTo(90, 90, 120, 110, 70, 170);
        s.Stroke(river, Rgba(90, 150, 215), 4, CapStyle::Round);
        // Roads run from edge to edge of the cell; the coast stops them.
        PathBuilder roads;
        roads.MoveTo(-5, 40);
        roads.LineTo(70, 75);
        roads.LineTo(165, 95);
        roads.MoveTo(40, -5);
        roads.CubicTo(60, 60, 30, 110, 55, 165);
        s.Stroke(roads, Rgba(120, 80, 60), 4.5f, CapStyle::Butt, JoinStyle::Round);
        s.Stroke(roads, Rgba(250, 235, 180), 2, CapStyle::Butt, JoinStyle::Round);
        context.Restore();
        s.Stroke(coast, Rgba(60, 90, 120), 1.5f, CapStyle::Butt, JoinStyle::Round);
    });

    sheet.Cell(2, 0, [&](Sheet& s) {
        stripes(s);
        context.Save();
        PathBuilder outer, inner;
        outer.Ellipse(80, 80, 136, 136);
        inner.Ellipse(80, 80, 72, 72);
        outer.ToPath(s.context)->Clip(FillRule::NonZero, ClipOperation::Intersect);
        inner.ToPath(s.context)->Clip(FillRule::NonZero, ClipOperation::Difference);
        auto gradient = std::make_shared<LinearGradientPaint>(s.context, 12.f, 12.f, 148.f, 148.f);
        gradient->ColorStops = {{0, Rgba(250, 210, 60)}, {0.5f, Rgba(230, 80, 60)}, {1, Rgba(60, 40, 120)}};
        auto fill = std::make_shared<FillState>();
        fill->Paint(gradient);
        PathBuilder everything;
        everything.Rectangle(0, 0, 160, 160);
        everything.ToPath(s.context)->Draw(fill, nullptr);
        context.Restore();
    });

    // Three opaque circles faded as one group, then each faded on its own.
    const Color discs[] = {Rgba(230, 50, 50), Rgba(40, 170, 70), Rgba(40, 90, 230)};
    const float centres[3][2] = {{58, 62}, {102, 62}, {80, 100}};
    for (int group = 0; group < 2; ++group)
        sheet.Cell(group, 1, [&](Sheet& s) {
            stripes(s);
            if (group == 0)
                context.PushLayer(0.4f, BlendMode::SourceOver);
            for (int k = 0; k < 3; ++k) {
                PathBuilder disc;
                disc.Ellipse(centres[k][0], centres[k][1], 84, 84);
                Color color = discs[k];
                if (group == 1)
                    color.A = 0.4f;
                s.Fill(disc, color);
            }
            if (group == 0)
                context.PopLayer();
        });

    sheet.Cell(2, 1, [&](Sheet& s) {
        auto hatch = [&](Color color, float spacing) {
            PathBuilder lines;
            for (float k = -120; k <= 120; k += spacing)
                lines.Line(-120, k, 120, k);
            s.Stroke(lines, color, spacing / 3);
        };
        // Each level turns the frame, clips within the clip before it and
        // hatches far beyond its own shape.
        context.Save();
        PathBuilder frame;
        frame.RoundRectangle(12, 12, 136, 136, 40, 40);
        frame.ToPath(s.context)->Clip(FillRule::NonZero, ClipOperation::Intersect);
        within(Matrix3::CreateTranslation(80, 80));
        hatch(Rgba(150, 190, 230), 9);
        {
            context.Save();
            within(Matrix3::CreateRotation(kPi / 8));
            PathBuilder square;
            square.Rectangle(-56, -56, 112, 112);
            square.ToPath(s.context)->Clip(FillRule::NonZero, ClipOperation::Intersect);
            s.Fill(square, Rgba(250, 225, 150));
            hatch(Rgba(230, 150, 60), 8);
            {
                context.Save();
                Matrix3 step;
                Matrix3::Multiply(Matrix3::CreateScale(0.8f, 0.8f), Matrix3::CreateRotation(kPi / 8), step);
                within(step);
                PathBuilder star;
                Star(star, 0, 8, 82);
                star.ToPath(s.context)->Clip(FillRule::NonZero, ClipOperation::Intersect);
                s.Fill(star, Rgba(200, 60, 90));
                hatch(Rgba(120, 20, 60), 10);
                context.Restore();
            }
            // Back to the square's frame and clip: its axes, drawn long.
            PathBuilder cross;
            cross.Line(-120, 0, 120, 0);
            cross.Line(0, -120, 0, 120);
            s.Stroke(cross, Rgba(40, 50, 70), 2);
            context.Restore();
        }
        context.Restore();
        // No clip and the cell's own frame again: a frame round the cell.
        PathBuilder border;
        border.Rectangle(4, 4, 152, 152);
        s.Stroke(border, Rgba(40, 50, 70), 1.5f, CapStyle::Butt, JoinStyle::Miter, 4, {{6, 4}});
    });

    sheet.Caption(0, 0, "A photo clipped by\na rounded rectangle");
    sheet.Caption(1, 0, "Fields, a river and roads\nclipped by a coastline");
    sheet.Caption(2, 0, "A circle clip minus a\nsmaller one: a ring");
    sheet.Caption(0, 1, "One layer at 40 %:\nfaded as one group");
    sheet.Caption(1, 1, "Each circle at 40 %:\nthe overlaps show");
    sheet.Caption(2, 1, "Save, transform, clip,\nthree deep, restored");
    sheet.Save(directory + "/clips-and-layers.png");
}

// Icons of the installed Adwaita theme, each at 16, 48 and 128 pixels, read
// by the example's minimal reader and drawn from their path data scaled as
// they are appended, so that curves stay smooth at every size.
void DrawIcons(const std::string& directory) {
    const char* const names[] = {"actions/edit-copy", "places/user-home",     "emotes/face-cool",
                                 "places/network-workgroup", "status/weather-snow", "actions/bookmark-new"};
    const int sizes[] = {16, 48, 128};
    Sheet sheet(6, 3);
    int drawn = 0;
    for (const char* name : names) {
        PlainIcon icon;
        const std::string file = std::string("/usr/share/icons/Adwaita/scalable/") + name + "-symbolic.svg";
        if (!ReadPlainIcon(file.c_str(), icon))
            continue;
        const int column = (drawn % 2) * 3, row = drawn / 2;
        for (int k = 0; k < 3; ++k) {
            const float size = float(sizes[k]);
            sheet.Cell(column + k, row, [&](Sheet& s) {
                // The view box onto size x size pixels in the middle of the cell.
                Matrix3 placement;
                Matrix3::Multiply(Matrix3::CreateTranslation(-icon.viewBox[0], -icon.viewBox[1]),
                                  Matrix3::CreateScale(size / icon.viewBox[2], size / icon.viewBox[3]), placement);
                Matrix3::Multiply(placement, Matrix3::CreateTranslation((kCell - size) / 2, (kCell - size) / 2),
                                  placement);
                for (const PlainIconPath& part : icon.paths) {
                    PathBuilder builder;
                    builder.SvgPathData(part.data.c_str(), placement);
                    s.Fill(builder, Rgba(part.rgb >> 16, (part.rgb >> 8) & 255, part.rgb & 255),
                           part.evenOdd ? FillRule::EvenOdd : FillRule::NonZero);
                }
            });
            const std::string label = std::string(name).substr(std::string(name).find('/') + 1);
            sheet.Caption(column + k, row, label + "\n" + std::to_string(sizes[k]) + " px");
        }
        ++drawn;
    }
    if (drawn == 0) {
        std::fprintf(stderr, "gallery: no Adwaita icons found (Debian package adwaita-icon-theme); icons.png skipped\n");
        return;
    }
    sheet.Save(directory + "/icons.png");
}

}  // namespace

// Shaped text: runs and layouts by family name, drawn like paths.
void DrawShapedText(const std::string& directory) {
    Sheet sheet(3, 3);
    auto font = [&](Sheet& s, const char* name, int size) { return std::make_shared<Font>(s.context, FontName{name}, size); };
    auto solid = [](Sheet& s, Color color) {
        auto fill = std::make_shared<FillState>();
        fill->Paint(std::make_shared<ColorPaint>(s.context, color));
        return fill;
    };
    const Color ink = Rgba(30, 30, 30), blue = Rgba(40, 90, 200), red = Rgba(200, 60, 60);
    sheet.Cell(0, 0, [&](Sheet& s) {
        // One code point after another, then shaped: the pairs close up.
        Font plain(s.context, FontName{"DejaVu Sans"}, 30);
        s.Text(plain, 10, 50, "AV To Ta", red, Matrix3::Identity, true);
        TextRun(font(s, "DejaVu Sans", 30), "AV To Ta").Draw(10, 110, solid(s, ink));
    });
    sheet.Caption(0, 0, "Kerning: unshaped (red),\nshaped (black)");
    sheet.Cell(1, 0, [&](Sheet& s) {
        const auto serif = font(s, "Noto Serif", 30);
        TextRun(serif, "office ffi").Draw(8, 50, solid(s, ink));
        TextRun(serif, "office ffi", "liga=0").Draw(8, 110, solid(s, red));
    });
    sheet.Caption(1, 0, "Ligatures; \"liga=0\" in red");
    sheet.Cell(2, 0, [&](Sheet& s) {
        TextRun(font(s, "Noto Sans Arabic", 24), "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7 2026").Draw(10, 55, solid(s, ink));
        TextRun(font(s, "Noto Sans Hebrew", 20), "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D 123 \xD7\xA2\xD7\x95\xD7\x9C\xD7\x9D")
            .Draw(10, 120, solid(s, blue));
    });
    sheet.Caption(2, 0, "Arabic and Hebrew\nwith numbers");
    sheet.Cell(0, 1, [&](Sheet& s) {
        TextRun(font(s, "Noto Sans Devanagari", 26),
                "\xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87")
            .Draw(10, 60, solid(s, ink));
        TextRun(font(s, "Noto Sans Thai", 26),
                "\xE0\xB8\xAA\xE0\xB8\xA7\xE0\xB8\xB1\xE0\xB8\xAA\xE0\xB8\x94\xE0\xB8\xB5")
            .Draw(10, 125, solid(s, blue));
    });
    sheet.Caption(0, 1, "Devanagari and Thai");
    sheet.Cell(1, 1, [&](Sheet& s) {
        // One family name; what DejaVu Sans lacks comes from fontconfig's list,
        // emoji from the colour font in their own colours.
        const auto sans = font(s, "DejaVu Sans", 20);
        TextRun(sans, "Aa \xD0\x96 \xCE\xA9 \xD7\xA9").Draw(10, 40, solid(s, ink));
        TextRun(sans, "\xE0\xA4\x95 \xE0\xB8\x81 \xE1\x83\x90 \xE0\xAE\xA4").Draw(10, 85, solid(s, blue));
        TextRun(sans, "Go \xF0\x9F\x9A\x80\xF0\x9F\x8D\x95\xF0\x9F\x8C\x88!").Draw(10, 135, solid(s, ink));
    });
    sheet.Caption(1, 1, "Fallback from one family:\n\"DejaVu Sans\", emoji in colour");
    sheet.Cell(2, 1, [&](Sheet& s) {
        TextLayout layout(font(s, "Noto Serif", 11),
                          "Shaped text wraps at the line-break opportunities of Unicode and is justified "
                          "by sharing the room left over among the spaces of every line but the last.",
                          144, TextAlignment::Justify);
        layout.Draw(8, 8, solid(s, ink));
    });
    sheet.Caption(2, 1, "A justified paragraph,\n144 px wide");
    sheet.Cell(0, 2, [&](Sheet& s) {
        auto gradient = std::make_shared<LinearGradientPaint>(s.context, 0, 40, 0, 120);
        gradient->ColorStops = {ColorStop{0, Rgba(250, 120, 30)}, ColorStop{1, Rgba(120, 30, 200)}};
        auto fill = std::make_shared<FillState>();
        fill->Paint(gradient);
        TextRun(font(s, "DejaVu Sans:bold", 54), "Grad").Draw(8, 110, fill);
    });
    sheet.Caption(0, 2, "Filled with a gradient");
    sheet.Cell(1, 2, [&](Sheet& s) {
        PathBuilder circle;
        circle.Ellipse(80, 80, 130, 130);
        s.Fill(circle, Rgba(225, 232, 245));
        circle.ToPath(s.context)->Clip(FillRule::NonZero, ClipOperation::Intersect);
        TextLayout layout(font(s, "DejaVu Sans:bold", 17),
                          "Text is clipped like any path: the clip of the context applies to every glyph",
                          156, TextAlignment::Center);
        layout.Draw(2, 12, solid(s, blue));
        s.context->ClipReset();
    });
    sheet.Caption(1, 2, "Clipped to a circle");
    sheet.Cell(2, 2, [&](Sheet& s) {
        // The path transform turns the run; the blend mode applies.
        PathBuilder band;
        band.Rectangle(0, 60, 160, 40);
        s.Fill(band, Rgba(40, 90, 200));
        s.Place(Matrix3::CreateRotation(-0.35f));
        s.context->renderState->blendMode = BlendMode::Screen;
        TextRun(font(s, "Noto Sans", 26), "Screen").Draw(-20, 110, solid(s, Rgba(230, 200, 40)));
    });
    sheet.Caption(2, 2, "Path transform and\nscreen blend");
    sheet.Save(directory + "/shaped-text.png");
}

int main(int argc, char** argv) {
    const std::string directory = argc > 1 ? argv[1] : "gallery";
    if (CaptionFontPath().empty()) {
        std::fprintf(stderr, "gallery: DejaVu Sans not found (Debian package fonts-dejavu-core)\n");
        return 1;
    }
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
        DrawText(directory);
        DrawShapedText(directory);
        DrawImagePaint(directory);
        DrawImageQuality(directory);
        DrawClipsAndLayers(directory);
        DrawIcons(directory);
    } catch (const Exception&) {
        std::fprintf(stderr, "gallery: drawing failed\n");
        return 1;
    }
    return 0;
}
