#include "paint/PaintPasses.hpp"

#include <typeinfo>

namespace ORV {
namespace Vudadive2R {

PaintColors LibraryPaintColors(const Paint& paint) {
    static const struct {
        const std::type_info& type;
        PaintColors colors;
    } classes[] = {{typeid(ColorPaint), ColorPaintColors},
                   {typeid(LinearGradientPaint), LinearGradientColors},
                   {typeid(RadialGradientPaint), RadialGradientColors},
                   {typeid(ImagePaint), ImagePaintColors}};
    const std::type_info& type = typeid(paint);
    for (const auto& entry : classes)
        if (entry.type == type)
            return entry.colors;
    return nullptr;
}

}  // namespace Vudadive2R
}  // namespace ORV
