/// @file
/// Fill and stroke parameters. They belong to no context and only store
/// values; Path::Draw validates what it reads.
#ifndef VUDADIVE2R_DRAWINGSTATE_HPP
#define VUDADIVE2R_DRAWINGSTATE_HPP

#include <memory>
#include <vector>

#include "Paint.hpp"
#include "Types.hpp"

namespace ORV {
namespace Vudadive2R {

struct Internals;

/// How a path is filled: a paint and a fill rule.
class ORV_API FillState {
public:
    /// No paint, FillRule::EvenOdd.
    FillState();
    /// Releases the paint.
    virtual ~FillState();

    /// Shares `paint` (empty: no fill).
    void Paint(const std::shared_ptr<Vudadive2R::Paint>& paint);
    /// The fill rule.
    Vudadive2R::FillRule FillRule() const;
    /// Stores the fill rule unchecked; drawing rejects a value outside the enumeration.
    void FillRule(Vudadive2R::FillRule rule);
    /// Drops the paint and restores the constructor's values.
    void SetDefaults();

private:
    friend struct Internals;
    std::shared_ptr<Vudadive2R::Paint> paint;
    Vudadive2R::FillRule fillRule;
};

/// How a path is stroked: paint, width, caps, joins and dashes, in surface pixels.
class ORV_API StrokeState {
public:
    /// No paint, width 1, CapStyle::Butt, JoinStyle::Miter, miter limit 4, no dashes.
    StrokeState();
    /// Releases the paint.
    virtual ~StrokeState();

    /// Shares `paint` (empty: no stroke).
    void Paint(const std::shared_ptr<Vudadive2R::Paint>& paint);
    /// The line width in surface pixels.
    float LineWidth() const;
    /// Stores the line width (surface pixels), unchecked; a negative width strokes as its magnitude.
    void LineWidth(float width);
    /// The cap style of open ends.
    Vudadive2R::CapStyle CapStyle() const;
    /// Stores the cap style unchecked; drawing rejects a value outside the enumeration.
    void CapStyle(Vudadive2R::CapStyle style);
    /// The join style of corners.
    Vudadive2R::JoinStyle JoinStyle() const;
    /// Stores the join style unchecked; drawing rejects a value outside the enumeration.
    void JoinStyle(Vudadive2R::JoinStyle style);
    /// The longest miter, from the corner to its tip, as a multiple of half the line width.
    float MiterLimit() const;
    /// Stores the miter limit, unchecked.
    void MiterLimit(float limit);
    /// How far into the dash pattern each sub-path starts, in surface pixels.
    float DashPhase() const;
    /// Stores the dash phase (surface pixels).
    void DashPhase(float phase);
    bool DashPhaseResetEnabled();  ///< stored only; drawing ignores it
    /// Stores the flag; drawing does not read it.
    void DashPhaseResetEnabled(bool enabled);
    /// Drops the paint and restores the constructor's values.
    void SetDefaults();

    /// Dash-gap pairs in pattern order; no accessor, read directly.
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
