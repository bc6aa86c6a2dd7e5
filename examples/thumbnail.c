/* A command-line thumbnailer: loads a PNG file, draws it scaled to fit a
 * SIZE x SIZE box with the image paint and saves the result, SIZE pixels on
 * its longer side. On any error it prints one line on standard error, exits
 * with status 1 and writes nothing.
 *
 *   thumbnail INPUT.png OUTPUT.png SIZE
 *
 * Build it with
 *   cc -std=c99 thumbnail.c $(pkg-config --cflags --libs vudadive2r) -o thumbnail
 *
 * The library reports errors as C++ exceptions, which a C program cannot
 * catch: they end it. So everything that can be refused is checked here
 * first: the arguments, the output path, and the input file's PNG
 * structure (every chunk whole, its checksum right) and layout. */
#define _POSIX_C_SOURCE 200809L
#include <errno.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "vudadive2r.h"

#define MAX_SIZE 4096
/* Larger images are refused rather than loaded into gigabytes of memory. */
#define MAX_PIXELS (64L * 1024 * 1024)

static const char* program = "thumbnail";

static int fail(const char* format, const char* what)
{
    fprintf(stderr, "%s: ", program);
    fprintf(stderr, format, what);
    fputc('\n', stderr);
    return 1;
}

static uint32_t big_endian(const unsigned char* bytes)
{
    return (uint32_t)bytes[0] << 24 | (uint32_t)bytes[1] << 16 | (uint32_t)bytes[2] << 8 | bytes[3];
}

static uint32_t crc32_update(uint32_t crc, const unsigned char* bytes, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc;
}

/* Walks the file's chunks up to IEND. Returns NULL when the file is a whole
 * PNG file the library loads (8-bit RGB or RGBA, at most MAX_PIXELS), else
 * what is wrong with it; its size in *width and *height. */
static const char* check_png(FILE* file, uint32_t* width, uint32_t* height)
{
    static const unsigned char signature[8] = {137, 'P', 'N', 'G', '\r', '\n', 26, '\n'};
    unsigned char header[8], buffer[4096];
    if (fread(header, 1, 8, file) != 8 || memcmp(header, signature, 8) != 0)
        return "not a PNG file";
    for (int index = 0;; ++index) {
        if (fread(header, 1, 8, file) != 8)
            return "damaged PNG file (cut short)";
        uint32_t length = big_endian(header);
        if (length > 0x7FFFFFFFu)
            return "damaged PNG file (bad chunk length)";
        uint32_t crc = crc32_update(0xFFFFFFFFu, header + 4, 4);
        int is_header = memcmp(header + 4, "IHDR", 4) == 0;
        if ((index == 0) != is_header || (is_header && length != 13))
            return "damaged PNG file (bad header)";
        for (uint32_t left = length; left > 0;) {
            size_t part = left < sizeof buffer ? left : sizeof buffer;
            if (fread(buffer, 1, part, file) != part)
                return "damaged PNG file (cut short)";
            if (is_header) {
                *width = big_endian(buffer);
                *height = big_endian(buffer + 4);
                int depth = buffer[8], colour = buffer[9];
                if (depth != 8 || (colour != 2 && colour != 6))
                    return "unsupported PNG layout (only 8-bit RGB and RGBA are read; "
                           "palette, grey and 16-bit files are not)";
                if (*width == 0 || *height == 0 || (double)*width * *height > MAX_PIXELS)
                    return "unsupported PNG size";
            }
            crc = crc32_update(crc, buffer, part);
            left -= (uint32_t)part;
        }
        if (fread(buffer, 1, 4, file) != 4)
            return "damaged PNG file (cut short)";
        if (big_endian(buffer) != (crc ^ 0xFFFFFFFFu))
            return "damaged PNG file (checksum mismatch)";
        if (memcmp(header + 4, "IEND", 4) == 0)
            return NULL;
    }
}

/* Whether the thumbnail may be written at `path`: a writable file that is
 * not a directory, or none yet in a writable directory. */
static int writable(const char* path)
{
    struct stat info;
    if (stat(path, &info) == 0)
        return !S_ISDIR(info.st_mode) && access(path, W_OK) == 0;
    const char* slash = strrchr(path, '/');
    if (!slash)
        return access(".", W_OK | X_OK) == 0;
    size_t length = slash == path ? 1 : (size_t)(slash - path);
    char* directory = malloc(length + 1);
    if (!directory)
        return 0;
    memcpy(directory, path, length);
    directory[length] = '\0';
    int ok = access(directory, W_OK | X_OK) == 0;
    free(directory);
    return ok;
}

