#include "image/FileReplacement.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <memory>

namespace ORV {
namespace Vudadive2R {

namespace {

// As many symbolic links as the kernel follows before it reports a loop.
constexpr int kMostLinks = 40;
// Names of new files are tried this many times before giving up.
constexpr int kMostAttempts = 100;
// The part of the name kept in the new file's name, so that it stays
// within the file system's name length.
constexpr size_t kKeptNameLength = 128;

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Where a name that does not lead to an existing file would be created by
// open(): the end of its chain of symbolic links. Empty for a loop.
std::string LinkEnd(std::string path) {
    for (int hop = 0; hop < kMostLinks; ++hop) {
        struct stat status;
        if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return path;
        char link[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), link, sizeof link);
        if (length <= 0 || size_t(length) >= sizeof link)
            return {};
        const std::string next(link, size_t(length));
        path = next[0] == '/' ? next : DirectoryOf(path) + "/" + next;
    }
    errno = ELOOP;
    return {};
}

// Six letters that differ between the processes and the calls of one process.
std::string UniqueSuffix() {
    static std::atomic<unsigned long long> counter{0};
    const unsigned long long ticks =
        (unsigned long long)std::chrono::steady_clock::now().time_since_epoch().count();
    unsigned long long mix = (counter.fetch_add(1, std::memory_order_relaxed) + 1) * 0x9E3779B97F4A7C15ull ^
                             ticks ^ (unsigned long long)getpid() << 32;
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string suffix;
    for (int i = 0; i < 6; ++i, mix /= 62)
        suffix += letters[mix % 62];
    return suffix;
}

// The rename is durable only once the directory is written. A file system
// that cannot sync a directory has put the new file in place all the same,
// so a failure here is not a failed save.
void SyncDirectory(const std::string& directory) {
    const int descriptor = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    fsync(descriptor);
    close(descriptor);
}

}  // namespace

FileReplacement::~FileReplacement() {
    if (stream)
        std::fclose(stream);
    if (!temporary.empty())
        unlink(temporary.c_str());
}

bool FileReplacement::Open(const char* destination) {
    struct stat old;
    const bool exists = stat(destination, &old) == 0;
    if (exists) {
        // A file the caller may not write is not replaced behind its back.
        if (S_ISREG(old.st_mode) && faccessat(AT_FDCWD, destination, W_OK, AT_EACCESS) != 0)
            return false;
        const std::unique_ptr<char, decltype(&std::free)> resolved(
            S_ISREG(old.st_mode) ? realpath(destination, nullptr) : nullptr, &std::free);
        struct stat named;
        // What is not a regular file, or has no name of its own (a deleted
        // or anonymous file reached through /proc/self/fd), can only be
        // written in place.
        if (!resolved || stat(resolved.get(), &named) != 0 || named.st_dev != old.st_dev ||
            named.st_ino != old.st_ino) {
            stream = std::fopen(destination, "wb");
            return stream != nullptr;
        }
        target = resolved.get();
    } else {
        if (errno != ENOENT)
            return false;
        target = LinkEnd(destination);
    }
    const std::string name = NameOf(target);
    if (name.empty())
        return false;
    const std::string directory = DirectoryOf(target);
    const std::string prefix = (directory == "/" ? "/." : directory + "/.") + name.substr(0, kKeptNameLength) + ".";
    for (int attempt = 0; attempt < kMostAttempts; ++attempt) {
        // Named before the file exists, so that nothing can fail between
        // making the file and knowing to remove it.
        temporary = prefix + UniqueSuffix();
        // Created with the mode fopen would give it: 0666 less the umask.
        const int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0) {
            temporary.clear();
            if (errno == EEXIST)
                continue;
            return false;
        }
        if (exists) {
            // The owner is kept where the caller may give it away (as root);
            // otherwise the file becomes the caller's, as a new file would.
            if (old.st_uid != geteuid() || old.st_gid != getegid())
                (void)!fchown(descriptor, old.st_uid, old.st_gid);
            if (fchmod(descriptor, old.st_mode & 07777) != 0) {
                close(descriptor);
                return false;
            }
        }
        stream = fdopen(descriptor, "wb");
        if (!stream)
            close(descriptor);
        return stream != nullptr;
    }
    return false;
}

bool FileReplacement::Commit() {
    // Nothing may fail for want of memory once the new file is in place.
    const std::string directory = temporary.empty() ? std::string() : DirectoryOf(target);
    FILE* const file = stream;
    stream = nullptr;
    if (!file)
        return false;
    bool written = std::fflush(file) == 0 && !std::ferror(file);
    if (written && !temporary.empty())
        written = fsync(fileno(file)) == 0;
    written = std::fclose(file) == 0 && written;
    if (!written)
        return false;
    if (temporary.empty())
        return true;
    if (std::rename(temporary.c_str(), target.c_str()) != 0)
        return false;
    temporary.clear();
    SyncDirectory(directory);
    return true;
}

}  // namespace Vudadive2R
}  // namespace ORV
