#pragma once

#include "window/GameCommandLine.h"

namespace tryzone
{

// The game in its window as the command line asks: a new match (seeded, recorded, with its settings file watched)
// or a recording played back, with the playback keys. Returns the exit status: 0, or 2 when a recording or an
// output file is unusable, which is found out before the window opens.
int PlayGame(const GameOptions& options);

} // namespace tryzone
