#include "interop/global_pool.hpp"

#include <pthread.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "interop/panic.hpp"
#include "interop/thread_count.hpp"

namespace orvik::interop {
namespace {

constexpr const char not_initialized[] = "The global thread pool has not been initialized.: ";

std::mutex creation_mutex;
std::atomic<WorkerPool*> the_pool{nullptr};
bool creation_attempted = false;  // guarded by creation_mutex

// The error's kind, named as the error's debug form names it.
const char* error_kind(int os_error) {
    switch (os_error) {
        case EAGAIN: return "WouldBlock";
        case ENOMEM: return "OutOfMemory";
        case EPERM:
        case EACCES: return "PermissionDenied";
        case EINVAL: return "InvalidInput";
        case EINTR: return "Interrupted";
        case ENOSYS: return "Unsupported";
        default: return "Uncategorized";
    }
}

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
        creation_attempted = false;
    }
    creation_mutex.unlock();
}

// Registered when the module is loaded, never while creation_mutex is held
// (fork runs the handlers under the same lock that registration takes).
[[maybe_unused]] const int fork_handlers_registered =
    pthread_atfork(before_fork, after_fork_in_parent, after_fork_in_child);

[[gnu::noinline]] WorkerPool& create_global_pool() {
    std::unique_lock lock(creation_mutex);
    if (WorkerPool* pool = the_pool.load(std::memory_order_relaxed)) return *pool;
    if (creation_attempted) {
        lock.unlock();
        panic(pool_already_failed_message());
    }
    creation_attempted = true;
    WorkerPool::Started started = WorkerPool::start(pool_size_from_environment());
    if (!started.pool) {
        lock.unlock();
        panic(pool_build_error_message(started.error));
    }
    started.pool->detach_workers();
    // Lives until the process exits.
    WorkerPool* pool = started.pool.release();
    the_pool.store(pool, std::memory_order_release);
    return *pool;
}

}  // namespace

std::string pool_build_error_message(int os_error) {
    char buffer[256];
    const char* text = strerror_r(os_error, buffer, sizeof buffer);
    return std::string(not_initialized) + "ThreadPoolBuildError { kind: IOError(Os { code: " +
           std::to_string(os_error) + ", kind: " + error_kind(os_error) + ", message: \"" + text +
           "\" }) }";
}

std::string pool_already_failed_message() {
    return std::string(not_initialized) +
           "ThreadPoolBuildError { kind: GlobalPoolAlreadyInitialized }";
}

WorkerPool& global_pool() {
    if (WorkerPool* pool = the_pool.load(std::memory_order_acquire)) return *pool;
    return create_global_pool();
}

}  // namespace orvik::interop
