// The colour ramp of a gradient draw: AGG's 256-entry lookup table built
// from the stops, converted once to the bytes that the spans carry.
#ifndef VUDADIVE2R_PAINT_GRADIENTRAMP_HPP
#define VUDADIVE2R_PAINT_GRADIENTRAMP_HPP

#include <agg_color_rgba.h>

#include <vector>

#include "vudadive2r/GradientPaint.hpp"

namespace ORV {
namespace Vudadive2R {

class ColorRamp {
public:
    typedef agg::rgba8 color_type;
    enum { Entries = 256 };

    // No usable stop: Empty. One offset left after clamping: Solid, every
    // entry the first such stop's colour. Otherwise Graded, by the lookup
    // table's rules. Stops with a NaN offset have no place on the ramp and
    // are left out.
    enum class Kind { Empty, Solid, Graded };

    explicit ColorRamp(const std::vector<ColorStop>& stops);

    Kind kind() const { return rampKind; }
    // Whether every entry has alpha 255.
    bool Opaque() const { return opaque; }

    // The span generator's colour function.
    static unsigned size() { return Entries; }
    const color_type& operator[](unsigned index) const { return entries[index]; }

private:
    Kind rampKind;
    bool opaque = false;
    color_type entries[Entries];
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
