#include "shards/LeagueParts.h"

#include "shards/PartChecks.h"
#include "reports/PartJson.h"
#include "laws/Laws.h"
#include "tactics/TacticsFile.h"

#include <fstream>
#include <map>

namespace tryzone
{

namespace
{
using nlohmann::ordered_json;

constexpr int kLeaguePartFormat = 1;

ordered_json EntrantAsJson(const LeagueEntry& entry)
{
    ordered_json brains = ordered_json::array();
    for (const std::string& brain : entry.brains)
    {
        brains.push_back(brain.empty() ? ordered_json(nullptr) : ordered_json(brain));
    }
    const ordered_json tactics =
        entry.team.tactic == nullptr
            ? ordered_json(nullptr)
            : ordered_json{{"file", entry.team.tacticsFile}, {"tactic", TacticToJson(entry.team.tactic->source)}};
    return {{"name", entry.name}, {"given", entry.given}, {"tactics", tactics}, {"brains", brains}};
}

Expected<LeagueEntry> EntrantFromJson(const ordered_json& kept)
{
    LeagueEntry entry;
    entry.name = kept.at("name").get<std::string>();
    entry.given = kept.at("given").get<std::string>();
    if (const ordered_json& tactics = kept.at("tactics"); !tactics.is_null())
    {
        entry.team.tacticsFile = tactics.at("file").get<std::string>();
        TacticsRead read = TacticsFromJson(nlohmann::json::parse(tactics.at("tactic").dump()), entry.team.tacticsFile);
        if (read.tactic == nullptr)
        {
            return Unexpected{read.error};
        }
        entry.team.tactic = read.tactic;
    }
    const ordered_json& brains = kept.at("brains");
    if (brains.size() != entry.brains.size())
    {
        return Unexpected{"entrant " + entry.name + " has not one brain or null for each of five players"};
    }
    for (std::size_t k = 0; k < entry.brains.size(); ++k)
    {
        entry.brains[k] = brains[k].is_null() ? std::string() : brains[k].get<std::string>();
    }
    return entry;
}

Expected<LeagueSetup> LeagueSetupFromJson(const ordered_json& league)
{
    LeagueSetup setup;
    setup.seed = league.at("seed").get<std::uint64_t>();
    setup.matches = league.at("matches").get<int>();
    setup.minutes = league.at("minutes").get<double>();
    setup.framesPerMatch = league.at("frames_per_match").get<std::int64_t>();
    setup.playersFrom = league.at("players_from").get<std::string>();
    auto players = SettingsFromJson(league.at("players"));
    if (!players)
    {
        return players.Error();
    }
    setup.players = *std::move(players);
    if (setup.matches < 1 || league.at("entrants").size() < 2)
    {
        return Unexpected{"its league has fewer than two entrants or no matches"};
    }
    if (const auto laws = league.find("laws"); laws != league.end())
    {
        auto read = LawsFromJson(nlohmann::json::parse(laws->at("laws").dump()), "laws");
        if (!read)
        {
            return Unexpected{"its laws do not validate (" + read.Reason() + ")"};
        }
        setup.lawsFile = laws->at("file").get<std::string>();
        setup.laws = std::make_shared<const Laws>(*read);
    }
    for (const ordered_json& kept : league.at("entrants"))
    {
        auto entry = EntrantFromJson(kept);
        if (!entry)
        {
            return entry.Error();
        }
        setup.entries.push_back(*std::move(entry));
    }
    return setup;
}

struct LeaguePart
{
    std::string file;
    ordered_json document;
    LeagueSetup setup;
    Shard shard;
    TaskRange tasks;
    std::vector<MatchResult> results;
};

int TaskCount(const LeagueSetup& setup)
{
    const auto entrants = static_cast<int>(setup.entries.size());
    return TaskNumbering{setup.matches, entrants * (entrants - 1)}.Total();
}

// The part's results checked against what the league recomputes, as a run's part is.
Expected<void> CheckLeaguePart(const LeaguePart& part)
{
    const TaskRange expected = ShardTasks(part.shard, TaskCount(part.setup));
    if (part.shard.count < 1 || part.shard.index < 0 || part.shard.index >= part.shard.count ||
        part.tasks.first != expected.first || part.tasks.count != expected.count ||
        part.results.size() != static_cast<std::size_t>(expected.count))
    {
        return Unexpected{" is incomplete or damaged: its matches are not those of shard " +
                          std::to_string(part.shard.index) + " of " + std::to_string(part.shard.count)};
    }
    RunSetup run;
    run.seed = part.setup.seed;
    run.matches = part.setup.matches;
    run.framesPerMatch = part.setup.framesPerMatch;
    if (const auto checked = CheckResults(run, part.tasks, part.results); !checked)
    {
        return Unexpected{" is damaged: " + checked.Reason()};
    }
    const auto digest = part.document.find("digest");
    if (digest == part.document.end() || !digest->is_string() ||
        digest->get<std::string>() != DocumentDigest(part.document))
    {
        return Unexpected{" has been changed since tryzone-sim wrote it (its digest does not match)"};
    }
    return {};
}

Expected<LeaguePart> ReadLeaguePart(const std::string& file, bool anyBuild)
{
    std::ifstream in(file, std::ios::binary);
    LeaguePart part;
    part.file = file;
    try
    {
        part.document = ordered_json::parse(in);
        if (part.document.value("tryzone_league_part", 0) != kLeaguePartFormat)
        {
            return Unexpected{file + " is not a part written by tryzone-sim league --shard --json"};
        }
        const ordered_json& program = part.document.at("program");
        if (!anyBuild && (program.at("version") != ProgramVersion() || program.at("build") != BuildIdentifier()))
        {
            return Unexpected{file + " was written by another build of tryzone-sim: play it again with this one, " +
                              "or merge with --any-build"};
        }
        auto setup = LeagueSetupFromJson(part.document.at("league"));
        if (!setup)
        {
            return Unexpected{file + ": " + setup.Reason()};
        }
        part.setup = *std::move(setup);
        part.shard = {part.document.at("shard").at("index").get<int>(),
                      part.document.at("shard").at("count").get<int>()};
        part.tasks = {part.document.at("tasks").at("first").get<int>(),
                      part.document.at("tasks").at("count").get<int>()};
        for (const ordered_json& match : part.document.at("results"))
        {
            part.results.push_back(ResultFromJson(match));
        }
    }
    catch (const std::exception& error)
    {
        return Unexpected{file + " is not a part written by tryzone-sim league --shard --json (" + error.what() + ")"};
    }
    if (auto checked = CheckLeaguePart(part); !checked)
    {
        return Unexpected{file + checked.Reason()};
    }
    return part;
}
} // namespace

ordered_json LeagueSetupAsJson(const LeagueSetup& setup)
{
    ordered_json entrants = ordered_json::array();
    for (const LeagueEntry& entry : setup.entries)
    {
        entrants.push_back(EntrantAsJson(entry));
    }
    ordered_json league{{"seed", setup.seed},
                        {"players_from", setup.playersFrom},
                        {"players", SettingsAsJson(setup.players)},
                        {"matches", setup.matches},
                        {"minutes", setup.minutes},
                        {"frames_per_match", setup.framesPerMatch},
                        {"entrants", entrants}};
    if (setup.laws != nullptr)
    {
        league["laws"] = {{"file", setup.lawsFile}, {"laws", LawsToJson(*setup.laws)}};
    }
    return league;
}

ordered_json LeaguePartAsJson(const LeagueSetup& setup, Shard shard, const std::vector<MatchResult>& results)
{
    const TaskRange tasks = ShardTasks(shard, TaskCount(setup));
    ordered_json matches = ordered_json::array();
    for (const MatchResult& result : results)
    {
        matches.push_back(ResultAsJson(result));
    }
    ordered_json part = {{"tryzone_league_part", kLeaguePartFormat},
                         {"program", {{"version", ProgramVersion()}, {"build", BuildIdentifier()}}},
                         {"shard", {{"index", shard.index}, {"count", shard.count}}},
                         {"league", LeagueSetupAsJson(setup)},
                         {"tasks", {{"first", tasks.first}, {"count", tasks.count}}},
                         {"results", matches}};
    part["digest"] = DocumentDigest(part);
    return part;
}

bool IsLeaguePart(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    const ordered_json document = ordered_json::parse(in, nullptr, false);
    return document.is_object() && document.contains("tryzone_league_part");
}

Expected<MergedLeague> MergeLeagueParts(const std::vector<std::string>& files, bool anyBuild)
{
    std::vector<LeaguePart> parts;
    std::map<int, const LeaguePart*> byShard;
    for (const std::string& file : files)
    {
        auto read = ReadLeaguePart(file, anyBuild);
        if (!read)
        {
            return read.Error();
        }
        parts.push_back(*std::move(read));
    }
    if (parts.empty())
    {
        return Unexpected{"no parts to merge"};
    }
    for (const LeaguePart& part : parts)
    {
        const LeaguePart& first = parts.front();
        if (part.document.at("league") != first.document.at("league") || part.shard.count != first.shard.count)
        {
            return Unexpected{part.file + " is from another league than " + first.file};
        }
        if (const auto [found, added] = byShard.emplace(part.shard.index, &part); !added)
        {
            return Unexpected{"shard " + std::to_string(part.shard.index) + " of " + std::to_string(part.shard.count) +
                              " given twice: " + found->second->file + " and " + part.file};
        }
    }
    MergedLeague merged{parts.front().setup, {}};
    for (int index = 0; index < parts.front().shard.count; ++index)
    {
        const auto found = byShard.find(index);
        if (found == byShard.end())
        {
            return Unexpected{"shard " + std::to_string(index) + " of " + std::to_string(parts.front().shard.count) +
                              " is missing"};
        }
        merged.results.insert(merged.results.end(), found->second->results.begin(), found->second->results.end());
    }
    return merged;
}

} // namespace tryzone
