#include "engine/test_hooks.hpp"

#include <atomic>
#include <cerrno>

#include "runtime/worker_pool.hpp"

namespace orvik::engine {
namespace {

std::atomic<int> failing_starts{0};

}  // namespace

int start_thread_or_fail(pthread_t* thread, void* (*routine)(void*), void* arg) {
    int left = failing_starts.load();
    while (left > 0) {
        if (failing_starts.compare_exchange_weak(left, left - 1)) return EAGAIN;
    }
    return runtime::start_worker_thread(thread, routine, arg);
}

void fail_thread_starts(int starts) noexcept { failing_starts.store(starts); }

}  // namespace orvik::engine
