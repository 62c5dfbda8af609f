// The str objects of result dicts' keys, interned once per name and kept for
// the life of the process, so that a dict costs its values alone.
#pragma once

#include <Python.h>

namespace orvik::engine {

// The interned str of `name`, a string with static storage (a table's
// literal); borrowed.  Needs the interpreter lock.  Throws PythonError.
PyObject* result_key(const char* name);

}  // namespace orvik::engine
