#include <string>
#include <string_view>

#include "interop/binding.hpp"
#include "interop/boundary.hpp"
#include "src/export/functions.hpp"

namespace orvik::exported {
namespace {

using interop::ErrorValue;
using interop::Result;

constexpr std::string_view rebind_params[] = {"function", "module"};
constexpr interop::FunctionDescription rebind_desc{"rebind", rebind_params};

Result<PyObject*> rebind_function(PyObject* function, PyObject* module_name) {
    if (!PyCFunction_Check(function)) {
        return ErrorValue::pending(PyExc_TypeError, "rebind() expects a builtin function, not '" +
                                                        interop::type_qualname(function) + "'");
    }
    if (!PyUnicode_Check(module_name)) {
        return ErrorValue::pending(PyExc_TypeError, "rebind() expects the module name as str, not '" +
                                                        interop::type_qualname(module_name) + "'");
    }
    // The method definition is shared, not copied: the functions of
    // orvik._orvik keep theirs for the life of the process.
    auto* native = reinterpret_cast<PyCFunctionObject*>(function);
    PyTypeObject* defining_class = (native->m_ml->ml_flags & METH_METHOD)
                                       ? PyCFunction_GET_CLASS(function)
                                       : nullptr;
    PyObject* copy = PyCMethod_New(native->m_ml, native->m_self, module_name, defining_class);
    if (copy == nullptr) return interop::fetch_error();
    return copy;
}

}  // namespace

PyObject* rebind(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) noexcept {
    return interop::boundary_guard([&]() -> Result<PyObject*> {
        PyObject* slots[2] = {};
        if (auto error = interop::extract_arguments_fastcall(rebind_desc, args, nargs, kwnames, slots)) {
            return std::move(*error);
        }
        return rebind_function(slots[0], slots[1]);
    });
}

}  // namespace orvik::exported
