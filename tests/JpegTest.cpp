// JPEG files written here by libjpeg's encoder: the loader must give libjpeg-turbo's own decode, turned
// upright by the test's own reading of the Exif orientation; damaged and hostile files give exceptions.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include <jpeglib.h>

#include "TestSupport.hpp"

using namespace ORV::Vudadive2R;
using TestSupport::TempPath;

namespace {

struct Encoding {
    Encoding(J_COLOR_SPACE input, int width, int height, bool progressive = false, int restartRows = 0,
             std::string app1 = "", J_COLOR_SPACE stored = JCS_UNKNOWN, int quality = 90,
             std::vector<jpeg_scan_info> script = {})
        : input(input), width(width), height(height), progressive(progressive), restartRows(restartRows),
          app1(std::move(app1)), stored(stored), quality(quality), script(std::move(script)) {}

    J_COLOR_SPACE input;  // JCS_RGB, JCS_GRAYSCALE or JCS_CMYK
    int width, height;
    bool progressive;
    int restartRows;
    std::string app1;      // written as an APP1 marker when not empty
    J_COLOR_SPACE stored;  // the file's colour space; JCS_UNKNOWN keeps libjpeg's default
    int quality;
    std::vector<jpeg_scan_info> script;  // a scan script of our own
    std::function<uint8_t(int x, int y, int k)> sample = [](int x, int y, int k) {
        return uint8_t(x * (11 + 7 * k) + y * (5 + 3 * k) + (x * y * (k + 1)) % 23 * 3);  // ramps and texture
    };
    int components = 0;  // other than the input colour space's
};

int ComponentsOf(const Encoding& e) {
    return e.components ? e.components : e.input == JCS_GRAYSCALE ? 1 : e.input == JCS_CMYK ? 4 : 3;
}

void WriteJpeg(const std::string& path, const Encoding& e) {
    jpeg_compress_struct encoder;
    jpeg_error_mgr errors;
    encoder.err = jpeg_std_error(&errors);
    jpeg_create_compress(&encoder);
    FILE* file = std::fopen(path.c_str(), "wb");
    jpeg_stdio_dest(&encoder, file);
    encoder.image_width = JDIMENSION(e.width);
    encoder.image_height = JDIMENSION(e.height);
    encoder.input_components = ComponentsOf(e);
    encoder.in_color_space = e.input;
    jpeg_set_defaults(&encoder);
    if (e.stored != JCS_UNKNOWN)
        jpeg_set_colorspace(&encoder, e.stored);
    jpeg_set_quality(&encoder, e.quality, TRUE);
    if (e.progressive)
        jpeg_simple_progression(&encoder);
    if (!e.script.empty())
        encoder.scan_info = e.script.data(), encoder.num_scans = int(e.script.size());
    encoder.restart_in_rows = e.restartRows;
    jpeg_start_compress(&encoder, TRUE);
    if (!e.app1.empty())
        jpeg_write_marker(&encoder, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(e.app1.data()),
                          unsigned(e.app1.size()));
    std::vector<uint8_t> row(size_t(e.width) * encoder.input_components);
    for (int y = 0; y < e.height; ++y) {
        for (int x = 0; x < e.width; ++x)
            for (int k = 0; k < encoder.input_components; ++k)
                row[size_t(x) * encoder.input_components + k] = e.sample(x, y, k);
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&encoder, &pointer, 1);
    }
    jpeg_finish_compress(&encoder);
    jpeg_destroy_compress(&encoder);
    std::fclose(file);
}

// libjpeg-turbo's own decode as RGBX rows, top first: colour and grey to RGB, CMYK (YCCK converted by
// libjpeg) as its tools show it, R = C K / 255 rounded in double.
std::vector<uint8_t> ReferenceDecode(const std::string& path, int& width, int& height) {
    jpeg_decompress_struct decoder;
    jpeg_error_mgr errors;
    decoder.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&decoder);
    FILE* file = std::fopen(path.c_str(), "rb");
    jpeg_stdio_src(&decoder, file);
    jpeg_read_header(&decoder, TRUE);
    const bool cmyk = decoder.jpeg_color_space == JCS_CMYK || decoder.jpeg_color_space == JCS_YCCK;
    decoder.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&decoder);
    width = int(decoder.output_width), height = int(decoder.output_height);
    const int n = decoder.output_components;
    std::vector<uint8_t> decoded(size_t(width) * height * n), rgbx;
    while (decoder.output_scanline < decoder.output_height) {
        JSAMPROW row = decoded.data() + size_t(decoder.output_scanline) * width * n;
        jpeg_read_scanlines(&decoder, &row, 1);
    }
    jpeg_finish_decompress(&decoder);
    jpeg_destroy_decompress(&decoder);
    std::fclose(file);
    for (size_t i = 0; i < decoded.size(); i += n) {
        for (int c = 0; c < 3; ++c)
            rgbx.push_back(cmyk ? uint8_t(double(decoded[i + c]) * double(decoded[i + 3]) / 255.0 + 0.5)
                                : decoded[i + c]);
        rgbx.push_back(255);
    }
    return rgbx;
}

