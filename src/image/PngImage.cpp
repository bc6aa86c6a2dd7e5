#include <png.h>
#include <sys/stat.h>

#include <climits>
#include <cstddef>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/FormatCodes.hpp"
#include "common/RowAddress.hpp"
#include "image/FileReplacement.hpp"
#include "vudadive2r/Exceptions.hpp"
#include "vudadive2r/Image.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

constexpr int kSignatureBytes = 8;

// libpng's limits, set explicitly rather than inherited from its build: no
// image side beyond a million pixels, and no ancillary chunk may make it
// allocate more than 8 MB or cache more than 1000 chunks.
constexpr png_uint_32 kLargestSide = 1000000;
constexpr png_alloc_size_t kLargestChunk = 8000000;
constexpr png_uint_32 kMostCachedChunks = 1000;

// libpng's own blocks: the largest it needs is a row of the widest image
// allowed (8 MB at 16 bits per channel) or a chunk of the largest size.
// Skipping an oversized ancillary chunk can still make it ask for the
// chunk's full length, gigabytes in a file of a hundred bytes; such a
// request is refused, and libpng reports it as an error.
constexpr png_alloc_size_t kLargestLibpngBlock = 64 << 20;

png_voidp LimitedMalloc(png_structp, png_alloc_size_t size) {
    return size <= kLargestLibpngBlock ? std::malloc(size) : nullptr;
}

void LimitedFree(png_structp, png_voidp block) { std::free(block); }

// Deflate expands at most about 1032 bytes out of one compressed byte; a
// regular file shorter than its image data divided by this ratio cannot
// hold that data, and is refused before its rows are allocated.
constexpr uint64_t kLargestInflation = 1100;

// True when `file` is a regular file too short to hold `imageBytes`
// bytes of decoded image data. Pipes and other streams cannot be measured
// and are let through.
bool CannotHold(FILE* file, uint64_t imageBytes) {
    struct stat status;
    if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    return imageBytes / kLargestInflation > uint64_t(status.st_size);
}

// libpng reports an error through a callback that must not return. The
// callback jumps back to the small frame that armed the trap (a frame holding
// nothing with a destructor); that frame returns false and the C++ caller,
// with libpng's frames gone, releases everything and throws.
struct ErrorTrap {
    std::jmp_buf jump;
    char message[256];
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
    ErrorTrap* trap = static_cast<ErrorTrap*>(png_get_error_ptr(png));
    std::snprintf(trap->message, sizeof trap->message, "%s", message ? message : "");
    std::longjmp(trap->jump, 1);
}

// Warnings concern chunks libpng skips; the library prints nothing but
// exception messages.
void OnPngWarning(png_structp, png_const_charp) {}

struct FreeDeleter {
    void operator()(void* memory) const { std::free(memory); }
};

// ---------------------------------------------------------------- loading

// Plain data only: longjmp may leave frames that refer to it.
struct ReadState {
    ErrorTrap trap;
    FILE* file;
    png_structp png;
    png_infop info;
    png_uint_32 width;
    png_uint_32 height;
    int bitDepth;
    int colorType;
    size_t rowBytes;
    unsigned char* rows;
    png_bytep* rowPointers;
};

// Owns what a load has acquired and releases it on every way out.
struct ReadResources {
    ReadResources() : state() {}
    ~ReadResources() {
        if (state.png)
            png_destroy_read_struct(&state.png, state.info ? &state.info : nullptr, nullptr);
        std::free(state.rowPointers);
        std::free(state.rows);
        if (state.file)
            std::fclose(state.file);
    }
    ReadResources(const ReadResources&) = delete;
    ReadResources& operator=(const ReadResources&) = delete;

    ReadState state;
};

__attribute__((noinline)) bool ReadHeader(ReadState* state) {
    if (setjmp(state->trap.jump))
        return false;
    png_init_io(state->png, state->file);
    png_set_sig_bytes(state->png, kSignatureBytes);
    png_read_info(state->png, state->info);
    state->width = png_get_image_width(state->png, state->info);
    state->height = png_get_image_height(state->png, state->info);
    state->bitDepth = png_get_bit_depth(state->png, state->info);
    png_set_interlace_handling(state->png);
    png_read_update_info(state->png, state->info);
    state->colorType = png_get_color_type(state->png, state->info);
    state->rowBytes = png_get_rowbytes(state->png, state->info);
    return true;
}

