#include "engine/broadcast.hpp"

#include "interop/errors.hpp"

namespace orvik::engine {

std::size_t Shape::size() const noexcept {
    std::size_t n = 1;
    for (int axis = 0; axis < ndim; ++axis) n *= static_cast<std::size_t>(extent[axis]);
    return n;
}

std::string Shape::text() const {
    std::string out = "(";
    for (int axis = 0; axis < ndim; ++axis) {
        if (axis > 0) out += ", ";
        out += std::to_string(extent[axis]);
    }
    if (ndim == 1) out += ",";
    return out + ")";
}

Shape shape_of(const ArrayArgument& arg) noexcept {
    Shape shape;
    shape.ndim = arg.ndim();
    for (int axis = 0; axis < shape.ndim; ++axis) shape.extent[axis] = arg.extent(axis);
    return shape;
}

Shape broadcast_shape(std::string_view function, std::span<const ArrayArgument> args,
                      std::span<const std::string_view> params) {
    Shape result;
    for (const ArrayArgument& arg : args) result.ndim = std::max(result.ndim, arg.ndim());
    std::fill(result.extent.begin(), result.extent.begin() + result.ndim, Py_intptr_t{1});
    for (const ArrayArgument& arg : args) {
        const int offset = result.ndim - arg.ndim();
        for (int axis = 0; axis < arg.ndim(); ++axis) {
            const Py_intptr_t extent = arg.extent(axis);
            Py_intptr_t& into = result.extent[offset + axis];
            if (extent == into || extent == 1) continue;
            if (into != 1) {
                std::string shapes;
                for (std::size_t k = 0; k < args.size(); ++k) {
                    if (k > 0) shapes += ", ";
                    shapes += std::string(params[k]) + " " + shape_of(args[k]).text();
                }
                throw interop::PythonError::pending(
                    PyExc_ValueError, std::string(function) + "(): shapes cannot be broadcast together: " + shapes);
            }
            into = extent;
        }
    }
    return result;
}

void strides_over(const ArrayArgument& arg, const Shape& shape, std::ptrdiff_t* strides) noexcept {
    const int offset = shape.ndim - arg.ndim();
    for (int axis = 0; axis < shape.ndim; ++axis) {
        const int own = axis - offset;
        strides[axis] = own < 0 || arg.extent(own) != shape.extent[axis] ? 0 : arg.stride(own);
    }
}

}  // namespace orvik::engine
