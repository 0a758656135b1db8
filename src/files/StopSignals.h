#pragma once

#include <csignal>
#include <string>
#include <vector>

namespace tryzone
{

// The stop signals of both programs. SIGINT and SIGTERM ask the run (the game, the simulator) to stop between frames,
// as the game's close button does: StopSignal becomes the signal's number. A second one ends the program at once,
// after removing the temporary files named by RemoveOnSecondSignal. SIGPIPE and SIGXFSZ are ignored: a write to a
// closed pipe or past the file size limit fails (EPIPE, EFBIG) and is reported like any failed write, instead of
// killing the program with temporary files left behind.
void CatchStopSignals();

// The number of the stop signal received, 0 while none has come; loops that run without the program's attention
// (workers, replays) watch it through this reference.
[[nodiscard]] const volatile std::sig_atomic_t& StopSignal();

// Replaces the list of files the second signal removes; at most eight are kept.
void RemoveOnSecondSignal(const std::vector<std::string>& paths);

} // namespace tryzone
