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

// A function of index ranges as the body of a map.
template <class Fn>
class RangePieces final : public runtime::PieceBody {
public:
    explicit RangePieces(const Fn& fn) : fn_(fn) {}
    void run(std::size_t begin, std::size_t end) const override { fn_(begin, end); }

private:
    const Fn& fn_;
};

// Runs fn(begin, end) over ranges of [0, n), as run_pieces does.
template <class Fn>
void run_ranges(std::size_t n, const Fn& fn, double ns_per_element) {
    run_pieces(n, RangePieces<Fn>(fn), ns_per_element);
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
