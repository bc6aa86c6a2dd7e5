// PNG files: the layouts loaded and rejected, saving, and damaged or hostile
// input, which must end in an exception of the family and release everything.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <functional>

#include "PngWriter.hpp"
#include "TestSupport.hpp"

using namespace ORV::Vudadive2R;
using TestSupport::CaptureStdout;
using TestSupport::TempPath;

namespace {

// Which class left the action (most derived first) and what it printed.
struct Outcome {
    std::string thrown;
    std::string printed;
};

Outcome Attempt(const std::function<void()>& action) {
    Outcome outcome{"nothing", ""};
    outcome.printed = CaptureStdout([&] {
        try {
            action();
        } catch (const InvalidOperationException&) {
            outcome.thrown = "InvalidOperation";
        } catch (const NotSupportedException&) {
            outcome.thrown = "NotSupported";
        } catch (const ArgumentNullException&) {
            outcome.thrown = "ArgumentNull";
        } catch (const ArgumentOutOfRangeException&) {
            outcome.thrown = "ArgumentOutOfRange";
        } catch (const Exception&) {
            outcome.thrown = "Exception";
        }
    });
    return outcome;
}

Outcome Load(const std::string& path) {
    return Attempt([&] { PngImage::CreateFromFile(nullptr, path.c_str()); });
}

bool Exists(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0;
}

std::string WritePicture(const std::string& name, const TestPng::Picture& picture) {
    std::string path = TempPath(name);
    EXPECT_TRUE(TestPng::Write(path, picture));
    return path;
}

}  // namespace

TEST(Png, LoadsSupportedLayoutsBottomUp) {
    struct Case {
        int colorType, bitDepth;
        uint32_t format;
        int bytesPerPixel;
    };
    const Case cases[] = {
        {PNG_COLOR_TYPE_RGB_ALPHA, 8, TestSupport::kRA24, 4},
        {PNG_COLOR_TYPE_RGB, 8, TestSupport::kRX24, 4},
        {PNG_COLOR_TYPE_GRAY, 8, TestSupport::kR8, 1},
        {PNG_COLOR_TYPE_GRAY, 16, TestSupport::kR16, 2},
    };
    for (const Case& c : cases)
        for (bool interlaced : {false, true}) {
            // 9 x 7 spreads the pixels over all seven interlace passes.
            const int width = interlaced ? 9 : 3, height = interlaced ? 7 : 2;
            TestPng::Picture picture = TestPng::MakePicture(width, height, c.colorType, c.bitDepth, interlaced);
            std::string path = WritePicture("layout.png", picture);
            orv_png_image image = orv_png_image_create_from_file(nullptr, path.c_str());
            SCOPED_TRACE(testing::Message() << std::hex << c.format << (interlaced ? " interlaced" : ""));
            ASSERT_EQ(uint32_t(orv_image_format_get(image)), c.format);
            ASSERT_EQ(orv_image_stride_get(image), width * c.bytesPerPixel);
            EXPECT_EQ(orv_image_width_get(image), width);
            EXPECT_EQ(orv_image_height_get(image), height);
            const uint8_t* memory = static_cast<const uint8_t*>(orv_image_data_get(image));
            const size_t fileRowBytes = picture.RowBytes();
            for (int row = 0; row < height; ++row) {
                const uint8_t* fileRow = picture.rows.data() + (height - 1 - row) * fileRowBytes;
                const uint8_t* memoryRow = memory + row * width * c.bytesPerPixel;
                for (int column = 0; column < width; ++column)
                    if (c.format == TestSupport::kRX24) {
                        for (int channel = 0; channel < 3; ++channel)
                            EXPECT_EQ(memoryRow[4 * column + channel], fileRow[3 * column + channel]);
                        EXPECT_EQ(memoryRow[4 * column + 3], 255);
                    } else {
                        // Grey 16 stays most significant byte first, as in the file.
                        for (int byte = 0; byte < c.bytesPerPixel; ++byte)
                            EXPECT_EQ(memoryRow[column * c.bytesPerPixel + byte],
                                      fileRow[column * c.bytesPerPixel + byte]);
                    }
            }
            orv_png_image_destroy(image);
        }
}

