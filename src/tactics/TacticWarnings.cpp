#include "tactics/TacticWarnings.h"

#include <string>

namespace tryzone
{

namespace
{
std::string LinkPlace(std::size_t state, std::size_t link)
{
    return "/states/" + std::to_string(state) + "/links/" + std::to_string(link);
}

bool Same(const TacticCondition& a, const TacticCondition& b)
{
    return a.test == b.test && a.expected == b.expected;
}

// Two conditions that cannot both be met: one test expected both ways, the carrier's team without the ball, or
// two bands or score ranges that do not overlap.
bool Contradict(const TacticCondition& a, const TacticCondition& b)
{
    if (a.test == b.test)
    {
        return a.expected != b.expected;
    }
    const auto is = [](const TacticCondition& c, const char* kind, bool expected)
    { return c.test.kind == kind && c.expected == expected; };
    if ((is(a, "PlayerHaveBall", true) && is(b, "TeamHaveBall", false)) ||
        (is(b, "PlayerHaveBall", true) && is(a, "TeamHaveBall", false)))
    {
        return true;
    }
    const auto disjoint = [&](const char* kind, const char* low, const char* high)
    {
        return is(a, kind, true) && is(b, kind, true) &&
               (a.test.Number(high) < b.test.Number(low) || b.test.Number(high) < a.test.Number(low));
    };
    return disjoint("BallInZone", "from", "to") || disjoint("ScoreDifference", "atLeast", "atMost");
}

// The pair of conditions of the link that contradict each other, if any.
bool Contradictory(const CompiledLink& link, std::size_t& first, std::size_t& second)
{
    for (first = 0; first < link.conditions.size(); ++first)
    {
        for (second = first + 1; second < link.conditions.size(); ++second)
        {
            if (Contradict(link.conditions[first], link.conditions[second]))
            {
                return true;
            }
        }
    }
    return false;
}

// Whenever every condition of `later` is met, so is every one of `earlier`'s: `later` is never taken.
bool Covers(const CompiledLink& earlier, const CompiledLink& later)
{
    for (const TacticCondition& needed : earlier.conditions)
    {
        bool found = false;
        for (const TacticCondition& given : later.conditions)
        {
            found = found || Same(needed, given);
        }
        if (!found)
        {
            return false;
        }
    }
    return true;
}

// Marks each link that can be taken, and warns about the others.
std::vector<std::vector<bool>> LiveLinks(const CompiledTactic& compiled, std::vector<TacticProblem>& warnings)
{
    std::vector<std::vector<bool>> live(compiled.states.size());
    for (std::size_t state = 0; state < compiled.states.size(); ++state)
    {
        const auto& links = compiled.states[state].links;
        live[state].assign(links.size(), true);
        for (std::size_t link = 0; link < links.size(); ++link)
        {
            std::size_t a = 0;
            std::size_t b = 0;
            if (Contradictory(links[link], a, b))
            {
                live[state][link] = false;
                warnings.push_back({LinkPlace(state, link), "conditions " + std::to_string(a) + " and " +
                                                                std::to_string(b) +
                                                                " cannot both be met: the link is never taken"});
                continue;
            }
            for (std::size_t before = 0; before < link && live[state][link]; ++before)
            {
                if (live[state][before] && Covers(links[before], links[link]))
                {
                    live[state][link] = false;
                    warnings.push_back(
                        {LinkPlace(state, link),
                         "never taken: link " + std::to_string(before) + " (to \"" +
                             compiled.states[static_cast<std::size_t>(links[before].target)].name + "\") comes first" +
                             (links[before].conditions.empty() ? " and has no condition"
                                                               : " and its conditions are all among this one's")});
                }
            }
        }
    }
    return live;
}

std::vector<bool> Reached(const CompiledTactic& compiled, const std::vector<std::vector<bool>>& live)
{
    std::vector<bool> reached(compiled.states.size(), false);
    std::vector<int> toVisit{compiled.start};
    reached[static_cast<std::size_t>(compiled.start)] = true;
    while (!toVisit.empty())
    {
        const auto state = static_cast<std::size_t>(toVisit.back());
        toVisit.pop_back();
        const auto& links = compiled.states[state].links;
        for (std::size_t link = 0; link < links.size(); ++link)
        {
            const auto target = static_cast<std::size_t>(links[link].target);
            if (live[state][link] && !reached[target])
            {
                reached[target] = true;
                toVisit.push_back(links[link].target);
            }
        }
    }
    return reached;
}

// An action that takes a carrier over the opponents' line: Attack, or a Hold spot beyond the try line.
bool RunsForTheLine(const CompiledState& state)
{
    if (const auto* hold = std::get_if<HoldStep>(&state.step))
    {
        return hold->depth >= 0.9f;
    }
    return std::holds_alternative<AttackStep>(state.step);
}
} // namespace

std::vector<TacticProblem> GraphWarnings(const CompiledTactic& compiled)
{
    std::vector<TacticProblem> warnings;
    const auto live = LiveLinks(compiled, warnings);
    const std::vector<bool> reached = Reached(compiled, live);
    bool forward = false;
    for (std::size_t state = 0; state < compiled.states.size(); ++state)
    {
        const std::string place = "/states/" + std::to_string(state);
        const std::string quoted = "\"" + compiled.states[state].name + "\"";
        if (!reached[state])
        {
            warnings.push_back({place, "state " + quoted + " is never reached from the start state"});
            continue;
        }
        forward = forward || RunsForTheLine(compiled.states[state]);
        bool leaves = false;
        for (std::size_t link = 0; link < live[state].size(); ++link)
        {
            leaves = leaves || (live[state][link] && compiled.states[state].links[link].target != static_cast<int>(state));
        }
        if (!leaves)
        {
            warnings.push_back({place, "state " + quoted + " is a dead end: no link that can be taken leads out of it, "
                                       "so a player who enters it stays there for the rest of the match"});
        }
    }
    if (!forward)
    {
        warnings.push_back({"/states", "no state a player reaches runs Attack (or Holds at a depth of 0.9 or more): "
                                       "a carrier never runs for the opponents' line"});
    }
    return warnings;
}

} // namespace tryzone
