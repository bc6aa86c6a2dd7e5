/** @file
 * Core surface library: memory-backed pixel surfaces and their CPU mappings.
 * Nothing here knows about drawing; graphics libraries only query surfaces
 * and map their memory. */
#ifndef ZADOZI_H
#define ZADOZI_H

#include <stdint.h>

#if defined(__GNUC__)
#define ZADOZI_API __attribute__((visibility("default")))
#else
#define ZADOZI_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct orv_surface orv_surface;
typedef struct orv_mapping orv_mapping;

/** Four-character format codes, first character in the lowest byte. */
#define ZADOZI_FOURCC(a, b, c, d) \
    ((uint32_t)(uint8_t)(a) | ((uint32_t)(uint8_t)(b) << 8) | \
     ((uint32_t)(uint8_t)(c) << 16) | ((uint32_t)(uint8_t)(d) << 24))
#define ZADOZI_FORMAT_AB24 ZADOZI_FOURCC('A', 'B', '2', '4')
#define ZADOZI_FORMAT_RA24 ZADOZI_FOURCC('R', 'A', '2', '4')
#define ZADOZI_FORMAT_RX24 ZADOZI_FOURCC('R', 'X', '2', '4')
/* Window and display buffers: bytes B, G, R, A; B, G, R, X; R, G, B, X. */
#define ZADOZI_FORMAT_AR24 ZADOZI_FOURCC('A', 'R', '2', '4')
#define ZADOZI_FORMAT_XR24 ZADOZI_FOURCC('X', 'R', '2', '4')
#define ZADOZI_FORMAT_XB24 ZADOZI_FOURCC('X', 'B', '2', '4')
#define ZADOZI_FORMAT_RG16 ZADOZI_FOURCC('R', 'G', '1', '6')
#define ZADOZI_FORMAT_R16 ZADOZI_FOURCC('R', '1', '6', ' ')
#define ZADOZI_FORMAT_R8 ZADOZI_FOURCC('R', '8', ' ', ' ')

/* Access flags of orv_surface_create_mapping. Other values are reserved. */
#define ZADOZI_MAPPING_READ_WRITE 2 /**< the memory may be read and written */

/* Surface management. */

/** A surface owning zero-filled memory with stride = width x bytes per pixel.
 * NULL for an unknown format, a non-positive size or a byte count that
 * does not fit. */
ZADOZI_API orv_surface* orv_surface_create(int width, int height, uint32_t format);

/** A surface over client memory, which is not owned. `data` is the lowest
 * address of the block; a negative stride means row 0 is the last row in
 * memory. NULL for an unknown format or a non-positive size. A NULL `data`
 * is accepted: mapping such a surface yields NULL. */
ZADOZI_API orv_surface* orv_surface_create_for_data(int width, int height, uint32_t format,
                                                    int stride, void* data);

/** Releases the surface (and its memory if owned). NULL is ignored. Mappings
 * must have been destroyed first. */
ZADOZI_API void orv_surface_destroy(orv_surface* surface);

/** Diagnostics: how many times orv_mapping_sync_start was called on mappings of the surface. */
ZADOZI_API int orv_surface_sync_start_count_get(orv_surface* surface);
/** Diagnostics: how many times orv_mapping_sync_end was called on mappings of the surface. */
ZADOZI_API int orv_surface_sync_end_count_get(orv_surface* surface);

/* The surface contract used by graphics libraries. */
/** The surface's format code (ZADOZI_FORMAT_*). */
ZADOZI_API uint32_t orv_surface_format_get(orv_surface* surface);
/** Width in pixels. */
ZADOZI_API int orv_surface_width_get(orv_surface* surface);
/** Height in pixels. */
ZADOZI_API int orv_surface_height_get(orv_surface* surface);
/** A new CPU mapping of the surface with access `flags` (ZADOZI_MAPPING_READ_WRITE); the caller
 * destroys it before the surface. NULL when memory runs out. */
ZADOZI_API orv_mapping* orv_surface_create_mapping(orv_surface* surface, int flags);
/** Bytes from one pixel row to the next; negative when row 0 is the last row in memory. */
ZADOZI_API int orv_mapping_stride_get(orv_mapping* mapping);
/** Starts CPU access and returns the lowest address of the pixel memory, valid until
 * orv_mapping_sync_end. */
ZADOZI_API void* orv_mapping_sync_start(orv_mapping* mapping);
/** Ends CPU access: what was written becomes visible to the surface's other users. */
ZADOZI_API void orv_mapping_sync_end(orv_mapping* mapping);
/** Releases the mapping. */
ZADOZI_API void orv_mapping_destroy(orv_mapping* mapping);

#ifdef __cplusplus
}
#endif

#endif
