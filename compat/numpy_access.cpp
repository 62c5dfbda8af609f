#include "compat/numpy_access.hpp"

#include <string>

#include "compat/contract.hpp"
#include "interop/errors.hpp"
#include "runtime/failure.hpp"

namespace orvik::compat {

numpy::Api numpy_api() {
    try {
        return numpy::api();
    } catch (interop::PythonError& error) {
        interop::PyRef exception = std::move(error).into_exception();
        fail(std::string(contract::numpy_api_failure) + ": " + interop::debug_form(exception.get()));
    }
}

}  // namespace orvik::compat
