#include "paint/PaintRoad.hpp"

#include <typeinfo>

namespace ORV {
namespace Vudadive2R {

bool RidesOwnRoad(const Paint& paint) {
    const std::type_info& type = typeid(paint);
    return type == typeid(ColorPaint) || type == typeid(LinearGradientPaint) ||
           type == typeid(RadialGradientPaint) || type == typeid(ImagePaint);
}

void RasterizeOnOwnRoad(Paint& paint, const RoadArguments& arguments) {
    const std::type_info& type = typeid(paint);
    if (type == typeid(ColorPaint))
        RenderOnRoad(static_cast<ColorPaint&>(paint), arguments);
    else if (type == typeid(LinearGradientPaint))
        RenderOnRoad(static_cast<LinearGradientPaint&>(paint), arguments);
    else if (type == typeid(RadialGradientPaint))
        RenderOnRoad(static_cast<RadialGradientPaint&>(paint), arguments);
    else if (type == typeid(ImagePaint))
        RenderOnRoad(static_cast<ImagePaint&>(paint), arguments);
}

}  // namespace Vudadive2R
}  // namespace ORV
