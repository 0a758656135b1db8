#include "behaviour/Ball.h"

#include "behaviour/Player.h"
#include "core/GameHost.h"
#include "core/Random.h"
#include "match/RugbyScene.h"

#include <ostream>

namespace tryzone
{

namespace
{
// The ball's one console line, on the host's console (standard output unless a frame is being played again).
void SayInvalidPlayer()
{
    if (std::ostream* console = GameHost::Instance().console)
    {
        *console << "joueur non valide" << std::endl;
    }
}

// The receiver stands nearer the try line the passer's team attacks (team 0 attacks towards x = W) by more than the
// tolerance.
bool IsForwardPass(const Player& from, const Player& to, float tolerance)
{
    const float gain = to.PositionAt(0.5f, 0.5f).x - from.PositionAt(0.5f, 0.5f).x;
    return (from.team == 0 ? gain : -gain) > tolerance;
}
} // namespace

Ball::Ball(float radius, const sf::Color& color)
    : Entity(radius, color), holder(CurrentSceneAs<RugbyScene>()->ballCarrier)
{
    tag = 0;
}

void Ball::GiveTo(Player* player)
{
    RugbyScene* scene = CurrentSceneAs<RugbyScene>();
    if (player == nullptr)
    {
        SayInvalidPlayer();
        return;
    }
    holder = player;
    scene->ballCarrier = player;
    player->Boost();
    stealTimer = 0.f;
}

void Ball::PassFrom(Player* from)
{
    // Only the holder can pass the ball on.
    if (from == nullptr || from != holder)
    {
        return;
    }
    Player* receiver = CurrentSceneAs<RugbyScene>()->PickRandomTeammate(*from);
    if (receiver == nullptr)
    {
        SayInvalidPlayer();
        return;
    }
    PassTo(from, receiver);
}

void Ball::PassTo(Player* from, Player* receiver)
{
    if (from == nullptr || from != holder || receiver == nullptr)
    {
        return;
    }
    RugbyScene* scene = CurrentSceneAs<RugbyScene>();
    if (scene->laws->forwardPass && IsForwardPass(*from, *receiver, scene->laws->forwardPassTolerance))
    {
        scene->Notify(&MatchObserver::OnForwardPass, *from, *receiver);
        scene->RestartPlay(from->team == 0);
        return;
    }
    holder = receiver;
    scene->ballCarrier = receiver;
    scene->Notify(&MatchObserver::OnPass, *from, *receiver);
    // A receiver already boosted stays boosted for another full boostDuration.
    receiver->Boost();
    receiver->boostTimer = 0.f;
    // No protection: an opponent already touching the receiver may tackle at the next collision check.
    stealTimer = stealCooldown;
}

void Ball::Tick()
{
    stealTimer += FrameTime();
    if (holder != nullptr)
    {
        const sf::Vector2f centre = holder->PositionAt(0.5f, 0.5f);
        PlaceAt(centre.x, centre.y, 0.5f, 0.5f);
    }
}

void Ball::HandleCollision(Entity* other)
{
    auto* tackler = dynamic_cast<Player*>(other);
    if (tackler == nullptr || tackler == holder || holder == nullptr)
    {
        return;
    }
    if (stealTimer < stealCooldown)
    {
        return;
    }
    // A teammate touching the ball neither takes it nor restarts the protection time.
    if (tackler->team == holder->team)
    {
        return;
    }
    RugbyScene* scene = CurrentSceneAs<RugbyScene>();
    const float threshold = tackler->luckMultiplier * 60.f;
    const bool success = Chance(threshold);
    Player* tackled = holder;
    scene->Notify(&MatchObserver::OnTackleAttempt, *tackler, *tackled, LastChanceRoll(), threshold, success);
    if (success)
    {
        holder = tackler;
        scene->ballCarrier = tackler;
        scene->Notify(&MatchObserver::OnTackle, *tackler, *tackled);
    }
    stealTimer = 0.f;
}

} // namespace tryzone
