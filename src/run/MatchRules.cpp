#include "run/MatchRules.h"

#include "behaviour/Ball.h"
#include "behaviour/Player.h"
#include "core/Entity.h"
#include "match/Formation.h"
#include "match/RugbyScene.h"

#include <cmath>

namespace tryzone
{

namespace
{
// Centres are recomputed from the shape's corner, so a placed centre may come back a rounding step away.
constexpr float kTolerance = 1e-3f;

std::array<std::int64_t, 2> Scores(const RugbyScene& scene)
{
    return {scene.blueScore, scene.redScore};
}

bool Finite(sf::Vector2f v)
{
    return std::isfinite(v.x) && std::isfinite(v.y);
}

bool EntityIsFinite(const Entity& entity)
{
    return Finite(entity.shape.getPosition()) && Finite(entity.direction) && std::isfinite(entity.speed) &&
           std::isfinite(entity.target.distance);
}

bool Near(sf::Vector2f a, sf::Vector2f b)
{
    return std::fabs(a.x - b.x) <= kTolerance && std::fabs(a.y - b.y) <= kTolerance;
}

std::string Name(const Player& player)
{
    return std::string(player.team == 0 ? "blue" : "red") + " player " + std::to_string(player.number);
}
} // namespace

MatchRules::MatchRules(const RugbyScene& match)
    : scene(match),
      formation(KickOffFormation(static_cast<float>(match.WindowWidth()), static_cast<float>(match.WindowHeight()))),
      width(static_cast<float>(match.WindowWidth())), laneHeight(static_cast<float>(match.WindowHeight()) / 3.f),
      scoresBefore(Scores(match))
{
}

void MatchRules::AfterSceneUpdate()
{
    CheckPossession();
    carrier = scene.ballCarrier;
    const std::array<std::int64_t, 2> scores = Scores(scene);
    if (scores[0] + scores[1] <= scoresBefore[0] + scoresBefore[1])
    {
        return;
    }
    // A try was scored in this update, and the kick-off formation set up at once.
    for (std::size_t k = 0; k < formation.size(); ++k)
    {
        if (!Near(scene.players[k]->PositionAt(0.5f, 0.5f), formation[k]) ||
            !Near(scene.players[5 + k]->PositionAt(0.5f, 0.5f), MirroredSpot(formation[k], width)))
        {
            Break("after a try, a player of pair " + std::to_string(k) + " is not on his kick-off spot");
            return;
        }
    }
}

void MatchRules::AfterEntityUpdate(const Entity& entity)
{
    if (!EntityIsFinite(entity))
    {
        Break("an entity's position, direction, speed or travel is not finite");
    }
    else if (const auto* player = dynamic_cast<const Player*>(&entity))
    {
        CheckPlayer(*player);
        CheckLaws(*player);
    }
    else if (const auto* ball = dynamic_cast<const Ball*>(&entity))
    {
        CheckBall(*ball);
    }
}

void MatchRules::CheckPlayer(const Player& player)
{
    if (!std::isfinite(player.passTimer) || !std::isfinite(player.passWaitTimer) || !std::isfinite(player.boostTimer) ||
        !std::isfinite(player.runSpeed))
    {
        Break(Name(player) + " has a timer or speed that is not finite");
        return;
    }
    // The bounds come from the lane itself, not from the player's copy of them, which a fault could have changed.
    const float top = static_cast<float>(player.lane) * laneHeight;
    const float bottom = static_cast<float>(player.lane + 1) * laneHeight;
    const float step = player.speed * Entity::FrameTime() + kTolerance;
    const float y = player.PositionAt(0.5f, 0.5f).y;
    if (y < top - step || y > bottom + step)
    {
        Break(Name(player) + " is outside his lane (y = " + std::to_string(y) + ")");
    }
}

void MatchRules::CheckBall(const Ball& ball)
{
    if (!std::isfinite(ball.stealTimer))
    {
        Break("the ball's protection timer is not finite");
    }
    else if (ball.holder == nullptr || !Near(ball.PositionAt(0.5f, 0.5f), ball.holder->PositionAt(0.5f, 0.5f)))
    {
        Break("the ball is not on its holder");
    }
}

void MatchRules::CheckLaws(const Player& player)
{
    const Laws& laws = *scene.laws;
    const float x = player.PositionAt(0.5f, 0.5f).x;
    if (laws.deadBallLines && (x < -kTolerance || x > width + kTolerance))
    {
        Break(Name(player) + " is beyond a dead-ball line (x = " + std::to_string(x) + ")");
    }
    // Possession passing to a teammate during a player's update is a pass (a kick-off after a try or a restart
    // always gives the ball to the other side).
    const Player* now = scene.ballCarrier;
    if (laws.forwardPass && carrier != nullptr && now != carrier && now->team == carrier->team)
    {
        const float gain = now->PositionAt(0.5f, 0.5f).x - carrier->PositionAt(0.5f, 0.5f).x;
        const float steps = (carrier->speed + now->speed) * Entity::FrameTime();
        if ((carrier->team == 0 ? gain : -gain) > laws.forwardPassTolerance + steps + kTolerance)
        {
            Break(Name(*carrier) + " completed a forward pass to " + Name(*now) + " (" +
                  std::to_string(std::fabs(gain)) + " pixels forward)");
        }
    }
    carrier = now;
}

void MatchRules::CheckPossession()
{
    if (scene.ball == nullptr || scene.ballCarrier != scene.ball->holder)
    {
        Break("the ball carrier is not the ball's holder");
    }
}

bool MatchRules::AfterFrame(const RugbyScene& /*scene*/, std::int64_t played)
{
    CheckPossession();
    const std::array<std::int64_t, 2> scores = Scores(scene);
    if (scores[0] < scoresBefore[0] || scores[1] < scoresBefore[1])
    {
        Break("a score fell");
    }
    else if (scores[0] + scores[1] > scoresBefore[0] + scoresBefore[1] + 1)
    {
        Break("the scores rose by more than one in a frame");
    }
    scoresBefore = scores;
    frame = played + 1;
    return !breach;
}

void MatchRules::Break(const std::string& rule)
{
    if (!breach)
    {
        breach = RuleBreach{frame, rule};
    }
}

} // namespace tryzone
