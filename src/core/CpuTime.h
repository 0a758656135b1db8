#pragma once

namespace tryzone
{

// The CPU time this process has used, in seconds: what the timing tools report, whatever else the machine runs.
[[nodiscard]] double ProcessCpuSeconds();

} // namespace tryzone
