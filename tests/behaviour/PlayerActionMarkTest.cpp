#include "behaviour/PlayerActionMark.h"

#include "behaviour/PlayerWiring.h"
#include "support/TestMatch.h"
#include "tactics/TacticCatalogue.h"

#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
// Blue 0 to 4 at x 100 to 500, red 5 to 9 at x 600 to 1000, all in the bottom lane; the ball with red 5.
class MarkTest : public MatchWorld
{
protected:
    void SetUp() override
    {
        MatchWorld::SetUp();
        SpreadAlongTheBottomLane(650.f);
        AddBall(5);
    }

    // The marker's graph: one state that marks, started at once as a tactic's start state is.
    void Mark(std::size_t slot, const std::string& opponent, double gap = 30.0, double bySlot = 0.0)
    {
        TacticStep step = DefaultStep("Mark");
        step.parameters[0].value = opponent;
        step.parameters[1].value = bySlot;
        step.parameters[2].value = gap;
        tactics.push_back(std::make_unique<CompiledTactic>(CompileTactic({"", "M", {{"M", step, {}}}})));
        Wire(Slot(slot)->stateGraph, *tactics.back());
    }

    [[nodiscard]] int Marked(std::size_t slot) const
    {
        const auto& graph = Slot(slot)->stateGraph;
        return graph.states[static_cast<std::size_t>(graph.current)]->actions.front()->Remember().marked;
    }

    sf::Vector2i Follow(std::size_t slot)
    {
        Slot(slot)->stateGraph.Update();
        return Slot(slot)->target.position;
    }

    std::vector<std::unique_ptr<CompiledTactic>> tactics;
};
} // namespace

TEST_F(MarkTest, FollowsTheChosenOpponentOnItsOwnGoalSide)
{
    // By lane: red 7 alone shares blue 0's top lane; blue stays 40 pixels on the side of x = 0.
    Slot(0)->lane = 0;
    Slot(7)->lane = 0;
    Slot(7)->PlaceAt(800.f, 100.f, 0.5f, 0.5f);
    Mark(0, "lane", 40.0);
    EXPECT_EQ(Marked(0), 7);
    EXPECT_EQ(Follow(0), sf::Vector2i(760, 100));
    // He keeps following the same man when another comes nearer.
    Slot(8)->lane = 0;
    Slot(8)->PlaceAt(150.f, 100.f, 0.5f, 0.5f);
    Slot(7)->PlaceAt(900.f, 120.f, 0.5f, 0.5f);
    EXPECT_EQ(Follow(0), sf::Vector2i(860, 120));

    // By slot, for red: slot 2 of blue is blue 2, and red's goal side is towards x = 1280.
    Mark(9, "slot", 25.0, 2.0);
    EXPECT_EQ(Marked(9), 2);
    EXPECT_EQ(Follow(9), sf::Vector2i(325, 650));
}

TEST_F(MarkTest, NearestUnmarkedSkipsTheOpponentsTeammatesAlreadyMark)
{
    // Blue 4 (x 500) is nearest to red 5 (x 600), then red 6; blue 3 then finds red 5 taken and takes red 6.
    Mark(4, "nearest");
    EXPECT_EQ(Marked(4), 5);
    Mark(3, "nearest");
    EXPECT_EQ(Marked(3), 6);
    Mark(2, "nearest");
    EXPECT_EQ(Marked(2), 7);
    Mark(0, "nearest");
    Mark(1, "nearest");
    EXPECT_EQ(Marked(1), 9);
    // Blue 4 marks again from beside red 9: the one opponent no teammate marks is red 5, far as he is.
    Slot(4)->PlaceAt(1200.f, 650.f, 0.5f, 0.5f);
    Mark(4, "nearest");
    EXPECT_EQ(Marked(4), 5);
    // A marker with no opponent in his lane follows the nearest one.
    Slot(1)->lane = 1;
    Mark(1, "lane");
    EXPECT_EQ(Marked(1), 5);

    // A marker's memory comes back with a snapshot's: the same opponent after a restore.
    const ActionMemory kept = Slot(3)->stateGraph.states[0]->actions.front()->Remember();
    PlayerActionMark fresh(MarkStep{});
    fresh.Recall(kept, *scene);
    EXPECT_EQ(fresh.Marked(), 6);
}

} // namespace tryzone
