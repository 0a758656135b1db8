#pragma once

#include <vector>

namespace tryzone
{

// Bradley-Terry strengths fitted to wins (a draw counting half a win to each side, and every pair given one drawn
// match more so that a tactic that never wins still has a finite rating), on the Elo scale: 400 log10 of the
// strength, averaging 0 over the tactics.
[[nodiscard]] std::vector<double> BradleyTerryRatings(const std::vector<std::vector<double>>& wins);

} // namespace tryzone
