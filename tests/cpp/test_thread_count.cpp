#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "runtime/thread_count.hpp"

using orvik::runtime::apply_cpu_quota;
using orvik::runtime::default_thread_count;
using orvik::runtime::max_pool_threads;
using orvik::runtime::pool_size_from_environment;
using orvik::runtime::requested_thread_count;

namespace {

struct RequestCase {
    const char* num_threads;
    const char* rs_num_cpus;
    std::optional<std::uint64_t> expected;  // none: the default count
};

class RequestedThreadCount : public testing::TestWithParam<RequestCase> {};

TEST_P(RequestedThreadCount, FollowsTheVariables) {
    const RequestCase& c = GetParam();
    EXPECT_EQ(requested_thread_count(c.num_threads, c.rs_num_cpus), c.expected)
        << "RAYON_NUM_THREADS=" << (c.num_threads ? c.num_threads : "(unset)")
        << " RAYON_RS_NUM_CPUS=" << (c.rs_num_cpus ? c.rs_num_cpus : "(unset)");
}

INSTANTIATE_TEST_SUITE_P(
    Table, RequestedThreadCount,
    testing::Values(RequestCase{nullptr, nullptr, std::nullopt}, RequestCase{"4", nullptr, 4},
                    RequestCase{"+4", nullptr, 4}, RequestCase{"007", "3", 7},
                    // Not a number: the second variable decides.
                    RequestCase{"", "3", 3}, RequestCase{"", nullptr, std::nullopt},
                    RequestCase{"-2", "3", 3}, RequestCase{" 4", "3", 3}, RequestCase{"4 ", "3", 3},
                    RequestCase{"+", "3", 3}, RequestCase{"++4", "3", 3}, RequestCase{"-0", "3", 3},
                    RequestCase{"4x", "3", 3}, RequestCase{"\xff", "3", 3},
                    RequestCase{"18446744073709551616", "3", 3},
                    RequestCase{"99999999999999999999999", nullptr, std::nullopt},
                    // 0 asks for the default, whatever the second variable says.
                    RequestCase{"0", "3", std::nullopt}, RequestCase{"00", nullptr, std::nullopt},
                    RequestCase{nullptr, "0", std::nullopt}, RequestCase{nullptr, "-1", std::nullopt},
                    RequestCase{"x", "+5", 5},
                    RequestCase{"18446744073709551615", nullptr, UINT64_MAX}));

// Sets or clears a variable for one test and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        set(value);
    }
    ~ScopedEnv() { set(old_ ? old_->c_str() : nullptr); }

private:
    void set(const char* value) {
        if (value) {
            setenv(name_, value, 1);
        } else {
            unsetenv(name_);
        }
    }
    const char* name_;
    std::optional<std::string> old_;
};

struct SizeCase {
    const char* num_threads;
    const char* rs_num_cpus;
    std::size_t expected;  // 0: the default count
};

class PoolSize : public testing::TestWithParam<SizeCase> {};

TEST_P(PoolSize, IsReadFromTheEnvironmentAndCapped) {
    const SizeCase& c = GetParam();
    ScopedEnv a("RAYON_NUM_THREADS", c.num_threads);
    ScopedEnv b("RAYON_RS_NUM_CPUS", c.rs_num_cpus);
    const std::size_t expected = c.expected ? c.expected : default_thread_count();
    EXPECT_EQ(pool_size_from_environment(c.num_threads, c.rs_num_cpus), expected);
}

INSTANTIATE_TEST_SUITE_P(Table, PoolSize,
                         testing::Values(SizeCase{"65535", nullptr, 65535},
                                         SizeCase{"65536", nullptr, max_pool_threads},
                                         SizeCase{"18446744073709551615", nullptr, max_pool_threads},
                                         SizeCase{nullptr, "70000", max_pool_threads},
                                         SizeCase{"0", "5", 0}, SizeCase{nullptr, nullptr, 0},
                                         SizeCase{"junk", "5", 5}));

TEST(CpuQuota, CapsTheCountButLeavesAtLeastOne) {
    EXPECT_EQ(apply_cpu_quota(8, std::nullopt), 8u);
    EXPECT_EQ(apply_cpu_quota(8, 2), 2u);
    EXPECT_EQ(apply_cpu_quota(2, 16), 2u);
    EXPECT_EQ(apply_cpu_quota(8, 0), 1u);
}

TEST(DefaultThreadCount, IsAtLeastOne) { EXPECT_GE(default_thread_count(), 1u); }

}  // namespace
