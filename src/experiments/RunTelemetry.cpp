#include "experiments/RunTelemetry.h"

#include "files/JsonReader.h"
#include "settings/RegularFile.h"
#include "tactics/DefaultTactic.h"
#include "tactics/TacticsFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace tryzone
{

namespace
{
using nlohmann::ordered_json;

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    return a == b || std::filesystem::equivalent(a, b, error);
}

// The tactic a run's team played, as the run keeps it: null or missing for the default.
Tactic PlayedTactic(const ordered_json& run, const char* side)
{
    const auto tactics = run.find("tactics");
    if (tactics == run.end() || !tactics->contains(side) || (*tactics)[side].is_null())
    {
        return DefaultTacticModel();
    }
    const TacticsRead read = TacticsFromJson(nlohmann::json::parse((*tactics)[side].at("tactic").dump()), side);
    return read.tactic != nullptr ? read.tactic->source : Tactic{};
}

Expected<TacticTelemetry> FromLeague(const ordered_json& league, const CompiledTactic& tactic,
                                     const std::string& tacticsFile)
{
    for (const ordered_json& row : league.at("table"))
    {
        if (row.contains("telemetry") && SameFile(row.at("file").get<std::string>(), tacticsFile))
        {
            return TelemetryFromNamed(tactic, row["telemetry"]);
        }
    }
    return Unexpected{"no entrant of its league is " + tacticsFile};
}

Expected<TacticTelemetry> FromRun(const ordered_json& run, const CompiledTactic& tactic)
{
    TacticTelemetry sum;
    bool found = false;
    for (const char* side : {"blue", "red"})
    {
        const ordered_json& team = run.at("totals").at("teams").at(side);
        if (!team.contains("tactic") || PlayedTactic(run, side) != tactic.source)
        {
            continue;
        }
        auto telemetry = TelemetryFromNamed(tactic, team["tactic"]);
        if (!telemetry)
        {
            return telemetry.Error();
        }
        sum += *telemetry;
        found = true;
    }
    if (!found)
    {
        return Unexpected{"neither of its teams played this tactic"};
    }
    return sum;
}
} // namespace

Expected<TacticTelemetry> TelemetryOfRun(const std::string& runFile, const CompiledTactic& tactic,
                                         const std::string& tacticsFile)
{
    Descriptor file;
    struct stat status = {};
    const OpenOutcome opened = OpenRegular(runFile, file, status);
    if (opened != OpenOutcome::Opened)
    {
        return Unexpected{runFile + ": " +
                          (opened == OpenOutcome::NotAFile ? std::string("not a regular file")
                                                           : std::string("cannot be opened: ") + std::strerror(errno))};
    }
    std::string text;
    // A run's JSON lists every match: a million of them take some 600 MB.
    constexpr std::size_t kMaxRunBytes = std::size_t{1} << 30;
    if (const ReadOutcome outcome = ReadBounded(file.Get(), text, kMaxRunBytes); outcome != ReadOutcome::Read)
    {
        return Unexpected{runFile + ": " + (outcome == ReadOutcome::TooLarge ? "larger than 1 GiB" : "cannot be read")};
    }
    auto document = ReadOrderedJsonText(text, runFile);
    if (!document)
    {
        return document.Error();
    }
    Expected<TacticTelemetry> telemetry = Unexpected{"not the JSON of a run or a league (tryzone-sim --json)"};
    try
    {
        if (document->contains("values"))
        {
            telemetry = Unexpected{"a sweep's JSON, whose values play different players or tactics: use a run's"};
        }
        else if (document->contains("table"))
        {
            telemetry = FromLeague(*document, tactic, tacticsFile);
        }
        else if (document->contains("totals"))
        {
            telemetry = FromRun(*document, tactic);
        }
    }
    catch (const nlohmann::json::exception& error)
    {
        telemetry = Unexpected{std::string("not the JSON of a run or a league (") + error.what() + ")"};
    }
    if (!telemetry)
    {
        return Unexpected{runFile + ": " + telemetry.Reason()};
    }
    return telemetry;
}

} // namespace tryzone
