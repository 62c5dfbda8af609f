#include "runtime/thread_count.hpp"

#include <sched.h>
#include <unistd.h>

#include <algorithm>

#include "runtime/cpu_quota.hpp"
#include "runtime/parse_unsigned.hpp"

namespace orvik::runtime {

std::optional<std::uint64_t> parse_thread_count(const char* value) noexcept {
    if (value == nullptr) return std::nullopt;
    return parse_unsigned(value);
}

std::optional<std::uint64_t> requested_thread_count(const char* num_threads,
                                                    const char* rs_num_cpus) noexcept {
    if (const auto n = parse_thread_count(num_threads)) {
        if (*n == 0) return std::nullopt;
        return n;
    }
    if (const auto n = parse_thread_count(rs_num_cpus); n && *n > 0) return n;
    return std::nullopt;
}

std::size_t apply_cpu_quota(std::size_t cpus, std::optional<std::size_t> quota) noexcept {
    if (!quota) return cpus;
    return std::min(cpus, std::max<std::size_t>(*quota, 1));
}

std::size_t default_thread_count() {
    const std::optional<std::size_t> quota = cgroup_cpu_quota(SystemFiles{});
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const int count = CPU_COUNT(&set);
        if (count > 0) return apply_cpu_quota(static_cast<std::size_t>(count), quota);
    }
    const long online = sysconf(_SC_NPROCESSORS_ONLN);
    if (online > 0) return apply_cpu_quota(static_cast<std::size_t>(online), quota);
    return 1;
}

std::size_t pool_size_from_environment(const char* num_threads, const char* rs_num_cpus) {
    const auto requested = requested_thread_count(num_threads, rs_num_cpus);
    if (!requested) return std::min(default_thread_count(), max_pool_threads);
    return static_cast<std::size_t>(std::min<std::uint64_t>(*requested, max_pool_threads));
}

}  // namespace orvik::runtime