__attribute__((noinline)) bool DecodeRows(ReadState* state) {
    if (setjmp(state->trap.jump))
        return false;
    png_read_image(state->png, state->rowPointers);
    return true;
}

// What a decoded file becomes in memory; `rejection` is set for layouts the
// library does not load.
struct Layout {
    int32_t format;
    int bytesPerPixel;
    const char* rejection;
};

Layout LayoutOf(int colorType, int bitDepth) {
    const char* const badDepth = "The bit depth is not supported.";
    switch (colorType) {
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return bitDepth == 8 ? Layout{FormatCode::RA24, 4, nullptr} : Layout{0, 0, badDepth};
    case PNG_COLOR_TYPE_RGB:
        return bitDepth == 8 ? Layout{FormatCode::RX24, 4, nullptr} : Layout{0, 0, badDepth};
    case PNG_COLOR_TYPE_GRAY:
        if (bitDepth == 8)
            return Layout{FormatCode::R8, 1, nullptr};
        if (bitDepth == 16)
            return Layout{FormatCode::R16, 2, nullptr};
        return Layout{0, 0, badDepth};
    default:
        return Layout{0, 0, "The image format is not supported."};
    }
}

void CopyRowsBottomUp(const ReadState& state, const Layout& layout, unsigned char* pixels, int stride) {
    const png_uint_32 width = state.width;
    for (png_uint_32 row = 0; row < state.height; ++row) {
        const unsigned char* source = state.rowPointers[state.height - 1 - row];
        unsigned char* target = RowAddress(pixels, stride, state.height, row);
        if (layout.format == FormatCode::RX24) {
            for (png_uint_32 column = 0; column < width; ++column) {
                target[4 * column + 0] = source[3 * column + 0];
                target[4 * column + 1] = source[3 * column + 1];
                target[4 * column + 2] = source[3 * column + 2];
                target[4 * column + 3] = 255;
            }
        } else {
            std::memcpy(target, source, size_t(stride));
        }
    }
}

// ---------------------------------------------------------------- saving

struct WriteState {
    ErrorTrap trap;
    FILE* file;
    png_structp png;
    png_infop info;
    png_bytep* rowPointers;
};

// The output closes the file, and removes it unless committed, after
// libpng's structures are gone.
struct WriteResources {
    WriteResources() : state() {}
    ~WriteResources() {
        if (state.png)
            png_destroy_write_struct(&state.png, state.info ? &state.info : nullptr);
        std::free(state.rowPointers);
    }
    WriteResources(const WriteResources&) = delete;
    WriteResources& operator=(const WriteResources&) = delete;

    FileReplacement output;
    WriteState state;
};

__attribute__((noinline)) bool WriteHeader(WriteState* state, png_uint_32 width, png_uint_32 height) {
    if (setjmp(state->trap.jump))
        return false;
    png_init_io(state->png, state->file);
    png_set_IHDR(state->png, state->info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(state->png, state->info);
    return true;
}

__attribute__((noinline)) bool WriteRows(WriteState* state) {
    if (setjmp(state->trap.jump))
        return false;
    png_write_image(state->png, state->rowPointers);
    png_write_end(state->png, nullptr);
    return true;
}

}  // namespace

PngImage::PngImage(const std::shared_ptr<Context2D>& context, int format, int width, int height, int stride,
                   void* data)
    : Image(context, format, width, height, stride, data) {}

PngImage::~PngImage() { std::free(data); }

