// The parallel map on a given pool (the process-wide one in production;
// tests use pools of chosen sizes).
#pragma once

#include <cstddef>

#include "interop/parallel_map.hpp"
#include "interop/worker_pool.hpp"

namespace orvik::interop {

// parallel_map without creating the process-wide pool: n <= 1 runs on the
// calling thread, otherwise one job on `pool` (inline when the calling thread
// is one of its workers).
void map_on_pool(WorkerPool& pool, std::size_t n, const PieceBody& body);

}  // namespace orvik::interop