TEST(Png, RejectsOtherLayoutsAfterDecoding) {
    const char* const badDepth = "The bit depth is not supported.\n";
    const char* const badFormat = "The image format is not supported.\n";
    struct Case {
        int colorType, bitDepth;
        const char* printed;
    };
    const Case cases[] = {
        {PNG_COLOR_TYPE_PALETTE, 8, badFormat},    {PNG_COLOR_TYPE_PALETTE, 4, badFormat},
        {PNG_COLOR_TYPE_GRAY_ALPHA, 8, badFormat}, {PNG_COLOR_TYPE_RGB_ALPHA, 16, badDepth},
        {PNG_COLOR_TYPE_RGB, 16, badDepth},        {PNG_COLOR_TYPE_GRAY, 1, badDepth},
        {PNG_COLOR_TYPE_GRAY, 2, badDepth},        {PNG_COLOR_TYPE_GRAY, 4, badDepth},
    };
    for (const Case& c : cases) {
        std::string path = WritePicture("rejected.png", TestPng::MakePicture(5, 4, c.colorType, c.bitDepth));
        Outcome outcome = Load(path);
        EXPECT_EQ(outcome.thrown, "NotSupported") << c.colorType << "/" << c.bitDepth;
        EXPECT_EQ(outcome.printed, c.printed);
        // The data is decoded first: a damaged file of such a layout is reported as damaged.
        std::vector<uint8_t> bytes = TestPng::Bytes(path);
        bytes.resize(TestPng::ChunkOffset(bytes, "IDAT") + 10);
        TestPng::Store(path, bytes);
        EXPECT_EQ(Load(path).thrown, "InvalidOperation");
    }
}

TEST(Png, FilesThatCannotBeReadAsPng) {
    const std::string path = TempPath("not-a-png.png");
    const std::string notRecognized = "File is not recognized as a PNG file.\n";
    struct Case {
        std::vector<uint8_t> bytes;
        const char* printed;
    };
    const Case cases[] = {
        {{}, notRecognized.c_str()},
        {{0x89, 'P', 'N', 'G', '\r'}, notRecognized.c_str()},  // the signature cut short
        {{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '\n'}, notRecognized.c_str()},
    };
    for (const Case& c : cases) {
        TestPng::Store(path, c.bytes);
        Outcome outcome = Load(path);
        EXPECT_EQ(outcome.thrown, "InvalidOperation");
        EXPECT_EQ(outcome.printed, c.printed);
    }
    Outcome missing = Load(TempPath("no-such-file.png"));
    EXPECT_EQ(missing.thrown, "InvalidOperation");
    EXPECT_EQ(missing.printed, "File could not be opened for reading.\n");
    EXPECT_EQ(Load(TempPath("")).thrown, "InvalidOperation");  // a directory
    Outcome unnamed = Attempt([] { orv_png_image_create_from_file(nullptr, nullptr); });
    EXPECT_EQ(unnamed.thrown, "ArgumentNull");
    EXPECT_EQ(unnamed.printed, "filename\n");
}

TEST(Png, DamagedFilesRaiseInvalidOperation) {
    const std::string original = WritePicture("good.png", TestPng::MakePicture(6, 5, PNG_COLOR_TYPE_RGB_ALPHA, 8));
    const std::vector<uint8_t> good = TestPng::Bytes(original);
    const size_t idat = TestPng::ChunkOffset(good, "IDAT");
    const size_t idatEnd = idat + 12 + TestPng::BigEndian(good, idat);
    const std::string path = TempPath("damaged.png");

    // Cut inside the signature, after it, inside the header chunk, before and
    // inside the image data, and just before the data's CRC ends.
    for (size_t length : {size_t(7), size_t(8), size_t(20), idat, idat + 9, idat + 20, idatEnd - 1}) {
        TestPng::Store(path, std::vector<uint8_t>(good.begin(), good.begin() + length));
        EXPECT_EQ(Load(path).thrown, "InvalidOperation") << "truncated to " << length;
    }
    // Every byte up to the end of the image data is covered by the signature
    // or a CRC, so inverting any of them is detected.
    for (size_t at = 0; at < idatEnd; ++at) {
        std::vector<uint8_t> bytes = good;
        bytes[at] ^= 0xFF;
        TestPng::Store(path, bytes);
        EXPECT_EQ(Load(path).thrown, "InvalidOperation") << "byte " << at;
    }
    // libpng's own message becomes the exception's.
    std::vector<uint8_t> badCrc = good;
    badCrc[idatEnd - 1] ^= 0x01;
    TestPng::Store(path, badCrc);
    Outcome crc = Load(path);
    EXPECT_EQ(crc.thrown, "InvalidOperation");
    EXPECT_NE(crc.printed.find("CRC error"), std::string::npos) << crc.printed;
}

