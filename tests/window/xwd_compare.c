/* Compares a window's screenshot (an XWD file of xwd, ZPixmap, 24 or 32 bits
 * a pixel) with the frame drawn off-screen (a binary PPM of the same size):
 * exit 0 when every pixel's red, green and blue are the same.
 *
 *   xwd_compare SHOT.xwd FRAME.ppm */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

static unsigned char* read_file(const char* name, long* size)
{
    FILE* file = fopen(name, "rb");
    if (!file)
        return NULL;
    unsigned char* bytes = NULL;
    long capacity = 0;
    *size = 0;
    for (;;) {
        if (*size == capacity) {
            capacity = capacity ? 2 * capacity : 1 << 16;
            unsigned char* grown = realloc(bytes, (size_t)capacity);
            if (!grown)
                break;
            bytes = grown;
        }
        const size_t got = fread(bytes + *size, 1, (size_t)(capacity - *size), file);
        if (got == 0)
            break;
        *size += (long)got;
    }
    fclose(file);
    return bytes;
}

/* The header's fields are 32-bit big-endian. */
static uint32_t field(const unsigned char* header, int index)
{
    const unsigned char* p = header + 4 * index;
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

static int shift_of(uint32_t mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: xwd_compare SHOT.xwd FRAME.ppm\n");
        return 2;
    }
    long xwdSize = 0, ppmSize = 0;
    unsigned char* xwd = read_file(argv[1], &xwdSize);
    unsigned char* ppm = read_file(argv[2], &ppmSize);
    if (!xwd || !ppm || xwdSize < 100) {
        fprintf(stderr, "xwd_compare: cannot read the files\n");
        return 2;
    }
    const uint32_t headerSize = field(xwd, 0), version = field(xwd, 1), format = field(xwd, 2);
    const uint32_t width = field(xwd, 4), height = field(xwd, 5), byteOrder = field(xwd, 7);
    const uint32_t bitsPerPixel = field(xwd, 11), bytesPerLine = field(xwd, 12);
    const uint32_t masks[3] = {field(xwd, 14), field(xwd, 15), field(xwd, 16)};
    const uint32_t colors = field(xwd, 19);
    if (version != 7 || format != 2 || (bitsPerPixel != 32 && bitsPerPixel != 24)) {
        fprintf(stderr, "xwd_compare: not a 24- or 32-bit ZPixmap XWD file\n");
        return 2;
    }
    const unsigned long image = (unsigned long)headerSize + 12ul * colors;
    if ((unsigned long)xwdSize < image + (unsigned long)bytesPerLine * height) {
        fprintf(stderr, "xwd_compare: the XWD file is cut short\n");
        return 2;
    }
    unsigned ppmWidth = 0, ppmHeight = 0, maximum = 0;
    int offset = 0;
    if (sscanf((const char*)ppm, "P6 %u %u %u%n", &ppmWidth, &ppmHeight, &maximum, &offset) != 3 ||
        ppmWidth != width || ppmHeight != height || maximum != 255 ||
        ppmSize < offset + 1 + 3l * (long)width * (long)height) {
        fprintf(stderr, "xwd_compare: the PPM frame is not %ux%u\n", (unsigned)width, (unsigned)height);
        return 2;
    }
    const unsigned char* frame = ppm + offset + 1;
    const unsigned bytes = bitsPerPixel / 8;
    unsigned long differing = 0;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const unsigned char* p = xwd + image + (unsigned long)y * bytesPerLine + (unsigned long)x * bytes;
            uint32_t value = 0;
            for (unsigned i = 0; i < bytes; ++i)
                value |= (uint32_t)p[i] << (8 * (byteOrder ? bytes - 1 - i : i));
            const unsigned char* expected = frame + 3ul * ((unsigned long)y * width + x);
            for (int c = 0; c < 3; ++c) {
                const unsigned component = (value & masks[c]) >> shift_of(masks[c]);
                if (component != expected[c]) {
                    if (differing++ == 0)
                        fprintf(stderr, "xwd_compare: pixel %u, %u: shown %06x, drawn %02x%02x%02x\n", (unsigned)x,
                                (unsigned)y, (unsigned)(value & 0xFFFFFF), expected[0], expected[1], expected[2]);
                    break;
                }
            }
        }
    free(xwd);
    free(ppm);
    if (differing) {
        fprintf(stderr, "xwd_compare: %lu of %lu pixels differ\n", differing, (unsigned long)width * height);
        return 1;
    }
    printf("xwd_compare: %ux%u pixels alike\n", (unsigned)width, (unsigned)height);
    return 0;
}
