#pragma once

#include "behaviour/Ball.h"
#include "behaviour/Player.h"
#include "match/Formation.h"
#include "match/RugbyScene.h"
#include "support/HeadlessWorld.h"

#include <cstddef>

namespace tryzone
{

// A match built by hand, without the settings file: the scene's own set-up is skipped and each test places its
// players and ball where it needs them.
class BareMatch : public RugbyScene
{
public:
    void Initialize() override
    {
        formation = KickOffFormation(static_cast<float>(WindowWidth()), static_cast<float>(WindowHeight()));
    }
};

struct TestPlayer
{
    sf::Vector2f centre;
    std::uint8_t lane = 0;
    float luck = 1.f;
    float nearDistance = 75.f;
    float speed = 300.f;
    float passCooldown = 1.f;
    float passTime = 0.5f;
    float radius = 25.f;
};

class MatchWorld : public HeadlessWorld
{
protected:
    void SetUp() override
    {
        HeadlessWorld::SetUp();
        host.LaunchScene<BareMatch>();
        scene = static_cast<RugbyScene*>(host.CurrentScene());
    }

    // Slots 0 to 4 are blue (team 0), 5 to 9 red (team 1), as the match expects.
    Player* AddPlayer(std::size_t slot, const TestPlayer& wanted)
    {
        const std::uint8_t team = slot < 5 ? 0 : 1;
        Player* player = scene->Spawn<Player>(wanted.radius, team == 0 ? sf::Color::Blue : sf::Color::Red);
        scene->players[slot] = player;
        player->Setup(team, static_cast<std::uint8_t>(slot), wanted.lane, wanted.speed, wanted.luck,
                      wanted.nearDistance, wanted.passCooldown, wanted.passTime);
        player->PlaceAt(wanted.centre.x, wanted.centre.y, 0.5f, 0.5f);
        return player;
    }

    // Gives the ball to the player in the slot, both records at once, and creates the ball on him.
    Ball* AddBall(std::size_t carrierSlot)
    {
        scene->ballCarrier = scene->players[carrierSlot];
        Ball* ball = scene->Spawn<Ball>(15.f, sf::Color::Yellow);
        scene->ball = ball;
        const sf::Vector2f centre = scene->ballCarrier->PositionAt(0.5f, 0.5f);
        ball->PlaceAt(centre.x, centre.y, 0.5f, 0.5f);
        return ball;
    }

    // Ten players on the kick-off spots (lanes 0, 0, 1, 2, 2 on each side) and the ball on one of them.
    void BuildKickOff(std::size_t carrierSlot = 5, float luck = 1.f)
    {
        static constexpr std::uint8_t lanes[5] = {0, 0, 1, 2, 2};
        const float width = static_cast<float>(scene->WindowWidth());
        for (std::size_t k = 0; k < 5; ++k)
        {
            AddPlayer(k, {.centre = scene->formation[k], .lane = lanes[k], .luck = luck});
        }
        for (std::size_t k = 0; k < 5; ++k)
        {
            AddPlayer(5 + k, {.centre = MirroredSpot(scene->formation[k], width), .lane = lanes[k], .luck = luck});
        }
        AddBall(carrierSlot);
    }

    // Ten players a hundred pixels apart along one height of the bottom lane, slot 0 at x = 100, so a test can
    // move the few it is about.
    void SpreadAlongTheBottomLane(float y)
    {
        for (std::size_t slot = 0; slot < 10; ++slot)
        {
            AddPlayer(slot, {.centre = {100.f + 100.f * static_cast<float>(slot), y}, .lane = 2});
        }
    }

    [[nodiscard]] Player* Slot(std::size_t slot) const { return scene->players[slot]; }

    RugbyScene* scene = nullptr;
};

} // namespace tryzone
