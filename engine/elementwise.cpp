// One dispatcher for every elementwise function.  A call binds its
// arguments, then either computes numbers directly or converts the
// array-likes once (engine/array_argument), broadcasts them as stride-0
// views, allocates the outputs, and maps the kernel over every element on the
// worker pool; results come back as floats for numbers, Series for Series,
// arrays otherwise.
#include "engine/elementwise.hpp"

#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/array_argument.hpp"
#include "engine/array_run.hpp"
#include "engine/broadcast.hpp"
#include "engine/ellipsoid.hpp"
#include "engine/numpy_access.hpp"
#include "engine/pandas_series.hpp"
#include "engine/result_keys.hpp"
#include "interop/arguments.hpp"
#include "interop/binding.hpp"
#include "interop/boundary.hpp"
#include "interop/errors.hpp"
#include "interop/results.hpp"

namespace orvik::engine {
namespace {

using interop::PyRef;
using interop::PythonError;
using interop::throw_python_error;

constexpr std::size_t max_params = 8;
constexpr std::size_t max_columns = core::geodesic_output_columns;
constexpr std::size_t max_fields = 12;
// Inputs, every kernel column, and an echo of every input.
constexpr std::size_t max_operands = 2 * max_params + max_columns;

constexpr std::string_view ellipsoid_only[] = {"ellipsoid"};
constexpr std::string_view radius_only[] = {"radius"};
constexpr std::string_view outputs_and_ellipsoid[] = {"outputs", "ellipsoid"};
constexpr std::string_view outputs_and_radius[] = {"outputs", "radius"};
constexpr std::string_view outputs_ellipsoid_exact[] = {"outputs", "ellipsoid", "exact"};
constexpr std::size_t max_model_options = 2;

// The keyword-only arguments of a call (null where not given): `outputs=`,
// then the model's, in the order keyword_only() lists them.
struct Options {
    PyObject* outputs = nullptr;
    std::array<PyObject*, max_model_options> model{};
};

// The Earth model of a call, resolved from its `ellipsoid=` (and `exact=`)
// or `radius=`; holds the solver for as long as the call computes.
class ModelOf {
public:
    ModelOf(const Function& f, const Options& options) {
        PyObject* option = options.model[0];
        switch (f.kernel.model) {
            case ModelKind::ellipsoid:
                if (option == nullptr || option == Py_None) {
                    model_.solver = &core::wgs84();  // no look-up for the default
                } else {
                    solver_ = resolve_ellipsoid(f.name, option);
                    model_.solver = solver_.get();
                }
                break;
            case ModelKind::sphere:
                model_.radius = resolve_radius(f.name, option);
                break;
            case ModelKind::rhumb:
                rhumb(f, option, options.model[1]);
                break;
            case ModelKind::none:
                break;
        }
        if (f.kernel.prepare != nullptr) f.kernel.prepare(model_);
    }
    const Model& model() const noexcept { return model_; }

private:
    void rhumb([[maybe_unused]] const Function& f, [[maybe_unused]] PyObject* ellipsoid,
               [[maybe_unused]] PyObject* exact) {
#if ORVIK_HAVE_RHUMB
        const bool exactly = exact != nullptr && interop::flag_argument(f.name, "exact", exact);
        if ((ellipsoid == nullptr || ellipsoid == Py_None) && !exactly) {
            model_.rhumb = &core::wgs84_rhumb();  // no look-up for the default
        } else {
            rhumb_ = resolve_rhumb(f.name, ellipsoid, exactly);
            model_.rhumb = rhumb_.get();
        }
#endif
    }

    std::shared_ptr<const core::Geodesic> solver_;
#if ORVIK_HAVE_RHUMB
    std::shared_ptr<const core::Rhumb> rhumb_;
#endif
    Model model_;
};

// The kernel columns that `fields` need.
unsigned mask_of(std::span<const Field> fields) noexcept {
    unsigned mask = 0;
    for (const Field& field : fields) {
        if (field.source == Source::column) mask |= 1u << field.index;
    }
    return mask;
}

// The fields a call gives back: the row's, or for a chosen form those named
// by `outputs=`, in the caller's order.
class Fields {
public:
    Fields(const Function& f, PyObject* outputs) {
        if (f.form != Form::chosen || outputs == nullptr) {
            for (const Field& field : f.fields) add(field);
            return;
        }
        choose(f, outputs);
    }

