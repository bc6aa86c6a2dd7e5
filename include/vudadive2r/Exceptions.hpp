/// @file
/// The exception family. An exception made with a message prints it (and a
/// newline) when constructed, to standard output unless Messages says
/// otherwise; the object keeps no text.
#ifndef VUDADIVE2R_EXCEPTIONS_HPP
#define VUDADIVE2R_EXCEPTIONS_HPP

#include <cstdint>

#include "Export.hpp"

namespace ORV {
namespace Vudadive2R {

/// Where the lines the library prints go: exception messages and the "Not implemented." of the C
/// interface's fill-state paint getter.
enum class MessageStream : int32_t {
    StandardOutput = 0,  ///< the default; flushed after each line
    StandardError = 1,
    None = 2  ///< nothing is printed (the C interface's error record still keeps the text)
};

/// Where the library's lines go, for the whole process.
ORV_API MessageStream Messages();
/// Sends the library's lines to `stream`, for the whole process and every thread. Throws
/// ArgumentOutOfRangeException for a value outside MessageStream.
ORV_API void Messages(MessageStream stream);

/// Base of every exception the library throws; thrown by value, keeps no text.
class ORV_API Exception {
public:
    /// Prints nothing.
    Exception();
    /// Prints `message` and a newline (see Messages); a null message prints nothing.
    explicit Exception(const char* message);
};

/// Malformed text argument: SVG path data that cannot be read (the message gives the byte offset
/// and what was expected there).
class ORV_API ArgumentException : public Exception {
public:
    /// Prints nothing.
    ArgumentException();
    /// Prints `message` and a newline (see Messages).
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
