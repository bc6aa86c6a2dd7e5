// What a context keeps of its drawing beside the current state: the clip,
// the states saved by Save and by PushLayer, and the open layers.
#ifndef VUDADIVE2R_CONTEXT_DRAWINGSTACK_HPP
#define VUDADIVE2R_CONTEXT_DRAWINGSTACK_HPP

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "composite/ClipMask.hpp"
#include "vudadive2r/Context2D.hpp"

namespace ORV {
namespace Vudadive2R {

// A layer: premultiplied R, G, B, A bytes the size of the surface, rows in
// the surface's own order, transparent when pushed. Drawing writes into the
// innermost open layer; its pop composites it onto what lies below.
struct Layer {
    Layer(int width, int height, uint8_t opacity, unsigned operation)
        : width(width), height(height), pixels(std::size_t(width) * std::size_t(height) * 4u, 0),
          opacity(opacity), operation(operation) {}

    int width, height;
    std::vector<uint8_t> pixels;
    uint8_t opacity;     // the cover the whole layer is composited at
    unsigned operation;  // agg::comp_op_e of its blend mode
};

// The drawing state as Save keeps it.
struct SavedState {
    explicit SavedState(const Context2D& context);
    void RestoreInto(Context2D& context) const;

    Transform path, image, fillPaint, strokePaint, glyph;
    RenderState renderState;
    std::shared_ptr<const ClipMask> clip;
    std::unique_ptr<Layer> layer;  // the layer a push opened with this state
};

struct DrawingStack {
    // Saves and open layers are bounded: each save keeps a state, each
    // layer the surface's bytes.
    static constexpr std::size_t MostSaved = 4096;
    static constexpr int MostLayers = 32;

    // The innermost open layer, or null.
    Layer* InnermostLayer() const {
        for (auto state = saved.rbegin(); state != saved.rend(); ++state)
            if ((*state)->layer)
                return (*state)->layer.get();
        return nullptr;
    }

    std::shared_ptr<const ClipMask> clip;  // none: every pixel drawable
    std::vector<std::unique_ptr<SavedState>> saved;
    int layers = 0;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
