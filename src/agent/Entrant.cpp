#include "agent/Entrant.h"

#include "agent/Brain.h"
#include "files/JsonReader.h"
#include "tactics/TacticsFile.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

namespace tryzone
{

namespace
{
namespace fs = std::filesystem;

constexpr std::array<std::string_view, 4> kSuffixes{".tactics.json", ".team.json", ".safetensors", ".json"};

std::string WithoutSuffix(std::string name)
{
    for (const std::string_view suffix : kSuffixes)
    {
        if (name.size() > suffix.size() && name.ends_with(suffix))
        {
            name.resize(name.size() - suffix.size());
            break;
        }
    }
    return name;
}

Expected<void> SetBrain(Entrant& entrant, const std::string& slots, const std::string& brain)
{
    if (auto made = MakeBrain(brain, 0); !made)
    {
        return made.Error();
    }
    BrainPlan plan;
    if (const std::string fault = AddBrains(slots + "=" + brain, plan); !fault.empty())
    {
        return Unexpected{fault};
    }
    for (std::size_t slot = 0; slot < plan.brains.size(); ++slot)
    {
        if (!plan.brains[slot].empty())
        {
            if (slot >= entrant.brains.size())
            {
                return Unexpected{"slot " + std::to_string(slot) + " is not one of a team's five (0 to 4)"};
            }
            entrant.brains[slot] = brain;
        }
    }
    return {};
}

Expected<void> ReadTactics(Entrant& entrant, const std::string& path)
{
    TacticsRead read = ReadTacticsFile(path);
    if (read.tactic == nullptr)
    {
        return Unexpected{read.error};
    }
    entrant.team = {path, read.tactic};
    entrant.warnings = read.warnings;
    return {};
}

// A policy named in a team file is found beside it.
std::string Beside(const fs::path& file, const std::string& brain)
{
    constexpr std::string_view prefix = "policy:";
    if (!brain.starts_with(prefix) || fs::path(brain.substr(prefix.size())).is_absolute())
    {
        return brain;
    }
    return std::string(prefix) + (file.parent_path() / brain.substr(prefix.size())).lexically_normal().string();
}

Expected<void> ReadTeamFile(Entrant& entrant, const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        return Unexpected{"cannot read " + path};
    }
    std::ostringstream text;
    text << in.rdbuf();
    auto read = ReadJsonText(text.str(), path);
    if (!read)
    {
        return read.Error();
    }
    try
    {
        const nlohmann::json& team = *read;
        for (const auto& [key, value] : team.items())
        {
            if (key != "tactics" && key != "brain" && key != "brains")
            {
                return Unexpected{"unknown key \"" + key + "\" (tactics, brain, brains)"};
            }
        }
        if (const auto tactics = team.find("tactics"); tactics != team.end() && !tactics->is_null())
        {
            if (auto tactic =
                    ReadTactics(entrant, (fs::path(path).parent_path() / tactics->get<std::string>()).string());
                !tactic)
            {
                return tactic;
            }
        }
        if (const auto brain = team.find("brain"); brain != team.end())
        {
            if (auto set = SetBrain(entrant, "0-4", Beside(path, brain->get<std::string>())); !set)
            {
                return set;
            }
        }
        const nlohmann::json brains = team.value("brains", nlohmann::json::object());
        for (const auto& [slots, brain] : brains.items())
        {
            if (auto set = SetBrain(entrant, slots, Beside(path, brain.get<std::string>())); !set)
            {
                return set;
            }
        }
    }
    catch (const nlohmann::json::exception& error)
    {
        return Unexpected{std::string("not a team file (") + error.what() + ")"};
    }
    return {};
}
} // namespace

Expected<Entrant> ReadEntrant(const std::string& text)
{
    Entrant entrant;
    entrant.given = text;
    Expected<void> read;
    if (text.ends_with(".tactics.json"))
    {
        read = ReadTactics(entrant, text);
    }
    else if (text.ends_with(".team.json"))
    {
        read = ReadTeamFile(entrant, text);
    }
    else if (text.ends_with(".safetensors"))
    {
        read = SetBrain(entrant, "0-4", "policy:" + text);
    }
    else if (text != "builtin")
    {
        read = SetBrain(entrant, "0-4", text);
    }
    if (!read)
    {
        return Unexpected{read.Reason().find(text) == std::string::npos ? text + ": " + read.Reason() : read.Reason()};
    }
    return entrant;
}

std::vector<std::string> UniqueNames(const std::vector<std::string>& given)
{
    const auto base = [](const std::string& text)
    {
        const std::string path = text.starts_with("policy:") ? text.substr(7) : text;
        return WithoutSuffix(fs::path(path).filename().string());
    };
    std::vector<std::string> names;
    std::map<std::string, int> count;
    for (const std::string& text : given)
    {
        names.push_back(base(text));
        ++count[names.back()];
    }
    // Where two share a name, their paths as given tell them apart, but for the same file given twice.
    std::map<std::string, int> seen;
    for (std::size_t i = 0; i < names.size(); ++i)
    {
        if (count[names[i]] > 1)
        {
            const std::string path = given[i].starts_with("policy:") ? given[i].substr(7) : given[i];
            names[i] = WithoutSuffix(fs::path(path).lexically_normal().string());
        }
    }
    for (std::string& name : names)
    {
        const int times = ++seen[name];
        if (times > 1)
        {
            name += "#" + std::to_string(times);
        }
    }
    return names;
}

Sides Place(const Entrant& blue, const Entrant& red, const std::vector<PlayerSettings>& lineup)
{
    Sides sides{{blue.team, red.team}, {}};
    SetTeamBrains(sides.brains, lineup, 0, blue.brains);
    SetTeamBrains(sides.brains, lineup, 1, red.brains);
    TakePace(sides.brains);
    return sides;
}

} // namespace tryzone
