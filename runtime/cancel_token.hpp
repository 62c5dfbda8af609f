// Stopping work that many threads share, soon after its caller asks.
#pragma once

#include <atomic>
#include <chrono>
#include <thread>

namespace orvik::runtime {

// Asked by the thread that started the work, and only there: between pieces
// when it computes them itself, and every few milliseconds while it waits
// for the pool.
class CancelPoll {
public:
    // True to stop the work.
    virtual bool cancel_requested() = 0;

protected:
    ~CancelPoll() = default;
};

// A request to stop, shared by the thread that started the work (its owner,
// the thread that made the token) and the threads that compute it.  Once set
// it stays set.
//
// Pieces long enough to matter ask stop_requested() every few thousand
// elements: on a worker that is one atomic load.  On the owner it also asks
// the poll, at most once every poll_interval: when the owner computes the
// work itself (a call limited to one thread, or no pool), nobody else is
// there to look.
class CancelToken {
public:
    static constexpr std::chrono::milliseconds poll_interval{5};

    // `poll` may be null: then only cancel() stops the work.
    explicit CancelToken(CancelPoll* poll = nullptr) noexcept
        : poll_(poll), owner_(std::this_thread::get_id()) {}
    CancelToken(const CancelToken&) = delete;
    CancelToken& operator=(const CancelToken&) = delete;

    // Any thread.
    bool stop_requested() noexcept {
        if (stopped()) return true;
        if (poll_ == nullptr || std::this_thread::get_id() != owner_) return false;
        if (std::chrono::steady_clock::now() < next_poll_) return false;
        return poll_now();
    }

    // The owner only: asks the poll now, unless the token is set already.  A
    // poll that throws counts as a request to stop.
    bool poll_now() noexcept;

    // Any thread.
    void cancel() noexcept { stopped_.store(true, std::memory_order_relaxed); }
    bool stopped() const noexcept { return stopped_.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> stopped_{false};
    CancelPoll* const poll_;
    const std::thread::id owner_;
    std::chrono::steady_clock::time_point next_poll_{};  // touched by the owner only
};

}  // namespace orvik::runtime
