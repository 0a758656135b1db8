#pragma once

#include <csignal>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

namespace tryzone
{

// What the parent made of an outcome: go on, end the run there, or an outcome that does not decode.
enum class Taken
{
    Next,
    Stop,
    Corrupt
};

// Tasks 0 to tasks - 1 shared out among worker processes, their outcomes taken back in task order.
struct WorkerPlan
{
    int tasks = 0;
    int jobs = 2;
    // In a worker: plays one task, writing its events to the stream (null when nobody wants them) and telling how
    // far it has come; returns what the parent needs of it.
    std::function<std::string(int task, std::ostream* events, const std::function<void(std::int64_t)>& progress)> play;
    // In the parent, task after task in order, after the task's events have been written.
    std::function<Taken(int task, const std::string& outcome)> take;
    std::ostream* events = nullptr; // optional
    // Read whenever the parent wakes: nonzero ends the run with the outcomes taken so far. Workers ignore SIGINT
    // and SIGTERM, which the parent, told of them, turns into this.
    const volatile std::sig_atomic_t* stop = nullptr;
    // In the parent: tasks finished, and the frames played so far of those under way.
    std::function<void(int, std::int64_t)> progress;
};

struct WorkerFailure
{
    int task = -1;      // the task the worker was playing; -1 when it failed between tasks
    int pid = -1;       // the worker's process
    std::string reason; // "died: killed by signal 9", "sent a corrupted message: ..."
};

// Forks the workers, hands out the tasks, writes the events and takes the outcomes in task order, and reaps every
// worker before returning; a worker that dies or sends bytes that are not a message of the run ends the run and is
// reported.
[[nodiscard]] std::optional<WorkerFailure> RunWorkers(const WorkerPlan& plan);

} // namespace tryzone
