#include "vudadive2r/DrawingState.hpp"

namespace ORV {
namespace Vudadive2R {

FillState::FillState() { SetDefaults(); }
FillState::~FillState() {}

void FillState::Paint(const std::shared_ptr<Vudadive2R::Paint>& newPaint) { paint = newPaint; }
Vudadive2R::FillRule FillState::FillRule() const { return fillRule; }
void FillState::FillRule(Vudadive2R::FillRule rule) { fillRule = rule; }

void FillState::SetDefaults() {
    paint.reset();
    fillRule = Vudadive2R::FillRule::EvenOdd;
}

}  // namespace Vudadive2R
}  // namespace ORV
