#include "vudadive2r/GradientPaint.hpp"

namespace ORV {
namespace Vudadive2R {

GradientPaint::GradientPaint(const std::shared_ptr<Context2D>& context)
    : Paint(context), ColorRampSpreadMode(SpreadMode::Pad), ColorRampPremultiplierEnabled(false) {}
GradientPaint::~GradientPaint() {}

}  // namespace Vudadive2R
}  // namespace ORV
