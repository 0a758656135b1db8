#include "tactics/TacticChanges.h"

#include "tactics/DefaultTactic.h"

namespace tryzone
{

namespace
{
const TacticState* Named(const Tactic& tactic, const std::string& name)
{
    for (const TacticState& state : tactic.states)
    {
        if (state.name == name)
        {
            return &state;
        }
    }
    return nullptr;
}

std::string Links(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " link" : " links");
}

// The state's changes beside its earlier self: its action, then each link by its number.
void StateChanges(const TacticState& was, const TacticState& now, std::vector<std::string>& lines)
{
    const std::string name = "state \"" + now.name + "\"";
    if (!(was.action == now.action))
    {
        lines.push_back(name + ": action changed" +
                        (was.action.kind == now.action.kind ? " (" + now.action.kind + " parameters)"
                                                            : " (" + was.action.kind + " -> " + now.action.kind + ")"));
    }
    const std::size_t common = std::min(was.links.size(), now.links.size());
    for (std::size_t link = 0; link < common; ++link)
    {
        if (!(was.links[link] == now.links[link]))
        {
            const std::string target = was.links[link].target == now.links[link].target
                                           ? "to \"" + now.links[link].target + "\""
                                           : "now to \"" + now.links[link].target + "\"";
            lines.push_back(name + ": link " + std::to_string(link + 1) + " " + target + " changed");
        }
    }
    if (was.links.size() != now.links.size())
    {
        lines.push_back(name + ": " + Links(was.links.size()) + " -> " + Links(now.links.size()));
    }
}
} // namespace

std::vector<std::string> TacticChanges(const CompiledTactic* before, const CompiledTactic* now)
{
    const Tactic& was = (before != nullptr ? *before : DefaultTactic()).source;
    const Tactic& is = (now != nullptr ? *now : DefaultTactic()).source;
    std::vector<std::string> lines;
    if (was.start != is.start)
    {
        lines.push_back("start \"" + was.start + "\" -> \"" + is.start + "\"");
    }
    for (const TacticState& state : was.states)
    {
        if (Named(is, state.name) == nullptr)
        {
            lines.push_back("state \"" + state.name + "\" removed");
        }
    }
    for (const TacticState& state : is.states)
    {
        const TacticState* earlier = Named(was, state.name);
        if (earlier == nullptr)
        {
            lines.push_back("state \"" + state.name + "\" added (" + state.action.kind + ", " +
                            Links(state.links.size()) + ")");
        }
        else
        {
            StateChanges(*earlier, state, lines);
        }
    }
    return lines;
}

} // namespace tryzone
