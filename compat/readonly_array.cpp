#include "compat/readonly_array.hpp"

#include <string>

#include "compat/borrow_registry.hpp"
#include "compat/numpy_access.hpp"
#include "runtime/failure.hpp"
#include "compat/contract.hpp"

namespace orvik::compat {

using interop::PyRef;
using interop::PythonError;
using interop::throw_python_error;
namespace {

bool is_float64(numpy::Api api, PyObject* array) {
    PyRef float64 = PyRef::steal(api.descr_from_type(numpy::NPY_DOUBLE));
    if (!float64) throw_python_error();
    PyObject* descr = numpy::fields(array).descr;
    return descr == float64.get() || api.equiv_types(descr, float64.get());
}

}  // namespace

PyReadonlyArray PyReadonlyArray::accept(PyObject* obj) {
    const numpy::Api api = numpy_api();
    if (!api.is_array(obj) || numpy::fields(obj).nd != 1 || !is_float64(api, obj)) {
        throw PythonError::type_conversion(obj, contract::array_target);
    }
    PyRef array = PyRef::borrow(obj);
    const int code = acquire_shared_borrow(array.get());
    if (code == BORROW_CONFLICT) {
        array.reset();
        fail(contract::already_borrowed);
    }
    if (code != BORROW_DONE) {
        fail("Unexpected return code " + std::to_string(code) + " from borrow checking API");
    }
    return PyReadonlyArray(std::move(array));
}

PyReadonlyArray::~PyReadonlyArray() {
    if (array_) release_shared_borrow(array_.get());
}

std::optional<ElementView> PyReadonlyArray::as_slice() const noexcept {
    const numpy::ArrayFields& f = numpy::fields(array_.get());
    if ((f.flags & (numpy::NPY_ARRAY_C_CONTIGUOUS | numpy::NPY_ARRAY_F_CONTIGUOUS)) == 0) {
        return std::nullopt;
    }
    std::size_t len = 1;
    for (int axis = 0; axis < f.nd; ++axis) len *= static_cast<std::size_t>(f.dimensions[axis]);
    return ElementView{reinterpret_cast<const unsigned char*>(f.data), len};
}

}  // namespace orvik::compat
