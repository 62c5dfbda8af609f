// Running an array kernel of the package over buffers of one shape: small
// jobs on the calling thread with the interpreter lock held, larger ones with
// the lock released, on the worker pool (or on the calling thread when the
// call is limited to one thread or the pool cannot start), stopping soon
// after Ctrl-C.
#pragma once

#include <Python.h>

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

#include "core/work_runner.hpp"
#include "interop/py_ref.hpp"
#include "interop/without_interpreter_lock.hpp"
#include "runtime/cancel_token.hpp"
#include "runtime/failure.hpp"
#include "runtime/parallel_for.hpp"
#include "runtime/strided_map.hpp"

namespace orvik::engine {

// Whether a map of n elements at `ns_per_element` runs without the
// interpreter lock (on the pool); smaller ones keep it.
bool runs_unlocked(std::size_t n, double ns_per_element) noexcept;

// Buffer exports of the arrays a map reads without the interpreter lock:
// while one is held, no other thread can resize or free its array.
class BufferPins {
public:
    BufferPins() = default;
    BufferPins(const BufferPins&) = delete;
    BufferPins& operator=(const BufferPins&) = delete;
    // Releases them; needs the interpreter lock.
    ~BufferPins();
    // Exports `array`'s buffer (null: nothing to pin).  Throws PythonError.
    void pin(PyObject* array);

private:
    std::array<Py_buffer, 8> views_{};
    std::size_t count_ = 0;
};

// Runs `body` over [0, n).  `ns_per_element` is the kernel's rough cost: it
// decides what counts as small and how long pieces may be.
void run_pieces(std::size_t n, const runtime::PieceBody& body, double ns_per_element);

// Looks for signals for a call that runs without the interpreter lock.
// Python handles signals on the main thread only, so calls on other threads
// are not interrupted; they run to the end.
class SignalPoll final : public runtime::CancelPoll {
public:
    SignalPoll() noexcept;
    bool cancel_requested() override;

    // The exception a signal handler raised (KeyboardInterrupt, as a rule);
    // needs the interpreter lock.
    [[noreturn]] void raise_caught();

private:
    const bool main_thread_;
    interop::PyRef error_;
};

// Work of one call, done while the calling thread has let go of the
// interpreter lock: maps run on the package's pool (or on the calling thread
// when the call is limited to one thread or the pool cannot start), and
// check() throws runtime::Cancelled, on any thread, soon after Ctrl-C.  Made
// on the calling thread with the lock held (it may warn that the pool cannot
// start); used there and by the pieces while the lock is released.
class CallRunner final : public core::WorkRunner {
public:
    CallRunner();
    CallRunner(const CallRunner&) = delete;
    CallRunner& operator=(const CallRunner&) = delete;

    void check() override;
    void for_each(std::size_t n, double ns_per_index, const core::RangeWork& work) override;
    // for_each for a piece body of the runtime.
    void map(std::size_t n, const runtime::PieceBody& body, double ns_per_element);

    // After Cancelled, with the lock held again: raises what the signal
    // handler raised.
    [[noreturn]] void raise_caught() { poll_.raise_caught(); }

private:
    runtime::MapOptions options_;
    runtime::WorkerPool* pool_;
    SignalPoll poll_;
    runtime::CancelToken token_{&poll_};
};

// Runs work(runner) with the interpreter lock released; if Ctrl-C stops it,
// raises KeyboardInterrupt (or whatever the signal handler raised) here.
template <class Work>
void run_interruptible(Work&& work) {
    CallRunner runner;
    bool cancelled = false;
    {
        interop::WithoutInterpreterLock unlocked;
        try {
            work(runner);
        } catch (const runtime::Cancelled&) {
            cancelled = true;
        }
    }
    if (cancelled) runner.raise_caught();
}

// run_pieces for a body whose elements may each run long: make_body(stop)
// makes one that asks `stop` inside its pieces (null for a small job).
template <class MakeBody>
void run_checked_pieces(std::size_t n, double ns_per_element, const MakeBody& make_body) {
    if (!runs_unlocked(n, ns_per_element)) {
        run_pieces(n, make_body(nullptr), ns_per_element);
        return;
    }
    run_interruptible([&](CallRunner& runner) { runner.map(n, make_body(&runner), ns_per_element); });
}

// Runs `stretch_fn` over every element of `layout`.
template <std::size_t K, class StretchFn>
void run_strided(runtime::StridedLayout<K> layout, const StretchFn& stretch_fn,
                 double ns_per_element) {
    runtime::collapse_axes(layout);
    run_pieces(layout.size(), runtime::StridedPieces<K, StretchFn>(layout, stretch_fn),
               ns_per_element);
}

}  // namespace orvik::engine
