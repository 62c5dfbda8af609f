#include "engine/tracks.hpp"

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "interop/errors.hpp"

namespace orvik::engine {
namespace {

using interop::PythonError;

std::string prefix(std::string_view function) { return std::string(function) + "(): "; }

bool is_list(PyObject* obj) noexcept { return PyList_Check(obj) || PyTuple_Check(obj); }

// The items of a list or tuple, converted one by one ("lats[2]"), if they
// are tracks of different shapes; empty when the value is an array-like of
// one shape (numbers in it, or every item of one shape).
std::vector<ArrayArgument> ragged_items(std::string_view function, std::string_view name, PyObject* value,
                                        std::vector<std::string>& names) {
    std::vector<ArrayArgument> items;
    if (!is_list(value) || PySequence_Fast_GET_SIZE(value) == 0) return items;
    const Py_ssize_t n = PySequence_Fast_GET_SIZE(value);
    PyObject** objects = PySequence_Fast_ITEMS(value);
    std::set<std::vector<Py_intptr_t>> shapes;
    names.reserve(static_cast<std::size_t>(n));
    items.reserve(static_cast<std::size_t>(n));
    for (Py_ssize_t i = 0; i < n; ++i) {
        names.push_back(std::string(name) + "[" + std::to_string(i) + "]");
        items.emplace_back(function, names.back(), objects[i]);
        const ArrayArgument& item = items.back();
        if (item.ndim() == 0) return {};  // numbers: one track, not a list of them
        std::vector<Py_intptr_t> shape(static_cast<std::size_t>(item.ndim()));
        for (int axis = 0; axis < item.ndim(); ++axis) shape[static_cast<std::size_t>(axis)] = item.extent(axis);
        shapes.insert(std::move(shape));
    }
    if (shapes.size() < 2) return {};
    return items;
}

}  // namespace

Tracks::Tracks(std::string_view function, PyObject* lats, PyObject* lons, Py_ssize_t axis) {
    if (ragged(function, lats, lons)) {
        if (axis != -1 && axis != 1) {
            throw PythonError::pending(PyExc_ValueError, prefix(function) +
                                                             "a list of tracks is reduced along each track "
                                                             "(axis -1), not axis " + std::to_string(axis));
        }
        return;
    }
    held_.emplace_back(function, "lats", lats);
    held_.emplace_back(function, "lons", lons);
    constexpr std::string_view names[] = {"lats", "lons"};
    const Shape shape = broadcast_shape(function, held_, names);
    if (shape.ndim == 0) {
        throw PythonError::pending(PyExc_ValueError,
                                   prefix(function) + "'lats' and 'lons' are numbers; a track needs at least one dimension");
    }
    if (axis < -shape.ndim || axis >= shape.ndim) {
        throw PythonError::pending(PyExc_ValueError, std::string(function) + "() argument 'axis' is " +
                                                         std::to_string(axis) + ", out of range for " +
                                                         std::to_string(shape.ndim) + "-dimensional input");
    }
    const int along = static_cast<int>(axis < 0 ? axis + shape.ndim : axis);
    std::array<std::ptrdiff_t, runtime::max_dims> lat_strides{}, lon_strides{};
    strides_over(held_[0], shape, lat_strides.data());
    strides_over(held_[1], shape, lon_strides.data());
    lat_data_ = held_[0].data();
    lon_data_ = held_[1].data();
    lat_step_ = lat_strides[along];
    lon_step_ = lon_strides[along];
    length_ = static_cast<std::size_t>(shape.extent[along]);
    for (int k = 0; k < shape.ndim; ++k) {
        if (k == along) continue;
        result_.extent[result_.ndim] = shape.extent[k];
        lat_outer_[result_.ndim] = lat_strides[k];
        lon_outer_[result_.ndim] = lon_strides[k];
        ++result_.ndim;
    }
}

Tracks::Tracks(std::string_view function, PyObject* lats, PyObject* lons, CutByOffsets cut)
    : source_(Source::offsets) {
    held_.reserve(2);
    held_.emplace_back(function, "lats", lats);
    held_.emplace_back(function, "lons", lons);
    for (const auto& [name, column] : {std::pair{"lats", &held_[0]}, std::pair{"lons", &held_[1]}}) {
        if (column->ndim() != 1) {
            throw PythonError::pending(PyExc_ValueError, prefix(function) + "'" + name +
                                                             "' must be one-dimensional, not of shape " +
                                                             shape_of(*column).text());
        }
    }
    const auto length = static_cast<std::size_t>(held_[0].extent(0));
    if (static_cast<std::size_t>(held_[1].extent(0)) != length) {
        throw PythonError::pending(PyExc_ValueError, prefix(function) + "'lats' has " + std::to_string(length) +
                                                         " values but 'lons' " +
                                                         std::to_string(held_[1].extent(0)));
    }
    const ArrayArgument offsets(function, "offsets", cut.offsets, Element::int64);
    if (offsets.ndim() != 1 || offsets.extent(0) == 0) {
        throw PythonError::pending(PyExc_ValueError, prefix(function) +
                                                         "'offsets' must be one-dimensional and start with 0, "
                                                         "not of shape " + shape_of(offsets).text());
    }
    offsets_.resize(static_cast<std::size_t>(offsets.extent(0)));
    for (std::size_t i = 0; i < offsets_.size(); ++i) {
        std::memcpy(&offsets_[i], offsets.data() + static_cast<std::ptrdiff_t>(i) * offsets.stride(0),
                    sizeof(std::int64_t));
        if (i > 0 && offsets_[i] < offsets_[i - 1]) {
            throw PythonError::pending(PyExc_ValueError, prefix(function) + "'offsets' decrease at position " +
                                                             std::to_string(i) + ": " +
                                                             std::to_string(offsets_[i - 1]) + " then " +
                                                             std::to_string(offsets_[i]));
        }
    }
    if (offsets_.front() != 0 || offsets_.back() != static_cast<std::int64_t>(length)) {
        throw PythonError::pending(PyExc_ValueError, prefix(function) + "'offsets' must run from 0 to " +
                                                         std::to_string(length) + " (the vertices), not from " +
                                                         std::to_string(offsets_.front()) + " to " +
                                                         std::to_string(offsets_.back()));
    }
    lat_data_ = held_[0].data();
    lon_data_ = held_[1].data();
    lat_step_ = held_[0].stride(0);
    lon_step_ = held_[1].stride(0);
    result_.ndim = 1;
    result_.extent[0] = static_cast<Py_intptr_t>(offsets_.size() - 1);
}

void Tracks::pin_columns(BufferPins& pins) const {
    if (source_ == Source::listed) return;
    for (const ArrayArgument& column : held_) pins.pin(column.array());
}

bool Tracks::ragged(std::string_view function, PyObject* lats, PyObject* lons) {
    std::vector<std::string> lat_names, lon_names;
    std::vector<ArrayArgument> lat_items = ragged_items(function, "lats", lats, lat_names);
    std::vector<ArrayArgument> lon_items;
    if (lat_items.empty()) {
        lon_items = ragged_items(function, "lons", lons, lon_names);
        if (lon_items.empty()) return false;
    }
    for (const auto& [name, value] : {std::pair{"lats", lats}, std::pair{"lons", lons}}) {
        if (!is_list(value)) {
            throw PythonError::pending(PyExc_TypeError,
                                       prefix(function) + "'lats' and 'lons' must both be lists of tracks when "
                                                          "either is one; '" + name + "' is " +
                                           interop::type_qualname(value));
        }
    }
    const Py_ssize_t n_lats = PySequence_Fast_GET_SIZE(lats), n_lons = PySequence_Fast_GET_SIZE(lons);
    if (n_lats != n_lons) {
        throw PythonError::pending(PyExc_ValueError, prefix(function) + std::to_string(n_lats) +
                                                         " tracks of 'lats' but " + std::to_string(n_lons) +
                                                         " of 'lons'");
    }
    // The other side, converted item by item too.
    auto convert_all = [&](std::vector<ArrayArgument>& items, std::vector<std::string>& names, const char* name,
                           PyObject* value) {
        if (!items.empty()) return;
        PyObject** objects = PySequence_Fast_ITEMS(value);
        names.reserve(static_cast<std::size_t>(n_lats));
        items.reserve(static_cast<std::size_t>(n_lats));
        for (Py_ssize_t i = 0; i < n_lats; ++i) {
            names.push_back(std::string(name) + "[" + std::to_string(i) + "]");
            items.emplace_back(function, names.back(), objects[i]);
        }
    };
    convert_all(lat_items, lat_names, "lats", lats);
    convert_all(lon_items, lon_names, "lons", lons);
    // Held before any column points into them: a number's value lives
    // inside its ArrayArgument.
    const auto n = static_cast<std::size_t>(n_lats);
    held_.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        held_.push_back(std::move(lat_items[i]));
        held_.push_back(std::move(lon_items[i]));
    }
    source_ = Source::listed;
    listed_.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::span<const ArrayArgument> pair(&held_[2 * i], 2);
        const std::string_view names[] = {lat_names[i], lon_names[i]};
        Shape shape;
        try {
            shape = broadcast_shape(function, pair, names);
        } catch (const PythonError&) {
            throw PythonError::pending(PyExc_ValueError, prefix(function) + lat_names[i] + " " +
                                                             shape_of(pair[0]).text() + " and " + lon_names[i] +
                                                             " " + shape_of(pair[1]).text() +
                                                             " cannot be broadcast together");
        }
        if (shape.ndim != 1) {
            throw PythonError::pending(PyExc_ValueError, prefix(function) + "track " + std::to_string(i) +
                                                             " must be one-dimensional, not of shape " + shape.text());
        }
        std::ptrdiff_t lat_step = 0, lon_step = 0;
        strides_over(pair[0], shape, &lat_step);
        strides_over(pair[1], shape, &lon_step);
        listed_.push_back({{pair[0].data(), lat_step}, {pair[1].data(), lon_step},
                           static_cast<std::size_t>(shape.extent[0])});
    }
    result_.ndim = 1;
    result_.extent[0] = static_cast<Py_intptr_t>(n);
    return true;
}

std::size_t Tracks::count() const noexcept { return source_ == Source::listed ? listed_.size() : result_.size(); }

Track Tracks::track(std::size_t t) const noexcept {
    if (source_ == Source::listed) return listed_[t];
    if (source_ == Source::offsets) {
        const std::ptrdiff_t first = offsets_[t];
        return {{lat_data_ + first * lat_step_, lat_step_}, {lon_data_ + first * lon_step_, lon_step_},
                static_cast<std::size_t>(offsets_[t + 1] - first)};
    }
    // The outer index of track t, in C order of the result's shape.
    std::ptrdiff_t lat_at = 0, lon_at = 0;
    std::size_t rest = t;
    for (int axis = result_.ndim - 1; axis >= 0; --axis) {
        const auto extent = static_cast<std::size_t>(result_.extent[axis]);
        const auto index = static_cast<std::ptrdiff_t>(rest % extent);
        rest /= extent;
        lat_at += index * lat_outer_[axis];
        lon_at += index * lon_outer_[axis];
    }
    return {{lat_data_ + lat_at, lat_step_}, {lon_data_ + lon_at, lon_step_}, length_};
}

}  // namespace orvik::engine
