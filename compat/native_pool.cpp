#include "compat/native_pool.hpp"

#include <cerrno>
#include <cstring>

#include "runtime/failure.hpp"
#include "runtime/thread_count.hpp"
#include "runtime/process_pool.hpp"
#include "compat/contract.hpp"

namespace orvik::compat {
namespace {

// The error's kind, named as the build error's debug form names it.
const char* error_kind(int os_error) {
    switch (os_error) {
        case EAGAIN: return "WouldBlock";
        case ENOMEM: return "OutOfMemory";
        case EPERM:
        case EACCES: return "PermissionDenied";
        case EINVAL: return "InvalidInput";
        case EINTR: return "Interrupted";
        case ENOSYS: return "Unsupported";
        default: return "Uncategorized";
    }
}

}  // namespace

runtime::WorkerPool& native_pool() {
    try {
        return runtime::process_pool({runtime::pool_size_variable,
                                      runtime::pool_size_fallback_variable,
                                      /*retry_after_failure=*/false});
    } catch (const runtime::PoolUnavailable& unavailable) {
        fail(unavailable.os_error == 0 ? pool_already_failed_message()
                                       : pool_build_error_message(unavailable.os_error));
    }
}

std::string pool_build_error_message(int os_error) {
    char buffer[256];
    const char* text = strerror_r(os_error, buffer, sizeof buffer);
    return std::string(contract::pool_not_initialized) +
           ": ThreadPoolBuildError { kind: IOError(Os { code: " + std::to_string(os_error) +
           ", kind: " + error_kind(os_error) + ", message: \"" + text + "\" }) }";
}

std::string pool_already_failed_message() {
    return std::string(contract::pool_not_initialized) +
           ": ThreadPoolBuildError { kind: GlobalPoolAlreadyInitialized }";
}

}  // namespace orvik::compat
