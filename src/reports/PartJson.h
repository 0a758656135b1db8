#pragma once

#include "files/Expected.h"
#include "run/MatchRecorder.h"
#include "settings/PlayerSettings.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

namespace tryzone
{

// A part's players, as the settings file writes them, and read back: ten entries the settings file would accept, or
// the reason they are refused.
[[nodiscard]] nlohmann::ordered_json SettingsAsJson(const std::vector<PlayerSettings>& lineup);
[[nodiscard]] Expected<std::vector<PlayerSettings>> SettingsFromJson(const nlohmann::ordered_json& players);
// A value of a part that is out of its range, named with the value: "match 3: blue's tries 1e+30 is not a whole
// number from 0 to 2147483647".
class PartValueError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A whole number of a part, read as 64 bits and refused (PartValueError) outside [low, high] or when not whole.
[[nodiscard]] std::int64_t WholeFromJson(const nlohmann::ordered_json& value, const std::string& name, std::int64_t low,
                                         std::int64_t high);

// A part's matches as JSON, with every count exact, and read back; reading throws nlohmann's exceptions on JSON of
// another shape and PartValueError on a value out of range.
[[nodiscard]] nlohmann::ordered_json ResultAsJson(const MatchResult& result);
[[nodiscard]] MatchResult ResultFromJson(const nlohmann::ordered_json& match);

} // namespace tryzone
