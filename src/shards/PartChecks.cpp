#include "shards/PartChecks.h"

#include "run/MatchRunner.h"
#include "shape/MatchShape.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <fstream>

namespace tryzone
{

namespace
{
std::uint64_t Fnv1a(std::uint64_t hash, const char* data, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i)
    {
        hash = (hash ^ static_cast<unsigned char>(data[i])) * 0x100000001b3ULL;
    }
    return hash;
}

constexpr std::uint64_t kFnvStart = 0xcbf29ce484222325ULL;

std::string Hex(std::uint64_t value)
{
    std::array<char, 17> text{};
    std::snprintf(text.data(), text.size(), "%016llx", static_cast<unsigned long long>(value));
    return text.data();
}

std::optional<std::string> TeamProblem(const TeamRecord& team, std::int64_t frames, const std::string& side)
{
    std::optional<std::string> problem;
    ForEachCount(
        [&](const CountField& field, const auto& count)
        {
            if (!problem && count < 0)
            {
                problem = side + field.key + " " + std::to_string(count) + " is negative";
            }
        },
        team);
    if (problem)
    {
        return problem;
    }
    // What can happen at most once a frame (a try, a pass, a frame of possession), or once a frame per player.
    const std::pair<const char*, std::int64_t> perFrame[] = {
        {"tries", team.tries}, {"pass_attempts", team.passAttempts}, {"possession_frames", team.possessionFrames}};
    for (const auto& [key, count] : perFrame)
    {
        if (count > frames)
        {
            return side + key + " " + std::to_string(count) + " in " + std::to_string(frames) +
                   " frames: more than one a frame";
        }
    }
    if (team.tackleAttempts > static_cast<std::int64_t>(kTeamSize) * frames)
    {
        return side + "tackle_attempts " + std::to_string(team.tackleAttempts) + " in " + std::to_string(frames) +
               " frames: more than one a frame for each of five players";
    }
    if (team.passes > team.passAttempts)
    {
        return side + "passes " + std::to_string(team.passes) + ": more passes completed than attempted (" +
               std::to_string(team.passAttempts) + ")";
    }
    if (team.tackles > team.tackleAttempts)
    {
        return side + "tackles " + std::to_string(team.tackles) + ": more tackles made than attempted (" +
               std::to_string(team.tackleAttempts) + ")";
    }
    return std::nullopt;
}

std::optional<std::string> MatchProblem(const RunSetup& setup, int task, const MatchResult& result, bool last)
{
    const int match = Numbering(setup).Match(task);
    const std::uint32_t seed = MatchSeed(setup.seed, match);
    if (result.match != match)
    {
        return "numbered " + std::to_string(result.match) + " where match " + std::to_string(match) + " belongs";
    }
    if (result.seed != seed)
    {
        return "seed " + std::to_string(result.seed) + ", not " + std::to_string(seed) + " as the run seed gives";
    }
    if (result.breach && (!setup.checkRules || !last))
    {
        return "a rule broken in a run that goes on or does not check the rules";
    }
    if (!result.breach && result.frames != setup.framesPerMatch)
    {
        return std::to_string(result.frames) + " frames, not " + std::to_string(setup.framesPerMatch) +
               ", with no rule broken";
    }
    if (result.breach &&
        (result.breach->frame != result.frames || result.frames < 1 || result.frames > setup.framesPerMatch))
    {
        return "a rule broken at frame " + std::to_string(result.breach->frame) + " of " +
               std::to_string(result.frames);
    }
    for (std::size_t side = 0; side < result.teams.size(); ++side)
    {
        if (auto problem = TeamProblem(result.teams[side], result.frames, side == 0 ? "blue's " : "red's "))
        {
            return problem;
        }
    }
    if (result.teams[0].possessionFrames + result.teams[1].possessionFrames > result.frames)
    {
        return "more frames of possession than frames";
    }
    return std::nullopt;
}
} // namespace

std::string ProgramVersion()
{
    return TRYZONE_VERSION;
}

const std::string& BuildIdentifier()
{
    static const std::string identifier = []
    {
        std::ifstream program("/proc/self/exe", std::ios::binary);
        std::array<char, 65536> chunk{};
        std::uint64_t hash = kFnvStart;
        while (program.read(chunk.data(), chunk.size()) || program.gcount() > 0)
        {
            hash = Fnv1a(hash, chunk.data(), static_cast<std::size_t>(program.gcount()));
        }
        return Hex(hash);
    }();
    return identifier;
}

std::string DocumentDigest(const nlohmann::ordered_json& document)
{
    nlohmann::ordered_json copy = document;
    copy.erase("digest");
    const std::string text = copy.dump();
    return Hex(Fnv1a(kFnvStart, text.data(), text.size()));
}

nlohmann::ordered_json HeatAsJson(const Heatmap& heatmap)
{
    std::string counted;
    const std::vector<std::uint32_t>& counts = heatmap.Counts();
    for (std::size_t square = 0; square < counts.size(); ++square)
    {
        if (counts[square] > 0)
        {
            counted += (counted.empty() ? "" : " ") + std::to_string(square) + ":" + std::to_string(counts[square]);
        }
    }
    return {{"squares", counts.size()}, {"counted", counted}};
}

std::optional<std::vector<Heatmap::Square>> HeatFromJson(const nlohmann::ordered_json& heat, std::size_t squares)
{
    if (heat.at("squares").get<std::size_t>() != squares)
    {
        return std::nullopt;
    }
    const std::string counted = heat.at("counted").get<std::string>();
    std::vector<Heatmap::Square> read;
    const char* at = counted.data();
    const char* end = at + counted.size();
    while (at != end)
    {
        Heatmap::Square square;
        auto parsed = std::from_chars(at, end, square.square);
        if (parsed.ec != std::errc() || parsed.ptr == end || *parsed.ptr != ':' || square.square >= squares)
        {
            return std::nullopt;
        }
        parsed = std::from_chars(parsed.ptr + 1, end, square.count);
        if (parsed.ec != std::errc() || (parsed.ptr != end && (*parsed.ptr != ' ' || parsed.ptr + 1 == end)))
        {
            return std::nullopt;
        }
        at = parsed.ptr == end ? end : parsed.ptr + 1;
        read.push_back(square);
    }
    return read;
}

Expected<void> CheckResults(const RunSetup& setup, TaskRange tasks, const std::vector<MatchResult>& results)
{
    for (std::size_t i = 0; i < results.size(); ++i)
    {
        const int task = tasks.first + static_cast<int>(i);
        if (auto problem = MatchProblem(setup, task, results[i], i + 1 == results.size()))
        {
            const TaskNumbering numbering = Numbering(setup);
            const std::string value =
                setup.variation
                    ? " with " + setup.variation->key + " " +
                          FloatText(setup.variation->values[static_cast<std::size_t>(numbering.Group(task))])
                    : "";
            return Unexpected{"match " + std::to_string(numbering.Match(task)) + value + ": " + *problem};
        }
    }
    return {};
}

} // namespace tryzone
