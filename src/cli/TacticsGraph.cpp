#include "cli/TacticsGraph.h"

#include "tactics/TacticCatalogue.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
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
constexpr const char* kColours[] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#ff7f0e",
                                    "#8c564b", "#e377c2", "#17becf", "#7f7f7f", "#bcbd22"};

std::string LinkLabel(std::size_t link, const CompiledLink& compiled, const std::string& fired)
{
    std::string label = std::to_string(link + 1) + ". " + fired;
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
// The share as a percentage with one decimal.
std::string Percent(double share)
{
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.1f%%", 100.0 * share);
    return text.data();
}

// From white to a deep blue as the depth grows from 0 to 1.
std::string Shade(double share)
{
    const auto channel = [share](int full, int deep)
    { return static_cast<int>(std::lround(full + (deep - full) * std::clamp(share, 0.0, 1.0))); };
    std::array<char, 16> colour{};
    std::snprintf(colour.data(), colour.size(), "#%02x%02x%02x", channel(0xff, 0x3b), channel(0xff, 0x6f),
                  channel(0xff, 0xc4));
    return colour.data();
}

// What telemetry adds to the drawing: the states' shares and the links' firings, the greatest as a scale.
struct Numbers
{
    std::vector<double> shares;
    double mostShare = 0.0;
    std::int64_t mostFirings = 0;
};

Numbers Scale(const CompiledTactic& tactic, const TacticTelemetry& telemetry)
{
    Numbers numbers;
    std::int64_t whole = 0;
    for (std::size_t state = 0; state < tactic.states.size(); ++state)
    {
        whole += telemetry.StateFrames(state);
        for (std::size_t link = 0; link < tactic.states[state].links.size(); ++link)
        {
            numbers.mostFirings = std::max(numbers.mostFirings, telemetry.Firings(state, link));
        }
    }
    for (std::size_t state = 0; state < tactic.states.size(); ++state)
    {
        numbers.shares.push_back(
            whole > 0 ? static_cast<double>(telemetry.StateFrames(state)) / static_cast<double>(whole) : 0.0);
        numbers.mostShare = std::max(numbers.mostShare, numbers.shares.back());
    }
    return numbers;
}
} // namespace

std::string TacticDot(const CompiledTactic& tactic, const TacticTelemetry* telemetry)
{
    std::ostringstream dot;
    // At 96 dots an inch, 13.3 inches is a 1280-pixel screen: a larger graph is scaled down to it.
    dot << "digraph tactic {\n"
        << "  graph [rankdir=TB, fontname=\"sans\", nodesep=0.4, ranksep=0.6, size=\"13.3,13.3\", dpi=96];\n"
        << "  node [shape=box, style=\"rounded,filled\", fillcolor=\"#eef2fb\", fontname=\"sans\", fontsize=16];\n"
        << "  edge [fontname=\"sans\", fontsize=13, decorate=true, penwidth=1.4];\n";
    const Numbers numbers = telemetry != nullptr ? Scale(tactic, *telemetry) : Numbers{};
    for (std::size_t state = 0; state < tactic.states.size(); ++state)
    {
        const CompiledState& node = tactic.states[state];
        const std::string action = Step(node.action);
        std::string label = action == node.name ? node.name : node.name + "\n" + action;
        dot << "  s" << state;
        if (telemetry != nullptr)
        {
            // The busiest state deepest: shares seldom pass a half, and the eye compares shades.
            const double share = numbers.shares[state];
            const double depth = numbers.mostShare > 0.0 ? share / numbers.mostShare : 0.0;
            label += "\n" + Percent(share) + " of the time";
            dot << " [fillcolor=\"" << Shade(depth) << "\"" << (depth > 0.6 ? ", fontcolor=white" : "") << "]";
        }
        dot << " [label=" << Quote(label) << (static_cast<int>(state) == tactic.start ? ", penwidth=3" : "") << "];\n";
    }
    for (std::size_t state = 0; state < tactic.states.size(); ++state)
    {
        const auto& links = tactic.states[state].links;
        const char* colour = kColours[state % std::size(kColours)];
        for (std::size_t link = 0; link < links.size(); ++link)
        {
            std::string fired;
            double pen = 1.4;
            if (telemetry != nullptr)
            {
                const std::int64_t firings = telemetry->Firings(state, link);
                fired = "[" + std::to_string(firings) + (firings == 1 ? " time] " : " times] ");
                // From a hairline for a link never taken to 8 points for the busiest.
                pen = numbers.mostFirings > 0
                          ? 0.5 + 7.5 * static_cast<double>(firings) / static_cast<double>(numbers.mostFirings)
                          : 0.5;
            }
            dot << "  s" << state << " -> s" << links[link].target
                << " [label=" << Quote(LinkLabel(link, links[link], fired)) << ", color=\"" << colour
                << "\", fontcolor=\"" << colour << "\", penwidth=" << pen << "];\n";
        }
    }
    dot << "}\n";
    return dot.str();
}

Expected<std::string> DrawTactic(const CompiledTactic& tactic, const std::string& format,
                                 const TacticTelemetry* numbers)
{
    const std::string dot = TacticDot(tactic, numbers);
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
