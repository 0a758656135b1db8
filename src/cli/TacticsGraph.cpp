#include "cli/TacticsGraph.h"

#include <graphviz/gvc.h>
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

std::string Step(const TacticStep& step)
{
    std::string text = step.kind;
    for (std::size_t i = 0; i < step.parameters.size(); ++i)
    {
        text += (i == 0 ? "(" : ", ") + step.parameters[i].name + " " + Value(step.parameters[i].value);
    }
    return step.parameters.empty() ? text : text + ")";
}
} // namespace

std::string TacticDot(const CompiledTactic& tactic)
{
    std::ostringstream dot;
    dot << "digraph tactic {\n"
        << "  graph [rankdir=LR, fontname=\"sans\", nodesep=0.5, ranksep=1.1];\n"
        << "  node [shape=box, style=\"rounded,filled\", fillcolor=\"#eef2fb\", fontname=\"sans\"];\n"
        << "  edge [fontname=\"sans\", fontsize=10];\n";
    for (std::size_t state = 0; state < tactic.states.size(); ++state)
    {
        const CompiledState& node = tactic.states[state];
        dot << "  s" << state << " [label=" << Quote(node.name + "\n" + Step(node.action))
            << (static_cast<int>(state) == tactic.start ? ", penwidth=2.5" : "") << "];\n";
    }
    for (std::size_t state = 0; state < tactic.states.size(); ++state)
    {
        const auto& links = tactic.states[state].links;
        for (std::size_t link = 0; link < links.size(); ++link)
        {
            std::string label = std::to_string(link + 1) + ".";
            for (const TacticCondition& condition : links[link].conditions)
            {
                label += std::string("\n") + (condition.expected ? "" : "not ") + Step(condition.test);
            }
            if (links[link].conditions.empty())
            {
                label += " always";
            }
            dot << "  s" << state << " -> s" << links[link].target << " [label=" << Quote(label) << "];\n";
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
