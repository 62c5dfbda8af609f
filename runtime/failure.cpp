#include "runtime/failure.hpp"

#include <pthread.h>

#include <cstdio>
#include <utility>

namespace orvik {
namespace {

thread_local bool unnamed_thread = false;

}  // namespace

void mark_unnamed_thread() noexcept { unnamed_thread = true; }

void report_failure(const std::string& message, const char* file, int line) {
    char name[32] = "<unnamed>";
    if (!unnamed_thread && pthread_getname_np(pthread_self(), name, sizeof name) != 0) {
        std::snprintf(name, sizeof name, "<unnamed>");
    }
    // One fprintf so that reports from several threads do not interleave.
    std::fprintf(stderr, "thread '%s' panicked at %s:%d:\n%s\n", name, file, line, message.c_str());
    std::fflush(stderr);
}

void fail(std::string message, const char* file, int line) {
    report_failure(message, file, line);
    throw InternalFailure{std::move(message)};
}

}  // namespace orvik
