// Random image-paint scenes drawn by the library and by the composition
// written here with AGG alone: random images and strides, every tiling mode,
// random image and path transforms, blend modes, origins and scissor boxes,
// filled and stroked. The sampling is written from the definitions:
// the tiling rules of ImageSupport, the packaged interpolator and filter
// weights, sums rounded to the nearest.
#include <gtest/gtest.h>

#include <agg_image_filters.h>
#include <agg_span_allocator.h>

#include <random>

#include "DrawSupport.hpp"
#include "ImageSupport.hpp"
#include "PlainTarget.hpp"
#include "common/Internals.hpp"

using namespace DrawSupport;
using namespace ImageSupport;

TEST(ImagePaintDifferential, RandomScenesMatchThePlainComposition) {
    std::mt19937 random(20261207);
    auto uniform = [&](float low, float high) { return std::uniform_real_distribution<float>(low, high)(random); };
    auto integer = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    int drawn = 0;
    for (int index = 0; index < 300; ++index) {
        SCOPED_TRACE(index);
        const int width = integer(1, 7), height = integer(1, 7);
        Picture picture(width, height, (integer(0, 1) ? 1 : -1) * 4 * (width + integer(0, 2)));
        for (uint8_t& byte : picture.bytes)
            byte = uint8_t(integer(0, 255));
        const Origin origin = Origin(integer(0, 1));
        const int blend = integer(0, 9);
        Canvas canvas(40, 32, origin);
        for (uint8_t& byte : canvas.surface.memory)
            byte = uint8_t(integer(0, 255));
        TestSupport::Surface plain(40, 32);
        plain.memory = canvas.surface.memory;
        PlainTarget target(plain, origin, BlendMode(blend));
        canvas.State().blendMode = BlendMode(blend);
        canvas.State().scissoringEnabled = true;
        if (integer(0, 2) == 0)
            canvas.State().scissorRectangles = {{integer(0, 30), integer(0, 20), integer(0, 30), integer(0, 20)},
                                                {integer(0, 30), integer(0, 20), 12, 9}};
        for (const IntRectangle& r : canvas.State().scissorRectangles)
            target.renderer.add_clip_box(r.X, r.Y, r.X + r.Width, r.Y + r.Height);

        Transforms& transforms = *canvas.context->transforms;
        transforms.image->Rotate(uniform(-3.2f, 3.2f));
        transforms.image->Scale(uniform(0.3f, 4), uniform(0.3f, 4));
        transforms.image->Translate(uniform(-10, 40), uniform(-10, 30));
        transforms.path->Scale(uniform(0.5f, 2), uniform(0.5f, 2));
        transforms.path->Rotate(uniform(-0.5f, 0.5f));
        transforms.path->Translate(uniform(-5, 15), uniform(-5, 15));
        transforms.fillPaint->Rotate(uniform(-3, 3));  // not used by the image paint
        transforms.strokePaint->Scale(uniform(0.1f, 9), 1);
        Geometry geometry;
        if (integer(0, 2) == 0) {
            geometry.Circle(uniform(0, 30), uniform(0, 25), uniform(2, 30));
        } else {
            geometry.Move(uniform(-20, 50), uniform(-20, 40));
            for (int k = integer(2, 6); k > 0; --k)
                geometry.Line(uniform(-20, 50), uniform(-20, 40));
        }
        auto path = geometry.On(canvas);
        auto paint = std::make_shared<ImagePaint>(
            canvas, picture.Make(canvas, integer(0, 1) ? TestSupport::kRA24 : TestSupport::kRX24));
        paint->ImageTilingMode = TilingMode(integer(0, 3));
        paint->TileColor = Color{uniform(0, 1), uniform(0, 1), uniform(0, 1), uniform(0, 1)};
        auto fill = TestSupport::FillWith(paint);
        fill->FillRule(FillRule(integer(0, 1)));
        const float strokeWidth = integer(0, 1) ? uniform(0.5f, 6) : 0.0f;
        std::shared_ptr<StrokeState> stroke;
        if (strokeWidth > 0) {  // butt caps, miter joins and limit 4 by default, as AGG's
            stroke = std::make_shared<StrokeState>();
            stroke->Paint(paint);
            stroke->LineWidth(strokeWidth);
        }
        path->Draw(fill, stroke);
        drawn += canvas.surface.memory != plain.memory;

        // The image is placed by the image transform followed by the path transform.
        Matrix3 placement;
        Matrix3::Multiply(transforms.image->Get(), transforms.path->Get(), placement);
        agg::trans_affine imageMatrix = Affine(placement);
        imageMatrix.invert();
        Interpolator interpolator(imageMatrix);
        agg::image_filter_lut filter(agg::image_filter_bilinear(), true);
        auto byte = [](float c) { return int(double(c) * 255 + 0.5); };
        const Color& tile = paint->TileColor;
        ReferenceSampler sampler{picture, paint->ImageTilingMode, Rgba{byte(tile.R), byte(tile.G), byte(tile.B), byte(tile.A)},
                                 interpolator, filter.weight_array()};
        agg::span_allocator<agg::rgba8> allocator;
        auto render = [&] {
            agg::render_scanlines_aa(target.rasterizer, target.scanline, target.renderer, allocator, sampler);
        };
        const PlainStroke plainStroke{strokeWidth};
        FillAndStrokePlainly(target, Internals::StorageOf(*path), transforms.path->Get(), fill->FillRule(), render,
                             stroke ? &plainStroke : nullptr, render);
        ASSERT_EQ(canvas.surface.memory, plain.memory);
    }
    EXPECT_GT(drawn, 200);  // most scenes change the surface
}
