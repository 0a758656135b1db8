#include "experiments/RunSetup.h"

#include "run/MatchRunner.h"
#include "tactics/TacticsFile.h"

#include <functional>
#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
RunSetup Base()
{
    RunSetup setup;
    setup.seed = 3;
    setup.players = "defaults";
    const auto defaults = DefaultPlayers();
    setup.lineup.assign(defaults.begin(), defaults.end());
    setup.matches = 2;
    setup.minutes = 0.5;
    setup.framesPerMatch = 3593;
    return setup;
}

std::shared_ptr<const CompiledTactic> FastBreak()
{
    const TacticsRead read = ReadTacticsFile(TRYZONE_TACTICS_PATH "/fast-break.tactics.json");
    EXPECT_NE(read.tactic, nullptr) << read.error;
    return read.tactic;
}

struct Change
{
    const char* what;
    std::function<void(RunSetup&)> change;
    const char* difference;
};
} // namespace

// Each thing that makes a run what it is survives the JSON form, and is the one difference named between two runs.
TEST(RunSetup, EachPartOfARunIsKeptByItsJsonAndNamedWhenItDiffers)
{
    const std::vector<Change> changes{
        {"seed", [](RunSetup& s) { s.seed = 4; }, "another seed (4, not 3)"},
        {"players", [](RunSetup& s) { s.lineup[9].Speed += 1.f; }, "other players' settings"},
        {"tactics", [](RunSetup& s) { s.teams[1] = {"fast-break.tactics.json", FastBreak()}; }, "other tactics"},
        {"laws",
         [](RunSetup& s)
         {
             Laws laws;
             laws.forwardPass = true;
             s.laws = std::make_shared<const Laws>(laws);
             s.lawsFile = "rugby.laws.json";
         },
         "other laws"},
        {"brains", [](RunSetup& s) { static_cast<void>(AddBrains("0-9=random", s.brains)); },
         "other brains (slots 0 to 9 random, deciding every 12 frames, not none)"},
        {"brain slot", [](RunSetup& s) { static_cast<void>(AddBrains("4=hold", s.brains)); },
         "other brains (slot 4 hold, deciding every 12 frames, not none)"},
        {"matches", [](RunSetup& s) { s.matches = 3; }, "other options (matches)"},
        {"minutes", [](RunSetup& s) { s.minutes = 1.0; }, "other options (minutes)"},
        {"settings file", [](RunSetup& s) { s.players = "mine.json"; }, "other options (settings_file)"},
        {"check", [](RunSetup& s) { s.checkRules = true; }, "other options (check)"},
        {"vary", [](RunSetup& s) { s.variation = *ParseVariation("Speed=100:200:50", "red"); },
         "other options (vary)"},
    };
    const RunSetup base = Base();
    for (const Change& change : changes)
    {
        SCOPED_TRACE(change.what);
        RunSetup other = Base();
        change.change(other);
        EXPECT_EQ(RunDifference(base, other), change.difference);
        EXPECT_FALSE(base == other);
        const auto read = RunSetupFromJson(RunSetupAsJson(other));
        ASSERT_TRUE(read) << read.Reason();
        EXPECT_TRUE(*read == other);
        EXPECT_EQ(RunSetupAsJson(*read), RunSetupAsJson(other));
    }
}

// A run with neither tactics nor brains is written as runs always were; brains decide at their own pace.
TEST(RunSetup, PlainRunsKeepTheirFormAndBrainsKeepTheirPace)
{
    RunSetup setup = Base();
    const auto json = RunSetupAsJson(setup);
    EXPECT_FALSE(json.contains("tactics"));
    EXPECT_FALSE(json.contains("brains"));
    ASSERT_TRUE(AddBrains("5-9=random", setup.brains).empty());
    RunSetup slower = setup;
    slower.brains.decisionFrames = 24;
    EXPECT_FALSE(setup == slower);
    EXPECT_TRUE(RunSetupFromJson(RunSetupAsJson(slower))->brains.decisionFrames == 24);
}

// What the command line would refuse is refused when read from a run's JSON, with a reason.
TEST(RunSetup, AnEditedDescriptionIsRefusedWithAReason)
{
    RunSetup setup = Base();
    ASSERT_TRUE(AddBrains("0=random", setup.brains).empty());
    const auto json = RunSetupAsJson(setup);
    const std::vector<std::pair<std::function<void(nlohmann::ordered_json&)>, std::string>> edits{
        {[](auto& run) { run["brains"]["slots"][1] = "genius"; }, "unknown brain 'genius'"},
        {[](auto& run) { run["brains"]["slots"].erase(9); }, "not one for each of the ten slots"},
        {[](auto& run) { run["brains"]["decision_frames"] = 0; }, "decide every 0 frames"},
        {[](auto& run) { run["options"]["matches"] = 0; }, "0 matches"},
        {[](auto& run) { run["options"].erase("minutes"); }, "not described as tryzone-sim describes one"},
        {[](auto& run) { run["options"]["vary"] = {{"key", "Nope"}, {"who", "blue"}, {"from", 0}, {"to", 1},
                                                   {"step", 1}, {"list", nlohmann::json::array()}}; },
         "Nope"},
    };
    for (const auto& [edit, reason] : edits)
    {
        auto edited = json;
        edit(edited);
        const auto read = RunSetupFromJson(edited);
        ASSERT_FALSE(read) << reason;
        EXPECT_NE(read.Reason().find(reason), std::string::npos) << read.Reason();
    }
}

TEST(TaskNumbering, GroupsFollowOneAnotherAndMatchesCountFromOne)
{
    const TaskNumbering numbering{3, 4};
    EXPECT_EQ(numbering.Total(), 12);
    EXPECT_EQ(numbering.Match(0), 1);
    EXPECT_EQ(numbering.Match(5), 3);
    EXPECT_EQ(numbering.Group(5), 1);
    EXPECT_EQ(numbering.Match(6), 1);
    EXPECT_EQ(numbering.Group(11), 3);
}

} // namespace tryzone
