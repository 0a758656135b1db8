#include "cli/TacticsGraph.h"

#include "tactics/TacticCatalogue.h"

#include <graphviz/gvc.h>
#include <iterator>
#include <sstream>

namespace tryzone
{

namespace
{
// A string as a DOT quoted string holds it.
std::string Quote(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text)
    {
        if (c == '\n')
        {
            quoted += "\\n";
            continue;
        }
        if (c == '"' || c == '\\')
        {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

std::string Value(const ParameterValue& value)
{
    if (const auto* number = std::get_if<double>(&value))
    {
        std::ostringstream text;
        text << *number;
        return text.str();
    }
    return std::get<std::string>(value);
}

// The step with the parameters it sets away from their defaults: what the designer chose.
std::string Step(const TacticStep& step)
{
    const TacticStep defaults = DefaultStep(step.kind);
    std::string chosen;
    for (std::size_t i = 0; i < step.parameters.size(); ++i)
    {
        const bool isDefault = i < defaults.parameters.size() && defaults.parameters[i] == step.parameters[i];
        if (!isDefault)
        {
            chosen += (chosen.empty() ? "" : ", ") + step.parameters[i].name + " " + Value(step.parameters[i].value);
        }
    }
    return chosen.empty() ? step.kind : step.kind + "(" + chosen + ")";
}

// Arrows take their state's colour, and so do their labels, so that each label reads with its arrow.
constexpr const char* kColours[] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#ff7f0e", "#8c564b",
                                    "#e377c2", "#17becf", "#7f7f7f", "#bcbd22"};

std::string LinkLabel(std::size_t link, const CompiledLink& compiled)
{
    std::string label = std::to_string(link + 1) + ". ";
    if (compiled.conditions.empty())
    {
        return label + "always";
    }
    for (std::size_t i = 0; i < compiled.conditions.size(); ++i)
    {
        const TacticCondition& condition = compiled.conditions[i];
        label += (i == 0 ? "" : "\n   and ") + std::string(condition.expected ? "" : "not ") + Step(condition.test);
    }
    return label;
}
} // namespace

std::string TacticDot(const CompiledTactic& tactic)
{
    std::ostringstream dot;
    // At 96 dots an inch, 13.3 inches is a 1280-pixel screen: a larger graph is scaled down to it.
    dot << "digraph tactic {\n"
        << "  graph [rankdir=TB, fontname=\"sans\", nodesep=0.4, ranksep=0.6, size=\"13.3,13.3\", dpi=96];\n"
        << "  node [shape=box, style=\"rounded,filled\", fillcolor=\"#eef2fb\", fontname=\"sans\", fontsize=16];\n"
        << "  edge [fontname=\"sans\", fontsize=13, decorate=true, penwidth=1.4];\n";
    for (std::size_t state = 0; state < tactic.states.size(); ++state)
    {
        const CompiledState& node = tactic.states[state];
        const std::string action = Step(node.action);
        dot << "  s" << state << " [label=" << Quote(action == node.name ? node.name : node.name + "\n" + action)
            << (static_cast<int>(state) == tactic.start ? ", penwidth=3" : "") << "];\n";
    }
    for (std::size_t state = 0; state < tactic.states.size(); ++state)
    {
        const auto& links = tactic.states[state].links;
        const char* colour = kColours[state % std::size(kColours)];
        for (std::size_t link = 0; link < links.size(); ++link)
        {
            dot << "  s" << state << " -> s" << links[link].target << " [label=" << Quote(LinkLabel(link, links[link]))
                << ", color=\"" << colour << "\", fontcolor=\"" << colour << "\"];\n";
        }
    }
    dot << "}\n";
    return dot.str();
}

Expected<std::string> DrawTactic(const CompiledTactic& tactic, const std::string& format)
{
    const std::string dot = TacticDot(tactic);
    GVC_t* context = gvContext();
    Agraph_t* graph = agmemread(dot.c_str());
    if (graph == nullptr)
    {
        gvFreeContext(context);
        return Unexpected{"Graphviz could not read the graph"};
    }
    Expected<std::string> picture = Unexpected{"Graphviz could not lay the graph out"};
    if (gvLayout(context, graph, "dot") == 0)
    {
        char* data = nullptr;
        unsigned int length = 0;
        const bool drawn = gvRenderData(context, graph, format.c_str(), &data, &length) == 0 && data != nullptr;
        picture =
            drawn ? Expected<std::string>(std::string(data, length))
                  : Unexpected{"Graphviz cannot draw " + format + " here (is the Debian package graphviz installed?)"};
        gvFreeRenderData(data);
        gvFreeLayout(context, graph);
    }
    agclose(graph);
    gvFreeContext(context);
    return picture;
}

} // namespace tryzone
