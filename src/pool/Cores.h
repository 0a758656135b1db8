#pragma once

namespace tryzone
{

// The processors this process may run on, and may use: its affinity, capped by its cgroup's CPU quota (a container's
// CPU limit, a Slurm job's cgroup), rounded up.
[[nodiscard]] int AvailableCores();

} // namespace tryzone
