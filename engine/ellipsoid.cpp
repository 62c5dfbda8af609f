#include "engine/ellipsoid.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <deque>
#include <iterator>
#include <mutex>
#include <tuple>
#include <string>
#include <utility>

#include "core/constants.hpp"
#include "interop/arguments.hpp"
#include "interop/binding.hpp"
#include "interop/errors.hpp"

namespace orvik::engine {
namespace {

using interop::PyRef;
using interop::PythonError;

struct Named {
    const char* name;
    double a, f;
};

// GRS80's flattening follows from its defining constants (J2 and the
// angular velocity); this is the value GeographicLib and PROJ use.
constexpr Named named_ellipsoids[] = {
    {"WGS84", core::WGS84_A, core::WGS84_F},  // first: the process-wide solver
    {"GRS80", 6378137.0, 1 / 298.257222100882711243},
    {"WGS72", 6378135.0, 1 / 298.26},
};

// Solvers asked for by (a, f) (and for rhumb lines, exact or not), newest
// last.  A program that makes ellipsoids without end must not grow memory
// without end: the oldest are dropped, and a caller that still holds one
// keeps it alive.
template <class Solver>
class SolverCache {
public:
    // The solver of these parameters, made by make() when there is none.
    template <class Make>
    std::shared_ptr<const Solver> get(double a, double f, bool exact, const Make& make) {
        // Bit patterns, so that -0.0 and 0.0 are told apart like any other
        // two parameters that give different results.
        const Key key{std::bit_cast<std::uint64_t>(a), std::bit_cast<std::uint64_t>(f), exact};
        {
            std::lock_guard lock(mutex_);
            for (const auto& [k, solver] : entries_) {
                if (k == key) return solver;
            }
        }
        // Made outside the lock: microseconds for a geodesic, more for an
        // exact rhumb solver, and it cannot fail once the parameters are
        // checked.
        std::shared_ptr<const Solver> made = make();
        std::lock_guard lock(mutex_);
        entries_.emplace_back(key, made);
        if (entries_.size() > limit) entries_.pop_front();
        return made;
    }

private:
    struct Key {
        std::uint64_t a, f;
        bool exact;
        bool operator==(const Key&) const = default;
    };
    static constexpr std::size_t limit = 32;
    std::mutex mutex_;
    std::deque<std::pair<Key, std::shared_ptr<const Solver>>> entries_;
};

SolverCache<core::Geodesic> geodesic_cache;

std::shared_ptr<const core::Geodesic> cached(double a, double f) {
    return geodesic_cache.get(a, f, false, [&] { return std::make_shared<const core::Geodesic>(a, f); });
}

bool is_wgs84(double a, double f) noexcept {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(core::WGS84_A) &&
           std::bit_cast<std::uint64_t>(f) == std::bit_cast<std::uint64_t>(core::WGS84_F);
}

std::shared_ptr<const core::Geodesic> wgs84_shared() {
    // Shares the process-wide instance without owning it.
    static const std::shared_ptr<const core::Geodesic> instance(&core::wgs84(),
                                                                [](const core::Geodesic*) {});
    return instance;
}

// GeographicLib's series solver is accurate (to 30 nm at most) for |f| up
// to 0.02, by its own documentation; beyond that its errors grow quickly
// (10 um at 0.05, 1.5 mm at 0.1, 300 mm at 0.2), and at extreme flattenings
// it returns numbers that are simply wrong.  Such ellipsoids are refused
// rather than answered with an error no one asked for.
constexpr double max_flattening = 0.02;
// GeographicLib's exact rhumb solver computes the auxiliary latitudes in
// closed form and fits its area series to rounding, so it stays accurate
// far beyond; flattenings up to a half are tested against RhumbSolve.
constexpr double max_exact_rhumb_flattening = 0.5;

[[noreturn]] void invalid(std::string_view function, const std::string& why) {
    throw PythonError::pending(PyExc_ValueError, interop::argument_label(function, "ellipsoid") + ": " + why);
}

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::shared_ptr<const core::Geodesic> by_name(std::string_view function, PyObject* name) {
    Py_ssize_t size = 0;
    const char* text = PyUnicode_AsUTF8AndSize(name, &size);
    if (text == nullptr) interop::throw_python_error();
    // The named ones are made once and kept, apart from the cache of (a, f)
    // pairs, which a program making many ellipsoids could turn over.
    static const std::array<std::shared_ptr<const core::Geodesic>, std::size(named_ellipsoids)> named = [] {
        std::array<std::shared_ptr<const core::Geodesic>, std::size(named_ellipsoids)> made;
        made[0] = wgs84_shared();
        for (std::size_t i = 1; i < made.size(); ++i) {
            made[i] = std::make_shared<const core::Geodesic>(named_ellipsoids[i].a, named_ellipsoids[i].f);
        }
        return made;
    }();
    const std::string wanted = upper(std::string(text, static_cast<std::size_t>(size)));
    for (std::size_t i = 0; i < named.size(); ++i) {
        if (wanted == named_ellipsoids[i].name) return named[i];
    }
    invalid(function, "unknown name " + interop::repr_text(name) + "; use WGS84, GRS80, WGS72 or an (a, f) pair");
}

double pair_item(std::string_view function, PyObject* pair, Py_ssize_t i, const char* what) {
    PyRef item = PyRef::steal(PySequence_GetItem(pair, i));
    if (!item) interop::throw_python_error();
    if (interop::is_bool(item.get()) || PyUnicode_Check(item.get()) || PyBytes_Check(item.get())) {
        throw PythonError::pending(PyExc_TypeError, interop::argument_label(function, "ellipsoid") + ": " + what +
                                                        " must be a number, not " + interop::repr_text(item.get()));
    }
    return interop::real_argument(function, "ellipsoid", item.get());
}

// The (a, f) of an `ellipsoid=` pair, checked: |f| at most `flattening`.
// `beyond` says what else there is for a flattening that is too large.
std::pair<double, double> pair_parameters(std::string_view function, PyObject* ellipsoid, double flattening,
                                          const char* beyond = "") {
    const Py_ssize_t items = PySequence_Check(ellipsoid) && !PyBytes_Check(ellipsoid) ? PySequence_Size(ellipsoid) : -1;
    if (items != 2) {
        if (PyErr_Occurred()) PyErr_Clear();
        const std::string got = items >= 0 ? "a sequence of " + std::to_string(items) + " items, " +
                                                 interop::repr_text(ellipsoid)
                                           : interop::repr_text(ellipsoid) + " (" + interop::type_qualname(ellipsoid) +
                                                 ")";
        throw PythonError::pending(PyExc_TypeError, interop::argument_label(function, "ellipsoid") +
                                                        " must be None, a name such as 'GRS80' or an (a, f) pair, not " +
                                                        got);
    }
    const double a = pair_item(function, ellipsoid, 0, "a (the equatorial radius)");
    const double f = pair_item(function, ellipsoid, 1, "f (the flattening)");
    if (!std::isfinite(a) || a <= 0) {
        invalid(function, "the equatorial radius a must be a positive finite number of metres, not " +
                              interop::float_repr(a));
    }
    if (!(std::abs(f) <= flattening)) {
        const std::string range = flattening == max_flattening ? "[-0.02, 0.02], where GeographicLib's solver is "
                                                                 "accurate to nanometres"
                                                               : "[-0.5, 0.5] for exact rhumb lines";
        invalid(function, "the flattening f must be within " + range + ", not " + interop::float_repr(f) +
                              (std::abs(f) > 1 ? " (pass the flattening, not its inverse)" : beyond));
    }
    return {a, f};
}

}  // namespace

std::shared_ptr<const core::Geodesic> resolve_ellipsoid(std::string_view function, PyObject* ellipsoid) {
    if (ellipsoid == nullptr || ellipsoid == Py_None) return wgs84_shared();
    if (PyUnicode_Check(ellipsoid)) return by_name(function, ellipsoid);
    const auto [a, f] = pair_parameters(function, ellipsoid, max_flattening);
    if (is_wgs84(a, f)) return wgs84_shared();
    return cached(a, f);
}

#if ORVIK_HAVE_RHUMB
std::shared_ptr<const core::Rhumb> resolve_rhumb(std::string_view function, PyObject* ellipsoid, bool exact) {
    double a = core::WGS84_A, f = core::WGS84_F;
    if (ellipsoid != nullptr && ellipsoid != Py_None) {
        if (PyUnicode_Check(ellipsoid)) {
            const std::shared_ptr<const core::Geodesic> named = by_name(function, ellipsoid);
            a = named->equatorial_radius();
            f = named->flattening();
        } else {
            std::tie(a, f) = exact ? pair_parameters(function, ellipsoid, max_exact_rhumb_flattening)
                                   : pair_parameters(function, ellipsoid, max_flattening,
                                                     "; exact=True takes flattenings up to 0.5 in size");
        }
    }
    if (is_wgs84(a, f) && !exact) {
        // Shares the process-wide instance without owning it.
        static const std::shared_ptr<const core::Rhumb> wgs84(&core::wgs84_rhumb(), [](const core::Rhumb*) {});
        return wgs84;
    }
    static SolverCache<core::Rhumb> rhumb_cache;
    return rhumb_cache.get(a, f, exact, [&] { return std::make_shared<const core::Rhumb>(a, f, exact); });
}
#endif

double resolve_radius(std::string_view function, PyObject* radius) {
    if (radius == nullptr) return core::EARTH_RADIUS_M;
    const double r = interop::real_argument(function, "radius", radius);
    if (!std::isfinite(r) || r <= 0) {
        throw PythonError::pending(PyExc_ValueError, interop::argument_label(function, "radius") +
                                                         " must be a positive finite number of metres, not " +
                                                         interop::repr_text(radius));
    }
    return r;
}

}  // namespace orvik::engine
