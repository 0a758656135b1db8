#include "agent/Brain.h"

#include "agent/PolicyFile.h"
#include "shape/MatchShape.h"

#include <algorithm>
#include <random>

namespace tryzone
{

namespace
{
constexpr std::string_view kPolicyPrefix = "policy:";

class FixedBrain : public Brain
{
public:
    explicit FixedBrain(std::int32_t actionCode) : code(actionCode) {}

    AgentAction Decide(const Observation& /*observation*/) override { return {code, 0, 0}; }

private:
    std::int32_t code;
};

class RandomBrain : public Brain
{
public:
    explicit RandomBrain(std::uint32_t seed) : engine(seed) {}

    AgentAction Decide(const Observation& /*observation*/) override
    {
        AgentAction action;
        action.code = std::uniform_int_distribution<std::int32_t>(kBuiltin, kPass)(engine);
        if (action.code == kMove)
        {
            action.x = std::uniform_int_distribution<std::int32_t>(0, kPitchWidth)(engine);
            action.y = std::uniform_int_distribution<std::int32_t>(0, kPitchHeight)(engine);
        }
        else if (action.code == kPass)
        {
            action.x = std::uniform_int_distribution<std::int32_t>(kRandomTeammate, kPlayerCount - 1)(engine);
        }
        return action;
    }

private:
    std::mt19937 engine;
};

// The carrier runs for the line in his lane; everyone else plays his state graph.
class RunnerBrain : public Brain
{
public:
    AgentAction Decide(const Observation& observation) override
    {
        if (observation.features[features::kHolds] == 0.f)
        {
            return {kBuiltin, 0, 0};
        }
        return {kMove, kPitchWidth, static_cast<std::int32_t>(observation.features[features::kY])};
    }
};

class PolicyBrain : public Brain
{
public:
    explicit PolicyBrain(std::shared_ptr<const PolicyNetwork> network) : policy(std::move(network)) {}

    AgentAction Decide(const Observation& observation) override { return policy->Act(observation.features); }

private:
    std::shared_ptr<const PolicyNetwork> policy;
};
} // namespace

Expected<std::unique_ptr<Brain>> MakeBrain(const std::string& name, std::uint32_t seed)
{
    if (name == "builtin")
    {
        return std::unique_ptr<Brain>(std::make_unique<FixedBrain>(kBuiltin));
    }
    if (name == "hold")
    {
        return std::unique_ptr<Brain>(std::make_unique<FixedBrain>(kHold));
    }
    if (name == "random")
    {
        return std::unique_ptr<Brain>(std::make_unique<RandomBrain>(seed));
    }
    if (name == "runner")
    {
        return std::unique_ptr<Brain>(std::make_unique<RunnerBrain>());
    }
    if (name.starts_with(kPolicyPrefix))
    {
        auto policy = LoadPolicy(name.substr(kPolicyPrefix.size()));
        if (!policy)
        {
            return policy.Error();
        }
        return std::unique_ptr<Brain>(std::make_unique<PolicyBrain>(*policy));
    }
    std::string known;
    for (const std::string& brain : BrainNames())
    {
        known += (known.empty() ? "" : ", ") + brain;
    }
    return Unexpected{"unknown brain '" + name + "' (" + known + ")"};
}

std::vector<std::string> BrainNames()
{
    return {"builtin", "hold", "random", "runner", "policy:FILE"};
}

std::vector<std::string> PolicyFiles(const std::vector<std::string>& names)
{
    std::vector<std::string> files;
    for (const std::string& name : names)
    {
        if (name.starts_with(kPolicyPrefix))
        {
            std::string file = name.substr(kPolicyPrefix.size());
            if (std::find(files.begin(), files.end(), file) == files.end())
            {
                files.push_back(std::move(file));
            }
        }
    }
    return files;
}

int BrainDecisionFrames(const std::string& name)
{
    if (!name.starts_with(kPolicyPrefix))
    {
        return 0;
    }
    const auto policy = LoadPolicy(name.substr(kPolicyPrefix.size()));
    return policy ? (*policy)->decisionFrames : 0;
}

} // namespace tryzone
