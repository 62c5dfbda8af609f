// The boundary guard as Python sees it: results, each kind of error value,
// internal failures and their reports, with the compatibility module's
// PanicException and with RuntimeError.  The functions under test live on a
// module made here, not on orvik._orvik.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

#include "embedded_python.hpp"
#include "compat/panic.hpp"
#include "interop/binding.hpp"
#include "interop/boundary.hpp"
#include "interop/results.hpp"
#include "runtime/failure.hpp"

namespace {

using orvik::fail;
using orvik::InternalFailure;
using orvik::interop::argument_extraction_error;
using orvik::interop::extract_argument;
using orvik::interop::extract_double;
using orvik::interop::make_float;
using orvik::interop::PyRef;
using orvik::interop::PythonError;
using orvik::interop::throw_python_error;
using orvik::test_support::text_of;

// The guard as orvik._orvik uses it.
template <class Body>
PyObject* guard(Body&& body) {
    return orvik::interop::boundary_guard(static_cast<Body&&>(body), orvik::compat::panic_report);
}

PyObject* returns_float(PyObject*, PyObject*) {
    return guard([] { return make_float(2.5); });
}

PyObject* pending_error(PyObject*, PyObject*) {
    return guard([]() -> PyObject* {
        throw PythonError::pending(PyExc_ValueError, "pending message");
    });
}

PyObject* calls(PyObject*, PyObject* callable) {
    return guard([&]() -> PyObject* {
        PyRef result = PyRef::steal(PyObject_CallNoArgs(callable));
        if (!result) throw_python_error();
        return result.release();
    });
}

PyObject* wants_array(PyObject*, PyObject* obj) {
    return guard([&]() -> PyObject* {
        throw PythonError::type_conversion(obj, "PyArray<T, D>");
    });
}

PyObject* wants_array_argument(PyObject*, PyObject* obj) {
    return guard([&]() -> PyObject* {
        throw argument_extraction_error("x", PythonError::type_conversion(obj, "PyArray<T, D>"));
    });
}

PyObject* takes_float(PyObject*, PyObject* obj) {
    return guard([&] { return make_float(extract_double(obj)); });
}

PyObject* takes_float_argument(PyObject*, PyObject* obj) {
    return guard([&] { return make_float(extract_argument("x", obj)); });
}

PyObject* fetches_nothing(PyObject*, PyObject*) {
    return guard([]() -> PyObject* { throw_python_error(); });
}

PyObject* panics(PyObject*, PyObject*) {
    return guard([]() -> PyObject* { fail("deliberate failure"); });
}

PyObject* fails_ordinarily(PyObject*, PyObject*) {
    return orvik::interop::boundary_guard([]() -> PyObject* { fail("deliberate failure"); },
                                          orvik::interop::runtime_error_report);
}

PyObject* throws_runtime_error(PyObject*, PyObject*) {
    return guard([]() -> PyObject* { throw std::runtime_error("runtime failure"); });
}

PyObject* runs_out_of_memory(PyObject*, PyObject*) {
    return guard([]() -> PyObject* { throw std::bad_alloc(); });
}

PyObject* panics_without_message(PyObject*, PyObject*) {
    return guard([]() -> PyObject* { throw InternalFailure{}; });
}

PyObject* throws_non_exception(PyObject*, PyObject*) {
    return guard([]() -> PyObject* { throw 42; });
}

PyMethodDef methods[] = {
    {"returns_float", returns_float, METH_NOARGS, nullptr},
    {"pending_error", pending_error, METH_NOARGS, nullptr},
    {"calls", calls, METH_O, nullptr},
    {"wants_array", wants_array, METH_O, nullptr},
    {"wants_array_argument", wants_array_argument, METH_O, nullptr},
    {"takes_float", takes_float, METH_O, nullptr},
    {"takes_float_argument", takes_float_argument, METH_O, nullptr},
    {"fails_ordinarily", fails_ordinarily, METH_NOARGS, nullptr},
    {"runs_out_of_memory", runs_out_of_memory, METH_NOARGS, nullptr},
    {"fetches_nothing", fetches_nothing, METH_NOARGS, nullptr},
    {"panics", panics, METH_NOARGS, nullptr},
    {"throws_runtime_error", throws_runtime_error, METH_NOARGS, nullptr},
    {"panics_without_message", panics_without_message, METH_NOARGS, nullptr},
    {"throws_non_exception", throws_non_exception, METH_NOARGS, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

// `caught` is "{type}: {message}" for the exception that `expr` raises.
std::string catching(const std::string& expr) {
    return "try:\n    " + expr +
           "\nexcept BaseException as e:\n"
           "    caught = f'{type(e).__module__}.{type(e).__qualname__}: {e}'\n"
           "    error = e\n";
}

class BoundaryGuard : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        orvik::test_support::ensure_interpreter();
        orvik::interop::set_fetched_exception_hook(orvik::compat::resume_fetched_panic);
        if (module_ == nullptr) {
            module_ = PyModule_New("guard_test");
            ASSERT_NE(module_, nullptr);
            ASSERT_EQ(PyModule_AddFunctions(module_, methods), 0);
        }
    }

    static PyRef run(const std::string& code) {
        return orvik::test_support::run_python(code, "m", module_);
    }

    // Runs `code` and returns what it wrote to standard error.
    static std::string stderr_of(const std::string& code, PyRef* ns) {
        ::testing::internal::CaptureStderr();
        *ns = run(code + "\nimport sys\nsys.stderr.flush()\n");
        return ::testing::internal::GetCapturedStderr();
    }

    static inline PyObject* module_ = nullptr;  // kept for the process
};

TEST_F(BoundaryGuard, ReturnsTheResultObject) {
    PyRef ns = run("r = m.returns_float()\nkind = type(r).__name__\n");
    EXPECT_EQ(text_of(ns.get(), "r"), "2.5");
    EXPECT_EQ(text_of(ns.get(), "kind"), "float");
}

TEST_F(BoundaryGuard, RaisesAPendingError) {
    PyRef ns = run(catching("m.pending_error()"));
    EXPECT_EQ(text_of(ns.get(), "caught"), "builtins.ValueError: pending message");
}

TEST_F(BoundaryGuard, PassesAFetchedErrorOnAsTheSameObject) {
    PyRef ns = run(
        "import traceback\n"
        "def boom():\n"
        "    global raised\n"
        "    raised = KeyError('k')\n"
        "    raise raised\n" +
        catching("m.calls(boom)") +
        "same = error is raised\n"
        "from_boom = 'boom' in [f.name for f in traceback.extract_tb(error.__traceback__)]\n");
    EXPECT_EQ(text_of(ns.get(), "same"), "True");
    EXPECT_EQ(text_of(ns.get(), "from_boom"), "True");
}

TEST_F(BoundaryGuard, TypeConversionErrorNamesTheTypeAndTheTarget) {
    PyRef ns = run(
        "class Outer:\n"
        "    class Inner:\n"
        "        pass\n" +
        catching("m.wants_array([1.0])") + "plain = caught\n" +
        catching("m.wants_array(Outer.Inner())") + "nested = caught\n" +
        catching("m.wants_array_argument((1.0,))") + "argument = caught\n");
    EXPECT_EQ(text_of(ns.get(), "plain"),
              "builtins.TypeError: 'list' object cannot be converted to 'PyArray<T, D>'");
    EXPECT_EQ(text_of(ns.get(), "nested"),
              "builtins.TypeError: 'Outer.Inner' object cannot be converted to 'PyArray<T, D>'");
    EXPECT_EQ(text_of(ns.get(), "argument"),
              "builtins.TypeError: argument 'x': 'tuple' object cannot be converted to "
              "'PyArray<T, D>'");
}

TEST_F(BoundaryGuard, FetchingWithNothingSetIsASystemError) {
    PyRef ns = run(catching("m.fetches_nothing()"));
    EXPECT_EQ(text_of(ns.get(), "caught"),
              "builtins.SystemError: attempted to fetch exception but none was set");
}

TEST_F(BoundaryGuard, PanicReachesPythonAsPanicException) {
    PyRef ns;
    const std::string err = stderr_of(
        "try:\n"
        "    try:\n"
        "        m.panics()\n"
        "    except Exception:\n"
        "        caught_by = 'Exception'\n"
        "except BaseException as e:\n"
        "    caught_by = 'BaseException'\n"
        "    first = e\n" +
        catching("m.panics()") +
        "kind = type(first)\n"
        "import sys\n"
        "facts = [kind.__module__, kind.__name__, kind.__bases__ == (BaseException,),\n"
        "         first.args == ('deliberate failure',), type(error) is kind,\n"
        "         kind.__doc__.startswith('\\n'), 'pyo3_runtime' in sys.modules]\n"
        "doc_end = kind.__doc__.endswith('cause the\\nPython interpreter to exit.\\n')\n",
        &ns);
    EXPECT_EQ(text_of(ns.get(), "caught_by"), "BaseException");
    EXPECT_EQ(text_of(ns.get(), "first"), "deliberate failure");
    EXPECT_EQ(text_of(ns.get(), "facts"),
              "['pyo3_runtime', 'PanicException', True, True, True, True, False]");
    EXPECT_EQ(text_of(ns.get(), "doc_end"), "True");
    // The report names the source location of the failure and its message.
    EXPECT_NE(err.find("panicked at "), std::string::npos) << err;
    EXPECT_NE(err.find("test_boundary_guard.cpp:"), std::string::npos) << err;
    EXPECT_NE(err.find("\ndeliberate failure\n"), std::string::npos) << err;
}

TEST_F(BoundaryGuard, CppExceptionBecomesPanicException) {
    PyRef ns;
    const std::string err = stderr_of(catching("m.throws_runtime_error()"), &ns);
    EXPECT_EQ(text_of(ns.get(), "caught"), "pyo3_runtime.PanicException: runtime failure");
    EXPECT_NE(err.find("runtime failure"), std::string::npos) << err;
}

TEST_F(BoundaryGuard, InternalFailureCanBeAnOrdinaryException) {
    PyRef ns;
    stderr_of("try:\n    m.fails_ordinarily()\nexcept Exception as e:\n    caught = repr(e)\n", &ns);
    EXPECT_EQ(text_of(ns.get(), "caught"), "RuntimeError('deliberate failure')");
}

TEST_F(BoundaryGuard, OutOfMemoryIsMemoryError) {
    PyRef ns = run(catching("m.runs_out_of_memory()"));
    EXPECT_EQ(text_of(ns.get(), "caught"), "builtins.MemoryError: ");
}

TEST_F(BoundaryGuard, RewordedArgumentErrorChainsLikeAnyRaisedError) {
    PyRef ns = run(
        "try:\n"
        "    try:\n"
        "        {}['k']\n"
        "    except KeyError:\n"
        "        m.takes_float_argument('3')\n"
        "except TypeError as e:\n"
        "    facts = [str(e), type(e.__context__).__name__, e.__cause__, e.__suppress_context__]\n");
    EXPECT_EQ(text_of(ns.get(), "facts"),
              "[\"argument 'x': must be real number, not str\", 'KeyError', None, True]");
}

TEST_F(BoundaryGuard, FailureWithoutTextGetsAFixedSentence) {
    PyRef ns;
    stderr_of(catching("m.panics_without_message()") + "no_text = caught\n" +
                  catching("m.throws_non_exception()") + "non_exception = caught\n",
              &ns);
    const std::string no_text = text_of(ns.get(), "no_text");
    EXPECT_EQ(no_text.rfind("pyo3_runtime.PanicException: ", 0), 0u) << no_text;
    EXPECT_GT(no_text.size(), std::string("pyo3_runtime.PanicException: ").size());
    EXPECT_EQ(text_of(ns.get(), "non_exception"), no_text);
}

TEST_F(BoundaryGuard, PanicComingBackFromPythonIsResumed) {
    PyRef ns;
    const std::string err = stderr_of(
        "class Bad:\n"
        "    def __float__(self):\n"
        "        global inner\n"
        "        try:\n"
        "            m.panics()\n"
        "        except BaseException as e:\n"
        "            inner = e\n"
        "            raise\n" +
        catching("m.takes_float(Bad())") +
        "facts = [error is not inner, type(error) is type(inner), str(error) == str(inner)]\n",
        &ns);
    EXPECT_EQ(text_of(ns.get(), "caught"), "pyo3_runtime.PanicException: deliberate failure");
    EXPECT_EQ(text_of(ns.get(), "facts"), "[True, True, True]") << err;
    // A notice and the Python traceback take the place of a second report.
    EXPECT_EQ(err.rfind("panicked at "), err.find("panicked at ")) << err;
    const auto notice = err.find("--- ");
    ASSERT_NE(notice, std::string::npos) << err;
    EXPECT_NE(err.find("resumed", notice), std::string::npos) << err;
    EXPECT_NE(err.find("Python stack trace below:\n", notice), std::string::npos) << err;
    EXPECT_NE(err.find("PanicException: deliberate failure", notice), std::string::npos) << err;
}

TEST_F(BoundaryGuard, OtherConversionErrorsAreNotResumed) {
    PyRef ns = run(catching("m.takes_float('1')") + "value = m.takes_float(-1)\n");
    EXPECT_EQ(text_of(ns.get(), "caught"), "builtins.TypeError: must be real number, not str");
    EXPECT_EQ(text_of(ns.get(), "value"), "-1.0");
}

}  // namespace
