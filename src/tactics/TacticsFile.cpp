#include "tactics/TacticsFile.h"

#include "files/JsonReader.h"
#include "settings/ConsoleText.h"
#include "settings/RegularFile.h"
#include "tactics/TacticJson.h"

#include <cerrno>
#include <cmath>
#include <cstring>

namespace tryzone
{

namespace
{
using nlohmann::json;

constexpr std::size_t kMaxLibraryText = 160;

TacticsRead Refused(const std::string& name, const std::string& place, const std::string& what)
{
    TacticsRead read;
    // Keys quoted in the place come from the file: they are made fit for one line like the rest.
    read.error = ConsoleText(name, kMaxLibraryText) + ": " +
                 (place.empty() ? "" : ConsoleText(place, kMaxLibraryText) + ": ") + what;
    return read;
}

json Number(double value)
{
    // Whole numbers are written as such: "1" rather than "1.0".
    if (std::floor(value) == value && std::fabs(value) < 9.0e15)
    {
        return static_cast<std::int64_t>(value);
    }
    return value;
}

nlohmann::ordered_json Parameters(const TacticStep& step)
{
    nlohmann::ordered_json parameters = nlohmann::ordered_json::object();
    for (const Parameter& parameter : step.parameters)
    {
        if (const auto* number = std::get_if<double>(&parameter.value))
        {
            parameters[parameter.name] = Number(*number);
        }
        else
        {
            parameters[parameter.name] = std::get<std::string>(parameter.value);
        }
    }
    return parameters;
}
} // namespace

TacticsRead TacticsFromJson(const json& document, const std::string& name)
{
    try
    {
        TacticsRead read;
        auto compiled = std::make_shared<CompiledTactic>(CompileTactic(TacticFromJson(document)));
        for (const TacticProblem& warning : compiled->warnings)
        {
            read.warnings.push_back("Warning: " + ConsoleText(name, kMaxLibraryText) + ": " + warning.place + ": " +
                                    warning.what);
        }
        read.tactic = std::move(compiled);
        return read;
    }
    catch (const TacticError& error)
    {
        return Refused(name, error.problem.place, error.problem.what);
    }
}

TacticsRead ParseTactics(std::string_view text, const std::string& name)
{
    const auto document = ReadJsonText(text, name);
    if (!document)
    {
        TacticsRead read;
        read.error = document.Reason();
        return read;
    }
    return TacticsFromJson(*document, name);
}

TacticsRead ReadTacticsFile(const std::string& path)
{
    Descriptor file;
    struct stat status = {};
    const OpenOutcome opened = OpenRegular(path, file, status);
    if (opened != OpenOutcome::Opened)
    {
        return Refused(path, "",
                       opened == OpenOutcome::NotAFile ? "not a regular file"
                                                       : std::string("cannot be opened: ") + std::strerror(errno));
    }
    std::string text;
    const ReadOutcome outcome = ReadBounded(file.Get(), text, kMaxTacticsFileBytes);
    if (outcome != ReadOutcome::Read)
    {
        return Refused(path, "", outcome == ReadOutcome::TooLarge ? "larger than 1 MiB" : "cannot be read");
    }
    return ParseTactics(text, path);
}

nlohmann::ordered_json TacticToJson(const Tactic& tactic)
{
    nlohmann::ordered_json states = nlohmann::ordered_json::array();
    for (const TacticState& state : tactic.states)
    {
        nlohmann::ordered_json links = nlohmann::ordered_json::array();
        for (const TacticLink& link : state.links)
        {
            nlohmann::ordered_json conditions = nlohmann::ordered_json::array();
            for (const TacticCondition& condition : link.conditions)
            {
                nlohmann::ordered_json written{{"condition", condition.test.kind}, {"expected", condition.expected}};
                if (!condition.test.parameters.empty())
                {
                    written["parameters"] = Parameters(condition.test);
                }
                conditions.push_back(std::move(written));
            }
            links.push_back({{"target", link.target}, {"conditions", std::move(conditions)}});
        }
        nlohmann::ordered_json written{{"name", state.name}, {"action", state.action.kind}};
        if (!state.action.parameters.empty())
        {
            written["parameters"] = Parameters(state.action);
        }
        written["links"] = std::move(links);
        states.push_back(std::move(written));
    }
    return {{"description", tactic.description}, {"start", tactic.start}, {"states", std::move(states)}};
}

std::string TacticText(const Tactic& tactic)
{
    return TacticToJson(tactic).dump(4) + "\n";
}

} // namespace tryzone
