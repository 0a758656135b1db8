#include "run/MatchSnapshot.h"

#include "behaviour/Player.h"
#include "match/RugbyScene.h"
#include "run/MatchRecorder.h"
#include "run/MatchRunner.h"
#include "support/Events.h"
#include "support/HeadlessWorld.h"

#include <cstddef>
#include <gtest/gtest.h>
#include <sstream>
#include <type_traits>

namespace tryzone
{

namespace
{
void Play(MatchRunner& runner, std::int64_t frames)
{
    for (std::int64_t i = 0; i < frames; ++i)
    {
        runner.Step(kMaxFrameTime);
    }
}

// Every byte of the aggregate changed, booleans to their other value: every member then differs from the original.
template <class T> T Perturbed(T aggregate)
{
    static_assert(std::is_trivially_copyable_v<T>);
    auto* bytes = reinterpret_cast<unsigned char*>(&aggregate);
    for (std::size_t i = 0; i < sizeof(T); ++i)
    {
        bytes[i] = bytes[i] == 0 ? 1 : bytes[i] == 1 ? 0 : static_cast<unsigned char>(~bytes[i]);
    }
    return aggregate;
}

// Whatever the restore copies, set apart from the snapshot's: a member it leaves out keeps the perturbed value.
void PerturbAgainst(const MatchSnapshot& snapshot, const RugbyScene& scene)
{
    for (std::size_t slot = 0; slot < scene.players.size(); ++slot)
    {
        Player& player = *scene.players[slot];
        const PlayerSnapshot& kept = snapshot.players[slot];
        static_cast<PlayerStatus&>(player) = Perturbed(kept.status);
        static_cast<EntityStatus&>(player) = Perturbed(kept.entity.status);
        player.shape.setPosition(Perturbed(kept.entity.position));
        player.shape.setRadius(Perturbed(kept.entity.radius));
        player.shape.setFillColor(Perturbed(kept.entity.color));
        player.stateGraph.current = kept.state + 1;
        std::size_t place = 0;
        for (const auto& state : player.stateGraph.states)
        {
            for (const auto& action : state->actions)
            {
                action->Recall(Perturbed(kept.actions[place++]), const_cast<RugbyScene&>(scene));
            }
        }
    }
    static_cast<EntityStatus&>(*scene.ball) = Perturbed(snapshot.ball.status);
    static_cast<BallStatus&>(*scene.ball) = Perturbed(snapshot.ballStatus);
    static_cast<RugbySceneStatus&>(const_cast<RugbyScene&>(scene)) = Perturbed(snapshot.scene);
}

class MatchSnapshotTest : public HeadlessWorld, public ::testing::WithParamInterface<int>
{
};
} // namespace

// Restored into a match of another seed and other players, fresh (its entities still queued) or under way, a
// snapshot must carry everything the match goes on from: a field left behind shows within a few tries, or at once
// when it was perturbed before the restore.
TEST_P(MatchSnapshotTest, RestoredIntoAnotherMatchItPlaysOnAsTheMatchItWasTakenFrom)
{
    const auto defaults = DefaultPlayers();
    std::ostringstream before;
    std::ostringstream taken;
    MatchRecorder first(1, &before);
    MatchRunner runner;
    runner.Watch(first);
    const RugbyScene& scene = runner.Start({defaults.begin(), defaults.end()}, 5, &first);
    Play(runner, 2000);
    // Debug mode on, a player picked and steered, a receiver picked and handed the ball, debug mode off again (the
    // match stands still in it): the scene's three player pointers are set and a player runs to the user's target.
    runner.Feed(Key(sf::Keyboard::Numpad5));
    runner.Feed(Click(sf::Mouse::Right, scene.players[3]->PositionAt(0.5f, 0.5f)));
    runner.Feed(Click(sf::Mouse::Left, scene.players[8]->PositionAt(0.5f, 0.5f)));
    runner.Feed(Click(sf::Mouse::Middle, scene.players[2]->PositionAt(0.5f, 0.5f)));
    runner.Feed(Key(sf::Keyboard::E));
    runner.Feed(Key(sf::Keyboard::Numpad5));
    Play(runner, 40);
    const MatchSnapshot snapshot = runner.Capture();
    // The observer's counts are its own to keep: the tries in the event lines come from them.
    const MatchResult counted = first.result;
    first.SetEvents(&taken);
    Play(runner, 20000);
    const MatchSnapshot end = runner.Capture();
    ASSERT_NE(taken.str().find("\"try\""), std::string::npos);
    ASSERT_NE(taken.str().find("\"tackle\""), std::string::npos);

    std::vector<PlayerSettings> others(defaults.begin(), defaults.end());
    for (PlayerSettings& player : others)
    {
        player.Speed = 150.f;
        player.LuckMultiplier = 0.2f;
        player.Radius = 20.f;
    }
    std::ostringstream restored;
    MatchRecorder second(1, nullptr);
    runner.Unwatch(first);
    runner.Watch(second);
    runner.Start(others, 99, &second);
    Play(runner, GetParam());
    PerturbAgainst(snapshot, runner.Scene());
    ASSERT_FALSE(runner.Capture() == snapshot);
    runner.Restore(snapshot);
    second.result = counted;
    EXPECT_TRUE(runner.Capture() == snapshot);
    second.SetEvents(&restored);
    Play(runner, 20000);
    EXPECT_EQ(restored.str(), taken.str());
    EXPECT_TRUE(runner.Capture() == end);
    EXPECT_NE(runner.Scene().selectedReceiver, nullptr);
}

INSTANTIATE_TEST_SUITE_P(FreshOrUnderWay, MatchSnapshotTest, ::testing::Values(0, 700));

} // namespace tryzone
