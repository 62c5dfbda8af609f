#include "interop/errors.hpp"

#include <atomic>
#include <cstdio>
#include <new>

#include "runtime/failure.hpp"

namespace orvik::interop {
namespace {

void append_utf8(std::string& out, Py_UCS4 c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// UTF-8 of a str, each lone surrogate replaced by U+FFFD.
std::string lossy_utf8(PyObject* str) {
    Py_ssize_t size = 0;
    if (const char* utf8 = PyUnicode_AsUTF8AndSize(str, &size)) {
        return std::string(utf8, static_cast<size_t>(size));
    }
    PyErr_Clear();
    std::string out;
    const Py_ssize_t length = PyUnicode_GetLength(str);
    for (Py_ssize_t i = 0; i < length; ++i) {
        Py_UCS4 c = PyUnicode_ReadChar(str, i);
        append_utf8(out, (c >= 0xD800 && c <= 0xDFFF) ? 0xFFFD : c);
    }
    return out;
}

std::string repr_text(PyObject* obj) {
    if (PyRef r = PyRef::steal(PyObject_Repr(obj))) return lossy_utf8(r.get());
    PyErr_Clear();
    return "<unrepresentable object>";
}

std::atomic<FetchedExceptionHook> fetched_exception_hook{nullptr};

}  // namespace

void PythonError::raise() && noexcept {
    try {
        switch (kind_) {
        case Kind::fetched:
            PyErr_SetRaisedException(obj_.release());
            return;
        case Kind::pending:
            break;
        case Kind::type_conversion:
            type_ = PyExc_TypeError;
            // Appended piecewise: GCC 12 misreads a chained '+' here (-Wrestrict).
            std::string message = "'";
            message.append(type_qualname(obj_.get()));
            message.append("' object cannot be converted to '");
            message.append(text_);
            message.append("'");
            text_ = std::move(message);
            break;
        }
        // If the message cannot be made, the MemoryError that leaves set is
        // the one exception the caller sees.
        PyRef message = PyRef::steal(
            PyUnicode_DecodeUTF8(text_.data(), static_cast<Py_ssize_t>(text_.size()), "replace"));
        if (message) PyErr_SetObject(type_, message.get());
    } catch (...) {
        PyErr_NoMemory();  // only std::string can throw here, and only bad_alloc
    }
}

PyRef PythonError::into_exception() && {
    if (kind_ == Kind::fetched) return std::move(obj_);
    std::move(*this).raise();
    return PyRef::steal(PyErr_GetRaisedException());
}

PythonError fetch_error() {
    PyRef exc = PyRef::steal(PyErr_GetRaisedException());
    if (!exc) {
        return PythonError::pending(PyExc_SystemError, "attempted to fetch exception but none was set");
    }
    if (FetchedExceptionHook hook = fetched_exception_hook.load(std::memory_order_acquire)) hook(exc.get());
    return PythonError::fetched(std::move(exc));
}

void set_fetched_exception_hook(FetchedExceptionHook hook) noexcept {
    fetched_exception_hook.store(hook, std::memory_order_release);
}

std::string text_or(PyObject* obj, const char* fallback) {
    if (PyRef text = PyRef::steal(PyObject_Str(obj))) return lossy_utf8(text.get());
    PyErr_Clear();
    return fallback;
}

void throw_python_error() { throw fetch_error(); }

std::string object_text(PyObject* obj) {
    if (PyRef text = PyRef::steal(PyObject_Str(obj))) return lossy_utf8(text.get());
    PyErr_WriteUnraisable(obj);
    if (PyRef name = PyRef::steal(PyType_GetName(Py_TYPE(obj)))) {
        if (const char* utf8 = PyUnicode_AsUTF8(name.get())) {
            return std::string("<unprintable ") + utf8 + " object>";
        }
    }
    PyErr_Clear();
    return "<unprintable object>";
}

std::string type_qualname(PyObject* obj) {
    if (PyRef name = PyRef::steal(PyType_GetQualName(Py_TYPE(obj)))) {
        Py_ssize_t size = 0;
        if (const char* utf8 = PyUnicode_AsUTF8AndSize(name.get(), &size)) {
            return std::string(utf8, static_cast<size_t>(size));
        }
    }
    PyErr_Clear();
    return "<failed to extract type name>";
}

std::string debug_form(PyObject* exception) {
    if (exception == nullptr) return "PyErr { type: None, value: None, traceback: None }";
    std::string out = "PyErr { type: " + repr_text(reinterpret_cast<PyObject*>(Py_TYPE(exception))) +
                      ", value: " + repr_text(exception) + ", traceback: ";
    PyRef tb = PyRef::steal(PyException_GetTraceback(exception));
    out += tb ? "Some(" + repr_text(tb.get()) + ")" : std::string("None");
    return out + " }";
}


}  // namespace orvik::interop
