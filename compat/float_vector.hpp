// A growable-once buffer of float64 values: reserved in one allocation,
// filled in place (possibly by several threads, each its own slots), then
// either freed or handed over whole to a result array.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <optional>
#include <utility>

namespace orvik::compat {

class FloatVector {
public:
    // Frees a buffer handed over by into_raw(); capacity 0 means nothing was
    // allocated.
    using ReleaseFn = void (*)(void* data, std::size_t len, std::size_t capacity) noexcept;

    struct Raw {
        double* data;
        std::size_t len;
        std::size_t capacity;
        ReleaseFn release;
    };

    // Room for `capacity` values and length 0, or none when memory is short.
    static std::optional<FloatVector> with_capacity(std::size_t capacity) noexcept {
        if (capacity == 0) return FloatVector(&empty_slot, 0);
        if (capacity > static_cast<std::size_t>(-1) / sizeof(double)) return std::nullopt;
        void* data = std::malloc(capacity * sizeof(double));
        if (data == nullptr) return std::nullopt;
        return FloatVector(static_cast<double*>(data), capacity);
    }

    FloatVector(FloatVector&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)),
          len_(std::exchange(other.len_, 0)),
          capacity_(std::exchange(other.capacity_, 0)) {}
    FloatVector& operator=(FloatVector&&) = delete;
    ~FloatVector() { release(data_, len_, capacity_); }

    double* data() const noexcept { return data_; }
    std::size_t size() const noexcept { return len_; }
    std::size_t capacity() const noexcept { return capacity_; }
    // Every slot below `len` must have been written.
    void set_len(std::size_t len) noexcept { len_ = len; }

    // Gives up ownership; the receiver calls `release` exactly once.
    Raw into_raw() && noexcept {
        Raw raw{data_, len_, capacity_, &release};
        data_ = nullptr;
        len_ = capacity_ = 0;
        return raw;
    }

private:
    FloatVector(double* data, std::size_t capacity) noexcept : data_(data), capacity_(capacity) {}

    static void release(void* data, std::size_t, std::size_t capacity) noexcept {
        if (capacity != 0) std::free(data);
    }

    // The address of an empty vector: valid, aligned and never read.
    static inline double empty_slot = 0.0;

    double* data_;
    std::size_t len_ = 0;
    std::size_t capacity_;
};

}  // namespace orvik::compat