// The stored pixel shown at (x, y) of the upright picture, from the Exif orientation's description of
// where the file's row 0 and column 0 go.
std::pair<int, int> StoredAt(int orientation, int x, int y, int w, int h) {
    switch (orientation) {
    case 2: return {y, w - 1 - x};          // row 0 at the top, column 0 at the right
    case 3: return {h - 1 - y, w - 1 - x};  // row 0 at the bottom, column 0 at the right
    case 4: return {h - 1 - y, x};          // row 0 at the bottom, column 0 at the left
    case 5: return {x, y};                  // row 0 at the left, column 0 at the top
    case 6: return {h - 1 - x, y};          // row 0 at the right, column 0 at the top
    case 7: return {h - 1 - x, w - 1 - y};  // row 0 at the right, column 0 at the bottom
    case 8: return {x, w - 1 - y};          // row 0 at the left, column 0 at the bottom
    default: return {y, x};
    }
}

struct Expected {
    int width, height;
    std::vector<uint8_t> pixels;  // RX24, bottom row first
};

Expected ReferenceImage(const std::string& path, int orientation) {
    int w, h;
    const std::vector<uint8_t> stored = ReferenceDecode(path, w, h);
    Expected e{orientation >= 5 ? h : w, orientation >= 5 ? w : h, {}};
    for (int y = e.height - 1; y >= 0; --y)
        for (int x = 0; x < e.width; ++x) {
            const auto [r, c] = StoredAt(orientation, x, y, w, h);
            e.pixels.insert(e.pixels.end(), &stored[(size_t(r) * w + c) * 4], &stored[(size_t(r) * w + c) * 4 + 4]);
        }
    return e;
}

std::vector<uint8_t> PixelsOf(const Image& image) {
    const uint8_t* data = static_cast<const uint8_t*>(image.data);
    return std::vector<uint8_t>(data, data + size_t(image.stride) * image.height);
}

// An Exif block whose first directory holds a description and the orientation, in either byte order.
std::string Exif(int orientation, bool bigEndian, int type = 3, uint32_t directory = 8) {
    std::string out("Exif\0\0", 6);
    auto put = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out += char(value >> 8 * (bigEndian ? bytes - 1 - i : i));
    };
    out += bigEndian ? std::string("MM\0*", 4) : std::string("II*\0", 4);
    put(directory, 4);
    put(2, 2);
    put(0x010E, 2), put(2, 2), put(4, 4), out += std::string("abc\0", 4);  // ImageDescription, ASCII, inline
    put(0x0112, 2), put(type, 2), put(1, 4), put(orientation, 2), put(0, 2);
    put(0, 4);  // no further directory
    return out;
}

// A colour progressive file in `bits + 1` passes of successive approximation, each pass one scan of
// the three DC coefficients and one of each AC coefficient of each component: 190 (bits + 1) scans.
std::vector<jpeg_scan_info> ManyScans(int bits) {
    std::vector<jpeg_scan_info> script;
    for (int b = bits; b >= 0; --b) {
        const int ah = b == bits ? 0 : b + 1;
        script.push_back({3, {0, 1, 2}, 0, 0, ah, b});
        for (int component = 0; component < 3; ++component)
            for (int k = 1; k < 64; ++k)
                script.push_back({1, {component}, k, k, ah, b});
    }
    return script;
}

}  // namespace