    std::span<const Field> all() const noexcept { return {fields_.data(), count_}; }
    // The kernel columns they need.
    unsigned mask() const noexcept { return mask_of(all()); }

private:
    void add(const Field& field) { fields_[count_++] = field; }

    void choose(const Function& f, PyObject* outputs) {
        const std::string label = interop::argument_label(f.name, "outputs");
        const auto columns = f.kernel.columns;
        std::string choices;
        for (std::size_t k = 0; k < columns.size(); ++k) {
            choices += (k > 0 ? ", '" : "'") + std::string(columns[k].name) + "'";
        }
        PyRef names = PyRef::borrow(outputs);
        if (PyUnicode_Check(outputs)) {
            names = PyRef::steal(PyTuple_Pack(1, outputs));
            if (!names) throw_python_error();
        } else if (!PyList_Check(outputs) && !PyTuple_Check(outputs)) {
            throw PythonError::pending(PyExc_TypeError, label + " must be a name or a tuple or list of names, not " +
                                                            interop::type_qualname(outputs));
        }
        const PyRef items = PyRef::steal(PySequence_Tuple(names.get()));
        if (!items) throw_python_error();
        const Py_ssize_t n = PyTuple_GET_SIZE(items.get());
        if (n == 0) throw PythonError::pending(PyExc_ValueError, label + " is empty; choose from " + choices);
        for (Py_ssize_t i = 0; i < n; ++i) {
            PyObject* item = PyTuple_GET_ITEM(items.get(), i);
            if (!PyUnicode_Check(item)) {
                throw PythonError::pending(PyExc_TypeError, label + " must be a name or a tuple or list of names; item " +
                                                                std::to_string(i) + " is " +
                                                                interop::repr_text(item) + " (" +
                                                                interop::type_qualname(item) + ")");
            }
        }
        for (Py_ssize_t i = 0; i < n; ++i) {
            PyObject* item = PyTuple_GET_ITEM(items.get(), i);
            const std::string name = interop::text_or(item, "");
            std::size_t k = 0;
            while (k < columns.size() && name != columns[k].name) ++k;
            if (k == columns.size()) {
                throw PythonError::pending(PyExc_ValueError, label + ": unknown output " + interop::repr_text(item) +
                                                                 "; choose from " + choices);
            }
            for (const Field& chosen : all()) {
                if (chosen.index == k) {
                    throw PythonError::pending(PyExc_ValueError, label + " names an output twice: " +
                                                                     interop::repr_text(outputs, 400));
                }
            }
            add({columns[k].name, Source::column, static_cast<unsigned>(k)});
        }
    }

    std::array<Field, max_fields> fields_{};
    std::size_t count_ = 0;
};

// A number argument of the direct path: the interpreter's own conversion,
// its failure naming the parameter.
double number_argument(const Function& f, std::size_t i, PyObject* obj) {
    if (PyFloat_CheckExact(obj)) return PyFloat_AS_DOUBLE(obj);
    try {
        return interop::extract_argument(f.params[i], obj);
    } catch (PythonError& error) {
        PyRef exception = std::move(error).into_exception();
        if (exception && PyErr_GivenExceptionMatches(exception.get(), PyExc_OverflowError)) {
            throw PythonError::pending(PyExc_ValueError, interop::argument_label(f.name, f.params[i]) +
                                                             " is too large for a float: " + interop::repr_text(obj));
        }
        throw PythonError::fetched(std::move(exception));
    }
}

// The values of one element: the kernel run once, on numbers.
struct Element {
    std::array<double, max_params> in{};
    std::array<double, max_columns> out{};

    void compute(const Kernel& kernel, const Model& model, unsigned mask) noexcept {
        // Only the kernel's own columns are set: the arrays are sized for
        // the widest kernel, and clearing them all would cost the functions
        // of one number a few nanoseconds.
        std::array<core::StridedIn, max_params> ins;
        std::array<core::StridedOut, max_columns> outs;
        for (std::size_t k = 0; k < kernel.inputs; ++k) ins[k] = {reinterpret_cast<const char*>(&in[k]), 0};
        for (std::size_t k = 0; k < kernel.columns.size(); ++k) outs[k] = {reinterpret_cast<char*>(&out[k]), 0};
        kernel.run(model, ins.data(), outs.data(), mask, 1);
    }

