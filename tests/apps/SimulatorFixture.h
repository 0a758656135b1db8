// The simulator run as a program in a folder of its own, and what its tests read from its output.
#pragma once

#include "match/Formation.h"
#include "settings/DefaultPlayerSettings.h"
#include "settings/PlayersConfig.h"
#include "support/DefaultSettingsFile.h"
#include "support/Files.h"
#include "support/Program.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <thread>

namespace tryzone
{
using json = nlohmann::json;

class SimulatorTest : public ::testing::Test
{
protected:
    ProgramRun Sim(std::vector<std::string> arguments)
    {
        return RunProgram(TRYZONE_SIM_PATH, arguments, folder.Path());
    }

    [[nodiscard]] std::string File(const std::string& name) const { return ReadFile(folder.Path() / name); }

    // The files in the folder, where a temporary file left behind would show.
    [[nodiscard]] std::set<std::string> Names() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    // Everything but the last line, the speed, which measures the machine.
    static std::string WithoutSpeed(const std::string& out) { return out.substr(0, out.rfind("Speed: ")); }

    TemporaryFolder folder;
};

// A command line refused before anything is done: one line on standard error, status 2.
inline void ExpectRefused(const ProgramRun& run, const std::string& program, const std::string& argument)
{
    EXPECT_EQ(run.status, 2) << argument;
    EXPECT_EQ(run.out, "") << argument;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(run.err.rfind(program + ": ", 0), 0u) << run.err;
}

inline std::vector<json> Lines(const std::string& text)
{
    std::vector<json> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
    {
        lines.push_back(json::parse(line));
    }
    return lines;
}

} // namespace tryzone