TEST(Jpeg, DecodesAsLibjpegTurboDoesTurnedUpright) {
    const struct { const char* name; Encoding encoding; int orientation; } cases[] = {
        {"baseline 4:2:0", {JCS_RGB, 37, 23}, 1},
        {"progressive", {JCS_RGB, 37, 23, true}, 1},
        {"restart every MCU row", {JCS_RGB, 37, 23, false, 1}, 1},
        {"progressive with restarts", {JCS_RGB, 37, 23, true, 1}, 1},
        {"one pixel", {JCS_RGB, 1, 1}, 1},
        {"quality 100, stored as RGB", {JCS_RGB, 19, 9, false, 0, "", JCS_RGB, 100}, 1},
        {"grey", {JCS_GRAYSCALE, 21, 17}, 1},
        {"grey progressive", {JCS_GRAYSCALE, 21, 17, true}, 1},
        {"CMYK", {JCS_CMYK, 21, 17}, 1},
        {"CMYK progressive", {JCS_CMYK, 21, 17, true}, 1},
        {"YCCK", {JCS_CMYK, 21, 17, false, 0, "", JCS_YCCK}, 1},
        {"1000 scans or fewer: 950", {JCS_RGB, 16, 8, false, 0, "", JCS_UNKNOWN, 90, ManyScans(4)}, 1},
        // Exif orientations in both byte orders, on a picture neither square nor of whole blocks.
        {"Exif 1, Intel", {JCS_RGB, 13, 7, false, 0, Exif(1, false)}, 1},
        {"Exif 2, Motorola", {JCS_RGB, 13, 7, false, 0, Exif(2, true)}, 2},
        {"Exif 3, Intel", {JCS_RGB, 13, 7, false, 0, Exif(3, false)}, 3},
        {"Exif 4, Motorola", {JCS_RGB, 13, 7, false, 0, Exif(4, true)}, 4},
        {"Exif 5, Intel", {JCS_RGB, 13, 7, false, 0, Exif(5, false)}, 5},
        {"Exif 6, Motorola", {JCS_RGB, 13, 7, false, 0, Exif(6, true)}, 6},
        {"Exif 7, Intel", {JCS_RGB, 13, 7, false, 0, Exif(7, false)}, 7},
        {"Exif 8, Motorola", {JCS_RGB, 13, 7, false, 0, Exif(8, true)}, 8},
        {"Exif 6, Intel, grey progressive", {JCS_GRAYSCALE, 13, 7, true, 0, Exif(6, false)}, 6},
        {"Exif 7, Motorola, CMYK", {JCS_CMYK, 13, 7, false, 0, Exif(7, true)}, 7},
        // Unreadable orientations are ignored.
        {"Exif 9", {JCS_RGB, 13, 7, false, 0, Exif(9, true)}, 1},
        {"Exif 0", {JCS_RGB, 13, 7, false, 0, Exif(0, false)}, 1},
        {"orientation as a LONG", {JCS_RGB, 13, 7, false, 0, Exif(6, false, 4)}, 1},
        {"directory beyond the block", {JCS_RGB, 13, 7, false, 0, Exif(6, true, 3, 0xFFFFFFF0u)}, 1},
        {"directory cut short", {JCS_RGB, 13, 7, false, 0, Exif(6, true).substr(0, 30)}, 1},
        {"no byte order", {JCS_RGB, 13, 7, false, 0, std::string("Exif\0\0XX\0*", 10) + Exif(6, true).substr(10)}, 1},
        {"not Exif", {JCS_RGB, 13, 7, false, 0, "http://ns.adobe.com/xap/1.0/"}, 1},
    };
    const std::string path = TempPath("decode.jpg");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteJpeg(path, c.encoding);
        const Expected expected = ReferenceImage(path, c.orientation);
        std::unique_ptr<JpegImage> image = JpegImage::CreateFromFile(nullptr, path.c_str());
        EXPECT_EQ(uint32_t(image->format), TestSupport::kRX24);
        EXPECT_EQ(image->width, expected.width);
        ASSERT_EQ(image->height, expected.height);
        ASSERT_EQ(image->stride, 4 * expected.width);
        EXPECT_TRUE(PixelsOf(*image) == expected.pixels);
    }

    // Read from a pipe, which cannot seek back over the signature.
    WriteJpeg(path, cases[1].encoding);
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const std::string bytes = TestSupport::FileBytes(path);
    ASSERT_EQ(write(ends[1], bytes.data(), bytes.size()), ssize_t(bytes.size()));
    close(ends[1]);
    std::unique_ptr<JpegImage> piped =
        JpegImage::CreateFromFile(nullptr, ("/proc/self/fd/" + std::to_string(ends[0])).c_str());
    close(ends[0]);
    EXPECT_TRUE(PixelsOf(*piped) == ReferenceImage(path, 1).pixels);
}

