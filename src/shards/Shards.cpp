#include "shards/Shards.h"

#include "shards/PartChecks.h"
#include "reports/PartJson.h"
#include "shards/PartReplay.h"
#include "files/FileGate.h"
#include "files/JsonReader.h"
#include "shape/MatchShape.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <set>

namespace tryzone
{

namespace
{
using nlohmann::json;
using nlohmann::ordered_json;

constexpr int kPartFormat = 3;

struct Part
{
    std::string file;
    std::vector<Heatmap::Square> heat;
    ordered_json document; // as read, for its digest
    RunSetup setup;
    Shard shard;
    TaskRange tasks;
    std::vector<MatchResult> results;
    double seconds = 0.0;
};

// Whether the part read can be trusted; if not, why, to follow its file's name: " is damaged: ..." and the like.
Expected<void> Check(const Part& part)
{
    const TaskRange expected = ShardTasks(part.shard, TaskTotal(part.setup));
    const bool stoppedAtBreach = !part.results.empty() && part.results.back().breach;
    if (part.shard.count < 1 || part.shard.index < 0 || part.shard.index >= part.shard.count ||
        part.tasks.first != expected.first || part.tasks.count != expected.count ||
        part.results.size() > static_cast<std::size_t>(expected.count) ||
        (part.results.size() < static_cast<std::size_t>(expected.count) && !stoppedAtBreach))
    {
        return Unexpected{" is incomplete or damaged: its matches are not those of shard " +
                          std::to_string(part.shard.index) + " of " + std::to_string(part.shard.count)};
    }
    if (const auto checked = CheckResults(part.setup, part.tasks, part.results); !checked)
    {
        return Unexpected{" is damaged: " + checked.Reason()};
    }
    if (part.seconds < 0.0)
    {
        return Unexpected{" is damaged: a negative playing time"};
    }
    // The ball counts in one square each frame, but for the frame that broke a rule.
    long long counted = 0;
    long long frames = stoppedAtBreach ? -1 : 0;
    for (const Heatmap::Square& square : part.heat)
    {
        counted += square.count;
    }
    for (const MatchResult& result : part.results)
    {
        frames += result.frames;
    }
    if (counted != frames)
    {
        return Unexpected{" is damaged: its heat map counts " + std::to_string(counted) + " frames, not " +
                          std::to_string(frames)};
    }
    // Last, what nothing above could recompute: a score, say.
    const auto digest = part.document.find("digest");
    if (digest == part.document.end() || !digest->is_string() ||
        digest->get<std::string>() != DocumentDigest(part.document))
    {
        return Unexpected{" has been changed since tryzone-sim wrote it (its digest does not match)"};
    }
    return {};
}

// The part's format and the build that wrote it; the reason it is refused, if it is. Throws on a missing key.
Expected<void> CheckProgram(const ordered_json& document, const std::string& file, bool anyBuild)
{
    const int format = document.value("tryzone_sim_part", 0);
    if (format == 0)
    {
        return Unexpected{file + " is not a part written by tryzone-sim --shard --json"};
    }
    if (format != kPartFormat)
    {
        return Unexpected{file + " is a part of format " + std::to_string(format) + ", written by another version of " +
                          "tryzone-sim: play it again with this one"};
    }
    const ordered_json& program = document.at("program");
    const std::string version = program.at("version").get<std::string>();
    const std::string build = program.at("build").get<std::string>();
    if (!anyBuild && (version != ProgramVersion() || build != BuildIdentifier()))
    {
        return Unexpected{file + " was written by another build of tryzone-sim (version " + version + ", build " +
                          build + "; this is " + ProgramVersion() + ", " + BuildIdentifier() +
                          "): play it again with this one, or merge with --any-build"};
    }
    return {};
}

Expected<Part> ReadPart(const std::string& file, bool anyBuild)
{
    if (auto readable = CheckReadable(file); !readable)
    {
        return readable.Error();
    }
    std::ifstream in(file, std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(in), {});
    if (!in)
    {
        return Unexpected{"cannot read " + file};
    }
    // The project's one reader: depth bounded before the digest or anything else walks the document.
    auto document = ReadOrderedJsonText(text, file);
    if (!document)
    {
        return Unexpected{document.Reason() + " (not a part written by tryzone-sim --shard --json)"};
    }
    Part part;
    part.file = file;
    try
    {
        part.document = std::move(*document);
        if (auto program = CheckProgram(part.document, file, anyBuild); !program)
        {
            return program.Error();
        }
        auto run = RunSetupFromJson(part.document.at("run"));
        if (!run)
        {
            return Unexpected{file + ": " + run.Reason()};
        }
        part.setup = *std::move(run);
        constexpr std::int64_t kMaxInt = std::numeric_limits<int>::max();
        const ordered_json& shard = part.document.at("shard");
        const ordered_json& tasks = part.document.at("tasks");
        part.shard = {static_cast<int>(WholeFromJson(shard.at("index"), "shard.index", 0, kMaxInt)),
                      static_cast<int>(WholeFromJson(shard.at("count"), "shard.count", 1, kMaxInt))};
        part.tasks = {static_cast<int>(WholeFromJson(tasks.at("first"), "tasks.first", 0, kMaxInt)),
                      static_cast<int>(WholeFromJson(tasks.at("count"), "tasks.count", 0, kMaxInt))};
        part.seconds = part.document.at("seconds").get<double>();
        for (const ordered_json& match : part.document.at("results"))
        {
            part.results.push_back(ResultFromJson(match));
        }
        const Heatmap grid(kPitchWidth, kPitchHeight);
        auto heat = HeatFromJson(part.document.at("heatmap"), grid.Counts().size());
        if (!heat)
        {
            return Unexpected{file + " is damaged: its heat map is not on the pitch's grid"};
        }
        part.heat = std::move(*heat);
    }
    catch (const PartValueError& error)
    {
        return Unexpected{file + " is damaged: " + error.what()};
    }
    catch (const std::exception& error)
    {
        return Unexpected{file + " is not a part written by tryzone-sim --shard --json (" + error.what() + ")"};
    }
    if (auto checked = Check(part); !checked)
    {
        return Unexpected{file + checked.Reason()};
    }
    return part;
}

// Whether the part belongs to the same run as the first; if not, why.
Expected<void> SameRun(const Part& first, const Part& part)
{
    const std::string from = part.file + " is from another run than " + first.file + ": ";
    if (const auto difference = RunDifference(first.setup, part.setup))
    {
        return Unexpected{from + *difference};
    }
    if (part.shard.count != first.shard.count)
    {
        return Unexpected{from + "split into " + std::to_string(part.shard.count) + " shards, not " +
                          std::to_string(first.shard.count)};
    }
    return {};
}
} // namespace

ordered_json PartAsJson(const RunSetup& setup, Shard shard, const std::vector<MatchResult>& results, double seconds,
                        const Heatmap& heatmap)
{
    const TaskRange tasks = ShardTasks(shard, TaskTotal(setup));
    ordered_json matches = ordered_json::array();
    for (const MatchResult& result : results)
    {
        matches.push_back(ResultAsJson(result));
    }
    ordered_json part = {{"tryzone_sim_part", kPartFormat},
                         {"program", {{"version", ProgramVersion()}, {"build", BuildIdentifier()}}},
                         {"shard", {{"index", shard.index}, {"count", shard.count}}},
                         {"run", RunSetupAsJson(setup)},
                         {"tasks", {{"first", tasks.first}, {"count", tasks.count}}},
                         {"seconds", seconds},
                         {"results", matches},
                         {"heatmap", HeatAsJson(heatmap)}};
    part["digest"] = DocumentDigest(part);
    return part;
}

Expected<MergedRun> MergeParts(const std::vector<std::string>& files, bool anyBuild, bool replayAll)
{
    std::vector<Part> parts;
    for (const std::string& file : files)
    {
        auto read = ReadPart(file, anyBuild);
        if (!read)
        {
            return read.Error();
        }
        parts.push_back(std::move(*read));
        if (const auto same = SameRun(parts.front(), parts.back()); !same)
        {
            return same.Error();
        }
    }
    if (parts.empty())
    {
        return Unexpected{"no parts to merge"};
    }

    const int count = parts.front().shard.count;
    std::map<int, const Part*> byShard;
    for (const Part& part : parts)
    {
        const auto [found, added] = byShard.emplace(part.shard.index, &part);
        if (!added)
        {
            return Unexpected{"shard " + std::to_string(part.shard.index) + " of " + std::to_string(count) +
                              " given twice: " + found->second->file + " and " + part.file};
        }
    }
    for (int index = 0; index < count; ++index)
    {
        if (byShard.count(index) == 0)
        {
            return Unexpected{"shard " + std::to_string(index) + " of " + std::to_string(count) + " is missing"};
        }
    }

    // Last, as the dearest check: what a hand edit with a recomputed digest would still get past.
    for (const Part& part : parts)
    {
        if (anyBuild)
        {
            break;
        }
        const auto replayed =
            ReplayResults(part.setup, part.tasks, part.results, replayAll ? ReplaySample::All : ReplaySample::One);
        if (!replayed)
        {
            return Unexpected{part.file + " is refused: " + replayed.Reason()};
        }
    }

    MergedRun merged;
    merged.setup = parts.front().setup;
    bool broken = false; // the whole run would have stopped at the first rule broken
    for (const auto& [index, part] : byShard)
    {
        if (!broken)
        {
            static_cast<void>(merged.heatmap.AddSquares(part->heat)); // checked when read
        }
        for (const MatchResult& result : part->results)
        {
            merged.frames += result.frames;
            if (!broken)
            {
                merged.results.push_back(result);
                broken = result.breach.has_value();
            }
        }
        merged.seconds += part->seconds;
    }
    return merged;
}

} // namespace tryzone
