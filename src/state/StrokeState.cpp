#include "vudadive2r/DrawingState.hpp"

namespace ORV {
namespace Vudadive2R {

StrokeState::StrokeState() { SetDefaults(); }
StrokeState::~StrokeState() {}

void StrokeState::Paint(const std::shared_ptr<Vudadive2R::Paint>& newPaint) { paint = newPaint; }
float StrokeState::LineWidth() const { return lineWidth; }
void StrokeState::LineWidth(float width) { lineWidth = width; }
Vudadive2R::CapStyle StrokeState::CapStyle() const { return capStyle; }
void StrokeState::CapStyle(Vudadive2R::CapStyle style) { capStyle = style; }
Vudadive2R::JoinStyle StrokeState::JoinStyle() const { return joinStyle; }
void StrokeState::JoinStyle(Vudadive2R::JoinStyle style) { joinStyle = style; }
float StrokeState::MiterLimit() const { return miterLimit; }
void StrokeState::MiterLimit(float limit) { miterLimit = limit; }
float StrokeState::DashPhase() const { return dashPhase; }
void StrokeState::DashPhase(float phase) { dashPhase = phase; }
bool StrokeState::DashPhaseResetEnabled() { return dashPhaseResetEnabled; }
void StrokeState::DashPhaseResetEnabled(bool enabled) { dashPhaseResetEnabled = enabled; }

void StrokeState::SetDefaults() {
    paint.reset();
    lineWidth = 1.0f;
    capStyle = Vudadive2R::CapStyle::Butt;
    joinStyle = Vudadive2R::JoinStyle::Miter;
    miterLimit = 4.0f;
    dashPhase = 0.0f;
    dashPhaseResetEnabled = false;
    dashPattern.clear();  // capacity kept for reuse
}

}  // namespace Vudadive2R
}  // namespace ORV
