// How many threads one array call of the package may use.
#pragma once

#include <cstddef>

namespace orvik::engine {

// 0 means no limit: every worker of the pool.
inline constexpr std::size_t no_thread_limit = 0;

// The limit for calls made now from this thread: its own, if it set one,
// else the process-wide one.
std::size_t thread_limit() noexcept;

// The process-wide limit.
std::size_t process_thread_limit() noexcept;

// Sets the process-wide limit; returns the previous one.
std::size_t set_process_thread_limit(std::size_t limit) noexcept;

// This thread's own limit (`has_limit` false: none, follow the process-wide
// one); returns the previous one in the same form.
struct ThreadLimit {
    bool has_limit;
    std::size_t limit;
};
ThreadLimit set_this_thread_limit(ThreadLimit limit) noexcept;

}  // namespace orvik::engine
