// The threads a context draws a large pass with. They are made on the
// first pass that needs them, run only inside Run, and are joined when the
// crew is destroyed with the context.
#ifndef VUDADIVE2R_PIPELINE_DRAWCREW_HPP
#define VUDADIVE2R_PIPELINE_DRAWCREW_HPP

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace ORV {
namespace Vudadive2R {

class DrawCrew {
public:
    DrawCrew() = default;
    ~DrawCrew();
    DrawCrew(const DrawCrew&) = delete;
    DrawCrew& operator=(const DrawCrew&) = delete;

    // Runs task(0) to task(tasks - 1), task 0 on the calling thread and each
    // other on a thread of its own, and returns when all have; the first
    // exception thrown is rethrown here.
    void Run(int tasks, const std::function<void(int)>& task);

private:
    void Work(int index);
    // Waits up to SpinTime for `ready()` without sleeping: the passes of a
    // large draw run several rounds in a row, and a thread woken from sleep
    // takes tens of microseconds to start.
    template <class Ready>
    static bool SpinUntil(Ready ready);

    std::mutex lock;
    std::condition_variable wake, done;
    std::vector<std::thread> threads;
    const std::function<void(int)>* current = nullptr;
    unsigned long long round = 0;
    int tasks = 0, pending = 0;
    // `round` and `pending`, as the spinning threads read them.
    std::atomic<unsigned long long> publishedRound{0};
    std::atomic<int> unfinished{0};
    bool stopping = false;
    std::exception_ptr failure;
};

}  // namespace Vudadive2R
}  // namespace ORV

#endif
