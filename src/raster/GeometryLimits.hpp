// Limits that keep client numbers from overflowing the fixed-point
// rasterizer or multiplying the work of one draw. Geometry within the limits
// goes through the pipeline untouched, so its pixels are exactly those of the
// plain AGG composition; each limit says what it changes beyond.
#ifndef VUDADIVE2R_RASTER_GEOMETRYLIMITS_HPP
#define VUDADIVE2R_RASTER_GEOMETRYLIMITS_HPP


namespace ORV {
namespace Vudadive2R {

// Paint values have limits of their own, beside the paints'
// (GradientLimits in paint/GradientFunctions.hpp): a radial gradient's value
// is clamped to 2^23 - 1 sixteenths of a unit with pad, where the end colour
// is what padding gives anyway, and to 2^30 - 2^24 with repeat and reflect,
// whose folds take values that far; only beyond it does a ring stop.
struct GeometryLimits {
    // The rasterizer rounds coordinates to 24.8 fixed-point ints and
    // subtracts them; below this magnitude (2^22 pixels) neither overflows.
    static constexpr double RasterCoordinate = 4194304.0;
    // The limits below bound the reference road only, whose AGG rasterizer
    // keeps and sorts a cell for every row and column an edge crosses, and
    // whose AGG scanline holds span positions and lengths in 16 bits. The
    // library's own coverage culls exactly to what can reach the surface
    // and takes every vertex within RasterCoordinate as it is.
    //
    // Geometry reaching beyond this many pixels from the origin, in either
    // direction, is clipped to the surface, so that spans stay within 16 bits.
    static constexpr double SpanCoordinate = 32000.0;
    // Columns beyond each side of the surface within which the library's
    // coverage keeps every cell as AGG makes it for colours that vary along
    // a span, so that spans reaching the surface start and end where AGG's
    // do: AGG's scanline holds span positions and lengths in 16 bits, so no
    // span of its that reaches the surface starts or ends farther out.
    static constexpr int SpanColumns = 32767;
    // The packaged rasterizer miscounts coverage once the geometry of one
    // pass is 2^14 pixels wide or wider (a single edge that wide is even
    // added twice). Wider geometry goes through the clipped path, which
    // also halves edges that wide itself, as the rasterizer means to.
    static constexpr double EdgeWidth = 16000.0;
    // A pass whose edges cross more rows and columns than this, together,
    // is clipped to the surface instead, so that edges beside or beyond it
    // cost a cell or two; a wound path that crosses the surface thousands
    // of times is summed per pixel there. Within the surface
    // clipping changes no byte; across its border it moves the cells of the
    // edges cut by a rounding at most.
    static constexpr double CellWorkPerPass = 1048576.0;
    // The library's coverage keeps, for colours that vary along a span, the
    // cells of 2^15 columns beside each side of the surface, so that spans
    // start and end where AGG's do. A pass whose edges reach across more
    // than this many of those columns, together, keeps the surface's
    // columns only: its pixels keep their coverage, but a gradient or image
    // span that starts or ends beside the surface may start or end at its
    // border. That is 8 000 edges reaching across 4 000 columns beside the
    // surface in one pass.
    static constexpr double SpanColumnWork = 33554432.0;
    // Geometry with larger coordinates, in path units or in pixels, draws
    // nothing: flattening and stroking would overflow doubles.
    static constexpr double Coordinate = 1e100;
    // A curve wider or taller than this many path units is flattened with a
    // tolerance scaled to its size, so that one curve yields at most about
    // 10^5 points instead of up to 2^32.
    static constexpr double CurveExtent = 4294967296.0;
    // The budgets of curve flattening in one draw. A curve that the curve
    // converter would split into more than CostlyCurve segments (estimated
    // from its control polygon) is costly; cheaper curves cost at most that
    // much each, in proportion to the path's own size. When the costly
    // curves of a path would make more than ConverterSegments segments,
    // the copy flattens them itself instead, to 1/16 pixel where that is
    // coarser than the converter's tolerance, with the pieces outside the
    // surface drawn as chords; the copy stops halving and flattening after
    // CulledPoints vertices and draws the remaining pieces as chords.
    static constexpr double CostlyCurve = 1024.0;
    // Two million segments of curves that reach the surface: about 300
    // circles of a million path units each, whatever their size in pixels.
    static constexpr double ConverterSegments = 2097152.0;
    static constexpr long CulledPoints = 65536;
    // Stroke widths beyond 2^24 pixels cannot leave a vertex within the
    // raster range anyway; clamping keeps round joins at about 2 x 10^4 points.
    // Widths are stroked by magnitude: with a negative one the stroker made
    // a round arc, at times a whole circle, of every collinear join.
    static constexpr double LineWidth = 16777216.0;
    // The miter limit is clamped so that a miter reaches at most this far
    // from its vertex, which is already outside the raster range.
    static constexpr double MiterLength = 8388608.0;
    // A dash pattern whose period is shorter than this (1/256 pixel), or
    // not finite, strokes undashed: its dashes are finer than the
    // rasterizer's subpixels, and a path of any length holds billions.
    static constexpr double ShortestDashPeriod = 1.0 / 256;
    // The dasher steps over the dashes that cannot reach the surface with
    // its own arithmetic, a few nanoseconds a pattern entry. A pass stops
    // dashing, drawing none of the remaining dashes, after this many entries
    // stepped over or drawn, counting 4 for each whose end point is computed:
    // 2^25, some 16 million dashes, about a twentieth of a second (two
    // seconds under a fuzzer's instrumentation at 2^26), and
    // DashStepsPerPixel for every pixel of the surface, so that a surface of
    // 4096 x 4096 may be covered with dots. A path 2^22 pixels long dashed
    // one pixel on, one off has 2^22 entries. It stops at once where a whole
    // period is lost in the rounding of an edge's length, on which AGG's
    // dasher would go round for ever.
    static constexpr double DashStepsPerPass = 33554432.0;
    static constexpr double DashStepsPerPixel = 16.0;
    // The dashes that can reach the surface are stroked and rasterized: a
    // handful of vertices and a polygon about as tall as the line is wide,
    // counted as 8 + the line width each. A pass stops dashing once they
    // exceed this budget plus DashWorkPerPixel for every pixel of the
    // surface: 2^20 is 116 000 dashes of a hairline, and a 2048 x 2048
    // surface adds 8 hairline dashes for each of its pixels, 30 times a grid
    // of 1-pixel lines every 16 pixels dotted one on, three off.
    static constexpr double DashWorkPerPass = 1048576.0;
    static constexpr double DashWorkPerPixel = 64.0;
    // A dash phase beyond this many pattern periods is reduced modulo the
    // period: the dasher walks to the phase entry by entry, once a pass.
    static constexpr double PhasePeriods = 65536.0;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
