// Images over surfaces of the core library.
#include <gtest/gtest.h>

#include "TestSupport.hpp"

using namespace ORV::Vudadive2R;

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
