// Texts and names that orvik._orvik owes to its compatibility contract:
// programs and other extension modules match on them, so they are kept
// exactly as they are, whatever they say about how this module is built.
// Docstrings are in each submodule's registration table.
#pragma once

namespace orvik::contract {

// The top module.
inline constexpr const char module_name[] = "_orvik";
inline constexpr const char module_doc[] = "The native C++ module exposed as orvik._orvik";
inline constexpr const char subinterpreter_message[] =
    "PyO3 modules do not yet support subinterpreters, see "
    "https://github.com/PyO3/pyo3/issues/576";

// The exception an internal failure raises.
inline constexpr const char panic_exception_name[] = "pyo3_runtime.PanicException";
inline constexpr const char panic_exception_doc[] =
    "\nThe exception raised when native code called from Python panics.\n\n"
    "Like SystemExit, this exception is derived from BaseException so that\n"
    "it will typically propagate all the way through the stack and cause the\n"
    "Python interpreter to exit.\n";
inline constexpr const char panic_without_message[] = "native code panicked without a message";

// The pool that cannot be created: this prefix, then the build error.
inline constexpr const char pool_not_initialized[] = "The global thread pool has not been initialized.";

// Array arguments and results (NumPy access).
inline constexpr const char array_target[] = "PyArray<T, D>";
inline constexpr const char capsule_target[] = "PyCapsule";
inline constexpr const char not_contiguous[] = "The given array is not contiguous";
inline constexpr const char already_borrowed[] =
    "called `Result::unwrap()` on an `Err` value: AlreadyBorrowed";
inline constexpr const char numpy_api_failure[] = "Failed to access NumPy array API capsule";
inline constexpr const char borrow_registry_failure[] = "Interal borrow checking API error";
// The attribute of NumPy's multiarray module holding the shared borrow
// registry, and the registry capsule's name.
inline constexpr const char borrow_registry_attribute[] = "_orvik_borrow_checking_api";

}  // namespace orvik::contract
