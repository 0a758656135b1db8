#pragma once

#include <csignal>

namespace tryzone
{

// SIGINT and SIGTERM ask the game to end between two frames, as its close button does, so that a recording ends at
// the frame shown; a second one ends it at once. SIGXFSZ is ignored: a write past the file size limit fails (EFBIG)
// and is reported like any failed write instead of killing the game mid-match.
void CatchGameSignals();

// The number of the stop signal received, 0 while none has come.
[[nodiscard]] int GameStopSignal();

} // namespace tryzone
