#include "interop/without_interpreter_lock.hpp"

#include <unistd.h>

namespace orvik::interop {

WithoutInterpreterLock::WithoutInterpreterLock() noexcept : state_(PyEval_SaveThread()) {}

WithoutInterpreterLock::~WithoutInterpreterLock() {
    try {
        PyEval_RestoreThread(state_);
    } catch (...) {
        // Before Python 3.14, a thread (a daemon thread, say) that asks for
        // the lock once the interpreter is finalizing is ended with
        // pthread_exit, whose forced unwinding is the only thing that can
        // come out of this C call.  Unwinding further would run the caller's
        // destructors, which release Python buffers without the lock, and
        // reach noexcept frames, where it aborts the whole process.  The
        // thread must never run Python again, so it waits here until the
        // process exits, which is what CPython itself does with such threads
        // from 3.14 on.  (The handler never ends, so the unwinding is not
        // swallowed.)
        for (;;) pause();
    }
}

}  // namespace orvik::interop
