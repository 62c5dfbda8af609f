// Running an index range [0, n) in contiguous pieces, on a worker pool or on
// the calling thread.  Every array function of both extension modules comes
// through here.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/cancel_token.hpp"
#include "runtime/worker_pool.hpp"

namespace orvik::runtime {

// The computation of one contiguous piece [begin, end).  It may run on any
// thread, must not touch Python, and may throw ElementFailure at its first
// failing index (after writing the report) or anything else.  A long piece
// may look at the map's CancelToken now and then and, once it is set, return
// early or throw Cancelled: the map throws Cancelled either way.
class PieceBody {
public:
    virtual void run(std::size_t begin, std::size_t end) const = 0;

protected:
    ~PieceBody() = default;
};

struct MapOptions {
    // Most threads computing the map at once; 0 means every worker.  With 1,
    // the calling thread computes it alone.
    std::size_t max_workers = 0;
    // Longest piece, in elements: bounds how long one piece runs, and so how
    // late a cancelled map stops.
    std::size_t max_piece = SIZE_MAX;
    // Maps shorter than this run on the calling thread: waking the pool
    // would cost more than the work.
    std::size_t inline_below = 2;
    // May be null: the map cannot be cancelled.  The thread that starts the
    // map must be the token's owner: it polls between pieces when it
    // computes them itself and every few milliseconds while it waits for the
    // pool, and sets the token when the poll says to stop; pieces not yet
    // started are then skipped, and the map throws Cancelled once the
    // running ones have finished.
    CancelToken* cancel = nullptr;
};

// Runs `body` over [0, n).  On the pool (when `pool` is given and the map is
// neither short nor limited to one thread) it is one job, split by recursive
// halving into a few pieces per worker and never longer than max_piece, while
// the calling thread sleeps; otherwise the calling thread runs the pieces in
// order.  When pieces fail with ElementFailure, the failure of the smallest
// index is thrown as an InternalFailure carrying its message (its report was
// written already); anything else a piece throws reaches the caller as it
// is, the one of the smallest piece.
void parallel_for(WorkerPool* pool, std::size_t n, const PieceBody& body,
                  const MapOptions& options = {});

}  // namespace orvik::runtime
