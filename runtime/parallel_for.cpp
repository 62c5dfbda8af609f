#include "runtime/parallel_for.hpp"

#include <algorithm>
#include <atomic>
#include <exception>
#include <utility>

#include "runtime/failure.hpp"

namespace orvik::runtime {
namespace {

// How a range ended: no error, or the failure of its smallest failing index.
struct Outcome {
    std::exception_ptr error;
};

// What every piece of one map shares.
struct MapJob {
    WorkerPool& pool;
    const PieceBody& body;
    std::size_t max_piece;
    // Threads that may compute the map: the pool's, or fewer under a cap.
    std::size_t workers;
    CancelToken& cancel;
    // Right halves that may still be offered to other workers: each one
    // offered, or being run by the worker that took it, holds a slot, so at
    // most max_workers threads compute this map at once.
    std::atomic<std::ptrdiff_t> free_slots;

    MapJob(WorkerPool& p, const PieceBody& b, std::size_t piece, std::size_t max_workers, CancelToken& token)
        : pool(p), body(b), max_piece(piece),
          workers(max_workers == 0 ? p.thread_count() : std::min(max_workers, p.thread_count())), cancel(token),
          free_slots(max_workers == 0 ? PTRDIFF_MAX : static_cast<std::ptrdiff_t>(max_workers) - 1) {}

    bool take_slot() noexcept {
        std::ptrdiff_t free = free_slots.load(std::memory_order_relaxed);
        while (free > 0) {
            if (free_slots.compare_exchange_weak(free, free - 1, std::memory_order_relaxed)) return true;
        }
        return false;
    }
    void return_slot() noexcept { free_slots.fetch_add(1, std::memory_order_relaxed); }
};

// Runs one unsplit piece, unless the map was cancelled.  It stops at its first
// failing index, so a failure is that piece's smallest.
Outcome run_piece(const PieceBody& body, std::size_t begin, std::size_t end) noexcept {
    try {
        body.run(begin, end);
        return {};
    } catch (...) {
        return {std::current_exception()};
    }
}

Outcome run_range(MapJob& job, Worker& self, std::size_t begin, std::size_t end, std::size_t splits,
                  bool migrated) noexcept;

// The right half of a split, offered to idle workers.
class RightHalf final : public OfferedTask {
public:
    RightHalf(MapJob& job, std::size_t begin, std::size_t end, std::size_t splits)
        : job_(job), begin_(begin), end_(end), splits_(splits) {}

    void execute(Worker& worker) noexcept override {
        outcome = run_range(job_, worker, begin_, end_, splits_, true);
        job_.return_slot();
    }
    void run_here(Worker& worker) noexcept {
        outcome = run_range(job_, worker, begin_, end_, splits_, false);
    }

    Outcome outcome;

private:
    MapJob& job_;
    std::size_t begin_, end_, splits_;
};

// Recursive halving.  `splits` is the remaining split budget, halved at each
// level; the first budget gives 4T to 8T pieces, T the threads that may
// compute the map.  A piece that another worker took over may be split again
// (its budget goes back up to T), so load that arrives late still spreads.
// Pieces longer than max_piece are split whatever the budget; a piece of
// fewer than 2 indices never is.
Outcome run_range(MapJob& job, Worker& self, std::size_t begin, std::size_t end, std::size_t splits,
                  bool migrated) noexcept {
    if (job.cancel.stopped()) return {};
    const std::size_t length = end - begin;
    if (length < 2 || (splits == 0 && !migrated && length <= job.max_piece)) {
        return run_piece(job.body, begin, end);
    }
    splits = migrated ? std::max(job.workers, splits / 2) : splits / 2;

    const std::size_t middle = begin + length / 2;
    RightHalf right(job, middle, end, splits);
    bool offered = false;
    if (job.take_slot()) {
        offered = job.pool.offer(self, right);
        if (!offered) job.return_slot();
    }
    Outcome left = run_range(job, self, begin, middle, splits, false);
    if (!offered) {
        right.run_here(self);
    } else if (job.pool.take_back(self, right)) {
        job.return_slot();
        right.run_here(self);
    } else {
        job.pool.wait_until_done(self, right);
    }
    // The left half's indices are all smaller: its failure wins, and the
    // right half's result (failure included) is dropped.
    if (left.error) return left;
    return std::move(right.outcome);
}

// A few pieces for each thread that may compute the map.
std::size_t first_split_budget(const MapJob& job) { return 4 * job.workers; }

// The whole map, handed to the pool by a thread outside it.  While it waits,
// the caller polls for cancellation.
class MapRoot final : public Job, public WaitTick {
public:
    MapRoot(MapJob& job, std::size_t n) : job_(job), n_(n) {}

    void execute(Worker& worker) noexcept override {
        outcome = run_range(job_, worker, 0, n_, first_split_budget(job_), false);
    }
    void on_tick() noexcept override { job_.cancel.poll_now(); }

    Outcome outcome;

private:
    MapJob& job_;
    std::size_t n_;
};

// An element's failure reaches the caller as an internal failure carrying
// its message; its report was written where it happened.
[[noreturn]] void rethrow_failure(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (ElementFailure& failure) {
        throw InternalFailure{std::move(failure.message)};
    }
}

// The calling thread computes the pieces in order, polling between them.
void run_inline(std::size_t n, const PieceBody& body, const MapOptions& options) {
    const std::size_t piece = std::max<std::size_t>(options.max_piece, 1);
    CancelToken* const token = options.cancel;
    for (std::size_t begin = 0; begin < n;) {
        const std::size_t end = begin + std::min(piece, n - begin);
        const Outcome outcome = run_piece(body, begin, end);
        // A piece that saw the token set may have stopped early, any way.
        if (token != nullptr && token->stopped()) throw Cancelled{};
        if (outcome.error) rethrow_failure(outcome.error);
        begin = end;
        if (begin < n && token != nullptr && token->poll_now()) throw Cancelled{};
    }
}

}  // namespace

void parallel_for(WorkerPool* pool, std::size_t n, const PieceBody& body, const MapOptions& options) {
    if (n == 0) return;
    if (pool == nullptr || n < std::max<std::size_t>(options.inline_below, 2) ||
        options.max_workers == 1) {
        run_inline(n, body, options);
        return;
    }
    CancelToken never;  // no poll: never set
    CancelToken& token = options.cancel != nullptr ? *options.cancel : never;
    MapJob job(*pool, body, std::max<std::size_t>(options.max_piece, 1), options.max_workers, token);
    Outcome outcome;
    if (Worker* self = pool->current_worker()) {
        // A map started by a piece: run it in place rather than block a worker.
        outcome = run_range(job, *self, 0, n, first_split_budget(job), false);
    } else {
        MapRoot root(job, n);
        pool->run_from_outside(root, options.cancel != nullptr ? &root : nullptr);
        outcome = std::move(root.outcome);
    }
    if (token.stopped()) throw Cancelled{};
    if (outcome.error) rethrow_failure(outcome.error);
}

}  // namespace orvik::runtime
