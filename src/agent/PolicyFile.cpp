#include "agent/PolicyFile.h"

#include "agent/Observation.h"
#include "files/JsonReader.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <sstream>

namespace tryzone
{

namespace
{
static_assert(std::endian::native == std::endian::little, "tensors are read as the file stores them");

// A generous bound: the header of a small network is a few hundred bytes.
constexpr std::uint64_t kMostHeaderBytes = 1 << 20;

struct Tensor
{
    std::string dtype;
    std::vector<std::int64_t> shape;
    std::string_view bytes;
};

Expected<std::map<std::string, Tensor>> Tensors(const nlohmann::json& header, std::string_view data)
{
    std::map<std::string, Tensor> tensors;
    for (const auto& [name, entry] : header.items())
    {
        if (name == "__metadata__")
        {
            continue;
        }
        Tensor tensor{entry.at("dtype").get<std::string>(), entry.at("shape").get<std::vector<std::int64_t>>(), {}};
        const auto offsets = entry.at("data_offsets").get<std::vector<std::uint64_t>>();
        if (offsets.size() != 2 || offsets[0] > offsets[1] || offsets[1] > data.size())
        {
            return Unexpected{"tensor " + name + " lies outside the file (is it cut short?)"};
        }
        tensor.bytes = data.substr(offsets[0], offsets[1] - offsets[0]);
        tensors.emplace(name, tensor);
    }
    return tensors;
}

// The tensor's values, when it has the dtype and shape asked for (-1: any length).
template <class T>
Expected<std::vector<T>> Values(const std::map<std::string, Tensor>& tensors, const std::string& name,
                                const char* dtype, std::vector<std::int64_t> shape)
{
    const auto found = tensors.find(name);
    if (found == tensors.end())
    {
        return Unexpected{"it has no tensor " + name};
    }
    const Tensor& tensor = found->second;
    bool fits = tensor.dtype == dtype && tensor.shape.size() == shape.size();
    std::int64_t count = 1;
    for (std::size_t i = 0; fits && i < shape.size(); ++i)
    {
        fits = tensor.shape[i] >= 0 && (shape[i] < 0 || tensor.shape[i] == shape[i]);
        count *= tensor.shape[i];
    }
    if (!fits || tensor.bytes.size() != static_cast<std::size_t>(count) * sizeof(T))
    {
        std::string want = std::string(dtype) + " [";
        for (std::size_t i = 0; i < shape.size(); ++i)
        {
            want += (i > 0 ? ", " : "") + (shape[i] < 0 ? std::string("any") : std::to_string(shape[i]));
        }
        return Unexpected{"tensor " + name + " is not " + want + "]"};
    }
    std::vector<T> values(static_cast<std::size_t>(count));
    std::memcpy(values.data(), tensor.bytes.data(), tensor.bytes.size());
    return values;
}

// The metadata entry, which must be there.
Expected<std::string> Meta(const nlohmann::json& header, const std::string& key)
{
    const auto metadata = header.find("__metadata__");
    if (metadata == header.end() || !metadata->contains(key) || !metadata->at(key).is_string())
    {
        return Unexpected{"its metadata has no " + key};
    }
    return metadata->at(key).get<std::string>();
}

Expected<int> MetaNumber(const nlohmann::json& header, const std::string& key)
{
    auto text = Meta(header, key);
    if (!text)
    {
        return text.Error();
    }
    int value = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc() || end != text->data() + text->size())
    {
        return Unexpected{"its " + key + " is '" + *text + "', not a whole number"};
    }
    return value;
}

Expected<void> CheckMetadata(const nlohmann::json& header, PolicyNetwork& policy)
{
    if (auto format = Meta(header, "format"); !format || *format != kPolicyFormat)
    {
        return Unexpected{"it is not a TryZone policy (its metadata's format is not " + std::string(kPolicyFormat) +
                          ")"};
    }
    auto version = MetaNumber(header, "observation_version");
    if (!version)
    {
        return version.Error();
    }
    if (*version != kObservationVersion)
    {
        return Unexpected{"it was trained on observations of version " + std::to_string(*version) +
                          ", and this program gives version " + std::to_string(kObservationVersion)};
    }
    auto actions = Meta(header, "action_set");
    if (!actions)
    {
        return actions.Error();
    }
    auto set = FindCoarseActionSet(*actions);
    if (!set)
    {
        return Unexpected{"its " + set.Reason()};
    }
    policy.actionSet = *set;
    auto frames = MetaNumber(header, "decision_frames");
    if (!frames || *frames < 1 || *frames > 100000)
    {
        return Unexpected{"its decision_frames is not a whole number from 1 to 100000"};
    }
    policy.decisionFrames = *frames;
    return {};
}

Expected<void> ReadTensors(const std::map<std::string, Tensor>& tensors, PolicyNetwork& policy)
{
    auto scale = Values<float>(tensors, "input_scale", "F32", {kObservationSize});
    if (!scale)
    {
        return scale.Error();
    }
    policy.inputScale = *std::move(scale);
    int inputs = kObservationSize;
    while (tensors.contains("layer." + std::to_string(policy.layers.size()) + ".weight"))
    {
        const std::string prefix = "layer." + std::to_string(policy.layers.size());
        auto weights = Values<float>(tensors, prefix + ".weight", "F32", {-1, inputs});
        if (!weights)
        {
            return weights.Error();
        }
        const auto outputs = static_cast<int>(weights->size() / static_cast<std::size_t>(std::max(inputs, 1)));
        auto bias = Values<float>(tensors, prefix + ".bias", "F32", {outputs});
        if (!bias)
        {
            return bias.Error();
        }
        DenseLayer dense{inputs, outputs, *std::move(weights), *std::move(bias), {}};
        dense.byInput.resize(dense.weights.size());
        for (std::size_t out = 0; out < static_cast<std::size_t>(outputs); ++out)
        {
            for (std::size_t in = 0; in < static_cast<std::size_t>(inputs); ++in)
            {
                dense.byInput[in * static_cast<std::size_t>(outputs) + out] =
                    static_cast<double>(dense.weights[out * static_cast<std::size_t>(inputs) + in]);
            }
        }
        policy.layers.push_back(std::move(dense));
        inputs = outputs;
    }
    if (policy.layers.empty())
    {
        return Unexpected{"it has no tensor layer.0.weight"};
    }
    if (inputs != policy.actionSet.count)
    {
        return Unexpected{"its last layer has " + std::to_string(inputs) + " outputs, not one for each of the " +
                          std::to_string(policy.actionSet.count) + " actions of " + policy.actionSet.name};
    }
    return {};
}
} // namespace

