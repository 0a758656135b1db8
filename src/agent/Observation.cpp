#include "agent/Observation.h"

#include "shape/MatchShape.h"
#include "behaviour/Ball.h"
#include "behaviour/Player.h"
#include "match/RugbyScene.h"
#include "run/MatchRunner.h"

#include <algorithm>

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
    return team == 0 ? x : kPitchWidth - x;
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

} // namespace tryzone