TEST(Jpeg, WorkedFigures) {
    // A dark top-left quarter of a 32 x 16 file, and where each orientation shows it.
    const struct { int orientation; bool right, bottom; } turns[] = {
        {1, false, false}, {2, true, false}, {3, true, true}, {4, false, true},
        {5, false, false}, {6, true, false}, {7, true, true}, {8, false, true},
    };
    const std::string path = TempPath("figure.jpg");
    for (const auto& t : turns) {
        SCOPED_TRACE(t.orientation);
        Encoding e{JCS_GRAYSCALE, 32, 16, false, 0, Exif(t.orientation, t.orientation % 2 == 0)};
        e.quality = 100;
        e.sample = [](int x, int y, int) { return uint8_t(x < 16 && y < 8 ? 0 : 255); };
        WriteJpeg(path, e);
        std::unique_ptr<JpegImage> image = JpegImage::CreateFromFile(nullptr, path.c_str());
        const int w = t.orientation >= 5 ? 16 : 32, h = t.orientation >= 5 ? 32 : 16;
        ASSERT_EQ(image->width, w);
        ASSERT_EQ(image->height, h);
        const uint8_t* data = static_cast<const uint8_t*>(image->data);
        // Centres of the four quarters: the upright picture's top is memory's last row.
        for (const bool right : {false, true})
            for (const bool bottom : {false, true}) {
                const int x = right ? 3 * w / 4 : w / 4, memoryRow = bottom ? h / 4 : 3 * h / 4;
                const uint8_t* pixel = data + memoryRow * image->stride + 4 * x;
                const uint8_t tone = right == t.right && bottom == t.bottom ? 0 : 255;
                EXPECT_EQ(std::vector<uint8_t>(pixel, pixel + 4), (std::vector<uint8_t>{tone, tone, tone, 255}))
                    << right << bottom;
            }
    }

    // Flat 8 x 8 blocks of inverted CMYK decode exactly; R = C K / 255 rounds 0.498 down and 0.502 up.
    const uint8_t cmyk[2][4] = {{1, 200, 255, 127}, {1, 200, 255, 128}};
    const uint8_t rgb[2][4] = {{0, 100, 127, 255}, {1, 100, 128, 255}};
    Encoding e{JCS_CMYK, 16, 8};
    e.quality = 100;
    e.sample = [&](int x, int, int k) { return cmyk[x / 8][k]; };
    WriteJpeg(path, e);
    std::unique_ptr<JpegImage> image = JpegImage::CreateFromFile(nullptr, path.c_str());
    const uint8_t* data = static_cast<const uint8_t*>(image->data);
    for (int block = 0; block < 2; ++block)
        EXPECT_EQ(std::vector<uint8_t>(data + 32 * block, data + 32 * block + 4),
                  std::vector<uint8_t>(rgb[block], rgb[block] + 4));
}

