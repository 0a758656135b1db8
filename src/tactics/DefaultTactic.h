#pragma once

#include "tactics/Tactic.h"

namespace tryzone
{

// The wiring the players have always had: Idle, Support, Defend, Attack and Pass, every parameter at its default.
[[nodiscard]] Tactic DefaultTacticModel();
// The same compiled once, shared by every player that has no tactics file.
[[nodiscard]] const CompiledTactic& DefaultTactic();

} // namespace tryzone
