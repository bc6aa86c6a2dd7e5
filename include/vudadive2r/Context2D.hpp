// The drawing context bound to one surface, and the CPU mapping of its memory.
#ifndef VUDADIVE2R_CONTEXT2D_HPP
#define VUDADIVE2R_CONTEXT2D_HPP

#include <memory>

#include "RenderState.hpp"
#include "Transforms.hpp"
#include "Types.hpp"
#include "zadozi.h"

namespace ORV {
namespace Vudadive2R {

// Owns the surface mapping. CPU access starts lazily at the first Data() and
// ends at Flush().
class ORV_API SurfaceMemory {
public:
    explicit SurfaceMemory(orv_surface* surface);
    virtual ~SurfaceMemory();
    SurfaceMemory(const SurfaceMemory&) = delete;
    SurfaceMemory& operator=(const SurfaceMemory&) = delete;

    unsigned char* Data();
    int Stride();
    void Flush();

private:
    orv_surface* surface;
    orv_mapping* mapping;
    unsigned char* data;
};

class ORV_API Context2D {
public:
    explicit Context2D(orv_surface* surface);
    virtual ~Context2D();
    Context2D(const Context2D&) = delete;
    Context2D& operator=(const Context2D&) = delete;

    Color ClearColor() const;
    void ClearColor(const Color& color);
    Float32x2 GlyphOrigin() const;
    void SetGlyphOrigin(const Float32x2& origin);
    void SetDefaultState();
    void Clear();
    void ClearRectangle(int x, int y, int width, int height);
    void ClearRectangle(const IntRectangle& rectangle);
    void CopyRectangle(int, int, int, int, int, int);  // always NotImplementedException
    void Finish();

    // Shared with the library's drawing classes; not owned by the client.
    orv_surface* surface;
    Transforms* transforms;
    RenderState* renderState;
    std::shared_ptr<SurfaceMemory> surfaceMemory;

private:
    Color clearColor;
    Float32x2 glyphOrigin;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
