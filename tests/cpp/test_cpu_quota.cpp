#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "runtime/cpu_quota.hpp"

using orvik::runtime::cgroup_cpu_quota;
using orvik::runtime::FileSource;

namespace {

// A file tree given as path -> contents; directories exist when a file
// lies below them.
class SampleFiles final : public FileSource {
public:
    explicit SampleFiles(std::map<std::string, std::string> files) : files_(std::move(files)) {}

    std::optional<std::string> read(const std::string& path) const override {
        const auto it = files_.find(path);
        if (it == files_.end()) return std::nullopt;
        return it->second;
    }
    bool exists(const std::string& path) const override {
        const auto it = files_.lower_bound(path);
        return it != files_.end() && (it->first == path || it->first.starts_with(path + "/"));
    }

private:
    std::map<std::string, std::string> files_;
};

struct QuotaCase {
    const char* name;
    std::map<std::string, std::string> files;
    std::optional<std::size_t> expected;
};

class CgroupQuota : public testing::TestWithParam<QuotaCase> {};

TEST_P(CgroupQuota, ReadsTheSmallestAlongTheHierarchy) {
    EXPECT_EQ(cgroup_cpu_quota(SampleFiles(GetParam().files)), GetParam().expected);
}

const std::string v2 = "/sys/fs/cgroup";
const std::string v1 = "/sys/fs/cgroup/cpu,cpuacct";

INSTANTIATE_TEST_SUITE_P(
    Samples, CgroupQuota,
    testing::Values(
        QuotaCase{"V2Parent",
                  {{"/proc/self/cgroup", "0::/a/b\n"},
                   {v2 + "/a/b/cgroup.controllers", "cpu memory\n"},
                   {v2 + "/a/b/cpu.max", "max 100000\n"},
                   {v2 + "/a/cpu.max", "250000 100000\n"}},
                  2},
        QuotaCase{"V2LeafSmaller",
                  {{"/proc/self/cgroup", "0::/a/b\n"},
                   {v2 + "/a/b/cgroup.controllers", ""},
                   {v2 + "/a/b/cpu.max", "150000 100000\n"},
                   {v2 + "/a/cpu.max", "400000 100000\n"}},
                  1},
        QuotaCase{"V2BelowOneCpu",
                  {{"/proc/self/cgroup", "0::/a\n"},
                   {v2 + "/a/cgroup.controllers", ""},
                   {v2 + "/a/cpu.max", "50000 100000\n"}},
                  0},
        QuotaCase{"V2RootNamespace",
                  {{"/proc/self/cgroup", "0::/\n"},
                   {v2 + "/cgroup.controllers", ""},
                   {v2 + "/cpu.max", "300000 100000\n"}},
                  3},
        QuotaCase{"V2Unlimited",
                  {{"/proc/self/cgroup", "0::/a\n"},
                   {v2 + "/a/cgroup.controllers", ""},
                   {v2 + "/a/cpu.max", "max 100000\n"}},
                  std::nullopt},
        QuotaCase{"V2ZeroPeriodIgnored",
                  {{"/proc/self/cgroup", "0::/a\n"},
                   {v2 + "/a/cgroup.controllers", ""},
                   {v2 + "/a/cpu.max", "100000 0\n"}},
                  std::nullopt},
        QuotaCase{"V2NotMounted",
                  {{"/proc/self/cgroup", "0::/a\n"}, {v2 + "/a/cpu.max", "100000 100000\n"}},
                  std::nullopt},
        QuotaCase{"V1",
                  {{"/proc/self/cgroup", "12:memory:/m\n4:cpu,cpuacct:/docker/c1\n0::/\n"},
                   {v1 + "/docker/c1/cpu.cfs_quota_us", "300000\n"},
                   {v1 + "/docker/c1/cpu.cfs_period_us", "100000\n"},
                   {v1 + "/cpu.cfs_quota_us", "-1\n"},
                   {v1 + "/cpu.cfs_period_us", "100000\n"}},
                  3},
        QuotaCase{"V1WinsOverV2WhateverTheOrder",
                  {{"/proc/self/cgroup", "0::/x\n4:cpu:/y\n"},
                   {v2 + "/x/cgroup.controllers", ""},
                   {v2 + "/x/cpu.max", "100000 100000\n"},
                   {"/sys/fs/cgroup/cpu/y/cpu.cfs_quota_us", "500000\n"},
                   {"/sys/fs/cgroup/cpu/y/cpu.cfs_period_us", "100000\n"}},
                  5},
        QuotaCase{"V1Unlimited",
                  {{"/proc/self/cgroup", "1:cpu:/\n0::/\n"},
                   {"/sys/fs/cgroup/cpu/cpu.cfs_quota_us", "-1\n"},
                   {"/sys/fs/cgroup/cpu/cpu.cfs_period_us", "100000\n"}},
                  std::nullopt},
        QuotaCase{"V1FromMountTable",
                  {{"/proc/self/cgroup", "5:cpuacct,cpu:/docker/c2\n"},
                   {"/proc/self/mountinfo",
                    "31 23 0:28 / /sys/fs/cgroup rw - tmpfs tmpfs rw\n"
                    "32 31 0:29 /docker /custom/cpu rw,relatime - cgroup cgroup rw,cpuacct,cpu\n"},
                   {"/custom/cpu/c2/cpu.cfs_quota_us", "200000\n"},
                   {"/custom/cpu/c2/cpu.cfs_period_us", "100000\n"}},
                  2},
        QuotaCase{"OtherControllersOnlyMeansV2",
                  {{"/proc/self/cgroup", "4:memory:/m\n0::/a\n"},
                   {v2 + "/a/cgroup.controllers", ""},
                   {v2 + "/a/cpu.max", "700000 100000\n"}},
                  7},
        QuotaCase{"NoMembership", {}, std::nullopt},
        QuotaCase{"MalformedLinesSkipped",
                  {{"/proc/self/cgroup", "garbage\n\n7\n0::/a\n"},
                   {v2 + "/a/cgroup.controllers", ""},
                   {v2 + "/a/cpu.max", "200000 100000\n"}},
                  2}),
    [](const testing::TestParamInfo<QuotaCase>& param_info) {
        return std::string(param_info.param.name);
    });

}  // namespace
