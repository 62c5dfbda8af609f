#include "interop/boundary.hpp"

namespace orvik::interop {

void raise_panic(const std::optional<std::string>& message) noexcept {
    try {
        PyObject* type = panic_exception_type();
        if (type == nullptr) abort_at_boundary();
        const std::string& text =
            message ? *message : std::string("native code panicked without a message");
        PyRef value = PyRef::steal(
            PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "replace"));
        if (!value) abort_at_boundary();
        PyErr_SetObject(type, value.get());
    } catch (...) {
        abort_at_boundary();
    }
}

}  // namespace orvik::interop