    double field(const Field& field) const noexcept {
        switch (field.source) {
            case Source::column: return out[field.index];
            case Source::argument: return in[field.index];
            case Source::zero: break;
        }
        return 0.0;
    }
};

// A whole number computed as a double, or -1 for one that is none (NaN, or
// beyond int64: casting those would be undefined).
long long whole_number(double value) noexcept {
    return value >= -0x1p63 && value < 0x1p63 ? static_cast<long long>(value) : -1;
}

// What a field holds: its kernel column's type; echoes and zeros are floats.
Holds holds_of(const Kernel& kernel, const Field& field) noexcept {
    return field.source == Source::column ? kernel.columns[field.index].holds : Holds::float64;
}

// A field's value for numbers in: a float, or a bool or an int.
PyObject* value_object(Holds holds, double value) {
    switch (holds) {
        case Holds::flag: return PyBool_FromLong(value != 0 && value == value);
        case Holds::int64: return PyLong_FromLongLong(whole_number(value));
        case Holds::float64: break;
    }
    return interop::make_float(value);
}

// A field's array as computed (float64, C order) in its own type.
PyRef typed_array(const numpy::Api& api, Holds holds, PyRef values, const Shape& shape) {
    if (holds == Holds::float64) return values;
    PyRef typed = PyRef::steal(api.empty(holds == Holds::flag ? numpy::NPY_BOOL : numpy::NPY_LONGLONG, shape.ndim,
                                         shape.extent.data()));
    if (!typed) throw_python_error();
    const auto* from = reinterpret_cast<const double*>(numpy::fields(values.get()).data);
    char* to = numpy::fields(typed.get()).data;
    const std::size_t n = shape.size();
    if (holds == Holds::flag) {
        for (std::size_t i = 0; i < n; ++i) to[i] = from[i] != 0 && from[i] == from[i];
    } else {
        for (std::size_t i = 0; i < n; ++i) {
            const long long v = whole_number(from[i]);
            std::memcpy(to + i * sizeof v, &v, sizeof v);
        }
    }
    return typed;
}

// The result of a call, in its form, from one object per field.
PyObject* assemble(Form form, std::span<const Field> fields, std::array<PyRef, max_fields>& values) {
    if (form == Form::value) return values[0].release();
    if (form == Form::tuple) {
        PyObject* tuple = PyTuple_New(static_cast<Py_ssize_t>(fields.size()));
        if (tuple == nullptr) throw_python_error();
        for (std::size_t k = 0; k < fields.size(); ++k) {
            PyTuple_SET_ITEM(tuple, static_cast<Py_ssize_t>(k), values[k].release());
        }
        return tuple;
    }
    PyRef dict = PyRef::steal(PyDict_New());
    if (!dict) throw_python_error();
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (PyDict_SetItem(dict.get(), result_key(fields[k].name), values[k].get()) < 0) throw_python_error();
    }
    return dict.release();
}

// The result of numbers: floats.  `fields` are the row's own, except for a
// chosen form.
PyObject* float_result(const Function& f, std::span<const Field> fields, const Element& element) {
    if (f.form == Form::dict) {
        // The row's own fields: their keys are made once.
        PyObject* keys = result_keys(fields);
        PyRef dict = PyRef::steal(PyDict_New());
        if (!dict) throw_python_error();
        for (std::size_t k = 0; k < fields.size(); ++k) {
            PyRef value = PyRef::steal(value_object(holds_of(f.kernel, fields[k]), element.field(fields[k])));
            if (PyDict_SetItem(dict.get(), PyTuple_GET_ITEM(keys, static_cast<Py_ssize_t>(k)), value.get()) < 0) {
                throw_python_error();
            }
        }
        return dict.release();
    }
    std::array<PyRef, max_fields> values;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        values[k] = PyRef::steal(value_object(holds_of(f.kernel, fields[k]), element.field(fields[k])));
    }
    return assemble(f.form, fields, values);
}

