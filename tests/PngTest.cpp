// PNG files: layouts loaded and rejected, saving, damaged and hostile input; a saved file replaces the old
// one only once whole, keeping links and modes.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <png.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "TestSupport.hpp"

using namespace ORV::Vudadive2R;
using TestSupport::kRA24;
using TestSupport::TempPath;

namespace {

void ExpectLoad(const char* path, const std::string& expected) {
    TestSupport::ExpectOutcome([&] { PngImage::CreateFromFile(nullptr, path); }, expected);
}

// Raised by a large malloc even when it never touches the pages.
long PeakVirtualKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmPeak:", 0) == 0)
            return std::stol(line.substr(7));
    return 0;
}

// Writes a file through libpng itself and returns its packed rows, top first.
std::vector<uint8_t> WritePng(const std::string& path, int width, int height, int colorType, int depth,
                              bool interlaced = false) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    FILE* file = std::fopen(path.c_str(), "wb");
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, depth, colorType, interlaced, 0, 0);  // 1 is Adam7 interlacing
    png_color palette[256] = {};
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(png, info, palette, 1 << depth);
    png_write_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    std::vector<uint8_t> rows(rowBytes * height);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = uint8_t(151 * i + 7);  // no value repeats within 256 bytes
    for (int pass = png_set_interlace_handling(png); pass > 0; --pass)
        for (int row = 0; row < height; ++row)
            png_write_row(png, rows.data() + row * rowBytes);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return rows;
}

// Empty unless an 8-bit RGBA file of the given size.
std::vector<uint8_t> ReadRgba(const std::string& path, png_uint_32 width, png_uint_32 height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    png_image_begin_read_from_file(&image, path.c_str());
    const bool rgba = image.format == PNG_FORMAT_RGBA && image.width == width && image.height == height;
    std::vector<uint8_t> pixels(rgba ? PNG_IMAGE_SIZE(image) : 0);
    if (rgba)
        png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
    png_image_free(&image);
    return pixels;
}

}  // namespace

