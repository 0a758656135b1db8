#include "batch/PartJson.h"

#include "settings/PlayersConfig.h"
#include "settings/SettingsHint.h"
#include "shape/MatchShape.h"

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
        teams.push_back(record);
    }
    ordered_json match = {{"match", result.match}, {"seed", result.seed}, {"frames", result.frames}, {"teams", teams}};
    if (result.breach)
    {
        match["breach"] = {{"frame", result.breach->frame}, {"rule", result.breach->rule}};
    }
    return match;
}

MatchResult ResultFromJson(const ordered_json& match)
{
    MatchResult result;
    result.match = match.at("match").get<int>();
    result.seed = match.at("seed").get<std::uint32_t>();
    result.frames = match.at("frames").get<std::int64_t>();
    for (std::size_t team = 0; team < 2; ++team)
    {
        const ordered_json& record = match.at("teams").at(team);
        ForEachCount(
            [&record](const CountField& field, auto& count)
            {
                // A law's count is left out where it is zero.
                if (!field.law || record.contains(field.key))
                {
                    count = record.at(field.key).get<std::remove_reference_t<decltype(count)>>();
                }
            },
            result.teams[team]);
    }
    if (match.contains("breach"))
    {
        result.breach =
            RuleBreach{match["breach"].at("frame").get<std::int64_t>(), match["breach"].at("rule").get<std::string>()};
    }
    return result;
}

} // namespace tryzone
