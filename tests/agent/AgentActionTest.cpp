#include "agent/AgentAction.h"

#include "agent/AgentMatch.h"
#include "agent/Observation.h"
#include "run/Recording.h"
#include "support/Files.h"

#include <array>
#include <climits>
#include <fstream>
#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
struct ActionCase
{
    AgentAction action;
    const char* error; // the start of the reason; empty: playable
};

class ActionCheck : public testing::TestWithParam<ActionCase>
{
};
} // namespace

// Every code and every pass target at and past its ends; a move's point is any int, taken to the pitch later.
TEST_P(ActionCheck, PlayableActionsPassAndOthersSayWhy)
{
    const auto checked = CheckAction(GetParam().action);
    if (*GetParam().error == '\0')
    {
        EXPECT_TRUE(checked) << checked.Reason();
    }
    else
    {
        ASSERT_FALSE(checked);
        EXPECT_EQ(checked.Reason().rfind(GetParam().error, 0), 0u) << checked.Reason();
    }
}

INSTANTIATE_TEST_SUITE_P(AgentAction, ActionCheck,
                         testing::Values(ActionCase{{kBuiltin, 77, 77}, ""}, ActionCase{{kHold, -5, 0}, ""},
                                         ActionCase{{kMove, INT_MIN, INT_MAX}, ""}, ActionCase{{kPass, -1, 0}, ""},
                                         ActionCase{{kPass, 0, 0}, ""}, ActionCase{{kPass, 9, 0}, ""},
                                         ActionCase{{kPass, 10, 0}, "pass to slot 10, out of range"},
                                         ActionCase{{kPass, -2, 0}, "pass to slot -2, out of range"},
                                         ActionCase{{-1, 0, 0}, "unknown action code -1"},
                                         ActionCase{{4, 0, 0}, "unknown action code 4"}));

// The move's point leaves the ego frame: mirrored for red, kept for blue, at any int without overflow; a pass names
// a slot, which no side mirrors.
TEST(AgentAction, OrdersLeaveTheEgoFrameForTheirTeam)
{
    EXPECT_EQ(OrderFor({kMove, 100, 200}, 0), (PlayerOrder{OrderKind::Move, 100, 200}));
    EXPECT_EQ(OrderFor({kMove, 100, 200}, 1), (PlayerOrder{OrderKind::Move, 1180, 200}));
    EXPECT_EQ(OrderFor({kMove, INT_MIN, 0}, 1).x, INT_MAX);
    EXPECT_EQ(OrderFor({kMove, INT_MAX, 0}, 1).x, 1280 - INT_MAX);
    EXPECT_EQ(OrderFor({kPass, 7, 300}, 1), (PlayerOrder{OrderKind::Pass, 7, 0}));
    EXPECT_EQ(OrderFor({kHold, 40, 50}, 1), (PlayerOrder{OrderKind::Hold, 0, 0}));
    EXPECT_EQ(OrderFor({kBuiltin, 40, 50}, 0), PlayerOrder{});
}

// Each coarse choice from a player near a corner: the moves are relative to him and stay on the pitch.
TEST(AgentAction, CoarseChoicesMoveRelativeToThePlayerAndStayOnThePitch)
{
    std::array<float, kObservationSize> observation{};
    const auto from = [&observation](float x, float y, int choice)
    {
        observation[features::kX] = x;
        observation[features::kY] = y;
        const AgentAction action = FromCoarse(choice, observation.data());
        return std::array<std::int32_t, 3>{action.code, action.x, action.y};
    };
    using A = std::array<std::int32_t, 3>;
    EXPECT_EQ(from(300.7f, 400.2f, 0), (A{kBuiltin, 0, 0}));
    EXPECT_EQ(from(300.7f, 400.2f, 1), (A{kMove, 500, 400}));
    EXPECT_EQ(from(300.7f, 400.2f, 2), (A{kMove, 500, 250}));
    EXPECT_EQ(from(300.7f, 400.2f, 3), (A{kMove, 500, 550}));
    EXPECT_EQ(from(300.7f, 400.2f, 4), (A{kMove, 1280, 400}));
    EXPECT_EQ(from(300.7f, 400.2f, 5), (A{kPass, -1, 0}));
    EXPECT_EQ(from(300.7f, 400.2f, 6), (A{kMove, 0, 400}));
    EXPECT_EQ(from(1150.f, 100.f, 2), (A{kMove, 1280, 0}));
    EXPECT_EQ(from(10.f, 650.f, 3), (A{kMove, 210, 720}));
    for (int choice = 0; choice < kCoarseActionCount; ++choice)
    {
        EXPECT_TRUE(CheckCoarse(choice));
        const auto [code, x, y] = from(1280.f, 720.f, choice);
        EXPECT_TRUE(CheckAction({code, x, y}));
    }
    EXPECT_EQ(CheckCoarse(-1).Reason(), "coarse action -1 out of range (0 to 6)");
    EXPECT_FALSE(CheckCoarse(kCoarseActionCount));
}

