// The CPU quota that control groups (v1 or v2) put on this process.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace orvik::runtime {

// Where the quota computation reads its files, so it can be tried on sample
// contents.  Paths are absolute.
class FileSource {
public:
    virtual std::optional<std::string> read(const std::string& path) const = 0;
    virtual bool exists(const std::string& path) const = 0;

protected:
    ~FileSource() = default;
};

// The real file system.
class SystemFiles final : public FileSource {
public:
    std::optional<std::string> read(const std::string& path) const override;
    bool exists(const std::string& path) const override;
};

// Whole CPUs granted by the quota (quota / period, rounded down; the smallest
// along the hierarchy from the process's group up to the root); nothing when
// no quota is set or the groups cannot be read.  May be 0.
std::optional<std::size_t> cgroup_cpu_quota(const FileSource& files);

}  // namespace orvik::runtime
