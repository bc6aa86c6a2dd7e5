// Test-side PNG files: written and read with libpng directly (not through the
// library), plus byte-level helpers for damaging them.
#ifndef VUDADIVE2R_TEST_PNG_WRITER_HPP
#define VUDADIVE2R_TEST_PNG_WRITER_HPP

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace TestPng {

// Packed file rows, top row first, samples as PNG stores them (16-bit
// samples most significant byte first, low bit depths packed from the high bit).
struct Picture {
    int width, height, colorType, bitDepth;
    bool interlaced;
    std::vector<uint8_t> rows;

    size_t RowBytes() const {
        int channels = colorType == PNG_COLOR_TYPE_RGB ? 3 : colorType == PNG_COLOR_TYPE_RGB_ALPHA ? 4
                       : colorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2 : 1;
        return (size_t(width) * channels * bitDepth + 7) / 8;
    }
};

// Every sample byte follows one formula, so expectations need no stored copy.
inline uint8_t PatternByte(int column, int row, int byteIndex) {
    return uint8_t(column * 37 + row * 101 + byteIndex * 59 + 7);
}

inline Picture MakePicture(int width, int height, int colorType, int bitDepth, bool interlaced = false) {
    Picture picture{width, height, colorType, bitDepth, interlaced, {}};
    const size_t rowBytes = picture.RowBytes();
    picture.rows.resize(rowBytes * height);
    for (int row = 0; row < height; ++row)
        for (size_t index = 0; index < rowBytes; ++index)
            picture.rows[row * rowBytes + index] = PatternByte(int(index), row, 0);
    return picture;
}

inline bool Write(const std::string& path, const Picture& picture) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> pointers(picture.height);
    for (int row = 0; row < picture.height; ++row)
        pointers[row] = const_cast<png_bytep>(picture.rows.data()) + row * picture.RowBytes();
    bool written = false;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, picture.width, picture.height, picture.bitDepth, picture.colorType,
                     picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_color palette[256];
        for (int entry = 0; entry < 256; ++entry)
            palette[entry] = png_color{uint8_t(entry), uint8_t(255 - entry), uint8_t(entry / 2)};
        if (picture.colorType == PNG_COLOR_TYPE_PALETTE)
            png_set_PLTE(png, info, palette, 1 << picture.bitDepth);
        png_write_info(png, info);
        if (picture.interlaced)
            png_set_interlace_handling(png);
        png_write_image(png, pointers.data());
        png_write_end(png, nullptr);
        written = true;
    }
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return written;
}

// Decodes any 8-bit RGBA file; returns false on anything else.
inline bool ReadRgba(const std::string& path, int& width, int& height, std::vector<uint8_t>& rows) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> pointers;
    bool read = false;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_read_info(png, info);
        if (png_get_color_type(png, info) == PNG_COLOR_TYPE_RGB_ALPHA && png_get_bit_depth(png, info) == 8) {
            width = int(png_get_image_width(png, info));
            height = int(png_get_image_height(png, info));
            rows.assign(size_t(width) * 4 * height, 0);
            for (int row = 0; row < height; ++row)
                pointers.push_back(rows.data() + size_t(row) * width * 4);
            png_read_image(png, pointers.data());
            read = true;
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return read;
}

inline std::vector<uint8_t> Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void Store(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

inline uint32_t BigEndian(const std::vector<uint8_t>& bytes, size_t at) {
    return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 | uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
}

inline void PutBigEndian(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int index = 0; index < 4; ++index)
        bytes[at + index] = uint8_t(value >> (24 - 8 * index));
}

// Offset of the first chunk of `type` (its length field) in a PNG file.
inline size_t ChunkOffset(const std::vector<uint8_t>& bytes, const char* type) {
    for (size_t at = 8; at + 8 <= bytes.size(); at += 12 + BigEndian(bytes, at))
        if (std::string(bytes.begin() + at + 4, bytes.begin() + at + 8) == type)
            return at;
    return bytes.size();
}

// Plain bitwise CRC-32 (polynomial 0xEDB88320), as PNG chunks carry it.
inline uint32_t Crc32(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t index = 0; index < size; ++index) {
        crc ^= data[index];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// Rewrites the header's width and height with a valid CRC, so only the
// dimensions are hostile.
inline void PatchDimensions(std::vector<uint8_t>& bytes, uint32_t width, uint32_t height) {
    const size_t header = 8;  // IHDR is the first chunk
    PutBigEndian(bytes, header + 8, width);
    PutBigEndian(bytes, header + 12, height);
    PutBigEndian(bytes, header + 21, Crc32(bytes.data() + header + 4, 17));
}

}  // namespace TestPng

#endif
