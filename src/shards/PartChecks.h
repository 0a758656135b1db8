#pragma once

#include "reports/Heatmap.h"
#include "experiments/Run.h"
#include "shards/Shards.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace tryzone
{

// What a part carries beside its results so that merge can trust them: the program that wrote it, its heat counts
// and a digest of the whole document.

// The program's version, and an identifier of this very build: a digest of the executable, so that two builds of
// one version, which may round differently, are told apart.
[[nodiscard]] std::string ProgramVersion();
[[nodiscard]] const std::string& BuildIdentifier();

// A digest of the document's text without its "digest" member.
[[nodiscard]] std::string DocumentDigest(const nlohmann::ordered_json& document);

// The heat map's counted squares as one line of "square:count" pairs: a few thousand, not the whole grid.
[[nodiscard]] nlohmann::ordered_json HeatAsJson(const Heatmap& heatmap);
// A part's squares, or none when they are not all on a grid of `squares` squares. Throws nlohmann's exceptions on
// JSON of another shape.
[[nodiscard]] std::optional<std::vector<Heatmap::Square>> HeatFromJson(const nlohmann::ordered_json& heat,
                                                                       std::size_t squares);

// Whether the results can be those the run plays for these tasks; if not, why: each match's number and seed from
// the run's, its frames unless a rule broke, nothing negative, no more passes or tackles made than tried, no more
// possession than frames; "match 3: seed 12, not 3402" or the like.
[[nodiscard]] Expected<void> CheckResults(const RunSetup& setup, TaskRange tasks,
                                          const std::vector<MatchResult>& results);

} // namespace tryzone
