#include "runtime/worker_pool.hpp"

#include <sched.h>

#include <cerrno>
#include <chrono>
#include <new>

#include "runtime/failure.hpp"
#include "runtime/task_deque.hpp"

namespace orvik::runtime {
namespace {

// Searches an idle worker makes, yielding between them, before it sleeps:
// back-to-back jobs then find a worker awake.
constexpr int idle_spin_rounds = 64;
// The same for a worker waiting for a task that another worker took.
constexpr int wait_spin_rounds = 64;
// Offered tasks one worker can hold: recursion depth stays far below this,
// and a full deque only means the offerer runs the task itself.
constexpr std::size_t deque_capacity = 64;

// Where a thread outside the pool sleeps until its job is done.  One per
// call, not per thread: while it waits, the caller's tick may run code (a
// signal handler) that starts another job from the same thread, and each
// job must wake its own caller.
struct CallerLatch {
    std::mutex mutex;
    std::condition_variable cv;
    bool done = false;
};

thread_local Worker* this_thread_worker = nullptr;

}  // namespace

class alignas(64) Worker {
public:
    WorkerPool* pool = nullptr;
    std::size_t index = 0;
    TaskDeque<OfferedTask, deque_capacity> deque;

    // Where the worker sleeps while it waits for a task that another worker
    // took (the taker notifies it when done).
    std::mutex wait_mutex;
    std::condition_variable wait_cv;

