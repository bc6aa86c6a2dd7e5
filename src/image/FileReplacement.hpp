// Writing a file so that a failure never destroys what its name held.
#ifndef VUDADIVE2R_IMAGE_FILEREPLACEMENT_HPP
#define VUDADIVE2R_IMAGE_FILEREPLACEMENT_HPP

#include <cstdio>
#include <string>

namespace ORV {
namespace Vudadive2R {

// A regular file, or a name not taken yet, is written as a new file in the
// same directory and renamed over the name only once every byte is on disk;
// a symbolic link has the file it points to replaced, and stays a link.
// Anything else (a pipe, a terminal, a device) cannot be replaced and is
// written directly. The new file gets the mode the old one had, or the mode
// a plain fopen gives (0666 less the umask).
class FileReplacement {
public:
    FileReplacement() = default;
    // Closes the stream and removes a new file that was not committed.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Opens the stream that writes `destination`; false when the file
    // could not be created, or an existing one may not be written.
    bool Open(const char* destination);
    FILE* Stream() const { return stream; }
    // Flushes and syncs the bytes, closes the stream and puts the new file in
    // place of the old one; false on any failure, which leaves the old file.
    bool Commit();

private:
    FILE* stream = nullptr;
    std::string target;     // the regular file replaced, links followed
    std::string temporary;  // the new file while it is not in place; empty when writing directly
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
