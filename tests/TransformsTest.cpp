// The five named transforms: composition order, Set/Get, and the C views.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "TestSupport.hpp"

using namespace ORV::Vudadive2R;
using TestSupport::Surface;

namespace {

bool IsIdentity(const orv_matrix3& m) { return std::memcmp(m.M, Matrix3::Identity.M, sizeof m.M) == 0; }

Float32x2 Map(orv_transform* transform, float x, float y) {
    orv_matrix3 m = orv_transform_get(transform);
    Matrix3 matrix;
    std::memcpy(matrix.M, m.M, sizeof m.M);
    return Matrix3::Transform({x, y}, matrix);
}

}  // namespace

TEST(Transforms, ViewsAreStableAndDistinct) {
    Surface surface(2, 2);
    orv_context2D context = orv_context2D_create(surface.surface);
    orv_transforms* transforms = orv_context2D_transforms_get(context);
    orv_transform* all[] = {orv_transforms_path(transforms), orv_transforms_image(transforms),
                            orv_transforms_fill_paint(transforms), orv_transforms_stroke_paint(transforms),
                            orv_transforms_glyph(transforms)};
    EXPECT_EQ(orv_transforms_path(transforms), all[0]);
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(IsIdentity(orv_transform_get(all[i])));
        for (int j = i + 1; j < 5; ++j)
            EXPECT_NE(all[i], all[j]);
    }
    orv_context2D_destroy(context);
}

TEST(Transforms, CompositionAppliesTheLastOperationLast) {
    Surface surface(2, 2);
    orv_context2D context = orv_context2D_create(surface.surface);
    orv_transform* path = orv_transforms_path(orv_context2D_transforms_get(context));

    orv_transform_translate(path, 10, 20);
    orv_matrix3 m = orv_transform_get(path);
    const float translated[9] = {1, 0, 0, 0, 1, 0, 10, 20, 1};
    EXPECT_EQ(std::memcmp(m.M, translated, sizeof translated), 0);

    orv_transform_load_identity(path);
    orv_transform_translate(path, 10, 0);
    orv_transform_rotate(path, float(M_PI / 2));
    Float32x2 p = Map(path, 1, 0);
    EXPECT_NEAR(p.X, 0, 1e-5);
    EXPECT_NEAR(p.Y, 11, 1e-5);

    orv_transform_load_identity(path);
    orv_transform_rotate(path, float(M_PI / 2));
    orv_transform_translate(path, 10, 0);
    p = Map(path, 1, 0);
    EXPECT_NEAR(p.X, 10, 1e-5);
    EXPECT_NEAR(p.Y, 1, 1e-5);

    orv_transform_load_identity(path);
    orv_transform_scale(path, 2, 3);
    orv_transform_scale(path, 0.5f, 1);
    m = orv_transform_get(path);
    EXPECT_EQ(m.M[0], 1.0f);
    EXPECT_EQ(m.M[4], 3.0f);

    // Set replaces the matrix; later operations compose onto it. Values are
    // stored unvalidated, non-finite and singular ones included.
    const orv_matrix3 set = {{2, 0.5f, 0, -1, 3, 0, 4, 5, 1}};
    orv_transform_set(path, &set);
    m = orv_transform_get(path);
    EXPECT_EQ(std::memcmp(m.M, set.M, sizeof set.M), 0);
    orv_transform_translate(path, 1, 1);
    p = Map(path, 0, 0);
    EXPECT_EQ(p.X, 5.0f);
    EXPECT_EQ(p.Y, 6.0f);
    const orv_matrix3 singular = {{0, 0, 0, 0, 0, 0, 1, 2, 1}};
    orv_transform_set(path, &singular);
    EXPECT_EQ(orv_transform_get(path).M[0], 0.0f);

    orv_context2D_destroy(context);
}
