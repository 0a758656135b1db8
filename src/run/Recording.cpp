#include "run/Recording.h"

#include "core/GameHost.h"
#include "laws/Laws.h"
#include "run/RecordingNames.h"
#include "settings/ConsoleText.h"
#include "settings/PlayersConfig.h"
#include "settings/RegularFile.h"
#include "tactics/TacticsFile.h"

#include <SFML/Window/Event.hpp>
#include <array>
#include <cmath>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

namespace tryzone
{

namespace
{
using nlohmann::json;

json PlayersJson(const std::vector<PlayerSettings>& players)
{
    json list = json::array();
    for (const PlayerSettings& player : players)
    {
        list.push_back(RecordToJson(player));
    }
    return list;
}

json TacticsJson(const MatchTactics& tactics)
{
    const auto team = [](const std::shared_ptr<const CompiledTactic>& tactic)
    { return tactic == nullptr ? json(nullptr) : json(TacticToJson(tactic->source)); };
    return {{"blue", team(tactics.blue)}, {"red", team(tactics.red)}};
}
} // namespace

std::optional<MatchInput> InputFromEvent(const sf::Event& event, bool debugMode, std::int64_t frame)
{
    MatchInput input;
    input.frame = frame;
    if (event.type == sf::Event::KeyPressed && event.key.code == sf::Keyboard::Numpad5)
    {
        input.kind = InputKind::Debug;
        return input;
    }
    if (!debugMode)
    {
        return std::nullopt;
    }
    if (event.type == sf::Event::KeyPressed && event.key.code == sf::Keyboard::E)
    {
        input.kind = InputKind::Hand;
        return input;
    }
    if (event.type != sf::Event::MouseButtonPressed && event.type != sf::Event::MouseButtonReleased)
    {
        return std::nullopt;
    }
    // Press and release act alike, so both are recorded, as presses.
    switch (event.mouseButton.button)
    {
    case sf::Mouse::Right:
        input.kind = InputKind::Pick;
        break;
    case sf::Mouse::Left:
        input.kind = InputKind::Steer;
        break;
    case sf::Mouse::Middle:
        input.kind = InputKind::Receiver;
        break;
    default:
        return std::nullopt;
    }
    input.x = event.mouseButton.x;
    input.y = event.mouseButton.y;
    return input;
}

sf::Event EventFromInput(const MatchInput& input)
{
    sf::Event event{};
    if (IsMouse(input.kind))
    {
        event.type = sf::Event::MouseButtonPressed;
        event.mouseButton.button = input.kind == InputKind::Pick    ? sf::Mouse::Right
                                   : input.kind == InputKind::Steer ? sf::Mouse::Left
                                                                    : sf::Mouse::Middle;
        event.mouseButton.x = input.x;
        event.mouseButton.y = input.y;
        return event;
    }
    event.type = sf::Event::KeyPressed;
    event.key = {input.kind == InputKind::Hand ? sf::Keyboard::E : sf::Keyboard::Numpad5, false, false, false, false};
    return event;
}

std::string HeaderLine(std::uint32_t seed, const std::vector<PlayerSettings>& players, const MatchTactics& tactics,
                       MatchNumbering numbering)
{
    nlohmann::ordered_json line = {{"format", kRecordingFormat}, {"version", kRecordingVersion}, {"seed", seed}};
    // Optional, so that older recordings, and matches of no set length, read and write as they always did.
    if (numbering.matchFrames > 0)
    {
        line["match_frames"] = numbering.matchFrames;
    }
    if (numbering.firstMatch != 1)
    {
        line["match"] = numbering.firstMatch;
    }
    line["players"] = PlayersJson(players);
    if (tactics.Any())
    {
        line["tactics"] = TacticsJson(tactics);
    }
    if (tactics.laws != nullptr)
    {
        line["laws"] = LawsToJson(*tactics.laws);
    }
    return line.dump() + '\n';
}

std::string InputLine(const MatchInput& input)
{
    nlohmann::ordered_json line = {{"frame", input.frame}, {"input", kKindNames[static_cast<std::size_t>(input.kind)]}};
    if (IsMouse(input.kind))
    {
        line["x"] = input.x;
        line["y"] = input.y;
    }
    if (input.kind == InputKind::FrameTime)
    {
        line["seconds"] = static_cast<double>(input.frameTime);
    }
    if (input.kind == InputKind::Reload)
    {
        line["players"] = PlayersJson(input.players);
        if (input.tactics.Any())
        {
            line["tactics"] = TacticsJson(input.tactics);
        }
        if (input.tactics.laws != nullptr)
        {
            line["laws"] = LawsToJson(*input.tactics.laws);
        }
    }
    if (input.kind == InputKind::Order)
    {
        line["slot"] = input.slot;
        line["order"] = kOrderNames[static_cast<std::size_t>(input.order.kind)];
        if (input.order.kind == OrderKind::Move)
        {
            line["x"] = input.order.x;
            line["y"] = input.order.y;
        }
        if (input.order.kind == OrderKind::Pass)
        {
            line["to"] = input.order.x;
        }
    }
    return line.dump() + '\n';
}

std::string EndLine(std::int64_t frame)
{
    return nlohmann::ordered_json{{"end", frame}}.dump() + '\n';
}

} // namespace tryzone
