#include "behaviour/Ball.h"
#include "behaviour/Player.h"
#include "match/RugbyScene.h"
#include "shape/MatchShape.h"

#include <SFML/Window/Event.hpp>

namespace tryzone
{

namespace
{
bool IsButton(const sf::Event& event, sf::Mouse::Button button)
{
    // Press and release both act: a button pressed over one player and released over another picks the second.
    return (event.type == sf::Event::MouseButtonPressed || event.type == sf::Event::MouseButtonReleased) &&
           event.mouseButton.button == button;
}

// Every press counts, key repeat included.
bool IsKey(const sf::Event& event, sf::Keyboard::Key key)
{
    return event.type == sf::Event::KeyPressed && event.key.code == key;
}
} // namespace

void RugbyScene::HandleEvent(const sf::Event& event)
{
    if (debugMode)
    {
        if (IsButton(event, sf::Mouse::Right))
        {
            if (Player* hit = PickAt(event.mouseButton.x, event.mouseButton.y))
            {
                selectedPlayer = hit;
            }
        }
        else if (IsButton(event, sf::Mouse::Left))
        {
            if (selectedPlayer != nullptr)
            {
                // Keeps the player's current pace, a running boost included.
                selectedPlayer->MoveTowards(event.mouseButton.x, event.mouseButton.y, selectedPlayer->runSpeed);
            }
        }
        else if (IsButton(event, sf::Mouse::Middle))
        {
            if (Player* hit = PickAt(event.mouseButton.x, event.mouseButton.y))
            {
                selectedReceiver = hit;
            }
        }
        else if (IsKey(event, sf::Keyboard::E))
        {
            // Without a receiver GiveTo refuses, and the holder stays open to a tackle at once.
            ball->stealTimer = ball->stealCooldown;
            Player* const from = ballCarrier;
            ball->GiveTo(selectedReceiver);
            if (selectedReceiver != nullptr && from != nullptr)
            {
                Notify(&MatchObserver::OnHand, *from, *selectedReceiver);
            }
            selectedPlayer = selectedReceiver;
        }
    }
    // After the debug bindings: the press that switches the mode on acts on nothing else.
    if (IsKey(event, sf::Keyboard::Numpad5))
    {
        debugMode = !debugMode;
    }
}

Player* RugbyScene::PickAt(int x, int y) const
{
    const float px = static_cast<float>(x);
    const float py = static_cast<float>(y);
    for (std::size_t i = 0; i < kTeamSlots; ++i)
    {
        for (Player* player : {players[kTeamSlots + i], players[i]})
        {
            if (player->Contains(px, py))
            {
                return player;
            }
        }
    }
    return nullptr;
}

} // namespace tryzone
