#include "engine/numpy_access.hpp"

#include "interop/errors.hpp"
#include "interop/py_ref.hpp"

namespace orvik::engine {

using interop::PyRef;
using interop::PythonError;

numpy::Api numpy_api() {
    try {
        return numpy::api();
    } catch (PythonError& error) {
        PyRef cause = std::move(error).into_exception();
        if (!cause || !PyErr_GivenExceptionMatches(cause.get(), PyExc_ImportError)) {
            throw PythonError::fetched(std::move(cause));
        }
#if PY_VERSION_HEX >= 0x030D0000
        const bool finalizing = Py_IsFinalizing();
#else
        const bool finalizing = _Py_IsFinalizing();
#endif
        if (finalizing) {
            PyErr_SetString(PyExc_RuntimeError, "orvik: the interpreter is shutting down, so NumPy cannot be imported");
        } else {
            PyRef args = PyRef::steal(Py_BuildValue("(s)", "orvik's array functions need NumPy: pip install 'orvik[numpy]'"));
            if (!args) interop::throw_python_error();
            PyRef missing = PyRef::steal(PyObject_Call(PyExc_ModuleNotFoundError, args.get(), nullptr));
            if (!missing) interop::throw_python_error();
            PyRef name = PyRef::steal(PyUnicode_FromString("numpy"));
            if (!name || PyObject_SetAttrString(missing.get(), "name", name.get()) < 0) interop::throw_python_error();
            PyErr_SetRaisedException(missing.release());
        }
        PyRef raised = PyRef::steal(PyErr_GetRaisedException());
        PyException_SetCause(raised.get(), cause.release());
        throw PythonError::fetched(std::move(raised));
    }
}

}  // namespace orvik::engine
