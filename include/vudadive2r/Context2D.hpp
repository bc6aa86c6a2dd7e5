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
struct DrawingStack;

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
    /// The number of threads the context draws with, 1 at first.
    int Threads() const;
    /// Sets the number of threads, 1 to 64, that large fills and strokes are drawn with, each compositing
    /// whole rows of its own; the bytes are those of one thread. The threads are made when first needed,
    /// run only inside this context's drawing calls and are joined by its destructor; the context is still
    /// used from one thread at a time. Throws ArgumentOutOfRangeException outside 1 to 64.
    void SetThreads(int count);
    /// Resets the clear colour, the five transforms, the render state and the clip (saved states and open
    /// layers stay).
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
    /// Ends CPU access so that the surface's owner sees what was drawn. Layers still open are not on the
    /// surface yet.
    void Finish();

    /// Saves the drawing state: the five transforms, the render state and the clip. Throws
    /// InvalidOperationException beyond 4 096 saved states.
    void Save();
    /// Restores the state of the last Save. Throws InvalidOperationException without one, or when the
    /// last saved state belongs to a layer (PopLayer ends it).
    void Restore();
    /// Removes the clip: every pixel is drawable again (scissor rectangles still apply).
    void ClipReset();
    /// Saves the drawing state and opens a layer: drawing, clears and text write into a transparent
    /// premultiplied copy of the surface's size until PopLayer. Throws InvalidOperationException unless the
    /// surface is "AB24" or beyond 32 open layers, NotSupportedException for a blend mode outside its list.
    void PushLayer(float opacity, BlendMode blendMode);
    /// Restores the state saved by the last PushLayer and composites its layer onto what lies below: every
    /// pixel with the layer's blend mode at the opacity (clamped to 0 to 1, as a byte), through the clip and
    /// scissor rectangles restored. Throws InvalidOperationException when the last saved state is not a layer's.
    void PopLayer();

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
    std::unique_ptr<DrawingStack> drawingStack;  // the clip, saved states and layers
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
