// The per-agent dicts of PettingZoo's parallel API, built here: a step of one match then costs little more than the
// match's own frames, where building ten agents' dicts and arrays in Python cost several times as much.
#include "Bindings.h"
#include "agent/Observation.h"

#include <string>

namespace tryzone::python
{

namespace
{
// The action of one agent from what the dict holds: three integers, or one coarse choice.
void ReadAction(py::handle value, bool coarse, std::size_t agent, AgentAction* exact, std::int32_t* choice)
{
    if (coarse)
    {
        choice[agent] = value.cast<std::int32_t>();
        return;
    }
    const auto array = py::array_t<std::int32_t, py::array::c_style | py::array::forcecast>::ensure(value);
    if (!array || array.size() != 3)
    {
        throw py::value_error("an action is three integers (code, x, y), not " + std::string(py::repr(value)));
    }
    const std::int32_t* data = array.data();
    exact[agent] = {data[0], data[1], data[2]};
    AnyTeammateOutOfRange(exact[agent]);
}
} // namespace

py::tuple StepAgents(py::object owner, const py::dict& actions, const py::list& agents, bool coarse)
{
    Batch& self = owner.cast<Batch&>();
    VecMatch& batch = self.batch;
    const auto count = static_cast<std::size_t>(batch.Agents());
    if (batch.Matches() != 1 || agents.size() != count)
    {
        throw py::value_error("step_agents plays one match, naming each of its agents");
    }
    std::vector<AgentAction> exact(count);
    std::vector<std::int32_t> choices(count, 0);
    for (std::size_t a = 0; a < count; ++a)
    {
        PyObject* value = PyDict_GetItemWithError(actions.ptr(), agents[a].ptr());
        if (value == nullptr)
        {
            if (PyErr_Occurred() != nullptr)
            {
                throw py::error_already_set();
            }
            continue;
        }
        try
        {
            ReadAction(value, coarse, a, exact.data(), choices.data());
        }
        catch (const py::cast_error&)
        {
            throw py::value_error("the action of " + std::string(py::str(agents[a])) +
                                  " is not an integer: " + std::string(py::repr(value)));
        }
    }
    PlayStep(self, coarse ? static_cast<const void*>(choices.data()) : exact.data(), coarse);
    const bool ended = batch.truncations.front() != 0;
    const std::vector<float>& seen = ended ? batch.finalObservations : batch.observations;
    py::array_t<float> copied({static_cast<py::ssize_t>(count), static_cast<py::ssize_t>(kObservationSize)});
    std::copy(seen.begin(), seen.end(), copied.mutable_data());
    py::dict observations, rewards, terminations, truncations, infos;
    const py::int_ match(batch.stepNumbers.front());
    for (std::size_t a = 0; a < count; ++a)
    {
        const py::handle agent = agents[a];
        observations[agent] = py::reinterpret_steal<py::object>(PySequence_GetItem(copied.ptr(), py::ssize_t(a)));
        rewards[agent] = py::float_(batch.rewards[a]);
        terminations[agent] = py::bool_(false);
        truncations[agent] = py::bool_(ended);
        py::dict info;
        info["match"] = match;
        if (ended)
        {
            py::dict episode;
            episode["r"] = py::float_(batch.returns[a]);
            episode["l"] = py::int_(batch.lengths.front());
            info["episode"] = episode;
        }
        infos[agent] = info;
    }
    return py::make_tuple(observations, rewards, terminations, truncations, infos);
}

} // namespace tryzone::python
