#pragma once

#include "agent/AgentAction.h"
#include "files/Expected.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tryzone
{

// What a policy file's metadata must say for this program to play it.
inline constexpr const char* kPolicyFormat = "tryzone-policy";

// One dense layer: outputs = weights (outputs x inputs, row-major) x inputs + bias.
struct DenseLayer
{
    int inputs = 0;
    int outputs = 0;
    std::vector<float> weights;
    std::vector<float> bias;
    // The weights as the forward pass reads them: input by input, in double, so that each output's sum runs over the
    // inputs in order while the outputs are summed side by side.
    std::vector<double> byInput;
};

// A trained policy as a safetensors file keeps it: an 8-byte little-endian header length, a JSON header (each
// tensor's dtype, shape and byte range; a `__metadata__` map of strings), then the tensors' raw little-endian bytes.
// Tensors: `input_scale` [observation size] scales the observation, `layer.N.weight` [out, in] and `layer.N.bias`
// [out] are dense layers with tanh between them; the last one's outputs are the coarse actions', and the highest
// picks one. Metadata: format, observation_version, action_set, decision_frames.
struct PolicyNetwork
{
    std::vector<float> inputScale;
    std::vector<DenseLayer> layers;
    int decisionFrames = kDefaultDecisionFrames;
    // What its outputs choose from (its metadata's action_set): the first count of kCoarseActions, in order.
    CoarseActionSet actionSet = kCoarseActionSets[0];

    // The coarse action the network picks for an observation; the first of equal outputs wins, as numpy's argmax.
    [[nodiscard]] std::size_t Choose(std::span<const float> observation) const;
    // The action it takes (FromCoarse).
    [[nodiscard]] AgentAction Act(std::span<const float> observation) const;
};

// The policy in the bytes, or the one line that says why they are not one this program can play.
[[nodiscard]] Expected<PolicyNetwork> ParsePolicy(const std::string& bytes);
// The policy in the file, read once per process and shared after; the reason, naming the file, when it cannot be.
[[nodiscard]] Expected<std::shared_ptr<const PolicyNetwork>> LoadPolicy(const std::string& path);

} // namespace tryzone
