#include "interop/parallel_map.hpp"

#include <algorithm>
#include <exception>
#include <utility>

#include "interop/global_pool.hpp"
#include "interop/map_on_pool.hpp"
#include "interop/panic.hpp"

namespace orvik::interop {
namespace {

// How a range ended: no error, or the failure of its smallest failing index.
struct Outcome {
    std::exception_ptr error;
};

struct MapJob {
    WorkerPool& pool;
    const PieceBody& body;
};

// Runs one unsplit piece.  It stops at its first failing index, so a failure
// is that piece's smallest.  Anything else thrown counts as a failure there.
Outcome run_piece(const PieceBody& body, std::size_t begin, std::size_t end) noexcept {
    try {
        body.run(begin, end);
        return {};
    } catch (...) {
        return {std::current_exception()};
    }
}

Outcome run_range(const MapJob& job, Worker& self, std::size_t begin, std::size_t end,
                  std::size_t splits, bool migrated) noexcept;

// The right half of a split, offered to idle workers.
class RightHalf final : public OfferedTask {
public:
    RightHalf(const MapJob& job, std::size_t begin, std::size_t end, std::size_t splits)
        : job_(job), begin_(begin), end_(end), splits_(splits) {}

    void execute(Worker& worker) noexcept override {
        outcome = run_range(job_, worker, begin_, end_, splits_, true);
    }
    void run_here(Worker& worker) noexcept {
        outcome = run_range(job_, worker, begin_, end_, splits_, false);
    }

    Outcome outcome;

private:
    const MapJob& job_;
    std::size_t begin_, end_, splits_;
};

// Recursive halving.  `splits` is the remaining split budget, halved at each
// level; the first budget gives 4T to 8T pieces.  A piece that another worker
// took over may be split again (its budget goes back up to T), so load that
// arrives late still spreads.  A piece of fewer than 2 indices is never split.
Outcome run_range(const MapJob& job, Worker& self, std::size_t begin, std::size_t end,
                  std::size_t splits, bool migrated) noexcept {
    const std::size_t length = end - begin;
    if (length < 2 || (splits == 0 && !migrated)) return run_piece(job.body, begin, end);
    splits = migrated ? std::max(job.pool.thread_count(), splits / 2) : splits / 2;

    const std::size_t middle = begin + length / 2;
    RightHalf right(job, middle, end, splits);
    const bool offered = job.pool.offer(self, right);
    Outcome left = run_range(job, self, begin, middle, splits, false);
    if (!offered || job.pool.take_back(self, right)) {
        right.run_here(self);
    } else {
        job.pool.wait_until_done(self, right);
    }
    // The left half's indices are all smaller: its failure wins, and the
    // right half's result (failure included) is dropped.
    if (left.error) return left;
    return std::move(right.outcome);
}

std::size_t first_split_budget(const WorkerPool& pool) { return 4 * pool.thread_count(); }

// The whole map, handed to the pool by a thread outside it.
class MapRoot final : public Job {
public:
    MapRoot(const MapJob& job, std::size_t n) : job_(job), n_(n) {}

    void execute(Worker& worker) noexcept override {
        outcome = run_range(job_, worker, 0, n_, first_split_budget(job_.pool), false);
    }

    Outcome outcome;

private:
    const MapJob& job_;
    std::size_t n_;
};

// An element's failure reaches the caller as an internal failure carrying
// its message; its report was written where it happened.
[[noreturn]] void rethrow_failure(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (ElementFailure& failure) {
        throw Panic{std::move(failure.message)};
    }
}

}  // namespace

void map_on_pool(WorkerPool& pool, std::size_t n, const PieceBody& body) {
    if (n == 0) return;
    if (n == 1) {
        const Outcome outcome = run_piece(body, 0, 1);
        if (outcome.error) rethrow_failure(outcome.error);
        return;
    }
    const MapJob job{pool, body};
    Outcome outcome;
    if (Worker* self = pool.current_worker()) {
        // A map started by a piece: run it in place rather than block a worker.
        outcome = run_range(job, *self, 0, n, first_split_budget(pool), false);
    } else {
        MapRoot root(job, n);
        pool.run_from_outside(root);
        outcome = std::move(root.outcome);
    }
    if (outcome.error) rethrow_failure(outcome.error);
}

std::size_t pool_thread_count() { return global_pool().thread_count(); }

void parallel_map(std::size_t n, const PieceBody& body) { map_on_pool(global_pool(), n, body); }

}  // namespace orvik::interop
