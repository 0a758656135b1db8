#include "agent/Observation.h"

#include "shape/MatchShape.h"
#include "behaviour/Ball.h"
#include "behaviour/Player.h"
#include "match/RugbyScene.h"
#include "run/MatchRunner.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

namespace tryzone
{

namespace
{
// The slot of entry k in the list as the team sees it: teammates first.
int SlotOfEntry(int k, int team)
{
    return k < kTeamSize ? kTeamSize * team + k : kTeamSize * (1 - team) + k - kTeamSize;
}

float EgoXf(float x, int team)
{
    return team == 0 ? x : static_cast<float>(kPitchWidth) - x;
}
} // namespace

int EgoX(int x, int team)
{
    // Any int an outside brain sends mirrors without overflow; the match takes it to the pitch before use.
    const std::int64_t mirrored = std::int64_t{kPitchWidth} - x;
    return team == 0 ? x
                     : static_cast<int>(std::clamp<std::int64_t>(mirrored, std::numeric_limits<int>::min(),
                                                                 std::numeric_limits<int>::max()));
}

ObservedScene Look(const RugbyScene& scene)
{
    ObservedScene view;
    for (std::size_t slot = 0; slot < view.centres.size(); ++slot)
    {
        const Player& player = *scene.players[slot];
        view.centres[slot] = player.PositionAt(0.5f, 0.5f);
        view.velocities[slot] = player.direction * player.speed;
        view.holder = &player == scene.ballCarrier ? static_cast<int>(slot) : view.holder;
    }
    view.ball = scene.ball->PositionAt(0.5f, 0.5f);
    return view;
}

void Observe(const RugbyScene& scene, const ObservedScene& view, int slot, std::int64_t frame,
             std::int64_t framesPerMatch, float* out)
{
    const Player& self = *scene.players[static_cast<std::size_t>(slot)];
    const int team = SideIndex(SideOfSlot(slot));
    const float sign = team == 0 ? 1.f : -1.f;
    const sf::Vector2f centre = view.centres[static_cast<std::size_t>(slot)];
    out[features::kSlot] = static_cast<float>(slot);
    out[features::kTeam] = static_cast<float>(team);
    out[features::kLane] = static_cast<float>(self.lane);
    out[features::kX] = EgoXf(centre.x, team);
    out[features::kY] = centre.y;
    int holder = 0;
    for (int k = 0; k < kPlayerCount; ++k)
    {
        const auto entrySlot = static_cast<std::size_t>(SlotOfEntry(k, team));
        const sf::Vector2f at = view.centres[entrySlot];
        const sf::Vector2f velocity = view.velocities[entrySlot];
        float* entry = out + features::kPlayers + features::kPerPlayer * k;
        entry[0] = EgoXf(at.x, team);
        entry[1] = at.y;
        entry[2] = sign * velocity.x;
        entry[3] = velocity.y;
        holder = static_cast<int>(entrySlot) == view.holder ? k : holder;
    }
    out[features::kBallX] = EgoXf(view.ball.x, team);
    out[features::kBallY] = view.ball.y;
    out[features::kHolder] = static_cast<float>(holder);
    out[features::kHolds] = view.holder == slot ? 1.f : 0.f;
    out[features::kTeamHolds] = holder < kTeamSize ? 1.f : 0.f;
    out[features::kPassCooldown] = std::max(0.f, self.passCooldown - self.passTimer);
    const auto blue = static_cast<float>(scene.blueScore);
    const auto red = static_cast<float>(scene.redScore);
    out[features::kOwnTries] = team == 0 ? blue : red;
    out[features::kOpponentTries] = team == 0 ? red : blue;
    out[features::kElapsed] = static_cast<float>(static_cast<double>(frame) * kFrameSeconds);
    out[features::kLeft] = static_cast<float>(static_cast<double>(framesPerMatch - frame) * kFrameSeconds);
    out[features::kState] = static_cast<float>(self.stateGraph.current);
}

void Normalise(const float* observation, std::int64_t framesPerMatch, float* out)
{
    static const std::array<float, kObservationSize> scale = []
    {
        std::array<float, kObservationSize> s{};
        s[features::kSlot] = 1.f / 9;
        s[features::kTeam] = 1.f;
        s[features::kLane] = 1.f / 2;
        s[features::kX] = 1.f / kPitchWidth;
        s[features::kY] = 1.f / kPitchHeight;
        for (int k = 0; k < 2 * kTeamSize; ++k)
        {
            float* entry = s.data() + features::kPlayers + features::kPerPlayer * k;
            entry[0] = 1.f / kPitchWidth;
            entry[1] = 1.f / kPitchHeight;
            entry[2] = entry[3] = 1.f / 600;
        }
        s[features::kBallX] = 1.f / kPitchWidth;
        s[features::kBallY] = 1.f / kPitchHeight;
        s[features::kHolder] = 1.f / 9;
        s[features::kHolds] = s[features::kTeamHolds] = 1.f;
        s[features::kPassCooldown] = 1.f / 5;
        s[features::kOwnTries] = s[features::kOpponentTries] = 1.f / 10;
        s[features::kState] = 1.f / 4;
        return s;
    }();
    for (std::size_t i = 0; i < scale.size(); ++i)
    {
        out[i] = std::clamp(observation[i] * scale[i], -1.f, 1.f);
    }
    const auto match = static_cast<float>(static_cast<double>(framesPerMatch) * kFrameSeconds);
    out[features::kElapsed] = std::clamp(observation[features::kElapsed] / match, 0.f, 1.f);
    out[features::kLeft] = std::clamp(observation[features::kLeft] / match, 0.f, 1.f);
}

} // namespace tryzone
