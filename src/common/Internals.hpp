// Library-internal access to the fields that the class interface keeps
// private. Only the library's own code and its tests include this.
#ifndef VUDADIVE2R_INTERNALS_HPP
#define VUDADIVE2R_INTERNALS_HPP

#include <memory>

#include "vudadive2r.hpp"

namespace ORV {
namespace Vudadive2R {

class DrawScratch;
struct DrawingStack;

struct Internals {
    static const std::shared_ptr<Vudadive2R::Paint>& PaintOf(const FillState& state) { return state.paint; }
    static const std::shared_ptr<Vudadive2R::Paint>& PaintOf(const StrokeState& state) { return state.paint; }
    static PathStorage& StorageOf(Path& path) { return *path.storage; }
    static const std::shared_ptr<Context2D>& ContextOf(const Path& path) { return path.context; }
    static const std::shared_ptr<Context2D>& ContextOf(const Paint& paint) { return paint.context; }
    static const std::vector<PathCommands>& CommandsOf(const PathBuilder& builder) { return builder.commands; }
    static const std::vector<float>& DataOf(const PathBuilder& builder) { return builder.data; }
    // Replaceable, or empty to render every glyph anew.
    static std::unique_ptr<GlyphCache>& GlyphCacheOf(Font& font) { return font.glyphCache; }
    static std::shared_ptr<TextFaces>& TextFacesOf(Font& font) { return font.textFaces; }
    static const std::string& PatternOf(const Font& font) { return font.pattern; }
    static int SizeOf(const Font& font) { return font.size; }
    static const std::shared_ptr<Context2D>& ContextOf(const Font& font) { return font.context; }
    // Made by the first draw.
    static std::unique_ptr<DrawScratch>& DrawScratchOf(Context2D& context) { return context.drawScratch; }
    // Made by the first save, clip or layer; null before.
    static std::unique_ptr<DrawingStack>& DrawingStackOf(Context2D& context) { return context.drawingStack; }
    static const DrawingStack* DrawingStackOf(const Context2D& context) { return context.drawingStack.get(); }
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