    // Picks where to start looking for work, spreading thieves over victims.
    std::size_t next_random() noexcept {
        rng ^= rng << 13;
        rng ^= rng >> 7;
        rng ^= rng << 17;
        return static_cast<std::size_t>(rng);
    }
    std::uint64_t rng = 0;
};

// One caller's hand-over: the job, and where the caller sleeps.
struct WorkerPool::Injected {
    Job* job;
    CallerLatch* latch;
    Injected* next;
};

int start_worker_thread(pthread_t* thread, void* (*routine)(void*), void* arg) {
    pthread_attr_t attr;
    if (const int rc = pthread_attr_init(&attr); rc != 0) return rc;
    int rc = pthread_attr_setstacksize(&attr, std::size_t{2} << 20);
    if (rc == 0) rc = pthread_create(thread, &attr, routine, arg);
    pthread_attr_destroy(&attr);
    return rc;
}

WorkerPool::WorkerPool(std::size_t threads)
    : thread_count_(threads < 1 ? 1 : threads),
      workers_(new Worker[thread_count_]),
      threads_(new pthread_t[thread_count_]) {
    for (std::size_t i = 0; i < thread_count_; ++i) {
        workers_[i].pool = this;
        workers_[i].index = i;
        workers_[i].rng = 0x9E3779B97F4A7C15ull * (i + 1);
    }
}

WorkerPool::Started WorkerPool::start(std::size_t threads, ThreadStarter starter) {
    std::unique_ptr<WorkerPool> pool;
    try {
        pool.reset(new WorkerPool(threads));
    } catch (const std::bad_alloc&) {
        return {nullptr, ENOMEM};
    }
    for (std::size_t i = 0; i < pool->thread_count_; ++i) {
        if (const int rc = starter(&pool->threads_[i], &worker_main, &pool->workers_[i]); rc != 0) {
            return {nullptr, rc};  // the destructor stops the ones started
        }
        pool->started_ = i + 1;
    }
    return {std::move(pool), 0};
}

WorkerPool::~WorkerPool() { stop_and_join(); }

void WorkerPool::stop_and_join() noexcept {
    if (detached_) return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    sleep_cv_.notify_all();
    for (std::size_t i = 0; i < started_; ++i) pthread_join(threads_[i], nullptr);
    started_ = 0;
}

void WorkerPool::detach_workers() noexcept {
    for (std::size_t i = 0; i < started_; ++i) pthread_detach(threads_[i]);
    detached_ = true;
}

Worker* WorkerPool::current_worker() const noexcept {
    Worker* w = this_thread_worker;
    return w != nullptr && w->pool == this ? w : nullptr;
}

void* WorkerPool::worker_main(void* worker) noexcept {
    Worker& self = *static_cast<Worker*>(worker);
    // Failure reports name worker threads "<unnamed>".
    mark_unnamed_thread();
    this_thread_worker = &self;
    self.pool->work_loop(self);
    return nullptr;
}

void WorkerPool::work_loop(Worker& self) noexcept {
    for (;;) {
        // Read before searching: work published during the search moves it.
        const std::uint64_t seen = work_epoch_.load(std::memory_order_seq_cst);
        if (run_available(self)) continue;
        if (!idle(seen)) return;
    }
}

bool WorkerPool::run_available(Worker& self) noexcept {
    // Pieces of running jobs first: they finish jobs that already started.
    if (OfferedTask* task = steal(self)) {
        run_stolen(self, *task);
        return true;
    }
    if (Injected* entry = take_injected()) {
        Job* job = entry->job;
        CallerLatch* latch = entry->latch;
        job->execute(self);
        // Notify under the lock: once the caller can take the lock again it
        // may return, and its latch goes with its stack frame.
        std::lock_guard lock(latch->mutex);
        latch->done = true;
        latch->cv.notify_one();
        return true;
    }
    return false;
}

// Returns false when the pool stops.
bool WorkerPool::idle(std::uint64_t seen) noexcept {
    spinning_.fetch_add(1, std::memory_order_seq_cst);
    for (int round = 0; round < idle_spin_rounds; ++round) {
        if (work_epoch_.load(std::memory_order_seq_cst) != seen) {
            spinning_.fetch_sub(1, std::memory_order_seq_cst);
            return true;
        }
        sched_yield();
    }
    std::unique_lock lock(mutex_);
    // Counted as a sleeper before no longer spinning, so a publisher that
    // sees neither a spinner nor a sleeper cannot miss this worker.
    sleepers_.fetch_add(1, std::memory_order_seq_cst);
    spinning_.fetch_sub(1, std::memory_order_seq_cst);
    if (work_epoch_.load(std::memory_order_seq_cst) == seen) {
        sleep_cv_.wait(lock, [&] { return wake_tokens_ > 0 || stopping_; });
        if (wake_tokens_ > 0) --wake_tokens_;
    }
    sleepers_.fetch_sub(1, std::memory_order_seq_cst);
    return !stopping_;
}

void WorkerPool::announce_work(bool backlog) noexcept {
    work_epoch_.fetch_add(1, std::memory_order_seq_cst);
    if (sleepers_.load(std::memory_order_seq_cst) == 0) return;
    // A spinning worker will find a lone piece of work; when work piles up,
    // wake a sleeper as well.
    if (!backlog && spinning_.load(std::memory_order_seq_cst) > 0) return;
    {
        std::lock_guard lock(mutex_);
        if (wake_tokens_ >= sleepers_.load(std::memory_order_relaxed)) return;
        ++wake_tokens_;
    }
    sleep_cv_.notify_one();
}

OfferedTask* WorkerPool::steal(Worker& thief) noexcept {
    const std::size_t n = thread_count_;
    if (n == 1) return nullptr;
    std::size_t victim = thief.next_random() % n;
    for (std::size_t i = 0; i < n; ++i, victim = victim + 1 == n ? 0 : victim + 1) {
        if (victim == thief.index) continue;
        if (OfferedTask* task = workers_[victim].deque.pop_front()) return task;
    }
    return nullptr;
}

WorkerPool::Injected* WorkerPool::take_injected() noexcept {
    if (injected_count_.load(std::memory_order_relaxed) == 0) return nullptr;
    std::lock_guard lock(mutex_);
    Injected* entry = injected_head_;
    if (entry == nullptr) return nullptr;
    injected_head_ = entry->next;
    if (injected_head_ == nullptr) injected_tail_ = nullptr;
    injected_count_.fetch_sub(1, std::memory_order_relaxed);
    return entry;
}

void WorkerPool::run_from_outside(Job& job, WaitTick* tick) noexcept {
    CallerLatch latch;
    Injected entry{&job, &latch, nullptr};
    bool backlog;
    {
        std::lock_guard lock(mutex_);
        backlog = injected_head_ != nullptr;
        if (backlog) {
            injected_tail_->next = &entry;
        } else {
            injected_head_ = &entry;
        }
        injected_tail_ = &entry;
        injected_count_.fetch_add(1, std::memory_order_relaxed);
    }
    announce_work(backlog);
    std::unique_lock lock(latch.mutex);
    if (tick == nullptr) {
        latch.cv.wait(lock, [&] { return latch.done; });
        return;
    }
    const auto interval = std::chrono::milliseconds(tick_interval_ms);
    while (!latch.cv.wait_for(lock, interval, [&] { return latch.done; })) {
        lock.unlock();
        tick->on_tick();
        lock.lock();
    }
}

bool WorkerPool::offer(Worker& self, OfferedTask& task) noexcept {
    task.offerer_ = &self;
    task.done_.store(false, std::memory_order_relaxed);
    const std::size_t before = self.deque.push_back(&task);
    if (before == deque_capacity) return false;
    announce_work(before > 0);
    return true;
}

bool WorkerPool::take_back(Worker& self, OfferedTask& task) noexcept {
    return self.deque.pop_back_if(&task);
}

void WorkerPool::run_stolen(Worker& self, OfferedTask& task) noexcept {
    // The task lives on its offerer's stack and may be gone as soon as it is
    // marked done: take what is needed first.
    Worker& offerer = *task.offerer_;
    task.execute(self);
    task.done_.store(true, std::memory_order_release);
    // Taking the lock orders this after the offerer's check-then-wait, so
    // the notification cannot fall between the two.
    { std::lock_guard lock(offerer.wait_mutex); }
    offerer.wait_cv.notify_one();
}

void WorkerPool::wait_until_done(Worker& self, OfferedTask& task) noexcept {
    // Its own deque is empty now: everything offered before `task` was taken
    // before it.  Help with other offered work, then sleep.
    int round = 0;
    while (!task.done_.load(std::memory_order_acquire)) {
        if (OfferedTask* other = steal(self)) {
            run_stolen(self, *other);
            round = 0;
            continue;
        }
        if (round++ < wait_spin_rounds) {
            sched_yield();
            continue;
        }
        std::unique_lock lock(self.wait_mutex);
        self.wait_cv.wait(lock, [&] { return task.done_.load(std::memory_order_acquire); });
    }
}

}  // namespace orvik::runtime
