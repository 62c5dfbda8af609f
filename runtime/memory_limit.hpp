// How much memory this process can hope to use at all.
#pragma once

#include <cstddef>

namespace orvik::runtime {

// The physical memory of the machine, or the process's address-space limit
// (RLIMIT_AS) when that is lower; SIZE_MAX when neither can be read.  Work
// whose results need more than this cannot succeed: better to refuse it than
// to be killed when the system runs out of memory.
std::size_t memory_limit_bytes() noexcept;

}  // namespace orvik::runtime
