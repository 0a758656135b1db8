#pragma once

#include "agent/BrainOptions.h"

#include <CLI/CLI.hpp>
#include <cstdint>
#include <optional>
#include <string>

namespace tryzone
{

// tryzone-sim sensitivity: which change of a side's players helps it most.
struct SensitivityOptions
{
    CLI::App* command = nullptr; // parsed when it ran
    std::string who;
    std::string change = "10%";
    int matches = 0;
    double minutes = 80.0;
    std::optional<std::uint64_t> seed;
    int jobs = 1;
    std::string settings = "PlayersSettings.json";
    bool settingsGiven = false;
    std::string jsonFile;
    std::string csvFile;
    std::string plotFile;
    std::string lawsFile;
    BrainOptions brains;
};

// Adds the sensitivity subcommand, bound to options.
void AddSensitivityCommand(CLI::App& app, SensitivityOptions& options);

// Plays the players as they are and every change on the same match seeds and prints the ranking; the exit status.
[[nodiscard]] int SensitivityCommand(const SensitivityOptions& options);

} // namespace tryzone
