#pragma once

#include "run/MatchRecorder.h"
#include "settings/PlayerSettings.h"

#include <nlohmann/json.hpp>
#include <vector>

// A part's players and matches as JSON, with every count exact, and read back; reading throws nlohmann's exceptions
// on JSON of another shape.
[[nodiscard]] nlohmann::ordered_json SettingsAsJson(const std::vector<PlayerSettings>& lineup);
[[nodiscard]] std::vector<PlayerSettings> SettingsFromJson(const nlohmann::ordered_json& players);
[[nodiscard]] nlohmann::ordered_json ResultAsJson(const MatchResult& result);
[[nodiscard]] MatchResult ResultFromJson(const nlohmann::ordered_json& match);
