// Gives the interpreter lock back for the length of a scope.
#pragma once

#include <Python.h>

namespace orvik::interop {

// Construct with the lock held; the destructor takes it back.  Nothing in the
// scope may touch Python objects.  Declare it after anything whose release
// needs the lock, so that it is destroyed first.
class WithoutInterpreterLock {
public:
    WithoutInterpreterLock() noexcept;
    // If the interpreter is shutting down, the lock is never given back: the
    // thread waits here until the process ends (see the definition).
    ~WithoutInterpreterLock();
    WithoutInterpreterLock(const WithoutInterpreterLock&) = delete;
    WithoutInterpreterLock& operator=(const WithoutInterpreterLock&) = delete;

private:
    PyThreadState* state_;
};

}  // namespace orvik::interop
