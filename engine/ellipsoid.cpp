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
#include <string>
#include <utility>

#include "core/constants.hpp"
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

// Ellipsoids asked for by (a, f), newest last.  A program that makes
// ellipsoids without end must not grow memory without end: the oldest are
// dropped, and a caller that still holds one keeps it alive.
constexpr std::size_t cache_limit = 32;
std::mutex cache_mutex;
std::deque<std::shared_ptr<const core::Geodesic>> cache;

std::shared_ptr<const core::Geodesic> cached(double a, double f) {
    {
        std::lock_guard lock(cache_mutex);
        for (const auto& g : cache) {
            // Bit patterns, so that -0.0 and 0.0 are told apart like any
            // other two parameters that give different results.
            if (std::bit_cast<std::uint64_t>(g->equatorial_radius()) == std::bit_cast<std::uint64_t>(a) &&
                std::bit_cast<std::uint64_t>(g->flattening()) == std::bit_cast<std::uint64_t>(f)) {
                return g;
            }
        }
    }
    // Built outside the lock: a few microseconds, and it cannot fail once
    // the parameters are checked.
    auto made = std::make_shared<const core::Geodesic>(a, f);
    std::lock_guard lock(cache_mutex);
    cache.push_back(made);
    if (cache.size() > cache_limit) cache.pop_front();
    return made;
}

std::shared_ptr<const core::Geodesic> wgs84_shared() {
    // Shares the process-wide instance without owning it.
    static const std::shared_ptr<const core::Geodesic> instance(&core::wgs84(),
                                                                [](const core::Geodesic*) {});
    return instance;
}

[[noreturn]] void invalid(const std::string& why) {
    throw PythonError::pending(PyExc_ValueError, "ellipsoid: " + why);
}

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::shared_ptr<const core::Geodesic> by_name(PyObject* name) {
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
    invalid("unknown name '" + std::string(text, static_cast<std::size_t>(size)) +
            "'; use WGS84, GRS80, WGS72 or an (a, f) pair");
}

double pair_item(PyObject* pair, Py_ssize_t i, const char* what) {
    PyRef item = PyRef::steal(PySequence_GetItem(pair, i));
    if (!item) interop::throw_python_error();
    if (PyUnicode_Check(item.get()) || PyBytes_Check(item.get())) {
        throw PythonError::pending(PyExc_TypeError, std::string("ellipsoid: ") + what + " must be a number");
    }
    try {
        return interop::extract_double(item.get());
    } catch (PythonError& error) {
        throw interop::argument_extraction_error("ellipsoid", std::move(error));
    }
}

}  // namespace

std::shared_ptr<const core::Geodesic> resolve_ellipsoid(PyObject* ellipsoid) {
    if (ellipsoid == nullptr || ellipsoid == Py_None) return wgs84_shared();
    if (PyUnicode_Check(ellipsoid)) return by_name(ellipsoid);
    if (!PySequence_Check(ellipsoid) || PyBytes_Check(ellipsoid) || PySequence_Size(ellipsoid) != 2) {
        if (PyErr_Occurred()) PyErr_Clear();
        throw PythonError::pending(
            PyExc_TypeError,
            "ellipsoid must be None, a name such as 'GRS80' or an (a, f) pair, not '" +
                interop::type_qualname(ellipsoid) + "'");
    }
    const double a = pair_item(ellipsoid, 0, "a (the equatorial radius)");
    const double f = pair_item(ellipsoid, 1, "f (the flattening)");
    if (!std::isfinite(a) || a <= 0) {
        invalid("the equatorial radius a must be a positive finite number of metres, not " +
                std::to_string(a));
    }
    if (!std::isfinite(f) || f >= 1) {
        invalid("the flattening f must be finite and below 1, not " + std::to_string(f) +
                " (pass the flattening, not its inverse)");
    }
    // GeographicLib also needs the polar semi-axis to be finite.
    if (!std::isfinite(a * (1 - f))) invalid("the polar semi-axis a * (1 - f) is not finite");
    if (std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(core::WGS84_A) &&
        std::bit_cast<std::uint64_t>(f) == std::bit_cast<std::uint64_t>(core::WGS84_F)) {
        return wgs84_shared();
    }
    return cached(a, f);
}

double resolve_radius(PyObject* radius) {
    if (radius == nullptr || radius == Py_None) return core::EARTH_RADIUS_M;
    const double r = interop::extract_argument("radius", radius);
    if (!std::isfinite(r) || r <= 0) {
        throw PythonError::pending(PyExc_ValueError,
                                   "radius must be a positive finite number of metres, not " +
                                       interop::object_text(radius));
    }
    return r;
}

}  // namespace orvik::engine
