#include "experiments/Variation.h"
#include "tactics/DefaultTactic.h"
#include "tactics/TacticCatalogue.h"
#include "tactics/TacticsFile.h"

#include <nlohmann/json.hpp>

namespace tryzone
{

namespace
{
bool Numeric(const ParameterRule& rule)
{
    return rule.type != ParameterType::Word;
}

// The state's index in the tactic; -1 when it has none of that name.
int StateIndex(const CompiledTactic& tactic, const std::string& name)
{
    for (std::size_t state = 0; state < tactic.states.size(); ++state)
    {
        if (tactic.states[state].name == name)
        {
            return static_cast<int>(state);
        }
    }
    return -1;
}

// Why the state's action cannot have the parameter varied, if it cannot.
std::optional<std::string> ParameterFault(const CompiledState& state, const std::string& parameter)
{
    const CatalogueEntry* action = FindAction(state.action.kind);
    const ParameterRule* rule = action != nullptr ? FindParameter(*action, parameter) : nullptr;
    if (rule != nullptr && Numeric(*rule))
    {
        return std::nullopt;
    }
    std::string numeric;
    for (const ParameterRule& each : action != nullptr ? action->parameters : std::vector<ParameterRule>{})
    {
        if (Numeric(each))
        {
            numeric += (numeric.empty() ? "" : ", ") + std::string(each.name);
        }
    }
    return "the action " + state.action.kind + " of " + state.name + " has " +
           (rule != nullptr ? "no numeric parameter " : "no parameter ") + parameter +
           "; its numeric ones: " + (numeric.empty() ? "none" : numeric);
}

} // namespace

Expected<std::shared_ptr<const CompiledTactic>> WithParameter(const CompiledTactic& tactic, int state,
                                                              const std::string& parameter, float value,
                                                              const std::string& file)
{
    nlohmann::ordered_json document = TacticToJson(tactic.source);
    document["states"][static_cast<std::size_t>(state)]["parameters"][parameter] =
        nlohmann::ordered_json::parse(FloatText(value));
    TacticsRead read = ParseTactics(document.dump(4), file);
    if (read.tactic == nullptr)
    {
        return Unexpected{read.error};
    }
    return read.tactic;
}

std::vector<NumericParameter> NumericParameters(const CompiledTactic& tactic)
{
    std::vector<NumericParameter> found;
    for (std::size_t state = 0; state < tactic.states.size(); ++state)
    {
        const TacticStep& action = tactic.states[state].action;
        const CatalogueEntry* entry = FindAction(action.kind);
        for (const Parameter& parameter : action.parameters)
        {
            const ParameterRule* rule = entry != nullptr ? FindParameter(*entry, parameter.name) : nullptr;
            const auto* number = std::get_if<double>(&parameter.value);
            if (rule != nullptr && Numeric(*rule) && number != nullptr)
            {
                found.push_back({static_cast<int>(state), parameter.name, *number, rule->min, rule->max,
                                 rule->type == ParameterType::Integer});
            }
        }
    }
    return found;
}

Expected<void> ResolveTacticVariation(Variation& variation, const std::array<const CompiledTactic*, 2>& tactics,
                                      const std::array<std::string, 2>& files)
{
    if (!variation.OfTactic())
    {
        return {};
    }
    const std::string bad = "bad value for --vary: '" + variation.key + "' (";
    std::array<const CompiledTactic*, 2> played{};
    std::array<bool, 2> holds{};
    for (std::size_t side = 0; side < 2; ++side)
    {
        played[side] = tactics[side] != nullptr ? tactics[side] : &DefaultTactic();
        holds[side] = StateIndex(*played[side], variation.state) >= 0;
    }
    const bool prefixed = variation.key.find(':') < variation.key.find('.');
    if (!holds[0] && !holds[1])
    {
        return Unexpected{bad + "neither team's tactic has a state " + variation.state + ")"};
    }
    // Unprefixed and held by one side only, the state names its side.
    if (!prefixed && holds[0] != holds[1])
    {
        variation.who = holds[0] ? "blue" : "red";
    }
    std::array<bool, 2> varied{variation.who != "red", variation.who != "blue"};
    for (std::size_t side = 0; side < 2; ++side)
    {
        if (varied[side] && !holds[side])
        {
            return Unexpected{bad + (side == 0 ? "blue" : "red") + "'s tactic has no state " + variation.state + ")"};
        }
    }
    variation.tactics.assign(variation.values.size(), {});
    for (std::size_t side = 0; side < 2; ++side)
    {
        if (!varied[side])
        {
            continue;
        }
        const int state = StateIndex(*played[side], variation.state);
        if (const auto fault =
                ParameterFault(played[side]->states[static_cast<std::size_t>(state)], variation.parameter))
        {
            return Unexpected{bad + *fault + ")"};
        }
        const std::string file = tactics[side] != nullptr ? files[side] : "the default tactic";
        for (std::size_t value = 0; value < variation.values.size(); ++value)
        {
            auto edited = WithParameter(*played[side], state, variation.parameter, variation.values[value], file);
            if (!edited)
            {
                return Unexpected{bad + edited.Reason() + ")"};
            }
            variation.tactics[value][side] = *edited;
        }
    }
    return {};
}

} // namespace tryzone
