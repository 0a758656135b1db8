#pragma once

#include "files/Expected.h"
#include "run/TacticTelemetry.h"
#include "tactics/Tactic.h"

#include <optional>
#include <string>

namespace tryzone
{

// The tactic in Graphviz's language: states as boxes labelled with their action and its parameters, links as arrows
// numbered by priority and labelled with their conditions, the start state drawn bold. With telemetry, each state
// shaded by its share of the player-time and each arrow as wide as its firings allow, the numbers in the labels.
[[nodiscard]] std::string TacticDot(const CompiledTactic& tactic, const TacticTelemetry* numbers = nullptr);

// The picture laid out by Graphviz's dot, as the bytes of a file in the format ("png" or "svg"); the reason in one
// line when it cannot be drawn.
[[nodiscard]] Expected<std::string> DrawTactic(const CompiledTactic& tactic, const std::string& format,
                                               const TacticTelemetry* numbers = nullptr);

} // namespace tryzone
