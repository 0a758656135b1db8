#include "behaviour/StateGraph.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tryzone
{

namespace
{
struct Owner
{
    std::vector<std::string> log;
};

struct LoggedAction : Action<Owner>
{
    void Start(Owner* owner) override { owner->log.push_back(name + " start"); }
    void Update(Owner* owner) override { owner->log.push_back(name + " update"); }
    void End(Owner* owner) override { owner->log.push_back(name + " end"); }
    std::string name;
};

struct LoggedCondition : Condition<Owner>
{
    bool Test(Owner* owner) override
    {
        owner->log.push_back("test " + name);
        return result;
    }
    std::string name;
    bool result = true;
};

class StateGraphTest : public ::testing::Test
{
protected:
    // Three states named a, b and c, each with one logged action.
    void SetUp() override
    {
        for (int index = 0; index < 3; ++index)
        {
            node[index] = graph.CreateState(index);
            node[index]->AddAction<LoggedAction>()->name = std::string(1, static_cast<char>('a' + index));
        }
    }

    LoggedCondition* AddCondition(StateLink<Owner>* link, const std::string& name, bool result)
    {
        auto* condition = link->AddCondition<LoggedCondition>();
        condition->name = name;
        condition->result = result;
        return condition;
    }

    void Start(int state)
    {
        graph.SetState(state);
        owner.log.clear();
    }

    Owner owner;
    StateGraph<Owner> graph{&owner, 3};
    StateNode<Owner>* node[3] = {};
};

using Log = std::vector<std::string>;
} // namespace

TEST_F(StateGraphTest, DoesNothingBeforeTheFirstSetState)
{
    EXPECT_EQ(graph.current, -1);
    graph.Update();
    EXPECT_TRUE(owner.log.empty());
}

TEST_F(StateGraphTest, NodesShareTheGraphsOwnerAndConditionsStartExpectingTrue)
{
    EXPECT_EQ(node[1]->owner, &owner);
    EXPECT_TRUE(node[0]->AddLink(1)->AddCondition<LoggedCondition>()->expected);
}

TEST_F(StateGraphTest, FirstMatchingLinkWinsAndLaterOnesAreNotTested)
{
    AddCondition(node[0]->AddLink(1), "first", false);
    AddCondition(node[0]->AddLink(2), "second", true);
    AddCondition(node[0]->AddLink(1), "third", true);
    Start(0);
    graph.Update();
    EXPECT_EQ(owner.log, (Log{"a update", "test first", "test second", "a end", "c start"}));
    EXPECT_EQ(graph.current, 2);
}

TEST_F(StateGraphTest, ALinkIsAbandonedAtItsFirstMismatch)
{
    StateLink<Owner>* link = node[0]->AddLink(1);
    AddCondition(link, "holds", true);
    AddCondition(link, "fails", false);
    AddCondition(link, "never asked", true);
    Start(0);
    graph.Update();
    EXPECT_EQ(owner.log, (Log{"a update", "test holds", "test fails"}));
    EXPECT_EQ(graph.current, 0);
}

TEST_F(StateGraphTest, ExpectedFalseMatchesExactlyWhenTheTestFails)
{
    AddCondition(node[0]->AddLink(1), "true but negated", true)->expected = false;
    AddCondition(node[0]->AddLink(2), "false but negated", false)->expected = false;
    Start(0);
    graph.Update();
    EXPECT_EQ(graph.current, 2);
}

TEST_F(StateGraphTest, ALinkWithoutConditionsIsAlwaysTaken)
{
    node[0]->AddLink(2);
    AddCondition(node[0]->AddLink(1), "unreached", true);
    Start(0);
    graph.Update();
    EXPECT_EQ(graph.current, 2);
    EXPECT_EQ(owner.log, (Log{"a update", "a end", "c start"}));
}

TEST_F(StateGraphTest, AMatchedLinkToMinusOneKeepsTheStateAndEndsTheWalk)
{
    AddCondition(node[0]->AddLink(-1), "stay", true);
    AddCondition(node[0]->AddLink(1), "unreached", true);
    Start(0);
    graph.Update();
    EXPECT_EQ(graph.current, 0);
    EXPECT_EQ(owner.log, (Log{"a update", "test stay"}));
}

TEST_F(StateGraphTest, TakingALinkToTheCurrentStateRestartsIt)
{
    node[1]->AddLink(1);
    Start(1);
    graph.Update();
    EXPECT_EQ(owner.log, (Log{"b update", "b end", "b start"}));
    owner.log.clear();
    graph.SetState(1);
    EXPECT_EQ(owner.log, (Log{"b end", "b start"}));
}

TEST_F(StateGraphTest, TheNewStateIsStartedButNotUpdatedInTheFrameOfTheTransition)
{
    node[0]->AddLink(1);
    Start(0);
    graph.Update();
    EXPECT_EQ(owner.log, (Log{"a update", "a end", "b start"}));
    owner.log.clear();
    graph.Update();
    EXPECT_EQ(owner.log, (Log{"b update"}));
}

TEST_F(StateGraphTest, ActionsRunInInsertionOrderBeforeTheLinksAreTested)
{
    node[0]->AddAction<LoggedAction>()->name = "a2";
    AddCondition(node[0]->AddLink(1), "link", true);
    graph.SetState(0);
    EXPECT_EQ(owner.log, (Log{"a start", "a2 start"}));
    owner.log.clear();
    graph.Update();
    EXPECT_EQ(owner.log, (Log{"a update", "a2 update", "test link", "a end", "a2 end", "b start"}));
}

} // namespace tryzone
