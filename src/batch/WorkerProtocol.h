#pragma once

#include "batch/Workers.h"

#include <cstddef>
#include <cstdint>

// The messages between the parent and its workers over a socket pair. The parent sends a task number (a negative
// one ends the worker); a worker answers with messages, each a header and a payload of the header's size.
enum class Kind : char
{
    Progress = 'P', // payload: frames played of the task so far
    Events = 'E',   // payload: the next piece of the task's event log
    Done = 'D',     // payload: the task's outcome
};

struct Header
{
    Kind kind;
    std::int32_t task;
    std::uint64_t size;
};

// Sends or reads all the bytes, going on after a signal; false when the peer is gone or the call fails. A task sent
// to a worker that died is not an error here: the worker's end is seen and reported by the parent's loop.
bool SendAll(int fd, const void* data, std::size_t size);
[[nodiscard]] bool ReadAll(int fd, void* data, std::size_t size);

// A worker's life: plays the tasks it is sent until told to stop, then ends the process.
[[noreturn]] void Work(int fd, const WorkerPlan& plan);
