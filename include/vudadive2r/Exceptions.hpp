/// @file
/// The exception family. An exception made with a message prints it (and a
/// newline) to standard output when constructed; no text is kept.
#ifndef VUDADIVE2R_EXCEPTIONS_HPP
#define VUDADIVE2R_EXCEPTIONS_HPP

#include "Export.hpp"

namespace ORV {
namespace Vudadive2R {

/// Base of every exception the library throws; thrown by value, keeps no text.
class ORV_API Exception {
public:
    /// Prints nothing.
    Exception();
    /// Prints `message` and a newline to standard output.
    explicit Exception(const char* message);
};

/// An invalid argument; not thrown by the library itself.
class ORV_API ArgumentException : public Exception {
public:
    /// Prints nothing.
    ArgumentException();
    /// Prints `message` and a newline to standard output.
    explicit ArgumentException(const char* message);
    /// Only the first text is printed.
    ArgumentException(const char* message, const char* second);
};

#define VUDADIVE2R_DECLARE_EXCEPTION(Name)       \
    class ORV_API Name : public Exception {       \
    public:                                       \
        Name();                                   \
        explicit Name(const char* message);       \
    };

/// A null or empty object argument.
VUDADIVE2R_DECLARE_EXCEPTION(ArgumentNullException)
/// A size, count or extent out of range (path builder shapes, path data).
VUDADIVE2R_DECLARE_EXCEPTION(ArgumentOutOfRangeException)
/// An enumeration value, pixel format or PNG layout that an operation does not handle.
VUDADIVE2R_DECLARE_EXCEPTION(NotSupportedException)
/// Context2D::CopyRectangle, always.
VUDADIVE2R_DECLARE_EXCEPTION(NotImplementedException)
/// A surface that cannot be drawn into or cleared; a PNG file that cannot be read.
VUDADIVE2R_DECLARE_EXCEPTION(InvalidOperationException)
/// Not thrown by the library itself.
VUDADIVE2R_DECLARE_EXCEPTION(InvalidCastException)
/// Not thrown by the library itself.
VUDADIVE2R_DECLARE_EXCEPTION(FileNotFoundException)
/// Not thrown by the library itself.
VUDADIVE2R_DECLARE_EXCEPTION(IndexOutOfRangeException)

#undef VUDADIVE2R_DECLARE_EXCEPTION

}  // namespace Vudadive2R
}  // namespace ORV

#endif
