// Float64 columns read and written in place with any byte step: 0 repeats one
// value, a negative step walks backwards, and neither the address nor the
// step needs to be a multiple of 8 (a NumPy view of a packed record array is
// a valid column).
#pragma once

#include <cstddef>
#include <cstring>

namespace orvik::core {

struct StridedIn {
    const char* data;
    std::ptrdiff_t step;  // bytes from one element to the next

    double operator[](std::size_t i) const noexcept {
        double value;
        std::memcpy(&value, data + static_cast<std::ptrdiff_t>(i) * step, sizeof value);
        return value;
    }
    bool contiguous() const noexcept { return step == sizeof(double); }
};

struct StridedOut {
    char* data;
    std::ptrdiff_t step;

    void set(std::size_t i, double value) const noexcept {
        std::memcpy(data + static_cast<std::ptrdiff_t>(i) * step, &value, sizeof value);
    }
    bool contiguous() const noexcept { return step == sizeof(double); }
    explicit operator bool() const noexcept { return data != nullptr; }
};

// A contiguous column.
inline StridedIn contiguous(const double* values) noexcept {
    return {reinterpret_cast<const char*>(values), sizeof(double)};
}
inline StridedOut contiguous(double* values) noexcept {
    return {reinterpret_cast<char*>(values), sizeof(double)};
}

}  // namespace orvik::core
