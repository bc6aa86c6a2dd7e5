#include "TestSupport.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace TestSupport {

int BytesPerPixel(uint32_t format) { return format == kR8 ? 1 : format == kRG16 || format == kR16 ? 2 : 4; }

Surface::Surface(int width, int height, uint32_t format, int stride)
    : width(width), height(height), stride(stride), bytesPerPixel(BytesPerPixel(format)) {
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

// Writes the first bytesPerPixel of (r, g, b, a) into every pixel.
void Surface::Fill(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    const uint8_t bytes[4] = {r, g, b, a};
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            std::memcpy(Pixel(column, row), bytes, size_t(bytesPerPixel));
}

std::shared_ptr<ORV::Vudadive2R::FillState> FillWith(const std::shared_ptr<ORV::Vudadive2R::Paint>& paint) {
    auto fill = std::make_shared<ORV::Vudadive2R::FillState>();
    fill->Paint(paint);
    return fill;
}

std::string CaptureStdout(const std::function<void()>& action) {
    std::fflush(stdout);
    char name[] = "/tmp/vudadive2r-stdout-XXXXXX";
    // Restores standard output and removes the file on every exit, exceptions included.
    struct Redirection {
        int file, saved;
        const char* name;
        ~Redirection() {
            std::fflush(stdout);
            dup2(saved, 1);
            close(saved);
            close(file);
            unlink(name);
        }
    } redirection{mkstemp(name), dup(1), name};
    dup2(redirection.file, 1);
    action();
    std::fflush(stdout);
    std::ifstream in(name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string TempPath(const std::string& name) { return std::string(VUDADIVE2R_TEST_TMPDIR) + "/" + name; }

std::string Utf8Of(const std::u32string& codes) {
    std::string text;
    for (const char32_t c : codes) {
        if (c < 0x80) {
            text += char(c);
        } else if (c < 0x800) {
            text += char(0xC0 | c >> 6);
            text += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            text += char(0xE0 | c >> 12);
            text += char(0x80 | (c >> 6 & 0x3F));
            text += char(0x80 | (c & 0x3F));
        } else {
            text += char(0xF0 | c >> 18);
            text += char(0x80 | (c >> 12 & 0x3F));
            text += char(0x80 | (c >> 6 & 0x3F));
            text += char(0x80 | (c & 0x3F));
        }
    }
    return text;
}

}  // namespace TestSupport
