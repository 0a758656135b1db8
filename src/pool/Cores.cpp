#include "pool/Cores.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sched.h>
#include <unistd.h>

namespace tryzone
{

namespace
{
// The CPUs a cgroup's quota allows, rounded up (a pod's CPU limit, a Slurm job's cgroup): cgroup v2's cpu.max,
// "QUOTA PERIOD" or "max PERIOD", else v1's cfs_quota_us and cfs_period_us; none when there is no limit.
std::optional<int> QuotaCores()
{
    double quota = -1.0;
    double period = 0.0;
    if (std::FILE* file = std::fopen("/sys/fs/cgroup/cpu.max", "r"))
    {
        std::array<char, 64> limit{};
        if (std::fscanf(file, "%63s %lf", limit.data(), &period) == 2 && std::strcmp(limit.data(), "max") != 0)
        {
            quota = std::atof(limit.data());
        }
        std::fclose(file);
    }
    else if (std::FILE* v1 = std::fopen("/sys/fs/cgroup/cpu/cpu.cfs_quota_us", "r"))
    {
        if (std::fscanf(v1, "%lf", &quota) != 1)
        {
            quota = -1.0;
        }
        std::fclose(v1);
        if (std::FILE* periodFile = std::fopen("/sys/fs/cgroup/cpu/cpu.cfs_period_us", "r"))
        {
            if (std::fscanf(periodFile, "%lf", &period) != 1)
            {
                period = 0.0;
            }
            std::fclose(periodFile);
        }
    }
    if (quota <= 0.0 || period <= 0.0)
    {
        return std::nullopt;
    }
    return std::max(1, static_cast<int>(std::ceil(quota / period)));
}
} // namespace

int AvailableCores()
{
    int cores = 0;
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0)
    {
        cores = std::max(1, CPU_COUNT(&set));
    }
    else
    {
        const long online = sysconf(_SC_NPROCESSORS_ONLN);
        cores = online > 0 ? static_cast<int>(online) : 1;
    }
    const std::optional<int> quota = QuotaCores();
    return quota ? std::min(cores, *quota) : cores;
}

} // namespace tryzone
