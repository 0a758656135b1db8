#pragma once

#include "shards/Shards.h"
#include "cli/Options.h"
#include "laws/Laws.h"
#include "cli/ScaleOptions.h"
#include "tactics/Tactic.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tryzone
{

// The simulator's tactics: --blue-tactics and --red-tactics for every run, the tactics subcommand that checks and
// draws a file, and the league subcommand that plays tactics against one another.
struct TacticsCommands
{
    CLI::App* tactics = nullptr; // parsed when it ran
    std::string file;
    std::string graphFile;
    std::string fromFile; // a run's or a league's JSON whose telemetry the graph shows

    CLI::App* league = nullptr; // parsed when it ran
    std::vector<std::string> files;
    int matches = 10;
    double minutes = 80.0;
    std::optional<std::uint64_t> seed;
    int jobs = 1;
    std::string jsonFile;
    std::string csvFile;
    std::string plotFile;
    std::string lawsFile;
    std::optional<Shard> shard;
    std::string settings = "PlayersSettings.json"; // read when present, as for a run
    bool settingsGiven = false;
};

// Adds --laws to a command, bound to file.
void AddLawsOption(CLI::App& app, std::string& file);
// Reads the laws file (none: the game's own laws); false, with the file's line on standard error, when it is
// refused. Laws equal to the game's are kept as none, so that such a run reads and writes as one without the file.
[[nodiscard]] bool ReadLawsOption(const std::string& file, std::shared_ptr<const Laws>& laws);

// Adds --blue-tactics, --red-tactics and --laws, bound to options.
void AddTacticsOptions(CLI::App& app, Options& options);
// Adds the tactics and league subcommands.
void AddTacticsCommands(CLI::App& app, TacticsCommands& commands);

// Reads the files --blue-tactics, --red-tactics and --laws name; false, with each file's line on standard error, when
// one is refused.
[[nodiscard]] bool ReadRunTactics(Options& options);

// Reads every file, printing each warning and each error on standard error; the tactics in order, or none when
// one of the files is refused.
[[nodiscard]] bool ReadTacticsFiles(const std::vector<std::string>& paths,
                                    std::vector<std::shared_ptr<const CompiledTactic>>& tactics);

// tryzone-sim tactics FILE [--graph OUT.png|OUT.svg]; the exit status.
[[nodiscard]] int TacticsCommand(const TacticsCommands& commands);
// tryzone-sim merge with a league's parts: the league's table, as if played in one go; the exit status.
[[nodiscard]] int LeagueMergeCommand(const ScaleOptions& scale);
// tryzone-sim league A B [C ...]; the exit status.
[[nodiscard]] int LeagueCommand(const TacticsCommands& commands);

} // namespace tryzone
