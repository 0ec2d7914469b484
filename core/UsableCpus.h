#pragma once
// How many CPUs this process may keep busy: those its affinity mask allows,
// fewer when its control group's CPU quota grants less. On a cluster node a
// job is given a few of many CPUs this way; counting the online ones would
// start many more threads than it may run.

#include <optional>
#include <string>

// The CPUs a cgroup v2 cpu.max line grants, "QUOTA PERIOD": the quota over
// the period, rounded up, at least 1; nothing for "max" (no limit) or a
// line that is not one.
std::optional<int> CpuMaxLimit(const std::string& line);

// The smaller of the affinity mask's CPUs and the quota of the process's
// control group and of each group above it; at least 1.
int UsableCpuCount();
