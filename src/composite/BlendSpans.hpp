// Span loops that composite one blend mode exactly as the pixel format does,
// chosen once per renderer: portable, SSE2 or AVX2 on x86, portable or NEON
// on ARM.
#ifndef VUDADIVE2R_COMPOSITE_BLENDSPANS_HPP
#define VUDADIVE2R_COMPOSITE_BLENDSPANS_HPP

#include <cstddef>
#include <cstdint>

#include "composite/BlendOperations.hpp"

namespace ORV {
namespace Vudadive2R {

// Levels rank by width. NEON is ARM's 128-bit level and shares SSE2's rank,
// so that a cap or a request of that rank means NEON on ARM processors.
enum class SimdLevel { Portable, Sse2, Avx2, Neon = Sse2 };

// The widest level this processor runs.
SimdLevel BestSimdLevel();

// The level's name on this processor: "portable", "SSE2", "AVX2" or "NEON".
const char* SimdLevelName(SimdLevel level);

// Composites `length` pixels (bytes R, G, B, A, premultiplied) with one
// colour given premultiplied, `source` = R, G, B, A. `covers` holds one
// coverage per pixel, or is null for `cover` everywhere.
typedef void (*SolidSpanBlender)(uint8_t* pixels, unsigned length, const uint8_t* source, const uint8_t* covers,
                                 uint8_t cover);
// The same on each of `rows` rows (at least one), `stride` bytes apart, with
// the same coverages: a rectangle's rows, with one set-up.
typedef void (*SolidRowsBlender)(uint8_t* pixels, unsigned length, const uint8_t* source, const uint8_t* covers,
                                 uint8_t cover, unsigned rows, std::ptrdiff_t stride);
// The same with one straight colour per pixel (R, G, B, A bytes), which the
// loop premultiplies as (C x A + 255) >> 8.
typedef void (*ColorSpanBlender)(uint8_t* pixels, unsigned length, const uint8_t* colors, const uint8_t* covers,
                                 uint8_t cover);

// Writes the four bytes `source` to each of `length` pixels: what a colour
// whose result is the source itself does at full coverage.
typedef void (*SpanFiller)(uint8_t* pixels, unsigned length, const uint8_t* source);
// The same on each of `rows` rows, `stride` bytes apart.
typedef void (*SpanRowsFiller)(uint8_t* pixels, unsigned length, const uint8_t* source, unsigned rows,
                               std::ptrdiff_t stride);

struct SpanBlenders {
    SolidSpanBlender solid;
    SolidRowsBlender solidRows;
    ColorSpanBlender color;
    SpanFiller fill;  // the fills are the same for every operation of a level
    SpanRowsFiller fillRows;
    ColorSpanBlender colorSwapped;  // color for pixels that keep blue first
};

// The loops of `operation` at `level`; a level this processor lacks gives
// the widest one it has.
const SpanBlenders& SpanBlendersFor(BlendOperation operation, SimdLevel level);

// Each level's table, indexed by BlendOperation.
const SpanBlenders* PortableSpanBlenders();
const SpanBlenders* Sse2SpanBlenders();
const SpanBlenders* Avx2SpanBlenders();
const SpanBlenders* NeonSpanBlenders();

}  // namespace Vudadive2R
}  // namespace ORV

#endif
