// Tracks (polylines) and rings as the line functions read them, whatever the
// caller gave: rows of broadcast arrays along an axis, lists of
// one-dimensional array-likes of different lengths, or flat columns cut by
// offsets.  Each track is a pair of strided columns read in place.
#pragma once

#include <Python.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/strided.hpp"
#include "engine/array_argument.hpp"
#include "engine/array_run.hpp"
#include "engine/broadcast.hpp"

namespace orvik::engine {

struct Track {
    core::StridedIn lat, lon;
    std::size_t size;
};

// Tracks given as one-dimensional columns of every vertex, cut by int64
// offsets: track t is elements [offsets[t], offsets[t + 1]).
struct CutByOffsets {
    PyObject* offsets;
};

class Tracks {
public:
    // `lats` and `lons` as the line functions take them: lists (or tuples)
    // of one-dimensional array-likes of different lengths, one track each
    // (then `axis` must be -1, or 1), or array-likes broadcast together with
    // the tracks along `axis`.  Throws PythonError naming the argument.
    Tracks(std::string_view function, PyObject* lats, PyObject* lons, Py_ssize_t axis);
    // `lats` and `lons` one-dimensional and of one length, cut into tracks
    // by `offsets`, which must start at 0, end at that length and never
    // decrease.  The offsets are copied when checked: the pool reads them
    // without the interpreter lock, when another thread could change the
    // caller's array.  Throws PythonError naming the argument.
    Tracks(std::string_view function, PyObject* lats, PyObject* lons, CutByOffsets cut);

    std::size_t count() const noexcept;
    Track track(std::size_t t) const noexcept;
    // The shape of one value per track: the input's shape without the track
    // axis, or (tracks,) for lists.
    const Shape& result_shape() const noexcept { return result_; }
    // Pins the arrays of the columns for a run without the interpreter lock
    // (tracks given as lists are not pinned: there may be any number).
    void pin_columns(BufferPins& pins) const;

private:
    bool ragged(std::string_view function, PyObject* lats, PyObject* lons);

    std::vector<ArrayArgument> held_;  // what the columns point into
    std::vector<Track> listed_;        // tracks given as lists
    std::vector<std::int64_t> offsets_;  // tracks cut by offsets (with the columns below, steps between vertices)
    // Tracks of an array: the outer shape and strides, and the track axis.
    Shape result_;
    std::array<std::ptrdiff_t, runtime::max_dims> lat_outer_{}, lon_outer_{};
    const char* lat_data_ = nullptr;
    const char* lon_data_ = nullptr;
    std::ptrdiff_t lat_step_ = 0, lon_step_ = 0;
    std::size_t length_ = 0;
    enum class Source : unsigned char { axis, listed, offsets } source_ = Source::axis;
};

}  // namespace orvik::engine
