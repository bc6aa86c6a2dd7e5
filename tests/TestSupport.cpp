#include "TestSupport.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "FontLookup.hpp"

namespace TestSupport {

Surface::Surface(int width, int height, uint32_t format, int stride)
    : width(width), height(height), stride(stride),
      bytesPerPixel(format == kR8 ? 1 : format == kRG16 || format == kR16 ? 2 : 4) {
    if (this->stride == 0)
        this->stride = width * bytesPerPixel;
    memory.assign(size_t(std::abs(this->stride)) * size_t(height), 0);
    surface = orv_surface_create_for_data(width, height, format, this->stride, memory.data());
    if (!surface)
        throw std::runtime_error("surface could not be created");
}

Surface::~Surface() { orv_surface_destroy(surface); }

uint8_t* Surface::Pixel(int column, int memoryRow) {
    return memory.data() + size_t(memoryRow) * size_t(std::abs(stride)) + size_t(column) * size_t(bytesPerPixel);
}

uint32_t Surface::Rgba(int column, int memoryRow) {
    const uint8_t* p = Pixel(column, memoryRow);
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

void Surface::Fill(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    const uint8_t bytes[4] = {r, g, b, a};
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            std::memcpy(Pixel(column, row), bytes, size_t(bytesPerPixel));
}

void ExpectBlock(Surface& surface, int left, int top, int right, int bottom, uint32_t inside, uint32_t outside) {
    for (int row = 0; row < surface.height; ++row)
        for (int column = 0; column < surface.width; ++column) {
            const bool in = column >= left && column < right && row >= top && row < bottom;
            ASSERT_EQ(surface.Rgba(column, row), in ? inside : outside) << column << ", " << row;
        }
}

std::shared_ptr<ORV::Vudadive2R::FillState> FillWith(const std::shared_ptr<ORV::Vudadive2R::Paint>& paint) {
    auto fill = std::make_shared<ORV::Vudadive2R::FillState>();
    fill->Paint(paint);
    return fill;
}

std::string CaptureOutput(int descriptor, const std::function<void()>& action) {
    std::fflush(stdout);
    std::fflush(stderr);
    char name[] = "/tmp/vudadive2r-output-XXXXXX";
    struct Redirection {  // undone on every exit, exceptions included
        int descriptor, file, saved;
        const char* name;
        ~Redirection() {
            std::fflush(stdout);
            std::fflush(stderr);
            dup2(saved, descriptor);
            close(saved);
            close(file);
            unlink(name);
        }
    } redirection{descriptor, mkstemp(name), dup(descriptor), name};
    dup2(redirection.file, descriptor);
    action();
    std::fflush(stdout);
    std::fflush(stderr);
    std::ifstream in(name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string CaptureStdout(const std::function<void()>& action) { return CaptureOutput(1, action); }

std::string Outcome(const std::function<void()>& action) {
    using namespace ORV::Vudadive2R;
    std::string thrown = "nothing";
    const std::string printed = CaptureStdout([&] {
        try { action(); }
        catch (const InvalidOperationException&) { thrown = "InvalidOperation"; }
        catch (const NotSupportedException&) { thrown = "NotSupported"; }
        catch (const ArgumentNullException&) { thrown = "ArgumentNull"; }
        catch (const ArgumentOutOfRangeException&) { thrown = "ArgumentOutOfRange"; }
        catch (const Exception&) { thrown = "Exception"; }
    });
    return thrown + ": " + printed;
}

void ExpectOutcome(const std::function<void()>& action, const std::string& expected) {
    const std::string outcome = Outcome(action);
    EXPECT_EQ(expected.back() == ' ' ? outcome.substr(0, expected.size()) : outcome, expected) << outcome;
}

const std::string& FontPath() {
    static const std::string path = DejaVuSansPath();
    if (path.empty())
        ADD_FAILURE() << "DejaVu Sans not found";
    return path;
}

std::string TempPath(const std::string& name) { return std::string(VUDADIVE2R_TEST_TMPDIR) + "/" + name; }

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Utf8Of(const std::u32string& codes) {
    std::string text;
    for (const char32_t c : codes) {
        const int more = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;  // continuation bytes
        text += char(more ? (0xFF00 >> (more + 1) & 0xFF) | c >> (6 * more) : c);
        for (int i = more - 1; i >= 0; --i)
            text += char(0x80 | (c >> (6 * i) & 0x3F));
    }
    return text;
}

}  // namespace TestSupport
