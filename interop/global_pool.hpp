// The process-wide worker pool.
#pragma once

#include <string>

#include "interop/worker_pool.hpp"

namespace orvik::interop {

// The pool, created on first use under a run-once guard, so concurrent first
// calls create one pool.  Its size is read from the environment then.  If a
// worker cannot be started this is an internal failure (Panic), and creation
// is not tried again in this process: every later call fails as well.
WorkerPool& global_pool();

// The messages of those failures: the first carries the operating system's
// error number from starting a thread.
std::string pool_build_error_message(int os_error);
std::string pool_already_failed_message();

}  // namespace orvik::interop
