// Fill and stroke parameters. They belong to no context and only store
// values; Path::Draw validates what it reads.
#ifndef VUDADIVE2R_DRAWINGSTATE_HPP
#define VUDADIVE2R_DRAWINGSTATE_HPP

#include <memory>
#include <vector>

#include "Paint.hpp"
#include "Types.hpp"

namespace ORV {
namespace Vudadive2R {

struct Internals;

class ORV_API FillState {
public:
    FillState();
    virtual ~FillState();

    void Paint(const std::shared_ptr<Vudadive2R::Paint>& paint);
    Vudadive2R::FillRule FillRule() const;
    void FillRule(Vudadive2R::FillRule rule);
    void SetDefaults();

private:
    friend struct Internals;
    std::shared_ptr<Vudadive2R::Paint> paint;
    Vudadive2R::FillRule fillRule;
};

class ORV_API StrokeState {
public:
    StrokeState();
    virtual ~StrokeState();

    void Paint(const std::shared_ptr<Vudadive2R::Paint>& paint);
    float LineWidth() const;
    void LineWidth(float width);
    Vudadive2R::CapStyle CapStyle() const;
    void CapStyle(Vudadive2R::CapStyle style);
    Vudadive2R::JoinStyle JoinStyle() const;
    void JoinStyle(Vudadive2R::JoinStyle style);
    float MiterLimit() const;
    void MiterLimit(float limit);
    float DashPhase() const;
    void DashPhase(float phase);
    bool DashPhaseResetEnabled();  // stored only; drawing ignores it
    void DashPhaseResetEnabled(bool enabled);
    void SetDefaults();

    // Dash-gap pairs in pattern order; no accessor, read directly.
    std::vector<Dash> dashPattern;

private:
    friend struct Internals;
    std::shared_ptr<Vudadive2R::Paint> paint;
    float lineWidth;
    Vudadive2R::CapStyle capStyle;
    Vudadive2R::JoinStyle joinStyle;
    float miterLimit;
    float dashPhase;
    bool dashPhaseResetEnabled;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
