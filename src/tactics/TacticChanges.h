#pragma once

#include "tactics/Tactic.h"

#include <string>
#include <vector>

namespace tryzone
{

// What a reload changed in a team's tactic, one line per change: states added and removed, a state's action or its
// links changed, the start moved, by state name. Null stands for the built-in tactic; nothing when they play alike.
[[nodiscard]] std::vector<std::string> TacticChanges(const CompiledTactic* before, const CompiledTactic* now);

} // namespace tryzone