std::unique_ptr<PngImage> PngImage::CreateFromFile(const std::shared_ptr<Context2D>& context,
                                                   const char* filename) {
    if (!filename)
        throw ArgumentNullException("filename");
    ReadResources resources;
    ReadState& state = resources.state;

    state.file = std::fopen(filename, "rb");
    if (!state.file)
        throw InvalidOperationException("File could not be opened for reading.");

    png_byte signature[kSignatureBytes] = {};
    if (std::fread(signature, 1, kSignatureBytes, state.file) != size_t(kSignatureBytes) ||
        png_sig_cmp(signature, 0, kSignatureBytes) != 0)
        throw InvalidOperationException("File is not recognized as a PNG file.");

    state.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr, nullptr,
                                         LimitedMalloc, LimitedFree);
    if (!state.png)
        throw InvalidOperationException("png_create_read_struct failed");
    png_set_error_fn(state.png, &state.trap, OnPngError, OnPngWarning);
    png_set_user_limits(state.png, kLargestSide, kLargestSide);
    png_set_chunk_malloc_max(state.png, kLargestChunk);
    png_set_chunk_cache_max(state.png, kMostCachedChunks);

    state.info = png_create_info_struct(state.png);
    if (!state.info)
        throw InvalidOperationException("png_create_info_struct failed");

    if (!ReadHeader(&state))
        throw InvalidOperationException(state.trap.message);

    // Both the decoded rows and the image must fit a 32-bit signed size; a
    // header claiming more is refused before anything is allocated.
    const Layout layout = LayoutOf(state.colorType, state.bitDepth);
    const uint64_t imageRowBytes =
        layout.rejection ? uint64_t(state.rowBytes) : uint64_t(state.width) * uint64_t(layout.bytesPerPixel);
    const uint64_t widestRow = imageRowBytes > state.rowBytes ? imageRowBytes : uint64_t(state.rowBytes);
    if (state.height == 0 || widestRow == 0 || widestRow > uint64_t(INT32_MAX) / state.height)
        throw InvalidOperationException("The image is too large.");
    // The message libpng gives when the image data runs out while decoding.
    if (CannotHold(state.file, uint64_t(state.rowBytes) * state.height))
        throw InvalidOperationException("Not enough image data");

    state.rows = static_cast<unsigned char*>(std::malloc(state.rowBytes * state.height));
    state.rowPointers = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * state.height));
    if (!state.rows || !state.rowPointers)
        throw Exception();
    for (png_uint_32 row = 0; row < state.height; ++row)
        state.rowPointers[row] = state.rows + size_t(row) * state.rowBytes;

    if (!DecodeRows(&state))
        throw InvalidOperationException(state.trap.message);
    std::fclose(state.file);
    state.file = nullptr;

    // Tested only now, so that a damaged file of any layout is reported as damaged.
    if (layout.rejection)
        throw NotSupportedException(layout.rejection);

    const int width = int(state.width);
    const int height = int(state.height);
    const int stride = int(imageRowBytes);
    std::unique_ptr<void, FreeDeleter> pixels(std::malloc(size_t(stride) * size_t(height)));
    if (!pixels)
        throw Exception();
    auto image = std::make_unique<PngImage>(context, layout.format, width, height, stride, pixels.get());
    pixels.release();
    CopyRowsBottomUp(state, layout, static_cast<unsigned char*>(image->data), stride);
    return image;
}

void PngImage::Save(Image* image, const char* filename) {
    if (!image)
        throw ArgumentNullException("image");
    if (!filename)
        throw ArgumentNullException("filename");
    if (image->format != FormatCode::RA24)
        throw NotSupportedException("The image format is not supported.");
    // Refused before the file is opened, so that nothing is left behind.
    if (!image->data)
        throw ArgumentNullException("data");
    if (image->width <= 0)
        throw ArgumentOutOfRangeException("width");
    if (image->height <= 0)
        throw ArgumentOutOfRangeException("height");

    WriteResources resources;
    WriteState& state = resources.state;

    // A failed save leaves the file that was there untouched.
    if (!resources.output.Open(filename))
        throw Exception("The file could not be opened for writing");
    state.file = resources.output.Stream();

    state.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!state.png)
        throw Exception("png_create_write_struct failed");
    png_set_error_fn(state.png, &state.trap, OnPngError, OnPngWarning);

    state.info = png_create_info_struct(state.png);
    if (!state.info)
        throw Exception("[write_png_file] png_create_info_struct failed");

    const png_uint_32 height = png_uint_32(image->height);
    if (!WriteHeader(&state, png_uint_32(image->width), height))
        throw Exception(state.trap.message);

    state.rowPointers = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (!state.rowPointers)
        throw Exception();
    // Rows are addressed as every consumer of images addresses them: a
    // negative stride puts row 0 last in memory. Row 0 becomes the top row.
    unsigned char* const base = static_cast<unsigned char*>(image->data);
    for (png_uint_32 row = 0; row < height; ++row)
        state.rowPointers[row] = RowAddress(base, image->stride, height, row);

    if (!WriteRows(&state))
        throw Exception(state.trap.message);

    // Buffered bytes reach the file only here; a failure is a write error too.
    if (!resources.output.Commit())
        throw Exception("Write Error");
}

}  // namespace Vudadive2R
}  // namespace ORV
