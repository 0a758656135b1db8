#pragma once

#include "batch/OutputFiles.h"
#include "batch/Run.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

// The line that depends on the machine rather than on the seed; always the last.
void PrintSpeed(std::ostream& out, long long frames, double seconds, const std::string& how);

// The sweep's table as CSV and its chart, into outputs that may be null; the failure, if any.
[[nodiscard]] std::optional<Failure> WriteSweepFiles(const RunSetup& setup, const std::vector<MatchResult>& results,
                                                     int firstTask, Output* csv, Output* plot);