namespace
{
struct OrderLine
{
    const char* name;
    const char* line;  // an input line at frame 5
    const char* error; // what the reader says; empty: read
};

class RecordedOrderLines : public testing::TestWithParam<OrderLine>
{
};

// A short recording of a match with slot 0 played from outside, its end line dropped for the case's line.
std::string RecordingWith(const std::string& line)
{
    const auto defaults = DefaultPlayers();
    AgentMatch match({defaults.begin(), defaults.end()}, {0}, 20, false, true);
    match.Start(3, 1);
    match.Advance(20);
    std::string text = match.Recording();
    text.erase(text.rfind('\n', text.size() - 2) + 1);
    return text + line + "\n" + R"({"end":20})" + "\n";
}
} // namespace

// An order read back from a recording names a real player and a real receiver, or the recording is refused: a slot
// past 9 would be read past the players.
TEST_P(RecordedOrderLines, OnlyOrdersToRealPlayersAreRead)
{
    TemporaryFolder folder;
    const auto path = (folder.Path() / "r.jsonl").string();
    std::ofstream(path, std::ios::binary) << RecordingWith(GetParam().line);
    const auto read = ReadRecording(path);
    if (*GetParam().error == '\0')
    {
        ASSERT_TRUE(read) << read.Reason();
        ASSERT_EQ(read->inputs.size(), 1u);
        EXPECT_EQ(read->inputs[0].kind, InputKind::Order);
    }
    else
    {
        ASSERT_FALSE(read);
        EXPECT_NE(read.Reason().find(GetParam().error), std::string::npos) << read.Reason();
    }
}

INSTANTIATE_TEST_SUITE_P(
    AgentMatchOrders, RecordedOrderLines,
    testing::Values(OrderLine{"Slot9", R"({"frame":5,"input":"order","slot":9,"order":"hold"})", ""},
                    OrderLine{"Slot10", R"({"frame":5,"input":"order","slot":10,"order":"hold"})",
                              "an order without its player's slot"},
                    OrderLine{"SlotMinus1", R"({"frame":5,"input":"order","slot":-1,"order":"hold"})",
                              "an order without its player's slot"},
                    OrderLine{"SlotAsText", R"({"frame":5,"input":"order","slot":"3","order":"hold"})",
                              "an order without its player's slot"},
                    OrderLine{"PassToAnyone", R"({"frame":5,"input":"order","slot":0,"order":"pass","to":-1})", ""},
                    OrderLine{"PassTo10", R"({"frame":5,"input":"order","slot":0,"order":"pass","to":10})",
                              "a pass without its receiver"},
                    OrderLine{"PassToMinus2", R"({"frame":5,"input":"order","slot":0,"order":"pass","to":-2})",
                              "a pass without its receiver"},
                    OrderLine{"MoveWithoutY", R"({"frame":5,"input":"order","slot":0,"order":"move","x":3})",
                              "a move without its point"},
                    OrderLine{"Jump", R"({"frame":5,"input":"order","slot":0,"order":"jump"})", "an unknown order"}),
    [](const testing::TestParamInfo<OrderLine>& param) { return param.param.name; });

} // namespace tryzone