int main(int argc, char** argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: %s INPUT.png OUTPUT.png SIZE\n", program);
        return 1;
    }
    const char *input = argv[1], *output = argv[2];
    char* end;
    errno = 0;
    long size = strtol(argv[3], &end, 10);
    if (errno != 0 || end == argv[3] || *end != '\0' || size < 1 || size > MAX_SIZE)
        return fail("bad SIZE '%s' (a whole number from 1 to 4096)", argv[3]);

    FILE* file = fopen(input, "rb");
    if (!file)
        return fail("cannot open '%s'", input);
    uint32_t width = 0, height = 0;
    const char* problem = check_png(file, &width, &height);
    fclose(file);
    if (problem) {
        fprintf(stderr, "%s: %s: %s\n", program, input, problem);
        return 1;
    }
    if (!writable(output))
        return fail("cannot write '%s' (a directory, or in a directory that is missing or read-only)", output);

    /* The thumbnail keeps the image's proportions, SIZE on its longer side. */
    double scale = (double)size / (width > height ? width : height);
    int thumb_width = (int)(width * scale + 0.5), thumb_height = (int)(height * scale + 0.5);
    if (thumb_width < 1)
        thumb_width = 1;
    if (thumb_height < 1)
        thumb_height = 1;

    orv_surface* surface = orv_surface_create(thumb_width, thumb_height, ZADOZI_FORMAT_AB24);
    if (!surface)
        return fail("out of memory for a %s thumbnail", argv[3]);
    orv_context2D context = orv_context2D_create(surface);
    orv_render_state_origin_set(orv_context2D_render_state_get(context), ORV_ORIGIN_TOP_LEFT);
    orv_context2D_clear_color_set(context, 0, 0, 0, 0);
    orv_context2D_clear(context);

    /* The image transform places the image in path space. A loaded image's
     * row 0 is the file's bottom row, so it is flipped onto the top-left
     * origin, then scaled. */
    orv_transform* placement = orv_transforms_image(orv_context2D_transforms_get(context));
    orv_transform_scale(placement, (float)scale, (float)-scale);
    orv_transform_translate(placement, 0, (float)(height * scale));

    orv_png_image image = orv_png_image_create_from_file(context, input);
    orv_image_paint paint = orv_image_paint_create(context, image);
    orv_png_image_destroy(image); /* the paint holds the image */
    orv_image_paint_tiling_mode_set(paint, ORV_TILING_MODE_REFLECT); /* the edges sample themselves */
    orv_fill_state fill = orv_fill_state_create();
    orv_fill_state_paint_set(fill, paint);
    orv_path_builder builder = orv_path_builder_create();
    orv_path_builder_rectangle(builder, 0, 0, (float)thumb_width, (float)thumb_height);
    orv_path box = orv_path_builder_to_path(builder, context);
    orv_path_draw(box, fill, NULL);
    orv_context2D_finish(context);

    /* The surface holds premultiplied colour, the file straight alpha. */
    orv_mapping* mapping = orv_surface_create_mapping(surface, ZADOZI_MAPPING_READ_WRITE);
    unsigned char* pixels = orv_mapping_sync_start(mapping);
    for (int row = 0; row < thumb_height; ++row) {
        unsigned char* pixel = pixels + (size_t)row * orv_mapping_stride_get(mapping);
        for (int column = 0; column < thumb_width; ++column, pixel += 4)
            for (int c = 0; c < 3 && pixel[3] != 0 && pixel[3] != 255; ++c) {
                unsigned value = (pixel[c] * 255u + pixel[3] / 2u) / pixel[3];
                pixel[c] = (unsigned char)(value > 255 ? 255 : value);
            }
    }
    orv_image result = orv_image_create(context, ZADOZI_FORMAT_RA24, thumb_width, thumb_height,
                                        orv_mapping_stride_get(mapping), pixels);
    orv_png_image_save(result, output);
    orv_image_destroy(result);
    orv_mapping_sync_end(mapping);
    orv_mapping_destroy(mapping);

    orv_path_destroy(box);
    orv_path_builder_destroy(builder);
    orv_fill_state_destroy(fill);
    orv_image_paint_destroy(paint);
    orv_context2D_destroy(context);
    orv_surface_destroy(surface);
    printf("%s: wrote %s (%d x %d)\n", program, output, thumb_width, thumb_height);
    return 0;
}
