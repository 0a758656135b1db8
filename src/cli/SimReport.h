#pragma once

#include "batch/OutputFiles.h"
#include "batch/Run.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

// The line that depends on the machine rather than on the seed; always the last.
void PrintSpeed(std::ostream& out, long long frames, double seconds, const std::string& how);

// The sweep's table as CSV and its chart, into outputs that may be null, then the commit. A chart that cannot be
// drawn is left out and reported, the other files written all the same; a stop signal while it is drawn writes
// nothing. The exit status, 0 when all went well.
[[nodiscard]] int WriteSweepFilesAndCommit(const RunSetup& setup, const std::vector<MatchResult>& results,
                                           int firstTask, Output* csv, Output* plot, OutputFiles& files);
