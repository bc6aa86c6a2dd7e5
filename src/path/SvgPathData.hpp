// SVG path data: its grammar, and SVG's own resolution of relative,
// shorthand, smooth and arc commands into absolute segments. The command
// stream resolves the same letters by the vertex storage's rules, which
// differ after a close and around smooth curves; icons need SVG's.
#ifndef VUDADIVE2R_SVGPATHDATA_HPP
#define VUDADIVE2R_SVGPATHDATA_HPP

#include <agg_trans_affine.h>

namespace ORV {
namespace Vudadive2R {

// Receives the absolute segments, every point already mapped by the
// transform the data was read with.
class SvgSegmentSink {
public:
    virtual void MoveTo(double x, double y) = 0;
    virtual void LineTo(double x, double y) = 0;
    virtual void QuadTo(double cx, double cy, double x, double y) = 0;
    virtual void CubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y) = 0;
    virtual void Close() = 0;

protected:
    ~SvgSegmentSink() = default;
};

// Reads `data` up to its terminating zero and hands each complete command to
// `sink` as soon as it is read; arcs become cubic Beziers in the data's own
// space before their points are mapped. At the first error, after every
// command before it has been handed on, throws ArgumentException with a
// message giving the byte offset and what was expected there. Null data
// throws ArgumentNullException.
void ReadSvgPathData(const char* data, const agg::trans_affine& transform, SvgSegmentSink& sink);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
