#include "experiments/Simulation.h"
#include "laws/Laws.h"
#include "tactics/TacticsFile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iomanip>
#include <map>
#include <nlohmann/json.hpp>
#include <openssl/evp.h>
#include <sstream>

namespace tryzone
{

// Seeded event logs as they were when the golden files were taken. Anything that changes the match's numbers shows
// here first; a change meant to alter the match re-takes them with TRYZONE_UPDATE_GOLDEN=1 in its own commit.
namespace
{
const std::filesystem::path kGolden = TRYZONE_GOLDEN_PATH;

std::string Sha256(const std::string& text)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(text.data(), text.size(), digest, &length, EVP_sha256(), nullptr);
    std::ostringstream hex;
    for (unsigned int i = 0; i < length; ++i)
    {
        hex << std::hex << std::setw(2) << std::setfill('0') << static_cast<int>(digest[i]);
    }
    return hex.str();
}

struct GoldenRun
{
    std::string name;
    std::uint64_t seed;
    int matches;
    std::int64_t frames;
    float blueLuck; // 1 for the defaults; another value moves the rolls' thresholds
};

std::string EventLog(const GoldenRun& run, const MatchTactics& tactics = {})
{
    std::ostringstream events;
    SimulationPlan plan;
    const auto defaults = DefaultPlayers();
    plan.run.lineup.assign(defaults.begin(), defaults.end());
    for (std::size_t slot = 0; slot < 5; ++slot)
    {
        plan.run.lineup[slot].LuckMultiplier = run.blueLuck;
    }
    plan.run.seed = run.seed;
    plan.run.matches = run.matches;
    plan.run.framesPerMatch = run.frames;
    plan.events = &events;
    plan.run.teams[0].tactic = tactics.blue;
    plan.run.teams[1].tactic = tactics.red;
    plan.run.laws = tactics.laws;
    (void)Simulate(plan);
    return events.str();
}

bool Updating()
{
    const char* update = std::getenv("TRYZONE_UPDATE_GOLDEN");
    return update != nullptr && std::string(update) == "1";
}

std::string Read(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::vector<GoldenRun> kRuns{
    {"seed-2026", 2026, 1, 12000, 1.f},
    {"seed-7-two-matches", 7, 2, 6000, 1.f},
    {"seed-1-lucky-blue", 1, 1, 8000, 1.6f},
    {"seed-99-unlucky-blue", 99, 1, 8000, 0.4f},
    {"seed-123456789012", 123456789012ull, 1, 8000, 1.f},
};
// Kept whole, so that a change shows as a readable diff.
const GoldenRun kShortRun{"short-seed-5", 5, 1, 3000, 1.f};
} // namespace

TEST(GoldenEventLog, SeededMatchesKeepTheirEventLogsByteForByte)
{
    std::map<std::string, std::string> expected;
    std::ifstream sums(kGolden / "event-logs.sha256");
    for (std::string hash, name; sums >> hash >> name;)
    {
        expected[name] = hash;
    }

    std::ostringstream taken;
    for (const GoldenRun& run : kRuns)
    {
        const std::string log = EventLog(run);
        EXPECT_GT(log.size(), 1000u) << run.name; // a log that stopped early is no evidence
        const std::string hash = Sha256(log);
        taken << hash << ' ' << run.name << '\n';
        if (!Updating())
        {
            EXPECT_EQ(hash, expected[run.name]) << run.name;
        }
    }

    const std::string shortLog = EventLog(kShortRun);
    if (Updating())
    {
        std::ofstream(kGolden / "event-logs.sha256", std::ios::binary) << taken.str();
        std::ofstream(kGolden / (kShortRun.name + ".jsonl"), std::ios::binary) << shortLog;
        GTEST_SKIP() << "golden event logs re-taken in " << kGolden;
    }
    EXPECT_EQ(shortLog, Read(kGolden / (kShortRun.name + ".jsonl")));
}

TEST(GoldenEventLog, OnlyTheBallsHolderEverAttemptsAPass)
{
    std::istringstream log(EventLog({"long", 7, 3, 150000, 1.f}));
    std::map<int, nlohmann::json> holder; // by match
    int attempts = 0;
    for (std::string line; std::getline(log, line);)
    {
        const nlohmann::json event = nlohmann::json::parse(line);
        const std::string kind = event["event"];
        const int match = event["match"];
        if (kind == "kickoff")
        {
            holder[match] = event["receiver"];
        }
        else if (kind == "pass")
        {
            holder[match] = event["to"];
        }
        else if (kind == "tackle")
        {
            holder[match] = event["tackler"];
        }
        else if (kind == "pass_attempt")
        {
            ++attempts;
            ASSERT_EQ(event["passer"], holder[match]) << line;
        }
    }
    EXPECT_GT(attempts, 1000);
}

TEST(GoldenEventLog, TheDefaultTacticsFileForBothTeamsKeepsTheLogs)
{
    const TacticsRead read = ReadTacticsFile(TRYZONE_TACTICS_PATH "/default.tactics.json");
    ASSERT_NE(read.tactic, nullptr) << read.error;
    std::map<std::string, std::string> expected;
    std::ifstream sums(kGolden / "event-logs.sha256");
    for (std::string hash, name; sums >> hash >> name;)
    {
        expected[name] = hash;
    }
    for (const GoldenRun& run : kRuns)
    {
        EXPECT_EQ(Sha256(EventLog(run, {read.tactic, read.tactic, nullptr})), expected[run.name]) << run.name;
    }
}

// The game's laws as a file, given to the match as laws of its own rather than left out, play the golden matches.
TEST(GoldenEventLog, ThePartsLawsFileKeepsTheLogs)
{
    const Expected<Laws> laws = ReadLawsFile(TRYZONE_LAWS_PATH "/parts.laws.json");
    ASSERT_TRUE(laws) << laws.Reason();
    std::map<std::string, std::string> expected;
    std::ifstream sums(kGolden / "event-logs.sha256");
    for (std::string hash, name; sums >> hash >> name;)
    {
        expected[name] = hash;
    }
    for (const GoldenRun& run : kRuns)
    {
        EXPECT_EQ(Sha256(EventLog(run, {nullptr, nullptr, std::make_shared<const Laws>(*laws)})), expected[run.name])
            << run.name;
    }
}

} // namespace tryzone
