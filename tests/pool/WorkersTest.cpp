#include "pool/Workers.h"

#include <csignal>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <unistd.h>

namespace tryzone
{

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
        return Taken::Next;
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

namespace
{
WorkerPlan Counting(int tasks, int jobs, std::vector<int>& taken)
{
    WorkerPlan plan;
    plan.tasks = tasks;
    plan.jobs = jobs;
    plan.play = [](int task, std::ostream* events, const std::function<void(std::int64_t)>& progress)
    {
        EXPECT_EQ(events, nullptr); // nobody asked for them
        progress(task * 10);
        return std::to_string(task);
    };
    plan.take = [&taken](int task, const std::string& outcome)
    {
        EXPECT_EQ(outcome, std::to_string(task));
        taken.push_back(task);
        return Taken::Next;
    };
    return plan;
}
} // namespace

// A run ends cleanly where the parent asks, by its taker or by a stop signal, and more workers than tasks, or no
// task at all, change nothing; progress counts every finished task.
TEST(Workers, StopsWhereAskedAndCountsTheTasksItFinished)
{
    std::vector<int> taken;
    WorkerPlan plan = Counting(6, 8, taken);
    int lastFinished = 0;
    plan.progress = [&lastFinished](int finished, std::int64_t) { lastFinished = std::max(lastFinished, finished); };
    ASSERT_FALSE(RunWorkers(plan));
    EXPECT_EQ(taken, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(lastFinished, 6);

    taken.clear();
    const auto take = plan.take;
    plan.take = [&take](int task, const std::string& outcome) { return task == 2 ? Taken::Stop : take(task, outcome); };
    ASSERT_FALSE(RunWorkers(plan));
    EXPECT_EQ(taken, (std::vector<int>{0, 1}));

    taken.clear();
    volatile std::sig_atomic_t stop = 0;
    plan.stop = &stop;
    plan.tasks = 1000;
    plan.jobs = 2;
    plan.take = [&take, &stop](int task, const std::string& outcome)
    {
        stop = task == 4 ? SIGTERM : stop;
        return take(task, outcome);
    };
    ASSERT_FALSE(RunWorkers(plan));
    ASSERT_GE(taken.size(), 5u);
    EXPECT_LT(taken.size(), 1000u);

    taken.clear();
    plan.tasks = 0;
    EXPECT_FALSE(RunWorkers(plan));
    EXPECT_TRUE(taken.empty());
}

// The run plays on as many worker processes as it was given jobs, none of them this process.
TEST(Workers, PlayOnNoMoreProcessesThanJobs)
{
    WorkerPlan plan;
    plan.tasks = 12;
    plan.jobs = 2;
    plan.play = [](int, std::ostream*, const std::function<void(std::int64_t)>&)
    {
        usleep(2000);
        return std::to_string(getpid());
    };
    std::set<std::string> players;
    plan.take = [&players](int, const std::string& pid)
    {
        players.insert(pid);
        return Taken::Next;
    };
    ASSERT_FALSE(RunWorkers(plan));
    EXPECT_GE(players.size(), 1u);
    EXPECT_LE(players.size(), 2u);
    EXPECT_EQ(players.count(std::to_string(getpid())), 0u);
}

// A worker that exits on its own, between or during tasks, fails the run with its status.
TEST(Workers, AWorkerThatExitsIsNamedWithItsStatus)
{
    std::vector<int> taken;
    WorkerPlan plan = Counting(5, 2, taken);
    plan.play = [](int task, std::ostream*, const std::function<void(std::int64_t)>&) -> std::string
    {
        if (task == 3)
        {
            _exit(5);
        }
        return std::to_string(task);
    };
    const auto failure = RunWorkers(plan);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->task, 3);
    EXPECT_EQ(failure->reason, "died: exited with status 5");
    EXPECT_LE(taken.size(), 3u);
}

} // namespace tryzone
