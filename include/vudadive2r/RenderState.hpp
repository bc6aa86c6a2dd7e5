// Per-context parameters that apply to every drawing operation.
#ifndef VUDADIVE2R_RENDERSTATE_HPP
#define VUDADIVE2R_RENDERSTATE_HPP

#include <vector>

#include "Types.hpp"

namespace ORV {
namespace Vudadive2R {

// Setters never validate: values are stored as given and out-of-range
// enumerations are reported by the drawing operation that meets them.
class ORV_API RenderState {
public:
    RenderState();
    virtual ~RenderState();

    void SetDefaults();

    Origin origin;  // only zero is BottomLeft; any other value draws as TopLeft
    ImageQuality imageQuality;
    RenderingQuality renderingQuality;
    BlendMode blendMode;
    ImageMode imageMode;
    std::vector<IntRectangle> scissorRectangles;
    bool scissoringEnabled;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
