#pragma once

#include "files/Expected.h"
#include "run/TacticTelemetry.h"
#include "tactics/Tactic.h"

#include <string>

namespace tryzone
{

// The tactic's telemetry in the JSON of a run (each team that played it, added up) or of a league (the entrant
// given as `tacticsFile`); why none, as one line naming the file.
[[nodiscard]] Expected<TacticTelemetry> TelemetryOfRun(const std::string& runFile, const CompiledTactic& tactic,
                                                       const std::string& tacticsFile);

} // namespace tryzone
