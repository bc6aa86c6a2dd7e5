// A growable array of trivially copyable items that keeps its first items
// inside the object, so that a small draw needs no heap memory at all.
#ifndef VUDADIVE2R_COMMON_SCRATCHARRAY_HPP
#define VUDADIVE2R_COMMON_SCRATCHARRAY_HPP

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace ORV {
namespace Vudadive2R {

template <class T, std::size_t InlineCount>
class ScratchArray {
    static_assert(std::is_trivially_copyable<T>::value, "items are moved by memcpy");

public:
    static constexpr std::size_t Inline = InlineCount;

    ScratchArray() = default;
    ScratchArray(const ScratchArray&) = delete;
    ScratchArray& operator=(const ScratchArray&) = delete;

    std::size_t size() const { return count; }
    bool empty() const { return count == 0; }
    T* data() { return items; }
    const T* data() const { return items; }
    T& operator[](std::size_t i) { return items[i]; }
    const T& operator[](std::size_t i) const { return items[i]; }
    T* begin() { return items; }
    T* end() { return items + count; }

    void clear() { count = 0; }
    // The first `n` items, after Reserve(n) and filling them.
    void SetSize(std::size_t n) { count = n; }

    // Empties the array, giving back heap storage of more than `bytes`.
    void Trim(std::size_t bytes) {
        count = 0;
        if (heap && capacity * sizeof(T) > bytes) {
            heap.reset();
            items = inlineItems;
            capacity = InlineCount;
        }
    }

    void push_back(const T& item) {
        if (count == capacity)
            Grow(capacity * 2);
        items[count++] = item;
    }

    // Removes item `i` by moving the last one into its place.
    void SwapRemove(std::size_t i) { items[i] = items[--count]; }

    // Exchanges the items of two arrays that both keep them on the heap.
    void SwapHeapItems(ScratchArray& other) {
        std::swap(heap, other.heap);
        std::swap(items, other.items);
        std::swap(count, other.count);
        std::swap(capacity, other.capacity);
    }

    // Makes room for `wanted` items, contents undefined; keeps what fits
    // inline inside the object.
    T* Reserve(std::size_t wanted) {
        if (wanted > capacity)
            Grow(wanted);
        return items;
    }

private:
    void Grow(std::size_t wanted) {
        if (wanted > std::size_t(-1) / (2 * sizeof(T)))
            throw std::bad_alloc();
        std::unique_ptr<T[]> larger(new T[wanted]);
        std::memcpy(static_cast<void*>(larger.get()), items, count * sizeof(T));
        heap = std::move(larger);
        items = heap.get();
        capacity = wanted;
    }

    T inlineItems[InlineCount];
    std::unique_ptr<T[]> heap;
    T* items = inlineItems;
    std::size_t count = 0;
    std::size_t capacity = InlineCount;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
