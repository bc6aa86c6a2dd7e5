#include "composite/CompositingOperations.hpp"

#include <agg_pixfmt_rgba.h>

#include "vudadive2r/Exceptions.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

// By name, not by number: the packaged AGG numbers its operations
// differently from other releases. Indexed by BlendMode.
const CompositingOperation operations[] = {
    {agg::comp_op_src, BlendOperation::Source},
    {agg::comp_op_src_over, BlendOperation::SourceOver},
    {agg::comp_op_dst_over, BlendOperation::DestinationOver},
    {agg::comp_op_src_in, BlendOperation::SourceIn},
    {agg::comp_op_dst_in, BlendOperation::DestinationIn},
    {agg::comp_op_multiply, BlendOperation::Multiply},
    {agg::comp_op_screen, BlendOperation::Screen},
    {agg::comp_op_darken, BlendOperation::Darken},
    {agg::comp_op_lighten, BlendOperation::Lighten},
    {agg::comp_op_plus, BlendOperation::Plus},
};

static_assert(int(BlendMode::Source) == 0 && int(BlendMode::Plus) == 9 &&
                  sizeof operations / sizeof operations[0] == size_t(BlendOperation::Count),
              "one row per blend mode, in the enumeration's order");

}  // namespace

const CompositingOperation& CompositingOperationOf(BlendMode mode) {
    const unsigned index = unsigned(mode);
    if (index >= sizeof operations / sizeof operations[0])
        throw NotSupportedException();
    return operations[index];
}

bool SpanOperationOf(unsigned aggOperation, BlendOperation& spans) {
    for (const CompositingOperation& operation : operations) {
        if (operation.aggOperation == aggOperation) {
            spans = operation.spans;
            return true;
        }
    }
    return false;
}

}  // namespace Vudadive2R
}  // namespace ORV
