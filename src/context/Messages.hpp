// Where the library's lines go, and the text of the last exception made
// with a message on this thread (exceptions keep no text of their own, so
// the C interface's error record reads it from here).
#ifndef VUDADIVE2R_CONTEXT_MESSAGES_HPP
#define VUDADIVE2R_CONTEXT_MESSAGES_HPP

#include <cstdint>

namespace ORV {
namespace Vudadive2R {

// Writes `text` and a newline where Messages() says, flushed at once so that
// a process that ends abruptly loses nothing.
void WriteMessageLine(const char* text);

struct ConstructedMessage {
    uint64_t serial;        // counts the messages made on this thread
    char text[1024];        // the message, cut to fit
};

// This thread's last message; the record is never allocated, so making an
// exception cannot fail for it.
const ConstructedMessage& LastConstructedMessage();

}  // namespace Vudadive2R
}  // namespace ORV

#endif
