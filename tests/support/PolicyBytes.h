#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tryzone
{

// A safetensors file's bytes written by hand, so that tests can make any policy file, good or bad.
struct PolicyBytes
{
    nlohmann::ordered_json header = nlohmann::ordered_json::object();
    std::string data;

    template <class T> PolicyBytes& Add(const std::string& name, const char* dtype, std::vector<std::int64_t> shape,
                                        const std::vector<T>& values)
    {
        const std::size_t begin = data.size();
        data.append(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(T));
        header[name] = {{"dtype", dtype}, {"shape", shape}, {"data_offsets", {begin, data.size()}}};
        return *this;
    }

    [[nodiscard]] std::string Bytes() const
    {
        const std::string text = header.dump();
        const std::uint64_t length = text.size();
        std::string bytes(sizeof length, '\0');
        std::memcpy(bytes.data(), &length, sizeof length);
        return bytes + text + data;
    }

    // A policy over 56 features: dense layers given as (weights, bias), tanh between them, the last one's outputs
    // the coarse actions'.
    static PolicyBytes Network(const std::vector<std::pair<std::vector<float>, std::vector<float>>>& layers,
                               int decisionFrames = 12)
    {
        PolicyBytes policy;
        policy.header["__metadata__"] = {{"format", "tryzone-policy"},
                                         {"observation_version", "1"},
                                         {"action_set", "coarse-v1"},
                                         {"decision_frames", std::to_string(decisionFrames)}};
        policy.Add<float>("input_scale", "F32", {56}, std::vector<float>(56, 1.f));
        std::int64_t inputs = 56;
        for (std::size_t i = 0; i < layers.size(); ++i)
        {
            const auto outputs = static_cast<std::int64_t>(layers[i].second.size());
            policy.Add<float>("layer." + std::to_string(i) + ".weight", "F32", {outputs, inputs}, layers[i].first)
                .Add<float>("layer." + std::to_string(i) + ".bias", "F32", {outputs}, layers[i].second);
            inputs = outputs;
        }
        return policy;
    }

    // One layer: output r = weights row r . x + bias r, for the six coarse actions.
    static PolicyBytes Linear(const std::vector<float>& weights, const std::vector<float>& bias,
                              int decisionFrames = 12)
    {
        return Network({{weights, bias}}, decisionFrames);
    }
};

} // namespace tryzone
