// One template makes, reads and frees every C handle. A handle is a heap
// std::shared_ptr to the family's root class (Context2D, Paint, Image, ...),
// so a derived family's handle is a valid base-family handle.
#ifndef VUDADIVE2R_CAPI_HANDLE_HPP
#define VUDADIVE2R_CAPI_HANDLE_HPP

#include <memory>
#include <utility>

#include "capi/ErrorGuard.hpp"
#include "vudadive2r.h"
#include "vudadive2r.hpp"

namespace ORV {
namespace Vudadive2R {

template <class Root, class HandleType>
struct Handle {
    using Pointer = std::shared_ptr<Root>;

    // Takes ownership of a freshly made object. If the heap shared pointer
    // cannot be allocated the object is released and bad_alloc passes on.
    static HandleType Make(Pointer object) {
        return reinterpret_cast<HandleType>(new Pointer(std::move(object)));
    }

    template <class Derived, class... Arguments>
    static HandleType Create(Arguments&&... arguments) {
        return Make(Pointer(std::make_shared<Derived>(std::forward<Arguments>(arguments)...)));
    }

    template <class Derived>
    static HandleType Adopt(std::unique_ptr<Derived> object) {
        return Make(Pointer(std::move(object)));
    }

    // A NULL handle is refused, never read.
    static Pointer& Read(HandleType handle) {
        if (!handle)
            throw ArgumentNullException();
        return *reinterpret_cast<Pointer*>(handle);
    }

    // A copy for the duration of a call; a NULL handle gives an empty pointer.
    static Pointer Share(HandleType handle) { return handle ? Read(handle) : Pointer(); }

    template <class Derived>
    static Derived& Object(HandleType handle) {
        return static_cast<Derived&>(*Read(handle));
    }

    static void Free(HandleType handle) { delete reinterpret_cast<Pointer*>(handle); }
};

// A view (transforms, a transform, a render state) as the object it points
// to; NULL is refused.
template <class Object, class View>
Object& ViewOf(View* view) {
    if (!view)
        throw ArgumentNullException();
    return *reinterpret_cast<Object*>(view);
}

// An array argument of `count` entries: NULL is refused unless it is empty.
inline void RequireArray(const void* array, int count) {
    if (!array && count > 0)
        throw ArgumentNullException();
}

// A pointer argument that must be given.
template <class Value>
Value& Required(Value* value) {
    if (!value)
        throw ArgumentNullException();
    return *value;
}

// Each family's handle, named once. Derived families share their root's.
using ContextHandle = Handle<Context2D, orv_context2D>;
using PathHandle = Handle<Path, orv_path>;
using BuilderHandle = Handle<PathBuilder, orv_path_builder>;
using FillHandle = Handle<FillState, orv_fill_state>;
using StrokeHandle = Handle<StrokeState, orv_stroke_state>;
using PaintHandle = Handle<Paint, orv_paint>;
using ImageHandle = Handle<Image, orv_image>;
using FontHandle = Handle<Font, orv_font>;
using TextRunHandle = Handle<TextRun, orv_text_run>;
using TextLayoutHandle = Handle<TextLayout, orv_text_layout>;

}  // namespace Vudadive2R
}  // namespace ORV

#endif
