#pragma once

#include "tactics/Tactic.h"

#include <nlohmann/json.hpp>

namespace tryzone
{

// The tactic a document describes, every parameter checked against the catalogue and filled in from its default.
// Throws TacticError at the first fault, naming its JSON pointer; the graph itself is CompileTactic's to check.
[[nodiscard]] Tactic TacticFromJson(const nlohmann::json& document);

} // namespace tryzone
