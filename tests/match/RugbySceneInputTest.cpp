#include "support/Events.h"
#include "support/TestMatch.h"

#include <SFML/Window/Event.hpp>
#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
class InputTest : public MatchWorld
{
protected:
    void SetUp() override
    {
        MatchWorld::SetUp();
        BuildKickOff(7);
    }

    void Send(const sf::Event& event) { scene->HandleEvent(event); }

    sf::Vector2f Centre(std::size_t slot) const { return Slot(slot)->PositionAt(0.5f, 0.5f); }
};
} // namespace

TEST_F(InputTest, Numpad5TogglesOnEveryPressAndTheSwitchingPressDoesNothingElse)
{
    Send(Key(sf::Keyboard::Numpad5));
    EXPECT_TRUE(scene->debugMode);
    Send(Key(sf::Keyboard::Numpad5, sf::Event::KeyReleased));
    EXPECT_TRUE(scene->debugMode);
    Send(Key(sf::Keyboard::Numpad5)); // a key repeat is a press like any other
    EXPECT_FALSE(scene->debugMode);
}

TEST_F(InputTest, OutsideDebugModeClicksAndEDoNothing)
{
    Send(Click(sf::Mouse::Right, Centre(1)));
    Send(Click(sf::Mouse::Middle, Centre(2)));
    Send(Key(sf::Keyboard::E));
    EXPECT_EQ(scene->selectedPlayer, nullptr);
    EXPECT_EQ(scene->selectedReceiver, nullptr);
    EXPECT_EQ(scene->ballCarrier, Slot(7));
}

TEST_F(InputTest, PicksFollowTheSlotOrderAndKeepTheSelectionOnEmptyGround)
{
    scene->debugMode = true;
    Slot(1)->PlaceAt(600.f, 200.f, 0.5f, 0.5f);
    Slot(7)->PlaceAt(610.f, 200.f, 0.5f, 0.5f);
    Send(Click(sf::Mouse::Right, {605.f, 200.f})); // both are hit: slot 1 is tested before slot 7
    EXPECT_EQ(scene->selectedPlayer, Slot(1));
    Send(Click(sf::Mouse::Right, {640.f, 500.f}));
    EXPECT_EQ(scene->selectedPlayer, Slot(1));
    Send(Click(sf::Mouse::Right, {635.f, 200.f})); // exactly on slot 7's outline: not a hit
    EXPECT_EQ(scene->selectedPlayer, Slot(1));

    // Pressed over one player, released over another: both events pick.
    Send(Button(sf::Event::MouseButtonPressed, sf::Mouse::Middle, 192, 72));
    EXPECT_EQ(scene->selectedReceiver, Slot(0));
    Send(Button(sf::Event::MouseButtonReleased, sf::Mouse::Middle, 448, 360));
    EXPECT_EQ(scene->selectedReceiver, Slot(2));
}

TEST_F(InputTest, TheLeftButtonSteersTheSelectedPlayerAtHisPace)
{
    scene->debugMode = true;
    Send(Click(sf::Mouse::Left, {700.f, 300.f})); // nobody selected: nothing happens
    Send(Click(sf::Mouse::Right, Centre(2)));
    Slot(2)->runSpeed = 390.f;
    Send(Click(sf::Mouse::Left, {700.f, 300.f}));
    EXPECT_TRUE(Slot(2)->target.active);
    EXPECT_EQ(Slot(2)->target.position, sf::Vector2i(700, 300));
    EXPECT_EQ(Slot(2)->speed, 390.f);
}

TEST_F(InputTest, EHandsTheBallToTheReceiverWhoBecomesTheSelection)
{
    scene->debugMode = true;
    Send(Click(sf::Mouse::Middle, Centre(3)));
    Send(Key(sf::Keyboard::E));
    EXPECT_EQ(scene->ballCarrier, Slot(3));
    EXPECT_EQ(scene->ball->holder, Slot(3));
    EXPECT_EQ(scene->ball->stealTimer, 0.f);
    EXPECT_EQ(scene->selectedPlayer, Slot(3));
    Step(2);
    EXPECT_EQ(scene->ball->PositionAt(0.5f, 0.5f), Centre(3));
}

TEST_F(InputTest, EWithoutAReceiverSaysSoAndClearsTheSelection)
{
    scene->debugMode = true;
    Send(Click(sf::Mouse::Right, Centre(2)));
    scene->ball->stealTimer = 0.3f;
    testing::internal::CaptureStdout();
    Send(Key(sf::Keyboard::E));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "joueur non valide\n");
    EXPECT_EQ(scene->selectedPlayer, nullptr);
    EXPECT_EQ(scene->ballCarrier, Slot(7));
    EXPECT_EQ(scene->ball->stealTimer, scene->ball->stealCooldown); // the holder can be tackled at once
}

TEST_F(InputTest, OtherEventsChangeNothing)
{
    scene->debugMode = true;
    sf::Event moved{};
    moved.type = sf::Event::MouseMoved;
    moved.mouseMove = {static_cast<int>(Centre(1).x), static_cast<int>(Centre(1).y)};
    Send(moved);
    Send(Key(sf::Keyboard::A));
    Send(Key(sf::Keyboard::E, sf::Event::KeyReleased));
    Send(Click(sf::Mouse::XButton1, Centre(1)));
    sf::Event closed{};
    closed.type = sf::Event::Closed;
    Send(closed);
    EXPECT_TRUE(scene->debugMode);
    EXPECT_EQ(scene->selectedPlayer, nullptr);
    EXPECT_EQ(scene->selectedReceiver, nullptr);
    EXPECT_EQ(scene->ballCarrier, Slot(7));
}

} // namespace tryzone
