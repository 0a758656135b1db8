#include "batch/PartJson.h"

#include <type_traits>

using nlohmann::ordered_json;

ordered_json SettingsAsJson(const std::vector<PlayerSettings>& lineup)
{
    ordered_json players = ordered_json::array();
    for (const PlayerSettings& player : lineup)
    {
        players.push_back({{"PlayerNumber", player.PlayerNumber},
                           {"Team", player.Team},
                           {"StartPosition", {player.StartPosition.x, player.StartPosition.y}},
                           {"Radius", player.Radius},
                           {"Speed", player.Speed},
                           {"LuckMultiplier", player.LuckMultiplier},
                           {"EnemyIsTooNearDistance", player.EnemyIsTooNearDistance},
                           {"PassCooldown", player.PassCooldown},
                           {"PassTime", player.PassTime}});
    }
    return players;
}

std::vector<PlayerSettings> SettingsFromJson(const ordered_json& players)
{
    std::vector<PlayerSettings> lineup;
    for (const ordered_json& entry : players)
    {
        PlayerSettings player;
        player.PlayerNumber = entry.at("PlayerNumber").get<std::uint8_t>();
        player.Team = entry.at("Team").get<std::uint8_t>();
        player.StartPosition = {entry.at("StartPosition").at(0).get<float>(),
                                entry.at("StartPosition").at(1).get<float>()};
        player.Radius = entry.at("Radius").get<float>();
        player.Speed = entry.at("Speed").get<float>();
        player.LuckMultiplier = entry.at("LuckMultiplier").get<float>();
        player.EnemyIsTooNearDistance = entry.at("EnemyIsTooNearDistance").get<float>();
        player.PassCooldown = entry.at("PassCooldown").get<float>();
        player.PassTime = entry.at("PassTime").get<float>();
        lineup.push_back(player);
    }
    return lineup;
}

ordered_json ResultAsJson(const MatchResult& result)
{
    ordered_json teams = ordered_json::array();
    for (const TeamRecord& team : result.teams)
    {
        ordered_json record;
        ForEachCount([&record](const CountField& field, const auto& count) { record[field.key] = count; }, team);
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
        ForEachCount([&record](const CountField& field, auto& count)
                     { count = record.at(field.key).get<std::remove_reference_t<decltype(count)>>(); },
                     result.teams[team]);
    }
    if (match.contains("breach"))
    {
        result.breach =
            RuleBreach{match["breach"].at("frame").get<std::int64_t>(), match["breach"].at("rule").get<std::string>()};
    }
    return result;
}
