#pragma once

#include "agent/BrainOptions.h"
#include "run/MatchRunner.h"

#include <CLI/CLI.hpp>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tryzone
{

inline constexpr int kMaxMatches = 1000000;

struct Options
{
    std::string settings = "PlayersSettings.json";
    bool settingsGiven = false;
    int matches = 1;
    double minutes = kDefaultMinutes;
    std::optional<std::uint64_t> seed;
    std::string jsonFile;
    std::string eventsFile;
    std::string heatmapFile;
    bool checkRules = false;
    BrainOptions brains;
    // --blue-tactics and --red-tactics as given, empty for the default; the tactics once read.
    std::string blueTactics;
    std::string redTactics;
    MatchTactics tactics;
    // --laws as given, empty for the game's own laws; once read, in tactics.laws.
    std::string lawsFile;
};

// The simulator's command line, bound to options; subcommands and further options can be added before parsing.
[[nodiscard]] std::unique_ptr<CLI::App> MakeCommandLine(Options& options);

// Help as a manual page has it: the usage line, what the program does, the options, then the footer.
void FormatHelp(CLI::App& app, const std::string& usage);

// Parses the command line. Returns the exit status when the program should stop here: 0 after printing --help, 2
// after a one-line error on standard error.
[[nodiscard]] std::optional<int> ParseCommandLine(CLI::App& app, int argc, const char* const* argv);

// Adds an option that names a file, refusing an empty name.
CLI::Option* AddFile(CLI::App& app, const std::string& option, std::string& file, const std::string& description);

// Reads a whole number from min to max, written in decimal and nothing else; throws CLI::ValidationError naming
// the option and the accepted range otherwise.
[[nodiscard]] std::uint64_t WholeNumber(const std::string& option, const std::string& text, std::uint64_t min,
                                        std::uint64_t max);

} // namespace tryzone
