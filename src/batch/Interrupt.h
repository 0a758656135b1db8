#pragma once

#include <csignal>
#include <string>
#include <vector>

namespace tryzone
{

// SIGINT and SIGTERM ask the run to stop between frames: the flag below becomes the signal's number. A second one
// ends the program at once, after removing the temporary files named by RemoveOnSecondSignal. SIGPIPE is ignored:
// writes to a closed pipe fail with EPIPE instead.
void CatchStopSignals();

[[nodiscard]] const volatile std::sig_atomic_t& StopSignal();

// Replaces the list of files the second signal removes; at most eight are kept.
void RemoveOnSecondSignal(const std::vector<std::string>& paths);

} // namespace tryzone
