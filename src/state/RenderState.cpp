#include "vudadive2r/RenderState.hpp"

namespace ORV {
namespace Vudadive2R {

RenderState::RenderState() { SetDefaults(); }
RenderState::~RenderState() {}

void RenderState::SetDefaults() {
    origin = Origin::BottomLeft;
    imageQuality = 1;
    renderingQuality = 2;
    blendMode = BlendMode::SourceOver;
    imageMode = 0;
    scissoringEnabled = false;
    scissorRectangles.clear();  // capacity kept for reuse
}

}  // namespace Vudadive2R
}  // namespace ORV
