#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "compat/borrow_table.hpp"

using orvik::compat::borrow_key;
using orvik::compat::BorrowKey;
using orvik::compat::BorrowTable;
using orvik::compat::conflicts;

namespace {

constexpr std::uintptr_t base = 0x10000;

BorrowKey key(std::uintptr_t data, std::vector<std::intptr_t> dims,
              std::vector<std::intptr_t> strides, std::size_t element_size = 8) {
    return borrow_key(data, dims, strides, element_size);
}

}  // namespace

TEST(BorrowKey, RangeCoversEveryElementWhateverTheStrideSigns) {
    EXPECT_EQ(key(base, {4}, {8}), (BorrowKey{base, base + 32, base, 8}));
    // A reversed view starts at its last element.
    EXPECT_EQ(key(base + 24, {4}, {-8}), (BorrowKey{base, base + 32, base + 24, -8}));
    EXPECT_EQ(key(base, {2, 3}, {24, 8}), (BorrowKey{base, base + 48, base, 8}));
    EXPECT_EQ(key(base, {3, 2}, {-16, 24}).range_start, base - 32);
}

TEST(BorrowKey, EmptyOrZeroDimensionalArrays) {
    EXPECT_EQ(key(base, {0}, {8}), (BorrowKey{base, base, base, 8}));
    EXPECT_EQ(key(base, {3, 0}, {8, 8}).range_end, base);
    // No dimensions: one element's data address, stride divisor 1.
    EXPECT_EQ(key(base, {}, {}), (BorrowKey{base, base, base, 1}));
}

TEST(Conflicts, DisjointRangesNeverConflict) {
    EXPECT_FALSE(conflicts(key(base, {4}, {8}), key(base + 32, {4}, {8})));
    EXPECT_TRUE(conflicts(key(base, {4}, {8}), key(base + 24, {4}, {8})));
}

TEST(Conflicts, InterleavedViewsDoNotConflict) {
    // Even and odd elements of the same buffer.
    const BorrowKey even = key(base, {4}, {16});
    const BorrowKey odd = key(base + 8, {4}, {16});
    EXPECT_FALSE(conflicts(even, odd));
    EXPECT_TRUE(conflicts(even, key(base + 16, {2}, {16})));
}

TEST(Conflicts, AllZeroStridesOverlappingIsAConflict) {
    const BorrowKey a = key(base, {5}, {0});
    const BorrowKey b = key(base + 4, {3}, {0}, 4);
    EXPECT_TRUE(conflicts(a, b));
    EXPECT_TRUE(conflicts(b, a));
    EXPECT_FALSE(conflicts(a, key(base + 8, {3}, {0})));
    // Only one side repeating: the other's stride decides.
    EXPECT_TRUE(conflicts(a, key(base, {4}, {16})));
}

TEST(BorrowTable, SharedBorrowsCountUpAndDown) {
    BorrowTable table;
    const BorrowKey k = key(base, {4}, {8});
    EXPECT_EQ(table.acquire_shared(base, k), 0);
    EXPECT_EQ(table.acquire_shared(base, k), 0);
    EXPECT_EQ(table.count(base, k), 2);
    EXPECT_EQ(table.acquire_exclusive(base, k), -1);
    table.release_shared(base, k);
    EXPECT_EQ(table.count(base, k), 1);
    table.release_shared(base, k);
    EXPECT_TRUE(table.empty());
}

TEST(BorrowTable, ExclusiveBlocksOverlappingBorrowsOnly) {
    BorrowTable table;
    const BorrowKey held = key(base, {4}, {8});
    ASSERT_EQ(table.acquire_exclusive(base, held), 0);
    EXPECT_EQ(table.count(base, held), -1);
    EXPECT_EQ(table.acquire_shared(base, held), -1);
    EXPECT_EQ(table.acquire_shared(base, key(base + 16, {4}, {8})), -1);
    EXPECT_EQ(table.acquire_exclusive(base, key(base + 16, {4}, {8})), -1);
    const BorrowKey apart = key(base + 32, {4}, {8});
    EXPECT_EQ(table.acquire_shared(base, apart), 0);
    // The same addresses under another base are other memory.
    EXPECT_EQ(table.acquire_shared(base + 1, held), 0);
    table.release_exclusive(base, held);
    EXPECT_EQ(table.count(base, held), 0);
    EXPECT_EQ(table.count(base, apart), 1);
    table.release_shared(base, apart);
    table.release_shared(base + 1, held);
    EXPECT_TRUE(table.empty());
}

TEST(BorrowTable, SharedBorrowsBlockExclusiveOnOverlap) {
    BorrowTable table;
    ASSERT_EQ(table.acquire_shared(base, key(base, {4}, {8})), 0);
    EXPECT_EQ(table.acquire_exclusive(base, key(base + 8, {2}, {8})), -1);
    EXPECT_EQ(table.acquire_exclusive(base, key(base + 32, {2}, {8})), 0);
}

TEST(BorrowTable, ReleasingWhatWasNotAcquiredChangesNothing) {
    BorrowTable table;
    const BorrowKey k = key(base, {4}, {8});
    table.release_shared(base, k);
    table.release_exclusive(base, k);
    ASSERT_EQ(table.acquire_exclusive(base, k), 0);
    table.release_shared(base, k);  // a shared release must not undo an exclusive borrow
    EXPECT_EQ(table.count(base, k), -1);
}
