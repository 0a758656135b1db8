#include "reports/PartJson.h"

#include "settings/PlayersConfig.h"
#include "settings/SettingsHint.h"
#include "shape/MatchShape.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <type_traits>

namespace tryzone
{

using nlohmann::ordered_json;

ordered_json SettingsAsJson(const std::vector<PlayerSettings>& lineup)
{
    ordered_json players = ordered_json::array();
    for (const PlayerSettings& player : lineup)
    {
        players.push_back(ordered_json(RecordToJson(player)));
    }
    return players;
}

Expected<std::vector<PlayerSettings>> SettingsFromJson(const ordered_json& players)
{
    const nlohmann::json entries(players);
    std::vector<PlayerSettings> lineup;
    if (entries.is_array())
    {
        for (const nlohmann::json& entry : entries)
        {
            const std::optional<PlayerSettings> player = RecordFromJson(entry);
            if (!player)
            {
                return Unexpected{"its players are not those of a settings file: " + SettingsHint(entries)};
            }
            lineup.push_back(*player);
        }
    }
    if (lineup.size() != kPlayerSlots)
    {
        return Unexpected{"its players are not ten entries of a settings file"};
    }
    return lineup;
}

ordered_json ResultAsJson(const MatchResult& result)
{
    ordered_json teams = ordered_json::array();
    for (const TeamRecord& team : result.teams)
    {
        ordered_json record;
        ForEachCount(
            [&record](const CountField& field, const auto& count)
            {
                if (!field.law || count != 0)
                {
                    record[field.key] = count;
                }
            },
            team);
        if (!team.tactic.Empty())
        {
            record["tactic"] = TelemetryToJson(team.tactic);
        }
        teams.push_back(record);
    }
    ordered_json match = {{"match", result.match}, {"seed", result.seed}, {"frames", result.frames}, {"teams", teams}};
    if (result.breach)
    {
        match["breach"] = {{"frame", result.breach->frame}, {"rule", result.breach->rule}};
    }
    return match;
}

std::int64_t WholeFromJson(const ordered_json& value, const std::string& name, std::int64_t low, std::int64_t high)
{
    // Read as 64 bits and bounded before any narrowing: 2^40 is no shard count of 0, 1e30 no negative count.
    const bool big = value.is_number_unsigned() &&
                     value.get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    const std::int64_t whole = value.is_number_integer() && !big ? value.get<std::int64_t>() : 0;
    if (!value.is_number_integer() || big || whole < low || whole > high)
    {
        throw PartValueError(name + " " + value.dump().substr(0, 40) + " is not a whole number from " +
                             std::to_string(low) + " to " + std::to_string(high));
    }
    return whole;
}

MatchResult ResultFromJson(const ordered_json& match)
{
    constexpr std::int64_t kMaxInt = std::numeric_limits<int>::max();
    MatchResult result;
    result.match = static_cast<int>(WholeFromJson(match.at("match"), "a match's number", 1, kMaxInt));
    const std::string which = "match " + std::to_string(result.match) + ": ";
    result.seed = static_cast<std::uint32_t>(
        WholeFromJson(match.at("seed"), which + "seed", 0, std::numeric_limits<std::uint32_t>::max()));
    result.frames = WholeFromJson(match.at("frames"), which + "frames", 0, std::numeric_limits<std::int64_t>::max());
    for (std::size_t team = 0; team < 2; ++team)
    {
        const ordered_json& record = match.at("teams").at(team);
        const std::string side = which + (team == 0 ? "blue's " : "red's ");
        ForEachCount(
            [&](const CountField& field, auto& count)
            {
                using Count = std::remove_reference_t<decltype(count)>;
                // A law's count is left out where it is zero.
                if (!field.law || record.contains(field.key))
                {
                    count = static_cast<Count>(
                        WholeFromJson(record.at(field.key), side + field.key, 0, std::numeric_limits<Count>::max()));
                }
            },
            result.teams[team]);
        if (record.contains("tactic"))
        {
            try
            {
                result.teams[team].tactic = TelemetryFromJson(record["tactic"]);
            }
            catch (const std::exception&)
            {
                throw PartValueError(side + "tactic holds no telemetry: state_frames and link_firings of whole counts "
                                            "from 0");
            }
        }
    }
    if (match.contains("breach"))
    {
        result.breach = RuleBreach{WholeFromJson(match["breach"].at("frame"), which + "breach frame", 0,
                                                 std::numeric_limits<std::int64_t>::max()),
                                   match["breach"].at("rule").get<std::string>()};
    }
    return result;
}

} // namespace tryzone
