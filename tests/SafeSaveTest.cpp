// A saved file replaces the old one only once whole, keeping links and modes.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

#include "TestSupport.hpp"

using namespace ORV::Vudadive2R;

namespace {

struct Folder {
    explicit Folder(const std::string& name) : path(TestSupport::TempPath(name)) {
        std::system(("chmod -R u+w " + path + " 2>/dev/null; rm -rf " + path).c_str());
        mkdir(path.c_str(), 0777);
    }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    std::set<std::string> Names(const std::string& sub = "") const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path + "/" + sub))
            names.insert(entry.path().filename());
        return names;
    }
    std::string path;
};

// "RA24" noise that deflate cannot shrink much: 64 x 64 makes a file of about 16 KB.
struct Noise {
    Noise(int width = 64, int height = 64) : pixels(size_t(width) * height * 4) {
        uint32_t state = 12345;
        for (uint8_t& byte : pixels)
            byte = uint8_t((state = state * 1664525u + 1013904223u) >> 24);
        image = std::make_unique<Image>(nullptr, int(TestSupport::kRA24), width, height, width * 4, pixels.data());
    }
    std::vector<uint8_t> pixels;
    std::unique_ptr<Image> image;
};

std::string SaveOutcome(Image& image, const std::string& path) {
    return TestSupport::Outcome([&] { PngImage::Save(&image, path.c_str()); });
}

mode_t ModeOf(const std::string& path) {
    struct stat status;
    return lstat(path.c_str(), &status) == 0 ? status.st_mode : 0;
}

}  // namespace

TEST(SafeSave, FailedSavesLeaveTheOldFileAndNothingElse) {
    const bool root = geteuid() == 0;  // root writes whatever the permissions say
    const char* const notOpened = "Exception: The file could not be opened for writing\n";
    // readOnly: a name in the folder, "" for the folder itself.
    const struct { const char* name; int width; rlim_t sizeLimit; const char* readOnly; const char* expected; }
    cases[] = {
        {"file size limit", 64, 4096, nullptr, "Exception: Write Error\n"},
        {"too wide for libpng", 2000000, 0, nullptr, "Exception: "},
        {"read-only folder", 64, 0, "", notOpened},
        {"read-only file", 64, 0, "out.png", notOpened},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (root && c.readOnly)
            continue;
        const Folder folder("safe-save-failure");
        std::ofstream(folder / "out.png", std::ios::binary) << "the old file";
        Noise noise(c.width, c.width == 64 ? 64 : 1);
        // Writes past the size limit fail with EFBIG instead of killing the process.
        rlimit old, limited;
        getrlimit(RLIMIT_FSIZE, &old);
        limited = old;
        limited.rlim_cur = c.sizeLimit ? c.sizeLimit : old.rlim_cur;
        void (*handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &limited);
        if (c.readOnly)
            chmod((folder / c.readOnly).c_str(), 0555);
        TestSupport::ExpectOutcome([&] { PngImage::Save(noise.image.get(), (folder / "out.png").c_str()); },
                                   c.expected);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, handler);
        chmod(folder.path.c_str(), 0755);
        EXPECT_TRUE(TestSupport::FileBytes(folder / "out.png") == "the old file");
        EXPECT_EQ(folder.Names(), std::set<std::string>{"out.png"});
    }
}

TEST(SafeSave, ReplacementKeepsLinksAndModesAndPipesAreWrittenInPlace) {
    const Folder folder("safe-save-links");
    Noise noise;
    const std::string reference = folder / "reference.png";
    ASSERT_EQ(SaveOutcome(*noise.image, reference), "nothing: ");
    const std::string png = TestSupport::FileBytes(reference);
    ASSERT_GT(png.size(), 8000u);

    // A new file gets 0666 less the umask; a replaced one keeps its mode.
    const mode_t oldMask = umask(027);
    ASSERT_EQ(SaveOutcome(*noise.image, folder / "new.png"), "nothing: ");
    EXPECT_EQ(ModeOf(folder / "new.png") & 07777, 0640u);
    std::ofstream(folder / "kept.png") << "old";
    chmod((folder / "kept.png").c_str(), 0604);
    ASSERT_EQ(SaveOutcome(*noise.image, folder / "kept.png"), "nothing: ");
    EXPECT_EQ(ModeOf(folder / "kept.png") & 07777, 0604u);
    umask(oldMask);

    // Links (relative to their folder) stay links; a dangling one has its file made.
    mkdir((folder / "sub").c_str(), 0777);
    std::ofstream(folder / "sub/real.png") << "old";
    ASSERT_EQ(symlink("real.png", (folder / "sub/link.png").c_str()), 0);
    ASSERT_EQ(symlink("sub/link.png", (folder / "chain.png").c_str()), 0);
    ASSERT_EQ(symlink("sub/made.png", (folder / "dangling.png").c_str()), 0);
    ASSERT_EQ(SaveOutcome(*noise.image, folder / "chain.png"), "nothing: ");
    ASSERT_EQ(SaveOutcome(*noise.image, folder / "dangling.png"), "nothing: ");
    for (const char* name : {"new.png", "kept.png", "sub/real.png", "sub/made.png"})
        EXPECT_EQ(TestSupport::FileBytes(folder / name), png) << name;
    for (const char* name : {"chain.png", "dangling.png", "sub/link.png"})
        EXPECT_TRUE(S_ISLNK(ModeOf(folder / name))) << name;

    // Written in place: a pipe, and a file removed while open, reached through its descriptor.
    ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0666), 0);
    const int pipe = open((folder / "pipe").c_str(), O_RDONLY | O_NONBLOCK);
    const int deleted = open((folder / "deleted.png").c_str(), O_RDWR | O_CREAT, 0666);
    unlink((folder / "deleted.png").c_str());
    for (const int reader : {pipe, deleted}) {
        ASSERT_GE(reader, 0);
        ASSERT_EQ(SaveOutcome(*noise.image, "/proc/self/fd/" + std::to_string(reader)), "nothing: ");
        std::string received(65536, '\0');
        ssize_t length = pread(reader, &received[0], received.size(), 0);
        if (length < 0)  // a pipe has no offsets
            length = read(reader, &received[0], received.size());
        close(reader);
        EXPECT_TRUE(received.substr(0, size_t(length > 0 ? length : 0)) == png) << reader;
    }
    EXPECT_TRUE(S_ISFIFO(ModeOf(folder / "pipe")));

    EXPECT_EQ(folder.Names(), (std::set<std::string>{"reference.png", "new.png", "kept.png", "chain.png",
                                                     "dangling.png", "sub", "pipe"}));
    EXPECT_EQ(folder.Names("sub"), (std::set<std::string>{"real.png", "link.png", "made.png"}));
}
