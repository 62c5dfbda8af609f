// The worker pool of orvik._orvik.
#pragma once

#include <string>

#include "runtime/worker_pool.hpp"

namespace orvik::compat {

// The module's pool, created on first use and sized from the environment
// then.  If its threads cannot be started this is an internal failure, and
// creation is not tried again in this process: every later call fails too.
runtime::WorkerPool& native_pool();

// The messages of those failures: the first carries the operating system's
// error number from starting a thread.
std::string pool_build_error_message(int os_error);
std::string pool_already_failed_message();

}  // namespace orvik::compat
