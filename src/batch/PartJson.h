#pragma once

#include "files/Expected.h"
#include "run/MatchRecorder.h"
#include "settings/PlayerSettings.h"

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tryzone
{

// A part's players, as the settings file writes them, and read back: ten entries the settings file would accept, or
// the reason they are refused.
[[nodiscard]] nlohmann::ordered_json SettingsAsJson(const std::vector<PlayerSettings>& lineup);
[[nodiscard]] Expected<std::vector<PlayerSettings>> SettingsFromJson(const nlohmann::ordered_json& players);
// A part's matches as JSON, with every count exact, and read back; reading throws nlohmann's exceptions on JSON of
// another shape.
[[nodiscard]] nlohmann::ordered_json ResultAsJson(const MatchResult& result);
[[nodiscard]] MatchResult ResultFromJson(const nlohmann::ordered_json& match);

} // namespace tryzone
