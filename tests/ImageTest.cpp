// Plain images over client memory and images over surfaces of the core library.
#include <gtest/gtest.h>

#include <climits>

#include "TestSupport.hpp"

using namespace ORV::Vudadive2R;

TEST(Image, CInterfaceReturnsWhatWasGivenAndLeavesMemoryAlone) {
    std::vector<uint8_t> memory(16, 0xA5);
    TestSupport::Surface surface(1, 1);
    orv_context2D context = orv_context2D_create(surface.surface);
    // Nothing is validated: negative sizes and strides, null data, odd codes.
    const struct { orv_context2D owner; int format, width, height, stride; void* data; } cases[] = {
        {context, int(TestSupport::kRA24), 2, 3, 8, memory.data()},
        {nullptr, 0x7FFFFFFF, -1, INT_MIN, -4, nullptr},
    };
    for (const auto& c : cases) {
        orv_image image = orv_image_create(c.owner, c.format, c.width, c.height, c.stride, c.data);
        EXPECT_EQ(orv_image_format_get(image), c.format);
        EXPECT_EQ(orv_image_width_get(image), c.width);
        EXPECT_EQ(orv_image_height_get(image), c.height);
        EXPECT_EQ(orv_image_stride_get(image), c.stride);
        EXPECT_EQ(orv_image_data_get(image), c.data);
        orv_image_destroy(image);
    }
    orv_context2D_destroy(context);
    EXPECT_EQ(memory, std::vector<uint8_t>(16, 0xA5));
    orv_image_destroy(nullptr);
    orv_png_image_destroy(nullptr);
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
        EXPECT_EQ(uint32_t(image->format), c.format);
        EXPECT_EQ(image->width, c.width);
        EXPECT_EQ(image->height, c.height);
        EXPECT_EQ(image->stride, c.stride);
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
