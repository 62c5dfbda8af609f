// A way for the test suite to make the worker pool fail to start, as a
// thread limit (EAGAIN) does, without exhausting the machine's threads.
#pragma once

#include <pthread.h>

namespace orvik::engine {

// Starts a worker thread as the pool normally does, unless
// fail_thread_starts(n) asked for the next n starts to fail with EAGAIN.
int start_thread_or_fail(pthread_t* thread, void* (*routine)(void*), void* arg);

void fail_thread_starts(int starts) noexcept;

}  // namespace orvik::engine