TEST(Png, LoadsEachLayoutBottomUpPlainAndInterlaced) {
    const struct { int colorType, depth; uint32_t format; int bytesPerPixel; } cases[] = {
        {PNG_COLOR_TYPE_RGB_ALPHA, 8, kRA24, 4},
        {PNG_COLOR_TYPE_RGB, 8, TestSupport::kRX24, 4},
        {PNG_COLOR_TYPE_GRAY, 8, TestSupport::kR8, 1},
        {PNG_COLOR_TYPE_GRAY, 16, TestSupport::kR16, 2},
    };
    const std::string path = TempPath("layout.png"), copy = TempPath("copy.png");
    for (const auto& c : cases)
        for (bool interlaced : {false, true}) {
            SCOPED_TRACE(testing::Message() << std::hex << c.format << (interlaced ? " interlaced" : ""));
            const int width = interlaced ? 9 : 3, height = interlaced ? 7 : 2;
            const int fileBytes = c.format == TestSupport::kRX24 ? 3 : c.bytesPerPixel;
            const std::vector<uint8_t> file = WritePng(path, width, height, c.colorType, c.depth, interlaced);
            // Bottom-up; RGB gains a fourth byte of 255; 16-bit grey keeps the high byte first.
            std::vector<uint8_t> expected;
            for (int row = height - 1; row >= 0; --row)
                for (int column = 0; column < width; ++column)
                    for (int byte = 0; byte < c.bytesPerPixel; ++byte)
                        expected.push_back(byte < fileBytes ? file[(row * width + column) * fileBytes + byte] : 255);
            orv_png_image image = orv_png_image_create_from_file(nullptr, path.c_str());
            EXPECT_EQ(uint32_t(orv_image_format_get(image)), c.format);
            EXPECT_EQ(orv_image_width_get(image), width);
            EXPECT_EQ(orv_image_height_get(image), height);
            ASSERT_EQ(orv_image_stride_get(image), width * c.bytesPerPixel);
            const uint8_t* data = static_cast<const uint8_t*>(orv_image_data_get(image));
            EXPECT_EQ(std::vector<uint8_t>(data, data + expected.size()), expected);
            // Saved again, upside down; with the stride negated as it was; narrower, without rows' ends.
            if (c.format == kRA24) {
                orv_png_image_save(image, copy.c_str());
                EXPECT_EQ(ReadRgba(copy, width, height), expected);
                void* pixels = orv_image_data_get(image);
                Image flipped(nullptr, int(kRA24), width, height, -4 * width, pixels);
                PngImage::Save(&flipped, copy.c_str());
                EXPECT_EQ(ReadRgba(copy, width, height), file);
                Image narrow(nullptr, int(kRA24), width - 1, height, 4 * width, pixels);
                PngImage::Save(&narrow, copy.c_str());
                std::vector<uint8_t> narrowed;
                for (int row = 0; row < height; ++row)
                    narrowed.insert(narrowed.end(), data + 4 * width * row, data + 4 * width * row + 4 * (width - 1));
                EXPECT_EQ(ReadRgba(copy, width - 1, height), narrowed);
            }
            orv_png_image_destroy(image);
        }

    if (std::system("command -v pngcheck > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pngcheck is not installed";
    const std::string verdict = "OK: " + copy + " (8x7, 32-bit RGB+alpha, non-interlaced";
    EXPECT_EQ(std::system(("pngcheck " + copy + " | grep -qF '" + verdict + "'").c_str()), 0);
}

TEST(Png, RejectsOtherLayoutsOnlyAfterDecoding) {
    const char* const depth = "NotSupported: The bit depth is not supported.\n";
    const char* const format = "NotSupported: The image format is not supported.\n";
    const struct { int colorType, depth; const char* expected; } cases[] = {
        {PNG_COLOR_TYPE_PALETTE, 8, format},    {PNG_COLOR_TYPE_PALETTE, 4, format},
        {PNG_COLOR_TYPE_GRAY_ALPHA, 8, format}, {PNG_COLOR_TYPE_RGB_ALPHA, 16, depth},
        {PNG_COLOR_TYPE_RGB, 16, depth},        {PNG_COLOR_TYPE_GRAY, 1, depth},
        {PNG_COLOR_TYPE_GRAY, 4, depth},
    };
    const std::string path = TempPath("rejected.png");
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.colorType << "/" << c.depth);
        WritePng(path, 5, 4, c.colorType, c.depth);
        ExpectLoad(path.c_str(), c.expected);
        // Cut into the image data: the damage is found first.
        const std::string bytes = TestSupport::FileBytes(path);
        std::ofstream(path, std::ios::binary) << bytes.substr(0, bytes.size() - 20);
        ExpectLoad(path.c_str(), "InvalidOperation: ");
    }
}

