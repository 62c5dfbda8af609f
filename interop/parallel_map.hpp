// Running an index range on the process-wide worker pool.
#pragma once

#include <cstddef>
#include <string>

namespace orvik::interop {

// Thrown by a piece of a parallel map when the element at `index` fails.  The
// piece has already written its failure report; it stops at that index.
struct ElementFailure {
    std::size_t index;
    std::string message;
};

// The computation of one contiguous piece [begin, end) of a parallel map.
// It runs on a worker thread (or the caller's), must not touch Python, and
// may throw ElementFailure at its first failing index.
class PieceBody {
public:
    virtual void run(std::size_t begin, std::size_t end) const = 0;

protected:
    ~PieceBody() = default;
};

// The pool's thread count, creating the pool on first use.  When the pool
// cannot be created this is an internal failure (Panic) whose message starts
// "The global thread pool has not been initialized.".
std::size_t pool_thread_count();

// Runs `body` over [0, n): for n >= 2 as one job on the pool, split by
// recursive halving into a few pieces per worker, while the calling thread
// sleeps; for n <= 1 on the calling thread.  Creates the pool first, even for
// n == 0.  When pieces fail, the failure of the smallest index is raised in
// the calling thread as a Panic carrying its message (no second report).
void parallel_map(std::size_t n, const PieceBody& body);

}  // namespace orvik::interop
