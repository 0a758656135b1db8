#include "tactics/TacticsFile.h"

#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
struct SuspiciousGraph
{
    const char* name;
    std::string states; // the file's "states", its start being "A"
    std::vector<std::string> warnings;
};

class TacticWarnings : public testing::TestWithParam<SuspiciousGraph>
{
};

// B: a carrier state and the way back, so that each case shows its own warning only.
constexpr const char* kAttack = R"({"name": "B", "action": "Attack", "links": [{"target": "A"}]})";

std::string With(const std::string& first)
{
    return R"({"start": "A", "states": [)" + first + "]}";
}
} // namespace

TEST_P(TacticWarnings, EachSuspiciousGraphGivesItsWarningAndLoads)
{
    const TacticsRead read = ParseTactics(With(GetParam().states), "t.json");
    ASSERT_NE(read.tactic, nullptr) << read.error;
    std::vector<std::string> expected;
    for (const std::string& warning : GetParam().warnings)
    {
        expected.push_back("Warning: t.json: " + warning);
    }
    EXPECT_EQ(read.warnings, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Graphs, TacticWarnings,
    testing::Values(
        SuspiciousGraph{
            "Clean",
            R"({"name": "A", "action": "Idle", "links": [{"target": "B", "conditions": [{"condition": "PlayerHaveBall"}]}]},
                        )" +
                std::string(kAttack),
            {}},
        SuspiciousGraph{"DeadEnd",
                        R"({"name": "A", "action": "Attack", "links": [{"target": "A"}]})",
                        {"/states/0: state \"A\" is a dead end: no link that can be taken leads out of it, so a player "
                         "who enters it stays there for the rest of the match"}},
        SuspiciousGraph{"Unreachable",
                        R"({"name": "A", "action": "Attack", "links": [{"target": "B"}]},
                        {"name": "B", "action": "Idle", "links": [{"target": "A"}]}, {"name": "C", "action": "Idle"})",
                        {"/states/2: state \"C\" is never reached from the start state"}},
        SuspiciousGraph{"ShadowedByUnconditional",
                        R"({"name": "A", "action": "Idle", "links": [{"target": "B"},
                            {"target": "C", "conditions": [{"condition": "TeamHaveBall"}]}]},
                           {"name": "C", "action": "Idle", "links": [{"target": "A"}]}, )" +
                            std::string(kAttack),
                        {"/states/0/links/1: never taken: link 0 (to \"B\") comes first and has no condition",
                         "/states/1: state \"C\" is never reached from the start state"}},
        SuspiciousGraph{"ShadowedByWeaker",
                        R"({"name": "A", "action": "Idle", "links": [
                            {"target": "B", "conditions": [{"condition": "TeamHaveBall", "expected": false}]},
                            {"target": "B", "conditions": [{"condition": "EnemyIsNear"}, {"condition": "TeamHaveBall", "expected": false}]}]},
                        )" + std::string(kAttack),
                        {"/states/0/links/1: never taken: link 0 (to \"B\") comes first and its conditions are all "
                         "among this one's"}},
        SuspiciousGraph{"Contradiction",
                        R"({"name": "A", "action": "Idle", "links": [
                            {"target": "B", "conditions": [{"condition": "PlayerHaveBall"}, {"condition": "TeamHaveBall", "expected": false}]},
                            {"target": "B", "conditions": [{"condition": "BallInZone", "parameters": {"to": 0.3}},
                                                           {"condition": "BallInZone", "parameters": {"from": 0.4, "to": 1}}]},
                            {"target": "B", "conditions": [{"condition": "EnemyIsNear"}, {"condition": "EnemyIsNear", "expected": false}]},
                            {"target": "B", "conditions": [{"condition": "ScoreDifference", "parameters": {"atLeast": -9, "atMost": 0}},
                                                           {"condition": "ScoreDifference", "parameters": {"atMost": 5}}]},
                            {"target": "B"}]}, )" +
                            std::string(kAttack),
                        {"/states/0/links/0: conditions 0 and 1 cannot both be met: the link is never taken",
                         "/states/0/links/1: conditions 0 and 1 cannot both be met: the link is never taken",
                         "/states/0/links/2: conditions 0 and 1 cannot both be met: the link is never taken",
                         "/states/0/links/3: conditions 0 and 1 cannot both be met: the link is never taken"}},
        // Ranges that meet at one value can both be met; the order of two conditions does not matter.
        SuspiciousGraph{"TouchingRangesAndEitherOrder",
                        R"({"name": "A", "action": "Idle", "links": [
                            {"target": "B", "conditions": [{"condition": "BallInZone", "parameters": {"to": 0.3}},
                                                           {"condition": "BallInZone", "parameters": {"from": 0.3, "to": 1}}]},
                            {"target": "B", "conditions": [{"condition": "ScoreDifference", "parameters": {"atLeast": 0, "atMost": 5}},
                                                           {"condition": "ScoreDifference", "parameters": {"atLeast": -9, "atMost": 0}}]},
                            {"target": "B", "conditions": [{"condition": "BallInZone", "parameters": {"from": 0.9, "to": 1}},
                                                           {"condition": "BallInZone", "expected": false, "parameters": {"to": 0.1}}]},
                            {"target": "B", "conditions": [{"condition": "PlayerHaveBall", "expected": false},
                                                           {"condition": "TeamHaveBall", "expected": false}]},
                            {"target": "B", "conditions": [{"condition": "TeamHaveBall", "expected": false},
                                                           {"condition": "PlayerHaveBall"}]},
                            {"target": "B", "conditions": [{"condition": "BallInZone", "parameters": {"from": 0.6, "to": 1}},
                                                           {"condition": "BallInZone", "parameters": {"to": 0.59}}]}]},
                        )" + std::string(kAttack),
                        {"/states/0/links/4: conditions 0 and 1 cannot both be met: the link is never taken",
                         "/states/0/links/5: conditions 0 and 1 cannot both be met: the link is never taken"}},
        // A link never taken leads nowhere: a state whose other links loop back is a dead end.
        SuspiciousGraph{"DeadLinksNeitherShadowNorLead",
                        R"({"name": "A", "action": "Idle", "links": [
                            {"target": "B", "conditions": [{"condition": "EnemyIsNear"}, {"condition": "EnemyIsNear", "expected": false}]},
                            {"target": "B", "conditions": [{"condition": "EnemyIsNear"}]}]},
                           {"name": "B", "action": "Attack", "links": [{"target": "B"},
                            {"target": "A", "conditions": [{"condition": "PlayerHaveBall"}, {"condition": "TeamHaveBall", "expected": false}]}]})",
                        {"/states/0/links/0: conditions 0 and 1 cannot both be met: the link is never taken",
                         "/states/1/links/1: conditions 0 and 1 cannot both be met: the link is never taken",
                         "/states/1: state \"B\" is a dead end: no link that can be taken leads out of it, so a player "
                         "who enters it stays there for the rest of the match"}},
        // A Hold at 0.9 of the pitch is over the try line for a carrier: enough to run for the line.
        SuspiciousGraph{"HoldAtTheTryLine",
                        R"({"name": "A", "action": "Hold", "parameters": {"depth": 0.9}, "links": [{"target": "B"}]},
                           {"name": "B", "action": "Hold", "parameters": {"depth": 0.89}, "links": [{"target": "A"}]})",
                        {}},
        SuspiciousGraph{"HoldShortOfTheTryLine",
                        R"({"name": "A", "action": "Hold", "parameters": {"depth": 0.89}, "links": [{"target": "B"}]},
                           {"name": "B", "action": "Support", "links": [{"target": "A"}]})",
                        {"/states: no state a player reaches runs Attack (or Holds at a depth of 0.9 or more): a "
                         "carrier never runs for the opponents' line"}},
        SuspiciousGraph{"NoForwardAction",
                        R"({"name": "A", "action": "Hold", "parameters": {"depth": 0.85}, "links": [{"target": "B"}]},
                           {"name": "B", "action": "Pass", "links": [{"target": "A"}]},
                           {"name": "C", "action": "Attack"})",
                        {"/states/2: state \"C\" is never reached from the start state",
                         "/states: no state a player reaches runs Attack (or Holds at a depth of 0.9 or more): a "
                         "carrier never runs for the opponents' line"}}),
    [](const testing::TestParamInfo<SuspiciousGraph>& param) { return param.param.name; });

TEST(TacticWarnings, AHoldOverTheTryLineRunsForIt)
{
    const TacticsRead read =
        ParseTactics(With(R"({"name": "A", "action": "Hold", "parameters": {"depth": 0.95}, "links": [{"target": "B"}]},
               {"name": "B", "action": "Idle", "links": [{"target": "A"}]})"),
                     "t.json");
    ASSERT_NE(read.tactic, nullptr) << read.error;
    EXPECT_TRUE(read.warnings.empty()) << read.warnings.front();
}

} // namespace tryzone
