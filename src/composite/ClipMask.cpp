#include "composite/ClipMask.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {
thread_local const ReferenceMask* activeMask = nullptr;
}  // namespace

const ReferenceMask* ActiveReferenceMask() { return activeMask; }

ScopedReferenceMask::ScopedReferenceMask(const ReferenceMask* mask) : previous(activeMask) { activeMask = mask; }
ScopedReferenceMask::~ScopedReferenceMask() { activeMask = previous; }

}  // namespace Vudadive2R
}  // namespace ORV
