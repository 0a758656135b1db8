#pragma once

#include "core/Scene.h"

#include <SFML/System/Vector2.hpp>
#include <array>
#include <cstdint>

class Player;
class Ball;

// One match: slots 0 to 4 hold the blue team (flag 0, attacks towards x = W), slots 5 to 9 the red team
// (flag 1, attacks towards x = 0). Possession is recorded twice, here in ballCarrier and in the ball's holder,
// and every change of possession sets both.
class RugbyScene : public Scene
{
public:
    void Initialize() override;
    void HandleEvent(const sf::Event& event) override;
    void Update() override;

    bool debugMode = false;
    std::int32_t blueScore = 0;
    std::int32_t redScore = 0;
    bool tryPending = false;
    std::array<Player*, 10> players{};
    std::array<sf::Vector2f, 5> formation{};
    Ball* ball = nullptr;
    Player* ballCarrier = nullptr;
    Player* selectedPlayer = nullptr;
    Player* selectedReceiver = nullptr;
};
