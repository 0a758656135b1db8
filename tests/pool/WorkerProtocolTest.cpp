#include "pool/WorkerProtocol.h"

#include <gtest/gtest.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tryzone
{

// Messages framed one after another come back whole, one at a time, and a cut stream waits for more.
TEST(WorkerProtocol, MessagesRoundTripAndACutOneWaits)
{
    WireWriter progress;
    progress.Put(std::int64_t{65536});
    const std::string stream =
        Frame(Kind::Progress, 2, progress.Bytes()) + Frame(Kind::Events, 2, "a line\n") + Frame(Kind::Done, 2, "");
    std::string_view rest = stream;
    std::vector<Kind> kinds;
    while (!rest.empty())
    {
        const Framed framed = NextMessage(rest, 3);
        ASSERT_TRUE(framed.corrupt.empty()) << framed.corrupt;
        ASSERT_TRUE(framed.message);
        EXPECT_EQ(framed.message->task, 2);
        kinds.push_back(framed.message->kind);
        rest.remove_prefix(framed.used);
    }
    EXPECT_EQ(kinds, (std::vector<Kind>{Kind::Progress, Kind::Events, Kind::Done}));
    for (std::size_t cut = 0; cut < stream.size(); cut += 3)
    {
        const Framed framed = NextMessage(std::string_view(stream).substr(0, std::min<std::size_t>(cut, 20)), 3);
        EXPECT_TRUE(framed.corrupt.empty());
        EXPECT_FALSE(framed.message);
    }

    WireWriter out;
    out.Put(std::int32_t{7}).PutText("rule").Put('x');
    std::int32_t number = 0;
    std::string text;
    char last = 0;
    EXPECT_TRUE(WireReader(out.Bytes()).Get(number).GetText(text).Get(last).Whole());
    EXPECT_EQ(number, 7);
    EXPECT_EQ(text, "rule");
    EXPECT_FALSE(WireReader(out.Bytes()).Get(number).GetText(text).Whole()); // a byte left over
    EXPECT_FALSE(WireReader(std::string_view(out.Bytes()).substr(0, 9)).Get(number).GetText(text).Ok());
}

// Headers that no worker of the run can send are refused, not waited on or trusted.
TEST(WorkerProtocol, CorruptHeadersAreRefused)
{
    std::string unknown = Frame(Kind::Done, 0, "x");
    unknown[0] = 'X';
    std::string huge = Frame(Kind::Events, 0, "");
    huge[5] = '\xff';
    huge[12] = '\x7f';
    for (const std::string& bytes :
         {unknown, Frame(Kind::Done, 3, ""), Frame(Kind::Done, -2, ""), Frame(Kind::Progress, 0, "abc"), huge})
    {
        const Framed framed = NextMessage(bytes, 3);
        EXPECT_FALSE(framed.message);
        EXPECT_FALSE(framed.corrupt.empty());
    }
}

// An outcome the parent cannot decode ends the run there, naming the task and the worker's process.
TEST(WorkerProtocol, AnOutcomeThatDoesNotDecodeFailsTheRun)
{
    WorkerPlan plan;
    plan.tasks = 6;
    plan.jobs = 2;
    plan.play = [](int task, std::ostream*, const std::function<void(std::int64_t)>&) { return std::to_string(task); };
    std::vector<int> taken;
    plan.take = [&taken](int task, const std::string& outcome)
    {
        taken.push_back(task);
        return outcome == "3" ? Taken::Corrupt : Taken::Next;
    };
    const auto failure = RunWorkers(plan);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->task, 3);
    EXPECT_GT(failure->pid, 0);
    EXPECT_NE(failure->pid, getpid());
    EXPECT_EQ(failure->reason, "sent a corrupted message: an outcome that does not decode");
    EXPECT_EQ(taken, (std::vector<int>{0, 1, 2, 3}));
}

namespace
{
// A worker on the other end of a socket pair, as the pool starts one.
struct ForkedWorker
{
    int fd = -1;
    pid_t pid = -1;

    explicit ForkedWorker(const WorkerPlan& plan)
    {
        int ends[2];
        EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
        pid = fork();
        if (pid == 0)
        {
            close(ends[0]);
            Work(ends[1], plan);
        }
        close(ends[1]);
        fd = ends[0];
    }

    void Send(std::int32_t task) const { EXPECT_TRUE(SendAll(fd, &task, sizeof task)); }

    // The exit status once the worker has ended.
    int Status() const
    {
        close(fd);
        int status = 0;
        EXPECT_EQ(waitpid(pid, &status, 0), pid);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};
} // namespace

// What a worker sends for a task, byte for byte: its progress, its events, then its outcome, each framed for that
// task; a task number outside the run or the stop number ends it with its own status.
TEST(WorkerProtocol, AWorkerAnswersATaskWithFramedMessagesAndEndsWhenTold)
{
    WorkerPlan plan;
    plan.tasks = 3;
    std::ostringstream wanted;
    plan.events = &wanted;
    plan.play = [](int task, std::ostream* events, const std::function<void(std::int64_t)>& progress)
    {
        progress(40 + task);
        *events << "line " << task << '\n';
        return "outcome " + std::to_string(task);
    };
    WireWriter frames;
    frames.Put(std::int64_t{42});
    const std::string expected = Frame(Kind::Progress, 2, frames.Bytes()) + Frame(Kind::Events, 2, "line 2\n") +
                                 Frame(Kind::Done, 2, "outcome 2");
    for (const std::int32_t last : {-1, 3})
    {
        const ForkedWorker worker(plan);
        worker.Send(2);
        std::string got(expected.size(), '\0');
        ASSERT_TRUE(ReadAll(worker.fd, got.data(), got.size()));
        EXPECT_EQ(got, expected);
        worker.Send(last);
        EXPECT_EQ(worker.Status(), last < 0 ? 0 : 2) << last;
    }
}

} // namespace tryzone
