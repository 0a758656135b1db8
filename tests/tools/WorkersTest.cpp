#include "Workers.h"

#include "Simulation.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace
{
SimulationPlan ShortMatches(int matches, std::ostream* events, Heatmap* heatmap)
{
    SimulationPlan plan;
    const auto defaults = DefaultPlayers();
    plan.players.assign(defaults.begin(), defaults.end());
    plan.seed = 11;
    plan.matches = matches;
    plan.framesPerMatch = 4000;
    plan.events = events;
    plan.heatmap = heatmap;
    return plan;
}
} // namespace

TEST(Workers, MatchesInWorkersGiveWhatOneProcessGives)
{
    std::ostringstream alone;
    Heatmap aloneHeat(kPitchWidth, kPitchHeight);
    const std::vector<MatchResult> expected = Simulate(ShortMatches(5, &alone, &aloneHeat));

    std::ostringstream shared;
    Heatmap sharedHeat(kPitchWidth, kPitchHeight);
    SimulationPlan plan = ShortMatches(5, &shared, &sharedHeat);
    plan.jobs = 3;
    int lastDone = 0;
    plan.progress = [&lastDone](int done, std::int64_t) { lastDone = std::max(lastDone, done); };
    const std::vector<MatchResult> results = Simulate(plan);

    ASSERT_EQ(results.size(), expected.size());
    for (std::size_t i = 0; i < results.size(); ++i)
    {
        EXPECT_EQ(results[i].match, expected[i].match);
        EXPECT_EQ(results[i].seed, expected[i].seed);
        EXPECT_EQ(results[i].frames, expected[i].frames);
        for (std::size_t team = 0; team < 2; ++team)
        {
            EXPECT_EQ(results[i].teams[team].tries, expected[i].teams[team].tries);
            EXPECT_EQ(results[i].teams[team].possessionFrames, expected[i].teams[team].possessionFrames);
            EXPECT_EQ(results[i].teams[team].passes, expected[i].teams[team].passes);
            EXPECT_EQ(results[i].teams[team].tackles, expected[i].teams[team].tackles);
        }
    }
    EXPECT_GT(alone.str().size(), 1000u);
    EXPECT_EQ(shared.str(), alone.str());
    EXPECT_EQ(sharedHeat.Counts(), aloneHeat.Counts());
    EXPECT_EQ(lastDone, 5);
}

// Tasks finish out of order (the first is the slowest), yet their events and outcomes come in task order; then a
// worker dies: nothing from its task on is taken, and its task is named.
TEST(Workers, OutcomesComeInTaskOrderAndADeadWorkerIsNamed)
{
    int dying = -1;
    std::ostringstream events;
    std::vector<int> taken;
    WorkerPlan plan;
    plan.tasks = 8;
    plan.jobs = 3;
    plan.events = &events;
    plan.play = [&dying](int task, std::ostream* out, const std::function<void(std::int64_t)>&)
    {
        if (task == 0)
        {
            usleep(200000);
        }
        if (task == dying)
        {
            raise(SIGKILL);
        }
        for (int line = 0; line < 3000; ++line) // several pieces per task
        {
            *out << "task " << task << " line " << line << '\n';
        }
        return "outcome " + std::to_string(task);
    };
    plan.take = [&taken](int task, const std::string& outcome)
    {
        EXPECT_EQ(outcome, "outcome " + std::to_string(task));
        taken.push_back(task);
        return true;
    };

    ASSERT_FALSE(RunWorkers(plan));
    EXPECT_EQ(taken, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    std::ostringstream expected;
    for (int task = 0; task < 8; ++task)
    {
        for (int line = 0; line < 3000; ++line)
        {
            expected << "task " << task << " line " << line << '\n';
        }
    }
    EXPECT_EQ(events.str(), expected.str());

    dying = 4;
    taken.clear();
    const auto failure = RunWorkers(plan);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->task, 4);
    EXPECT_NE(failure->reason.find("killed by signal 9"), std::string::npos) << failure->reason;
    for (std::size_t i = 0; i < taken.size(); ++i)
    {
        EXPECT_EQ(taken[i], static_cast<int>(i));
    }
    EXPECT_LT(taken.size(), 5u);
}
