// How many worker threads the process-wide pool gets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace orvik::runtime {

// The environment variables that size a pool when it is created: the first,
// else the second.  Both modules' pools read the same two, so that one setting
// sizes every pool of the process.
inline constexpr const char pool_size_variable[] = "RAYON_NUM_THREADS";
inline constexpr const char pool_size_fallback_variable[] = "RAYON_RS_NUM_CPUS";

// The pool never has more workers than this; larger requests are reduced.
inline constexpr std::size_t max_pool_threads = 65535;

// Reads one pool-size variable's value (null when unset): an unsigned decimal
// integer, optionally preceded by "+", digits only, fitting 64 bits.
// Anything else (empty, blanks, a sign other than a leading "+", overflow)
// gives nothing.
std::optional<std::uint64_t> parse_thread_count(const char* value) noexcept;

// The count asked for by RAYON_NUM_THREADS, else RAYON_RS_NUM_CPUS, given
// their values; nothing when the default count applies.  A first variable
// holding 0 asks for the default even when the second is set.
std::optional<std::uint64_t> requested_thread_count(const char* num_threads,
                                                    const char* rs_num_cpus) noexcept;

// A CPU count limited by a control-group quota (none: unlimited).  A quota
// below one CPU still leaves one thread.
std::size_t apply_cpu_quota(std::size_t cpus, std::optional<std::size_t> quota) noexcept;

// The default count: CPUs in the affinity mask, else online processors, each
// capped by the control-group quota; 1 when neither can be read.
std::size_t default_thread_count();

// The pool size asked for by the values of the two pool-size variables (null
// when unset), capped; the default count when they ask for none.
std::size_t pool_size_from_environment(const char* num_threads, const char* rs_num_cpus);

}  // namespace orvik::runtime
