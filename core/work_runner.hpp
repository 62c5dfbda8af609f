// How long computations of the core run independent pieces of work, and how
// they learn that they should stop.  The core starts no threads and knows
// nothing of signals: a caller that has a pool, or a user who may press
// Ctrl-C, supplies a runner that knows.
#pragma once

#include <cstddef>

namespace orvik::core {

// Asked every few thousand elements (points examined, distances computed,
// results gathered) by a computation that may run long.
class StopCheck {
public:
    // Returns to go on; throws, an exception of the owner's choosing, to stop.
    // May be called from several threads at once.
    virtual void check() = 0;

protected:
    ~StopCheck() = default;
};

// The computation of one piece [begin, end) of a range.
class RangeWork {
public:
    virtual void run(std::size_t begin, std::size_t end) const = 0;

protected:
    ~RangeWork() = default;
};

class WorkRunner : public StopCheck {
public:
    // Runs `work` over pieces that cover [0, n) once each, in any order and
    // on any threads, and returns when all have run; what a piece throws
    // reaches the caller.  `ns_per_index` is the rough cost of one index,
    // for deciding how finely to split.  Whatever the split, the results
    // must be the same: pieces write disjoint parts of the output.
    virtual void for_each(std::size_t n, double ns_per_index, const RangeWork& work) = 0;

protected:
    ~WorkRunner() = default;
};

// Runs every piece in order on the calling thread, as one piece, and never
// stops.
WorkRunner& inline_runner() noexcept;

// for_each with a callable: fn(begin, end).
template <class Fn>
void for_each_range(WorkRunner& runner, std::size_t n, double ns_per_index, const Fn& fn) {
    class Work final : public RangeWork {
    public:
        explicit Work(const Fn& f) : f_(f) {}
        void run(std::size_t begin, std::size_t end) const override { f_(begin, end); }

    private:
        const Fn& f_;
    };
    runner.for_each(n, ns_per_index, Work(fn));
}

// Counts units of work and asks `stop` once every `every` units: cheap
// enough for inner loops.  A null `stop` is never asked.
class StopCounter {
public:
    explicit StopCounter(StopCheck* stop, std::size_t every = 4096) noexcept
        : stop_(stop), every_(every) {}

    void add(std::size_t units) {
        done_ += units;
        if (done_ >= every_) {
            done_ = 0;
            if (stop_ != nullptr) stop_->check();
        }
    }

private:
    StopCheck* stop_;
    std::size_t every_;
    std::size_t done_ = 0;
};

}  // namespace orvik::core
