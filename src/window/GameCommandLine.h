#pragma once

#include "agent/BrainOptions.h"
#include "files/Expected.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace tryzone
{

struct GameOptions
{
    std::optional<std::uint32_t> seed;
    std::string settings = "PlayersSettings.json";
    std::string record;
    std::string replay;
    std::string events;
    std::string blueTactics; // empty: the default tactic
    std::string redTactics;
    std::string laws;              // empty: the game's own laws
    std::optional<double> minutes; // each match's length, as tryzone-sim --minutes
    int match = 1;                 // the match's number in the event log, as tryzone-sim's
    BrainOptions brains;           // as tryzone-sim's; their orders are kept in the recording
};

// What the command line asks for: the options, a text for --help, or a one-line reason it cannot be run.
struct HelpRequest
{
    std::string text;
};
struct CommandLineError
{
    std::string reason;
};
[[nodiscard]] std::variant<GameOptions, HelpRequest, CommandLineError> ParseGameCommandLine(int argc,
                                                                                            const char* const* argv);

} // namespace tryzone