std::size_t PolicyNetwork::Choose(std::span<const float> observation) const
{
    // Per thread, so that the batch's threads share a policy without allocating at each decision.
    thread_local std::vector<double> values;
    thread_local std::vector<double> next;
    values.resize(inputScale.size());
    for (std::size_t i = 0; i < values.size(); ++i)
    {
        values[i] = static_cast<double>(observation[i] * inputScale[i]);
    }
    for (std::size_t layer = 0; layer < layers.size(); ++layer)
    {
        const DenseLayer& dense = layers[layer];
        const auto outputs = static_cast<std::size_t>(dense.outputs);
        next.assign(outputs, 0.0);
        for (std::size_t in = 0; in < values.size(); ++in)
        {
            const double value = values[in];
            const double* row = dense.byInput.data() + in * outputs;
            for (std::size_t out = 0; out < outputs; ++out)
            {
                next[out] += row[out] * value;
            }
        }
        for (std::size_t out = 0; out < outputs; ++out)
        {
            next[out] += static_cast<double>(dense.bias[out]);
            next[out] = layer + 1 < layers.size() ? std::tanh(next[out]) : next[out];
        }
        values.swap(next);
    }
    return static_cast<std::size_t>(std::max_element(values.begin(), values.end()) - values.begin());
}

AgentAction PolicyNetwork::Act(std::span<const float> observation) const
{
    return FromCoarse(static_cast<std::int32_t>(Choose(observation)), observation.data());
}

Expected<PolicyNetwork> ParsePolicy(const std::string& bytes)
{
    std::uint64_t length = 0;
    if (bytes.size() < sizeof length)
    {
        return Unexpected{"it is not a safetensors file (too short)"};
    }
    std::memcpy(&length, bytes.data(), sizeof length);
    if (length > kMostHeaderBytes || length > bytes.size() - sizeof length)
    {
        return Unexpected{"it is not a safetensors file, or is cut short (its header would be " +
                          std::to_string(length) + " bytes)"};
    }
    PolicyNetwork policy;
    // The project's strict reader: a header that names a tensor twice is refused, not read as its last.
    auto read = ReadJsonText(std::string_view(bytes).substr(sizeof length, length), "its header");
    if (!read)
    {
        return Unexpected{"it is not a safetensors file (" + read.Reason() + ")"};
    }
    try
    {
        const nlohmann::json& header = *read;
        if (!header.is_object())
        {
            return Unexpected{"it is not a safetensors file (its header is not a JSON object)"};
        }
        if (auto checked = CheckMetadata(header, policy); !checked)
        {
            return checked.Error();
        }
        auto tensors = Tensors(header, std::string_view(bytes).substr(sizeof length + length));
        if (!tensors)
        {
            return tensors.Error();
        }
        if (auto weights = ReadTensors(*tensors, policy); !weights)
        {
            return weights.Error();
        }
    }
    catch (const nlohmann::json::exception& error)
    {
        return Unexpected{std::string("it is not a safetensors file (its header: ") + error.what() + ")"};
    }
    return policy;
}

Expected<std::shared_ptr<const PolicyNetwork>> LoadPolicy(const std::string& path)
{
    static std::mutex mutex;
    static std::map<std::string, std::shared_ptr<const PolicyNetwork>> loaded;
    const std::lock_guard lock(mutex);
    if (const auto found = loaded.find(path); found != loaded.end())
    {
        return found->second;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        return Unexpected{"cannot read the policy file " + path};
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    auto policy = ParsePolicy(bytes.str());
    if (!policy)
    {
        return Unexpected{"the policy file " + path + " cannot be played: " + policy.Reason()};
    }
    auto shared = std::make_shared<const PolicyNetwork>(*std::move(policy));
    loaded.emplace(path, shared);
    return shared;
}

} // namespace tryzone
