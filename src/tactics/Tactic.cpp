#include "tactics/Tactic.h"

#include "tactics/TacticCatalogue.h"
#include "tactics/TacticWarnings.h"

#include <map>

namespace tryzone
{

double TacticStep::Number(std::string_view name) const
{
    for (const Parameter& parameter : parameters)
    {
        if (parameter.name == name)
        {
            const auto* number = std::get_if<double>(&parameter.value);
            return number != nullptr ? *number : 0.0;
        }
    }
    return 0.0;
}

std::string_view TacticStep::Word(std::string_view name) const
{
    for (const Parameter& parameter : parameters)
    {
        if (parameter.name == name)
        {
            const auto* word = std::get_if<std::string>(&parameter.value);
            return word != nullptr ? std::string_view(*word) : std::string_view();
        }
    }
    return {};
}

const char* CompiledTactic::StateName(int state) const
{
    return state >= 0 && static_cast<std::size_t>(state) < states.size()
               ? states[static_cast<std::size_t>(state)].name.c_str()
               : "Unknown";
}

namespace
{
std::string StatePlace(std::size_t state)
{
    return "/states/" + std::to_string(state);
}

void CheckKinds(const TacticState& state, const std::string& place)
{
    if (FindAction(state.action.kind) == nullptr)
    {
        throw TacticError({place + "/action", "unknown action \"" + state.action.kind + "\""});
    }
    for (std::size_t link = 0; link < state.links.size(); ++link)
    {
        const auto& conditions = state.links[link].conditions;
        for (std::size_t condition = 0; condition < conditions.size(); ++condition)
        {
            if (FindCondition(conditions[condition].test.kind) == nullptr)
            {
                throw TacticError(
                    {place + "/links/" + std::to_string(link) + "/conditions/" + std::to_string(condition),
                     "unknown condition \"" + conditions[condition].test.kind + "\""});
            }
        }
    }
}

} // namespace

CompiledTactic CompileTactic(const Tactic& tactic)
{
    if (tactic.states.empty())
    {
        throw TacticError({"/states", "no state"});
    }
    if (tactic.states.size() > kMaxTacticStates)
    {
        throw TacticError({"/states", std::to_string(tactic.states.size()) + " states, more than the limit of " +
                                          std::to_string(kMaxTacticStates)});
    }
    std::map<std::string, int, std::less<>> indices;
    for (std::size_t state = 0; state < tactic.states.size(); ++state)
    {
        const std::string& name = tactic.states[state].name;
        if (name.empty())
        {
            throw TacticError({StatePlace(state) + "/name", "a state needs a name"});
        }
        if (!indices.emplace(name, static_cast<int>(state)).second)
        {
            throw TacticError({StatePlace(state) + "/name", "a second state named \"" + name + "\""});
        }
        CheckKinds(tactic.states[state], StatePlace(state));
    }
    const auto start = indices.find(tactic.start);
    if (tactic.start.empty())
    {
        throw TacticError({"/start", "no start state"});
    }
    if (start == indices.end())
    {
        throw TacticError({"/start", "start state \"" + tactic.start + "\" does not exist"});
    }

    CompiledTactic compiled{tactic, {}, start->second, {}};
    for (std::size_t state = 0; state < tactic.states.size(); ++state)
    {
        const TacticState& from = tactic.states[state];
        CompiledState& into = compiled.states.emplace_back(
            CompiledState{from.name, from.action, FindAction(from.action.kind)->action(from.action), {}});
        for (std::size_t link = 0; link < from.links.size(); ++link)
        {
            const auto target = indices.find(from.links[link].target);
            if (target == indices.end())
            {
                throw TacticError({StatePlace(state) + "/links/" + std::to_string(link) + "/target",
                                   "link to state \"" + from.links[link].target + "\", which does not exist"});
            }
            CompiledLink& made = into.links.emplace_back(CompiledLink{target->second, from.links[link].conditions, {}});
            for (const TacticCondition& condition : made.conditions)
            {
                made.tests.push_back({FindCondition(condition.test.kind)->condition(condition.test), condition.expected});
            }
        }
    }
    compiled.warnings = GraphWarnings(compiled);
    return compiled;
}

} // namespace tryzone