TEST(Png, HostileDimensionsAreRefusedBeforeAllocation) {
    const std::vector<uint8_t> good =
        TestPng::Bytes(WritePicture("small.png", TestPng::MakePicture(2, 2, PNG_COLOR_TYPE_RGB_ALPHA, 8)));
    const std::string path = TempPath("hostile.png");
    struct Case {
        uint32_t width, height;
        const char* printed;  // nullptr: libpng's message, whatever it says
    };
    const Case cases[] = {
        {0, 0, nullptr},
        {100000, 100000, "The image is too large.\n"},
        {23171, 23171, "The image is too large.\n"},  // 4 x 23171^2 just exceeds 2^31 - 1
        {0x80000000u, 1, nullptr},
        {2000, 2000, nullptr},  // plausible size, far too little data
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = good;
        TestPng::PatchDimensions(bytes, c.width, c.height);
        TestPng::Store(path, bytes);
        Outcome outcome = Load(path);
        EXPECT_EQ(outcome.thrown, "InvalidOperation") << c.width << " x " << c.height;
        if (c.printed) {
            EXPECT_EQ(outcome.printed, c.printed);
        }
    }
}

TEST(Png, SaveWritesRowZeroOnTopFollowingTheStride) {
    const int width = 3, height = 4;
    struct Case {
        int stride;
    };
    const Case cases[] = {{12}, {20}, {-16}};  // packed, padded, row 0 last in memory
    for (const Case& c : cases) {
        const size_t pitch = size_t(std::abs(c.stride));
        std::vector<uint8_t> memory(pitch * height);
        for (size_t index = 0; index < memory.size(); ++index)
            memory[index] = TestPng::PatternByte(int(index % pitch), int(index / pitch), 1);
        Image image(nullptr, int(TestSupport::kRA24), width, height, c.stride, memory.data());
        const std::string path = TempPath("saved.png");
        PngImage::Save(&image, path.c_str());

        int fileWidth = 0, fileHeight = 0;
        std::vector<uint8_t> rows;
        ASSERT_TRUE(TestPng::ReadRgba(path, fileWidth, fileHeight, rows));
        ASSERT_EQ(fileWidth, width);
        ASSERT_EQ(fileHeight, height);
        for (int fileRow = 0; fileRow < height; ++fileRow) {
            size_t memoryRow = c.stride >= 0 ? size_t(fileRow) : size_t(height - 1 - fileRow);
            EXPECT_EQ(std::vector<uint8_t>(rows.begin() + fileRow * width * 4, rows.begin() + (fileRow + 1) * width * 4),
                      std::vector<uint8_t>(memory.begin() + memoryRow * pitch,
                                           memory.begin() + memoryRow * pitch + width * 4))
                << "stride " << c.stride << " row " << fileRow;
        }
    }
}

