#include "run/Recording.h"

#include "core/GameHost.h"
#include "files/Descriptor.h"
#include "laws/Laws.h"
#include "run/MatchTimeline.h"
#include "run/RecordingNames.h"
#include "settings/ConsoleText.h"
#include "settings/PlayersConfig.h"
#include "settings/RegularFile.h"
#include "tactics/TacticsFile.h"

#include <SFML/Window/Event.hpp>
#include <array>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <unistd.h>

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
                       MatchNumbering numbering, const nlohmann::ordered_json& brains)
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
    if (!brains.is_null())
    {
        line["brains"] = brains;
    }
    return line.dump() + '\n';
}

MatchInput OrderInput(std::int64_t frame, int slot, const PlayerOrder& order)
{
    MatchInput input;
    input.frame = frame;
    input.kind = InputKind::Order;
    input.slot = slot;
    input.order = order;
    return input;
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

// Beside the lines it writes: the timeline's recording of the match so far, in a file of its own.
int MatchTimeline::Save(const std::string& path) const
{
    std::string text = HeaderLine(seed, firstPlayers, firstTactics, numbering, brainsKept);
    for (const MatchInput& input : history)
    {
        if (input.frame <= Frame())
        {
            text += InputLine(input);
        }
    }
    text += EndLine(Frame());
    // O_EXCL and O_NOFOLLOW: neither a file nor a link already at path is written over or through.
    Descriptor saved(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!saved.IsOpen())
    {
        return errno;
    }
    const bool written = WriteAll(saved.Get(), text);
    const int error = written ? 0 : errno;
    if (!saved.Close() || !written)
    {
        ::unlink(path.c_str());
        return error != 0 ? error : EIO;
    }
    return 0;
}

} // namespace tryzone
