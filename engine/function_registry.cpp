#include "engine/function_registry.hpp"

#include <span>
#include <string>
#include <string_view>

#include "core/constants.hpp"
#include "engine/function_tables.hpp"
#include "engine/geometry_functions.hpp"
#include "engine/line_functions.hpp"
#include "interop/boundary.hpp"
#include "interop/errors.hpp"

namespace orvik::engine {
namespace {

using interop::PyRef;
using interop::throw_python_error;

const FunctionTable* const tables[] = {&distance_functions, &geodesic_functions, &units_functions,
#if ORVIK_HAVE_RHUMB
                                       &rhumb_functions
#endif
};

// The functions with entry points of their own: the package's functions of
// whole lines, and the engine's private functions for orvik.geometry.
const std::span<const ShapedFunction> shaped_tables[] = {{line_functions, line_function_count},
                                                         {geometry_functions, geometry_function_count}};

// The module name of the engine's own private functions.
constexpr std::string_view engine_module = "orvik._engine";

std::string float_text(double value) {
    char* text = PyOS_double_to_string(value, 'r', 0, 0, nullptr);
    if (text == nullptr) throw_python_error();
    std::string result(text);
    PyMem_Free(text);
    return result;
}

constexpr const char* rhumb_exact_doc =
    "\n\nWith `exact=True`, GeographicLib computes the auxiliary latitudes in closed form rather\n"
    "than by series in the flattening.  The series are accurate to rounding for |f| <= 0.01\n"
    "(every terrestrial ellipsoid) and to 2e-12 relative at the 0.02 allowed for them; exact\n"
    "keeps full accuracy, also for flattenings up to 0.5 in size (Jupiter's 0.065, Saturn's\n"
    "0.098), at a higher cost per line and a fit made once per ellipsoid.";

// The default of a keyword-only parameter, as the signature shows it.
std::string default_text(const Function& f, std::string_view name) {
    if (name == "radius") return float_text(core::EARTH_RADIUS_M);
    if (name == "exact") return "False";
    if (name == "outputs") {
        std::string text = "(";
        for (std::size_t k = 0; k < f.fields.size(); ++k) {
            text += (k > 0 ? ", '" : "'") + std::string(f.fields[k].name) + "'";
        }
        return text + (f.fields.size() == 1 ? ",)" : ")");
    }
    return "None";
}

std::string signature(const Function& f) {
    std::string text = std::string(f.name) + "(";
    for (std::size_t i = 0; i < f.params.size(); ++i) text += (i > 0 ? ", " : "") + std::string(f.params[i]);
    const auto options = keyword_only(f);
    if (!options.empty()) text += ", *";
    for (std::string_view name : options) text += ", " + std::string(name) + "=" + default_text(f, name);
    return text + ")";
}

std::string docstring(const Function& f) {
    std::string doc = signature(f) + "\n--\n\n" + f.description;
    if (f.kernel.model == ModelKind::ellipsoid || f.kernel.model == ModelKind::rhumb) {
        doc += "\n\nThe ellipsoid is WGS84 unless `ellipsoid` names another ('GRS80', 'WGS72') or gives an\n"
               "(a, f) pair: the equatorial radius in metres and the flattening.";
    }
    if (f.kernel.model == ModelKind::rhumb) doc += rhumb_exact_doc;
    if (f.numbers_first && !f.params.empty()) {
        doc += "\n\nArguments may be array-likes: they broadcast by NumPy's rules and the result holds\n"
               "arrays (pandas Series for Series); numbers give floats.";
    }
    return doc;
}

std::string shaped_docstring(const ShapedFunction& f) {
    std::string text = std::string(f.name) + "(";
    for (std::size_t i = 0; i < f.params.size(); ++i) text += (i > 0 ? ", " : "") + std::string(f.params[i]);
    if (!f.keywords.empty()) text += f.params.empty() ? "*" : ", *";
    for (const Keyword& k : f.keywords) text += ", " + std::string(k.name) + "=" + k.default_text;
    return text + ")\n--\n\n" + f.description;
}

const char* form_name(Form form) {
    switch (form) {
        case Form::value: return "value";
        case Form::tuple: return "tuple";
        case Form::dict: return "dict";
        case Form::chosen: return "chosen";
    }
    return "?";
}

PyRef names_of(std::span<const std::string_view> names) {
    PyRef tuple = PyRef::steal(PyTuple_New(static_cast<Py_ssize_t>(names.size())));
    if (!tuple) throw_python_error();
    for (std::size_t i = 0; i < names.size(); ++i) {
        PyObject* name = PyUnicode_FromStringAndSize(names[i].data(), static_cast<Py_ssize_t>(names[i].size()));
        if (name == nullptr) throw_python_error();
        PyTuple_SET_ITEM(tuple.get(), static_cast<Py_ssize_t>(i), name);
    }
    return tuple;
}

PyRef describe(const ShapedFunction& f) {
    PyRef keywords = PyRef::steal(PyTuple_New(static_cast<Py_ssize_t>(f.keywords.size())));
    if (!keywords) throw_python_error();
    for (std::size_t i = 0; i < f.keywords.size(); ++i) {
        const Keyword& k = f.keywords[i];
        PyObject* triple = Py_BuildValue("(s#ss)", k.name.data(), static_cast<Py_ssize_t>(k.name.size()),
                                         k.default_text, k.stub_type);
        if (triple == nullptr) throw_python_error();
        PyTuple_SET_ITEM(keywords.get(), static_cast<Py_ssize_t>(i), triple);
    }
    PyRef row = PyRef::steal(Py_BuildValue("{s:s,s:s,s:O,s:O,s:s,s:s,s:s,s:s}", "module", f.module, "name", f.name,
                                           "params", names_of(f.params).get(), "keyword_only", keywords.get(),
                                           "form", "shaped", "param_stub", f.param_stub, "returns_stub",
                                           f.returns_stub, "doc", f.description));
    if (!row) throw_python_error();
    return row;
}

PyRef describe(const Function& f) {
    PyRef params = names_of(f.params);
    const auto options = keyword_only(f);
    PyRef keywords = PyRef::steal(PyTuple_New(static_cast<Py_ssize_t>(options.size())));
    if (!keywords) throw_python_error();
    for (std::size_t i = 0; i < options.size(); ++i) {
        PyObject* pair = Py_BuildValue("(s#s)", options[i].data(), static_cast<Py_ssize_t>(options[i].size()),
                                       default_text(f, options[i]).c_str());
        if (pair == nullptr) throw_python_error();
        PyTuple_SET_ITEM(keywords.get(), static_cast<Py_ssize_t>(i), pair);
    }
    PyRef fields = PyRef::steal(PyTuple_New(static_cast<Py_ssize_t>(f.fields.size())));
    PyRef field_types = PyRef::steal(PyTuple_New(static_cast<Py_ssize_t>(f.fields.size())));
    if (!fields || !field_types) throw_python_error();
    for (std::size_t i = 0; i < f.fields.size(); ++i) {
        PyObject* name = PyUnicode_FromString(f.fields[i].name);
        if (name == nullptr) throw_python_error();
        PyTuple_SET_ITEM(fields.get(), static_cast<Py_ssize_t>(i), name);
        // The Python type a number of the field comes back as.
        const Field& field = f.fields[i];
        const Holds holds = field.source == Source::column ? f.kernel.columns[field.index].holds : Holds::float64;
        PyObject* type = PyUnicode_FromString(holds == Holds::flag ? "bool" : holds == Holds::int64 ? "int" : "float");
        if (type == nullptr) throw_python_error();
        PyTuple_SET_ITEM(field_types.get(), static_cast<Py_ssize_t>(i), type);
    }
    PyRef columns = PyRef::steal(PyTuple_New(static_cast<Py_ssize_t>(f.kernel.columns.size())));
    if (!columns) throw_python_error();
    for (std::size_t i = 0; i < f.kernel.columns.size(); ++i) {
        PyObject* pair = Py_BuildValue("(ss)", f.kernel.columns[i].name, f.kernel.columns[i].unit);
        if (pair == nullptr) throw_python_error();
        PyTuple_SET_ITEM(columns.get(), static_cast<Py_ssize_t>(i), pair);
    }
    PyRef row = PyRef::steal(Py_BuildValue(
        "{s:s,s:s,s:O,s:O,s:s,s:O,s:O,s:O,s:O,s:s,s:s}", "module", f.module, "name", f.name, "params", params.get(),
        "keyword_only", keywords.get(), "form", form_name(f.form), "fields", fields.get(), "field_types",
        field_types.get(), "columns", columns.get(), "numbers_first", f.numbers_first ? Py_True : Py_False, "layout",
        f.layout == Layout::outer ? "outer" : "broadcast", "doc", f.description));
    if (!row) throw_python_error();
    return row;
}

// Adds a function to `functions`, a dict of dicts: the package module's
// name, then the function's.  Two package modules may both have a function
// of one name (geodesic.inverse, rhumb.inverse), so the engine module does
// not hold them by name alone.  The engine's own private functions are its
// attributes, as its other private functions are.
void add_function(PyObject* module, PyObject* functions, const char* module_name_text, const char* name,
                  PyCFunction entry, int flags, const std::string& text) {
    PyRef module_name = PyRef::steal(PyUnicode_FromString(module_name_text));
    if (!module_name) throw_python_error();
    // The method definition and its docstring live as long as the function
    // objects, which live as long as the process.
    auto* doc = new std::string(text);
    const interop::FunctionRecord record{name, entry, flags, doc->c_str()};
    PyRef function = interop::make_function(record, module, module_name.get());
    if (module_name_text == engine_module) {
        if (PyModule_AddObjectRef(module, name, function.get()) < 0) throw_python_error();
        return;
    }
    PyObject* own = PyDict_GetItemWithError(functions, module_name.get());  // borrowed
    if (own == nullptr) {
        if (PyErr_Occurred()) throw_python_error();
        PyRef made = PyRef::steal(PyDict_New());
        if (!made || PyDict_SetItem(functions, module_name.get(), made.get()) < 0) throw_python_error();
        own = made.get();
    }
    if (PyDict_SetItemString(own, name, function.get()) < 0) throw_python_error();
}

}  // namespace

void add_package_functions(PyObject* module) {
    PyRef functions = PyRef::steal(PyDict_New());
    if (!functions) throw_python_error();
    for (const FunctionTable* table : tables) {
        for (std::size_t i = 0; i < table->rows.size(); ++i) {
            const Function& f = table->rows[i];
            add_function(module, functions.get(), f.module, f.name, table->entries[i],
                         f.params.empty() ? METH_NOARGS : interop::FASTCALL, docstring(f));
        }
    }
    for (const std::span<const ShapedFunction> table : shaped_tables) {
        for (const ShapedFunction& f : table) {
            add_function(module, functions.get(), f.module, f.name, f.entry, interop::FASTCALL, shaped_docstring(f));
        }
    }
    if (PyModule_AddObjectRef(module, "_functions", functions.get()) < 0) throw_python_error();
}

PyObject* describe_function_tables(PyObject*, PyObject*) {
    return interop::boundary_guard(
        []() -> PyObject* {
            PyRef list = PyRef::steal(PyList_New(0));
            if (!list) throw_python_error();
            for (const FunctionTable* table : tables) {
                for (const Function& f : table->rows) {
                    if (PyList_Append(list.get(), describe(f).get()) < 0) throw_python_error();
                }
            }
            for (const std::span<const ShapedFunction> table : shaped_tables) {
                for (const ShapedFunction& f : table) {
                    if (PyList_Append(list.get(), describe(f).get()) < 0) throw_python_error();
                }
            }
            return list.release();
        },
        interop::runtime_error_report);
}

}  // namespace orvik::engine
