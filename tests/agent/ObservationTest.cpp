#include "agent/Observation.h"

#include "behaviour/Ball.h"
#include "behaviour/Player.h"
#include "match/RugbyScene.h"
#include "run/MatchRunner.h"
#include "support/HeadlessWorld.h"

#include <array>
#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
// A scene set up by hand: player s stands at (100 + 10 s, 50 + 60 s) running at (s + 1, -(s + 2)) pixels per second,
// the ball with slot 7, blue 2 tries, red 3, the slot's own pass cooldown 4 s of which 1.5 have run.
class ObservationTest : public HeadlessWorld
{
protected:
    void SetUpScene()
    {
        const auto defaults = DefaultPlayers();
        scene = const_cast<RugbyScene*>(&runner.Start({defaults.begin(), defaults.end()}, 1, nullptr));
        Step();
        for (int s = 0; s < kPlayerCount; ++s)
        {
            Player& player = *scene->players[static_cast<std::size_t>(s)];
            player.PlaceAt(100.f + 10.f * static_cast<float>(s), 50.f + 60.f * static_cast<float>(s), 0.5f, 0.5f);
            player.direction = {static_cast<float>(s + 1), -static_cast<float>(s + 2)};
            player.speed = 1.f;
            player.passCooldown = 4.f;
            player.passTimer = 1.5f;
        }
        scene->ball->GiveTo(scene->players[7]);
        scene->ball->PlaceAt(640.f, 300.f, 0.5f, 0.5f);
        scene->blueScore = 2;
        scene->redScore = 3;
    }

    std::array<float, kObservationSize> ObserveSlot(int slot) const
    {
        std::array<float, kObservationSize> out{};
        Observe(*scene, Look(*scene), slot, 600, 1000, out.data());
        return out;
    }

    MatchRunner runner;
    RugbyScene* scene = nullptr;
};
} // namespace

// Every feature of a blue and a red player's observation against the scene: the red one mirrored in x and x speed,
// his teammates (slots 5 to 9) listed first, the ball's holder as his entry, tries his and theirs.
TEST_F(ObservationTest, EveryFeatureOfBothTeamsComesFromTheSceneInTheEgoFrame)
{
    SetUpScene();
    for (const int slot : {2, 6})
    {
        SCOPED_TRACE(slot);
        const bool red = slot >= kTeamSize;
        const auto ego = [red](float x) { return red ? 1280.f - x : x; };
        const auto o = ObserveSlot(slot);
        EXPECT_EQ(o[features::kSlot], static_cast<float>(slot));
        EXPECT_EQ(o[features::kTeam], red ? 1.f : 0.f);
        EXPECT_EQ(o[features::kLane], static_cast<float>(scene->players[static_cast<std::size_t>(slot)]->lane));
        EXPECT_FLOAT_EQ(o[features::kX], ego(100.f + 10.f * static_cast<float>(slot)));
        EXPECT_FLOAT_EQ(o[features::kY], 50.f + 60.f * static_cast<float>(slot));
        for (int k = 0; k < kPlayerCount; ++k)
        {
            const int s = k < kTeamSize ? (red ? kTeamSize + k : k) : (red ? k - kTeamSize : k);
            const float* entry = o.data() + features::kPlayers + features::kPerPlayer * k;
            EXPECT_FLOAT_EQ(entry[0], ego(100.f + 10.f * static_cast<float>(s))) << "entry " << k;
            EXPECT_FLOAT_EQ(entry[1], 50.f + 60.f * static_cast<float>(s)) << "entry " << k;
            EXPECT_FLOAT_EQ(entry[2], (red ? -1.f : 1.f) * static_cast<float>(s + 1)) << "entry " << k;
            EXPECT_FLOAT_EQ(entry[3], -static_cast<float>(s + 2)) << "entry " << k;
        }
        EXPECT_FLOAT_EQ(o[features::kBallX], ego(640.f));
        EXPECT_FLOAT_EQ(o[features::kBallY], 300.f);
        EXPECT_EQ(o[features::kHolder], red ? 2.f : 7.f); // slot 7: a teammate's entry 2 for red, entry 7 for blue
        EXPECT_EQ(o[features::kHolds], 0.f);
        EXPECT_EQ(o[features::kTeamHolds], red ? 1.f : 0.f);
        EXPECT_FLOAT_EQ(o[features::kPassCooldown], 2.5f);
        EXPECT_EQ(o[features::kOwnTries], red ? 3.f : 2.f);
        EXPECT_EQ(o[features::kOpponentTries], red ? 2.f : 3.f);
        EXPECT_FLOAT_EQ(o[features::kElapsed], static_cast<float>(600 * kFrameSeconds));
        EXPECT_FLOAT_EQ(o[features::kLeft], static_cast<float>(400 * kFrameSeconds));
        EXPECT_EQ(o[features::kState],
                  static_cast<float>(scene->players[static_cast<std::size_t>(slot)]->stateGraph.current));
    }
    // The holder sees himself hold it, and a spent cooldown reads 0, not a negative time.
    scene->players[7]->passTimer = 9.f;
    const auto holder = ObserveSlot(7);
    EXPECT_EQ(holder[features::kHolds], 1.f);
    EXPECT_EQ(holder[features::kPassCooldown], 0.f);
}

// Normalised observations keep their sign and saturate at the ends of [-1, 1], the time played included.
TEST(Normalise, ScalesEachFeatureAndSaturatesPastItsScale)
{
    constexpr std::int64_t kFrames = 60 * 60;
    for (const float raw : {1e6f, -1e6f})
    {
        std::array<float, kObservationSize> observation{};
        observation.fill(raw);
        std::array<float, kObservationSize> out{};
        Normalise(observation.data(), kFrames, out.data());
        for (std::size_t i = 0; i < out.size(); ++i)
        {
            EXPECT_GE(out[i], -1.f) << "feature " << i;
            EXPECT_LE(out[i], 1.f) << "feature " << i;
        }
        EXPECT_EQ(out[features::kPlayers + 2], raw > 0 ? 1.f : -1.f);
        EXPECT_EQ(out[features::kOwnTries], raw > 0 ? 1.f : -1.f);
        EXPECT_EQ(out[features::kElapsed], raw > 0 ? 1.f : 0.f);
    }
    std::array<float, kObservationSize> observation{};
    observation[features::kBallX] = kPitchWidth / 2.f;
    observation[features::kOwnTries] = 3.f;
    std::array<float, kObservationSize> out{};
    Normalise(observation.data(), kFrames, out.data());
    EXPECT_FLOAT_EQ(out[features::kBallX], 0.5f);
    EXPECT_FLOAT_EQ(out[features::kOwnTries], 0.3f);
}

} // namespace tryzone
