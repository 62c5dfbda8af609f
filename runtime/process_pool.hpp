// The worker pool an extension module shares between all of its calls.
#pragma once

#include "runtime/worker_pool.hpp"

namespace orvik::runtime {

struct PoolSettings {
    // Environment variables that size the pool when it is created: the
    // first, else the second (see pool_size_from_environment).
    const char* size_variable;
    const char* fallback_size_variable;
    // Whether a later call tries again after worker threads could not be
    // started (a transient thread limit, say), or the failure is final.
    bool retry_after_failure;
    // How worker threads are started; replaceable so that a failing start
    // can be tried.
    ThreadStarter starter = start_worker_thread;
};

// The pool, created on first use under a run-once guard, so concurrent first
// calls create one pool; its size is read from the environment then.  Throws
// PoolUnavailable when it cannot be created now.  A child made by fork gets a
// pool of its own on first use.
WorkerPool& process_pool(const PoolSettings& settings);

}  // namespace orvik::runtime
