#include <memory>

#include "vudadive2r/Transforms.hpp"

namespace ORV {
namespace Vudadive2R {

Transform::Transform(TransformName name) : name(name), base(Matrix3::Identity), matrix(Matrix3::Identity) {}
Transform::~Transform() {}

void Transform::Translate(float tx, float ty) { Matrix3::Multiply(matrix, Matrix3::CreateTranslation(tx, ty), matrix); }
void Transform::Scale(float sx, float sy) { Matrix3::Multiply(matrix, Matrix3::CreateScale(sx, sy), matrix); }
void Transform::Rotate(float angle) { Matrix3::Multiply(matrix, Matrix3::CreateRotation(angle), matrix); }
void Transform::Set(const Matrix3& m) { Matrix3::Multiply(m, base, matrix); }
void Transform::LoadIdentity() { Set(Matrix3::Identity); }

Matrix3 Transform::Get() {
    Matrix3 result;
    Matrix3::Multiply(base, matrix, result);
    return result;
}

Transforms::Transforms() : path(nullptr), image(nullptr), fillPaint(nullptr), strokePaint(nullptr), glyph(nullptr) {
    std::unique_ptr<Transform> ownedPath(new Transform(TransformName::Path));
    std::unique_ptr<Transform> ownedImage(new Transform(TransformName::Image));
    std::unique_ptr<Transform> ownedFillPaint(new Transform(TransformName::FillPaint));
    std::unique_ptr<Transform> ownedStrokePaint(new Transform(TransformName::StrokePaint));
    std::unique_ptr<Transform> ownedGlyph(new Transform(TransformName::Glyph));
    path = ownedPath.release();
    image = ownedImage.release();
    fillPaint = ownedFillPaint.release();
    strokePaint = ownedStrokePaint.release();
    glyph = ownedGlyph.release();
}

Transforms::~Transforms() {
    delete path;
    delete image;
    delete fillPaint;
    delete strokePaint;
    delete glyph;
}

}  // namespace Vudadive2R
}  // namespace ORV
