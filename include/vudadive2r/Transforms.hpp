// The five named transforms of a context.
#ifndef VUDADIVE2R_TRANSFORMS_HPP
#define VUDADIVE2R_TRANSFORMS_HPP

#include "Types.hpp"

namespace ORV {
namespace Vudadive2R {

class ORV_API Transform {
public:
    explicit Transform(TransformName name);
    virtual ~Transform();

    // Each elementary operation multiplies on the right: the operation given
    // last is applied last to a point.
    void Translate(float tx, float ty);
    void Scale(float sx, float sy);
    void Rotate(float angle);
    void Set(const Matrix3& m);
    void LoadIdentity();
    Matrix3 Get();

    TransformName name;  // not read by the library

private:
    Matrix3 base;
    Matrix3 matrix;
};

// Owned by a context; the five transforms are never replaced.
class ORV_API Transforms {
public:
    Transforms();
    virtual ~Transforms();
    Transforms(const Transforms&) = delete;
    Transforms& operator=(const Transforms&) = delete;

    Transform* path;
    Transform* image;
    Transform* fillPaint;
    Transform* strokePaint;
    Transform* glyph;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
