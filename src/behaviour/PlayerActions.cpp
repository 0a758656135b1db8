#include "behaviour/PlayerActions.h"

#include "behaviour/Ball.h"
#include "behaviour/Player.h"
#include "core/Geometry.h"
#include "core/Random.h"
#include "match/RugbyScene.h"

namespace tryzone
{

namespace
{
// Every state but Pass starts the same way: find the match and stand still.
RugbyScene* StartStanding(Player* owner)
{
    owner->Halt();
    return Entity::CurrentSceneAs<RugbyScene>();
}

// The teammate (by slot range, as the scene's queries) nearest to the opponents' goal line; ties go to the lower slot.
Player* MostAdvancedTeammate(const RugbyScene& scene, const Player& from)
{
    if (from.team > 1)
    {
        return nullptr;
    }
    const auto progress = [&from](const Player& player)
    {
        const float x = player.PositionAt(0.5f, 0.5f).x;
        return from.team == 0 ? x : -x;
    };
    const std::size_t base = from.team == 0 ? 0 : 5;
    Player* best = nullptr;
    for (std::size_t slot = base; slot < base + 5; ++slot)
    {
        Player* candidate = scene.players[slot];
        if (candidate != &from && (best == nullptr || progress(*candidate) > progress(*best)))
        {
            best = candidate;
        }
    }
    return best;
}
} // namespace

void PlayerActionIdle::Start(Player* owner)
{
    scene = StartStanding(owner);
}

void PlayerActionSupport::Start(Player* owner)
{
    scene = StartStanding(owner);
    toLaneEdge = lanePosition == LanePosition::Random ? Chance(50.f) : lanePosition == LanePosition::Edge;
}

void PlayerActionSupport::Update(Player* owner)
{
    const Player* carrier = scene->ballCarrier;
    const sf::Vector2f carrierCentre = carrier->PositionAt(0.5f, 0.5f);
    const float radius = behind * carrier->Shape().getRadius();
    int x = 0;
    if (carrier->team == 0)
    {
        x = TruncToInt(carrierCentre.x - radius);
    }
    else if (carrier->team == 1)
    {
        x = TruncToInt(carrierCentre.x + radius);
    }
    else
    {
        return;
    }
    const float height = static_cast<float>(scene->WindowHeight());
    const int y = toLaneEdge ? TruncToInt(static_cast<float>(owner->lane) * (height / 3.f))
                             : TruncToInt(scene->GetLaneCentre(owner->lane).y);
    owner->MoveTowards(x, y, owner->runSpeed);
}

void PlayerActionDefend::Start(Player* owner)
{
    scene = StartStanding(owner);
}

void PlayerActionDefend::Update(Player* owner)
{
    const Player* carrier = scene->ballCarrier;
    const sf::Vector2f carrierCentre = carrier->PositionAt(0.5f, 0.5f);
    int x = TruncToInt(carrierCentre.x);
    const int y = TruncToInt(carrierCentre.y);
    if (carrier->lane != owner->lane && evasion != Evasion::None)
    {
        // With no opponent to measure against (a team flag that names no side) the defender just chases.
        if (const Player* opponent = scene->FindNearestPlayer(*owner, false))
        {
            const sf::Vector2f mine = owner->PositionAt(0.5f, 0.5f);
            const sf::Vector2f theirs = opponent->PositionAt(0.5f, 0.5f);
            if (owner->enemyIsTooNearDistance >= Distance(mine.x, mine.y, theirs.x, theirs.y))
            {
                const bool signTurned = evasion == Evasion::Player ? owner->defendVariant : evasion == Evasion::Sign;
                x = signTurned ? TruncToInt(mine.x - (mine.x + theirs.x))
                               : TruncToInt(mine.x - 2.f * (mine.x - theirs.x));
            }
        }
    }
    owner->MoveTowards(x, y, owner->runSpeed);
}

void PlayerActionAttack::Start(Player* owner)
{
    scene = StartStanding(owner);
}

void PlayerActionAttack::Update(Player* owner)
{
    const float speed = owner->runSpeed * (speedFactor < 0.f ? owner->attackSpeedFactor : speedFactor);
    const int y = TruncToInt(owner->PositionAt(0.5f, 0.5f).y);
    if (owner->team == 0)
    {
        owner->MoveTowards(scene->WindowWidth(), y, speed);
    }
    else if (owner->team == 1)
    {
        owner->MoveTowards(0, y, speed);
    }
}

void PlayerActionPass::Start(Player* /*owner*/)
{
    // No halt: the carrier keeps running towards the target Attack gave him.
    scene = Entity::CurrentSceneAs<RugbyScene>();
    ball = scene->ball;
}

void PlayerActionPass::Update(Player* owner)
{
    PassWhenReady(*owner, receiver);
}

void PassWhenReady(Player& passer, Receiver choice, Player* chosen)
{
    RugbyScene& scene = *passer.scene;
    // A tackle or a try can take the ball between two of his updates; his links then take him out of Pass.
    if (&passer != scene.ballCarrier)
    {
        return;
    }
    if (passer.passTimer >= passer.passCooldown && passer.passWaitTimer >= passer.passTime)
    {
        const float threshold = passer.luckMultiplier * 85.f;
        const bool success = Chance(threshold);
        scene.Notify(&MatchObserver::OnPassAttempt, passer, LastChanceRoll(), threshold, success);
        if (success)
        {
            if (chosen == nullptr && choice == Receiver::Random)
            {
                scene.ball->PassFrom(&passer);
            }
            else
            {
                scene.ball->PassTo(&passer, chosen != nullptr             ? chosen
                                            : choice == Receiver::Nearest ? scene.FindNearestPlayer(passer, true)
                                                                          : MostAdvancedTeammate(scene, passer));
            }
        }
        passer.passTimer = 0.f;
        passer.passWaitTimer = 0.f;
    }
    else
    {
        // Not reset on entering Pass: time waited in an earlier episode counts towards this one.
        passer.passWaitTimer += passer.FrameTime();
    }
}

void PlayerActionHold::Start(Player* owner)
{
    scene = StartStanding(owner);
}

void PlayerActionHold::Update(Player* owner)
{
    const float width = static_cast<float>(scene->WindowWidth());
    const float fromOwnLine = depth * width;
    const int x = TruncToInt(owner->team == 0 ? fromOwnLine : width - fromOwnLine);
    owner->MoveTowards(x, TruncToInt(scene->GetLaneCentre(owner->lane).y), owner->runSpeed);
}

void PlayerActionSupport::Recall(const ActionMemory& memory, RugbyScene& match)
{
    PlayerAction::Recall(memory, match);
    toLaneEdge = memory.toLaneEdge;
}

void PlayerActionPass::Recall(const ActionMemory& memory, RugbyScene& match)
{
    PlayerAction::Recall(memory, match);
    ball = memory.started ? match.ball : nullptr;
}

} // namespace tryzone
