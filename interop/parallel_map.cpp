// Placeholder: runs every map on the calling thread until the worker pool lands.
#include "interop/parallel_map.hpp"

#include "interop/panic.hpp"

namespace orvik::interop {

std::size_t pool_thread_count() { return 1; }

void parallel_map(std::size_t n, const PieceBody& body) {
    pool_thread_count();
    try {
        body.run(0, n);
    } catch (ElementFailure& failure) {
        throw Panic{std::move(failure.message)};
    }
}

}  // namespace orvik::interop
