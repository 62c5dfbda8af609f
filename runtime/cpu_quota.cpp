#include "runtime/cpu_quota.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <vector>

#include "runtime/parse_unsigned.hpp"

namespace orvik::runtime {
namespace {

constexpr std::string_view cgroup_root = "/sys/fs/cgroup";

// The process's group, relative to its hierarchy's mount point.
struct CgroupPlace {
    std::string path;
    bool v1;  // a v1 hierarchy with the cpu controller, else the unified v2 one
};

std::vector<std::string_view> split(std::string_view text, char sep) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(sep);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + 1);
    }
}

bool has_item(std::string_view list, std::string_view item) {
    const auto items = split(list, ',');
    return std::find(items.begin(), items.end(), item) != items.end();
}

std::string_view first_line(std::string_view text) { return text.substr(0, text.find('\n')); }

std::string_view trim(std::string_view text) {
    constexpr std::string_view blanks = " \t\n\r\f\v";
    const std::size_t begin = text.find_first_not_of(blanks);
    if (begin == std::string_view::npos) return {};
    return text.substr(begin, text.find_last_not_of(blanks) - begin + 1);
}

std::string join(std::string_view base, std::string_view relative) {
    std::string path(base);
    if (!relative.empty()) {
        path += '/';
        path += relative;
    }
    return path;
}

// /proc/self/cgroup lines are "id:controllers:path"; an empty controller list
// is the v2 hierarchy.  A v1 hierarchy naming "cpu" wins over v2 because it
// states its controllers explicitly.
std::optional<CgroupPlace> find_cgroup(std::string_view proc_self_cgroup) {
    std::optional<CgroupPlace> found;
    for (const std::string_view line : split(proc_self_cgroup, '\n')) {
        const std::size_t first = line.find(':');
        if (first == std::string_view::npos) continue;
        const std::size_t second = line.find(':', first + 1);
        if (second == std::string_view::npos) continue;
        const std::string_view controllers = line.substr(first + 1, second - first - 1);
        const bool v1 = !controllers.empty();
        if (v1 && !has_item(controllers, "cpu")) continue;
        if (found && !v1) continue;
        std::string_view path = line.substr(second + 1);
        if (!path.empty() && path.front() == '/') path.remove_prefix(1);
        found = CgroupPlace{std::string(path), v1};
    }
    return found;
}

void take_smaller(std::optional<std::size_t>& quota, std::uint64_t limit, std::uint64_t period) {
    if (period == 0) return;
    const auto cpus = static_cast<std::size_t>(limit / period);
    quota = quota ? std::min(*quota, cpus) : cpus;
}

// Calls visit(dir) for `start` and each of its parents up to `mount`.
template <class Visit>
void walk_up(const std::string& mount, std::string dir, Visit visit) {
    for (;;) {
        visit(dir);
        if (dir.size() <= mount.size()) return;
        dir.resize(dir.rfind('/'));
        if (dir.size() < mount.size()) return;
    }
}

std::optional<std::size_t> quota_v2(const FileSource& files, const std::string& group) {
    const std::string mount(cgroup_root);
    const std::string start = join(mount, group);
    // Not a cgroup2 mount: no quota can be read there.
    if (!files.exists(start + "/cgroup.controllers")) return std::nullopt;
    std::optional<std::size_t> quota;
    walk_up(mount, start, [&](const std::string& dir) {
        // "max 100000" (no limit) or "quota period".
        const auto text = files.read(dir + "/cpu.max");
        if (!text) return;
        const auto fields = split(first_line(*text), ' ');
        if (fields.size() < 2) return;
        const auto limit = parse_unsigned(fields[0]);
        const auto period = parse_unsigned(fields[1]);
        if (limit && period) take_smaller(quota, *limit, *period);
    });
    return quota;
}

// The mount point of the v1 hierarchy with the cpu controller, and `group`
// made relative to it (the mount may show only a subtree).
std::optional<std::pair<std::string, std::string>> find_v1_mount(const FileSource& files,
                                                                  const std::string& group) {
    const auto mountinfo = files.read("/proc/self/mountinfo");
    if (!mountinfo) return std::nullopt;
    for (const std::string_view line : split(*mountinfo, '\n')) {
        const auto items = split(trim(line), ' ');
        // id parent major:minor root mount-point options ... - type source super-options
        if (items.size() < 7) continue;
        const std::string_view fs_type = items[items.size() - 3];
        if (fs_type != "cgroup" || !has_item(items.back(), "cpu")) continue;
        std::string_view root = items[3];
        if (root.empty() || root.front() != '/') return std::nullopt;
        root.remove_prefix(1);
        std::string_view rest = group;
        if (!root.empty()) {
            if (rest == root) {
                rest = {};
            } else if (rest.starts_with(root) && rest[root.size()] == '/') {
                rest.remove_prefix(root.size() + 1);
            } else {
                continue;
            }
        }
        return std::pair{std::string(items[4]), std::string(rest)};
    }
    return std::nullopt;
}

std::optional<std::size_t> read_v1_number(const FileSource& files, const std::string& path) {
    const auto text = files.read(path);
    if (!text) return std::nullopt;
    return parse_unsigned(trim(*text));
}

// The smallest quota along a v1 hierarchy mounted at `mount`.
std::optional<std::size_t> quota_v1_tree(const FileSource& files, const std::string& mount,
                                         const std::string& relative) {
    std::optional<std::size_t> quota;
    walk_up(mount, join(mount, relative), [&](const std::string& dir) {
        // -1 (no limit) does not parse and is skipped.
        const auto limit = read_v1_number(files, dir + "/cpu.cfs_quota_us");
        const auto period = read_v1_number(files, dir + "/cpu.cfs_period_us");
        if (limit && period) take_smaller(quota, *limit, *period);
    });
    return quota;
}

std::optional<std::size_t> quota_v1(const FileSource& files, const std::string& group) {
    // The usual mount points first; the mount table only when both miss.
    for (const std::string_view name : {"cpu", "cpu,cpuacct"}) {
        const std::string mount = join(cgroup_root, name);
        if (files.exists(join(mount, group))) return quota_v1_tree(files, mount, group);
    }
    const auto found = find_v1_mount(files, group);
    if (found && files.exists(join(found->first, found->second))) {
        return quota_v1_tree(files, found->first, found->second);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> SystemFiles::read(const std::string& path) const {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            text.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            ::close(fd);
            if (got < 0) return std::nullopt;
            return text;
        }
    }
}

bool SystemFiles::exists(const std::string& path) const {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 || errno != ENOENT;
}

std::optional<std::size_t> cgroup_cpu_quota(const FileSource& files) {
    const auto membership = files.read("/proc/self/cgroup");
    if (!membership) return std::nullopt;
    const auto place = find_cgroup(*membership);
    if (!place) return std::nullopt;
    return place->v1 ? quota_v1(files, place->path) : quota_v2(files, place->path);
}

}  // namespace orvik::runtime
