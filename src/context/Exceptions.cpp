#include "vudadive2r/Exceptions.hpp"

#include <atomic>
#include <cstdio>
#include <cstring>

#include "context/Messages.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {
std::atomic<int> messageStream{int(MessageStream::StandardOutput)};
thread_local ConstructedMessage lastMessage{};
}  // namespace

MessageStream Messages() { return MessageStream(messageStream.load(std::memory_order_relaxed)); }

void Messages(MessageStream stream) {
    if (stream != MessageStream::StandardOutput && stream != MessageStream::StandardError &&
        stream != MessageStream::None)
        throw ArgumentOutOfRangeException();
    messageStream.store(int(stream), std::memory_order_relaxed);
}

void WriteMessageLine(const char* text) {
    switch (Messages()) {
    case MessageStream::StandardOutput:
        std::printf("%s\n", text);
        std::fflush(stdout);
        break;
    case MessageStream::StandardError:
        std::fprintf(stderr, "%s\n", text);
        break;
    case MessageStream::None:
        break;
    }
}

const ConstructedMessage& LastConstructedMessage() { return lastMessage; }

Exception::Exception() {}

// The message is written at construction and not kept in the object (whose
// layout clients compile against); this thread's copy serves the C
// interface's error record. A null message counts as none.
Exception::Exception(const char* message) {
    if (!message)
        return;
    ++lastMessage.serial;
    std::strncpy(lastMessage.text, message, sizeof lastMessage.text - 1);
    lastMessage.text[sizeof lastMessage.text - 1] = '\0';
    WriteMessageLine(message);
}

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
