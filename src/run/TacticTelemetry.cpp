#include "run/TacticTelemetry.h"

#include "behaviour/Player.h"
#include "match/RugbyScene.h"
#include "run/MatchRecorder.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tryzone
{

using nlohmann::ordered_json;

namespace
{
void AddCounts(std::vector<std::int64_t>& into, const std::vector<std::int64_t>& from)
{
    into.resize(std::max(into.size(), from.size()));
    for (std::size_t i = 0; i < from.size(); ++i)
    {
        into[i] += from[i];
    }
}

std::vector<std::int64_t> CountsFromJson(const ordered_json& json)
{
    std::vector<std::int64_t> counts = json.get<std::vector<std::int64_t>>();
    if (std::any_of(counts.begin(), counts.end(), [](std::int64_t count) { return count < 0; }))
    {
        throw std::out_of_range("a negative count");
    }
    return counts;
}
} // namespace

std::int64_t TacticTelemetry::StateFrames(std::size_t state) const
{
    return state < stateFrames.size() ? stateFrames[state] : 0;
}

std::int64_t TacticTelemetry::Firings(std::size_t state, std::size_t link) const
{
    return state < linkFirings.size() && link < linkFirings[state].size() ? linkFirings[state][link] : 0;
}

TacticTelemetry& TacticTelemetry::operator+=(const TacticTelemetry& other)
{
    AddCounts(stateFrames, other.stateFrames);
    linkFirings.resize(std::max(linkFirings.size(), other.linkFirings.size()));
    for (std::size_t state = 0; state < other.linkFirings.size(); ++state)
    {
        AddCounts(linkFirings[state], other.linkFirings[state]);
    }
    return *this;
}

std::array<TacticTelemetry, 2> ReadTelemetry(const RugbyScene& scene)
{
    std::array<TacticTelemetry, 2> sides;
    for (const Player* player : scene.players)
    {
        if (player == nullptr)
        {
            continue;
        }
        TacticTelemetry one;
        for (const auto& node : player->stateGraph.states)
        {
            one.stateFrames.push_back(node != nullptr ? node->updates : 0);
            std::vector<std::int64_t>& firings = one.linkFirings.emplace_back();
            for (std::size_t link = 0; node != nullptr && link < node->links.size(); ++link)
            {
                firings.push_back(node->links[link]->firings);
            }
        }
        sides[static_cast<std::size_t>(SideOf(scene, *player))] += one;
    }
    return sides;
}

ordered_json TelemetryToJson(const TacticTelemetry& telemetry)
{
    return {{"state_frames", telemetry.stateFrames}, {"link_firings", telemetry.linkFirings}};
}

TacticTelemetry TelemetryFromJson(const ordered_json& json)
{
    TacticTelemetry telemetry;
    telemetry.stateFrames = CountsFromJson(json.at("state_frames"));
    for (const ordered_json& state : json.at("link_firings"))
    {
        telemetry.linkFirings.push_back(CountsFromJson(state));
    }
    return telemetry;
}

ordered_json TelemetryAsJson(const CompiledTactic& tactic, const TacticTelemetry& telemetry)
{
    std::int64_t whole = 0;
    for (const std::int64_t frames : telemetry.stateFrames)
    {
        whole += frames;
    }
    ordered_json states = ordered_json::array();
    ordered_json links = ordered_json::array();
    for (std::size_t state = 0; state < tactic.states.size(); ++state)
    {
        const std::int64_t frames = telemetry.StateFrames(state);
        const double share = whole > 0 ? static_cast<double>(frames) / static_cast<double>(whole) : 0.0;
        const std::string& name = tactic.states[state].name;
        states.push_back({{"state", name}, {"share", std::round(share * 1e6) / 1e6}, {"player_frames", frames}});
        for (std::size_t link = 0; link < tactic.states[state].links.size(); ++link)
        {
            links.push_back({{"from", name},
                             {"link", link + 1},
                             {"to", tactic.StateName(tactic.states[state].links[link].target)},
                             {"firings", telemetry.Firings(state, link)}});
        }
    }
    return {{"player_frames", whole}, {"states", states}, {"links", links}};
}

Expected<TacticTelemetry> TelemetryFromNamed(const CompiledTactic& tactic, const ordered_json& named)
{
    TacticTelemetry telemetry;
    try
    {
        const ordered_json& states = named.at("states");
        const ordered_json& links = named.at("links");
        std::size_t next = 0;
        for (std::size_t state = 0; state < tactic.states.size(); ++state)
        {
            const std::string& name = tactic.states[state].name;
            if (state >= states.size() || states[state].at("state").get<std::string>() != name)
            {
                return Unexpected{"its numbers are not of this tactic: no state " + name + " at " +
                                  std::to_string(state + 1)};
            }
            telemetry.stateFrames.push_back(states[state].at("player_frames").get<std::int64_t>());
            auto& firings = telemetry.linkFirings.emplace_back();
            for (std::size_t link = 0; link < tactic.states[state].links.size(); ++link, ++next)
            {
                if (next >= links.size() || links[next].at("from").get<std::string>() != name ||
                    links[next].at("link").get<std::size_t>() != link + 1)
                {
                    return Unexpected{"its numbers are not of this tactic: no link " + std::to_string(link + 1) +
                                      " of " + name};
                }
                firings.push_back(links[next].at("firings").get<std::int64_t>());
            }
        }
    }
    catch (const nlohmann::json::exception& error)
    {
        return Unexpected{std::string("its numbers are not telemetry (") + error.what() + ")"};
    }
    return telemetry;
}

} // namespace tryzone
