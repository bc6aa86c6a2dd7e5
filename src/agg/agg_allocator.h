// AGG's allocators, as AGG's own but safe when memory runs out.
//
// AGG's arrays grow by freeing the old block and then allocating the new
// one (pod_vector::capacity, pod_array::resize). When that allocation
// throws, the array keeps the freed pointer and its destructor frees it a
// second time. Here a released block is freed only at the next allocation
// or release on the same thread; when that allocation fails, the block is
// kept until the array that may still point at it releases it again. AGG's headers include this file in place of their own
// allocators when AGG_CUSTOM_ALLOCATOR is defined, as the library's build
// does for every file that includes them.
#ifndef VUDADIVE2R_AGG_ALLOCATOR_H
#define VUDADIVE2R_AGG_ALLOCATOR_H

namespace agg {

// The block released last on this thread, not yet given back, and the
// blocks set aside after failed allocations.
class released_block {
public:
    template <class T>
    static void keep(T* block) {
        slot& last = current();
        last.claim(block);
        last.give_back();
        last.block = block;
        last.release = &release<T>;
    }
    static void give_back() { current().give_back(); }
    // An allocation of T items failed. A block of the same type released
    // just before may belong to an array that is growing and still points at
    // it: it is set aside, to be released when that array releases it, or
    // with the thread when nothing ever does. Nothing is freed twice.
    template <class T>
    static void allocation_failed() {
        slot& last = current();
        if (last.block && last.release == &release<T>)
            last.set_aside();
    }

private:
    template <class T>
    static void release(void* pointer) {
        delete[] static_cast<T*>(pointer);
    }
    struct slot {
        static constexpr int kAsideCount = 8;
        void* block = nullptr;
        void (*release)(void*) = nullptr;
        void* aside[kAsideCount] = {};
        void (*asideRelease[kAsideCount])(void*) = {};

        void give_back() {
            if (block)
                release(block);
            block = nullptr;
        }
        void set_aside() {
            for (int i = 0; i < kAsideCount; ++i)
                if (!aside[i]) {
                    aside[i] = block;
                    asideRelease[i] = release;
                    break;
                }
            // With every place taken the block is lost rather than risked.
            block = nullptr;
        }
        // A block set aside is released by its array now.
        void claim(void* released) {
            for (int i = 0; i < kAsideCount; ++i)
                if (released && aside[i] == released)
                    aside[i] = nullptr;
        }
        ~slot() {
            give_back();
            for (int i = 0; i < kAsideCount; ++i)
                if (aside[i])
                    asideRelease[i](aside[i]);
        }
    };
    static slot& current() {
        static thread_local slot last;
        return last;
    }
};

template <class T>
struct pod_allocator {
    static T* allocate(unsigned num) {
        T* block;
        try {
            block = new T[num];
        } catch (...) {
            released_block::allocation_failed<T>();
            throw;
        }
        released_block::give_back();
        return block;
    }
    static void deallocate(T* ptr, unsigned) { released_block::keep(ptr); }
};

template <class T>
struct obj_allocator {
    static T* allocate() { return new T; }
    static void deallocate(T* ptr) { delete ptr; }
};

}  // namespace agg

#endif
