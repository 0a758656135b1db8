// One entry of the settings file and one record, each read from the other.
#include "settings/PlayerRecordJson.h"

#include "settings/PlayersConfig.h"

#include <cmath>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

namespace tryzone
{

namespace
{
using nlohmann::json;

// FLT_MAX plus half a step: from here on a double rounds to infinity as a float.
constexpr double FloatOverflow = 0x1.ffffffp127;

// Only a floating-point number can be too large: integers and booleans always fit.
bool FitsFloat(const json& value)
{
    return !value.is_number_float() || std::fabs(value.get<double>()) < FloatOverflow;
}

// Numbers of any kind and booleans; anything else throws the library's type error, as the caller expects.
float ToFloat(const json& value)
{
    // Floating-point values have been checked against the float range, so the narrowing is defined.
    return value.is_number_float() ? static_cast<float>(value.get<double>()) : value.get<float>();
}

} // namespace

bool HasRequiredKeys(const json& entry)
{
    if (!entry.is_object())
    {
        return false;
    }
    for (const char* key : kPlayerKeys)
    {
        if (!entry.contains(key))
        {
            return false;
        }
    }
    return true;
}

bool HasExpectedTypes(const json& entry)
{
    if (!entry.at("PlayerNumber").is_number_unsigned() || !entry.at("Team").is_string())
    {
        return false;
    }
    const json& position = entry.at("StartPosition");
    if (!position.is_array() || position.size() != 2)
    {
        return false;
    }
    for (const auto& [key, member] : kPlayerFloatKeys)
    {
        if (!entry.at(key).is_number_float() || !FitsFloat(entry.at(key)))
        {
            return false;
        }
    }
    // A number too large for a float counts as a wrong type, whatever else the entry holds.
    return FitsFloat(position[0]) && FitsFloat(position[1]);
}

PlayerSettings ToRecord(const json& entry)
{
    PlayerSettings record;
    record.PlayerNumber = static_cast<std::uint8_t>(entry.at("PlayerNumber").get<std::uint64_t>() % 256);
    record.Team = entry.at("Team").get_ref<const std::string&>() == "Blue" ? 0 : 1;

    const json& position = entry.at("StartPosition");
    const float y = ToFloat(position[1]);
    const float x = ToFloat(position[0]);
    record.StartPosition = sf::Vector2f(x, y);

    for (const auto& [key, member] : kPlayerFloatKeys)
    {
        record.*member = ToFloat(entry.at(key));
    }
    return record;
}

std::optional<PlayerSettings> RecordFromJson(const json& entry)
{
    try
    {
        if (HasRequiredKeys(entry) && HasExpectedTypes(entry))
        {
            return ToRecord(entry);
        }
    }
    catch (const json::exception&)
    {
        // A position that is not a number: a wrong type like the others.
    }
    return std::nullopt;
}

json RecordToJson(const PlayerSettings& record)
{
    json entry{{"PlayerNumber", static_cast<std::uint64_t>(record.PlayerNumber)},
               {"Team", record.Team != 0 ? "Red" : "Blue"},
               {"StartPosition", json::array({static_cast<double>(record.StartPosition.x),
                                              static_cast<double>(record.StartPosition.y)})}};
    for (const auto& [key, member] : kPlayerFloatKeys)
    {
        entry[key] = static_cast<double>(record.*member);
    }
    return entry;
}

} // namespace tryzone
