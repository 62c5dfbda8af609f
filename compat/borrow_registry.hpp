// The borrow registry that extension modules share through NumPy's
// multiarray module: a capsule holding a record of four C functions over one
// process-wide borrow table.  Whoever installs it first serves everyone who
// uses the same attribute name and record layout.
#pragma once

#include <Python.h>

#include <cstddef>
#include <cstdint>

namespace orvik::compat {

// The record the capsule points to, laid out as a C structure.
struct BorrowCheckingApi {
    std::uint64_t version;
    void* state;
    int (*acquire_shared)(void* state, PyObject* array);
    int (*acquire_mut_shared)(void* state, PyObject* array);
    void (*release_shared)(void* state, PyObject* array);
    void (*release_mut_shared)(void* state, PyObject* array);
};
static_assert(offsetof(BorrowCheckingApi, state) == 8);
static_assert(offsetof(BorrowCheckingApi, acquire_shared) == 16);
static_assert(offsetof(BorrowCheckingApi, acquire_mut_shared) == 24);
static_assert(offsetof(BorrowCheckingApi, release_shared) == 32);
static_assert(offsetof(BorrowCheckingApi, release_mut_shared) == 40);

// Codes of the record's acquire functions.
inline constexpr int BORROW_DONE = 0;
inline constexpr int BORROW_CONFLICT = -1;
inline constexpr int BORROW_NOT_WRITEABLE = -2;

// Registers a shared borrow of an accepted array and returns the registry's
// code.  Finds or installs the registry on first use; when that fails this is
// an internal failure ("Interal borrow checking API error: ...").
int acquire_shared_borrow(PyObject* array);

// Ends a shared borrow that acquire_shared_borrow registered.
void release_shared_borrow(PyObject* array) noexcept;

}  // namespace orvik::compat
