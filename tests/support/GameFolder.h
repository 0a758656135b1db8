#pragma once

#include "support/Display.h"
#include "support/Files.h"
#include "support/Program.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <thread>

namespace tryzone
{

// Polls until done() holds; false when the timeout passes first. The real game answers at its own pace.
inline bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(60))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done())
    {
        if (std::chrono::steady_clock::now() > deadline)
        {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

// A folder the real game plays in, with its font beside it, as a person's would be.
class GameFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TRYZONE_REQUIRE_DISPLAY_OR_SKIP();
        std::filesystem::copy_file(TRYZONE_FONT_PATH, folder.Path() / "Hack-Regular.ttf");
    }

    std::string Read(const std::string& name) const { return ReadFile(folder.Path() / name); }

    // The event log tryzone-sim --replay gives for a recording of the folder.
    std::string ReplayedLog(const std::string& recording) const
    {
        const ProgramRun run =
            RunProgram(TRYZONE_SIM_PATH, {"--replay", recording, "--events", "sim-replay.jsonl"}, folder.Path());
        EXPECT_EQ(run.status, 0) << run.err;
        return Read("sim-replay.jsonl");
    }

    TemporaryFolder folder;
};

} // namespace tryzone
