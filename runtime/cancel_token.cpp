#include "runtime/cancel_token.hpp"

namespace orvik::runtime {

bool CancelToken::poll_now() noexcept {
    if (stopped()) return true;
    if (poll_ == nullptr) return false;
    bool stop = true;
    try {
        stop = poll_->cancel_requested();
    } catch (...) {
        // A poll that cannot look counts as a request to stop.
    }
    next_poll_ = std::chrono::steady_clock::now() + poll_interval;
    if (stop) cancel();
    return stop;
}

}  // namespace orvik::runtime
