#include "pipeline/DrawCrew.hpp"

namespace ORV {
namespace Vudadive2R {

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
        failure = nullptr;
        ++round;
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
        if (--pending == 0)
            done.notify_one();
    }
}

}  // namespace Vudadive2R
}  // namespace ORV
