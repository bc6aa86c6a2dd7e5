#include "paint/GradientRamp.hpp"

#include <agg_gradient_lut.h>

#include <algorithm>
#include <cmath>

#include "common/ColorBytes.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

typedef agg::gradient_lut<agg::color_interpolator<agg::rgba>, ColorRamp::Entries> LookupTable;

// The lookup table's own conversion rounds through an int, which is
// undefined for components below 0 or far above 1.
agg::rgba8 Bytes(const agg::rgba& c) {
    return agg::rgba8(ColorComponentToByte(c.r), ColorComponentToByte(c.g), ColorComponentToByte(c.b),
                      ColorComponentToByte(c.a));
}

agg::rgba Widened(const Color& c) { return agg::rgba(c.R, c.G, c.B, c.A); }

// The lookup table's clamp of an offset.
double Clamped(float offset) { return std::min(1.0, std::max(0.0, double(offset))); }

}  // namespace

ColorRamp::ColorRamp(const std::vector<ColorStop>& stops) : rampKind(Kind::Empty) {
    // The table writes no entry with fewer than two distinct offsets, and a
    // NaN offset would break its sort and its index rounding.
    const ColorStop* first = nullptr;
    bool distinct = false;
    for (const ColorStop& stop : stops) {
        if (std::isnan(stop.Offset))
            continue;
        if (!first)
            first = &stop;
        else if (Clamped(stop.Offset) != Clamped(first->Offset))
            distinct = true;
    }
    if (!first)
        return;
    if (!distinct) {
        rampKind = Kind::Solid;
        std::fill(entries, entries + Entries, Bytes(Widened(first->Color)));
        return;
    }

    LookupTable table;
    for (const ColorStop& stop : stops)
        if (!std::isnan(stop.Offset))
            table.add_color(stop.Offset, Widened(stop.Color));
    table.build_lut();
    opaque = true;
    for (unsigned i = 0; i < Entries; ++i) {
        entries[i] = Bytes(table[i]);
        opaque = opaque && entries[i].a == 255;
    }
    rampKind = Kind::Graded;
}

}  // namespace Vudadive2R
}  // namespace ORV
