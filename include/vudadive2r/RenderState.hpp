/// @file
/// Per-context parameters that apply to every drawing operation.
#ifndef VUDADIVE2R_RENDERSTATE_HPP
#define VUDADIVE2R_RENDERSTATE_HPP

#include <vector>

#include "Types.hpp"

namespace ORV {
namespace Vudadive2R {

/// Setters never validate: values are stored as given and out-of-range
/// enumerations are reported by the drawing operation that meets them.
class ORV_API RenderState {
public:
    /// The defaults: BottomLeft, SourceOver, no scissoring.
    RenderState();
    /// Nothing to release beyond the members.
    virtual ~RenderState();

    /// Restores the defaults; the scissor list is emptied.
    void SetDefaults();

    Origin origin;  ///< only zero is BottomLeft; any other value draws as TopLeft
    /// 1 by default; ImageQualityHigh resamples images that an image paint shrinks.
    ImageQuality imageQuality;
    /// Stored only (2 by default); anti-aliasing is always on.
    RenderingQuality renderingQuality;
    /// Compositing of every paint; drawing rejects a value outside the enumeration.
    BlendMode blendMode;
    /// Stored only (0 by default).
    ImageMode imageMode;
    /// Clip rectangles in surface pixels, y counted from the origin.
    std::vector<IntRectangle> scissorRectangles;
    /// When true, drawing touches only pixels inside the union of the rectangles.
    bool scissoringEnabled;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
