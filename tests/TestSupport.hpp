// Helpers shared by the test suites.
#ifndef VUDADIVE2R_TEST_SUPPORT_HPP
#define VUDADIVE2R_TEST_SUPPORT_HPP

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vudadive2r.h"
#include "vudadive2r.hpp"

namespace TestSupport {

constexpr uint32_t kAB24 = 0x34324241;
constexpr uint32_t kRA24 = 0x34324152;
constexpr uint32_t kRX24 = 0x34325852;
constexpr uint32_t kRG16 = 0x36314752;
constexpr uint32_t kAR24 = 0x34325241;
constexpr uint32_t kXR24 = 0x34325258;
constexpr uint32_t kXB24 = 0x34324258;
constexpr uint32_t kR8 = 0x20203852;
constexpr uint32_t kR16 = 0x20363152;

// A surface over memory owned by the test. A stride of 0 means width x bytes
// per pixel; a negative stride puts row 0 last in memory.
struct Surface {
    Surface(int width, int height, uint32_t format = kAB24, int stride = 0);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    uint8_t* Pixel(int column, int memoryRow);  // memory rows count from the lowest address
    uint32_t Rgba(int column, int memoryRow);   // an "AB24" pixel as 0xRRGGBBAA
    void Fill(uint8_t r, uint8_t g, uint8_t b, uint8_t a);

    int width, height, stride, bytesPerPixel;
    std::vector<uint8_t> memory;
    orv_surface* surface;
};

// Memory rows [top, bottom) of columns [left, right) hold `inside`, the rest `outside`.
void ExpectBlock(Surface& surface, int left, int top, int right, int bottom, uint32_t inside, uint32_t outside = 0);

std::shared_ptr<ORV::Vudadive2R::FillState> FillWith(const std::shared_ptr<ORV::Vudadive2R::Paint>& paint);

// Runs `action` and returns what it wrote to the file descriptor (1 or 2).
std::string CaptureOutput(int descriptor, const std::function<void()>& action);
std::string CaptureStdout(const std::function<void()>& action);

// "Class: printed text" for the most derived class of the exception family
// that left `action`, "nothing: printed text" when none did. Expected
// outcomes ending in ": " leave the message (often libpng's own) unchecked.
std::string Outcome(const std::function<void()>& action);
void ExpectOutcome(const std::function<void()>& action, const std::string& expected);

const std::string& FontPath();  // DejaVu Sans; a failure when missing
std::string TempPath(const std::string& name);
std::string FileBytes(const std::string& path);
std::string Utf8Of(const std::u32string& codes);

}  // namespace TestSupport

#endif
