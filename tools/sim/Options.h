#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

struct Options
{
    std::string settings = "PlayersSettings.json";
    bool settingsGiven = false;
    int matches = 1;
    double minutes = 80.0;
    std::optional<std::uint64_t> seed;
    std::string jsonFile;
    std::string eventsFile;
    std::string heatmapFile;
    bool checkRules = false;
    bool help = false;
};

// The options, or a one-line reason why the command line cannot be run.
[[nodiscard]] std::variant<Options, std::string> ParseOptions(int argc, const char* const* argv);

[[nodiscard]] const char* HelpText();
