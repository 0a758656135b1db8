#include "agent/Observation.h"

#include "behaviour/Ball.h"
#include "behaviour/Player.h"
#include "match/RugbyScene.h"
#include "run/MatchRunner.h"

#include <algorithm>

namespace
{
constexpr int kTeamSize = 5;

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

void Observe(const RugbyScene& scene, int slot, std::int64_t frame, std::int64_t framesPerMatch, float* out)
{
    const Player& self = *scene.players[static_cast<std::size_t>(slot)];
    const int team = self.team == 0 ? 0 : 1;
    const float sign = team == 0 ? 1.f : -1.f;
    const sf::Vector2f centre = self.PositionAt(0.5f, 0.5f);
    out[features::kSlot] = static_cast<float>(slot);
    out[features::kTeam] = static_cast<float>(team);
    out[features::kLane] = static_cast<float>(self.lane);
    out[features::kX] = EgoXf(centre.x, team);
    out[features::kY] = centre.y;
    int holder = 0;
    for (int k = 0; k < 2 * kTeamSize; ++k)
    {
        const Player& player = *scene.players[static_cast<std::size_t>(SlotOfEntry(k, team))];
        const sf::Vector2f at = player.PositionAt(0.5f, 0.5f);
        float* entry = out + features::kPlayers + features::kPerPlayer * k;
        entry[0] = EgoXf(at.x, team);
        entry[1] = at.y;
        entry[2] = sign * player.direction.x * player.speed;
        entry[3] = player.direction.y * player.speed;
        holder = &player == scene.ballCarrier ? k : holder;
    }
    const sf::Vector2f ball = scene.ball->PositionAt(0.5f, 0.5f);
    out[features::kBallX] = EgoXf(ball.x, team);
    out[features::kBallY] = ball.y;
    out[features::kHolder] = static_cast<float>(holder);
    out[features::kHolds] = scene.ballCarrier == &self ? 1.f : 0.f;
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
