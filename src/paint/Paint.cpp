#include "vudadive2r/Paint.hpp"

namespace ORV {
namespace Vudadive2R {

Paint::Paint(const std::shared_ptr<Context2D>& context) : context(context) {}
Paint::~Paint() {}

}  // namespace Vudadive2R
}  // namespace ORV
