#pragma once

#include "support/Files.h"
#include "support/Program.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tryzone
{

using Arguments = std::vector<std::string>;

inline Arguments operator+(Arguments a, const Arguments& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Everything but the summary's last lines, the speed, which measures the machine.
inline std::string WithoutSpeed(const std::string& out)
{
    return out.substr(0, out.rfind("Speed: "));
}

// The simulator run in a folder of its own, as the league, sweep and shard tests run it.
class SimFolderTest : public ::testing::Test
{
protected:
    ProgramRun Sim(const Arguments& arguments) { return RunProgram(TRYZONE_SIM_PATH, arguments, folder.Path()); }

    ProgramRun Succeeding(const Arguments& arguments)
    {
        ProgramRun run = Sim(arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        return run;
    }

    [[nodiscard]] std::string File(const std::string& name) const { return ReadFile(folder.Path() / name); }

    // Refused before anything is played: status 2, one line on standard error saying expected, nothing on standard
    // output.
    static void ExpectOneLineError(const ProgramRun& run, const std::string& expected)
    {
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_NE(run.err.find(expected), std::string::npos) << run.err << " lacks " << expected;
    }

    TemporaryFolder folder;
};

} // namespace tryzone
