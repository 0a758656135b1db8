#pragma once

#include "files/Expected.h"
#include "tactics/Tactic.h"

#include <optional>
#include <string>

namespace tryzone
{

// The tactic in Graphviz's language: states as boxes labelled with their action and its parameters, links as arrows
// numbered by priority and labelled with their conditions, the start state drawn bold.
[[nodiscard]] std::string TacticDot(const CompiledTactic& tactic);

// The picture laid out by Graphviz's dot, as the bytes of a file in the format ("png" or "svg"); the reason in one
// line when it cannot be drawn.
[[nodiscard]] Expected<std::string> DrawTactic(const CompiledTactic& tactic, const std::string& format);

} // namespace tryzone
