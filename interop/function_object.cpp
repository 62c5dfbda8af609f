#include "interop/function_object.hpp"

#include "interop/errors.hpp"

namespace orvik::interop {

PyRef make_function(const FunctionRecord& record, PyObject* self, PyObject* module_name) {
    // The function object refers to its method definition for its whole
    // life, and functions live as long as the process: never freed.
    auto* def = new PyMethodDef{record.name, record.entry, record.flags, record.doc};
    PyRef function = PyRef::steal(PyCMethod_New(def, self, module_name, nullptr));
    if (!function) throw_python_error();
    return function;
}

}  // namespace orvik::interop
