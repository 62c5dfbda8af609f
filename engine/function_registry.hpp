// The package's functions as the module offers them: one builtin function
// per table row, named and documented from the row, with the package module
// as its __module__ (where pickle finds it); and the tables described for
// the stub generator and the tests.
#pragma once

#include <Python.h>

namespace orvik::engine {

// Adds every row's function to the module, as _functions[package module
// name][function name].  Throws PythonError.
void add_package_functions(PyObject* module);

// _function_table(): a list of dicts, one per row, in table order: module,
// name, params, keyword_only ((name, default) pairs), form, fields, columns
// ((name, unit) pairs), numbers_first, layout, doc.
PyObject* describe_function_tables(PyObject* module, PyObject* unused);

}  // namespace orvik::engine
