#include "runtime/process_pool.hpp"

#include <pthread.h>

#include <atomic>
#include <cstdlib>
#include <mutex>

#include "runtime/failure.hpp"
#include "runtime/thread_count.hpp"

namespace orvik::runtime {
namespace {

std::mutex creation_mutex;
std::atomic<WorkerPool*> the_pool{nullptr};
bool creation_failed = false;  // guarded by creation_mutex

// A child made by fork inherits the pool's bookkeeping but none of its
// threads, so a job handed to it would never run.  The child gets a pool of
// its own on first use instead.  The old pool is abandoned, never destroyed
// or unlocked: its locks may be held by threads that no longer exist.  The
// creation lock is taken around fork so the child never inherits it held.
void before_fork() noexcept { creation_mutex.lock(); }
void after_fork_in_parent() noexcept { creation_mutex.unlock(); }
void after_fork_in_child() noexcept {
    if (the_pool.load(std::memory_order_relaxed) != nullptr) {
        the_pool.store(nullptr, std::memory_order_relaxed);
        creation_failed = false;
    }
    creation_mutex.unlock();
}

// Registered when the module is loaded, never while creation_mutex is held
// (fork runs the handlers under the same lock that registration takes).
[[maybe_unused]] const int fork_handlers_registered =
    pthread_atfork(before_fork, after_fork_in_parent, after_fork_in_child);

[[gnu::noinline]] WorkerPool& create_pool(const PoolSettings& settings) {
    std::unique_lock lock(creation_mutex);
    if (WorkerPool* pool = the_pool.load(std::memory_order_relaxed)) return *pool;
    if (creation_failed && !settings.retry_after_failure) throw PoolUnavailable{0};
    const std::size_t size = pool_size_from_environment(std::getenv(settings.size_variable),
                                                        std::getenv(settings.fallback_size_variable));
    WorkerPool::Started started = WorkerPool::start(size, settings.starter);
    if (!started.pool) {
        creation_failed = true;
        throw PoolUnavailable{started.error};
    }
    started.pool->detach_workers();
    // Lives until the process exits.
    WorkerPool* pool = started.pool.release();
    the_pool.store(pool, std::memory_order_release);
    return *pool;
}

}  // namespace

WorkerPool& process_pool(const PoolSettings& settings) {
    if (WorkerPool* pool = the_pool.load(std::memory_order_acquire)) return *pool;
    return create_pool(settings);
}

}  // namespace orvik::runtime
