#include "runtime/memory_limit.hpp"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace orvik::runtime {

std::size_t memory_limit_bytes() noexcept {
    std::size_t limit = SIZE_MAX;
    const long pages = sysconf(_SC_PHYS_PAGES), page_size = sysconf(_SC_PAGESIZE);
    if (pages > 0 && page_size > 0 &&
        static_cast<std::size_t>(pages) <= SIZE_MAX / static_cast<std::size_t>(page_size)) {
        limit = static_cast<std::size_t>(pages) * static_cast<std::size_t>(page_size);
    }
    rlimit address_space{};
    if (getrlimit(RLIMIT_AS, &address_space) == 0 && address_space.rlim_cur != RLIM_INFINITY) {
        limit = std::min<std::size_t>(limit, address_space.rlim_cur);
    }
    return limit;
}

}  // namespace orvik::runtime
