// The blend modes as compositing operations: the pixel format's operation
// number of the reference composition and the span loops' operation, in one
// table.
#ifndef VUDADIVE2R_COMPOSITE_COMPOSITINGOPERATIONS_HPP
#define VUDADIVE2R_COMPOSITE_COMPOSITINGOPERATIONS_HPP

#include "composite/BlendOperations.hpp"
#include "vudadive2r/Types.hpp"

namespace ORV {
namespace Vudadive2R {

struct CompositingOperation {
    unsigned aggOperation;  // agg::comp_op_e
    BlendOperation spans;
};

// The operation of `mode`; NotSupportedException for a value outside the
// enumeration.
const CompositingOperation& CompositingOperationOf(BlendMode mode);

// The span loops' operation for the pixel format's operation number; false
// for an operation no blend mode reaches.
bool SpanOperationOf(unsigned aggOperation, BlendOperation& spans);

}  // namespace Vudadive2R
}  // namespace ORV

#endif
