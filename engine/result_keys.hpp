// The str objects of result dicts' keys, interned once and kept for the life
// of the process, so that a dict costs its values alone.
#pragma once

#include <Python.h>

#include <span>

#include "engine/elementwise.hpp"

namespace orvik::engine {

// The interned str of `name`, a string with static storage (a table's
// literal); borrowed.  Needs the interpreter lock.  Throws PythonError.
PyObject* result_key(const char* name);

// The keys of a table's fields, in order, as a tuple made on first use and
// kept (borrowed); `fields` must have static storage, as a row's have.
PyObject* result_keys(std::span<const Field> fields);

}  // namespace orvik::engine