TEST(Png, SavedFilePassesAnIndependentChecker) {
    if (std::system("command -v pngcheck > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pngcheck is not installed";
    std::vector<uint8_t> memory(5 * 3 * 4, 0x7F);
    Image image(nullptr, int(TestSupport::kRA24), 5, 3, 20, memory.data());
    const std::string path = TempPath("checked.png");
    const std::string report = TempPath("pngcheck.txt");
    PngImage::Save(&image, path.c_str());
    ASSERT_EQ(std::system(("pngcheck " + path + " > " + report).c_str()), 0);
    std::vector<uint8_t> text = TestPng::Bytes(report);
    EXPECT_NE(std::string(text.begin(), text.end()).find("(5x3, 32-bit RGB+alpha, non-interlaced"),
              std::string::npos);
}

TEST(Png, LoadThenSaveReversesTheFileRows) {
    TestPng::Picture picture = TestPng::MakePicture(4, 3, PNG_COLOR_TYPE_RGB_ALPHA, 8);
    const std::string source = WritePicture("source.png", picture);
    const std::string copy = TempPath("copy.png");
    orv_png_image image = orv_png_image_create_from_file(nullptr, source.c_str());
    orv_png_image_save(image, copy.c_str());
    orv_png_image_destroy(image);
    int width = 0, height = 0;
    std::vector<uint8_t> rows;
    ASSERT_TRUE(TestPng::ReadRgba(copy, width, height, rows));
    const size_t rowBytes = picture.RowBytes();
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(std::vector<uint8_t>(rows.begin() + row * rowBytes, rows.begin() + (row + 1) * rowBytes),
                  std::vector<uint8_t>(picture.rows.begin() + (2 - row) * rowBytes,
                                       picture.rows.begin() + (3 - row) * rowBytes));
}

TEST(Png, SaveFailuresRaiseAndRefusalsWriteNoFile) {
    uint8_t pixels[16] = {};
    Image rgba(nullptr, int(TestSupport::kRA24), 2, 2, 8, pixels);
    Image rgbx(nullptr, int(TestSupport::kRX24), 2, 2, 8, pixels);
    Image noData(nullptr, int(TestSupport::kRA24), 2, 2, 8, nullptr);
    Image noWidth(nullptr, int(TestSupport::kRA24), 0, 2, 8, pixels);
    Image negativeHeight(nullptr, int(TestSupport::kRA24), 2, -2, 8, pixels);
    Image tooWide(nullptr, int(TestSupport::kRA24), 2000000, 1, 8000000, pixels);  // beyond PNG's limits
    struct Case {
        Image* image;
        std::string path;
        const char* thrown;
        const char* printed;  // nullptr: not checked
        bool fileExpected;
    };
    const std::string fresh = TempPath("refused.png");
    const Case cases[] = {
        {nullptr, fresh, "ArgumentNull", "image\n", false},
        {&rgbx, fresh, "NotSupported", "The image format is not supported.\n", false},
        {&noData, fresh, "ArgumentNull", "data\n", false},
        {&noWidth, fresh, "ArgumentOutOfRange", "width\n", false},
        {&negativeHeight, fresh, "ArgumentOutOfRange", "height\n", false},
        {&rgba, TempPath("missing-folder/out.png"), "Exception", "The file could not be opened for writing\n", false},
        {&tooWide, fresh, "Exception", nullptr, true},
    };
    for (const Case& c : cases) {
        std::remove(fresh.c_str());
        Outcome outcome = Attempt([&] { PngImage::Save(c.image, c.path.c_str()); });
        EXPECT_EQ(outcome.thrown, c.thrown) << outcome.printed;
        if (c.printed) {
            EXPECT_EQ(outcome.printed, c.printed);
        }
        EXPECT_EQ(Exists(c.path), c.fileExpected) << c.path;
    }
    Outcome unnamed = Attempt([&] { PngImage::Save(&rgba, nullptr); });
    EXPECT_EQ(unnamed.thrown, "ArgumentNull");
    EXPECT_EQ(unnamed.printed, "filename\n");
    Outcome nullHandle = Attempt([&] { orv_png_image_save(nullptr, fresh.c_str()); });
    EXPECT_EQ(nullHandle.thrown, "ArgumentNull");
    // A full device accepts the open but not the bytes.
    if (Exists("/dev/full")) {
        EXPECT_EQ(Attempt([&] { PngImage::Save(&rgba, "/dev/full"); }).thrown, "Exception");
    }
}
