// The error mode, this thread's error record and where messages go.
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>

#include "capi/ErrorGuard.hpp"
#include "context/Messages.hpp"
#include "vudadive2r.hpp"

using namespace ORV::Vudadive2R;

namespace ORV {
namespace Vudadive2R {

std::atomic<int> cErrorMode{ORV_ERROR_MODE_THROW};

namespace {

struct ErrorRecord {
    int code;
    char message[1024];
};
thread_local ErrorRecord record{};

void Keep(int code, const char* text) noexcept {
    record.code = code;
    std::snprintf(record.message, sizeof record.message, "%s", text);
}

// The exception's own text when it was made with one during this call (the
// library throws each exception it makes, so the last message made is the
// one thrown, even when the object was copied on its way), else the
// function and the class.
void KeepLibraryError(int code, const char* className, const char* function, uint64_t serialAtEntry) noexcept {
    const ConstructedMessage& last = LastConstructedMessage();
    if (last.serial != serialAtEntry) {
        Keep(code, last.text);
        return;
    }
    record.code = code;
    std::snprintf(record.message, sizeof record.message, "%s: %s", function, className);
}

}  // namespace

uint64_t MessageSerial() { return LastConstructedMessage().serial; }

void RecordError(int code, const char* message) noexcept { Keep(code, message); }

void RecordCurrentException(const char* function, uint64_t serial) noexcept {
#define VUDADIVE2R_KEEP(Class, code)                      \
    catch (const Class&) {                                \
        KeepLibraryError(code, #Class, function, serial); \
    }
    try {
        throw;
    }
    VUDADIVE2R_KEEP(ArgumentNullException, ORV_ERROR_ARGUMENT_NULL)
    VUDADIVE2R_KEEP(ArgumentOutOfRangeException, ORV_ERROR_ARGUMENT_OUT_OF_RANGE)
    VUDADIVE2R_KEEP(ArgumentException, ORV_ERROR_ARGUMENT)
    VUDADIVE2R_KEEP(NotSupportedException, ORV_ERROR_NOT_SUPPORTED)
    VUDADIVE2R_KEEP(NotImplementedException, ORV_ERROR_NOT_IMPLEMENTED)
    VUDADIVE2R_KEEP(InvalidOperationException, ORV_ERROR_INVALID_OPERATION)
    VUDADIVE2R_KEEP(InvalidCastException, ORV_ERROR_INVALID_CAST)
    VUDADIVE2R_KEEP(FileNotFoundException, ORV_ERROR_FILE_NOT_FOUND)
    VUDADIVE2R_KEEP(IndexOutOfRangeException, ORV_ERROR_INDEX_OUT_OF_RANGE)
    VUDADIVE2R_KEEP(Exception, ORV_ERROR_EXCEPTION)
    catch (const std::bad_alloc& error) {
        Keep(ORV_ERROR_OUT_OF_MEMORY, error.what());
    }
    catch (const std::length_error& error) {
        Keep(ORV_ERROR_LENGTH, error.what());
    }
    catch (const std::out_of_range& error) {
        Keep(ORV_ERROR_OUT_OF_RANGE, error.what());
    }
    catch (const std::logic_error& error) {
        Keep(ORV_ERROR_LOGIC, error.what());
    }
    catch (const std::exception& error) {
        Keep(ORV_ERROR_UNKNOWN, error.what());
    }
    catch (...) {
        record.code = ORV_ERROR_UNKNOWN;
        std::snprintf(record.message, sizeof record.message, "%s: an unknown exception", function);
    }
#undef VUDADIVE2R_KEEP
}

}  // namespace Vudadive2R
}  // namespace ORV

extern "C" {

void orv_error_mode_set(int mode) {
    Guarded(__func__, [&] {
        if (mode != ORV_ERROR_MODE_THROW && mode != ORV_ERROR_MODE_RECORD)
            throw ArgumentOutOfRangeException();
        cErrorMode.store(mode, std::memory_order_relaxed);
    });
}

int orv_error_mode_get(void) { return cErrorMode.load(std::memory_order_relaxed); }
int orv_error_last(void) { return record.code; }
const char* orv_error_message(void) { return record.message; }

void orv_error_clear(void) {
    record.code = ORV_ERROR_NONE;
    record.message[0] = '\0';
}

void orv_messages_set(int where) {
    Guarded(__func__, [&] { Messages(MessageStream(where)); });
}
int orv_messages_get(void) { return int(Messages()); }

}  // extern "C"
