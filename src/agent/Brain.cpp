#include "agent/Brain.h"

#include "shape/MatchShape.h"
#include "run/MatchRunner.h"

#include <random>

namespace tryzone
{

namespace
{
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
} // namespace

std::unique_ptr<Brain> MakeBrain(const std::string& name, std::uint32_t seed)
{
    if (name == "builtin")
    {
        return std::make_unique<FixedBrain>(kBuiltin);
    }
    if (name == "hold")
    {
        return std::make_unique<FixedBrain>(kHold);
    }
    if (name == "random")
    {
        return std::make_unique<RandomBrain>(seed);
    }
    return nullptr;
}

std::vector<std::string> BrainNames()
{
    return {"builtin", "hold", "random"};
}

} // namespace tryzone
