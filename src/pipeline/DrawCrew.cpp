#include "pipeline/DrawCrew.hpp"

#include <chrono>

namespace ORV {
namespace Vudadive2R {

namespace {

constexpr std::chrono::microseconds SpinTime(50);

inline void Relax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__) || defined(__arm__)
    asm volatile("yield");
#endif
}

}  // namespace

template <class Ready>
bool DrawCrew::SpinUntil(Ready ready) {
    const auto until = std::chrono::steady_clock::now() + SpinTime;
    for (;;) {
        for (int i = 0; i < 64; ++i) {
            if (ready())
                return true;
            Relax();
        }
        if (std::chrono::steady_clock::now() >= until)
            return false;
    }
}

DrawCrew::~DrawCrew() {
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    wake.notify_all();
    for (std::thread& thread : threads)
        thread.join();
}

void DrawCrew::Run(int count, const std::function<void(int)>& task) {
    if (count <= 1)
        return task(0);
    // A thread that cannot be made leaves its tasks to the caller.
    int made = int(threads.size());
    try {
        for (; made < count - 1; ++made)
            threads.emplace_back([this, made] { Work(made + 1); });
    } catch (const std::system_error&) {
    }
    const int helpers = std::min(count - 1, int(threads.size()));
    {
        std::lock_guard<std::mutex> guard(lock);
        current = &task;
        tasks = helpers + 1;
        pending = helpers;
        unfinished.store(helpers, std::memory_order_relaxed);
        failure = nullptr;
        publishedRound.store(++round, std::memory_order_release);
    }
    wake.notify_all();
    std::exception_ptr own;
    try {
        task(0);
        for (int index = helpers + 1; index < count; ++index)
            task(index);
    } catch (...) {
        own = std::current_exception();
    }
    SpinUntil([this] { return unfinished.load(std::memory_order_acquire) == 0; });
    std::unique_lock<std::mutex> guard(lock);
    done.wait(guard, [this] { return pending == 0; });
    current = nullptr;
    if (own)
        std::rethrow_exception(own);
    if (failure)
        std::rethrow_exception(failure);
}

void DrawCrew::Work(int index) {
    unsigned long long seen = 0;
    std::unique_lock<std::mutex> guard(lock);
    for (;;) {
        if (!stopping && round == seen) {
            guard.unlock();
            SpinUntil([&] { return publishedRound.load(std::memory_order_acquire) != seen; });
            guard.lock();
        }
        wake.wait(guard, [&] { return stopping || round != seen; });
        if (stopping)
            return;
        seen = round;
        if (index >= tasks)
            continue;
        const std::function<void(int)>& task = *current;
        guard.unlock();
        std::exception_ptr thrown;
        try {
            task(index);
        } catch (...) {
            thrown = std::current_exception();
        }
        guard.lock();
        if (thrown && !failure)
            failure = thrown;
        unfinished.fetch_sub(1, std::memory_order_release);
        if (--pending == 0)
            done.notify_one();
    }
}

}  // namespace Vudadive2R
}  // namespace ORV
