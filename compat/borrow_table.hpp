// Which parts of which arrays are borrowed, shared or exclusively: the state
// behind the borrow registry that extension modules share.  Pure C++; the
// caller supplies base addresses and keys and provides mutual exclusion (the
// interpreter lock).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <unordered_map>

namespace orvik::compat {

// The memory an array's elements may touch: [range_start, range_end), its
// first element and the greatest common divisor of its strides.
struct BorrowKey {
    std::uintptr_t range_start;
    std::uintptr_t range_end;
    std::uintptr_t data_ptr;
    std::intptr_t gcd_strides;

    bool operator==(const BorrowKey&) const = default;
};

// The key of an array with the given data address, shape, strides (bytes)
// and element size.  No dimensions, or a zero dimension, give an empty range.
BorrowKey borrow_key(std::uintptr_t data, std::span<const std::intptr_t> dims,
                     std::span<const std::intptr_t> strides, std::size_t element_size) noexcept;

// Whether two keys of the same base may reach a common element.  Arrays whose
// strides are all 0 repeat one element without stepping, so when both do and
// their ranges overlap they are taken to conflict.
bool conflicts(const BorrowKey& a, const BorrowKey& b) noexcept;

class BorrowTable {
public:
    static constexpr int DONE = 0;
    static constexpr int CONFLICT = -1;

    // A shared borrow: DONE, or CONFLICT when an exclusive borrow overlaps
    // it or the count would overflow.
    int acquire_shared(std::uintptr_t base, const BorrowKey& key);
    // An exclusive borrow: DONE, or CONFLICT when any borrow overlaps it.
    int acquire_exclusive(std::uintptr_t base, const BorrowKey& key);
    void release_shared(std::uintptr_t base, const BorrowKey& key) noexcept;
    void release_exclusive(std::uintptr_t base, const BorrowKey& key) noexcept;

    // Shared count under the key, -1 for an exclusive borrow, 0 for none.
    std::intptr_t count(std::uintptr_t base, const BorrowKey& key) const noexcept;
    bool empty() const noexcept { return bases_.empty(); }

private:
    struct KeyHash {
        std::size_t operator()(const BorrowKey& key) const noexcept;
    };
    using Borrows = std::unordered_map<BorrowKey, std::intptr_t, KeyHash>;

    void remove(std::unordered_map<std::uintptr_t, Borrows>::iterator base,
                Borrows::iterator key) noexcept;

    std::unordered_map<std::uintptr_t, Borrows> bases_;
};

}  // namespace orvik::compat
