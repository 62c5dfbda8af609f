// A fixed set of worker threads that run jobs handed in from outside and
// share the pieces those jobs offer while they run.
#pragma once

#include <pthread.h>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace orvik::runtime {

class Worker;  // one worker thread's own state; only the pool looks inside

// Work handed to the pool by a thread outside it; runs once, on some worker.
class Job {
public:
    virtual void execute(Worker& worker) noexcept = 0;

protected:
    ~Job() = default;
};

// Called now and then, on the calling thread, while it waits for its job.
class WaitTick {
public:
    virtual void on_tick() noexcept = 0;

protected:
    ~WaitTick() = default;
};

// Work that a worker offers to idle workers while it goes on with something
// else.  The offerer later either takes it back and runs it itself, or waits
// until the worker that took it has finished it.  It lives on the offerer's
// stack, so it must be finished or taken back before the offerer returns.
class OfferedTask {
public:
    virtual void execute(Worker& worker) noexcept = 0;

protected:
    ~OfferedTask() = default;

private:
    friend class WorkerPool;
    Worker* offerer_ = nullptr;
    std::atomic<bool> done_{false};
};

// Starts one thread running routine(arg), as pthread_create does: 0 or an
// error number.  Replaceable so that a failing start can be tried.
using ThreadStarter = int (*)(pthread_t* thread, void* (*routine)(void*), void* arg);

// pthread_create with a 2 MiB stack: pieces need little, and a large pool
// should not reserve the default 8 MiB per thread.
int start_worker_thread(pthread_t* thread, void* (*routine)(void*), void* arg);

class WorkerPool {
public:
    struct Started {
        std::unique_ptr<WorkerPool> pool;  // null when a thread could not be started
        int error = 0;                     // the error number then
    };
    // Starts `threads` workers (at least 1).  If one cannot be started, the
    // ones already running are stopped and joined before this returns.
    static Started start(std::size_t threads, ThreadStarter starter = start_worker_thread);

    // Stops and joins the workers; only for pools whose workers are still
    // joinable and idle.  The process-wide pool is never destroyed.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Lets the workers run for the rest of the process (the pool must then
    // never be destroyed).
    void detach_workers() noexcept;

    std::size_t thread_count() const noexcept { return thread_count_; }

    // The worker of this pool that the calling thread is, else null.
    Worker* current_worker() const noexcept;

    // Runs `job` on a worker while the calling thread, which must not be a
    // worker of this pool, sleeps until the job has finished.  With a tick,
    // the caller wakes every `tick_interval_ms` to call it (to look for
    // signals, say) and then sleeps again.
    void run_from_outside(Job& job, WaitTick* tick = nullptr) noexcept;
    static constexpr int tick_interval_ms = 10;

    // Fork-join for code running on worker `self`: offer a task (false when
    // self has no room for more, and the caller must run it itself), then
    // either take it back (true: it was not taken and the caller runs it) or
    // wait until it is done, helping with other offered work meanwhile.
    bool offer(Worker& self, OfferedTask& task) noexcept;
    bool take_back(Worker& self, OfferedTask& task) noexcept;
    void wait_until_done(Worker& self, OfferedTask& task) noexcept;

private:
    struct Injected;

    explicit WorkerPool(std::size_t threads);
    static void* worker_main(void* worker) noexcept;
    void work_loop(Worker& self) noexcept;
    bool run_available(Worker& self) noexcept;
    bool idle(std::uint64_t seen) noexcept;
    OfferedTask* steal(Worker& thief) noexcept;
    Injected* take_injected() noexcept;
    void run_stolen(Worker& self, OfferedTask& task) noexcept;
    void announce_work(bool backlog) noexcept;
    void stop_and_join() noexcept;

    const std::size_t thread_count_;
    std::unique_ptr<Worker[]> workers_;
    std::unique_ptr<pthread_t[]> threads_;
    std::size_t started_ = 0;
    bool detached_ = false;

    // Idle workers search, spin briefly, then sleep on sleep_cv_.  Every
    // offer or injection bumps work_epoch_; a worker only goes to sleep if
    // the epoch has not moved since before its last search, and a publisher
    // wakes a sleeper when nobody is spinning.  Both sides use sequentially
    // consistent operations so at least one of them sees the other.
    std::atomic<std::uint64_t> work_epoch_{0};
    std::atomic<std::size_t> spinning_{0};
    std::atomic<std::size_t> sleepers_{0};
    std::atomic<std::size_t> injected_count_{0};

    std::mutex mutex_;  // guards the fields below
    std::condition_variable sleep_cv_;
    std::size_t wake_tokens_ = 0;
    bool stopping_ = false;
    Injected* injected_head_ = nullptr;
    Injected* injected_tail_ = nullptr;
};

}  // namespace orvik::runtime
