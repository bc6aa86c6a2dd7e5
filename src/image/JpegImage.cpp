// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "common/FormatCodes.hpp"
#include "common/RowAddress.hpp"
#include "vudadive2r/Exceptions.hpp"
#include "vudadive2r/Image.hpp"

namespace ORV {
namespace Vudadive2R {

namespace {

// 2^28 pixels: a 1 GB image at four bytes a pixel, refused from the header
// before anything of its size is allocated.
constexpr uint64_t kLargestImage = uint64_t(1) << 28;
// The decoder's own working memory, mostly a progressive file's
// coefficients (two bytes for each sample of each component); beyond it
// the decoder wants backing store, which it does not have, and gives up.
constexpr long kLargestDecoderMemory = 1L << 30;
// Every scan of a progressive file passes over the whole image; a file of
// thousands of tiny scans would cost minutes.
constexpr int kMostScans = 1000;

constexpr size_t kSignatureBytes = 3;
constexpr size_t kSourceBuffer = 4096;

// libjpeg reports an error through a callback that must not return. The
// callback jumps back to the small frame that armed the trap (a frame holding
// nothing with a destructor); that frame returns false and the C++ caller,
// with libjpeg's frames gone, releases everything and throws.
struct ErrorTrap {
    jpeg_error_mgr manager;  // first, so that cinfo->err leads back to the trap
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void Spring(j_common_ptr decoder) {
    ErrorTrap* trap = reinterpret_cast<ErrorTrap*>(decoder->err);
    std::longjmp(trap->jump, 1);
}

[[noreturn]] void OnJpegError(j_common_ptr decoder) {
    ErrorTrap* trap = reinterpret_cast<ErrorTrap*>(decoder->err);
    (*decoder->err->format_message)(decoder, trap->message);
    Spring(decoder);
}

// A warning means damaged data (cut short, a bad Huffman code, bytes where
// a marker belongs) that libjpeg would paper over with grey; it ends the
// load like an error. Trace messages are dropped: the library prints
// nothing but exception messages.
void OnJpegMessage(j_common_ptr decoder, int level) {
    if (level < 0)
        OnJpegError(decoder);
}

void OnProgress(j_common_ptr decoder) {
    if (decoder->is_decompressor && reinterpret_cast<j_decompress_ptr>(decoder)->input_scan_number > kMostScans) {
        ErrorTrap* trap = reinterpret_cast<ErrorTrap*>(decoder->err);
        std::snprintf(trap->message, sizeof trap->message, "The image has more than %d scans.", kMostScans);
        Spring(decoder);
    }
}

// Reads the file through a buffer that starts with the signature bytes
// already read, so that a pipe needs no seeking back.
struct Source {
    jpeg_source_mgr manager;  // first, so that cinfo->src leads back to the source
    FILE* file;
    JOCTET buffer[kSourceBuffer];
};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr decoder) {
    Source* source = reinterpret_cast<Source*>(decoder->src);
    const size_t count = std::fread(source->buffer, 1, kSourceBuffer, source->file);
    if (count == 0) {
        if (std::ferror(source->file))
            ERREXIT(decoder, JERR_FILE_READ);
        // An error, not the warning and the made-up end of image libjpeg's
        // own reader gives: data cut short is no picture.
        ERREXIT(decoder, JWRN_JPEG_EOF);
    }
    source->manager.next_input_byte = source->buffer;
    source->manager.bytes_in_buffer = count;
    return TRUE;
}

void SkipInputData(j_decompress_ptr decoder, long count) {
    jpeg_source_mgr* manager = decoder->src;
    while (count > long(manager->bytes_in_buffer)) {
        count -= long(manager->bytes_in_buffer);
        FillInputBuffer(decoder);
    }
    if (count > 0) {
        manager->next_input_byte += count;
        manager->bytes_in_buffer -= size_t(count);
    }
}

// ------------------------------------------------------------ orientation

// The Exif orientation tag, 1 to 8; 1 (as stored) for a file without one or
// with one that cannot be read.
int ExifOrientation(const jpeg_saved_marker_ptr markers) {
    for (jpeg_saved_marker_ptr marker = markers; marker; marker = marker->next) {
        if (marker->marker != JPEG_APP0 + 1 || marker->data_length < 14 ||
            std::memcmp(marker->data, "Exif\0\0", 6) != 0)
            continue;
        const JOCTET* tiff = marker->data + 6;
        const size_t length = marker->data_length - 6;
        bool bigEndian;
        if (std::memcmp(tiff, "MM\0*", 4) == 0)
            bigEndian = true;
        else if (std::memcmp(tiff, "II*\0", 4) == 0)
            bigEndian = false;
        else
            return 1;
        auto u16 = [&](size_t at) {
            return bigEndian ? uint32_t(tiff[at] << 8 | tiff[at + 1]) : uint32_t(tiff[at + 1] << 8 | tiff[at]);
        };
        auto u32 = [&](size_t at) { return bigEndian ? u16(at) << 16 | u16(at + 2) : u16(at + 2) << 16 | u16(at); };
        const uint32_t directory = u32(4);
        if (directory > length - 2)
            return 1;
        const uint32_t entries = u16(directory);
        for (uint32_t entry = 0; entry < entries; ++entry) {
            const size_t at = size_t(directory) + 2 + 12 * size_t(entry);
            if (at + 12 > length)
                return 1;
            // A SHORT of count 1, kept in the first two bytes of the value.
            if (u16(at) == 0x0112) {
                const uint32_t value = u16(at + 8);
                return u16(at + 2) == 3 && u32(at + 4) == 1 && value >= 1 && value <= 8 ? int(value) : 1;
            }
        }
        return 1;  // only the first Exif block counts
    }
    return 1;
}

// Where the stored pixel at row r, column c of a w x h file lands in the
// upright picture, as x and y from its top left: x = xr r + xc c + x0, and
// likewise y.
struct Placement {
    int xr, xc, x0, yr, yc, y0;
};

Placement PlacementOf(int orientation, int w, int h) {
    switch (orientation) {
    case 2: return {0, -1, w - 1, 1, 0, 0};        // mirrored left to right
    case 3: return {0, -1, w - 1, -1, 0, h - 1};   // turned half round
    case 4: return {0, 1, 0, -1, 0, h - 1};        // mirrored top to bottom
    case 5: return {1, 0, 0, 0, 1, 0};             // transposed
    case 6: return {-1, 0, h - 1, 0, 1, 0};        // to be turned a quarter clockwise
    case 7: return {-1, 0, h - 1, 0, -1, w - 1};   // transposed across the other diagonal
    case 8: return {1, 0, 0, 0, -1, w - 1};        // to be turned a quarter anticlockwise
    default: return {0, 1, 0, 1, 0, 0};
    }
}

// ---------------------------------------------------------------- loading

// Plain data only: longjmp may leave frames that refer to it.
struct ReadState {
    ErrorTrap trap;
    jpeg_decompress_struct decoder;
    jpeg_progress_mgr progress;
    Source source;
    bool cmyk;
    int orientation;
    // The upright picture, bottom row first as every loaded image.
    int width;
    int height;
    unsigned char* pixels;
    // One decoded row, when it does not go straight into place.
    unsigned char* row;
};

// Owns what a load has acquired and releases it on every way out.
struct ReadResources {
    ReadResources() : state() {}
    ~ReadResources() {
        // Harmless on a decoder never created: it finds no memory manager.
        jpeg_destroy_decompress(&state.decoder);
        std::free(state.row);
        std::free(state.pixels);
        if (state.source.file)
            std::fclose(state.source.file);
    }
    ReadResources(const ReadResources&) = delete;
    ReadResources& operator=(const ReadResources&) = delete;

