#include "UsableCpus.h"

#include <sched.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace {

int AffinityCpuCount() {
    // Masks of up to 4096 CPUs; a larger machine is counted as the library says.
    constexpr int kMaxCpus = 4096;
    cpu_set_t* set = CPU_ALLOC(kMaxCpus);
    const std::size_t size = CPU_ALLOC_SIZE(kMaxCpus);
    int count = 0;
    if (set != nullptr && sched_getaffinity(0, size, set) == 0) count = CPU_COUNT_S(size, set);
    if (set != nullptr) CPU_FREE(set);
    return count > 0 ? count : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

// The process's group in the cgroup v2 hierarchy ("0::/path"), or nothing.
std::optional<std::string> CgroupPath() {
    std::ifstream file("/proc/self/cgroup");
    for (std::string line; std::getline(file, line);)
        if (line.rfind("0::", 0) == 0) return line.substr(3);
    return std::nullopt;
}

}  // namespace

std::optional<int> CpuMaxLimit(const std::string& line) {
    std::istringstream words(line);
    std::string quota;
    long long period = 0;
    if (!(words >> quota >> period) || period <= 0 || quota == "max") return std::nullopt;
    long long granted = 0;
    std::istringstream number(quota);
    if (!(number >> granted) || !number.eof() || granted <= 0) return std::nullopt;
    return static_cast<int>(std::clamp<long long>((granted + period - 1) / period, 1, 1 << 20));
}

int UsableCpuCount() {
    int count = AffinityCpuCount();
    if (const auto group = CgroupPath()) {
        // A quota anywhere above the group limits it too.
        for (std::filesystem::path folder = std::filesystem::path("/sys/fs/cgroup") /
                                            std::filesystem::path(*group).relative_path();
             ; folder = folder.parent_path()) {
            std::ifstream file(folder / "cpu.max");
            std::string line;
            if (std::getline(file, line))
                if (const auto limit = CpuMaxLimit(line)) count = std::min(count, *limit);
            if (folder == "/sys/fs/cgroup" || !folder.has_relative_path()) break;
        }
    }
    return std::max(count, 1);
}
