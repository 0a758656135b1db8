#include "agent/BrainDriver.h"
#include "agent/BrainOptions.h"
#include "agent/Observation.h"
#include "run/MatchRunner.h"

#include <CLI/CLI.hpp>
#include <gtest/gtest.h>
#include <set>

namespace tryzone
{

namespace
{
struct BrainText
{
    const char* text;
    std::string brains; // each slot's brain's first letter, '.' for none; or the fault
};

class BrainsText : public testing::TestWithParam<BrainText>
{
};

std::string Letters(const BrainPlan& plan)
{
    std::string letters;
    for (const std::string& brain : plan.brains)
    {
        letters += brain.empty() ? '.' : brain.front();
    }
    return letters;
}
} // namespace

// SLOTS=NAME lands on exactly the slots it names, ends included; anything else says what is wrong.
TEST_P(BrainsText, SlotsAndRangesLandOnTheirSlotsAndBadTextSaysWhy)
{
    BrainPlan plan;
    const std::string fault = AddBrains(GetParam().text, plan);
    EXPECT_EQ(fault.empty() ? Letters(plan) : fault, GetParam().brains);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, BrainsText,
    testing::Values(BrainText{"0-9=random", "rrrrrrrrrr"}, BrainText{"0=hold", "h........."},
                    BrainText{"9=runner", ".........r"}, BrainText{"2,7=hold", "..h....h.."},
                    BrainText{"0-1,5-6,9=builtin", "bb...bb..b"}, BrainText{"3-3=hold", "...h......"},
                    BrainText{"5", "'5' is not SLOTS=NAME"},
                    BrainText{"10=hold", "'10' is not a slot from 0 to 9 or a range of them"},
                    BrainText{"0-10=hold", "'0-10' is not a slot from 0 to 9 or a range of them"},
                    BrainText{"4-2=hold", "'4-2' is not a slot from 0 to 9 or a range of them"},
                    BrainText{"-1=hold", "'-1' is not a slot from 0 to 9 or a range of them"},
                    BrainText{"1,=hold", "'' is not a slot from 0 to 9 or a range of them"},
                    BrainText{"1x=hold", "'1x' is not a slot from 0 to 9 or a range of them"},
                    BrainText{"3=genius", "unknown brain 'genius' (builtin, hold, random, runner, policy:FILE)"}));

// A team's brain fills the team's players as the lineup sides them, never a slot --brain already gave; the plan
// reads back as runs of slots.
TEST(BrainPlan, TeamBrainsFillTheirSideAndTheDescriptionNamesRuns)
{
    const auto defaults = DefaultPlayers();
    std::vector<PlayerSettings> lineup(defaults.begin(), defaults.end());
    BrainPlan plan;
    EXPECT_TRUE(plan.Empty());
    EXPECT_EQ(Describe(plan), "");
    ASSERT_EQ(AddBrains("2=hold", plan), "");
    SetTeamBrain(plan, lineup, 0, "runner");
    SetTeamBrain(plan, lineup, 1, "");
    EXPECT_EQ(Letters(plan), "rrhrr.....");
    EXPECT_FALSE(plan.Empty());
    EXPECT_EQ(Describe(plan), "slots 0 to 1 runner, slot 2 hold, slots 3 to 4 runner, deciding every 12 frames");
    SetTeamBrain(plan, lineup, 1, "random");
    plan.decisionFrames = 30;
    EXPECT_EQ(Describe(plan),
              "slots 0 to 1 runner, slot 2 hold, slots 3 to 4 runner, slots 5 to 9 random, deciding every 30 frames");
    EXPECT_TRUE(CheckPace(plan)); // no policy: any pace
}

namespace
{
Expected<BrainPlan> Parsed(std::vector<std::string> arguments)
{
    CLI::App app;
    BrainOptions options;
    AddBrainOptions(app, options);
    arguments.insert(arguments.begin(), "prog");
    std::vector<const char*> argv;
    for (const std::string& argument : arguments)
    {
        argv.push_back(argument.c_str());
    }
    try
    {
        app.parse(static_cast<int>(argv.size()), argv.data());
    }
    catch (const CLI::ParseError& error)
    {
        return Unexpected{error.what()};
    }
    if (options.Given() != (arguments.size() > 1 && arguments[1] != "--decision-frames"))
    {
        return Unexpected{"given or not, as the options say"};
    }
    const auto defaults = DefaultPlayers();
    return PlanBrains(options, {defaults.begin(), defaults.end()});
}
} // namespace

// The options the game and the simulator share: --brain wins over the team's brain on its slots, and a bad value
// names its option.
TEST(BrainOptions, CommandLinesGiveTheirPlanOrNameTheOptionAtFault)
{
    const auto plan =
        Parsed({"--red-brain", "random", "--brain", "0-1=hold", "--brain", "6=runner", "--decision-frames", "100000"});
    ASSERT_TRUE(plan) << plan.Reason();
    EXPECT_EQ(Letters(*plan), "hh...rrrrr");
    EXPECT_EQ(plan->brains[6], "runner");
    EXPECT_EQ(plan->brains[5], "random");
    EXPECT_EQ(plan->decisionFrames, 100000);
    EXPECT_EQ(Parsed({"--decision-frames", "1"})->decisionFrames, 1);
    EXPECT_EQ(Parsed({})->decisionFrames, kDefaultDecisionFrames);
    EXPECT_EQ(Letters(*Parsed({"--brain", "3=hold"})), "...h......");
    EXPECT_EQ(Letters(*Parsed({"--blue-brain", "hold"})), "hhhhh.....");
    for (const char* frames : {"0", "100001", "12x", "-3", ""})
    {
        EXPECT_EQ(Parsed({"--decision-frames", frames}).Reason().rfind("bad value for --decision-frames: '", 0), 0u)
            << frames;
    }
    EXPECT_EQ(Parsed({"--blue-brain", "genius"}).Reason().rfind("--blue-brain: unknown brain 'genius'", 0), 0u);
    EXPECT_EQ(Parsed({"--brain", "12=hold"}).Reason().rfind("--brain: '12' is not a slot", 0), 0u);
}

// The random brain plays every kind of action, each one playable, and the same seed plays the same ones.
TEST(BrainPlan, TheRandomBrainPlaysEveryKindOfValidActionFromItsSeed)
{
    auto first = MakeBrain("random", 77);
    auto again = MakeBrain("random", 77);
    auto other = MakeBrain("random", 78);
    ASSERT_TRUE(first && again && other);
    const std::array<float, kObservationSize> features{};
    std::set<std::int32_t> codes;
    std::set<std::int32_t> receivers;
    int differ = 0;
    for (int i = 0; i < 2000; ++i)
    {
        const AgentAction action = (*first)->Decide({features, 0});
        const AgentAction same = (*again)->Decide({features, 0});
        differ += (*other)->Decide({features, 0}).code != action.code ? 1 : 0;
        EXPECT_TRUE(CheckAction(action));
        EXPECT_EQ(std::tie(action.code, action.x, action.y), std::tie(same.code, same.x, same.y));
        codes.insert(action.code);
        if (action.code == kMove)
        {
            EXPECT_TRUE(action.x >= 0 && action.x <= 1280 && action.y >= 0 && action.y <= 720);
        }
        if (action.code == kPass)
        {
            receivers.insert(action.x);
        }
    }
    EXPECT_EQ(codes.size(), 4u);
    EXPECT_EQ(receivers.size(), 11u); // -1 and every slot
    EXPECT_GT(differ, 1000);
    EXPECT_EQ((*MakeBrain("hold", 1))->Decide({features, 0}).code, kHold);
    EXPECT_EQ((*MakeBrain("builtin", 1))->Decide({features, 0}).code, kBuiltin);
}

} // namespace tryzone
