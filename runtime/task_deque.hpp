// One worker's offered tasks: the owner pushes and takes back at the back,
// thieves take from the front (the oldest, and so the largest, pieces).
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <mutex>

namespace orvik::runtime {

template <class Task, std::size_t Capacity>
class TaskDeque {
public:
    static constexpr std::size_t capacity = Capacity;

    // The number of entries queued before this one, or `capacity` when the
    // deque is full and nothing was pushed (nothing is ever allocated).
    std::size_t push_back(Task* task) noexcept {
        std::lock_guard lock(mutex_);
        const std::size_t before = count_;
        if (before == Capacity) return Capacity;
        slots_[(head_ + count_) % Capacity] = task;
        size_hint_.store(++count_, std::memory_order_relaxed);
        return before;
    }

    // Removes `task` if it is still the newest entry.
    bool pop_back_if(const Task* task) noexcept {
        std::lock_guard lock(mutex_);
        if (count_ == 0 || slots_[(head_ + count_ - 1) % Capacity] != task) return false;
        size_hint_.store(--count_, std::memory_order_relaxed);
        return true;
    }

    Task* pop_front() noexcept {
        // A cheap look first, so that searching idle workers do not contend
        // for the locks of empty deques.
        if (size_hint_.load(std::memory_order_relaxed) == 0) return nullptr;
        std::lock_guard lock(mutex_);
        if (count_ == 0) return nullptr;
        Task* task = slots_[head_];
        head_ = (head_ + 1) % Capacity;
        size_hint_.store(--count_, std::memory_order_relaxed);
        return task;
    }


private:
    std::mutex mutex_;
    std::array<Task*, Capacity> slots_{};
    std::size_t head_ = 0;
    std::size_t count_ = 0;
    std::atomic<std::size_t> size_hint_{0};
};

}  // namespace orvik::runtime
