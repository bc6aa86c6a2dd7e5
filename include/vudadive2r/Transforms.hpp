/// @file
/// The five named transforms of a context.
#ifndef VUDADIVE2R_TRANSFORMS_HPP
#define VUDADIVE2R_TRANSFORMS_HPP

#include "Types.hpp"

namespace ORV {
namespace Vudadive2R {

/// One named affine transform: a Matrix3 in the row-vector convention.
class ORV_API Transform {
public:
    /// The identity.
    explicit Transform(TransformName name);
    /// Owns nothing.
    virtual ~Transform();

    /// Each elementary operation multiplies on the right: the operation given
    /// last is applied last to a point.
    void Translate(float tx, float ty);
    /// Appends a scaling by (sx, sy).
    void Scale(float sx, float sy);
    /// Appends a rotation by `angle` radians from +x towards +y, about the origin.
    void Rotate(float angle);
    /// Replaces the matrix.
    void Set(const Matrix3& m);
    /// Resets to the identity.
    void LoadIdentity();
    /// The current matrix, by value.
    Matrix3 Get();

    TransformName name;  ///< not read by the library

private:
    Matrix3 base;
    Matrix3 matrix;
};

/// Owned by a context; the five transforms are never replaced.
class ORV_API Transforms {
public:
    Transforms();
    virtual ~Transforms();
    Transforms(const Transforms&) = delete;
    Transforms& operator=(const Transforms&) = delete;

    /// Path coordinates to surface pixels.
    Transform* path;
    /// Image space to path space: places an image paint's image.
    Transform* image;
    /// Fill paint space to path space.
    Transform* fillPaint;
    /// Stroke paint space to path space.
    Transform* strokePaint;
    /// Glyph space, for text.
    Transform* glyph;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
