// Plain images over client memory and images over surfaces of the core library.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "TestSupport.hpp"

using namespace ORV::Vudadive2R;
using TestSupport::Surface;

TEST(Image, CInterfaceReadsEachFieldAndLeavesMemoryAlone) {
    uint8_t memory[16];
    std::memset(memory, 0xA5, sizeof memory);
    struct Case {
        int format, width, height, stride;
        void* data;
    };
    // Nothing is validated: negative sizes and strides, null data, odd codes.
    const Case cases[] = {
        {int(TestSupport::kRA24), 2, 2, 8, memory},
        {int(TestSupport::kR8), 3, 5, -4, memory + 1},
        {0x7FFFFFFF, -1, INT_MIN, INT_MAX, nullptr},
    };
    Surface surface(1, 1);
    orv_context2D context = orv_context2D_create(surface.surface);
    for (const Case& c : cases)
        for (orv_context2D owner : {context, orv_context2D(nullptr)}) {
            orv_image image = orv_image_create(owner, c.format, c.width, c.height, c.stride, c.data);
            EXPECT_EQ(orv_image_format_get(image), c.format);
            EXPECT_EQ(orv_image_width_get(image), c.width);
            EXPECT_EQ(orv_image_height_get(image), c.height);
            EXPECT_EQ(orv_image_stride_get(image), c.stride);
            EXPECT_EQ(orv_image_data_get(image), c.data);
            orv_image_destroy(image);
        }
    orv_context2D_destroy(context);
    for (uint8_t byte : memory)
        EXPECT_EQ(byte, 0xA5);
    orv_image_destroy(nullptr);
    orv_png_image_destroy(nullptr);
}

TEST(Image, KeepsItsContextAlive) {
    Surface surface(1, 1);
    auto context = std::make_shared<Context2D>(surface.surface);
    std::weak_ptr<Context2D> watch = context;
    auto image = std::make_unique<Image>(context, int(TestSupport::kRA24), 1, 1, 4, nullptr);
    context.reset();
    EXPECT_FALSE(watch.expired());
    image.reset();
    EXPECT_TRUE(watch.expired());
}

TEST(SurfaceImage, TakesFormatSizeAndStrideFromSurfaceAndMapping) {
    struct Case {
        int width, height;
        uint32_t format;
        int stride;
    };
    const Case cases[] = {
        {3, 2, TestSupport::kAB24, 12},
        {3, 2, TestSupport::kAB24, 20},   // padded rows
        {4, 3, TestSupport::kRG16, -8},   // row 0 last in memory
        {5, 1, TestSupport::kR8, 5},
    };
    for (const Case& c : cases) {
        Surface surface(c.width, c.height, c.format, c.stride);
        {
            SurfaceImage image(nullptr, surface.surface);
            EXPECT_EQ(uint32_t(image.format), c.format);
            EXPECT_EQ(image.width, c.width);
            EXPECT_EQ(image.height, c.height);
            EXPECT_EQ(image.stride, c.stride);
            EXPECT_EQ(image.data, surface.memory.data());
            EXPECT_EQ(image.surface, surface.surface);
            EXPECT_EQ(orv_surface_sync_start_count_get(surface.surface), 1);
            EXPECT_EQ(orv_surface_sync_end_count_get(surface.surface), 0);
        }
        // The mapping is released without ending the open access.
        EXPECT_EQ(orv_surface_sync_end_count_get(surface.surface), 0);
    }
}

TEST(SurfaceImage, FlushEndsAndRestartsAccessKeepingThePointer) {
    Surface surface(2, 2);
    SurfaceImage image(nullptr, surface.surface);
    void* data = image.data;
    for (int flushes = 1; flushes <= 3; ++flushes) {
        image.Flush();
        EXPECT_EQ(orv_surface_sync_end_count_get(surface.surface), flushes);
        EXPECT_EQ(orv_surface_sync_start_count_get(surface.surface), flushes + 1);
        EXPECT_EQ(image.data, data);
    }
}

TEST(SurfaceImage, CreateMappingReplacesTheMappingAndReturnsItsStride) {
    Surface surface(3, 2, TestSupport::kAB24, -16);
    SurfaceImage image(nullptr, surface.surface);
    orv_mapping* first = image.mapping;
    EXPECT_EQ(SurfaceImage::CreateMapping(&image, surface.surface), -16);
    EXPECT_NE(image.mapping, first);
    orv_mapping_destroy(first);  // the image now owns only the new one
}
