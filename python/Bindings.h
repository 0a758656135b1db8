// What the extension module's sources share: the batch as Python holds it, and the array views of its buffers.
#pragma once

#include "agent/AgentAction.h"
#include "agent/VecMatch.h"
#include "files/Expected.h"

#include <memory>
#include <mutex>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace tryzone::python
{

namespace py = pybind11;

// The one place where the library's failures become Python's exceptions: ValueError with the reason (after what
// failed, when that is said) for what the caller gave, RuntimeError for what could not be done with it.
[[noreturn]] inline void Raise(const std::string& what, const std::string& reason, bool given = true)
{
    const std::string text = what.empty() ? reason : what + ": " + reason;
    if (given)
    {
        throw py::value_error(text);
    }
    throw std::runtime_error(text);
}

template <class T> T Value(Expected<T> expected, const std::string& what = {}, bool given = true)
{
    if (!expected)
    {
        Raise(what, expected.Reason(), given);
    }
    return std::move(*expected);
}

inline void Check(const Expected<void>& expected, const std::string& what = {}, bool given = true)
{
    if (!expected)
    {
        Raise(what, expected.Reason(), given);
    }
}

// The batch and a lock that keeps two Python threads from stepping it at once.
struct Batch
{
    explicit Batch(std::unique_ptr<VecMatch> made) : owned(std::move(made)), batch(*owned) {}

    std::unique_ptr<VecMatch> owned;
    VecMatch& batch;
    std::mutex busy;
};

// Holds the batch for one call; throws std::runtime_error while another thread steps it.
std::unique_lock<std::mutex> Claim(Batch& self);

// An array over the batch's own buffer, kept alive by owner (the batch).
template <class T> py::array View(py::handle owner, std::vector<T>& buffer, std::vector<py::ssize_t> shape)
{
    return py::array_t<T>(shape, buffer.data(), owner);
}

// A pass to a slot out of range made a pass to any teammate, so that every point of an exact action space plays.
inline void AnyTeammateOutOfRange(AgentAction& action)
{
    if (action.code == kPass && (action.x < -1 || action.x > 9))
    {
        action.x = -1;
    }
}

// Plays a step of the batch (the lock held) with the interpreter's lock released: actions the batch refuses raise
// ValueError, a step that cannot be played or written RuntimeError, with the batch's reason.
void PlayStep(Batch& self, const void* actions, bool coarse);

// One match's step from a dict of actions keyed by agent name (a missing agent plays BUILTIN); returns PettingZoo's
// (observations, rewards, terminations, truncations, infos) dicts, infos holding the match the step played and, in
// its last step, the episode's return and length.
py::tuple StepAgents(py::object owner, const py::dict& actions, const py::list& agents, bool coarse);

} // namespace tryzone::python
