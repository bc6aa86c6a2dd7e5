// The C interface's one exception barrier. In the throw mode (the default)
// a call runs as it is and its exceptions leave it; in the record mode every
// exception is caught, recorded for the calling thread and the call returns
// its type's zero (NULL, 0, false, a zeroed structure).
#ifndef VUDADIVE2R_CAPI_ERROR_GUARD_HPP
#define VUDADIVE2R_CAPI_ERROR_GUARD_HPP

#include <atomic>
#include <cstdint>
#include <type_traits>

#include "vudadive2r.h"

namespace ORV {
namespace Vudadive2R {

extern std::atomic<int> cErrorMode;

inline bool RecordingErrors() { return cErrorMode.load(std::memory_order_relaxed) == ORV_ERROR_MODE_RECORD; }

// Which message of this thread's exceptions was last made, to tell a message
// made during a call from an older one.
uint64_t MessageSerial();

// Records the exception being handled; call only inside a catch block.
void RecordCurrentException(const char* function, uint64_t serialAtEntry) noexcept;

// Records an error that is not an exception (a function with no working
// behaviour).
void RecordError(int code, const char* message) noexcept;

template <class Body>
auto Guarded(const char* function, Body&& body) -> decltype(body()) {
    using Result = decltype(body());
    if (!RecordingErrors())
        return body();
    const uint64_t serial = MessageSerial();
    try {
        return body();
    } catch (...) {
        RecordCurrentException(function, serial);
        if constexpr (!std::is_void<Result>::value)
            return Result{};
    }
}

}  // namespace Vudadive2R
}  // namespace ORV

#endif
