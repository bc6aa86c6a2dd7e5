#include "vudadive2r/Exceptions.hpp"

#include <cstdio>

namespace ORV {
namespace Vudadive2R {

Exception::Exception() {}

// The message is printed at construction and not kept: it is the only
// output the library ever writes.
Exception::Exception(const char* message) { std::printf("%s\n", message); }

ArgumentException::ArgumentException() {}
ArgumentException::ArgumentException(const char* message) : Exception(message) {}
ArgumentException::ArgumentException(const char* message, const char*) : Exception(message) {}

#define VUDADIVE2R_DEFINE_EXCEPTION(Name) \
    Name::Name() {}                        \
    Name::Name(const char* message) : Exception(message) {}

VUDADIVE2R_DEFINE_EXCEPTION(ArgumentNullException)
VUDADIVE2R_DEFINE_EXCEPTION(ArgumentOutOfRangeException)
VUDADIVE2R_DEFINE_EXCEPTION(NotSupportedException)
VUDADIVE2R_DEFINE_EXCEPTION(NotImplementedException)
VUDADIVE2R_DEFINE_EXCEPTION(InvalidOperationException)
VUDADIVE2R_DEFINE_EXCEPTION(InvalidCastException)
VUDADIVE2R_DEFINE_EXCEPTION(FileNotFoundException)
VUDADIVE2R_DEFINE_EXCEPTION(IndexOutOfRangeException)

}  // namespace Vudadive2R
}  // namespace ORV