TEST(Jpeg, DamagedOrHostileFilesRaiseExceptions) {
    const std::string path = TempPath("damaged.jpg");
    const auto encoded = [&](const Encoding& e) { WriteJpeg(path, e); return TestSupport::FileBytes(path); };
    const std::string baseline = encoded({JCS_RGB, 40, 24, false, 1});
    const std::string progressive = encoded({JCS_RGB, 40, 24, true});
    const std::string tooManyScans =
        encoded({JCS_RGB, 8, 8, false, 0, "", JCS_UNKNOWN, 90, ManyScans(5)});  // 1 140 scans
    Encoding twoComponents{JCS_UNKNOWN, 8, 8};
    twoComponents.components = 2;
    const std::string unknown = encoded(twoComponents);
    uint8_t pixel[4] = {1, 2, 3, 4};
    Image tiny(nullptr, int(TestSupport::kRA24), 1, 1, 4, pixel);
    PngImage::Save(&tiny, path.c_str());
    const std::string png = TestSupport::FileBytes(path);

    const size_t sof = baseline.find("\xFF\xC0"), sos = baseline.find("\xFF\xDA");
    auto sized = [&](int width, int height) {
        std::string bytes = baseline;
        bytes[sof + 5] = char(height >> 8), bytes[sof + 6] = char(height);
        bytes[sof + 7] = char(width >> 8), bytes[sof + 8] = char(width);
        return bytes;
    };
    auto replaced = [&](const std::string& bytes, size_t at, const std::string& with) {
        return bytes.substr(0, at) + with + bytes.substr(at + with.size());
    };
    const size_t restart = baseline.find("\xFF\xD0", sos);
    const char* const notJpeg = "InvalidOperation: File is not recognized as a JPEG file.\n";
    const char* const cutShort = "InvalidOperation: Premature end of JPEG file\n";
    const char* const tooLarge = "InvalidOperation: The image is too large.\n";
    const struct { std::string bytes; const char* expected; } cases[] = {
        {"", notJpeg}, {"hello world\n", notJpeg}, {png, notJpeg}, {baseline.substr(0, 2), notJpeg},
        {"\xFF\xD8\xFE garbage", notJpeg},
        // Cut short in the header, in the tables, in the frame, in the data, before the end marker.
        {baseline.substr(0, 3), cutShort}, {baseline.substr(0, 30), cutShort}, {baseline.substr(0, sof + 4), cutShort},
        {baseline.substr(0, sos + 40), cutShort}, {baseline.substr(0, baseline.size() - 2), cutShort},
        {progressive.substr(0, progressive.size() / 2), cutShort}, {progressive.substr(0, progressive.size() - 2), cutShort},
        // Damaged: garbage after the signature, a restart marker out of sequence, an end marker in the data.
        {"\xFF\xD8\xFF\x01 garbage after the signature", "InvalidOperation: "},
        {replaced(baseline, restart, "\xFF\xD5"),
         "InvalidOperation: Corrupt JPEG data: found marker 0xd5 instead of RST0\n"},
        {replaced(baseline, sos + 30, "\xFF\xD9"), "InvalidOperation: "},
        {baseline + "trailing garbage", "nothing: "},  // after the end marker nothing is read
        {sized(65500, 65500), tooLarge}, {sized(16385, 16384), tooLarge},
        // Exactly 2^28 pixels passes the limit, and fails on the missing data instead.
        {sized(16384, 16384), "InvalidOperation: "},
        {sized(0, 24), "InvalidOperation: Empty JPEG image (DNL not supported)\n"},
        {tooManyScans, "InvalidOperation: The image has more than 1000 scans.\n"},
        {unknown, "NotSupported: The image format is not supported.\n"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        std::ofstream(path, std::ios::binary) << cases[i].bytes;
        TestSupport::ExpectOutcome([&] { JpegImage::CreateFromFile(nullptr, path.c_str()); }, cases[i].expected);
    }
    TestSupport::ExpectOutcome([&] { JpegImage::CreateFromFile(nullptr, TempPath(".").c_str()); }, notJpeg);  // a folder
    TestSupport::ExpectOutcome([&] { JpegImage::CreateFromFile(nullptr, TempPath("none.jpg").c_str()); },
                               "InvalidOperation: File could not be opened for reading.\n");
    TestSupport::ExpectOutcome([&] { orv_jpeg_image_create_from_file(nullptr, nullptr); }, "ArgumentNull: filename\n");
}

TEST(Jpeg, ThroughTheCInterfaceAsAPaint) {
    const std::string path = TempPath("paint.jpg");
    WriteJpeg(path, {JCS_RGB, 24, 20, true, 0, Exif(8, false)});
    const Expected expected = ReferenceImage(path, 8);
    TestSupport::Surface viaJpeg(20, 24), viaCopy(20, 24);
    orv_context2D context = orv_context2D_create(viaJpeg.surface);
    orv_image image = orv_jpeg_image_create_from_file(context, path.c_str());
    ASSERT_TRUE(image);
    EXPECT_EQ(uint32_t(orv_image_format_get(image)), TestSupport::kRX24);
    EXPECT_EQ(orv_image_width_get(image), 20);
    EXPECT_EQ(orv_image_height_get(image), 24);
    ASSERT_EQ(orv_image_stride_get(image), 80);
    const uint8_t* data = static_cast<const uint8_t*>(orv_image_data_get(image));
    EXPECT_TRUE(std::vector<uint8_t>(data, data + expected.pixels.size()) == expected.pixels);

    // Drawn as a paint, as the same bytes in a plain image are drawn.
    std::vector<uint8_t> copy(data, data + expected.pixels.size());
    orv_context2D copyContext = orv_context2D_create(viaCopy.surface);
    orv_image plain = orv_image_create(copyContext, int(TestSupport::kRX24), 20, 24, 80, copy.data());
    for (auto [c, source] : {std::pair{context, image}, std::pair{copyContext, plain}}) {
        orv_image_paint paint = orv_image_paint_create(c, source);
        orv_fill_state fill = orv_fill_state_create();
        orv_fill_state_paint_set(fill, paint);
        orv_path_builder builder = orv_path_builder_create();
        orv_path_builder_ellipse(builder, 10, 12, 18, 22);
        orv_path shape = orv_path_builder_to_path(builder, c);
        orv_path_draw(shape, fill, nullptr);
        orv_context2D_finish(c);
        orv_path_destroy(shape);
        orv_path_builder_destroy(builder);
        orv_fill_state_destroy(fill);
        orv_image_paint_destroy(paint);
    }
    orv_jpeg_image_destroy(image);
    orv_image_destroy(plain);
    orv_jpeg_image_destroy(nullptr);
    EXPECT_TRUE(viaJpeg.memory == viaCopy.memory);
    EXPECT_NE(viaJpeg.Rgba(10, 12), 0u);
    orv_context2D_destroy(context);
    orv_context2D_destroy(copyContext);
}