// Numbers in: the kernel once, without NumPy.  A function of one value
// costs little more than the call itself.
PyObject* number_call(const Function& f, const std::array<double, max_params>& numbers, const Options& options) {
    if (f.form == Form::chosen) {
        const Fields fields(f, options.outputs);
        const ModelOf model(f, options);
        Element element;
        element.in = numbers;
        element.compute(f.kernel, model.model(), fields.mask());
        return float_result(f, fields.all(), element);
    }
    const ModelOf model(f, options);
    Element element;
    element.in = numbers;
    element.compute(f.kernel, model.model(), mask_of(f.fields));
    if (f.form == Form::value) return value_object(holds_of(f.kernel, f.fields[0]), element.field(f.fields[0]));
    return float_result(f, f.fields, element);
}

// The shape of two point sets' distances, (n, m), with each set's strides
// over it; the sets broadcast to one dimension each.
Shape outer_shape(const Function& f, std::span<const ArrayArgument> args,
                  std::array<std::array<std::ptrdiff_t, runtime::max_dims>, max_params>& strides) {
    Shape result;
    result.ndim = 2;
    for (std::size_t set = 0; set < 2; ++set) {
        const Shape both = point_set_shape(f.name, args.subspan(2 * set, 2), f.params.subspan(2 * set, 2));
        // Latitudes and longitudes are paired by position: Series must share
        // an index.  The result is a matrix, never a Series.
        SeriesIndex pairing;
        for (std::size_t k = 2 * set; k < 2 * set + 2; ++k) pairing.add(f.name, f.params[k], args[k].series_index());
        result.extent[set] = both.extent[0];
        for (std::size_t k = 2 * set; k < 2 * set + 2; ++k) {
            std::ptrdiff_t own[runtime::max_dims] = {};
            strides_over(args[k], both, own);
            strides[k][set] = own[0];
            strides[k][1 - set] = 0;
        }
    }
    return result;
}

// Array-likes in: converted and broadcast once, the outputs allocated here.
PyObject* array_call(const Function& f, PyObject* const* bound, const Options& options) {
    const Fields fields(f, options.outputs);
    const std::size_t n_params = f.params.size();
    std::vector<ArrayArgument> args;
    args.reserve(n_params);
    for (std::size_t i = 0; i < n_params; ++i) args.emplace_back(f.name, f.params[i], bound[i]);

    std::array<std::array<std::ptrdiff_t, runtime::max_dims>, max_params> strides{};
    Shape shape;
    bool numbers = false;
    SeriesIndex series;
    if (f.layout == Layout::outer) {
        shape = outer_shape(f, args, strides);
    } else {
        shape = broadcast_shape(f.name, args, f.params);
        for (std::size_t i = 0; i < n_params; ++i) strides_over(args[i], shape, strides[i].data());
        numbers = true;
        for (const ArrayArgument& arg : args) numbers = numbers && arg.is_number();
        for (std::size_t i = 0; i < n_params; ++i) series.add(f.name, f.params[i], args[i].series_index());
    }
    const ModelOf model(f, options);
    const unsigned mask = fields.mask();

    if (numbers) {
        Element element;
        for (std::size_t i = 0; i < n_params; ++i) std::memcpy(&element.in[i], args[i].data(), sizeof(double));
        element.compute(f.kernel, model.model(), mask);
        return float_result(f, f.form == Form::chosen ? fields.all() : f.fields, element);
    }

    // One new array per field; kernel columns and echoes are operands of
    // the map, fixed zeros are filled here.
    const numpy::Api api = numpy_api();
    const auto all = fields.all();
    std::array<PyRef, max_fields> values;
    runtime::StridedLayout<max_operands> layout;
    layout.ndim = shape.ndim;
    std::copy(shape.extent.begin(), shape.extent.begin() + shape.ndim, layout.shape.begin());
    for (std::size_t i = 0; i < n_params; ++i) {
        layout.data[i] = const_cast<char*>(args[i].data());
        std::copy(strides[i].begin(), strides[i].begin() + shape.ndim, layout.strides[i].begin());
    }
    std::array<std::size_t, max_params> echo_of{};  // operand n_params + max_columns + e echoes argument echo_of[e]
    std::size_t echoes = 0;
    for (std::size_t k = 0; k < all.size(); ++k) {
        values[k] = PyRef::steal(api.empty(numpy::NPY_DOUBLE, shape.ndim, shape.extent.data()));
        if (!values[k]) throw_python_error();
        const numpy::ArrayFields& out = numpy::fields(values[k].get());
        std::size_t operand = 0;
        switch (all[k].source) {
            case Source::zero:
                std::memset(out.data, 0, shape.size() * sizeof(double));
                continue;
            case Source::column:
                operand = n_params + all[k].index;
                break;
            case Source::argument:
                operand = n_params + max_columns + echoes;
                echo_of[echoes++] = all[k].index;
                break;
        }
        layout.data[operand] = out.data;
        std::copy(out.strides, out.strides + shape.ndim, layout.strides[operand].begin());
    }

    const Kernel& kernel = f.kernel;
    const Model& m = model.model();
    const auto stretch = [&](const runtime::Stretch<max_operands>& s) {
        std::array<core::StridedIn, max_params> in{};
        std::array<core::StridedOut, max_columns> out{};
        for (std::size_t k = 0; k < n_params; ++k) in[k] = {s.at[k], s.step[k]};
        for (std::size_t k = 0; k < kernel.columns.size(); ++k) out[k] = {s.at[n_params + k], s.step[n_params + k]};
        if (mask != 0) kernel.run(m, in.data(), out.data(), mask, s.count);
        for (std::size_t e = 0; e < echoes; ++e) {
            const core::StridedOut echo{s.at[n_params + max_columns + e], s.step[n_params + max_columns + e]};
            for (std::size_t i = 0; i < s.count; ++i) echo.set(i, in[echo_of[e]][i]);
        }
    };
    const double ns = std::max(1.0, (mask != 0 ? kernel.ns_per_element : 0.0) + static_cast<double>(echoes));
    BufferPins pins;
    if (runs_unlocked(shape.size(), ns)) {
        for (const ArrayArgument& arg : args) pins.pin(arg.array());
    }
    run_strided(layout, stretch, ns);

    for (std::size_t k = 0; k < all.size(); ++k) {
        values[k] = typed_array(api, holds_of(kernel, all[k]), std::move(values[k]), shape);
    }
    if (f.layout != Layout::outer) {
        for (std::size_t k = 0; k < all.size(); ++k) values[k] = series.give(std::move(values[k]));
    }
    return assemble(f.form, all, values);
}

}  // namespace

