#include "compat/borrow_table.hpp"

#include <limits>
#include <numeric>

namespace orvik::compat {
namespace {

std::uint64_t magnitude(std::intptr_t v) noexcept {
    // Unsigned negation: no overflow for the most negative value.
    const auto u = static_cast<std::uint64_t>(v);
    return v < 0 ? 0 - u : u;
}

}  // namespace

BorrowKey borrow_key(std::uintptr_t data, std::span<const std::intptr_t> dims,
                     std::span<const std::intptr_t> strides, std::size_t element_size) noexcept {
    std::uintptr_t start = data;
    std::uintptr_t end = data;
    bool empty = dims.empty();
    for (std::intptr_t d : dims) empty = empty || d == 0;
    if (!empty) {
        for (std::size_t axis = 0; axis < dims.size(); ++axis) {
            // Wrapping unsigned arithmetic: a valid array's extent fits the
            // address space, and nothing here may overflow a signed type.
            const auto offset = static_cast<std::uintptr_t>(dims[axis] - 1) *
                                static_cast<std::uintptr_t>(strides[axis]);
            if (strides[axis] < 0) {
                start += offset;
            } else {
                end += offset;
            }
        }
        end += element_size;
    }
    std::intptr_t gcd = 1;
    if (!strides.empty()) {
        gcd = strides[0];
        for (std::size_t i = 1; i < strides.size(); ++i) {
            gcd = static_cast<std::intptr_t>(std::gcd(magnitude(gcd), magnitude(strides[i])));
        }
    }
    return {start, end, data, gcd};
}

bool conflicts(const BorrowKey& a, const BorrowKey& b) noexcept {
    if (b.range_start >= a.range_end || a.range_start >= b.range_end) return false;
    const std::uint64_t divisor = std::gcd(magnitude(a.gcd_strides), magnitude(b.gcd_strides));
    if (divisor == 0) return true;
    const std::uint64_t distance =
        a.data_ptr > b.data_ptr ? a.data_ptr - b.data_ptr : b.data_ptr - a.data_ptr;
    return distance % divisor == 0;
}

std::size_t BorrowTable::KeyHash::operator()(const BorrowKey& key) const noexcept {
    std::size_t h = key.range_start;
    for (std::size_t part : {static_cast<std::size_t>(key.range_end),
                             static_cast<std::size_t>(key.data_ptr),
                             static_cast<std::size_t>(key.gcd_strides)}) {
        h = (h ^ part) * 0x100000001b3ULL + 0x9e3779b97f4a7c15ULL;
    }
    return h;
}

int BorrowTable::acquire_shared(std::uintptr_t base, const BorrowKey& key) {
    auto [entry, new_base] = bases_.try_emplace(base);
    Borrows& borrows = entry->second;
    if (new_base) {
        borrows.emplace(key, 1);
        return DONE;
    }
    if (auto found = borrows.find(key); found != borrows.end()) {
        std::intptr_t& readers = found->second;
        if (readers < 0 || readers == std::numeric_limits<std::intptr_t>::max()) return CONFLICT;
        ++readers;
        return DONE;
    }
    for (const auto& [other, count] : borrows) {
        if (count < 0 && conflicts(key, other)) return CONFLICT;
    }
    borrows.emplace(key, 1);
    return DONE;
}

int BorrowTable::acquire_exclusive(std::uintptr_t base, const BorrowKey& key) {
    auto [entry, new_base] = bases_.try_emplace(base);
    Borrows& borrows = entry->second;
    if (new_base) {
        borrows.emplace(key, -1);
        return DONE;
    }
    if (auto found = borrows.find(key); found != borrows.end()) {
        // A key is only ever stored with a count other than 0.
        return CONFLICT;
    }
    for (const auto& [other, count] : borrows) {
        if (count != 0 && conflicts(key, other)) return CONFLICT;
    }
    borrows.emplace(key, -1);
    return DONE;
}

void BorrowTable::remove(std::unordered_map<std::uintptr_t, Borrows>::iterator base,
                         Borrows::iterator key) noexcept {
    if (base->second.size() == 1) {
        bases_.erase(base);
    } else {
        base->second.erase(key);
    }
}

// Releasing what was never acquired is another module's fault; it is
// ignored rather than corrupting the counts of everyone else.
void BorrowTable::release_shared(std::uintptr_t base, const BorrowKey& key) noexcept {
    auto entry = bases_.find(base);
    if (entry == bases_.end()) return;
    auto found = entry->second.find(key);
    if (found == entry->second.end() || found->second <= 0) return;
    if (--found->second == 0) remove(entry, found);
}

void BorrowTable::release_exclusive(std::uintptr_t base, const BorrowKey& key) noexcept {
    auto entry = bases_.find(base);
    if (entry == bases_.end()) return;
    auto found = entry->second.find(key);
    if (found == entry->second.end() || found->second != -1) return;
    remove(entry, found);
}

std::intptr_t BorrowTable::count(std::uintptr_t base, const BorrowKey& key) const noexcept {
    auto entry = bases_.find(base);
    if (entry == bases_.end()) return 0;
    auto found = entry->second.find(key);
    return found == entry->second.end() ? 0 : found->second;
}

}  // namespace orvik::compat
