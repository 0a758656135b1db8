#include "agent/Brain.h"
#include "agent/PolicyFile.h"

#include "support/PolicyBytes.h"

#include <functional>
#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
// The coarse actions: 0 BUILTIN, 1 to 4 moves (200 ahead; ahead and up 150; ahead and down; to the line), 5 PASS.
// Output 2 follows "he holds the ball", output 0 is a constant: with the ball he runs ahead and up, without it he
// plays his state graph.
PolicyBytes HoldsOrBuiltin()
{
    std::vector<float> weights(6 * 56, 0.f);
    weights[2 * 56 + features::kHolds] = 2.f;
    return PolicyBytes::Linear(weights, {1.f, 0.f, 0.f, 0.f, 0.f, 0.f});
}

std::vector<float> Features(float x, float y, bool holds)
{
    std::vector<float> values(56, 0.f);
    values[features::kX] = x;
    values[features::kY] = y;
    values[features::kHolds] = holds ? 1.f : 0.f;
    return values;
}
} // namespace

// The network's choice, its move taken relative to the player and kept on the pitch; a tie goes to the first.
TEST(PolicyFile, TheForwardPassPicksTheActionAndMovesRelativeToThePlayer)
{
    const auto policy = ParsePolicy(HoldsOrBuiltin().Bytes());
    ASSERT_TRUE(policy) << policy.Reason();
    EXPECT_EQ(policy->decisionFrames, 12);
    const AgentAction run = policy->Act(Features(100.5f, 300.f, true));
    EXPECT_EQ(run.code, kMove);
    EXPECT_EQ(run.x, 300);
    EXPECT_EQ(run.y, 150);
    const AgentAction edge = policy->Act(Features(1200.f, 20.f, true));
    EXPECT_EQ(edge.x, 1280);
    EXPECT_EQ(edge.y, 0);
    EXPECT_EQ(policy->Act(Features(100.f, 300.f, false)).code, kBuiltin);

    // Two layers: tanh between them saturates the first, so PASS wins for any y on the pitch but small ones.
    std::vector<float> first(2 * 56, 0.f);
    first[features::kY] = 1.f; // hidden 0 = tanh(y)
    std::vector<float> second(6 * 2, 0.f);
    second[5 * 2] = 3.f; // PASS = 3 tanh(y)
    const auto deep =
        ParsePolicy(PolicyBytes::Network({{first, {0.f, 0.f}}, {second, {2.5f, 0.f, 0.f, 0.f, 0.f, 0.f}}}).Bytes());
    ASSERT_TRUE(deep) << deep.Reason();
    EXPECT_EQ(deep->Act(Features(10.f, 500.f, false)).code, kPass);   // 3 tanh(500) = 3 > 2.5
    EXPECT_EQ(deep->Act(Features(10.f, 1.f, false)).code, kBuiltin); // 3 tanh(1) = 2.28; without tanh, 3
    EXPECT_EQ(ParsePolicy(PolicyBytes::Linear(std::vector<float>(6 * 56, 0.f), std::vector<float>(6, 1.f)).Bytes())
                  ->Choose(Features(0.f, 0.f, false)),
              0u);
}

