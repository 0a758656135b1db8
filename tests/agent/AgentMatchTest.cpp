#include "agent/AgentMatch.h"

#include "agent/Observation.h"
#include "run/MatchTimeline.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>

namespace tryzone
{

namespace
{
std::vector<PlayerSettings> Players(float luck)
{
    const auto defaults = DefaultPlayers();
    std::vector<PlayerSettings> players(defaults.begin(), defaults.end());
    for (PlayerSettings& player : players)
    {
        player.LuckMultiplier = luck;
    }
    return players;
}

constexpr std::uint32_t kSeed = 1234;

float Centre(const RawState& raw, int slot, int axis)
{
    return raw.positions[static_cast<std::size_t>(2 * slot + axis)];
}
} // namespace

TEST(AgentMatch, HoldKeepsAPlayerStillAndHisGraphWaiting)
{
    AgentMatch match(Players(1.f), {2}, 10000, false, false);
    match.Start(kSeed, 1);
    match.Advance(30);
    const RawState before = match.Raw();
    const AgentAction hold{kHold, 0, 0};
    match.Act(&hold);
    match.Advance(200);
    const RawState after = match.Raw();
    EXPECT_EQ(Centre(after, 2, 0), Centre(before, 2, 0));
    EXPECT_EQ(Centre(after, 2, 1), Centre(before, 2, 1));
    EXPECT_EQ(after.states[2], before.states[2]);
    EXPECT_NE(Centre(after, 3, 0), Centre(before, 3, 0));
}

// The point is in the player's ego frame: the red player's x is mirrored, and both reach the pitch point it names.
TEST(AgentMatch, MoveRunsToTheEgoFramePointOfEitherTeam)
{
    AgentMatch match(Players(1.f), {1, 6}, 10000, false, false);
    match.Start(kSeed, 1);
    // Points inside their lanes, a little above where they start.
    const int blueY = static_cast<int>(Centre(match.Raw(), 1, 1)) - 20;
    const int redY = static_cast<int>(Centre(match.Raw(), 6, 1)) - 20;
    const AgentAction moves[] = {{kMove, 300, blueY}, {kMove, 300, redY}};
    match.Act(moves);
    match.Advance(600);
    const RawState raw = match.Raw();
    EXPECT_NEAR(Centre(raw, 1, 0), 300.f, 3.f);
    EXPECT_NEAR(Centre(raw, 1, 1), static_cast<float>(blueY), 3.f);
    EXPECT_NEAR(Centre(raw, 6, 0), 1280.f - 300.f, 3.f);
    EXPECT_NEAR(Centre(raw, 6, 1), static_cast<float>(redY), 3.f);
    std::vector<float> seen(2 * kObservationSize);
    match.Observe(seen.data());
    EXPECT_NEAR(seen[features::kX], 300.f, 3.f);
    EXPECT_NEAR(seen[kObservationSize + features::kX], 300.f, 3.f);
    EXPECT_EQ(seen[kObservationSize + features::kTeam], 1.f);
}

// With a luck that cannot fail, the holder's pass reaches the teammate named once the cooldown is over; a pass order
// to an opponent or to himself, or from a player without the ball, is no attempt at all.
TEST(AgentMatch, PassGoesToTheNamedTeammateOnlyFromTheHolder)
{
    AgentMatch match(Players(2.f), {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 10000, true, false);
    match.Start(kSeed, 1);
    const int holder = match.Raw().holder;
    const int teammate = holder >= 5 ? (holder == 9 ? 5 : holder + 1) : (holder == 4 ? 0 : holder + 1);
    const int opponent = (holder + 5) % 10;
    std::vector<AgentAction> actions(10, AgentAction{kPass, teammate, 0});
    for (const int nobody : {opponent, holder}) // nor to himself
    {
        actions[static_cast<std::size_t>(holder)] = {kPass, nobody, 0};
        match.Act(actions.data());
        match.Advance(200);
        EXPECT_EQ(match.Raw().holder, holder) << nobody;
        EXPECT_EQ(match.Events().find("pass"), std::string::npos) << nobody;
    }

    // Passed as the Pass state passes: once his cooldown and his wait in Pass are both over.
    actions[static_cast<std::size_t>(holder)] = {kPass, teammate, 0};
    match.Act(actions.data());
    match.Advance(1);
    EXPECT_EQ(match.Raw().holder, holder);
    match.Advance(200);
    EXPECT_EQ(match.Raw().holder, teammate);
    EXPECT_NE(match.Events().find("\"event\":\"pass\""), std::string::npos);
}

// Random orders of every kind from outside, and brains' orders, recorded as the match is played: the recording
// replays headless with the same event lines, though the replay has no brain, and names the brains.
struct RecordedOrders
{
    std::vector<int> controlled;
    std::vector<std::string> brains; // SLOTS=NAME
};

class AgentMatchRecording : public ::testing::TestWithParam<RecordedOrders>
{
};

TEST_P(AgentMatchRecording, ReplaysWithTheSameEvents)
{
    BrainPlan plan;
    for (const std::string& text : GetParam().brains)
    {
        ASSERT_EQ(AddBrains(text, plan), "");
    }
    AgentMatch match(Players(1.f), GetParam().controlled, 3000, true, true, {}, plan);
    match.Start(kSeed, 1);
    std::mt19937 engine(5);
    std::vector<AgentAction> actions(GetParam().controlled.size());
    while (!match.Over())
    {
        for (AgentAction& action : actions)
        {
            action = {std::uniform_int_distribution<std::int32_t>(0, 3)(engine),
                      std::uniform_int_distribution<std::int32_t>(-1, 1280)(engine) % 10,
                      std::uniform_int_distribution<std::int32_t>(0, 720)(engine)};
        }
        match.Act(actions.data());
        match.Advance(7);
    }
    const auto path = std::filesystem::temp_directory_path() / "tryzone-agent-recording.jsonl";
    std::ofstream(path, std::ios::binary) << match.Recording();
    const auto recording = ReadRecording(path.string());
    std::filesystem::remove(path);
    ASSERT_TRUE(recording) << recording.Reason();
    EXPECT_GT(recording->inputs.size(), 100u);
    // The header names the brains that played the players outside controlled, and none when there are none.
    if (plan.Empty())
    {
        EXPECT_TRUE(recording->brains.is_null());
    }
    else
    {
        const auto named = BrainPlanFromJson(recording->brains);
        ASSERT_TRUE(named) << named.Reason();
        EXPECT_EQ(named->brains, plan.brains);
    }
    std::ostringstream replayed;
    (void)ReplayHeadless(*recording, &replayed);
    EXPECT_EQ(replayed.str(), match.Events());
    EXPECT_NE(match.Events().find("\"event\":\"pass\""), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(OutsideAndBrains, AgentMatchRecording,
                         ::testing::Values(RecordedOrders{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {}},
                                           RecordedOrders{{0, 1, 2, 3, 4}, {"5-9=random"}},
                                           // Brains alone, one of them deciding only now and then.
                                           RecordedOrders{{}, {"0-4=random", "5=runner", "6-9=builtin"}}));

} // namespace tryzone
