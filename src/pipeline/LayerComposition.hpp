// A layer's pop: every pixel of the layer composited onto the target below
// it with the layer's operation, at its opacity met with the clip, once per
// scissor box.
#ifndef VUDADIVE2R_PIPELINE_LAYERCOMPOSITION_HPP
#define VUDADIVE2R_PIPELINE_LAYERCOMPOSITION_HPP

#include "context/DrawingStack.hpp"
#include "pipeline/DrawTarget.hpp"

namespace ORV {
namespace Vudadive2R {

void CompositeLayer(const DrawTarget& target, const Layer& layer);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
