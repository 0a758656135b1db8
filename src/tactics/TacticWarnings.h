#pragma once

#include "tactics/Tactic.h"

#include <vector>

namespace tryzone
{

// What is legal in a tactic but most likely a mistake, each at its place in the file: a link whose conditions
// contradict each other, a link an earlier one of its state always takes first, a state that is never reached or
// that a player never leaves, and a team whose carrier never runs for the line.
[[nodiscard]] std::vector<TacticProblem> GraphWarnings(const CompiledTactic& compiled);

} // namespace tryzone
