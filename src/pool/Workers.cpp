#include "pool/Workers.h"

#include "pool/WorkerProtocol.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tryzone
{

namespace
{
std::string ExitText(int status)
{
    if (WIFSIGNALED(status))
    {
        return "killed by signal " + std::to_string(WTERMSIG(status)) + " (" + strsignal(WTERMSIG(status)) + ")";
    }
    if (WIFEXITED(status))
    {
        return "exited with status " + std::to_string(WEXITSTATUS(status));
    }
    return "stopped";
}

struct Worker
{
    pid_t pid = -1;
    int fd = -1;
    int task = -1;          // the task it plays, -1 when idle
    std::deque<int> queued; // tasks sent after it, played next: no wait for the parent between short tasks
    std::int64_t frames = 0;
    std::string input; // bytes received, not yet a whole message
};

struct Pending
{
    std::string events; // written once the tasks before it are taken
    std::optional<std::string> outcome;
    pid_t pid = -1; // the worker that played it
};

constexpr std::size_t kQueued = 1; // tasks a worker holds beside the one it plays

// The parent's side: hands out tasks, gathers messages and takes outcomes in task order.
class Pool
{
public:
    explicit Pool(const WorkerPlan& workerPlan) : plan(workerPlan) {}

    std::optional<WorkerFailure> Run()
    {
        if (plan.events != nullptr)
        {
            plan.events->flush();
        }
        std::fflush(nullptr);
        const int count = std::max(1, std::min(plan.jobs, plan.tasks));
        for (int i = 0; i < count && !failure && Start(); ++i)
        {
        }
        while (!failure && !stopped && taken < plan.tasks)
        {
            if (StopAsked())
            {
                stopped = true;
                break;
            }
            HandOut();
            Wait();
        }
        Finish();
        return failure;
    }

private:
    // False when no more workers can be had; with one or more running, the run makes do with them (a process
    // short of file descriptors or of processes still plays every task).
    bool Start()
    {
        std::array<int, 2> ends{};
        if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends.data()) != 0)
        {
            if (workers.empty())
            {
                failure = WorkerFailure{-1, -1, std::string("could not start: ") + std::strerror(errno)};
            }
            return false;
        }
        const pid_t pid = fork();
        if (pid == 0)
        {
            std::signal(SIGINT, SIG_IGN);
            std::signal(SIGTERM, SIG_IGN);
            close(ends[0]);
            for (const Worker& other : workers)
            {
                close(other.fd);
            }
            Work(ends[1], plan);
        }
        close(ends[1]);
        if (pid < 0)
        {
            const int error = errno;
            close(ends[0]);
            if (workers.empty())
            {
                failure = WorkerFailure{-1, -1, std::string("could not start: ") + std::strerror(error)};
            }
            return false;
        }
        workers.push_back(Worker{pid, ends[0], -1, {}, 0, {}});
        return true;
    }

    void HandOut()
    {
        // Outcomes wait for the tasks before them; a bounded lead keeps that waiting, and its memory, small.
        const int lead = 3 * static_cast<int>(workers.size());
        for (Worker& worker : workers)
        {
            while (worker.fd >= 0 && (worker.task < 0 || worker.queued.size() < kQueued) && next < plan.tasks &&
                   next < taken + lead)
            {
                (worker.task < 0 ? worker.task : worker.queued.emplace_back()) = next++;
                const std::int32_t task = next - 1;
                SendAll(worker.fd, &task, sizeof task); // a worker that is gone shows as its socket's end
            }
        }
    }

    void Wait()
    {
        std::vector<pollfd> polled;
        std::vector<Worker*> owners;
        for (Worker& worker : workers)
        {
            if (worker.fd >= 0)
            {
                polled.push_back(pollfd{worker.fd, POLLIN, 0});
                owners.push_back(&worker);
            }
        }
        if (poll(polled.data(), polled.size(), -1) < 0)
        {
            return; // interrupted: look again
        }
        for (std::size_t i = 0; i < polled.size() && !failure && !stopped; ++i)
        {
            if (polled[i].revents != 0)
            {
                Read(*owners[i]);
            }
        }
    }

    void Read(Worker& worker)
    {
        std::array<char, 65536> chunk{};
        const ssize_t got = read(worker.fd, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR)
        {
            return;
        }
        if (got <= 0)
        {
            Lost(worker);
            return;
        }
        worker.input.append(chunk.data(), static_cast<std::size_t>(got));
        std::size_t used = 0;
        while (!failure && !stopped)
        {
            const Framed framed = NextMessage(std::string_view(worker.input).substr(used), plan.tasks);
            if (!framed.corrupt.empty())
            {
                Corrupt(worker, framed.corrupt);
                return;
            }
            if (!framed.message)
            {
                break;
            }
            Handle(worker, *framed.message);
            used += framed.used;
        }
        worker.input.erase(0, used);
    }

    void Handle(Worker& worker, const Message& message)
    {
        if (message.task != worker.task)
        {
            Corrupt(worker, "a message for task " + std::to_string(message.task) + " while playing task " +
                                std::to_string(worker.task));
        }
        else if (message.kind == Kind::Progress)
        {
            WireReader(message.payload).Get(worker.frames);
            Report();
        }
        else if (message.kind == Kind::Events)
        {
            if (plan.events == nullptr)
            {
                return;
            }
            if (message.task == taken)
            {
                plan.events->write(message.payload.data(), static_cast<std::streamsize>(message.payload.size()));
            }
            else
            {
                pending[message.task].events.append(message.payload);
            }
        }
        else
        {
            Pending& done = pending[message.task];
            done.outcome = std::string(message.payload);
            done.pid = worker.pid;
            worker.task = -1;
            if (!worker.queued.empty())
            {
                worker.task = worker.queued.front();
                worker.queued.pop_front();
            }
            worker.frames = 0;
            ++finished;
            Report();
            TakeInOrder();
        }
    }

    void Corrupt(Worker& worker, const std::string& what)
    {
        failure = WorkerFailure{worker.task, worker.pid, "sent a corrupted message: " + what};
    }

    void TakeInOrder()
    {
        for (auto found = pending.find(taken); found != pending.end() && found->second.outcome;
             found = pending.find(taken))
        {
            const std::string outcome = std::move(*found->second.outcome);
            const pid_t pid = found->second.pid;
            pending.erase(found);
            const Taken made = plan.take(taken, outcome);
            if (made == Taken::Corrupt)
            {
                failure = WorkerFailure{taken, pid, "sent a corrupted message: an outcome that does not decode"};
                return;
            }
            if (made == Taken::Stop)
            {
                stopped = true;
                return;
            }
            ++taken;
            // The next task's events so far were held back; from now on they go straight out.
            const auto held = pending.find(taken);
            if (held != pending.end() && plan.events != nullptr)
            {
                plan.events->write(held->second.events.data(),
                                   static_cast<std::streamsize>(held->second.events.size()));
                held->second.events.clear();
            }
        }
    }

    void Report()
    {
        if (plan.progress)
        {
            std::int64_t frames = 0;
            for (const Worker& worker : workers)
            {
                frames += worker.frames;
            }
            plan.progress(finished, frames);
        }
    }

    // The worker's end of the socket closed: it has exited, normally only when told to.
    void Lost(Worker& worker)
    {
        close(worker.fd);
        worker.fd = -1;
        int status = 0;
        waitpid(worker.pid, &status, 0);
        const pid_t pid = worker.pid;
        worker.pid = -1;
        if (StopAsked())
        {
            stopped = true; // killed along with us, most likely: not the worker's fault
            return;
        }
        failure = WorkerFailure{worker.task, pid, "died: " + ExitText(status)};
    }

    [[nodiscard]] bool StopAsked() const { return plan.stop != nullptr && *plan.stop != 0; }

    void Finish()
    {
        for (Worker& worker : workers)
        {
            if (worker.pid < 0)
            {
                continue;
            }
            if (failure || stopped)
            {
                kill(worker.pid, SIGKILL);
            }
            else
            {
                const std::int32_t stop = -1;
                SendAll(worker.fd, &stop, sizeof stop);
            }
            close(worker.fd);
            int status = 0;
            waitpid(worker.pid, &status, 0);
        }
        workers.clear();
    }

    const WorkerPlan& plan;
    std::vector<Worker> workers;
    std::map<int, Pending> pending;
    int next = 0;     // the next task to hand out
    int taken = 0;    // the next task to take
    int finished = 0; // tasks done, taken or not
    bool stopped = false;
    std::optional<WorkerFailure> failure;
};
} // namespace

std::optional<WorkerFailure> RunWorkers(const WorkerPlan& plan)
{
    return Pool(plan).Run();
}

} // namespace tryzone
