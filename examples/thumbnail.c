/* A command-line thumbnailer: loads a PNG or JPEG file (told apart by their
 * first bytes; a JPEG photo is turned upright by its Exif orientation), draws
 * it scaled to fit a SIZE x SIZE box with the image paint at the high image
 * quality, which averages the pixels each thumbnail pixel covers, and saves
 * the result as PNG, SIZE pixels on its longer side. On any error it prints
 * one line on standard error, exits with status 1 and writes nothing.
 *
 *   thumbnail INPUT OUTPUT.png SIZE
 *
 * Build it with
 *   cc -std=c99 thumbnail.c $(pkg-config --cflags --libs vudadive2r) -o thumbnail
 *
 * The library runs in its record error mode: no call ends the program, each
 * error is kept for this thread with a message, and the program checks once
 * after each step that can fail. A damaged file of any kind, an unsupported
 * layout or an output that cannot be written is reported in the library's
 * own words; a failed save leaves no file behind. */
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "vudadive2r.h"

#define MAX_SIZE 4096

static const char* program = "thumbnail";

/* Whether the file starts as a JPEG file does (start of image, then a
 * marker). Anything else goes to the PNG loader, which says what is wrong. */
static int is_jpeg(const char* path)
{
    unsigned char start[3] = {0, 0, 0};
    FILE* file = fopen(path, "rb");
    if (!file)
        return 0;
    size_t got = fread(start, 1, sizeof start, file);
    fclose(file);
    return got == sizeof start && memcmp(start, "\xFF\xD8\xFF", sizeof start) == 0;
}

/* Reports the library's last error about `what` and gives the exit status. */
static int failed(const char* what)
{
    fprintf(stderr, "%s: %s: %s\n", program, what, orv_error_message());
    return 1;
}

int main(int argc, char** argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: %s INPUT OUTPUT.png SIZE (INPUT a PNG or JPEG file)\n", program);
        return 1;
    }
    const char *input = argv[1], *output = argv[2];
    char* end;
    errno = 0;
    long size = strtol(argv[3], &end, 10);
    if (errno != 0 || end == argv[3] || *end != '\0' || size < 1 || size > MAX_SIZE) {
        fprintf(stderr, "%s: bad SIZE '%s' (a whole number from 1 to 4096)\n", program, argv[3]);
        return 1;
    }

    orv_error_mode_set(ORV_ERROR_MODE_RECORD);
    orv_messages_set(ORV_MESSAGES_NONE); /* the messages are read from orv_error_message */

    /* Loaded without a context: the image is drawn by the paint of the
     * thumbnail's context, made once its size is known. */
    const int jpeg = is_jpeg(input);
    orv_image image = jpeg ? orv_jpeg_image_create_from_file(NULL, input) : orv_png_image_create_from_file(NULL, input);
    if (!image)
        return failed(input);
    int width = orv_image_width_get(image), height = orv_image_height_get(image);

    /* The thumbnail keeps the image's proportions, SIZE on its longer side. */
    double scale = (double)size / (width > height ? width : height);
    int thumb_width = (int)(width * scale + 0.5), thumb_height = (int)(height * scale + 0.5);
    if (thumb_width < 1)
        thumb_width = 1;
    if (thumb_height < 1)
        thumb_height = 1;

    int status = 0;
    orv_surface* surface = orv_surface_create(thumb_width, thumb_height, ZADOZI_FORMAT_AB24);
    orv_context2D context = orv_context2D_create(surface);
    orv_render_state* state = orv_context2D_render_state_get(context);
    orv_render_state_origin_set(state, ORV_ORIGIN_TOP_LEFT);
    /* Shrunk, every pixel of the image counts: fine lines and small text
     * stay even where bilinear sampling would skip them. */
    orv_render_state_image_quality_set(state, ORV_IMAGE_QUALITY_HIGH);
    orv_context2D_clear_color_set(context, 0, 0, 0, 0);
    orv_context2D_clear(context);

    /* The image transform places the image in path space. A loaded image's
     * row 0 is the file's bottom row, so it is flipped onto the top-left
     * origin, then scaled. */
    orv_transform* placement = orv_transforms_image(orv_context2D_transforms_get(context));
    orv_transform_scale(placement, (float)scale, (float)-scale);
    orv_transform_translate(placement, 0, (float)(height * scale));

    orv_image_paint paint = orv_image_paint_create(context, image);
    orv_image_paint_tiling_mode_set(paint, ORV_TILING_MODE_REFLECT); /* the edges sample themselves */
    orv_fill_state fill = orv_fill_state_create();
    orv_fill_state_paint_set(fill, paint);
    orv_path_builder builder = orv_path_builder_create();
    orv_path_builder_rectangle(builder, 0, 0, (float)thumb_width, (float)thumb_height);
    orv_path box = orv_path_builder_to_path(builder, context);
    orv_path_draw(box, fill, NULL);
    /* One check for everything since the load: a layout the paint cannot
     * draw, or memory that ran out. */
    if (orv_error_last() != ORV_ERROR_NONE) {
        status = failed(input);
    } else {
        /* Straight alpha, the surface's first row at the top. */
        orv_context2D_save_png(context, output);
        if (orv_error_last() != ORV_ERROR_NONE)
            status = failed(output);
    }

    orv_path_destroy(box);
    orv_path_builder_destroy(builder);
    orv_fill_state_destroy(fill);
    orv_image_paint_destroy(paint);
    if (jpeg)
        orv_jpeg_image_destroy(image);
    else
        orv_png_image_destroy(image);
    orv_context2D_destroy(context);
    orv_surface_destroy(surface);
    if (status == 0)
        printf("%s: wrote %s (%d x %d)\n", program, output, thumb_width, thumb_height);
    return status;
}
