#include "engine/array_run.hpp"

#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

#include "interop/errors.hpp"
#include "interop/without_interpreter_lock.hpp"
#include "runtime/failure.hpp"
#include "runtime/thread_count.hpp"
#include "runtime/process_pool.hpp"
#include "engine/test_hooks.hpp"
#include "engine/thread_limit.hpp"

namespace orvik::engine {
namespace {

using interop::PyRef;
using interop::PythonError;

// Below this much work, waking the pool (some 10-20 us) or releasing the
// interpreter lock costs more than it saves.
constexpr double small_job_ns = 20e3;
// Pieces of about this many nanoseconds: short enough that a cancelled call
// stops well within a tenth of a second, long enough that scheduling costs
// nothing.
constexpr double piece_ns = 5e6;

bool on_main_thread() noexcept { return syscall(SYS_gettid) == getpid(); }

std::atomic<bool> warned_about_pool{false};

// The package's pool, or null when its threads cannot be started now: the
// call then computes on the calling thread, and a later call tries again.
// Says so once per process.
runtime::WorkerPool* package_pool() {
    try {
        return &runtime::process_pool({runtime::pool_size_variable,
                                       runtime::pool_size_fallback_variable,
                                       /*retry_after_failure=*/true, start_thread_or_fail});
    } catch (const runtime::PoolUnavailable& unavailable) {
        if (!warned_about_pool.exchange(true)) {
            const std::string message = std::string("orvik: cannot start worker threads (") +
                                        std::strerror(unavailable.os_error) +
                                        "); computing on the calling thread until they can start";
            if (PyErr_WarnEx(PyExc_RuntimeWarning, message.c_str(), 1) < 0) interop::throw_python_error();
        }
        return nullptr;
    }
}

void size_pieces(runtime::MapOptions& options, double ns_per_element) noexcept {
    options.max_piece = static_cast<std::size_t>(std::max(1.0, piece_ns / ns_per_element));
    options.inline_below = static_cast<std::size_t>(std::max(2.0, small_job_ns / ns_per_element));
}

// A RangeWork of the core as a PieceBody of the runtime.
class RangePieces final : public runtime::PieceBody {
public:
    explicit RangePieces(const core::RangeWork& work) : work_(work) {}
    void run(std::size_t begin, std::size_t end) const override { work_.run(begin, end); }

private:
    const core::RangeWork& work_;
};

}  // namespace

bool runs_unlocked(std::size_t n, double ns_per_element) noexcept {
    return static_cast<double>(n) * ns_per_element >= small_job_ns;
}

BufferPins::~BufferPins() {
    while (count_ > 0) PyBuffer_Release(&views_[--count_]);
}

void BufferPins::pin(PyObject* array) {
    if (array == nullptr) return;
    if (count_ == views_.size()) fail("more arrays to pin than a call has arguments");
    if (PyObject_GetBuffer(array, &views_[count_], PyBUF_RECORDS_RO) < 0) interop::throw_python_error();
    ++count_;
}

SignalPoll::SignalPoll() noexcept : main_thread_(on_main_thread()) {}

bool SignalPoll::cancel_requested() {
    if (!main_thread_) return false;
    const PyGILState_STATE state = PyGILState_Ensure();
    const bool raised = PyErr_CheckSignals() < 0;
    if (raised) error_ = PyRef::steal(PyErr_GetRaisedException());
    PyGILState_Release(state);
    return raised;
}

void SignalPoll::raise_caught() {
    if (!error_) throw PythonError::pending(PyExc_SystemError, "a call was cancelled without a signal");
    throw PythonError::fetched(std::move(error_));
}

CallRunner::CallRunner() {
    options_.max_workers = thread_limit();
    pool_ = options_.max_workers == 1 ? nullptr : package_pool();
    options_.cancel = &token_;
}

void CallRunner::check() {
    if (token_.stop_requested()) throw runtime::Cancelled{};
}

void CallRunner::map(std::size_t n, const runtime::PieceBody& body, double ns_per_element) {
    runtime::MapOptions options = options_;
    size_pieces(options, ns_per_element);
    runtime::parallel_for(pool_, n, body, options);
}

void CallRunner::for_each(std::size_t n, double ns_per_index, const core::RangeWork& work) {
    map(n, RangePieces(work), ns_per_index);
}



void run_pieces(std::size_t n, const runtime::PieceBody& body, double ns_per_element) {
    if (n == 0) return;
    if (!runs_unlocked(n, ns_per_element)) {
        runtime::MapOptions options;
        options.max_workers = thread_limit();
        size_pieces(options, ns_per_element);
        runtime::parallel_for(nullptr, n, body, options);
        return;
    }
    // The workers touch only the buffers, which stay exported (so alive and
    // unresizable) until the caller releases them, with the lock.
    run_interruptible([&](CallRunner& runner) { runner.map(n, body, ns_per_element); });
}

}  // namespace orvik::engine
