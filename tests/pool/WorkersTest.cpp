#include "pool/Workers.h"

#include <csignal>
#include <gtest/gtest.h>
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

} // namespace tryzone
