#include "interop/binding.hpp"

#include <string>

namespace orvik::interop {
namespace {

std::string function_label(const FunctionDescription& desc) {
    return std::string(desc.name) + "()";
}

// 'a' / 'a' and 'b' / 'a', 'b', and 'c'
std::string name_list(std::span<const std::string_view> names) {
    std::string out;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            if (names.size() > 2) out += ',';
            out += (i + 1 == names.size()) ? " and " : " ";
        }
        out += '\'';
        out += names[i];
        out += '\'';
    }
    return out;
}

PythonError type_error(std::string message) {
    return PythonError::pending(PyExc_TypeError, std::move(message));
}

PythonError too_many_positional(const FunctionDescription& desc, Py_ssize_t nargs) {
    const std::string takes = desc.optional.empty() ? std::to_string(desc.params.size())
                                                    : "from " + std::to_string(desc.params.size()) + " to " +
                                                          std::to_string(desc.positional_count());
    return type_error(function_label(desc) + " takes " + takes + " positional arguments but " +
                      std::to_string(nargs) + (nargs == 1 ? " was" : " were") + " given");
}

PythonError missing_arguments(const FunctionDescription& desc, PyObject* const* slots) {
    std::string_view missing[16];
    std::size_t count = 0;
    for (std::size_t i = 0; i < desc.params.size() && count < std::size(missing); ++i) {
        if (slots[i] == nullptr) missing[count++] = desc.params[i];
    }
    return type_error(function_label(desc) + " missing " + std::to_string(count) +
                      " required positional " + (count == 1 ? "argument" : "arguments") + ": " +
                      name_list({missing, count}));
}

std::string_view parameter_name(const FunctionDescription& desc, std::size_t slot) { return desc.slot_name(slot); }

// Index of the parameter named by a keyword, or -1.  Names are compared by
// length and bytes; a name that cannot be encoded matches nothing.

Py_ssize_t find_parameter(const FunctionDescription& desc, PyObject* keyword) {
    Py_ssize_t size = 0;
    const char* text = PyUnicode_AsUTF8AndSize(keyword, &size);
    if (text == nullptr) {
        PyErr_Clear();
        return -1;
    }
    const std::string_view name(text, static_cast<std::size_t>(size));
    for (std::size_t slot = 0; slot < desc.slot_count(); ++slot) {
        if (desc.slot_name(slot) == name) return static_cast<Py_ssize_t>(slot);
    }
    return -1;
}

}  // namespace

void bind_arguments_slow(const FunctionDescription& desc, PyObject* const* args, Py_ssize_t nargs,
                         PyObject* kwnames, PyObject** slots) {
    const auto n = static_cast<Py_ssize_t>(desc.params.size());
    if (nargs > static_cast<Py_ssize_t>(desc.positional_count())) throw too_many_positional(desc, nargs);
    for (Py_ssize_t i = 0; i < nargs; ++i) slots[i] = args[i];

    if (kwnames != nullptr) {
        const Py_ssize_t nkw = PyTuple_GET_SIZE(kwnames);
        for (Py_ssize_t k = 0; k < nkw; ++k) {
            PyObject* keyword = PyTuple_GET_ITEM(kwnames, k);
            const Py_ssize_t slot = find_parameter(desc, keyword);
            if (slot < 0) {
                throw type_error(function_label(desc) + " got an unexpected keyword argument '" +
                                 object_text(keyword) + "'");
            }
            if (slots[slot] != nullptr) {
                throw type_error(function_label(desc) + " got multiple values for argument '" +
                                 std::string(parameter_name(desc, static_cast<std::size_t>(slot))) +
                                 "'");
            }
            slots[slot] = args[nargs + k];
        }
    }

    for (Py_ssize_t i = nargs; i < n; ++i) {
        if (slots[i] == nullptr) throw missing_arguments(desc, slots);
    }
}

PythonError argument_extraction_error(std::string_view param, PythonError error) {
    PyRef first = std::move(error).into_exception();
    if (!first) return fetch_error();
    if (!Py_IS_TYPE(first.get(), reinterpret_cast<PyTypeObject*>(PyExc_TypeError))) {
        return PythonError::fetched(std::move(first));
    }
    const std::string message = "argument '" + std::string(param) + "': " + object_text(first.get());
    PyRef text = PyRef::steal(PyUnicode_DecodeUTF8(message.data(),
                                                   static_cast<Py_ssize_t>(message.size()), "replace"));
    if (!text) return fetch_error();
    // Raised as the interpreter raises any error, so it chains to the
    // exception being handled (its __context__), as a TypeError raised by
    // Python code there would.
    PyErr_SetObject(PyExc_TypeError, text.get());
    PyRef reworded = PyRef::steal(PyErr_GetRaisedException());
    if (!reworded || !PyObject_TypeCheck(reworded.get(), reinterpret_cast<PyTypeObject*>(PyExc_TypeError))) {
        return PythonError::fetched(std::move(reworded));  // MemoryError, say
    }
    // The new error keeps the first one's cause but neither chains to nor
    // keeps the first error itself.
    PyException_SetCause(reworded.get(), PyException_GetCause(first.get()));
    return PythonError::fetched(std::move(reworded));
}

}  // namespace orvik::interop
