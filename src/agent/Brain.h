#pragma once

#include "agent/AgentAction.h"
#include "agent/Observation.h"
#include "files/Expected.h"

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

// The brains by name: "builtin" (his own state graph), "hold" (stands still), "random" (any action at random, drawn
// from its own engine seeded from the seed, never from the match's), "runner" (with the ball he runs straight for
// the opponents' line and never passes; without it, his state graph) and "policy:FILE" (a trained policy file).
// The reason, as one line, for a name that is none of them or a policy file that cannot be played.
[[nodiscard]] Expected<std::unique_ptr<Brain>> MakeBrain(const std::string& name, std::uint32_t seed);
[[nodiscard]] std::vector<std::string> BrainNames();
// The policy files the named brains read, in order, each once: inputs of the run that no output may replace.
[[nodiscard]] std::vector<std::string> PolicyFiles(const std::vector<std::string>& names);

// The decision interval a brain needs, when it has one (a policy's, trained at one pace); 0 when any will do.
[[nodiscard]] int BrainDecisionFrames(const std::string& name);

} // namespace tryzone
