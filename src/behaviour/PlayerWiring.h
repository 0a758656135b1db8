#pragma once

#include "behaviour/PlayerActions.h"
#include "behaviour/StateGraph.h"
#include "tactics/Tactic.h"

#include <memory>

namespace tryzone
{

// The player's behaviour built from a tactic: one action and the links of each state, in the tactic's order, then
// the start state set. The graph is rebuilt whole, never patched.
void Wire(StateGraph<Player, PlayerAction>& graph, const CompiledTactic& tactic);

// The catalogue's entries as the player's actions and conditions, their parameters applied.
[[nodiscard]] std::unique_ptr<PlayerAction> MakePlayerAction(const ActionStep& step);
[[nodiscard]] std::unique_ptr<Condition<Player>> MakePlayerCondition(const CompiledCondition& condition);
// The same from a step as a file gives it; throws std::invalid_argument for a kind the catalogue does not have.
[[nodiscard]] std::unique_ptr<PlayerAction> MakePlayerAction(const TacticStep& step);
[[nodiscard]] std::unique_ptr<Condition<Player>> MakePlayerCondition(const TacticCondition& condition);

} // namespace tryzone
