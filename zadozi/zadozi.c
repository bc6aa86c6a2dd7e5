#include "zadozi.h"

#include <stdlib.h>

struct orv_surface {
    int width;
    int height;
    uint32_t format;
    int stride;
    void* data;
    int owns_data;
    int sync_start_count;
    int sync_end_count;
};

struct orv_mapping {
    orv_surface* surface;
    int flags;
};

static int bytes_per_pixel(uint32_t format)
{
    switch (format) {
    case ZADOZI_FORMAT_AB24:
    case ZADOZI_FORMAT_RA24:
    case ZADOZI_FORMAT_RX24:
    case ZADOZI_FORMAT_AR24:
    case ZADOZI_FORMAT_XR24:
    case ZADOZI_FORMAT_XB24:
        return 4;
    case ZADOZI_FORMAT_RG16:
    case ZADOZI_FORMAT_R16:
        return 2;
    case ZADOZI_FORMAT_R8:
        return 1;
    default:
        return 0;
    }
}

orv_surface* orv_surface_create(int width, int height, uint32_t format)
{
    int bpp = bytes_per_pixel(format);
    if (bpp == 0 || width <= 0 || height <= 0)
        return NULL;
    /* The stride must fit an int and the whole block a size_t. */
    if (width > INT32_MAX / bpp)
        return NULL;
    int stride = width * bpp;
    if ((size_t)height > SIZE_MAX / (size_t)stride)
        return NULL;
    orv_surface* surface = (orv_surface*)calloc(1, sizeof *surface);
    if (!surface)
        return NULL;
    surface->data = calloc((size_t)height, (size_t)stride);
    if (!surface->data) {
        free(surface);
        return NULL;
    }
    surface->width = width;
    surface->height = height;
    surface->format = format;
    surface->stride = stride;
    surface->owns_data = 1;
    return surface;
}

orv_surface* orv_surface_create_for_data(int width, int height, uint32_t format, int stride,
                                         void* data)
{
    if (bytes_per_pixel(format) == 0 || width <= 0 || height <= 0)
        return NULL;
    orv_surface* surface = (orv_surface*)calloc(1, sizeof *surface);
    if (!surface)
        return NULL;
    surface->width = width;
    surface->height = height;
    surface->format = format;
    surface->stride = stride;
    surface->data = data;
    return surface;
}

void orv_surface_destroy(orv_surface* surface)
{
    if (!surface)
        return;
    if (surface->owns_data)
        free(surface->data);
    free(surface);
}

int orv_surface_sync_start_count_get(orv_surface* surface) { return surface->sync_start_count; }
int orv_surface_sync_end_count_get(orv_surface* surface) { return surface->sync_end_count; }

uint32_t orv_surface_format_get(orv_surface* surface) { return surface->format; }
int orv_surface_width_get(orv_surface* surface) { return surface->width; }
int orv_surface_height_get(orv_surface* surface) { return surface->height; }

orv_mapping* orv_surface_create_mapping(orv_surface* surface, int flags)
{
    orv_mapping* mapping = (orv_mapping*)calloc(1, sizeof *mapping);
    if (!mapping)
        return NULL;
    mapping->surface = surface;
    mapping->flags = flags;
    return mapping;
}

int orv_mapping_stride_get(orv_mapping* mapping) { return mapping->surface->stride; }

void* orv_mapping_sync_start(orv_mapping* mapping)
{
    mapping->surface->sync_start_count++;
    return mapping->surface->data;
}

void orv_mapping_sync_end(orv_mapping* mapping) { mapping->surface->sync_end_count++; }

void orv_mapping_destroy(orv_mapping* mapping) { free(mapping); }
