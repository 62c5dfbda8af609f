#include "engine/thread_limit.hpp"

#include <atomic>

namespace orvik::engine {
namespace {

std::atomic<std::size_t> process_limit{no_thread_limit};
// Python threads are operating-system threads, so a context manager on one
// Python thread (a Dask worker thread, say) limits that thread's calls only.
thread_local ThreadLimit this_thread{false, no_thread_limit};

}  // namespace

std::size_t thread_limit() noexcept {
    return this_thread.has_limit ? this_thread.limit : process_limit.load(std::memory_order_relaxed);
}

std::size_t process_thread_limit() noexcept { return process_limit.load(std::memory_order_relaxed); }

std::size_t set_process_thread_limit(std::size_t limit) noexcept {
    return process_limit.exchange(limit, std::memory_order_relaxed);
}

ThreadLimit set_this_thread_limit(ThreadLimit limit) noexcept {
    const ThreadLimit previous = this_thread;
    this_thread = limit;
    return previous;
}

}  // namespace orvik::engine
