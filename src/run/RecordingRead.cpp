#include "core/GameHost.h"
#include "laws/Laws.h"
#include "run/Recording.h"
#include "run/RecordingNames.h"
#include "settings/ConsoleText.h"
#include "settings/PlayersConfig.h"
#include "settings/RegularFile.h"
#include "shape/MatchShape.h"
#include "tactics/TacticsFile.h"

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

namespace tryzone
{

namespace
{
using nlohmann::json;

bool IsFloat(const json& value)
{
    return value.is_number() && std::isfinite(value.get<double>()) &&
           std::fabs(value.get<double>()) <= static_cast<double>(std::numeric_limits<float>::max());
}

// Ten players, each as the settings file would give it.
std::optional<std::vector<PlayerSettings>> PlayersFromJson(const json& list)
{
    if (!list.is_array() || list.size() != kPlayerSlots)
    {
        return std::nullopt;
    }
    std::vector<PlayerSettings> players;
    for (const json& entry : list)
    {
        std::optional<PlayerSettings> player = RecordFromJson(entry);
        if (!player)
        {
            return std::nullopt;
        }
        players.push_back(*player);
    }
    return players;
}

bool IsIntIn(const json& line, const char* key, int min, int max)
{
    return line.contains(key) && line[key].is_number_integer() && line[key].get<std::int64_t>() >= min &&
           line[key].get<std::int64_t>() <= max;
}

// An order's slot, kind and arguments into input; a reason when they are not whole.
Expected<void> ParseOrder(const json& line, MatchInput& input)
{
    if (!IsIntIn(line, "slot", 0, 9))
    {
        return Unexpected{"an order without its player's slot"};
    }
    input.slot = line["slot"].get<int>();
    std::size_t index = 0;
    while (line.contains("order") && index < kOrderNames.size() && line["order"] != kOrderNames[index])
    {
        ++index;
    }
    if (index == kOrderNames.size() || !line.contains("order"))
    {
        return Unexpected{"an unknown order"};
    }
    input.order.kind = static_cast<OrderKind>(index);
    constexpr int kLimit = std::numeric_limits<int>::max();
    if (input.order.kind == OrderKind::Move)
    {
        if (!IsIntIn(line, "x", -kLimit, kLimit) || !IsIntIn(line, "y", -kLimit, kLimit))
        {
            return Unexpected{"a move without its point"};
        }
        input.order.x = line["x"].get<int>();
        input.order.y = line["y"].get<int>();
    }
    if (input.order.kind == OrderKind::Pass)
    {
        if (!IsIntIn(line, "to", -1, 9))
        {
            return Unexpected{"a pass without its receiver"};
        }
        input.order.x = line["to"].get<int>();
    }
    return {};
}

// The laws a line keeps, when it keeps any: none means the game's own.
Expected<void> ReadLaws(const json& line, MatchTactics& tactics)
{
    if (!line.contains("laws"))
    {
        return {};
    }
    Expected<Laws> laws = LawsFromJson(line["laws"], "laws");
    if (!laws)
    {
        return Unexpected{"laws that do not validate (" + laws.Reason() + ")"};
    }
    tactics.laws = AreGameLaws(*laws) ? nullptr : std::make_shared<const Laws>(*laws);
    return {};
}

// The tactics and laws a line keeps, when it keeps any: none means the default tactic for both teams.
Expected<void> ReadTactics(const json& line, MatchTactics& tactics)
{
    if (auto laws = ReadLaws(line, tactics); !laws)
    {
        return laws;
    }
    if (!line.contains("tactics"))
    {
        return {};
    }
    const json& kept = line["tactics"];
    for (const auto& [side, tactic] : {std::pair{"blue", &tactics.blue}, std::pair{"red", &tactics.red}})
    {
        if (!kept.is_object() || !kept.contains(side))
        {
            return Unexpected{"tactics that do not validate"};
        }
        if (!kept[side].is_null())
        {
            TacticsRead read = TacticsFromJson(kept[side], std::string(side) + " tactics");
            if (read.tactic == nullptr)
            {
                return Unexpected{"tactics that do not validate (" + read.error + ")"};
            }
            *tactic = std::move(read.tactic);
        }
    }
    return {};
}

// The input on one line after the header; a reason when it is not one.
Expected<MatchInput> ParseInput(const json& line)
{
    MatchInput input;
    if (!line.contains("frame") || !line["frame"].is_number_integer() || line["frame"].get<std::int64_t>() < 1)
    {
        return Unexpected{"no frame number"};
    }
    if (line["frame"].is_number_unsigned() && line["frame"].get<std::uint64_t>() > kMaxRecordingFrames)
    {
        return Unexpected{"a frame past " + std::to_string(kMaxRecordingFrames)};
    }
    input.frame = line["frame"].get<std::int64_t>();
    const json* kind = line.contains("input") && line["input"].is_string() ? &line["input"] : nullptr;
    std::size_t index = 0;
    while (kind != nullptr && index < kKindNames.size() && *kind != kKindNames[index])
    {
        ++index;
    }
    if (kind == nullptr || index == kKindNames.size())
    {
        return Unexpected{"unknown input"};
    }
    input.kind = static_cast<InputKind>(index);
    if (IsMouse(input.kind))
    {
        if (!line.contains("x") || !line["x"].is_number_integer() || !line.contains("y") ||
            !line["y"].is_number_integer())
        {
            return Unexpected{"a click without its point"};
        }
        input.x = line["x"].get<int>();
        input.y = line["y"].get<int>();
    }
    if (input.kind == InputKind::FrameTime)
    {
        // The game records measured frame times, which are capped.
        if (!line.contains("seconds") || !IsFloat(line["seconds"]) || line["seconds"].get<double>() < 0.0 ||
            line["seconds"].get<double>() > static_cast<double>(kMaxFrameTime))
        {
            return Unexpected{"a frame time that is not from 0 to the capped frame time"};
        }
        input.frameTime = line["seconds"].get<float>();
    }
    if (input.kind == InputKind::Order)
    {
        if (auto parsed = ParseOrder(line, input); !parsed)
        {
            return parsed.Error();
        }
    }
    if (input.kind == InputKind::Reload)
    {
        auto players = PlayersFromJson(line.contains("players") ? line["players"] : json());
        if (!players)
        {
            return Unexpected{"reloaded settings that do not validate"};
        }
        input.players = std::move(*players);
        if (auto read = ReadTactics(line, input.tactics); !read)
        {
            return read.Error();
        }
    }
    return input;
}
// The first line: format, version, seed and players; the reason it is refused, if it is.
Expected<void> ReadHeader(const json& line, Recording& recording)
{
    if (!line.contains("format") || line["format"] != kRecordingFormat)
    {
        return Unexpected{"not a TryZone recording"};
    }
    if (!line.contains("version") || line["version"] != kRecordingVersion)
    {
        return Unexpected{"recording version " +
                          (line.contains("version") ? ConsoleText(line["version"].dump(), 40) : "none") +
                          ", this game plays version " + std::to_string(kRecordingVersion)};
    }
    if (!line.contains("seed"))
    {
        return Unexpected{"no seed"};
    }
    if (!line["seed"].is_number_unsigned() ||
        line["seed"].get<std::uint64_t>() > std::numeric_limits<std::uint32_t>::max())
    {
        return Unexpected{"seed " + ConsoleText(line["seed"].dump(), 40) + " is not a whole number from 0 to " +
                          std::to_string(std::numeric_limits<std::uint32_t>::max())};
    }
    recording.seed = line["seed"].get<std::uint32_t>();
    if (line.contains("match_frames"))
    {
        const json& frames = line["match_frames"];
        if (!frames.is_number_unsigned() || frames.get<std::uint64_t>() < 1 ||
            frames.get<std::uint64_t>() > kMaxRecordingFrames)
        {
            return Unexpected{"a match length (match_frames) that is not from 1 to " +
                              std::to_string(kMaxRecordingFrames)};
        }
        recording.numbering.matchFrames = frames.get<std::int64_t>();
    }
    if (line.contains("match"))
    {
        const json& match = line["match"];
        if (!match.is_number_unsigned() || match.get<std::uint64_t>() < 1 || match.get<std::uint64_t>() > kMaxMatch)
        {
            return Unexpected{"a match number that is not from 1 to " + std::to_string(kMaxMatch)};
        }
        recording.numbering.firstMatch = match.get<int>();
    }
    auto players = PlayersFromJson(line.contains("players") ? line["players"] : json());
    if (!players)
    {
        return Unexpected{"settings that do not validate"};
    }
    recording.players = std::move(*players);
    // Read whole by the brains' own reader when they are to play.
    if (line.contains("brains"))
    {
        if (!line["brains"].is_object())
        {
            return Unexpected{"brains that are not described as a run describes them"};
        }
        recording.brains = nlohmann::ordered_json::parse(line["brains"].dump());
    }
    return ReadTactics(line, recording.tactics);
}

// A line after the header: an input or the end; the reason it is refused, if it is.
Expected<void> ReadBodyLine(const json& line, Recording& recording, bool& ended)
{
    if (ended)
    {
        return Unexpected{"a line after the end"};
    }
    if (line.contains("end"))
    {
        const json& end = line["end"];
        if (!end.is_number_unsigned() || end.get<std::uint64_t>() > kMaxRecordingFrames)
        {
            return Unexpected{"end " + ConsoleText(end.dump(), 40) + " is not a frame from 0 to " +
                              std::to_string(kMaxRecordingFrames)};
        }
        if (end.get<std::int64_t>() < recording.lastFrame)
        {
            return Unexpected{"frames out of order: end " + std::to_string(end.get<std::int64_t>()) + " before frame " +
                              std::to_string(recording.lastFrame)};
        }
        recording.lastFrame = line["end"].get<std::int64_t>();
        ended = true;
        return {};
    }
    auto input = ParseInput(line);
    if (!input)
    {
        return input.Error();
    }
    MatchInput& parsed = *input;
    if (parsed.frame < recording.lastFrame)
    {
        return Unexpected{"frames out of order"};
    }
    recording.lastFrame = parsed.frame;
    recording.inputs.push_back(std::move(parsed));
    return {};
}
} // namespace

Expected<Recording> ReadRecording(const std::string& path)
{
    Descriptor file;
    struct stat status
    {
    };
    const OpenOutcome opened = OpenRegular(path, file, status);
    if (opened != OpenOutcome::Opened)
    {
        return Unexpected{path + (opened == OpenOutcome::NotAFile ? ": not a regular file" : ": cannot be read")};
    }
    std::string text;
    const ReadOutcome read = ReadBounded(file.Get(), text, kMaxRecordingBytes);
    if (read != ReadOutcome::Read)
    {
        return Unexpected{path + (read == ReadOutcome::TooLarge ? ": larger than 64 MiB" : ": cannot be read")};
    }
    // Blank lines at the end, as an editor may leave, end nothing.
    while (text.size() >= 2 && text.back() == '\n' && text[text.size() - 2] == '\n')
    {
        text.pop_back();
    }
    Recording recording;
    bool ended = false;
    std::size_t number = 0;
    for (std::size_t start = 0; start < text.size();)
    {
        ++number;
        const std::size_t stop = text.find('\n', start);
        const bool cut = stop == std::string::npos;
        const std::string where = path + " line " + std::to_string(number) + ": ";
        const json line = json::parse(text.substr(start, cut ? std::string::npos : stop - start), nullptr, false);
        start = cut ? text.size() : stop + 1;
        if (line.is_discarded() || !line.is_object())
        {
            // A crash while writing leaves a last line without its end: the rest is still a match.
            if (cut && number > 1)
            {
                recording.warning = where + "cut short, left out; the rest is played";
                break;
            }
            return Unexpected{where + "not a JSON object"};
        }
        const auto accepted = number == 1 ? ReadHeader(line, recording) : ReadBodyLine(line, recording, ended);
        if (!accepted)
        {
            return Unexpected{where + accepted.Reason()};
        }
    }
    if (number == 0)
    {
        return Unexpected{path + " line 1: empty, not a TryZone recording"};
    }
    return recording;
}

} // namespace tryzone
