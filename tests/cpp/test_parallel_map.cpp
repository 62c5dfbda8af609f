#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <atomic>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "runtime/failure.hpp"
#include "runtime/parallel_for.hpp"
#include "runtime/worker_pool.hpp"

using orvik::InternalFailure;
using orvik::runtime::CancelPoll;
using orvik::runtime::CancelToken;
using orvik::runtime::Cancelled;
using orvik::runtime::ElementFailure;
using orvik::runtime::MapOptions;
using orvik::runtime::parallel_for;
using orvik::runtime::PieceBody;
using orvik::runtime::WorkerPool;

namespace {

// Counts how often each index is computed, on which threads, in how many pieces.
class CountingBody final : public PieceBody {
public:
    explicit CountingBody(std::size_t n) : counts_(n) {}

    void run(std::size_t begin, std::size_t end) const override {
        if (std::this_thread::get_id() == caller_) ran_on_caller_.store(true);
        if (begin >= end || end > counts_.size()) bad_piece_.store(true);
        for (std::size_t i = begin; i < end && i < counts_.size(); ++i) counts_[i].fetch_add(1);
        pieces_.fetch_add(1);
    }

    // Every index exactly once, through well-formed pieces.
    bool each_index_once() const {
        return !bad_piece_.load() && std::all_of(counts_.begin(), counts_.end(),
                                                 [](const auto& c) { return c.load() == 1; });
    }
    std::size_t pieces() const { return pieces_.load(); }
    bool ran_on_caller() const { return ran_on_caller_.load(); }

private:
    mutable std::vector<std::atomic<unsigned>> counts_;
    mutable std::atomic<std::size_t> pieces_{0};
    mutable std::atomic<bool> bad_piece_{false};
    mutable std::atomic<bool> ran_on_caller_{false};
    std::thread::id caller_ = std::this_thread::get_id();
};

// Fails at the first index of its piece that is in `failing`.
class FailingBody final : public PieceBody {
public:
    explicit FailingBody(std::set<std::size_t> failing) : failing_(std::move(failing)) {}

