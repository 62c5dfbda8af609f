#include "engine/broadcast.hpp"

#include "core/strided.hpp"
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

Shape point_set_shape(std::string_view function, std::span<const ArrayArgument> pair,
                      std::span<const std::string_view> params) {
    const std::string prefix = std::string(function) + "(): ";
    const std::string lat = std::string(params[0]), lon = std::string(params[1]);
    Shape both;
    try {
        both = broadcast_shape(function, pair, params);
    } catch (const interop::PythonError&) {
        throw interop::PythonError::pending(PyExc_ValueError, prefix + lat + " " + shape_of(pair[0]).text() + " and " +
                                                                  lon + " " + shape_of(pair[1]).text() +
                                                                  " cannot be broadcast together");
    }
    if (both.ndim > 1) {
        throw interop::PythonError::pending(PyExc_ValueError, prefix + lat + " and " + lon +
                                                                  " must be one-dimensional (or numbers), got shapes " +
                                                                  shape_of(pair[0]).text() + " and " +
                                                                  shape_of(pair[1]).text());
    }
    if (both.ndim == 0) both = Shape{1, {1}};
    return both;
}

std::vector<double> contiguous_values(const ArrayArgument& arg, const Shape& shape) {
    runtime::StridedLayout<1> layout;
    layout.ndim = shape.ndim;
    layout.data[0] = const_cast<char*>(arg.data());
    std::copy(shape.extent.begin(), shape.extent.begin() + shape.ndim, layout.shape.begin());
    strides_over(arg, shape, layout.strides[0].data());
    std::vector<double> values(shape.size());
    std::size_t at = 0;
    runtime::for_each_stretch(layout, 0, values.size(), [&](const runtime::Stretch<1>& s) {
        const core::StridedIn column{s.at[0], s.step[0]};
        for (std::size_t i = 0; i < s.count; ++i) values[at++] = column[i];
    });
    return values;
}

void strides_over(const ArrayArgument& arg, const Shape& shape, std::ptrdiff_t* strides) noexcept {
    const int offset = shape.ndim - arg.ndim();
    for (int axis = 0; axis < shape.ndim; ++axis) {
        const int own = axis - offset;
        strides[axis] = own < 0 || arg.extent(own) != shape.extent[axis] ? 0 : arg.stride(own);
    }
}

}  // namespace orvik::engine
