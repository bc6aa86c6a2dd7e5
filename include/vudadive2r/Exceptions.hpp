// The exception family. An exception made with a message prints it (and a
// newline) to standard output when constructed; no text is kept.
#ifndef VUDADIVE2R_EXCEPTIONS_HPP
#define VUDADIVE2R_EXCEPTIONS_HPP

#include "Export.hpp"

namespace ORV {
namespace Vudadive2R {

class ORV_API Exception {
public:
    Exception();
    explicit Exception(const char* message);
};

class ORV_API ArgumentException : public Exception {
public:
    ArgumentException();
    explicit ArgumentException(const char* message);
    // Only the first text is printed.
    ArgumentException(const char* message, const char* second);
};

#define VUDADIVE2R_DECLARE_EXCEPTION(Name)       \
    class ORV_API Name : public Exception {       \
    public:                                       \
        Name();                                   \
        explicit Name(const char* message);       \
    };

VUDADIVE2R_DECLARE_EXCEPTION(ArgumentNullException)
VUDADIVE2R_DECLARE_EXCEPTION(ArgumentOutOfRangeException)
VUDADIVE2R_DECLARE_EXCEPTION(NotSupportedException)
VUDADIVE2R_DECLARE_EXCEPTION(NotImplementedException)
VUDADIVE2R_DECLARE_EXCEPTION(InvalidOperationException)
VUDADIVE2R_DECLARE_EXCEPTION(InvalidCastException)
VUDADIVE2R_DECLARE_EXCEPTION(FileNotFoundException)
VUDADIVE2R_DECLARE_EXCEPTION(IndexOutOfRangeException)

#undef VUDADIVE2R_DECLARE_EXCEPTION

}  // namespace Vudadive2R
}  // namespace ORV

#endif
