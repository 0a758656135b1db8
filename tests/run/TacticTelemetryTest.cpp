#include "run/TacticTelemetry.h"

#include "behaviour/Player.h"
#include "match/RugbyScene.h"
#include "run/MatchRunner.h"
#include "support/HeadlessWorld.h"
#include "tactics/DefaultTactic.h"
#include "tactics/TacticsFile.h"

#include <gtest/gtest.h>
#include <map>

namespace tryzone
{

namespace
{
class TacticTelemetryTest : public HeadlessWorld
{
};

// Watches every player's state after each frame: the state his next Update starts in, and each change of state.
struct StateWatch : FrameObserver
{
    bool AfterFrame(const RugbyScene& scene, std::int64_t /*frame*/) override
    {
        for (std::size_t slot = 0; slot < scene.players.size(); ++slot)
        {
            const int now = scene.players[slot]->stateGraph.current;
            const std::size_t side = slot < 5 ? 0 : 1;
            if (last[slot] >= 0 && last[slot] != now)
            {
                ++changes[side][{last[slot], now}];
            }
            last[slot] = now;
            ++frames[side][now];
        }
        return true;
    }

    std::array<int, 10> last{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    std::array<std::map<std::pair<int, int>, std::int64_t>, 2> changes;
    std::array<std::map<int, std::int64_t>, 2> frames;
};
} // namespace

// A seeded match, blue in the default tactic and red in another: each side's state time is its players' time, state
// by state, and its links fired exactly as often as its players changed state; the counts survive the parts' form,
// the named form and a sum of two matches.
TEST_F(TacticTelemetryTest, CountsEveryPlayerFrameAndEveryChangeOfState)
{
    const TacticsRead red = ReadTacticsFile(TRYZONE_TACTICS_PATH "/hold-the-line.tactics.json");
    ASSERT_NE(red.tactic, nullptr) << red.error;
    const auto defaults = DefaultPlayers();
    MatchRunner runner;
    StateWatch watch;
    const RugbyScene& scene = runner.Start({defaults.begin(), defaults.end()}, 11, nullptr, {nullptr, red.tactic, nullptr});
    runner.Watch(watch);
    constexpr int kFrames = 4000;
    for (int frame = 0; frame < kFrames; ++frame)
    {
        runner.Step(kMaxFrameTime);
    }
    const std::array<TacticTelemetry, 2> sides = ReadTelemetry(scene);
    const std::array<const CompiledTactic*, 2> tactics{&DefaultTactic(), red.tactic.get()};
    for (std::size_t side = 0; side < 2; ++side)
    {
        const TacticTelemetry& telemetry = sides[side];
        const CompiledTactic& tactic = *tactics[side];
        ASSERT_EQ(telemetry.stateFrames.size(), tactic.states.size());
        std::int64_t whole = 0;
        std::map<std::pair<int, int>, std::int64_t> fired;
        for (std::size_t state = 0; state < tactic.states.size(); ++state)
        {
            whole += telemetry.StateFrames(state);
            for (std::size_t link = 0; link < tactic.states[state].links.size(); ++link)
            {
                const int target = tactic.states[state].links[link].target;
                fired[{static_cast<int>(state), target}] += telemetry.Firings(state, link);
            }
        }
        // Players join the match after its first frame, so each plays one Update fewer than the frames.
        EXPECT_EQ(whole, 5 * (kFrames - 1)) << side;
        for (const auto& [state, frames] : watch.frames[side])
        {
            // The last frame's states start no Update.
            std::int64_t ending = 0;
            for (std::size_t slot = side * 5; slot < side * 5 + 5; ++slot)
            {
                ending += scene.players[slot]->stateGraph.current == state ? 1 : 0;
            }
            EXPECT_EQ(telemetry.StateFrames(static_cast<std::size_t>(state)), frames - ending)
                << side << " " << tactic.StateName(state);
        }
        std::erase_if(fired, [](const auto& entry) { return entry.second == 0; });
        EXPECT_EQ(fired, watch.changes[side]) << side;
        EXPECT_GT(fired.size(), 3u) << side;

        EXPECT_EQ(TelemetryFromJson(TelemetryToJson(telemetry)), telemetry);
        const auto json = TelemetryAsJson(tactic, telemetry);
        EXPECT_EQ(json["player_frames"], whole);
        EXPECT_EQ(json["links"][1], (nlohmann::ordered_json{{"from", tactic.states[0].name},
                                                            {"link", 2},
                                                            {"to", tactic.StateName(tactic.states[0].links[1].target)},
                                                            {"firings", telemetry.Firings(0, 1)}}));
        double shares = 0.0;
        for (const auto& state : json["states"])
        {
            shares += state["share"].get<double>();
        }
        EXPECT_NEAR(shares, 1.0, 1e-5);
        const auto named = TelemetryFromNamed(tactic, json);
        ASSERT_TRUE(named) << named.Reason();
        EXPECT_EQ(*named, telemetry);
        TacticTelemetry twice = telemetry;
        twice += TacticTelemetry{{1}, {{}, {2, 3}}};
        twice += telemetry;
        EXPECT_EQ(twice.StateFrames(0), 2 * telemetry.StateFrames(0) + 1);
        EXPECT_EQ(twice.Firings(1, 1), 2 * telemetry.Firings(1, 1) + 3);
        EXPECT_EQ(twice.Firings(2, 0), 2 * telemetry.Firings(2, 0));
    }
    EXPECT_FALSE(TelemetryFromNamed(*tactics[1], TelemetryAsJson(*tactics[0], sides[0])));
}

} // namespace tryzone
