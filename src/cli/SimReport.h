#pragma once

#include "files/OutputFiles.h"
#include "experiments/Run.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tryzone
{

// The lines that depend on the machine rather than on the seed; always the last: frames per second, then matches
// of the run's length per minute and how long 1000 and 100000 of them would take at that pace.
void PrintSpeed(std::ostream& out, long long frames, double seconds, const std::string& how,
                std::int64_t framesPerMatch, double minutes);

// The sweep's table as CSV and its chart, into outputs that may be null, then the commit. A chart that cannot be
// drawn is left out and reported, the other files written all the same; a stop signal while it is drawn writes
// nothing. The exit status, 0 when all went well.
[[nodiscard]] int WriteSweepFilesAndCommit(const RunSetup& setup, const std::vector<MatchResult>& results,
                                           int firstTask, Output* csv, Output* plot, OutputFiles& files);

} // namespace tryzone
