// What VecMatch's constructor and tryzone.entrant take from Python, read as the programs read their files and options.
#include "Inputs.h"

#include "agent/Brain.h"
#include "agent/BrainOptions.h"
#include "agent/Entrant.h"
#include "settings/PlayersConfig.h"
#include "tactics/TacticsFile.h"

#include <stdexcept>

namespace tryzone::python
{

std::vector<PlayerSettings> LoadSettings(const py::object& settings)
{
    const auto defaults = DefaultPlayers();
    if (settings.is_none())
    {
        return {defaults.begin(), defaults.end()};
    }
    PlayersConfig config(py::str(py::module_::import("os").attr("fspath")(settings)));
    const auto warnings = Value(config.Load(), "the settings file " + config.fileName);
    for (const std::string& warning : warnings)
    {
        if (PyErr_WarnEx(PyExc_UserWarning, warning.c_str(), 1) != 0)
        {
            throw py::error_already_set();
        }
    }
    config.CompleteFrom(defaults);
    config.records.resize(kPlayerSlots);
    return config.records;
}

// The laws file's laws; null for none or for the game's own laws. A refused file raises ValueError with its line.
std::shared_ptr<const Laws> LoadLaws(const py::object& path)
{
    if (path.is_none())
    {
        return nullptr;
    }
    const Laws laws = Value(ReadLawsFile(py::str(py::module_::import("os").attr("fspath")(path))));
    return AreGameLaws(laws) ? nullptr : std::make_shared<const Laws>(laws);
}

std::string PathOrEmpty(const py::object& path)
{
    return path.is_none() ? std::string() : std::string(py::str(py::module_::import("os").attr("fspath")(path)));
}

// The brains of uncontrolled players and the teams' tactics files, as tryzone-sim's --brain, --blue-brain,
// --red-brain, --blue-team and --red-team give them; they decide at the batch's pace unless a policy has its own.
BrainPlan LoadBrains(const std::vector<std::string>& slots, const std::array<py::object, 2>& teamBrains,
                     const std::array<py::object, 2>& teamFiles, const std::vector<PlayerSettings>& players,
                     int decisionFrames, std::array<std::string, 2>& tacticsFiles)
{
    BrainOptions options;
    options.slots.decisionFrames = decisionFrames;
    for (const std::string& text : slots)
    {
        if (const std::string fault = AddBrains(text, options.slots); !fault.empty())
        {
            throw std::invalid_argument("brains: " + fault);
        }
    }
    for (const std::size_t team : {0U, 1U})
    {
        const std::string side = team == 0 ? "blue" : "red";
        if (!teamFiles[team].is_none())
        {
            if (!tacticsFiles[team].empty() || !teamBrains[team].is_none())
            {
                throw std::invalid_argument(side + "_team excludes " + side + "_tactics and " + side + "_brain");
            }
            if (auto taken =
                    TakeTeam(PathOrEmpty(teamFiles[team]), static_cast<int>(team), tacticsFiles[team], options);
                !taken)
            {
                throw std::invalid_argument(side + "_team: " + taken.Reason());
            }
        }
        if (!teamBrains[team].is_none())
        {
            const std::string brain = py::str(teamBrains[team]);
            if (const auto made = MakeBrain(brain, 0); !made)
            {
                throw std::invalid_argument(made.Reason());
            }
            options.teams[team] = brain;
        }
    }
    auto plan = PlanBrains(options, players);
    if (!plan)
    {
        throw std::invalid_argument(plan.Reason());
    }
    return *plan;
}

// A league's entrant as the simulator reads it: its tactics file and the brains of its five players.
py::dict EntrantOf(const std::string& text)
{
    auto entrant = ReadEntrant(text);
    if (!entrant)
    {
        throw std::invalid_argument(entrant.Reason());
    }
    py::dict result;
    result["name"] = UniqueNames({text}).front();
    result["tactics"] = entrant->team.tactic == nullptr ? py::object(py::none()) : py::str(entrant->team.tacticsFile);
    py::list brains;
    for (const std::string& brain : entrant->brains)
    {
        brains.append(brain.empty() ? py::object(py::none()) : py::str(brain));
    }
    result["brains"] = brains;
    return result;
}

// A team's tactics file, read as the programs read it; none for the built-in wiring.
std::shared_ptr<const CompiledTactic> LoadTactics(const std::string& path)
{
    if (path.empty())
    {
        return nullptr;
    }
    TacticsRead read = ReadTacticsFile(path);
    if (read.tactic == nullptr)
    {
        throw std::invalid_argument(read.error);
    }
    return read.tactic;
}

} // namespace tryzone::python