    ReadState state;
};

__attribute__((noinline)) bool ReadHeader(ReadState* state) {
    if (setjmp(state->trap.jump))
        return false;
    j_decompress_ptr decoder = &state->decoder;
    decoder->err = jpeg_std_error(&state->trap.manager);
    state->trap.manager.error_exit = OnJpegError;
    state->trap.manager.emit_message = OnJpegMessage;
    jpeg_create_decompress(decoder);
    decoder->mem->max_memory_to_use = kLargestDecoderMemory;
    state->progress.progress_monitor = OnProgress;
    decoder->progress = &state->progress;
    state->source.manager.init_source = InitSource;
    state->source.manager.fill_input_buffer = FillInputBuffer;
    state->source.manager.skip_input_data = SkipInputData;
    state->source.manager.resync_to_restart = jpeg_resync_to_restart;
    state->source.manager.term_source = TermSource;
    decoder->src = &state->source.manager;
    jpeg_save_markers(decoder, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(decoder, TRUE);
    return true;
}

// R = C K / 255 rounded, and likewise G from M and B from Y: how
// libjpeg-turbo's tools show the inverted CMYK that Adobe's files hold. They
// round C K / 255.0 + 0.5 in double; C K / 255 never ends in exactly one
// half, so integers give the same bytes.
void CmykToRgbx(unsigned char* row, JDIMENSION width) {
    for (JDIMENSION column = 0; column < width; ++column, row += 4) {
        const unsigned k = row[3];
        for (int channel = 0; channel < 3; ++channel)
            row[channel] = (unsigned char)((row[channel] * k + 127) / 255);
        row[3] = 255;
    }
}

void Place(const ReadState& state, const unsigned char* row, int r, int stride) {
    const int w = int(state.decoder.output_width), h = int(state.decoder.output_height);
    const Placement p = PlacementOf(state.orientation, w, h);
    // Memory row 0 is the picture's bottom row.
    const ptrdiff_t columnStep = 4 * ptrdiff_t(p.xc) - ptrdiff_t(stride) * p.yc;
    ptrdiff_t at = 4 * ptrdiff_t(p.xr * r + p.x0) + ptrdiff_t(stride) * (state.height - 1 - (p.yr * r + p.y0));
    for (int c = 0; c < w; ++c, at += columnStep)
        std::memcpy(state.pixels + at, row + 4 * c, 4);
}

__attribute__((noinline)) bool DecodeRows(ReadState* state, int stride) {
    if (setjmp(state->trap.jump))
        return false;
    j_decompress_ptr decoder = &state->decoder;
    jpeg_start_decompress(decoder);
    if (decoder->output_width != decoder->image_width || decoder->output_height != decoder->image_height ||
        decoder->output_components != 4) {
        std::snprintf(state->trap.message, sizeof state->trap.message, "The image format is not supported.");
        return false;
    }
    while (decoder->output_scanline < decoder->output_height) {
        const int r = int(decoder->output_scanline);
        JSAMPROW target = state->row ? state->row : RowAddress(state->pixels, stride, state->height, state->height - 1 - r);
        jpeg_read_scanlines(decoder, &target, 1);
        if (state->cmyk)
            CmykToRgbx(target, decoder->output_width);
        if (state->row)
            Place(*state, target, r, stride);
    }
    // Reads on to the end of the image, so that damage after the last row is found too.
    jpeg_finish_decompress(decoder);
    return true;
}

}  // namespace

JpegImage::JpegImage(const std::shared_ptr<Context2D>& context, int format, int width, int height, int stride,
                     void* data)
    : Image(context, format, width, height, stride, data) {}

JpegImage::~JpegImage() { std::free(data); }

std::unique_ptr<JpegImage> JpegImage::CreateFromFile(const std::shared_ptr<Context2D>& context,
                                                     const char* filename) {
    if (!filename)
        throw ArgumentNullException("filename");
    ReadResources resources;
    ReadState& state = resources.state;

    state.source.file = std::fopen(filename, "rb");
    if (!state.source.file)
        throw InvalidOperationException("File could not be opened for reading.");

    // The start of image marker and the first byte of the next marker.
    JOCTET* const signature = state.source.buffer;
    if (std::fread(signature, 1, kSignatureBytes, state.source.file) != kSignatureBytes ||
        std::memcmp(signature, "\xFF\xD8\xFF", kSignatureBytes) != 0)
        throw InvalidOperationException("File is not recognized as a JPEG file.");
    state.source.manager.next_input_byte = signature;
    state.source.manager.bytes_in_buffer = kSignatureBytes;

    if (!ReadHeader(&state))
        throw InvalidOperationException(state.trap.message);

    j_decompress_ptr decoder = &state.decoder;
    switch (decoder->jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB:
        // libjpeg-turbo writes the fourth byte as 255 and replicates grey.
        decoder->out_color_space = JCS_EXT_RGBX;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        decoder->out_color_space = JCS_CMYK;
        state.cmyk = true;
        break;
    default:
        throw NotSupportedException("The image format is not supported.");
    }
    if (uint64_t(decoder->image_width) * decoder->image_height > kLargestImage)
        throw InvalidOperationException("The image is too large.");

    // Unscaled: the decoder's output has the file's size.
    state.orientation = ExifOrientation(decoder->marker_list);
    const bool turned = state.orientation >= 5;
    state.width = int(turned ? decoder->image_height : decoder->image_width);
    state.height = int(turned ? decoder->image_width : decoder->image_height);
    const int stride = 4 * state.width;
    state.pixels = static_cast<unsigned char*>(std::malloc(size_t(stride) * size_t(state.height)));
    if (!state.pixels)
        throw Exception();
    if (state.orientation != 1) {
        state.row = static_cast<unsigned char*>(std::malloc(4 * size_t(decoder->image_width)));
        if (!state.row)
            throw Exception();
    }

    if (!DecodeRows(&state, stride))
        throw InvalidOperationException(state.trap.message);

    auto image = std::make_unique<JpegImage>(context, FormatCode::RX24, state.width, state.height, stride,
                                             state.pixels);
    state.pixels = nullptr;
    return image;
}

}  // namespace Vudadive2R
}  // namespace ORV