    void run(std::size_t begin, std::size_t end) const override {
        const auto it = failing_.lower_bound(begin);
        if (it != failing_.end() && *it < end) {
            throw ElementFailure{*it, "element " + std::to_string(*it) + " failed"};
        }
    }

private:
    std::set<std::size_t> failing_;
};

void map_on_pool(WorkerPool& pool, std::size_t n, const PieceBody& body) { parallel_for(&pool, n, body); }

std::string panic_message(WorkerPool& pool, std::size_t n, const PieceBody& body) {
    try {
        map_on_pool(pool, n, body);
    } catch (const InternalFailure& p) {
        return p.message.value_or("(no message)");
    }
    return "(no failure)";
}

class ParallelMap : public testing::TestWithParam<std::size_t> {
protected:
    void SetUp() override {
        auto started = WorkerPool::start(GetParam());
        ASSERT_TRUE(started.pool) << "error " << started.error;
        pool_ = std::move(started.pool);
    }
    WorkerPool& pool() { return *pool_; }

private:
    std::unique_ptr<WorkerPool> pool_;
};

const std::size_t lengths[] = {2, 3, 4, 5, 7, 8, 16, 31, 63, 64, 65, 100, 1000, 4097, 100000};

TEST_P(ParallelMap, ComputesEveryIndexExactlyOnce) {
    const std::size_t threads = GetParam();
    for (const std::size_t n : lengths) {
        CountingBody body(n);
        map_on_pool(pool(), n, body);
        EXPECT_TRUE(body.each_index_once()) << n;
        // Split into a few pieces per worker (never more pieces than indices),
        // and never computed by the caller, which only waits.
        EXPECT_GE(body.pieces(), std::min(n, 4 * threads)) << n;
        EXPECT_FALSE(body.ran_on_caller()) << n;
    }
}

TEST_P(ParallelMap, EmptyAndSingleRangesStayOnTheCaller) {
    CountingBody none(0);
    map_on_pool(pool(), 0, none);
    EXPECT_EQ(none.pieces(), 0u);

    CountingBody one(1);
    map_on_pool(pool(), 1, one);
    EXPECT_TRUE(one.each_index_once());
    EXPECT_TRUE(one.ran_on_caller());

    EXPECT_EQ(panic_message(pool(), 1, FailingBody({0})), "element 0 failed");
}

TEST_P(ParallelMap, SmallestFailingIndexWins) {
    const std::size_t n = 1000;
    const std::vector<std::set<std::size_t>> cases = {
        {0}, {999}, {500}, {1, 999}, {998, 999}, {3, 4, 5, 6}, {250, 500, 750}, {0, 500, 999},
    };
    for (const auto& failing : cases) {
        const std::string expected = "element " + std::to_string(*failing.begin()) + " failed";
        // Repeated, since which pieces run where changes from run to run.
        for (int repeat = 0; repeat < 20; ++repeat) {
            ASSERT_EQ(panic_message(pool(), n, FailingBody(failing)), expected);
        }
    }
    // Every index failing: index 0 wins.
    std::set<std::size_t> all;
    for (std::size_t i = 0; i < 64; ++i) all.insert(i);
    EXPECT_EQ(panic_message(pool(), 64, FailingBody(all)), "element 0 failed");
}

TEST_P(ParallelMap, OtherExceptionsReachTheCallerUnchanged) {
    class Throwing final : public PieceBody {
    public:
        void run(std::size_t begin, std::size_t end) const override {
            if (begin <= 10 && 10 < end) throw std::runtime_error("boom");
        }
    };
    EXPECT_THROW(map_on_pool(pool(), 100, Throwing{}), std::runtime_error);
}

TEST_P(ParallelMap, PiecesMayRunMapsOfTheirOwn) {
    // Nested maps run on the worker that starts them; with one worker,
    // blocking it instead would never finish.
    class Nested final : public PieceBody {
    public:
        Nested(WorkerPool& pool, std::size_t outer, std::size_t inner)
            : pool_(pool), inner_(inner), counts_(outer * inner) {}
        void run(std::size_t begin, std::size_t end) const override {
            for (std::size_t i = begin; i < end; ++i) {
                Slice slice(*this, i * inner_);
                map_on_pool(pool_, inner_, slice);
            }
        }
        bool each_once() const {
            return std::all_of(counts_.begin(), counts_.end(), [](const auto& c) { return c == 1; });
        }

    private:
        class Slice final : public PieceBody {
        public:
            Slice(const Nested& outer, std::size_t offset) : outer_(outer), offset_(offset) {}
            void run(std::size_t begin, std::size_t end) const override {
                for (std::size_t i = begin; i < end; ++i) outer_.counts_[offset_ + i].fetch_add(1);
            }

        private:
            const Nested& outer_;
            std::size_t offset_;
        };
        WorkerPool& pool_;
        std::size_t inner_;
        mutable std::vector<std::atomic<unsigned>> counts_;
    };
    Nested body(pool(), 50, 37);
    map_on_pool(pool(), 50, body);
    EXPECT_TRUE(body.each_once());
}

TEST_P(ParallelMap, ServesSeveralCallersAtOnce) {
    std::atomic<int> wrong{0};
    std::vector<std::thread> callers;
    for (int c = 0; c < 4; ++c) {
        callers.emplace_back([&, c] {
            for (std::size_t round = 0; round < 40; ++round) {
                const std::size_t n = 2 + (round * 37 + static_cast<std::size_t>(c) * 101) % 3000;
                CountingBody body(n);
                map_on_pool(pool(), n, body);
                if (!body.each_index_once() || body.ran_on_caller()) wrong.fetch_add(1);
                // Failures from one caller never leak into another's job.
                const std::size_t fail_at = n / 2 + static_cast<std::size_t>(c);
                if (panic_message(pool(), n + 8, FailingBody({fail_at})) !=
                    "element " + std::to_string(fail_at) + " failed") {
                    wrong.fetch_add(1);
                }
            }
        });
    }
    for (auto& t : callers) t.join();
    EXPECT_EQ(wrong.load(), 0);
}

// Counts the threads inside its pieces at once, and how long pieces are.
class ConcurrencyBody final : public PieceBody {
public:
    void run(std::size_t begin, std::size_t end) const override {
        const int now = inside_.fetch_add(1) + 1;
        int seen = most_.load();
        while (now > seen && !most_.compare_exchange_weak(seen, now)) {
        }
        std::size_t longest = longest_.load();
        while (end - begin > longest && !longest_.compare_exchange_weak(longest, end - begin)) {
        }
        if (std::this_thread::get_id() == caller_) ran_on_caller_.store(true);
        std::this_thread::sleep_for(std::chrono::microseconds(50 * (end - begin)));
        inside_.fetch_sub(1);
    }
    int most() const { return most_.load(); }
    std::size_t longest() const { return longest_.load(); }
    bool ran_on_caller() const { return ran_on_caller_.load(); }

private:
    mutable std::atomic<int> inside_{0}, most_{0};
    mutable std::atomic<std::size_t> longest_{0};
    mutable std::atomic<bool> ran_on_caller_{false};
    std::thread::id caller_ = std::this_thread::get_id();
};

TEST_P(ParallelMap, WorkersPerCallAreCapped) {
    for (const std::size_t cap : {1, 2, 3}) {
        ConcurrencyBody body;
        MapOptions options;
        options.max_workers = cap;
        options.max_piece = 4;
        parallel_for(&pool(), 400, body, options);
        EXPECT_LE(body.most(), static_cast<int>(cap)) << cap;
        EXPECT_LE(body.longest(), 4u);
        // One thread: the caller computes the map itself.
        EXPECT_EQ(body.ran_on_caller(), cap == 1) << cap;
    }
}

// Asks to cancel once it has been asked `after` times.
class CancelAfter final : public CancelPoll {
public:
    explicit CancelAfter(int after) : left_(after) {}
    bool cancel_requested() override { return --left_ < 0; }

private:
    int left_;
};

TEST_P(ParallelMap, CancelledMapsStopSoon) {
    for (const std::size_t cap : {0, 1}) {
        CountingBody body(1 << 20);
        CancelAfter poll(2);
        CancelToken token(&poll);
        MapOptions options;
        options.max_workers = cap;
        options.max_piece = 64;
        options.cancel = &token;
        // Each index takes no time, so the whole map would finish quickly
        // too: slow every piece down instead.
        class Slow final : public PieceBody {
        public:
            explicit Slow(const CountingBody& b) : b_(b) {}
            void run(std::size_t begin, std::size_t end) const override {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                b_.run(begin, end);
            }

        private:
            const CountingBody& b_;
        };
        const auto start = std::chrono::steady_clock::now();
        EXPECT_THROW(parallel_for(&pool(), 1 << 20, Slow(body), options), Cancelled);
        // Some 16000 pieces of a millisecond each would take seconds.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500)) << cap;
        EXPECT_LT(body.pieces(), 2000u) << cap;
    }
}

// A piece that never ends on its own, unless its map's token is set: it
// stops only if the token reaches it inside the piece, on the pool (set by
// the waiting caller) and on the caller itself (which then polls).
TEST_P(ParallelMap, LongPiecesStopWhenTheTokenIsSet) {
    class OwnerOnly final : public CancelPoll {
    public:
        bool cancel_requested() override {
            if (std::this_thread::get_id() != owner_) elsewhere_.store(true);
            return ++polls_ >= 3;
        }
        bool asked_elsewhere() const { return elsewhere_.load(); }

    private:
        const std::thread::id owner_ = std::this_thread::get_id();
        std::atomic<bool> elsewhere_{false};
        int polls_ = 0;
    };
    class Endless final : public PieceBody {
    public:
        explicit Endless(CancelToken& token) : token_(token) {}
        void run(std::size_t, std::size_t) const override {
            while (!token_.stop_requested()) std::this_thread::sleep_for(std::chrono::microseconds(100));
        }

    private:
        CancelToken& token_;
    };
    for (const std::size_t cap : {0, 1}) {
        OwnerOnly poll;
        CancelToken token(&poll);
        MapOptions options;
        options.max_workers = cap;
        options.cancel = &token;
        EXPECT_THROW(parallel_for(&pool(), 64, Endless(token), options), Cancelled) << cap;
        EXPECT_FALSE(poll.asked_elsewhere()) << cap;
        EXPECT_TRUE(token.stopped());
    }
}

// A set token stays set, and the map that sees it throws even when the
// piece that saw it was the last one.
TEST(CancelToken, ASetTokenStopsTheMapAfterItsLastPiece) {
    CancelToken token;
    EXPECT_FALSE(token.stop_requested());
    class CancelsAtTheEnd final : public PieceBody {
    public:
        explicit CancelsAtTheEnd(CancelToken& t) : token_(t) {}
        void run(std::size_t, std::size_t end) const override {
            if (end == 10) token_.cancel();
        }

    private:
        CancelToken& token_;
    };
    MapOptions options;
    options.max_piece = 5;
    options.cancel = &token;
    EXPECT_THROW(parallel_for(nullptr, 10, CancelsAtTheEnd(token), options), Cancelled);
    EXPECT_TRUE(token.stop_requested() && token.poll_now());
}

// While a caller waits for the pool, its poll may start another map from the
// same thread (a Python signal handler calling the package does); each map
// must still return only once all of its own pieces are done.
TEST_P(ParallelMap, MapsStartedByAWaitingCallersPollFinishOnTheirOwn) {
    CountingBody outer_body(256), inner_body(1000);
    class StartsAMap final : public CancelPoll {
    public:
        StartsAMap(WorkerPool& pool, CountingBody& body) : pool_(pool), body_(body) {}
        bool cancel_requested() override {
            if (!started_) {
                started_ = true;
                parallel_for(&pool_, 1000, body_);
            }
            return false;
        }

    private:
        WorkerPool& pool_;
        CountingBody& body_;
        bool started_ = false;
    } poll(pool(), inner_body);
    class Slow final : public PieceBody {
    public:
        explicit Slow(const CountingBody& b) : b_(b) {}
        void run(std::size_t begin, std::size_t end) const override {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            b_.run(begin, end);
        }

    private:
        const CountingBody& b_;
    };
    MapOptions options;
    options.max_piece = 4;
    CancelToken token(&poll);
    options.cancel = &token;
    parallel_for(&pool(), 256, Slow(outer_body), options);
    EXPECT_TRUE(outer_body.each_index_once());
    EXPECT_TRUE(inner_body.each_index_once());
}

TEST(ParallelMapWithoutPool, RunsOnTheCallerInBoundedPieces) {
    ConcurrencyBody body;
    MapOptions options;
    options.max_piece = 7;
    parallel_for(nullptr, 100, body, options);
    EXPECT_TRUE(body.ran_on_caller());
    EXPECT_EQ(body.longest(), 7u);
    EXPECT_EQ(body.most(), 1);
}

INSTANTIATE_TEST_SUITE_P(ThreadCounts, ParallelMap, testing::Values(1, 2, 3, 8),
                         [](const testing::TestParamInfo<std::size_t>& param_info) {
                             return std::to_string(param_info.param) + "Threads";
                         });

}  // namespace
