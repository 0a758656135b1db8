#include "batch/Shards.h"

#include "batch/PartChecks.h"
#include "batch/PartJson.h"
#include "batch/PartReplay.h"
#include "files/FileGate.h"
#include "files/JsonReader.h"
#include "shape/MatchShape.h"
#include "tactics/TacticsFile.h"

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

// The options that shape a run, seed and settings aside; parts of one run have them all equal.
ordered_json OptionsAsJson(const RunSetup& setup)
{
    ordered_json vary = nullptr;
    if (setup.variation)
    {
        vary = {{"key", setup.variation->key}, {"who", setup.variation->who},   {"from", setup.variation->from},
                {"to", setup.variation->to},   {"step", setup.variation->step}, {"list", setup.variation->list}};
    }
    return {{"settings_file", setup.players},           {"matches", setup.matches},  {"minutes", setup.minutes},
            {"frames_per_match", setup.framesPerMatch}, {"check", setup.checkRules}, {"vary", vary}};
}

// The teams' tactics kept in a part, checked as a tactics file is.
Expected<void> ReadPartTactics(const ordered_json& tactics, RunSetup& setup)
{
    const auto team = [&tactics](const char* side, std::string& file,
                                 std::shared_ptr<const CompiledTactic>& tactic) -> Expected<void>
    {
        const ordered_json& kept = tactics.at(side);
        if (kept.is_null())
        {
            return {};
        }
        file = kept.at("file").get<std::string>();
        TacticsRead read = TacticsFromJson(nlohmann::json::parse(kept.at("tactic").dump()), file);
        tactic = read.tactic;
        return tactic == nullptr ? Expected<void>(Unexpected{read.error}) : Expected<void>();
    };
    if (auto blue = team("blue", setup.blueTactics, setup.tactics.blue); !blue)
    {
        return blue;
    }
    return team("red", setup.redTactics, setup.tactics.red);
}

std::string Exact(double value)
{
    std::array<char, 32> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.17g", value);
    return buffer.data();
}

// The text of --vary that the part's "vary" describes.
std::string VaryText(const ordered_json& vary)
{
    std::string range = vary.at("key").get<std::string>() + "=";
    if (vary.at("list").empty())
    {
        range += Exact(vary.at("from").get<double>()) + ":" + Exact(vary.at("to").get<double>()) + ":" +
                 Exact(vary.at("step").get<double>());
    }
    for (const ordered_json& value : vary.at("list"))
    {
        range += (range.back() == '=' ? "" : ",") + Exact(value.get<double>());
    }
    return range;
}

struct Part
{
    std::string file;
    std::vector<Heatmap::Square> heat;
    ordered_json document; // in file order, so that the first option that differs is the first one named
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

// The run the part belongs to; the reason it is refused, if it is. Throws on a missing key.
Expected<void> ReadRunSetup(const ordered_json& document, const std::string& file, RunSetup& setup)
{
    const ordered_json& run = document.at("run");
    const ordered_json& options = run.at("options");
    setup.seed = run.at("seed").get<std::uint64_t>();
    setup.players = options.at("settings_file").get<std::string>();
    auto lineup = SettingsFromJson(run.at("players"));
    if (!lineup)
    {
        return Unexpected{file + ": " + lineup.Reason()};
    }
    setup.lineup = *std::move(lineup);
    setup.matches = options.at("matches").get<int>();
    setup.minutes = options.at("minutes").get<double>();
    setup.framesPerMatch = options.at("frames_per_match").get<std::int64_t>();
    setup.checkRules = options.at("check").get<bool>();
    // Parts written before tactics existed played the default tactic.
    if (const auto tactics = run.find("tactics"); tactics != run.end())
    {
        if (const auto read = ReadPartTactics(*tactics, setup); !read)
        {
            return Unexpected{file + ": " + read.Reason()};
        }
    }
    // Parts written before laws existed, or played under the game's own, keep none.
    if (const auto laws = run.find("laws"); laws != run.end())
    {
        if (const auto read = ReadLawsJson(*laws, setup); !read)
        {
            return Unexpected{file + ": " + read.Reason()};
        }
    }
    if (const ordered_json& vary = options.at("vary"); !vary.is_null())
    {
        auto variation = ParseVariation(VaryText(vary), vary.at("who").get<std::string>());
        if (!variation)
        {
            return Unexpected{file + ": " + variation.Reason()};
        }
        setup.variation = *variation;
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
        if (auto run = ReadRunSetup(part.document, file, part.setup); !run)
        {
            return run.Error();
        }
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
    if (part.setup.seed != first.setup.seed)
    {
        return Unexpected{from + "another seed (" + std::to_string(part.setup.seed) + ", not " +
                          std::to_string(first.setup.seed) + ")"};
    }
    if (part.setup.lineup != first.setup.lineup)
    {
        return Unexpected{from + "other players' settings"};
    }
    if (TacticsAsJson(part.setup) != TacticsAsJson(first.setup))
    {
        return Unexpected{from + "other tactics"};
    }
    if (LawsAsJson(part.setup)["laws"] != LawsAsJson(first.setup)["laws"])
    {
        return Unexpected{from + "other laws"};
    }
    const ordered_json& options = part.document["run"]["options"];
    const ordered_json& firstOptions = first.document["run"]["options"];
    for (auto option = firstOptions.begin(); option != firstOptions.end(); ++option)
    {
        if (!options.contains(option.key()) || options[option.key()] != option.value())
        {
            return Unexpected{from + "other options (" + option.key() + ")"};
        }
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
    ordered_json run{
        {"seed", setup.seed}, {"options", OptionsAsJson(setup)}, {"players", SettingsAsJson(setup.lineup)}};
    if (HasTactics(setup))
    {
        run["tactics"] = TacticsAsJson(setup);
    }
    if (HasLaws(setup))
    {
        run["laws"] = LawsAsJson(setup);
    }
    ordered_json part = {{"tryzone_sim_part", kPartFormat},
                         {"program", {{"version", ProgramVersion()}, {"build", BuildIdentifier()}}},
                         {"shard", {{"index", shard.index}, {"count", shard.count}}},
                         {"run", std::move(run)},
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