TEST(Png, DamagedOrHostileFilesRaiseInvalidOperation) {
    const std::string path = TempPath("damaged.png");
    WritePng(path, 6, 5, PNG_COLOR_TYPE_RGB_ALPHA, 8);
    const std::string good = TestSupport::FileBytes(path);
    const size_t data = 33, crcEnd = good.size() - 13;  // past signature and header; the data CRC's last byte
    auto flip = [&](size_t at, char bits) { std::string bytes = good; bytes[at] ^= bits; return bytes; };
    auto sized = [&](uint32_t width, uint32_t height) {  // the header's CRC made to match
        std::string bytes = good;
        for (int i = 0; i < 4; ++i)
            bytes[16 + i] = char(width >> (24 - 8 * i)), bytes[20 + i] = char(height >> (24 - 8 * i));
        uint32_t crc = ~0u;  // CRC-32 of the chunk's type and data, a bit at a time
        for (size_t bit = 12 * 8; bit < 29 * 8; ++bit)
            crc = ((crc ^ uint8_t(bytes[bit / 8]) >> bit % 8) & 1) ? crc >> 1 ^ 0xEDB88320u : crc >> 1;
        for (int i = 0; i < 4; ++i)
            bytes[29 + i] = char(~crc >> (24 - 8 * i));
        return bytes;
    };
    static const char hugeTextChunk[] =
        "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x04\x00\x00\x00\x04"
        "\x08\x02\x00\x00\x00\x26\x93\x09\x29\x00\x00\x00\x3f\x69\x43\x43\x50\x78\x9c\x01\x38\x00\xcb\xff"
        "\x00\x00\x25\x4a\x6f\x94\xb9\x58\x7d\xa2\x00\x16\x3b\x60\x85\x00\x00\x00\x5f\x02\x00\x00\x00\x26"
        "\x93\x09\x29\x00\x19\xff\xff\xff\x77\x21\x3e\x46\x6b\x90\xb5\xda\xff\x24\x00\x00\x00\x00\x00\x49"
        "\x6e\x93\xb8\xfa\x93\x15\x41\x93\x01\xb0\x94\x0f\x5b\x00\x00\x49\x7a\x54\x58\x74\x4a\x4a\x4a\x4a"
        "\xe7";
    const char* const notPng = "InvalidOperation: File is not recognized as a PNG file.\n";
    const char* const tooLarge = "InvalidOperation: The image is too large.\n";
    const char* const damaged = "InvalidOperation: ";
    const struct { std::string bytes; const char* expected; } cases[] = {
        {"", notPng}, {"hello world\n", notPng}, {good.substr(0, 7), notPng},
        {good.substr(0, 20), damaged}, {good.substr(0, data + 20), damaged}, {good.substr(0, crcEnd), damaged},
        {flip(17, 0x7F), damaged}, {flip(data + 12, 0x7F), damaged},
        {flip(crcEnd, 0x01), "InvalidOperation: IDAT: CRC error\n"},  // libpng's message becomes the exception's
        {sized(0, 0), damaged}, {sized(100000, 100000), tooLarge},
        {sized(23171, 23171), tooLarge},  // 4 x 23171^2 just exceeds 2^31 - 1
        // Within the limits, but 2 GB of pixels cannot come out of 100 bytes.
        {sized(23000, 23000), "InvalidOperation: Not enough image data\n"},
        // Found by fuzzing: libpng asked for a damaged text chunk's 1.5 GB while skipping it.
        {std::string(hugeTextChunk, sizeof hugeTextChunk - 1), "InvalidOperation: Read Error\n"},
    };
    const long peakBefore = PeakVirtualKilobytes();
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        std::ofstream(path, std::ios::binary) << cases[i].bytes;
        ExpectLoad(path.c_str(), cases[i].expected);
    }
    // No hostile file may make the loader reserve much memory.
    EXPECT_LT(PeakVirtualKilobytes() - peakBefore, 256 * 1024);
    ExpectLoad(TempPath("no-such-file.png").c_str(), "InvalidOperation: File could not be opened for reading.\n");
    ExpectLoad(nullptr, "ArgumentNull: filename\n");
}

TEST(Png, SaveFailuresRaiseAndRefusalsWriteNoFile) {
    uint8_t pixels[16] = {};
    const std::string fresh = TempPath("refused.png"), noFolder = TempPath("missing-folder/out.png");
    const char* const path = fresh.c_str();
    const struct { uint32_t format; int width, height; bool hasData; const char *path, *expected; bool file; }
        cases[] = {
        {TestSupport::kRX24, 2, 2, true, path, "NotSupported: The image format is not supported.\n", false},
        {kRA24, 2, 2, false, path, "ArgumentNull: data\n", false},
        {kRA24, 0, 2, true, path, "ArgumentOutOfRange: width\n", false},
        {kRA24, 2, -2, true, path, "ArgumentOutOfRange: height\n", false},
        {kRA24, 2, 2, true, nullptr, "ArgumentNull: filename\n", false},
        {kRA24, 2, 2, true, noFolder.c_str(), "Exception: The file could not be opened for writing\n", false},
        {kRA24, 2000000, 1, true, path, "Exception: ", false},              // too wide for libpng
        {kRA24, 2, 2, true, "/dev/full", "Exception: Write Error\n", true},  // fails when the file is closed
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path ? c.path : "no file name");
        std::remove(path);
        Image image(nullptr, int(c.format), c.width, c.height, 8, c.hasData ? pixels : nullptr);
        TestSupport::ExpectOutcome([&] { PngImage::Save(&image, c.path); }, c.expected);
        struct stat status;
        EXPECT_EQ(stat(c.path ? c.path : path, &status) == 0, c.file);
    }
    TestSupport::ExpectOutcome([&] { orv_png_image_save(nullptr, path); }, "ArgumentNull: image\n");
}

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
