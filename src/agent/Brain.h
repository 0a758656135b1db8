#pragma once

#include "agent/AgentAction.h"
#include "agent/Observation.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tryzone
{

// An outside brain for one player: asked at every decision, it answers with what he does until the next one.
class Brain
{
public:
    virtual ~Brain() = default;
    [[nodiscard]] virtual AgentAction Decide(const Observation& observation) = 0;
};

// The brains built in by name: "builtin" (his own state graph), "hold" (stands still) and "random" (any action at
// random, drawn from its own engine seeded from the seed, never from the match's). Null for another name.
[[nodiscard]] std::unique_ptr<Brain> MakeBrain(const std::string& name, std::uint32_t seed);
[[nodiscard]] std::vector<std::string> BrainNames();

} // namespace tryzone
