// A toolbar button as a user interface draws it, in its normal, hover and
// pressed states: a rounded rectangle with a gradient, a soft shadow of
// offset translucent shapes, an icon path and a label; saved as a PNG file.
//
//   widget [OUTPUT.png [FONT.ttf]]     (widget.png and DejaVu Sans by default)
//
// Build it with
//   c++ -std=c++17 widget.cpp $(pkg-config --cflags --libs vudadive2r) -o widget
#include <cstdio>
#include <memory>

#include "vudadive2r.h"
#include "vudadive2r.hpp"

using namespace ORV::Vudadive2R;

namespace {

constexpr int kWidth = 540, kHeight = 150;
constexpr float kButtonWidth = 148, kButtonHeight = 52, kRadius = 10;

Color Rgb(int r, int g, int b, float a = 1.0f) { return Color{r / 255.0f, g / 255.0f, b / 255.0f, a}; }

// How a state looks: the gradient from top to bottom, the border, how far
// the shadow falls, and how far a press pushes the content down.
struct Look {
    const char* name;
    Color top, bottom, border;
    float shadowDrop;
    int shadowLayers;
    float push;
};

class Toolbar {
public:
    Toolbar(orv_surface* surface, const char* fontFile)
        : context(std::make_shared<Context2D>(surface)), label(context, fontFile, 15), caption(context, fontFile, 12) {
        context->renderState->origin = Origin::TopLeft;
        // The toolbar's own background: a gentle vertical gradient.
        auto background = std::make_shared<LinearGradientPaint>(context, 0, 0, 0, kHeight);
        background->ColorStops = {{0, Rgb(246, 247, 249)}, {1, Rgb(226, 229, 234)}};
        PathBuilder all;
        all.Rectangle(0, 0, kWidth, kHeight);
        Fill(all, background);
    }

    void Button(float x, float y, const Look& look) {
        // The shadow: rounded rectangles growing by a pixel each, every one
        // faint, so that their overlap darkens towards the middle.
        for (int layer = look.shadowLayers; layer >= 1; --layer) {
            PathBuilder shadow;
            const float grow = float(layer);
            shadow.RoundRectangle(x - grow, y - grow + look.shadowDrop, kButtonWidth + 2 * grow,
                                  kButtonHeight + 2 * grow, kRadius + 2 * grow, kRadius + 2 * grow);
            Fill(shadow, std::make_shared<ColorPaint>(context, Rgb(20, 30, 50, 0.045f)));
        }

        // The face: a gradient in the rounded rectangle, a one-pixel border
        // on pixel centres and a highlight line under the top edge.
        PathBuilder face;
        face.RoundRectangle(x + 0.5f, y + 0.5f, kButtonWidth - 1, kButtonHeight - 1, kRadius, kRadius);
        auto gradient = std::make_shared<LinearGradientPaint>(context, 0, y, 0, y + kButtonHeight);
        gradient->ColorStops = {{0, look.top}, {1, look.bottom}};
        auto border = std::make_shared<StrokeState>();
        border->Paint(std::make_shared<ColorPaint>(context, look.border));
        border->LineWidth(1);
        auto fill = std::make_shared<FillState>();
        fill->Paint(gradient);
        face.ToPath(context)->Draw(fill, border);
        if (look.push == 0) {
            PathBuilder highlight;
            highlight.Line(x + kRadius, y + 1.5f, x + kButtonWidth - kRadius, y + 1.5f);
            Stroke(highlight, Rgb(255, 255, 255, 0.8f), 1);
        }

        // The icon, a download arrow into a tray, and the label beside it.
        const float iconX = x + 18, iconY = y + 14 + look.push;
        PathBuilder arrow;
        arrow.MoveTo(iconX + 12, iconY);
        arrow.LineTo(iconX + 12, iconY + 15);
        arrow.MoveTo(iconX + 5, iconY + 9);
        arrow.LineTo(iconX + 12, iconY + 16);
        arrow.LineTo(iconX + 19, iconY + 9);
        arrow.MoveTo(iconX + 2, iconY + 17);
        arrow.LineTo(iconX + 2, iconY + 23);
        arrow.LineTo(iconX + 22, iconY + 23);
        arrow.LineTo(iconX + 22, iconY + 17);
        auto icon = std::make_shared<StrokeState>();
        icon->Paint(std::make_shared<ColorPaint>(context, Rgb(37, 99, 185)));
        icon->LineWidth(2.5f);
        icon->CapStyle(CapStyle::Round);
        icon->JoinStyle(JoinStyle::Round);
        arrow.ToPath(context)->Draw(nullptr, icon);
        label.DrawString(int(x + 52), int(y + 32 + look.push), "Download", Rgb(33, 37, 43));

        const float width = caption.MeasureString(look.name);
        caption.DrawString(int(x + (kButtonWidth - width) / 2), int(y + kButtonHeight + 28), look.name,
                           Rgb(90, 96, 105));
    }

    void Finish() { context->Finish(); }

private:
    void Fill(PathBuilder& builder, const std::shared_ptr<Paint>& paint) {
        auto fill = std::make_shared<FillState>();
        fill->FillRule(FillRule::NonZero);
        fill->Paint(paint);
        builder.ToPath(context)->Draw(fill, nullptr);
    }

    void Stroke(PathBuilder& builder, Color color, float width) {
        auto stroke = std::make_shared<StrokeState>();
        stroke->Paint(std::make_shared<ColorPaint>(context, color));
        stroke->LineWidth(width);
        builder.ToPath(context)->Draw(nullptr, stroke);
    }

    std::shared_ptr<Context2D> context;
    Font label, caption;
};

}  // namespace

int main(int argc, char** argv) {
    const char* output = argc > 1 ? argv[1] : "widget.png";
    const char* fontFile = argc > 2 ? argv[2] : "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    orv_surface* surface = orv_surface_create(kWidth, kHeight, ZADOZI_FORMAT_AB24);
    int status = 0;
    try {
        Toolbar toolbar(surface, fontFile);
        const Look looks[] = {
            {"normal", Rgb(255, 255, 255), Rgb(232, 235, 240), Rgb(182, 188, 198), 2, 4, 0},
            {"hover", Rgb(247, 251, 255), Rgb(214, 228, 250), Rgb(110, 150, 215), 3, 6, 0},
            {"pressed", Rgb(208, 215, 226), Rgb(226, 231, 238), Rgb(150, 160, 176), 1, 1, 1},
        };
        for (int i = 0; i < 3; ++i)
            toolbar.Button(24 + i * (kButtonWidth + 24), 26, looks[i]);
        toolbar.Finish();

        // The surface's first row is the top of the picture; wrap its memory
        // as an "RA24" image (the picture is opaque, so premultiplied and
        // straight colours agree) and save it.
        orv_mapping* mapping = orv_surface_create_mapping(surface, ZADOZI_MAPPING_READ_WRITE);
        auto context = std::make_shared<Context2D>(surface);
        Image image(context, ZADOZI_FORMAT_RA24, kWidth, kHeight, orv_mapping_stride_get(mapping),
                    orv_mapping_sync_start(mapping));
        PngImage::Save(&image, output);
        orv_mapping_sync_end(mapping);
        orv_mapping_destroy(mapping);
        std::printf("widget: wrote %s\n", output);
    } catch (const Exception&) {
        // The library's own errors carry no text (it printed any message as
        // it threw): here, a font it cannot open or a file it cannot write.
        std::fprintf(stderr, "widget: cannot draw with the font '%s' into '%s'\n", fontFile, output);
        status = 1;
    }
    orv_surface_destroy(surface);
    return status;
}
