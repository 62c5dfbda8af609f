// pandas in, pandas out: the Series among a call's arguments share one index
// (or the call is refused), and results of one element per label come back
// as Series on it.  pandas is never imported here: without it loaded, no
// argument can be a Series.
#pragma once

#include <Python.h>

#include <string_view>

#include "interop/py_ref.hpp"

namespace orvik::engine {

// The index of `obj` if it is a pandas Series, else null.
interop::PyRef series_index_of(PyObject* obj);

class SeriesIndex {
public:
    // Takes the index of one argument (null: not a Series); ValueError when
    // it differs from the first one taken.
    void add(std::string_view function, std::string_view param, PyObject* index);

    bool empty() const noexcept { return !index_; }
    // A result array (a NumPy array this module made) as the caller's Series ask: a Series on the index when
    // it is one-dimensional with one element per label, else the array.
    interop::PyRef give(interop::PyRef array) const;

private:
    interop::PyRef index_;
    std::string_view first_param_;
};

}  // namespace orvik::engine
