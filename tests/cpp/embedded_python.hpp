// One embedded interpreter for every test in the binary that needs Python,
// and small helpers to run Python code against objects made in C++.
#pragma once

#include <Python.h>
#include <gtest/gtest.h>

#include <string>

#include "interop/py_ref.hpp"

namespace orvik::test_support {

// Starts the interpreter on first use.  It is never finalised: objects made
// by the code under test may outlive any one test.  The calling (main)
// thread keeps the interpreter lock.
inline void ensure_interpreter() {
    if (Py_IsInitialized()) return;
    PyConfig config;
    PyConfig_InitIsolatedConfig(&config);
    config.site_import = 0;  // nothing from site-packages is needed
    const PyStatus status = Py_InitializeFromConfig(&config);
    PyConfig_Clear(&config);
    if (PyStatus_Exception(status)) Py_ExitStatusException(status);
}

// Runs `code` (statements) in a new namespace in which `name` is bound to
// `object`; returns the namespace.  A Python error fails the test and is
// printed.
inline interop::PyRef run_python(const std::string& code, const char* name, PyObject* object) {
    interop::PyRef ns = interop::PyRef::steal(PyDict_New());
    PyDict_SetItemString(ns.get(), "__builtins__", PyEval_GetBuiltins());
    PyDict_SetItemString(ns.get(), name, object);
    interop::PyRef result =
        interop::PyRef::steal(PyRun_String(code.c_str(), Py_file_input, ns.get(), ns.get()));
    if (!result) {
        PyErr_Print();
        ADD_FAILURE() << "Python code failed:\n" << code;
    }
    return ns;
}

// str() of a variable of the namespace, or "<unset>".
inline std::string text_of(PyObject* ns, const char* variable) {
    PyObject* value = PyDict_GetItemString(ns, variable);  // borrowed
    if (value == nullptr) return "<unset>";
    interop::PyRef text = interop::PyRef::steal(PyObject_Str(value));
    const char* utf8 = text ? PyUnicode_AsUTF8(text.get()) : nullptr;
    if (utf8 == nullptr) {
        PyErr_Clear();
        return "<unprintable>";
    }
    return utf8;
}

}  // namespace orvik::test_support
