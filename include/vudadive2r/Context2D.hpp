/// @file
/// The drawing context bound to one surface, and the CPU mapping of its memory.
#ifndef VUDADIVE2R_CONTEXT2D_HPP
#define VUDADIVE2R_CONTEXT2D_HPP

#include <memory>

#include "RenderState.hpp"
#include "Transforms.hpp"
#include "Types.hpp"
#include "zadozi.h"

namespace ORV {
namespace Vudadive2R {

/// Owns the surface mapping. CPU access starts lazily at the first Data() and
/// ends at Flush().
class ORV_API SurfaceMemory {
public:
    /// Creates the read-write mapping of `surface` (borrowed, must outlive this); access does not start yet.
    explicit SurfaceMemory(orv_surface* surface);
    /// Destroys the mapping.
    virtual ~SurfaceMemory();
    SurfaceMemory(const SurfaceMemory&) = delete;
    SurfaceMemory& operator=(const SurfaceMemory&) = delete;

    /// The lowest address of the pixels, starting CPU access on first use; NULL if the surface has no memory.
    unsigned char* Data();
    /// Bytes from one row to the next, as the mapping reports them.
    int Stride();
    /// Ends CPU access, if started, so that the surface's owner sees the pixels.
    void Flush();

private:
    orv_surface* surface;
    orv_mapping* mapping;
    unsigned char* data;
};

class DrawScratch;

/// The drawing context: binds transforms, render state and the surface memory of one surface.
class ORV_API Context2D {
public:
    /// Binds to `surface` (borrowed, must outlive the context) and maps it. Throws ArgumentNullException for
    /// a null surface.
    explicit Context2D(orv_surface* surface);
    /// Releases the transforms, the render state and its share of the surface memory.
    virtual ~Context2D();
    Context2D(const Context2D&) = delete;
    Context2D& operator=(const Context2D&) = delete;

    /// The colour written by Clear and ClearRectangle; straight alpha, (0, 0, 0, 0) at first.
    Color ClearColor() const;
    /// Sets the clear colour (components nominally 0 to 1, unchecked).
    void ClearColor(const Color& color);
    /// The pen position for text, in surface pixels.
    Float32x2 GlyphOrigin() const;
    /// Sets the pen position for text.
    void SetGlyphOrigin(const Float32x2& origin);
    /// Resets the clear colour, the five transforms and the render state.
    void SetDefaultState();
    /// Fills the whole surface with the clear colour. Throws InvalidOperationException unless the format is
    /// AB24, RA24 or RG16.
    void Clear();
    /// Fills a rectangle in the surface's own rows (no origin, transform, blending or scissoring), clipped to
    /// the surface. Throws as Clear.
    void ClearRectangle(int x, int y, int width, int height);
    /// As ClearRectangle(x, y, width, height).
    void ClearRectangle(const IntRectangle& rectangle);
    void CopyRectangle(int, int, int, int, int, int);  ///< always NotImplementedException
    /// Ends CPU access so that the surface's owner sees what was drawn.
    void Finish();

    /// Shared with the library's drawing classes; not owned by the client.
    orv_surface* surface;
    Transforms* transforms;                        ///< the five named transforms, owned
    RenderState* renderState;                      ///< owned
    std::shared_ptr<SurfaceMemory> surfaceMemory;  ///< the CPU mapping of the surface

private:
    friend struct Internals;
    Color clearColor;
    Float32x2 glyphOrigin;
    std::unique_ptr<DrawScratch> drawScratch;  // what the drawing keeps between draws
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