std::span<const std::string_view> keyword_only(const Function& f) noexcept {
    using Names = std::span<const std::string_view>;
    const bool chosen = f.form == Form::chosen;
    switch (f.kernel.model) {
        case ModelKind::ellipsoid: return chosen ? Names(outputs_and_ellipsoid) : Names(ellipsoid_only);
        case ModelKind::sphere: return chosen ? Names(outputs_and_radius) : Names(radius_only);
        case ModelKind::rhumb: return chosen ? Names(outputs_ellipsoid_exact) : Names(outputs_ellipsoid_exact).subspan(1);
        case ModelKind::none: break;
    }
    return chosen ? Names(outputs_and_ellipsoid).first(1) : Names();
}

PyObject* call(const Function& f, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) noexcept {
    return interop::boundary_guard(
        [&]() -> PyObject* {
            const interop::FunctionDescription desc{f.name, f.params, keyword_only(f)};
            PyObject* slots[max_params + 1 + max_model_options] = {};
            PyObject* const* bound = interop::bind_arguments(desc, args, nargs, kwnames, slots);
            // Keyword-only slots are null when not given (and `bound` is
            // `args` itself when only the required arguments were).
            const std::size_t n_params = f.params.size();
            Options options;
            if (bound != args) {
                std::size_t at = n_params;
                if (f.form == Form::chosen) options.outputs = slots[at++];
                for (std::size_t k = 0; at < n_params + desc.keyword_only.size(); ++k) options.model[k] = slots[at++];
            }
            if (f.numbers_first) {
                std::array<double, max_params> numbers{};
                std::size_t i = 0;
                for (; i < n_params; ++i) {
                    PyObject* obj = bound[i];
                    if (!PyFloat_Check(obj) && !PyLong_Check(obj) && looks_like_array(obj)) break;
                    numbers[i] = number_argument(f, i, obj);
                }
                if (i == n_params) return number_call(f, numbers, options);
            }
            return array_call(f, bound, options);
        },
        interop::runtime_error_report);
}

}  // namespace orvik::engine