// Every way a file can fail to be a policy this program plays: one reason each.
TEST(PolicyFile, BadFilesAreRefusedWithTheirReason)
{
    const std::vector<std::pair<std::function<std::string()>, std::string>> cases{
        {[] { return std::string("not a policy at all, just text"); }, "not a safetensors file"},
        {[] { return std::string("abc"); }, "too short"},
        {[]
         {
             // The same tensor named twice: refused, not read as the last one.
             const std::string header = R"({"input_scale": {}, "input_scale": {}})";
             return std::string(1, static_cast<char>(header.size())) + std::string(7, '\0') + header;
         },
         "duplicate key \"input_scale\""},
        {[] { return HoldsOrBuiltin().Bytes().substr(0, 200); }, "cut short"},
        {[] { const std::string b = HoldsOrBuiltin().Bytes(); return b.substr(0, b.size() - 4); }, "cut short"},
        {[] { auto p = HoldsOrBuiltin(); p.header["__metadata__"]["observation_version"] = "2"; return p.Bytes(); },
         "observations of version 2"},
        {[] { auto p = HoldsOrBuiltin(); p.header["__metadata__"].erase("format"); return p.Bytes(); },
         "not a TryZone policy"},
        {[] { auto p = HoldsOrBuiltin(); p.header["__metadata__"]["action_set"] = "fine"; return p.Bytes(); },
         "action set"},
        {[] { auto p = HoldsOrBuiltin(); p.header["__metadata__"]["decision_frames"] = "0"; return p.Bytes(); },
         "decision_frames"},
        {[] { auto p = HoldsOrBuiltin(); p.header["layer.0.weight"]["shape"] = {2, 55}; return p.Bytes(); },
         "tensor layer.0.weight is not F32 [any, 56]"},
        {[] { auto p = HoldsOrBuiltin(); p.header["layer.0.bias"]["shape"] = {3}; return p.Bytes(); },
         "tensor layer.0.bias is not F32 [6]"},
        {[] { auto p = HoldsOrBuiltin(); p.header["layer.0.weight"]["dtype"] = "F16"; return p.Bytes(); },
         "tensor layer.0.weight is not F32 [any, 56]"},
        {[] { auto p = HoldsOrBuiltin(); p.header.erase("input_scale"); return p.Bytes(); }, "no tensor input_scale"},
        {[] { return PolicyBytes::Linear(std::vector<float>(2 * 56, 0.f), {0.f, 0.f}).Bytes(); },
         "its last layer has 2 outputs, not one for each of the 6 actions of coarse-v1"},
        {[] { auto p = HoldsOrBuiltin(); p.header["__metadata__"]["action_set"] = "coarse-v2"; return p.Bytes(); },
         "its last layer has 6 outputs, not one for each of the 7 actions of coarse-v2"},
    };
    for (const auto& [bytes, reason] : cases)
    {
        const auto policy = ParsePolicy(bytes());
        ASSERT_FALSE(policy) << reason;
        EXPECT_NE(policy.Reason().find(reason), std::string::npos) << policy.Reason();
        EXPECT_EQ(policy.Reason().find('\n'), std::string::npos);
    }
}

// coarse-v2 is coarse-v1 and a run back over the player's own line: x 0 of his ego frame, which is the left end of
// the pitch for blue and the right end for red, in his lane.
TEST(PolicyFile, ACoarseV2PolicyRunsBackOverEachTeamsOwnLine)
{
    std::vector<float> weights(7 * 56, 0.f);
    weights[6 * 56 + features::kHolds] = 2.f;
    auto bytes = PolicyBytes::Linear(weights, {1.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f});
    bytes.header["__metadata__"]["action_set"] = "coarse-v2";
    const auto policy = ParsePolicy(bytes.Bytes());
    ASSERT_TRUE(policy) << policy.Reason();
    EXPECT_EQ(std::string(policy->actionSet.name), "coarse-v2");
    const AgentAction back = policy->Act(Features(700.f, 420.f, true));
    EXPECT_EQ(back.code, kMove);
    EXPECT_EQ(back.x, 0);
    EXPECT_EQ(back.y, 420);
    EXPECT_EQ(OrderFor(back, 0).x, 0);
    EXPECT_EQ(OrderFor(back, 1).x, 1280);
    EXPECT_EQ(policy->Act(Features(700.f, 420.f, false)).code, kBuiltin);
    EXPECT_FALSE(FindCoarseActionSet("coarse-v3"));
    EXPECT_EQ(FindCoarseActionSet("coarse-v1")->count, 6);
}

// The scripted runner: with the ball, straight for the opponents' line in his lane; without it, his state graph.
TEST(Brains, TheRunnerRunsForTheLineOnlyWithTheBall)
{
    auto runner = MakeBrain("runner", 0);
    ASSERT_TRUE(runner) << runner.Reason();
    const auto with = Features(400.f, 333.7f, true);
    const AgentAction run = (*runner)->Decide({with, 6});
    EXPECT_EQ(run.code, kMove);
    EXPECT_EQ(run.x, 1280);
    EXPECT_EQ(run.y, 333);
    const auto without = Features(400.f, 333.f, false);
    EXPECT_EQ((*runner)->Decide({without, 6}).code, kBuiltin);
    EXPECT_FALSE(MakeBrain("policy:/nonexistent/p.safetensors", 0));
    EXPECT_NE(MakeBrain("genius", 0).Reason().find("runner"), std::string::npos);
}

} // namespace tryzone
